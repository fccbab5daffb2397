#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Read-only random access to one store file, as the .dbx reader needs it: many small reads
// (record heads, 16-byte block heads, 512-byte text blocks) scattered over a few regions
// of the file (the index, the records, the message texts).
//
// The file is opened without any lock, so Outlook Express (or anything else) may keep
// reading and writing it meanwhile. Reads go through positioned reads (pread), never a
// memory mapping: a file that shrinks under the reader gives short reads, not a signal.
// The size is taken once at open; every read is bounded by it, so the reader's checks
// against Size() hold for the whole run.
//
// A few aligned pages are cached (least recently used goes first), one region each, so
// alternating between the record area and the text area does not re-read either. Not
// thread-safe; one owner at a time.
class TDbxStream {
  public:
    static constexpr std::size_t kDefaultPageSize = 64 * 1024;
    static constexpr std::size_t kPageCount = 4;

    // Opens a regular file for reading. Throws EFileError naming the file when it cannot be
    // opened or is not a regular file (a folder, a pipe).
    explicit TDbxStream(const std::string& path, std::size_t pageSize = kDefaultPageSize);
    // Reads through an open descriptor of a regular file (a memory file in the fuzzer);
    // the stream closes it. Throws EFileError when it is not a readable regular file.
    TDbxStream(int fd, const std::string& name, std::size_t pageSize = kDefaultPageSize);
    ~TDbxStream();
    TDbxStream(const TDbxStream&) = delete;
    TDbxStream& operator=(const TDbxStream&) = delete;

    // The file's size when it was opened.
    std::uint64_t Size() const { return size_; }
    const std::string& Name() const { return name_; }

    // Copies up to `count` bytes from byte offset `offset` into `out`; returns how many were
    // copied: fewer at the end of the file (as sized at open) or when the system reports a
    // read error.
    std::size_t ReadAt(std::uint64_t offset, void* out, std::size_t count);
    // True when all `count` bytes could be read.
    bool ReadExact(std::uint64_t offset, void* out, std::size_t count) {
        return ReadAt(offset, out, count) == count;
    }

  private:
    struct Page {
        std::uint64_t index = UINT64_MAX;  // file offset / page size; UINT64_MAX = empty
        std::size_t length = 0;            // valid bytes (short at the end of the file)
        std::uint64_t lastUse = 0;
        std::vector<char> bytes;
    };

    void Attach(int fd);
    const Page& PageFor(std::uint64_t index);
    std::size_t ReadDirect(std::uint64_t offset, char* out, std::size_t count);

    int fd_ = -1;
    std::string name_;
    std::uint64_t size_ = 0;
    std::size_t pageSize_;
    std::uint64_t useClock_ = 0;
    Page pages_[kPageCount];
};
