#include "script/TTestRun.h"

#include <exception>

#include "base/EError.h"
#include "script/ScriptText.h"

namespace {

constexpr const char* kInterrupted = "===== Interrupted by user =====";

// A loop that posts nothing still hands its output over in pieces of about this size, so a
// long run over a big page neither piles its whole report up in the worker nor makes the
// window take it in one piece.
constexpr std::size_t kHandOverBytes = 64 * 1024;

}  // namespace

TTestRun::TTestRun(std::vector<std::string> scriptLines, std::string pagePath, std::string today,
                   TTestReporter& reporter)
    : TScriptInterpreter(true),
      testScript_(std::move(scriptLines)),
      pagePath_(std::move(pagePath)),
      today_(std::move(today)),
      reporter_(reporter) {}

void TTestRun::Run() {
    try {
        pageBuffer_.Load(pagePath_);
    } catch (const EError& e) {
        output_ = e.what();
        success_ = false;
        FinishRun();
        return;
    }
    RunPage();
}

void TTestRun::RunOnBytes(std::string_view pageBytes) {
    if (pageBytes.empty()) {
        output_ = "Failed to read a file";
        success_ = false;
        FinishRun();
        return;
    }
    pageBuffer_.Assign(pageBytes);
    RunPage();
}

void TTestRun::RunPage() {
    try {
        Outcome outcome = Interpret(testScript_, pageBuffer_);
        if (outcome == Outcome::Stopped) {
            output_ += kInterrupted;
            output_ += "\r\n\r\n";
            success_ = false;
        } else if (Records() == 0) {
            Write(LastRead(), "[Error] ", {}, "No record created");
            success_ = false;
        }
    } catch (const Fault& fault) {
        Write(fault.entryLine, fault.directive ? "" : "[Error] ", testScript_.Text(fault.entryLine),
              fault.detail);
        errorLine_ = fault.windowLine;
        success_ = false;
    } catch (const EError& e) {
        output_ = e.what();
        success_ = false;
    } catch (const std::exception&) {
        // Exhausted memory and the like: not a message meant for the user.
        output_ = "Abnormal Error";
        success_ = false;
    }
    FinishRun();
}

void TTestRun::FinishRun() {
    std::string rest;
    rest.swap(output_);
    reporter_.Finish(rest, errorLine_, success_);
}

std::string TTestRun::ApplyToday() {
    Variable('D') = today_;
    return today_;
}

std::string TTestRun::Extract(char variable, std::string_view source) {
    return variable == 'A' ? script::ArticleSummary(source) : script::TestFieldValue(source);
}

void TTestRun::Post() {
    Write(LastRead(), "", testScript_.Text(LastRead()),
          "#" + std::to_string(Records()) + " record posted");
    HandOver();
}

void TTestRun::HandOver() {
    std::string handed;
    handed.swap(output_);
    reporter_.Progress(handed, Page().Progress());
}

void TTestRun::Entry(std::size_t line, EntryKind kind, std::string_view detail) {
    switch (kind) {
        case EntryKind::Info:
            Write(line, "", testScript_.Text(line), detail);
            break;
        case EntryKind::Warning:
            Write(line, "[Warning] ", testScript_.Text(line), detail);
            break;
        case EntryKind::PostIgnored:
            Write(line, "[Warning] ", {}, detail);
            break;
    }
}

void TTestRun::Write(std::size_t line, const char* prefix, std::string_view text,
                     std::string_view detail) {
    output_ += std::to_string(line + 1);
    output_ += ": ";
    output_ += prefix;
    output_ += text;
    output_ += "\r\n";
    output_ += detail;
    output_ += "\r\n\r\n";
    if (output_.size() >= kHandOverBytes)
        HandOver();
}
