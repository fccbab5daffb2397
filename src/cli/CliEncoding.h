#pragma once

#include <string>
#include <string_view>

// How brevilo-cli turns the engines' cp932 byte strings into output and its arguments and
// JSON input back into cp932 (set by --encoding):
//   utf-8  (default) cp932 <-> UTF-8; undecodable bytes become U+FFFD on output and
//          characters cp932 lacks become "?" on input;
//   cp932  bytes pass unchanged both ways;
//   latin1 lossless for tools: inside JSON, byte b is the character U+00bb; raw text
//          output is written byte for byte; arguments and JSON strings are read as
//          characters U+0000-U+00FF and turned back into those bytes.
class CliEncoding {
  public:
    enum class Kind { Utf8, Cp932, Latin1 };

    CliEncoding() = default;
    explicit CliEncoding(Kind kind) : kind_(kind) {}
    // Parses an --encoding value; false when it names no encoding.
    static bool Parse(std::string_view name, CliEncoding& out);

    Kind kind() const { return kind_; }

    // cp932 text -> bytes for standard output (raw text, not JSON).
    std::string Output(std::string_view cp932Text) const;
    // An argument or a JSON input string -> cp932 text. Throws EUsage (latin1) when the
    // text holds a character above U+00FF.
    std::string Input(std::string_view given) const;
    // cp932 text -> the JSON string literal for it, quotes included.
    std::string JsonString(std::string_view cp932Text) const;

  private:
    Kind kind_ = Kind::Utf8;
};
