// The parser over real mail written by others: every message of the shared corpus, and
// every message of its mbox files. Nothing may crash or hang, and no text may be lost.
//
// The parser reads CR LF messages (an LF-only message is all header, by design), while
// the corpus keeps the line ends its upstream repositories had. Each message is therefore
// read twice: as stored, only to show that nothing breaks, and with every line end made
// CR LF, as a mail file arrives on Windows, for the checks of its text.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "base/EError.h"
#include "mail/MParser.h"
#include "mail/MailHeader.h"
#include "mail/TMailBodyPart.h"
#include "text/TextUtil.h"

using MailParser::MParser;
using MailParser::TMailBodyPart;
using testsupport::ReadFile;

namespace {

bool IsLicenceOrNote(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    return name.find("LICENSE") != std::string::npos || name == "README.md" || name == "SOURCES.md";
}

std::vector<std::filesystem::path> FilesUnder(const std::filesystem::path& dir) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir))
        if (entry.is_regular_file() && !IsLicenceOrNote(entry.path()))
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

std::string ToCrLf(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 16);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r') {
            out += "\r\n";
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else if (bytes[i] == '\n') {
            out += "\r\n";
        } else {
            out += bytes[i];
        }
    }
    return out;
}

// mbox: a message starts at a "From " line at the start of the file or after an empty
// line; the "From " line itself is the mailbox's, not the message's.
std::vector<std::string> SplitMbox(std::string text) {
    if (text.compare(0, 3, "\xef\xbb\xbf") == 0)
        text.erase(0, 3);
    std::vector<std::string> messages;
    std::size_t start = std::string::npos;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find("\r\n", pos);
        if (end == std::string::npos)
            end = text.size();
        const bool fromLine = text.compare(pos, 5, "From ") == 0 &&
                              (pos == 0 || (pos >= 4 && text.compare(pos - 4, 4, "\r\n\r\n") == 0));
        if (fromLine) {
            if (start != std::string::npos)
                messages.push_back(text.substr(start, pos - start));
            start = std::min(end + 2, text.size());
        }
        pos = end + 2;
    }
    if (start != std::string::npos && start < text.size())
        messages.push_back(text.substr(start));
    return messages;
}

bool IsBlank(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) <= 0x20; });
}

std::string TrimLineBreaks(std::string_view text) {
    while (!text.empty() && (text.front() == '\r' || text.front() == '\n'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
        text.remove_suffix(1);
    return std::string(text);
}

// Whether a body holds text beyond MIME structure: a line that is not blank, not a
// boundary line and not a part's Content- header.
bool HasContentLines(std::string_view body) {
    std::size_t pos = 0;
    while (pos < body.size()) {
        std::size_t end = body.find("\r\n", pos);
        if (end == std::string_view::npos)
            end = body.size();
        const std::string_view line = body.substr(pos, end - pos);
        std::string lower(line.substr(0, 8));
        for (char& c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (!IsBlank(line) && line.substr(0, 2) != "--" && lower != "content-")
            return true;
        pos = end + 2;
    }
    return false;
}

bool IsDecoded(const TMailBodyPart& part) {
    return part.Encoding() == "quoted-printable" || part.Encoding() == "base64" ||
           part.Charset() == "utf-8";
}

bool IsFramed(const TMailBodyPart& part) {
    return part.Disposition() == "inline" && !part.Filename().empty();
}

struct Tally {
    int messages = 0;
    int decodeErrors = 0;
    int singlePlain = 0;
    int leavesFoundVerbatim = 0;
    std::vector<std::string> lost;
};

void CheckMessage(const std::string& name, const std::string& raw, Tally& tally) {
    ++tally.messages;
    MParser p;
    // As stored: must not break. A bad quoted-printable escape is the one allowed failure.
    for (bool rawBody : {false, true}) {
        try {
            p.Parse(raw, rawBody);
            p.BodyText();
        } catch (const EError& e) {
            EXPECT_STREQ(e.what(), "Quoted Printable Decode Error") << name;
        }
    }

    const std::string message = ToCrLf(raw);
    try {
        p.Parse(message, false);
    } catch (const EError& e) {
        EXPECT_STREQ(e.what(), "Quoted Printable Decode Error") << name;
        ++tally.decodeErrors;
        return;
    }
    const std::string body = p.BodyText();
    const std::string_view rawBody = MailParser::SplitHeaderBlock(message).body;

    const TMailBodyPart& root = *p.Root();
    if (!root.FirstChild() && root.Type() == "text" && root.Subtype() == "plain" &&
        !IsFramed(root)) {
        ++tally.singlePlain;
        if (!IsDecoded(root)) {
            EXPECT_EQ(body, TrimLineBreaks(rawBody)) << name;
        } else if (root.Encoding() != "base64" && root.Encoding() != "quoted-printable") {
            EXPECT_EQ(body, TrimLineBreaks(UTF8_SJIS(rawBody))) << name;
        } else if (!IsBlank(rawBody)) {
            EXPECT_FALSE(body.empty()) << name;
        }
    }

    for (TMailBodyPart* leaf = p.FirstLeaf(); leaf; leaf = p.NextLeaf()) {
        const std::string& text = leaf->Text();
        if (leaf->Type() == "message" && leaf->Subtype() == "rfc822") {
            EXPECT_EQ(text.substr(0, 18), "_____\r\n\r\nSubject: ") << name;
        } else if (leaf->Type() == "multipart" ||
                   (leaf->Type() == "text" && leaf->Subtype() != "html" && !IsDecoded(*leaf) &&
                    !IsFramed(*leaf))) {
            // Kept as written: the text stands in the message as it is.
            if (!text.empty()) {
                EXPECT_NE(message.find(text), std::string::npos) << name;
                ++tally.leavesFoundVerbatim;
            }
        } else if (leaf->Type() != "text") {
            EXPECT_EQ(text.rfind("[" + leaf->Type() + "/" + leaf->Subtype() + "]", 0), 0u) << name;
        }
    }

    if (body.empty() && HasContentLines(rawBody))
        tally.lost.push_back(name);
}

}  // namespace

TEST(MailCorpus, EveryMessageFileParses) {
    BREVILO_REQUIRE_CORPUS(corpus);
    if (!std::filesystem::is_directory(corpus / "mail"))
        GTEST_SKIP() << "no mail in the corpus";
    Tally tally;
    for (const auto& file : FilesUnder(corpus / "mail"))
        CheckMessage(file.lexically_relative(corpus).string(), ReadFile(file.string()), tally);
    EXPECT_GT(tally.messages, 1000);
    EXPECT_GT(tally.singlePlain, 300);
    EXPECT_GT(tally.leavesFoundVerbatim, 700);
    EXPECT_TRUE(tally.lost.empty())
        << tally.lost.size() << " messages lost their text, first " << tally.lost.front();
    std::printf("[ corpus   ] %d messages, %d single text/plain, %d quoted-printable errors\n",
                tally.messages, tally.singlePlain, tally.decodeErrors);
}

TEST(MailCorpus, EveryMessageOfTheMboxFilesParses) {
    BREVILO_REQUIRE_CORPUS(corpus);
    if (!std::filesystem::is_directory(corpus / "mbox"))
        GTEST_SKIP() << "no mbox in the corpus";
    Tally tally;
    for (const auto& file : FilesUnder(corpus / "mbox")) {
        const std::vector<std::string> messages = SplitMbox(ToCrLf(ReadFile(file.string())));
        EXPECT_FALSE(messages.empty()) << file;
        for (std::size_t i = 0; i < messages.size(); ++i)
            CheckMessage(file.lexically_relative(corpus).string() + " #" + std::to_string(i + 1),
                         messages[i], tally);
    }
    EXPECT_GT(tally.messages, 90);
    EXPECT_TRUE(tally.lost.empty())
        << tally.lost.size() << " messages lost their text, first " << tally.lost.front();
    std::printf("[ corpus   ] %d mbox messages, %d single text/plain, %d quoted-printable errors\n",
                tally.messages, tally.singlePlain, tally.decodeErrors);
}

TEST(MailCorpusHelpers, SplitMboxAtFromLinesAfterAnEmptyLine) {
    const auto messages = SplitMbox(
        "From a@b Mon Jan  1 00:00:00 2001\r\nSubject: 1\r\n\r\nx\r\nFrom me, a line\r\n\r\n"
        "From c@d Mon Jan  1 00:00:00 2001\r\nSubject: 2\r\n\r\nbody\r\n");
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], "Subject: 1\r\n\r\nx\r\nFrom me, a line\r\n\r\n");
    EXPECT_EQ(messages[1], "Subject: 2\r\n\r\nbody\r\n");
}
