#pragma once

#include <atomic>
#include <string>
#include <string_view>
#include <vector>

#include "script/TScript.h"
#include "script/TScriptInterpreter.h"
#include "script/TTestReporter.h"
#include "text/TMSManager.h"

// A script test run: runs a script over one page as an import would, but stores nothing,
// converts nothing with the HTML engine, and reports the outcome of every line as text
// (the test output, doc/script-language.md). The script test window runs it on a worker
// thread; the command line runs it in place.
//
// The output goes to the reporter: Progress after every post and whenever 64 KiB have
// gathered without one, Finish once at the end,
// always (script errors, a page that cannot be read and a stop request included). Only
// an abandoned run (EAborted) leaves without Finish.
class TTestRun : private TScriptInterpreter {
  public:
    // `scriptLines` as stored in the script file (or the editor's lines); `today` is the
    // short date "#D" uses (script::TodayShortDate() for the real date).
    TTestRun(std::vector<std::string> scriptLines, std::string pagePath, std::string today,
             TTestReporter& reporter);

    // Loads the page and runs the script.
    void Run();
    // Runs the script over page bytes held in memory (an empty text fails as an empty
    // file does).
    void RunOnBytes(std::string_view pageBytes);

    // Asks the run to end before its next line. Any thread may call it.
    void Terminate() { terminate_.store(true, std::memory_order_relaxed); }

  private:
    void RunPage();
    void FinishRun();
    void HandOver();

    bool StopRequested() override { return terminate_.load(std::memory_order_relaxed); }
    std::string ApplyToday() override;
    std::string Extract(char variable, std::string_view source) override;
    void Post() override;
    void Entry(std::size_t line, EntryKind kind, std::string_view detail) override;

    void Write(std::size_t line, const char* prefix, std::string_view text,
               std::string_view detail);

    TScript testScript_;
    std::string pagePath_;
    std::string today_;
    TTestReporter& reporter_;
    TMSManager pageBuffer_;
    std::atomic<bool> terminate_{false};
    std::string output_;
    int errorLine_ = 0;
    bool success_ = true;
};
