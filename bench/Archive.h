// What the archive benchmarks share: the folder the million-record table is cached in, and
// the process's private memory.
#pragma once

#include <cstdlib>
#include <fstream>
#include <string>

namespace bench {

// BREVILO_ARCHIVE_DIR, else /tmp/brevilo-archive-1m.
inline std::string ArchiveCacheDir() {
    const char* dir = std::getenv("BREVILO_ARCHIVE_DIR");
    return dir ? dir : "/tmp/brevilo-archive-1m";
}

// Kilobytes of private (anonymous) resident memory: the mapped table file's pages aside.
inline long RssAnonKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("RssAnon:", 0) == 0)
            return std::atol(line.c_str() + 8);
    return -1;
}

}  // namespace bench
