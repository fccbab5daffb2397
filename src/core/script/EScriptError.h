#pragma once

#include <string>
#include <utility>

// A script stopped at one of its lines during an import run. The import driver reports it
// as "[Script Error] Stopped at line: " + Line() and selects that line when the failed page
// is opened in the script test window.
//
// Deliberately outside the EError family: the driver tells a script error apart from
// conversion failures by type, and a handler written for EError (or std::exception) must
// not turn it into a message text. Detail() is the test run's text for the same error; the
// import shows only the line.
class EScriptError {
  public:
    EScriptError(int line, std::string detail) : line_(line), detail_(std::move(detail)) {}

    // 1-based line number in the script file.
    int Line() const { return line_; }
    const std::string& Detail() const { return detail_; }

  private:
    int line_;
    std::string detail_;
};
