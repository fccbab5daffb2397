#pragma once

#include <functional>
#include <string>

#include "base/TRecordFields.h"
#include "mail/TParseOptions.h"

// What an import run needs of the conversion engine; TNParser is the real one, tests use
// fakes. Everything is called on the converting thread.
class IConversionEngine {
  public:
    virtual ~IConversionEngine() = default;

    // Loads the script for web pages when path is not empty.
    virtual void SetScript(const std::string& path) = 0;
    // Called for every finished record, with Fields() complete. The callee may call
    // SetStopFlag() instead of taking the record.
    virtual void SetOnRecord(std::function<void()> onRecord) = 0;
    // Converts one file; throws on failure (records handed over before stay handed over).
    virtual void Convert(const std::string& path) = 0;
    // Tells the converters to stop producing records; Convert then returns normally.
    virtual void SetStopFlag() = 0;
    virtual const TRecordFields& Fields() const = 0;
    // How messages are read (which charsets become cp932); set before the first Convert.
    virtual void SetMailOptions(const MailParser::TParseOptions& options) { (void)options; }
};
