#pragma once

#include <string>

#include "CliArgs.h"
#include "CliEncoding.h"
#include "import/TNParser.h"

// The conversion engine as brevilo-cli's convert and import set it up: the script of
// --script, the date of --today (mm/dd/yyyy; today when absent) and --decode-charsets
// (messages in every known charset become cp932; the command must accept the flag).
struct ImportEngine {
    explicit ImportEngine(const CliArgs& args);

    // Converts one file; on failure returns false with the failure's text in `message`.
    bool Convert(const std::string& path, std::string& message);

    TNParser parser;
};

// Writes the import's message for a failed file to standard error: the failure's text and
// the name (no folder) of the file as it is now called.
void ReportFailure(const std::string& message, const std::string& path,
                   const CliEncoding& encoding);

// A path (bytes as the file system has them, UTF-8 on Linux) as record text (cp932), so
// that every encoding writes it back as the path it was.
std::string FileNameText(const std::string& path, const CliEncoding& encoding);
