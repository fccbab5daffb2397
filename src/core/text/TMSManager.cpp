#include "text/TMSManager.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/EError.h"
#include "base/FileBytes.h"
#include "text/Cp932.h"

namespace {

constexpr unsigned char toLowerAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

// Whether the pattern matches at `at`. Only the pattern's single-byte letters fold case;
// both bytes of a double-byte character of the pattern must be equal exactly, so that a
// trail byte in the letter range (ア is 83 41) never matches its "other case".
bool matchesAt(const unsigned char* at, const unsigned char* pattern, std::size_t n) {
    for (std::size_t i = 0; i < n;) {
        if (cp932::isLeadByte(pattern[i]) && i + 1 < n) {
            if (at[i] != pattern[i] || at[i + 1] != pattern[i + 1])
                return false;
            i += 2;
            continue;
        }
        if (at[i] != pattern[i] && toLowerAscii(at[i]) != toLowerAscii(pattern[i]))
            return false;
        ++i;
    }
    return true;
}

// Next position in [from, end) that holds `c` in either ASCII case, or end.
// Two memchr cursors, each advanced only past its own hit, keep the scan linear.
class FirstByteScanner {
  public:
    FirstByteScanner(const unsigned char* base, std::size_t end, unsigned char c)
        : base_(base), end_(end), lower_(toLowerAscii(c)) {
        upper_ =
            (lower_ >= 'a' && lower_ <= 'z') ? static_cast<unsigned char>(lower_ - 32) : lower_;
    }

    std::size_t next(std::size_t from) {
        if (from >= end_)
            return end_;
        if (nextLower_ < from || nextLower_ == kUnset)
            nextLower_ = scan(from, lower_);
        if (upper_ == lower_)
            return nextLower_;
        if (nextUpper_ < from || nextUpper_ == kUnset)
            nextUpper_ = scan(from, upper_);
        return nextLower_ < nextUpper_ ? nextLower_ : nextUpper_;
    }

  private:
    static constexpr std::size_t kUnset = static_cast<std::size_t>(-1);

    std::size_t scan(std::size_t from, unsigned char c) const {
        const void* hit = std::memchr(base_ + from, c, end_ - from);
        return hit ? static_cast<std::size_t>(static_cast<const unsigned char*>(hit) - base_)
                   : end_;
    }

    const unsigned char* base_;
    std::size_t end_;
    unsigned char lower_;
    unsigned char upper_;
    std::size_t nextLower_ = kUnset;
    std::size_t nextUpper_ = kUnset;
};

// The first "|" that is a character of its own: the trail byte of a double-byte character
// (ポ is 83 7C) does not split the pattern.
std::size_t FindBar(std::string_view pattern) {
    for (std::size_t i = 0; i < pattern.size(); i = cp932::nextChar(pattern, i))
        if (pattern[i] == '|')
            return i;
    return std::string_view::npos;
}

}  // namespace

std::size_t FindNoCaseAscii(std::string_view haystack, std::size_t from, std::size_t limit,
                            std::string_view needle) {
    if (limit > haystack.size())
        limit = haystack.size();
    if (needle.empty() || from >= limit || limit - from < needle.size())
        return std::string_view::npos;
    const auto* base = reinterpret_cast<const unsigned char*>(haystack.data());
    const auto* pat = reinterpret_cast<const unsigned char*>(needle.data());
    const std::size_t lastStart = limit - needle.size();
    FirstByteScanner scanner(base, lastStart + 1, pat[0]);
    for (std::size_t p = scanner.next(from); p <= lastStart; p = scanner.next(p + 1)) {
        if (matchesAt(base + p, pat, needle.size()))
            return p;
    }
    return std::string_view::npos;
}

void TMSManager::Load(const std::string& path) {
    data_.clear();
    cursor_ = mark_ = 0;
    std::string bytes = ReadFileBytes(path);
    if (bytes.empty())
        throw EError("Failed to read a file");
    data_ = std::move(bytes);
}

void TMSManager::Assign(std::string_view bytes) {
    data_.assign(bytes);
    cursor_ = mark_ = 0;
}

void TMSManager::ReplaceNulls() {
    for (char& c : data_)
        if (c == '\0')
            c = '\x07';
}

std::size_t TMSManager::LineEnd() const {
    for (std::size_t p = cursor_; p < data_.size(); ++p)
        if (data_[p] == '\r' || data_[p] == '\n')
            return p;
    return data_.size();
}

bool TMSManager::Find(std::string_view pattern, std::size_t& matchPos,
                      std::size_t& matchLen) const {
    std::size_t limit = End();
    if (!pattern.empty() && pattern.back() == ';') {
        pattern.remove_suffix(1);
        limit = LineEnd();
    }
    if (std::size_t bar = FindBar(pattern); bar != std::string_view::npos) {
        std::string_view tail = pattern.substr(bar + 1);
        std::size_t tailPos = FindNoCaseAscii(data_, cursor_, limit, tail);
        if (tailPos == std::string_view::npos)
            return false;
        limit = tailPos;
        pattern = pattern.substr(0, bar);
    }
    std::size_t p = FindNoCaseAscii(data_, cursor_, limit, pattern);
    if (p == std::string_view::npos)
        return false;
    matchPos = p;
    matchLen = pattern.size();
    return true;
}

bool TMSManager::SkipPast(std::string_view pattern) {
    std::size_t pos, len;
    if (!Find(pattern, pos, len))
        return false;
    mark_ = cursor_;
    cursor_ = pos + len;
    return true;
}

bool TMSManager::SkipTo(std::string_view pattern) {
    std::size_t pos, len;
    if (!Find(pattern, pos, len))
        return false;
    mark_ = cursor_;
    cursor_ = pos;
    return true;
}

int TMSManager::Progress() const {
    if (data_.empty())
        return 0;
    return static_cast<int>(static_cast<unsigned long long>(cursor_) * 100 / data_.size());
}

std::string_view TMSManager::Range(std::size_t from, std::size_t to) const {
    if (to > End())
        to = End();
    if (from > to)
        from = to;
    return std::string_view(data_).substr(from, to - from);
}
