#include "import/TMboxReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/Abort.h"
#include "base/EError.h"
#include "import/ENParseError.h"

namespace {

constexpr std::size_t kChunkBytes = 256 * 1024;
// A header block longer than this is not taken as the start of a message: the look-ahead
// that decides a split stays small whatever the file holds.
constexpr int kMaxHeaderLines = 1000;
constexpr std::size_t kMaxHeaderBytes = 256 * 1024;
constexpr std::string_view kEnvelope = "From ";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view WithoutCr(std::string_view line) {
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z')
            x = static_cast<unsigned char>(x + 32);
        if (y >= 'A' && y <= 'Z')
            y = static_cast<unsigned char>(y + 32);
        if (x != y)
            return false;
    }
    return true;
}

bool IsOneOf(std::string_view word, std::initializer_list<std::string_view> words) {
    for (std::string_view w : words)
        if (word == w)
            return true;
    return false;
}

bool IsDigits(std::string_view text, std::size_t minCount, std::size_t maxCount) {
    if (text.size() < minCount || text.size() > maxCount)
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// "hh:mm" or "hh:mm:ss".
bool IsClockTime(std::string_view text) {
    std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || !IsDigits(text.substr(0, colon), 1, 2))
        return false;
    std::string_view rest = text.substr(colon + 1);
    std::size_t second = rest.find(':');
    if (second == std::string_view::npos)
        return IsDigits(rest, 2, 2);
    return IsDigits(rest.substr(0, second), 2, 2) && IsDigits(rest.substr(second + 1), 2, 2);
}

// Whether an envelope line carries the asctime date of RFC 4155 ("Sat Nov 14 21:29:28
// 2015") somewhere after "From ": the sender part may itself hold blanks ("andy at
// example.com" in list archives), so the date is looked for, not counted out.
bool EnvelopeHasDate(std::string_view line) {
    std::string_view tokens[64];
    std::size_t count = 0;
    std::size_t p = kEnvelope.size();
    while (p < line.size() && count < std::size(tokens)) {
        while (p < line.size() && IsBlank(line[p]))
            ++p;
        std::size_t start = p;
        while (p < line.size() && !IsBlank(line[p]))
            ++p;
        if (p > start)
            tokens[count++] = line.substr(start, p - start);
    }
    for (std::size_t i = 0; i + 3 < count; ++i) {
        if (IsOneOf(tokens[i], {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"}) &&
            IsOneOf(tokens[i + 1], {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep",
                                    "Oct", "Nov", "Dec"}) &&
            IsDigits(tokens[i + 2], 1, 2) && IsClockTime(tokens[i + 3]))
            return true;
    }
    return false;
}

// Fields that every real message header carries at least one of (RFC 5322, 3.6; RFC 2045;
// RFC 5536): a block of "Name: value" lines without any of them ("Year: 1963") is body text.
bool IsMessageField(std::string_view name) {
    for (std::string_view known :
         {"From", "Sender", "Date", "Subject", "To", "Cc", "Message-ID", "Received", "Return-Path",
          "Reply-To", "In-Reply-To", "References", "MIME-Version", "Content-Type", "Newsgroups",
          "Path", "Delivered-To"})
        if (EqualsNoCase(name, known))
            return true;
    return false;
}

// The field name of a header line (RFC 5322, 2.2: printable ASCII but ":"), or empty when
// the line is no header field.
std::string_view FieldName(std::string_view line) {
    std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0)
        return {};
    for (std::size_t i = 0; i < colon; ++i) {
        unsigned char c = static_cast<unsigned char>(line[i]);
        if (c < 0x21 || c > 0x7e)
            return {};
    }
    return line.substr(0, colon);
}

}  // namespace

TMboxReader::TMboxReader(const std::string& path) : path_(path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0)
        throw EFileError("Cannot open file \"" + path + "\". " + std::strerror(errno));
}

TMboxReader::~TMboxReader() {
    ::close(fd_);
}

bool TMboxReader::Fill() {
    if (eof_)
        return false;
    // Bytes before the current message are dropped once they are most of the buffer, so
    // the buffer never holds much more than one message and one chunk, and each byte is
    // moved at most once on average.
    if (pos_ > 0 && pos_ * 2 >= buf_.size()) {
        buf_.erase(0, pos_);
        bufOffset_ += pos_;
        pos_ = 0;
    }
    std::size_t old = buf_.size();
    buf_.resize(old + kChunkBytes);
    ssize_t got;
    do {
        got = ::read(fd_, buf_.data() + old, kChunkBytes);
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        int readErrno = errno;
        buf_.resize(old);
        throw EFileError("Cannot read file \"" + path_ + "\". " + std::strerror(readErrno));
    }
    buf_.resize(old + static_cast<std::size_t>(got));
    if (got == 0)
        eof_ = true;
    return got > 0;
}

// Fill may drop the bytes before pos_, so every index kept across a call below is taken
// relative to pos_ and rebuilt afterwards.
bool TMboxReader::HaveBytes(std::size_t end) {
    while (buf_.size() < end) {
        std::size_t relative = end - pos_;
        if (!Fill())
            return false;
        end = pos_ + relative;
    }
    return true;
}

std::size_t TMboxReader::LineEnd(std::size_t from) {
    std::size_t scanned = from;
    while (true) {
        const void* lf = std::memchr(buf_.data() + scanned, '\n', buf_.size() - scanned);
        if (lf)
            return static_cast<std::size_t>(static_cast<const char*>(lf) - buf_.data());
        std::size_t fromRel = from - pos_;
        std::size_t scannedRel = buf_.size() - pos_;
        if (!Fill())
            return buf_.size();
        from = pos_ + fromRel;
        scanned = pos_ + scannedRel;
    }
}

void TMboxReader::Begin() {
    started_ = true;
    HaveBytes(3);
    if (buf_.compare(0, 3, "\xef\xbb\xbf") == 0)  // UTF-8 byte-order mark
        pos_ = 3;
    while (HaveBytes(pos_ + 1)) {
        std::size_t end = LineEnd(pos_);
        std::string_view line = WithoutCr(std::string_view(buf_).substr(pos_, end - pos_));
        if (!line.empty()) {
            if (line.substr(0, kEnvelope.size()) != kEnvelope)
                throw ENParseError("[Error] File type mismatch");
            return;
        }
        pos_ = end + 1;
    }
    pos_ = buf_.size();
}

bool TMboxReader::Next(std::string& message) {
    if (!started_)
        Begin();
    if (!HaveBytes(pos_ + 1))
        return false;
    ThrowIfAborted();
    const std::size_t envelopeEnd = LineEnd(pos_);
    const std::size_t contentRel =
        (envelopeEnd < buf_.size() ? envelopeEnd + 1 : envelopeEnd) - pos_;
    std::size_t end;
    if (!ContentLengthEnd(pos_ + contentRel, end))
        end = NextEnvelope(pos_ + contentRel);
    CopyUnquoted(pos_ + contentRel, end, message);
    pos_ = end;
    ++number_;
    return true;
}

// A Content-Length field of the message's header is honoured only when the body it counts
// ends right before the next envelope line (at most two line ends between) or at the end of
// the file: writers that count in other line ends, or a field copied from elsewhere, must
// not swallow the next messages. Checked with pread, so a wrong length costs no reading.
bool TMboxReader::ContentLengthEnd(std::size_t headerFrom, std::size_t& end) {
    const std::size_t fromRel = headerFrom - pos_;
    std::size_t rel = fromRel;  // the line being read, relative to pos_
    std::uint64_t length = 0;
    bool found = false;
    bool bodyFound = false;
    for (int i = 0; i < kMaxHeaderLines && rel - fromRel <= kMaxHeaderBytes; ++i) {
        if (!HaveBytes(pos_ + rel + 1))
            return false;
        const std::size_t lineEnd = LineEnd(pos_ + rel);
        const std::size_t p = pos_ + rel;
        std::string_view line = WithoutCr(std::string_view(buf_).substr(p, lineEnd - p));
        if (lineEnd >= buf_.size())
            return false;  // the file ends inside the header: no body to count
        rel = lineEnd + 1 - pos_;
        if (line.empty()) {
            bodyFound = true;
            break;
        }
        if (IsBlank(line[0]))
            continue;
        std::string_view name = FieldName(line);
        if (name.empty())
            return false;
        if (EqualsNoCase(name, "Content-Length")) {
            std::string_view value = line.substr(name.size() + 1);
            while (!value.empty() && IsBlank(value.front()))
                value.remove_prefix(1);
            while (!value.empty() && IsBlank(value.back()))
                value.remove_suffix(1);
            if (!IsDigits(value, 1, 15))
                return false;
            length = std::stoull(std::string(value));
            found = true;
        }
    }
    if (!found || !bodyFound)
        return false;

    const std::uint64_t target = bufOffset_ + pos_ + rel + length;
    // The byte before the target too: the next envelope must begin a line.
    char tail[10];
    ssize_t got;
    do {
        got = ::pread(fd_, tail, sizeof tail, static_cast<off_t>(target - 1));
    } while (got < 0 && errno == EINTR);
    if (got < 1)
        return false;
    const bool atLineStart = tail[0] == '\n';
    std::string_view after(tail + 1, static_cast<std::size_t>(got - 1));
    got -= 1;
    std::size_t skip = 0;
    for (int i = 0; i < 2; ++i) {
        if (after.substr(skip, 1) == "\n")
            skip += 1;
        else if (after.substr(skip, 2) == "\r\n")
            skip += 2;
    }
    if (skip == after.size()) {
        // Only line ends after the body: the message runs to the end of the file, provided
        // the length does not point past it.
        struct stat st;
        if (got == 0 &&
            (::fstat(fd_, &st) != 0 || static_cast<std::uint64_t>(st.st_size) != target))
            return false;
    } else if (after.substr(skip, kEnvelope.size()) != kEnvelope || (skip == 0 && !atLineStart)) {
        return false;
    }
    const std::size_t endRel = static_cast<std::size_t>(target + skip - bufOffset_) - pos_;
    if (!HaveBytes(pos_ + endRel))
        return false;
    end = pos_ + endRel;
    return true;
}

// The start of the next message's envelope line at or after `from`, or the end of the file.
std::size_t TMboxReader::NextEnvelope(std::size_t from) {
    // Look for "\nFrom " from the line end before `from`, so that `from` itself counts.
    std::size_t search = from > pos_ ? from - 1 : from;
    while (true) {
        const void* hit = ::memmem(buf_.data() + search, buf_.size() - search, "\nFrom ", 6);
        if (!hit) {
            if (eof_)
                return buf_.size();
            // Keep the last bytes: the pattern may straddle the chunk boundary.
            std::size_t keepRel = (buf_.size() > search + 5 ? buf_.size() - 5 : search) - pos_;
            if (!Fill())
                return buf_.size();
            search = pos_ + keepRel;
            continue;
        }
        std::size_t lineStart =
            static_cast<std::size_t>(static_cast<const char*>(hit) - buf_.data()) + 1;
        std::size_t lineRel = lineStart - pos_;
        bool starts = StartsMessage(lineStart);
        lineStart = pos_ + lineRel;
        if (starts)
            return lineStart;
        search = lineStart;
        ThrowIfAborted();
    }
}

// Whether the "From " line at lineStart begins a new message: after an empty line it needs
// the envelope's date or a message header after it; elsewhere (writers such as old
// Netscape put no empty line before it) a message header after it. "From Russia with
// love" in a body that nobody quoted is therefore kept in its message.
bool TMboxReader::StartsMessage(std::size_t lineStart) {
    bool afterEmptyLine =
        lineStart >= 2 &&
        (buf_[lineStart - 2] == '\n' ||
         (buf_[lineStart - 2] == '\r' && lineStart >= 3 && buf_[lineStart - 3] == '\n'));
    std::size_t startRel = lineStart - pos_;
    std::size_t lineEnd = LineEnd(lineStart);
    lineStart = pos_ + startRel;
    std::string_view line =
        WithoutCr(std::string_view(buf_).substr(lineStart, lineEnd - lineStart));
    if (afterEmptyLine && EnvelopeHasDate(line))
        return true;
    return lineEnd < buf_.size() && HeaderBlockFollows(lineEnd + 1);
}

bool TMboxReader::HeaderBlockFollows(std::size_t from) {
    const std::size_t fromRel = from - pos_;
    std::size_t rel = fromRel;
    int fields = 0;
    bool known = false;
    for (int i = 0; i < kMaxHeaderLines; ++i) {
        if (rel - fromRel > kMaxHeaderBytes)
            return false;
        if (!HaveBytes(pos_ + rel + 1))
            break;
        const std::size_t lineEnd = LineEnd(pos_ + rel);
        const std::size_t p = pos_ + rel;
        std::string_view line = WithoutCr(std::string_view(buf_).substr(p, lineEnd - p));
        if (line.empty())
            break;
        if (IsBlank(line[0])) {
            if (fields == 0)
                return false;
        } else {
            std::string_view name = FieldName(line);
            if (name.empty())
                return false;
            ++fields;
            known = known || IsMessageField(name);
        }
        if (lineEnd >= buf_.size())
            break;
        rel = lineEnd + 1 - pos_;
    }
    return fields > 0 && known;
}

void TMboxReader::CopyUnquoted(std::size_t from, std::size_t to, std::string& message) const {
    std::string_view text = std::string_view(buf_).substr(from, to - from);
    if (!::memmem(text.data(), text.size(), ">From ", 6)) {
        message.assign(text);
        return;
    }
    // mboxrd (RFC 4155, appendix A): a writer adds one ">" to every line that matches
    // ">*From "; one is taken off again here. For the older mboxo, whose writers quoted only
    // "From " lines, this gives back those lines too.
    message.clear();
    message.reserve(text.size());
    std::size_t p = 0;
    while (p < text.size()) {
        std::size_t lf = text.find('\n', p);
        std::size_t next = lf == std::string_view::npos ? text.size() : lf + 1;
        std::size_t q = p;
        while (q < next && text[q] == '>')
            ++q;
        bool quoted = q > p && text.substr(q, kEnvelope.size()) == kEnvelope;
        message.append(text.substr(quoted ? p + 1 : p, next - (quoted ? p + 1 : p)));
        p = next;
    }
}

bool TMboxReader::StartsWithFromLine(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char head[8];
    ssize_t got = ::read(fd, head, sizeof head);
    ::close(fd);
    std::string_view text(head, got > 0 ? static_cast<std::size_t>(got) : 0);
    if (text.substr(0, 3) == "\xef\xbb\xbf")
        text.remove_prefix(3);
    return text.substr(0, kEnvelope.size()) == kEnvelope;
}

int TMboxReader::CountMessages(const std::string& path) {
    TMboxReader reader(path);
    std::string message;
    int count = 0;
    while (reader.Next(message))
        ++count;
    return count;
}
