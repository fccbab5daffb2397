#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "script/TStatement.h"

// A script file (".hsc"), cut into lines and classified once so that a run over a long
// page does not parse a line again on every cycle. The grammar is in
// doc/script-language.md. Immutable after construction; any number of runs, on any
// threads, may share one instance.
class TScript {
  public:
    // What a line of the statement section does when it is reached.
    enum class LineKind {
        Skip,       // empty, comment "/..." or label ":..."
        Resume,     // "$"
        Finish,     // "."
        Post,       // "*"
        PreOn,      // "<P"
        PreOff,     // ">P"
        HrefOn,     // "<H"
        HrefOff,    // ">H"
        Statement,  // anything else: see StatementAt
    };

    static constexpr std::size_t kNoLine = TStatement::kNoLine;

    // Takes the lines as stored (untrimmed).
    explicit TScript(std::vector<std::string> lines);

    // The lines of a script file's bytes: cut at every CR LF pair; a lone CR or LF stays in
    // its line; a text that ends with CR LF gives no empty last line.
    static std::vector<std::string> SplitLines(std::string_view bytes);
    // Reads a script file. Throws EFileError when it cannot be read.
    static std::vector<std::string> ReadLines(const std::string& path);

    std::size_t LineCount() const { return lines_.size(); }
    // The line as stored.
    const std::string& RawLine(std::size_t index) const { return lines_[index]; }
    // The line without its trailing blanks and control characters, as it is executed.
    std::string_view Text(std::size_t index) const;

    // Index of the first line that is not empty, not a comment and does not start with
    // "#"; LineCount() when there is none. The lines before it are the directive section.
    std::size_t FirstStatement() const { return firstStatement_; }
    // Index of the first line equal to "<<", or LineCount().
    std::size_t End() const { return end_; }

    LineKind Kind(std::size_t index) const { return kinds_[index]; }
    // The parsed statement of a line whose kind is Statement.
    const TStatement& StatementAt(std::size_t index) const { return statements_[index]; }

    // Index of the first line that equals `label` without regard to letter case, or
    // kNoLine. Lines are compared as stored, so trailing blanks on a label line prevent a
    // match.
    std::size_t FindLine(std::string_view label) const;

  private:
    std::vector<std::string> lines_;
    std::vector<std::size_t> textLengths_;
    std::vector<LineKind> kinds_;
    std::vector<TStatement> statements_;
    std::size_t firstStatement_ = 0;
    std::size_t end_ = 0;
};
