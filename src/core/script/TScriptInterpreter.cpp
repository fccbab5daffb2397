#include "script/TScriptInterpreter.h"

#include <cstring>

#include "base/Abort.h"
#include "script/ScriptText.h"
#include "text/TMSManager.h"
#include "text/TextUtil.h"

namespace {

constexpr const char* kLetters = "SFDGANXYZ";
constexpr const char* kEntryLabels[9] = {
    "Subject:", "From:", "Date:", "Newsgroups:", "Article:", "Notes:", "X:", "Y:", "Z:"};
constexpr int kDefaultCycleLimit = 100;
constexpr std::size_t kPreviewBytes = 72;

std::size_t letterIndex(char letter) {
    const char* p = std::strchr(kLetters, letter);
    return p && letter != '\0' ? static_cast<std::size_t>(p - kLetters) : 0;
}

}  // namespace

std::string& TScriptInterpreter::Variable(char letter) {
    return variables_[letterIndex(letter)];
}

void TScriptInterpreter::Entry(std::size_t, EntryKind, std::string_view) {}

void TScriptInterpreter::Fail(std::size_t line, std::string detail, bool directive) const {
    const int number = static_cast<int>(line) + 1;
    throw Fault{line, number, number, std::move(detail), directive};
}

TScriptInterpreter::Outcome TScriptInterpreter::Interpret(const TScript& script, TMSManager& page) {
    script_ = &script;
    page_ = &page;
    for (std::string& v : variables_)
        v.clear();
    failed_ = false;
    cycles_ = 0;
    cycleLimit_ = kDefaultCycleLimit;
    records_ = 0;
    lastRead_ = 0;
    dateFormat_ = "m/d/y";
    hrefSwitch_ = true;
    preSwitch_ = false;

    RunDirectives();
    return RunStatements();
}

void TScriptInterpreter::RunDirectives() {
    const TScript& script = *script_;
    for (std::size_t i = 0; i < script.FirstStatement(); ++i) {
        lastRead_ = i;
        std::string_view text = script.Text(i);
        if (text.empty() || text[0] == '/')
            continue;
        // Only the first two bytes name a directive; the rest is its value or ignored.
        std::string_view name = text.substr(0, 2);
        if (name == "#0") {
            page_->ReplaceNulls();
            Report(i, EntryKind::Info, "Remove NULL(0) character");
        } else if (name == "#D") {
            std::string today = ApplyToday();
            if (reporting_)
                Report(i, EntryKind::Info, today + " was set at Date field");
        } else if (name == "#R") {
            std::string_view valueText = script::TrimControls(text.substr(2));
            long value = 0;
            if (!ReadInteger(valueText, value))
                value = 0;
            if (value < 1)
                Fail(i, std::string(valueText) + " is not a valid plus number", true);
            cycleLimit_ = static_cast<int>(value);
            if (reporting_)
                Report(i, EntryKind::Info, std::to_string(value) + " was set as cycle limit");
        } else {
            // The first two characters, so that a double-byte character is not cut in half.
            std::string shown(script::FirstChar(text));
            shown += script::FirstChar(text.substr(shown.size()));
            Fail(i, shown + " is invalid directive", true);
        }
    }
}

TScriptInterpreter::Outcome TScriptInterpreter::RunStatements() {
    const TScript& script = *script_;
    std::size_t current = script.FirstStatement();
    for (;; ++current) {
        if (current >= script.End())
            return Outcome::Done;
        ThrowIfAborted();
        if (StopRequested())
            return Outcome::Stopped;
        if (cycles_ >= cycleLimit_) {
            // Reached right after a backward jump: `current` is the line after its label.
            // The import names that line; the test run shows the jump (the line read last)
            // and selects the label.
            throw Fault{lastRead_, static_cast<int>(current) + 1, static_cast<int>(current),
                        "Exceeded the cycle limit", false};
        }
        lastRead_ = current;
        switch (script.Kind(current)) {
            case TScript::LineKind::Skip:
                break;
            case TScript::LineKind::Resume:
                failed_ = false;
                Report(current, EntryKind::Info, "Resume from next operation");
                break;
            case TScript::LineKind::Finish:
                if (records_ == 0)
                    return Outcome::NoRecords;
                if (reporting_)
                    Report(current, EntryKind::Info,
                           std::to_string(records_) + " record(s) created successfully");
                return Outcome::Done;
            case TScript::LineKind::Post:
                if (failed_) {
                    Report(current, EntryKind::PostIgnored, "Post operation ignored");
                } else {
                    ++records_;
                    Post();
                }
                break;
            case TScript::LineKind::PreOn:
                preSwitch_ = true;
                Report(current, EntryKind::Info, "Validate <PRE> tag");
                break;
            case TScript::LineKind::PreOff:
                preSwitch_ = false;
                Report(current, EntryKind::Info, "Invalidate <PRE> tag");
                break;
            case TScript::LineKind::HrefOn:
                hrefSwitch_ = true;
                Report(current, EntryKind::Info, "Pick up <A HREF> information");
                break;
            case TScript::LineKind::HrefOff:
                hrefSwitch_ = false;
                Report(current, EntryKind::Info, "Ignore <A HREF> information");
                break;
            case TScript::LineKind::Statement:
                RunStatement(current);
                break;
        }
    }
}

void TScriptInterpreter::RunStatement(std::size_t& current) {
    const TStatement& st = script_->StatementAt(current);
    // In the failed state only jumps run; the test is on the line's first byte, so even a
    // malformed line that starts with anything else is skipped without a word.
    const char first = script_->Text(current)[0];
    if (failed_ && first != '+' && first != '-') {
        Report(current, EntryKind::Warning, "This line was skipped.");
        return;
    }
    if (!st.Sound())
        Fail(current, st.error);

    using Operand = TStatement::Operand;
    switch (st.command) {
        case '?':
        case '!':
            if (page_->SkipPast(st.value)) {
                if (reporting_) {
                    std::string_view rest = page_->Range(page_->Cursor(), page_->End());
                    Report(current, EntryKind::Info,
                           "~" + std::string(script::Preview(rest, kPreviewBytes)));
                }
            } else if (st.command == '?') {
                failed_ = true;
                if (reporting_)
                    Report(current, EntryKind::Warning, st.value + " ignored");
            } else {
                Fail(current, st.value + " not found");
            }
            break;
        case '+':
        case '-':
            if ((st.command == '+') == failed_) {
                Report(current, EntryKind::Warning, "This line was skipped.");
                break;
            }
            Jump(st, current);
            break;
        case '%': {
            std::string pattern;
            if (st.operand == Operand::String)
                pattern = st.value;
            else if (st.operand == Operand::Temporary)
                pattern = Variable(st.value[0]);
            // A label operand gives no value.
            if (pattern.empty())
                Fail(current, "Date format not found");
            dateFormat_ = std::move(pattern);
            if (reporting_)
                Report(current, EntryKind::Info, "Date Format:\r\n" + dateFormat_);
            break;
        }
        case '$':
        case '*':
            // With a label or temporary operand these do nothing.
            break;
        default:  // a variable
            if (st.operand == Operand::Pattern || st.operand == Operand::Label) {
                if (!page_->SkipTo(st.value)) {
                    failed_ = true;
                    if (reporting_)
                        Report(current, EntryKind::Warning, st.value + " ignored");
                    break;
                }
                SetVariable(st, Extract(st.command, page_->Passed()));
            } else if (st.operand == Operand::String) {
                SetVariable(st, st.value);
            } else {
                // A copy: "X&X" appends the variable to itself.
                SetVariable(st, std::string(Variable(st.value[0])));
            }
            if (reporting_) {
                const std::string& value = Variable(st.command);
                std::string detail = kEntryLabels[letterIndex(st.command)];
                detail += "\r\n";
                detail += st.command == 'A' ? script::ShownArticle(value) : value;
                Report(current, EntryKind::Info, detail);
            }
            break;
    }
}

void TScriptInterpreter::SetVariable(const TStatement& st, const std::string& value) {
    std::string& target = Variable(st.command);
    if (st.op == '&')
        target += value;
    else
        target = value;
}

void TScriptInterpreter::Jump(const TStatement& st, std::size_t& current) {
    // A temporary operand names no label.
    if (st.operand != TStatement::Operand::Label)
        Fail(current, "Label not defined");
    if (st.target == TScript::kNoLine || st.target < script_->FirstStatement())
        Fail(current, "Cannot jump");
    if (reporting_)
        Report(current, EntryKind::Info, st.value + ": Jump to this label");
    if (st.target < current)
        ++cycles_;
    current = st.target;  // the loop goes on with the line after the label
    failed_ = false;
}
