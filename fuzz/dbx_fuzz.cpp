// The Outlook Express store reader on arbitrary file contents: reading messages, walking
// every message record and reading the folder list must end with messages, a DbxException
// or nothing, never a crash, a hang or an allocation the file cannot justify. The bytes
// are handed over as a memory file so that the real positioned-read path (and, with tiny
// pages, its page cache across page boundaries) is what runs.
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "oe/DbxException.h"
#include "oe/TDbxImpl.h"
#include "oe/TDbxStream.h"
#include "oe/TOE5_DbxParser.h"
#include "oe/TOE5_FolderInfo.h"

namespace {

int MemoryFile(const uint8_t* data, size_t size) {
    int fd = memfd_create("dbx", MFD_CLOEXEC);
    if (fd < 0)
        __builtin_trap();
    for (size_t done = 0; done < size;) {
        ssize_t n = write(fd, data + done, size - done);
        if (n <= 0)
            __builtin_trap();
        done += size_t(n);
    }
    return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (std::size_t pageSize : {std::size_t(16), TDbxStream::kDefaultPageSize}) {
        TDbxStream stream(MemoryFile(data, size), "fuzz.dbx", pageSize);
        std::atomic<bool> stop{false};
        TOE5_DbxParser parser;
        std::vector<std::string> messages;
        try {
            parser.ReadMessages(stream, messages, stop);
        } catch (const DbxException&) {
        }
        try {
            parser.ScanMessages(stream, [&](const TOE5_DbxParser::MessageInfo& info) {
                if (info.TextOffset) {
                    try {
                        parser.Impl().ReadText(info.TextOffset);
                    } catch (const DbxException&) {
                    }
                }
                return true;
            });
        } catch (const DbxException&) {
        }
        TOE5_FolderInfo folders;
        try {
            folders.LoadFolders(stream);
        } catch (const DbxException&) {
        }
    }
    return 0;
}
