#include "base/FileBytes.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/EError.h"

std::string ReadFileBytes(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        throw EFileError("Cannot open file \"" + path + "\". " + std::strerror(errno));
    std::string bytes;
    char chunk[1 << 16];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.append(chunk, got);
    const bool failed = std::ferror(f) != 0;
    const int readErrno = errno;
    std::fclose(f);
    if (failed)
        throw EFileError("Cannot read file \"" + path + "\". " + std::strerror(readErrno));
    return bytes;
}
