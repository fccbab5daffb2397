// The mbox splitter on arbitrary file contents: it must end with messages, ENParseError or
// nothing, never a crash or a hang, and no message may be longer than the file. The bytes
// are handed over as a memory file so that the real read path (chunks, Content-Length
// checks with positioned reads) is what runs.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "import/ENParseError.h"
#include "import/TMboxReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int fd = memfd_create("mbox", MFD_CLOEXEC);
    if (fd < 0)
        __builtin_trap();
    for (size_t done = 0; done < size;) {
        ssize_t n = write(fd, data + done, size - done);
        if (n <= 0)
            __builtin_trap();
        done += size_t(n);
    }
    try {
        TMboxReader reader("/proc/self/fd/" + std::to_string(fd));
        std::string message;
        while (reader.Next(message))
            if (message.size() > size || reader.MessageNumber() > int(size))
                __builtin_trap();
    } catch (const ENParseError&) {
    }
    close(fd);
    return 0;
}
