#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "script/TScript.h"

class TMSManager;

// The control flow that the import run (TImportRun) and the test run (TTestRun) share:
// directives, the statement loop, the failed state, jumps and the cycle limit, searches and
// extractions over the page buffer (doc/script-language.md). What differs between the two
// runs -- where S, F, G and N live, how extracted source becomes text, what a post does,
// and what is reported -- is left to the hooks below.
//
// A run object serves one page at a time on one thread.
class TScriptInterpreter {
  public:
    virtual ~TScriptInterpreter() = default;
    TScriptInterpreter(const TScriptInterpreter&) = delete;
    TScriptInterpreter& operator=(const TScriptInterpreter&) = delete;

  protected:
    // How the statement loop ended without an error.
    enum class Outcome {
        Done,       // end of the statements, or "." after at least one post
        Stopped,    // StopRequested() before a line
        NoRecords,  // "." before any post; LastRead() is the "." line
    };

    // A script error, thrown by Interpret. The two runs report the same error differently:
    // the import names ReportLine; the test run writes an entry for EntryLine and selects
    // WindowLine. They differ only for the cycle limit.
    struct Fault {
        std::size_t entryLine;  // 0-based line whose entry shows the error
        int reportLine;         // 1-based line an import reports
        int windowLine;         // 1-based line the test window selects
        std::string detail;
        bool directive;  // directive errors are shown without "[Error] "
    };

    enum class EntryKind { Info, Warning, PostIgnored };

    // `reporting`: whether the Entry hook wants entries (the import does not, and is spared
    // building their texts).
    explicit TScriptInterpreter(bool reporting) : reporting_(reporting) {}

    // Runs `script` over the loaded page: resets the run state, runs the directives and the
    // statements. Throws Fault for a script error; the hooks' exceptions pass through.
    Outcome Interpret(const TScript& script, TMSManager& page);

    // Tested before every statement line.
    virtual bool StopRequested() = 0;
    // "#D": gives the run's records today's date; returns the text for the entry.
    virtual std::string ApplyToday() = 0;
    // The text a variable receives from the page source [Mark, Cursor).
    virtual std::string Extract(char variable, std::string_view source) = 0;
    // "*" outside the failed state; Records() already counts this post.
    virtual void Post() = 0;
    // The storage of a variable letter (S F D G A N X Y Z). The default is the run's own;
    // the import redirects S, F, G and N to the engine's fields.
    virtual std::string& Variable(char letter);
    // One entry of the test output for a 0-based line; called only when reporting.
    virtual void Entry(std::size_t line, EntryKind kind, std::string_view detail);

    bool Reporting() const { return reporting_; }
    int Records() const { return records_; }
    // The last line the loop took (the "." of Outcome::NoRecords).
    std::size_t LastRead() const { return lastRead_; }
    const std::string& DateFormat() const { return dateFormat_; }
    bool HrefSwitch() const { return hrefSwitch_; }
    bool PreSwitch() const { return preSwitch_; }
    const TScript& Script() const { return *script_; }
    TMSManager& Page() const { return *page_; }

  private:
    void RunDirectives();
    Outcome RunStatements();
    void RunStatement(std::size_t& current);
    void Jump(const TStatement& st, std::size_t& current);
    void SetVariable(const TStatement& st, const std::string& value);
    [[noreturn]] void Fail(std::size_t line, std::string detail, bool directive = false) const;
    void Report(std::size_t line, EntryKind kind, std::string_view detail) {
        if (reporting_)
            Entry(line, kind, detail);
    }

    const bool reporting_;
    const TScript* script_ = nullptr;
    TMSManager* page_ = nullptr;
    std::array<std::string, 9> variables_;
    bool failed_ = false;
    int cycles_ = 0;
    int cycleLimit_ = 100;
    int records_ = 0;
    std::size_t lastRead_ = 0;
    std::string dateFormat_;
    bool hrefSwitch_ = true;
    bool preSwitch_ = false;
};
