#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "CliEncoding.h"

// JSON Lines as brevilo-cli reads and writes them: one flat object per line whose values
// are strings, numbers, booleans or null.

// Builds one output line. Keys are ASCII; string values are cp932 text written through
// the chosen encoding.
class JsonLine {
  public:
    explicit JsonLine(const CliEncoding& encoding) : encoding_(encoding) {}
    JsonLine& String(std::string_view key, std::string_view cp932Text);
    JsonLine& Number(std::string_view key, long long value);
    JsonLine& Null(std::string_view key);
    // The object followed by LF.
    std::string Finish() const { return text_ + "}\n"; }

  private:
    void Key(std::string_view key);
    const CliEncoding& encoding_;
    std::string text_ = "{";
};

struct JsonValue {
    enum class Type { String, Number, Bool, Null } type = Type::Null;
    std::string text;      // String: cp932 text (decoded through the encoding)
    double number = 0;     // Number
    bool boolean = false;  // Bool
};

// Parses one line holding one object; nullopt with `error` set when it is not valid JSON,
// not an object, or holds a nested array or object.
std::optional<std::map<std::string, JsonValue>> ParseJsonObject(std::string_view line,
                                                                const CliEncoding& encoding,
                                                                std::string& error);
