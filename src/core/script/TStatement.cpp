#include "script/TStatement.h"

#include <cstring>

#include "script/ScriptText.h"

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isCommandChar(char c) {
    return c != '\0' && std::strchr("SFDGANXYZ?!+-%$*", c) != nullptr;
}

// Whether the last character of the text is the single byte `c`: a closing quote or brace
// must not be the trail byte of a double-byte character (the brace can be: 0x83 0x7D).
bool endsWithChar(std::string_view text, char c) {
    return script::TailChars(text, 1) == std::string_view(&c, 1);
}

constexpr const char* kIncomplete = "Incomplete expression";

}  // namespace

bool TStatement::IsVariableLetter(char c) {
    return c != '\0' && std::strchr("SFDGANXYZ", c) != nullptr;
}

TStatement TStatement::Parse(std::string_view line) {
    TStatement st;
    if (line.empty() || !isCommandChar(line[0])) {
        st.error = std::string(script::FirstChar(line)) + ": invalid command";
        return st;
    }
    st.command = line[0];
    std::size_t pos = 1;
    while (pos < line.size() && isBlank(line[pos]))
        ++pos;
    if (pos < line.size() && (line[pos] == '=' || line[pos] == '&')) {
        st.op = line[pos++];
        while (pos < line.size() && isBlank(line[pos]))
            ++pos;
    }
    if (st.IsVariable() && st.op == 0) {
        st.error = "Invalid operator";
        return st;
    }
    if (!st.IsVariable() && st.op != 0) {
        st.error = kIncomplete;
        return st;
    }

    std::string_view operand = line.substr(pos);
    if (operand.empty()) {
        st.error = kIncomplete;
        return st;
    }
    switch (operand[0]) {
        case '"':
            if (operand.size() < 2 || !endsWithChar(operand, '"')) {
                st.error = "\"  delimiter not found";
                return st;
            }
            st.operand = Operand::String;
            st.value = script::ExpandCarets(operand.substr(1, operand.size() - 2));
            break;
        case '{':
            if (operand.size() < 2 || !endsWithChar(operand, '}')) {
                st.error = "}  delimiter not found";
                return st;
            }
            if (operand.size() == 2) {
                st.error = "Empty string in {}";
                return st;
            }
            st.operand = Operand::Pattern;
            st.value = script::ExpandCarets(operand.substr(1, operand.size() - 2));
            break;
        case ':':
            st.operand = Operand::Label;
            st.value = std::string(operand);
            break;
        default:
            if (!isAsciiLetter(operand[0])) {
                st.error = kIncomplete;
                return st;
            }
            if (operand != "X" && operand != "Y" && operand != "Z") {
                st.error = std::string(operand) + ": invalid temporary variable";
                return st;
            }
            st.operand = Operand::Temporary;
            st.value = std::string(operand);
            break;
    }

    // Which operands each command takes. Errors that depend on the run (a jump taken with a
    // temporary operand, an empty date pattern) are raised by the interpreter.
    switch (st.command) {
        case '?':
        case '!':
            if (st.operand == Operand::Temporary) {
                // A temporary variable would be searched as a pattern whose value is known
                // only at run time and may be empty; the language has no such search.
                st.error = st.value + ": cannot search for a temporary variable";
            } else if (st.operand == Operand::String) {
                st.error = kIncomplete;
            }
            break;
        case '+':
        case '-':
        case '$':
        case '*':
            if (st.operand == Operand::String || st.operand == Operand::Pattern)
                st.error = kIncomplete;
            break;
        case '%':
            if (st.operand == Operand::Pattern)
                st.error = kIncomplete;
            break;
        default:
            break;
    }
    if (!st.error.empty())
        st.operand = Operand::None;
    return st;
}
