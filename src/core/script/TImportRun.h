#pragma once

#include <string>
#include <string_view>

#include "script/TScriptHost.h"
#include "script/TScriptInterpreter.h"

class TMSManager;

// A script run inside an import: walks one web page and writes its records through the
// conversion engine that owns it (TScriptHost). Warnings are silent; every script error
// ends the page with EScriptError carrying the 1-based script line; records posted before
// it stay handed over.
//
// Tests the host's StopFlag and ThrowIfAborted() before every line. Runs on the thread that
// converts; one page at a time.
class TImportRun : private TScriptInterpreter {
  public:
    explicit TImportRun(TScriptHost& host) : TScriptInterpreter(false), host_(host) {}

    // Loads the page at `path` into `page` (an empty file fails with EError "Failed to read
    // a file", an unreadable one with EFileError) and runs the script over it.
    void Run(const TScript& script, TMSManager& page, const std::string& path);
    // Runs the script over a page already in `page`.
    void RunLoaded(const TScript& script, TMSManager& page);

  private:
    bool StopRequested() override { return host_.StopRequested(); }
    std::string ApplyToday() override;
    std::string Extract(char variable, std::string_view source) override;
    void Post() override;
    std::string& Variable(char letter) override;

    TScriptHost& host_;
};
