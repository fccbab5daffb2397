#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The page buffer: the bytes of one source file, a read cursor and a mark. Converters read
// a file through it; the script interpreter walks a web page with it, each search moving
// the cursor, so that [Mark, Cursor) is the text the last successful search passed over.
//
// Positions are byte offsets into the buffer: Start() is 0, End() is the file size, and a
// NUL byte always lies at End() so the contents read as one NUL-terminated string.
// Positions stay valid until the next Load. Not thread-safe; one owner at a time.
//
// Patterns (doc/page-buffer.md): a final ";" restricts the match to the current line;
// "head|tail" (split at the first "|" that is a character of its own) finds head only
// before the next tail. The pattern's single-byte letters A-Z match either case; every
// other byte, both bytes of the pattern's double-byte characters included, must match
// exactly.
// An empty pattern (or an empty head) is never found.
class TMSManager {
  public:
    // Reads the whole file, replacing the previous contents. Throws EError("Failed to
    // read a file") for an empty file and EFileError naming the file when it cannot be
    // opened or read; on failure the buffer is empty.
    void Load(const std::string& path);

    // Replaces the contents with the given bytes, as Load does with a file's (no check
    // for emptiness: the caller decides what an empty text means).
    void Assign(std::string_view bytes);

    // Replaces every NUL byte in [Start, End) by 0x07.
    void ReplaceNulls();

    // The first CR or LF at or after Cursor, or End.
    std::size_t LineEnd() const;

    // On success Mark = old Cursor and Cursor = one past the match / the match's start.
    // A failed search moves nothing.
    bool SkipPast(std::string_view pattern);
    bool SkipTo(std::string_view pattern);

    // (Cursor - Start) * 100 / (End - Start); 0 for an empty buffer.
    int Progress() const;

    std::size_t Start() const { return 0; }
    std::size_t End() const { return data_.size(); }
    std::size_t Cursor() const { return cursor_; }
    std::size_t Mark() const { return mark_; }
    // Moves the cursor; the value is clamped to [Start, End].
    void SetCursor(std::size_t pos) { cursor_ = pos > End() ? End() : pos; }
    void SetMark(std::size_t pos) { mark_ = pos > End() ? End() : pos; }

    // The bytes [Start, End), NUL-terminated.
    const char* Data() const { return data_.c_str(); }
    std::string_view Text() const { return data_; }
    // The bytes [from, to), both clamped to [Start, End].
    std::string_view Range(std::size_t from, std::size_t to) const;
    // The bytes [Mark, Cursor).
    std::string_view Passed() const { return Range(mark_, cursor_); }

  private:
    // Finds the pattern with its marks applied; on success the match's start and length.
    bool Find(std::string_view pattern, std::size_t& matchPos, std::size_t& matchLen) const;

    std::string data_;
    std::size_t cursor_ = 0;
    std::size_t mark_ = 0;
};

// The first p in [from, limit) with p + needle.size() <= limit where needle matches, its
// single-byte letters A-Z/a-z equal to their other case (not the bytes of its double-byte
// characters); npos when there is none or needle is empty.
// A straight scan: no index, no allocation.
std::size_t FindNoCaseAscii(std::string_view haystack, std::size_t from, std::size_t limit,
                            std::string_view needle);
