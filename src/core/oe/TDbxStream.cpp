#include "oe/TDbxStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "base/EError.h"

TDbxStream::TDbxStream(const std::string& path, std::size_t pageSize)
    : name_(path), pageSize_(std::max<std::size_t>(pageSize, 16)) {
    // O_NONBLOCK keeps the open of a named pipe from waiting for a writer; the file is
    // refused below unless it is a regular file, where the flag changes nothing.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        throw EFileError("Cannot open file \"" + path + "\". " + std::strerror(errno));
    Attach(fd);
}

TDbxStream::TDbxStream(int fd, const std::string& name, std::size_t pageSize)
    : name_(name), pageSize_(std::max<std::size_t>(pageSize, 16)) {
    Attach(fd);
}

void TDbxStream::Attach(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        int error = errno;
        ::close(fd);
        throw EFileError("Cannot open file \"" + name_ + "\". " + std::strerror(error));
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        throw EFileError("Cannot open file \"" + name_ + "\". " +
                         std::strerror(S_ISDIR(st.st_mode) ? EISDIR : EINVAL));
    }
    fd_ = fd;
    size_ = static_cast<std::uint64_t>(st.st_size);
}

TDbxStream::~TDbxStream() {
    if (fd_ >= 0)
        ::close(fd_);
}

std::size_t TDbxStream::ReadDirect(std::uint64_t offset, char* out, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        ssize_t got = ::pread(fd_, out + done, count - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

const TDbxStream::Page& TDbxStream::PageFor(std::uint64_t index) {
    Page* victim = &pages_[0];
    for (Page& page : pages_) {
        if (page.index == index) {
            page.lastUse = ++useClock_;
            return page;
        }
        if (page.lastUse < victim->lastUse)
            victim = &page;
    }
    victim->bytes.resize(pageSize_);
    const std::uint64_t start = index * pageSize_;
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::uint64_t>(pageSize_, size_ - start));
    victim->length = ReadDirect(start, victim->bytes.data(), want);
    victim->index = index;
    victim->lastUse = ++useClock_;
    return *victim;
}

std::size_t TDbxStream::ReadAt(std::uint64_t offset, void* out, std::size_t count) {
    if (offset >= size_)
        return 0;
    count = static_cast<std::size_t>(std::min<std::uint64_t>(count, size_ - offset));
    char* dst = static_cast<char*>(out);
    if (count >= pageSize_)
        return ReadDirect(offset, dst, count);
    std::size_t done = 0;
    while (done < count) {
        const std::uint64_t at = offset + done;
        const Page& page = PageFor(at / pageSize_);
        const std::size_t inPage = static_cast<std::size_t>(at % pageSize_);
        if (inPage >= page.length)
            break;  // the file gave less than its size promised
        const std::size_t n = std::min(count - done, page.length - inPage);
        std::memcpy(dst + done, page.bytes.data() + inPage, n);
        done += n;
    }
    return done;
}
