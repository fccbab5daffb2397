#include "import/TNParser.h"

#include <cstring>

#include "base/Abort.h"
#include "base/TSingleton.h"
#include "import/ArticleParts.h"
#include "import/ENParseError.h"
#include "import/FileMask.h"
#include "import/Mailboxes.h"
#include "mail/MParser.h"
#include "oe/TOE5_DbxParser.h"
#include "script/ShortDate.h"
#include "script/TImportRun.h"
#include "script/TScript.h"
#include "text/LineEnds.h"
#include "text/TextUtil.h"

namespace {

constexpr std::string_view kCRLF = "\r\n";

// The file's bytes up to the first NUL byte: a message is read as one C string.
std::string_view UpToNul(std::string_view bytes) {
    const void* nul = std::memchr(bytes.data(), '\0', bytes.size());
    return nul ? bytes.substr(0, static_cast<const char*>(nul) - bytes.data()) : bytes;
}

// PopToken(text, CR LF) over a view: the line before the first CR LF; `text` advances past
// it and past the bytes up to 0x20 that follow (so empty lines are skipped too). Without a
// CR LF the whole rest is the line.
std::string_view PopLine(std::string_view& text) {
    std::size_t at = text.find(kCRLF);
    if (at == std::string_view::npos) {
        std::string_view all = text;
        text = {};
        return all;
    }
    std::string_view line = text.substr(0, at);
    std::size_t rest = at + kCRLF.size();
    while (rest < text.size() && static_cast<unsigned char>(text[rest]) <= 0x20)
        ++rest;
    text.remove_prefix(rest);
    return line;
}

// Up to three further lines until one holds ":"; that line up to and including its first
// ":", or nothing when none of the three does.
bool NextHeaderName(std::string_view& text, std::string_view& name) {
    for (int i = 0; i < 3 && !text.empty(); ++i) {
        std::string_view line = PopLine(text);
        std::size_t colon = line.find(':');
        if (colon != std::string_view::npos) {
            name = line.substr(0, colon + 1);
            return true;
        }
    }
    return false;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

MailParser::MParser& Parser() {
    return TSingleton<MailParser::MParser>::ObjOwner();
}

}  // namespace

TNParser::TNParser() = default;
TNParser::~TNParser() = default;

void TNParser::SetScript(const std::string& path) {
    if (!path.empty()) {
        ScriptLines = TScript::ReadLines(path);
        script_ = std::make_unique<TScript>(ScriptLines);
    }
    ScriptPath = path;
}

std::string TNParser::Today() const {
    return today_.empty() ? script::TodayShortDate() : today_;
}

void TNParser::Convert(const std::string& path) {
    if (!OnRecord)
        throw ENParseError("[Error] Brevilo Internal Error");
    // Mailboxes first: a Maildir is a folder, and an mbox may have no extension at all.
    bool folder = false;
    if (MailboxKind kind = MailboxKindOf(path, &folder); kind != MailboxKind::None) {
        if (kind == MailboxKind::Mbox)
            ConvertMbox(path);
        else
            ConvertMaildir(path);
        return;
    }
    if (folder)
        throw ENParseError("Folder is unsupported");  // the drop's text for the same case
    std::string ext = AsciiLower(ExtensionOf(path));
    if (ext == ".txt") {
        ConvertText(path);
    } else if (ext == ".html" || ext == ".htm") {
        ConvertPage(path);
    } else if (ext == ".nws" || ext == ".eml") {
        ConvertMessage(path);
    } else if (ext == ".dbx") {
        ConvertStore(path);
    } else {
        throw ENParseError("File Extension Error: " + ext);
    }
}

void TNParser::PostArticle(std::string& article) {
    ::PostArticle(
        Record, article, [this] { return StopFlag.load(); }, [this] { OnRecord(); });
}

void TNParser::ConvertMessage(const std::string& path) {
    Page.Load(path);
    Record.Notes.clear();
    PostMessage(Page.Text());
}

void TNParser::PostMessage(std::string_view bytes) {
    MailParser::MParser& parser = Parser();
    parser.Parse(WithCrLfLineEnds(UpToNul(bytes)), false, MailOptions);
    Record.From = parser.From();
    if (Record.From.empty())
        throw ENParseError("[Error] File type mismatch");
    Record.Newsgroup = parser.Newsgroup();
    Record.Date = parser.Date();
    Record.Subject = parser.Subject();
    std::string body = parser.BodyText();

    // A uuencoded attachment ("begin 644 name", RFC 1341's predecessor convention) is
    // replaced by one line naming the file; what follows "begin " goes with it.
    if (std::size_t b = body.find("begin "); b != std::string::npos) {
        std::string head = body.substr(0, b);
        TrimTrailingLineBreaks(head);
        std::string t = body.substr(b + 5, 32);
        std::size_t lead = 0;
        while (lead < t.size() && static_cast<unsigned char>(t[lead]) <= 0x20)
            ++lead;
        t.erase(0, lead);
        long mode = 0;
        if (!ReadInteger(PopToken(t, " "), mode))
            mode = 0;
        if (mode > 600) {
            std::string name = PopToken(t, kCRLF);
            body = head + "\r\n\r\n*****Attachment***** " + name;
        }
    }
    TrimLeadingLineBreaks(body);
    TrimTrailingLineBreaks(body);
    PostArticle(body);
}

void TNParser::ReadSignature(std::string_view content) {
    std::string_view rest = content;
    std::string_view first = PopLine(rest);
    if (std::size_t colon = first.find(':'); colon != std::string_view::npos)
        SignatureNames[0] = first.substr(0, colon + 1);
    else if (first.size() < 4)
        SignatureNames[0] = first;
    else
        SignatureNames[0] = first.substr(0, 3);
    for (int i = 1; i <= 2; ++i) {
        std::string_view name;
        if (!NextHeaderName(rest, name))
            throw ENParseError("[Error] File type mismatch");
        SignatureNames[static_cast<std::size_t>(i)] = name;
    }
}

bool TNParser::StartsMessage(std::string_view& content) const {
    if (content == SignatureNames[0]) {
        content = {};
        return true;
    }
    std::string_view copy = content;
    if (!StartsWith(PopLine(copy), SignatureNames[0]))
        return false;
    for (std::size_t i = 1; i <= 2; ++i) {
        std::string_view name;
        if (!NextHeaderName(copy, name))
            return false;
        if (!StartsWith(name, SignatureNames[i]))
            return false;
    }
    return true;
}

std::string TNParser::NextMessage(std::string_view& content) const {
    const std::string separator = "\r\n\r\n" + SignatureNames[0];
    std::string result;
    while (true) {
        std::size_t at = content.find(separator);
        if (at == std::string_view::npos)
            break;
        // The message so far runs up to and including the blank line; the rest starts
        // with the first signature name.
        result.append(content.substr(0, at + 4));
        content.remove_prefix(at + 4);
        if (StartsMessage(content)) {
            TrimTrailingLineBreaks(result);
            return result;
        }
        ThrowIfAborted();
    }
    result.append(content);
    content = {};
    return result;
}

void TNParser::ConvertText(const std::string& path) {
    MessageList.clear();
    Page.Load(path);
    const std::string text = WithCrLfLineEnds(UpToNul(Page.Text()));
    std::string_view content = text;
    while (!content.empty() && static_cast<unsigned char>(content.back()) <= 0x20)
        content.remove_suffix(1);
    Record.Notes.clear();
    ReadSignature(content);

    while (!content.empty() && !StopFlag.load()) {
        std::string message = NextMessage(content);
        if (message.empty())
            break;
        MessageList.push_back(std::move(message));
    }
    MailParser::MParser& parser = Parser();
    for (const std::string& message : MessageList) {
        if (StopFlag.load())
            break;
        ThrowIfAborted();
        parser.Parse(message, true, MailOptions);
        if (parser.From().empty())
            throw ENParseError("[Error] File type mismatch");
        PostParsedMessage(parser);
    }
}

void TNParser::PostParsedMessage(const MailParser::MParser& parser) {
    Record.From = parser.From();
    Record.Newsgroup = parser.Newsgroup();
    Record.Date = parser.Date();
    Record.Subject = parser.Subject();
    std::string body = parser.BodyText();
    PostArticle(body);
}

void TNParser::ConvertStore(const std::string& path) {
    MessageList.clear();
    Record.Notes.clear();
    TOE5_DbxParser reader;
    MailParser::MParser& parser = Parser();
    // One message at a time: a store of hundreds of MB holds one message's text here, not
    // all of them.
    reader.ForEachMessage(
        path,
        [&](std::string& message) {
            if (StopFlag.load())
                return false;
            ThrowIfAborted();
            parser.Parse(WithCrLfLineEnds(message), false, MailOptions);
            PostParsedMessage(parser);  // a store's message may have no sender
            return true;
        },
        StopFlag);
}

void TNParser::ConvertPage(const std::string& path) {
    // The import driver refuses web pages without a script; a caller that did not gets
    // the same message rather than a silent page without records.
    if (!script_)
        throw EError("Script files missing");
    TImportRun(*this).Run(*script_, Page, path);
}
