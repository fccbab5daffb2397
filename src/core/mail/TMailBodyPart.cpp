#include "mail/TMailBodyPart.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "base/Abort.h"
#include "base/TSingleton.h"
#include "html/HParser.h"
#include "mail/MParser.h"
#include "mail/MailHeader.h"
#include "mail/MailText_p.h"
#include "text/Charsets.h"
#include "text/TextUtil.h"

namespace MailParser {

using namespace internal;

// The work of one Process (or SplitMultipart / SelectAlternative) call, kept on the heap
// instead of the call stack: the parts whose headers and bodies are still to be read, run
// in document order, so that an error leaves every part before it done.
//
// Splitting a multipart body scans it for its boundary, and a nested multipart scans its
// own body again: n levels of nesting scan the innermost text n times. The scans share a
// budget of bytes (far above what any real message needs); a multipart part that would
// exceed it keeps its raw body as its text instead of being split, so that a crafted
// message cannot keep the parser busy for minutes and still loses nothing.
class TPartWalk {
  public:
    TPartWalk(std::size_t textSize, const TParseOptions& options)
        : options_(options),
          scanBudget_(std::max<std::uint64_t>(minimumScanBudget, 16 * std::uint64_t(textSize))) {}

    const TParseOptions& Options() const { return options_; }

    // Queues in document order; Run keeps that order.
    void queuePart(TMailBodyPart* part, std::string headerBlock, std::string_view body) {
        tasks_.push_back(Task{part, std::move(headerBlock), body});
    }

    // message/rfc822: a private parser reads the attached message, and its part tree is
    // walked like the rest. The parser stays with the part, which writes its summary from it.
    void queueMessage(TMailBodyPart* part, std::string_view message) {
        part->attached_ = std::make_unique<MParser>();
        part->attached_->options_ = options_;
        MParser::TPendingRoot root = part->attached_->begin(message);
        queuePart(part->attached_->root_.get(), std::move(root.headerBlock), root.body);
    }

    // False when scanning `bytes` more would exceed the budget; from then on every
    // further request is refused too.
    bool chargeScan(std::size_t bytes) {
        if (bytes > scanBudget_) {
            scanBudget_ = 0;
            return false;
        }
        scanBudget_ -= bytes;
        return true;
    }

    void Run() {
        std::reverse(tasks_.begin(), tasks_.end());
        while (!tasks_.empty()) {
            ThrowIfAborted();
            Task task = std::move(tasks_.back());
            tasks_.pop_back();
            task.part->readHeaders(task.headerBlock);
            const std::size_t before = tasks_.size();
            task.part->produce(task.body, *this);
            std::reverse(tasks_.begin() + static_cast<std::ptrdiff_t>(before), tasks_.end());
        }
    }

  private:
    struct Task {
        TMailBodyPart* part;
        std::string headerBlock;
        std::string_view body;
    };

    std::vector<Task> tasks_;
    TParseOptions options_;
    std::uint64_t scanBudget_;
};

namespace {

std::string_view trimBlanks(std::string_view text) {
    return trimBoth(text, isBlank);
}

void trimLineBreaksInPlace(std::string& text) {
    std::size_t n = text.size();
    while (n > 0 && isLineBreak(text[n - 1]))
        --n;
    text.resize(n);
    std::size_t lead = 0;
    while (lead < text.size() && isLineBreak(text[lead]))
        ++lead;
    if (lead > 0)
        text.erase(0, lead);
}

// A base64 body, one line at a time as PopToken (body, CR LF) takes them: lines that are
// not valid base64 (a line break is never valid) are kept as they stand.
std::string decodeBase64Lines(std::string_view body) {
    std::string out;
    out.reserve(body.size() / 4 * 3 + 3);
    std::size_t pos = 0;
    std::size_t lines = 0;
    while (pos < body.size()) {
        if (++lines % 4096 == 0)
            ThrowIfAborted();
        const std::size_t end = body.find(kCRLF, pos);
        if (end == std::string_view::npos) {
            out += Base64Decode(body.substr(pos));
            break;
        }
        out += Base64Decode(body.substr(pos, end - pos));
        pos = end + kCRLF.size();
        while (pos < body.size() && isSpaceOrControl(body[pos]))
            ++pos;
    }
    return out;
}

// Moves `pos` past the bytes up to 0x20 that follow a boundary (as PopToken does) and
// tells whether they hold an empty line: the part then has no header lines (RFC 2046,
// 5.1.1: "a body part that starts with a blank line ... is a body part for which all
// default values are to be assumed").
bool skipAfterBoundary(std::string_view body, std::size_t& pos) {
    int lineEnds = 0;
    for (; pos < body.size() && isSpaceOrControl(body[pos]); ++pos) {
        if (body[pos] == kLF ||
            (body[pos] == kCR && (pos + 1 == body.size() || body[pos + 1] != kLF)))
            ++lineEnds;
    }
    return lineEnds >= 2;
}

// A part's header block and body. A part without header lines keeps its whole text as
// its body; read the usual way, its first line would become its header block and its text
// would be lost. Some mailers put a stray empty line between a boundary and the part's
// headers, so a text that starts with a Content- field is still read as headers.
THeaderSplit splitPart(std::string_view partText, bool startsWithEmptyLine) {
    if (startsWithEmptyLine && !startsWithNoCase(partText, "content-"))
        return THeaderSplit{{}, partText};
    return SplitHeaderBlock(partText);
}

}  // namespace

TMailBodyPart::TMailBodyPart(TMailBodyPart* parent) : parent_(parent) {}

TMailBodyPart::~TMailBodyPart() {
    // Unlink the tree, the trees of attached messages included, and free it from a list,
    // so that no depth or width can exhaust the stack through nested destructor calls.
    std::vector<std::unique_ptr<TMailBodyPart>> pending;
    auto unlink = [&pending](TMailBodyPart& part) {
        if (part.firstChild_)
            pending.push_back(std::move(part.firstChild_));
        if (part.nextSibling_)
            pending.push_back(std::move(part.nextSibling_));
        if (part.attached_ && part.attached_->root_)
            pending.push_back(std::move(part.attached_->root_));
    };
    unlink(*this);
    while (!pending.empty()) {
        std::unique_ptr<TMailBodyPart> part = std::move(pending.back());
        pending.pop_back();
        unlink(*part);
    }
}

const std::string& TMailBodyPart::Text() const {
    if (attached_ && !summaryWritten_) {
        text_.clear();
        appendText(*this, text_);
        summaryWritten_ = true;
    }
    return text_;
}

void TMailBodyPart::appendText(const TMailBodyPart& part, std::string& out) {
    if (!part.attached_) {
        out += part.text_;
        return;
    }
    // "_____", the attached message's headers, its body text (its leaves joined as
    // MParser::BodyText joins them) and "_____". Attached messages inside attached messages
    // are written from an explicit stack, each leaf once, so a deep chain costs no more
    // than its text.
    struct Frame {
        const TMailBodyPart* leaf;  // next leaf of this message to write; null when done
        std::size_t bodyStart;      // where the message's body text starts in `out`
    };
    std::vector<Frame> frames;
    auto open = [&](const MParser& message) {
        out += "_____\r\n\r\nSubject: ";
        out += message.Subject();
        out += "\r\nFrom: ";
        out += message.From();
        out += kCRLF;
        if (!message.Newsgroup().empty()) {
            out += "Newsgroups: ";
            out += message.Newsgroup();
            out += kCRLF;
        }
        out += "Date: ";
        out += message.Date();
        out += kEmptyLine;
        frames.push_back(Frame{firstLeafOf(message.Root()), out.size()});
    };
    open(*part.attached_);
    while (!frames.empty()) {
        const TMailBodyPart* leaf = frames.back().leaf;
        if (!leaf) {
            frames.pop_back();
            out += "\r\n_____";
            continue;
        }
        if (out.size() > frames.back().bodyStart)
            out += kEmptyLine;
        frames.back().leaf = nextLeafOf(leaf);
        if (leaf->attached_)
            open(*leaf->attached_);
        else
            out += leaf->text_;
    }
}

const TMailBodyPart* TMailBodyPart::firstLeafOf(const TMailBodyPart* part) {
    while (part && part->firstChild_)
        part = part->firstChild_.get();
    return part;
}

const TMailBodyPart* TMailBodyPart::nextLeafOf(const TMailBodyPart* leaf) {
    const TMailBodyPart* part = leaf;
    while (part && !part->nextSibling_)
        part = part->parent_;
    return part ? firstLeafOf(part->nextSibling_.get()) : nullptr;
}

void TMailBodyPart::Process(std::string_view headerBlock, std::string_view body,
                            const TParseOptions& options) {
    TPartWalk walk(body.size(), options);
    walk.queuePart(this, std::string(headerBlock), body);
    walk.Run();
}

void TMailBodyPart::SplitMultipart(std::string_view body, std::string_view boundary) {
    TPartWalk walk(body.size(), TParseOptions{});
    splitMultipart(body, boundary, walk);
    walk.Run();
}

void TMailBodyPart::SelectAlternative(std::string_view body, std::string_view boundary) {
    TPartWalk walk(body.size(), TParseOptions{});
    selectAlternative(body, boundary, walk);
    walk.Run();
}

std::string_view TMailBodyPart::FindHtmlBody(std::string_view text) {
    auto find = [text](std::string_view lowerWord, std::size_t from) {
        for (std::size_t i = from; i + lowerWord.size() <= text.size(); ++i) {
            const void* hit = std::memchr(text.data() + i, '<', text.size() - i);
            if (!hit)
                break;
            i = static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
            if (i + lowerWord.size() > text.size())
                break;
            if (equalsNoCase(text.substr(i, lowerWord.size()), lowerWord))
                return i;
        }
        return std::string_view::npos;
    };
    std::size_t start = find("<body", 0);
    if (start == std::string_view::npos)
        start = 0;
    std::size_t end = find("</body>", start + 6);
    if (end == std::string_view::npos)
        end = text.size();
    return text.substr(start, end - start);
}

TMailBodyPart* TMailBodyPart::appendChild() {
    auto child = std::make_unique<TMailBodyPart>(this);
    TMailBodyPart* added = child.get();
    if (lastChild_)
        lastChild_->nextSibling_ = std::move(child);
    else
        firstChild_ = std::move(child);
    lastChild_ = added;
    return added;
}

// RFC 2045, 5 and 6; RFC 2183 for Content-Disposition. Field names match in either case but
// exactly otherwise; values lose the bytes up to 0x20 at both ends; a later field wins.
void TMailBodyPart::readHeaders(std::string_view headerBlock) {
    forEachLine(headerBlock, [this](std::string_view line) {
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos)
            return;
        const std::string_view name = line.substr(0, colon);
        const std::string_view value = trimBoth(line.substr(colon + 1), isSpaceOrControl);
        if (equalsNoCase(name, "content-type"))
            readContentType(value);
        else if (equalsNoCase(name, "content-transfer-encoding"))
            encoding_ = lowered(value);
        else if (equalsNoCase(name, "content-disposition"))
            readContentDisposition(value);
    });
}

void TMailBodyPart::readContentType(std::string_view value) {
    // Blanks around the type and subtype are dropped at both ends ("text/plain ; ..."), so
    // that such a part is still read as what it says it is.
    type_ = lowered(trimBlanks(popToken(value, "/")));
    subtype_ = lowered(trimBlanks(popToken(value, ";")));
    while (!value.empty()) {
        const std::string_view parameter = trimFront(popToken(value, ";"), isBlank);
        // Tested in lower case, in this order: "filename=" holds "name=", and a boundary
        // such as "=_charset=x" is taken for a charset, as it always has been.
        const std::string lower = lowered(parameter);
        auto afterEquals = [parameter] { return parameter.substr(parameter.find('=') + 1); };
        if (lower.find("charset=") != std::string::npos) {
            charset_ = lowered(Unquote(afterEquals()));
            charsetGiven_ = true;
        } else if (lower.find("name=") != std::string::npos) {
            // name= (and filename=) of Content-Type: the file name comes from Content-Disposition.
        } else if (lower.find("boundary=") != std::string::npos) {
            boundary_ = "--" + Unquote(afterEquals());
        }
    }
}

void TMailBodyPart::readContentDisposition(std::string_view value) {
    disposition_ = lowered(trimBlanks(popToken(value, ";")));
    if (value.empty())
        return;
    const std::size_t at = lowered(value).find("filename=");
    if (at == std::string::npos)
        return;
    std::string_view name = value.substr(at + 9);
    if (!name.empty() && name.front() == '"') {
        name.remove_prefix(1);
        name = name.substr(0, name.find('"'));
    } else {
        // An unquoted name is a token (RFC 2183, 2): it ends at the next parameter.
        name = trimBlanks(name.substr(0, std::min(name.find(';'), name.find('"'))));
    }
    filename_.assign(name);
}

void TMailBodyPart::produce(std::string_view body, TPartWalk& walk) {
    if (type_ == "multipart") {
        // A body in which the boundary never occurs (or that has none) has no parts: RFC
        // 2046 makes all of it an ignored preamble, but it is what the sender wrote, so it
        // is kept as it stands, as is a body beyond the scan budget.
        if (boundary_.empty() || !walk.chargeScan(body.size()) ||
            findBytes(body, boundary_) == std::string_view::npos) {
            text_.assign(trimLineBreaks(body));
            return;
        }
        if (subtype_ == "alternative")
            selectAlternative(body, boundary_, walk);
        else
            splitMultipart(body, boundary_, walk);
        return;
    }
    if (type_ == "text") {
        produceText(body, walk.Options());
    } else if (type_ == "message" && subtype_ == "rfc822") {
        walk.queueMessage(this, body);
        return;
    } else {
        text_ = "[" + type_ + "/" + subtype_ + "]";
        if (!filename_.empty())
            text_ += " >> " + filename_;
    }
    trimLineBreaksInPlace(text_);
}

void TMailBodyPart::produceText(std::string_view body, const TParseOptions& options) {
    if (subtype_ == "plain") {
        if (encoding_ == "quoted-printable")
            text_ = QuotedPrintableDecode(body);
        else if (encoding_ == "base64")
            text_ = decodeBase64Lines(body);
        else if (charset_ == "utf-8")
            text_.assign(body);
        else
            text_.assign(trimLineBreaks(body));  // the same as trimming the copy afterwards
        // By default UTF-8 is the one charset converted; any other (ISO-2022-JP among
        // them) is kept byte for byte, as stored archives expect.
        if (options.DecodeCharsets)
            text_ = charsets::DecodeMailText(charset_, text_);
        else if (charset_ == "utf-8")
            text_ = UTF8_SJIS(text_);
    } else if (subtype_ == "html") {
        std::string decoded;
        std::string_view html = body;
        if (encoding_ == "quoted-printable") {
            decoded = QuotedPrintableDecode(body);
            html = decoded;
        } else if (encoding_ == "base64") {
            decoded = decodeBase64Lines(body);
            html = decoded;
        }
        // The engine reads cp932, so utf-8 HTML is converted like utf-8 plain text; left as
        // it is, every Japanese character of a utf-8 HTML mail would come out garbled.
        // Decoding every charset, a part without a charset parameter takes its page's
        // own <meta> declaration (HTML 4.01, 5.2.2: the protocol's label comes first).
        if (options.DecodeCharsets) {
            std::string charset = charsetGiven_ ? charset_ : charsets::HtmlMetaCharset(html);
            if (charset.empty())
                charset = charset_;
            decoded = charsets::DecodeMailText(charset, html);
            html = decoded;
        } else if (charset_ == "utf-8") {
            decoded = UTF8_SJIS(html);
            html = decoded;
        }
        const std::string_view range = FindHtmlBody(html);
        HTMLParser::HParser& engine = TSingleton<HTMLParser::HParser>::ObjOwner();
        engine.LayoutText(range.data(), range.data() + range.size(), /*pickUpLinks=*/true,
                          /*preformatted=*/false);
        text_ = engine.Result();
    } else {
        text_.assign(body);
    }

    if (disposition_ == "inline" && !filename_.empty()) {
        std::string wrapped = ">> " + filename_;
        wrapped += kEmptyLine;
        wrapped += trimBoth(text_, isSpaceOrControl);
        wrapped += kEmptyLine;
        wrapped += "<< " + filename_;
        text_ = std::move(wrapped);
    }
}

void TMailBodyPart::splitMultipart(std::string_view body, std::string_view boundary,
                                   TPartWalk& walk) {
    // Everything up to and including the first boundary is the preamble (RFC 2046, 5.1.1);
    // a body in which the boundary never occurs is all preamble.
    if (boundary.empty())
        return;
    const std::size_t first = findBytes(body, boundary);
    if (first == std::string_view::npos)
        return;
    std::size_t pos = first + boundary.size();
    bool headerless = skipAfterBoundary(body, pos);
    while (pos < body.size()) {
        ThrowIfAborted();
        const std::size_t next = findBytes(body, boundary, pos);
        std::string_view partText;
        if (next == std::string_view::npos) {
            // No boundary follows. After the closing delimiter ("--" right after the
            // boundary) this is the epilogue, which is dropped; otherwise the message was
            // cut off inside its last part, and that part's text is kept.
            partText = body.substr(pos);
            if (partText.substr(0, 2) == "--")
                return;
        } else {
            partText = body.substr(pos, next - pos);
        }
        THeaderSplit split = splitPart(partText, headerless);
        if (split.headerBlock == "--")
            return;
        walk.queuePart(appendChild(), std::move(split.headerBlock), split.body);
        if (next == std::string_view::npos)
            return;
        pos = next + boundary.size();
        headerless = skipAfterBoundary(body, pos);
    }
}

void TMailBodyPart::selectAlternative(std::string_view body, std::string_view boundary,
                                      TPartWalk& walk) {
    // `rest` is what PopToken would leave of the body, `headerless` says whether the bytes
    // it skipped held an empty line.
    std::string_view rest;
    bool headerless = false;
    auto advancePast = [&](std::string_view text, std::size_t at) {
        std::size_t pos = at + boundary.size();
        headerless = skipAfterBoundary(text, pos);
        rest = text.substr(pos);
    };
    if (!boundary.empty()) {
        if (std::size_t first = findBytes(body, boundary); first != std::string_view::npos)
            advancePast(body, first);
    }
    auto takePart = [&]() {
        const std::size_t at =
            boundary.empty() ? std::string_view::npos : findBytes(rest, boundary);
        const std::string_view whole = rest;
        THeaderSplit split =
            splitPart(at == std::string_view::npos ? whole : whole.substr(0, at), headerless);
        if (at == std::string_view::npos) {
            rest = {};
            headerless = false;
        } else {
            advancePast(whole, at);
        }
        return split;
    };
    auto hasBoundary = [&]() {
        return !boundary.empty() && findBytes(rest, boundary) != std::string_view::npos;
    };

    // RFC 2046, 5.1.4 orders the alternatives from plainest to richest; we take the first
    // HTML one, or else the first one of all.
    THeaderSplit chosen = takePart();
    if (hasBoundary() && !containsNoCase(chosen.headerBlock, "text/html")) {
        do {
            ThrowIfAborted();
            THeaderSplit candidate = takePart();
            if (containsNoCase(candidate.headerBlock, "text/html")) {
                chosen = std::move(candidate);
                break;
            }
        } while (!rest.empty() && hasBoundary());
    }
    walk.queuePart(appendChild(), std::move(chosen.headerBlock), chosen.body);
}

}  // namespace MailParser
