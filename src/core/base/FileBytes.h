#pragma once

#include <string>

// The whole contents of a file. Throws EFileError naming the file when it cannot be
// opened ("Cannot open file "<path>". <reason>") or read; an empty file gives "".
std::string ReadFileBytes(const std::string& path);
