#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// One statement line of a script, parsed: a command character, optional blanks, an optional
// operator, optional blanks and an operand to the end of the line (doc/script-language.md).
// Parsing never fails outright: a line with a syntax error keeps the error's detail text,
// and the error is raised only if the line is ever executed.
struct TStatement {
    enum class Operand {
        None,       // only on lines with a syntax error
        String,     // "...": Value() is the text between the quotes, "^" as CR LF
        Pattern,    // {...}: the text between the braces, "^" as CR LF; never empty
        Label,      // :...: the whole operand, colon included
        Temporary,  // X, Y or Z: Value() is the letter
    };

    static constexpr std::size_t kNoLine = static_cast<std::size_t>(-1);

    char command = 0;  // S F D G A N X Y Z ? ! + - % $ *
    char op = 0;       // '=' or '&' after a variable letter; 0 otherwise
    Operand operand = Operand::None;
    std::string value;
    // The detail text of the line's syntax error; empty when the line is sound.
    std::string error;
    // Label operands: index of the jump target line, filled in by TScript; kNoLine when no
    // line of the script equals the label.
    std::size_t target = kNoLine;

    bool Sound() const { return error.empty(); }
    bool IsVariable() const { return IsVariableLetter(command); }

    // Parses a statement line, its trailing blanks and control characters already removed.
    static TStatement Parse(std::string_view line);

    static bool IsVariableLetter(char c);
};
