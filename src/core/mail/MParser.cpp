#include "mail/MParser.h"

#include "mail/MailHeader.h"
#include "mail/MailText_p.h"
#include "text/Cp932.h"
#include "text/TextUtil.h"

namespace MailParser {

using namespace internal;

namespace {

bool isEscapedSpecial(char c) {
    return c == '(' || c == '<' || c == '[';
}

// A From value that escapes "(", "<" or "[" with a backslash (as RFC 822 quoted pairs do)
// loses every backslash. Only backslashes that are characters of their own count: in
// cp932 0x5C is also the trail byte of characters such as "ソ" (83 5C) and "表" (95 5C),
// which must stay whole.
void removeQuotingBackslashes(std::string& from) {
    const std::size_t n = from.size();
    bool quoted = false;
    for (std::size_t i = 0; i < n && !quoted; i = cp932::nextChar(from, i))
        quoted = from[i] == '\\' && i + 1 < n && isEscapedSpecial(from[i + 1]);
    if (!quoted)
        return;
    std::string kept;
    kept.reserve(n);
    for (std::size_t i = 0; i < n;) {
        const std::size_t next = cp932::nextChar(from, i);
        if (!(next == i + 1 && from[i] == '\\'))
            kept.append(from, i, next - i);
        i = next;
    }
    from = std::move(kept);
}

TMailBodyPart* firstLeafFrom(TMailBodyPart* part) {
    while (part && part->FirstChild())
        part = part->FirstChild();
    return part;
}

// The leaf after `leaf` in document order: climb to the nearest part with a next sibling,
// then go down that sibling's first children. Null after the last leaf.
TMailBodyPart* nextLeafAfter(TMailBodyPart* leaf) {
    TMailBodyPart* part = leaf;
    while (part && !part->NextSibling())
        part = part->Parent();
    return part ? firstLeafFrom(part->NextSibling()) : nullptr;
}

}  // namespace

MParser::MParser() = default;
MParser::~MParser() = default;

void MParser::Parse(std::string_view text, bool rawBody, const TParseOptions& options) {
    options_ = options;
    TPendingRoot pending = begin(text);
    if (rawBody)
        root_->text_.assign(trimLineBreaks(pending.body));
    else
        root_->Process(pending.headerBlock, pending.body, options_);
}

MParser::TPendingRoot MParser::begin(std::string_view text) {
    root_.reset();
    cursor_ = nullptr;
    from_.clear();
    newsgroup_.clear();
    date_.clear();
    subject_.clear();

    THeaderSplit split = SplitHeaderBlock(text);
    parseHeaderFields(split.headerBlock);
    root_ = std::make_unique<TMailBodyPart>(nullptr);
    return TPendingRoot{std::move(split.headerBlock), split.body};
}

void MParser::parseHeaderFields(std::string_view headerBlock) {
    std::string listAddress;
    std::string listPost;
    std::string replyAddress;

    forEachLine(headerBlock, [&](std::string_view line) {
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos)
            return;  // no name: matches nothing
        const std::string_view name = trimBack(line.substr(0, colon), isBlank);
        const std::string_view value = trimFront(line.substr(colon + 1), isBlank);

        if (equalsNoCase(name, "subject")) {
            subject_ = DecodeEncodedWords(value, options_);
        } else if (equalsNoCase(name, "from")) {
            from_ = DecodeEncodedWords(value, options_);
            removeQuotingBackslashes(from_);
        } else if (equalsNoCase(name, "newsgroups") || equalsNoCase(name, "newsgroup")) {
            newsgroup_.assign(value.substr(0, value.find(',')));
        } else if (equalsNoCase(name, "mailing-list")) {
            // "list addr@host; contact help@host" (the form ezmlm writes)
            const std::size_t at = lowered(value).find("list");
            if (at == std::string::npos) {
                listAddress.assign(value);
            } else {
                const std::string_view after = value.substr(at + 4);
                const std::size_t semicolon = after.find(';');
                listAddress.assign(semicolon == std::string_view::npos
                                       ? std::string_view()
                                       : trimBoth(after.substr(0, semicolon), isBlank));
            }
        } else if (equalsNoCase(name, "reply-to")) {
            const std::size_t open = value.find('<');
            if (open == std::string_view::npos) {
                replyAddress.assign(value);
            } else {
                const std::size_t close = value.find('>', open + 1);
                replyAddress.assign(close == std::string_view::npos
                                        ? std::string_view()
                                        : value.substr(open + 1, close - open - 1));
            }
        } else if (equalsNoCase(name, "list-post")) {
            listPost.assign(value);
        } else if (equalsNoCase(name, "date")) {
            date_ = ConvertMailDate(value);
        }
    });

    // Mail carries its list where news carries its group. A Reply-To that is the sender's
    // own address names no list.
    if (!newsgroup_.empty())
        return;
    if (!listAddress.empty())
        newsgroup_ = listAddress;
    else if (!listPost.empty())
        newsgroup_ = listPost;
    else if (findBytes(from_, replyAddress) == std::string_view::npos)
        newsgroup_ = replyAddress;
}

std::string MParser::BodyText() const {
    std::size_t size = 0;
    for (const TMailBodyPart* leaf = TMailBodyPart::firstLeafOf(root_.get()); leaf;
         leaf = TMailBodyPart::nextLeafOf(leaf))
        size += leaf->text_.size() + kEmptyLine.size();
    std::string text;
    text.reserve(size);
    for (const TMailBodyPart* leaf = TMailBodyPart::firstLeafOf(root_.get()); leaf;
         leaf = TMailBodyPart::nextLeafOf(leaf)) {
        if (!text.empty())
            text += kEmptyLine;
        TMailBodyPart::appendText(*leaf, text);
    }
    return text;
}

TMailBodyPart* MParser::FirstLeaf() {
    cursor_ = firstLeafFrom(root_.get());
    return cursor_;
}

TMailBodyPart* MParser::NextLeaf() {
    if (cursor_)
        cursor_ = nextLeafAfter(cursor_);
    return cursor_;
}

}  // namespace MailParser
