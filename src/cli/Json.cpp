#include "Json.h"

#include <cstdlib>

#include "text/Cp932.h"

JsonLine& JsonLine::String(std::string_view key, std::string_view cp932Text) {
    Key(key);
    text_ += encoding_.JsonString(cp932Text);
    return *this;
}

JsonLine& JsonLine::Number(std::string_view key, long long value) {
    Key(key);
    text_ += std::to_string(value);
    return *this;
}

JsonLine& JsonLine::Null(std::string_view key) {
    Key(key);
    text_ += "null";
    return *this;
}

void JsonLine::Key(std::string_view key) {
    if (text_.size() > 1)
        text_ += ',';
    text_ += '"';
    text_ += key;
    text_ += "\":";
}

namespace {

class Reader {
  public:
    Reader(std::string_view s, const CliEncoding& enc) : s_(s), enc_(enc) {}

    std::optional<std::map<std::string, JsonValue>> Object(std::string& error) {
        std::map<std::string, JsonValue> out;
        Blank();
        if (!Eat('{'))
            return Fail(error, "expected an object");
        Blank();
        if (Eat('}'))
            return Done(out, error);
        while (true) {
            Blank();
            std::string key;
            if (!RawString(key))
                return Fail(error, "expected a key");
            Blank();
            if (!Eat(':'))
                return Fail(error, "expected ':'");
            Blank();
            JsonValue v;
            if (!Value(v))
                return Fail(error, "bad value for key " + key);
            out[key] = std::move(v);
            Blank();
            if (Eat(','))
                continue;
            if (Eat('}'))
                return Done(out, error);
            return Fail(error, "expected ',' or '}'");
        }
    }

  private:
    std::optional<std::map<std::string, JsonValue>> Done(std::map<std::string, JsonValue>& out,
                                                         std::string& error) {
        Blank();
        if (pos_ != s_.size())
            return Fail(error, "text after the object");
        return std::move(out);
    }
    std::nullopt_t Fail(std::string& error, std::string what) {
        error = std::move(what) + " at offset " + std::to_string(pos_);
        return std::nullopt;
    }
    void Blank() {
        while (pos_ < s_.size() &&
               (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\r' || s_[pos_] == '\n'))
            ++pos_;
    }
    bool Eat(char c) {
        if (pos_ < s_.size() && s_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    bool Word(std::string_view w) {
        if (s_.substr(pos_, w.size()) != w)
            return false;
        pos_ += w.size();
        return true;
    }
    int Hex4() {
        if (pos_ + 4 > s_.size())
            return -1;
        int v = 0;
        for (int i = 0; i < 4; ++i) {
            char c = s_[pos_++];
            v <<= 4;
            if (c >= '0' && c <= '9')
                v |= c - '0';
            else if (c >= 'a' && c <= 'f')
                v |= c - 'a' + 10;
            else if (c >= 'A' && c <= 'F')
                v |= c - 'A' + 10;
            else
                return -1;
        }
        return v;
    }
    // The string's bytes with escapes resolved: raw bytes as they stand, \u escapes as
    // UTF-8 (or, in cp932 mode, as their cp932 form).
    bool RawString(std::string& out) {
        if (!Eat('"'))
            return false;
        while (pos_ < s_.size()) {
            char c = s_[pos_++];
            if (c == '"')
                return true;
            if (static_cast<unsigned char>(c) < 0x20)
                return false;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= s_.size())
                return false;
            char e = s_[pos_++];
            switch (e) {
                case '"':
                    out += '"';
                    break;
                case '\\':
                    out += '\\';
                    break;
                case '/':
                    out += '/';
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'u': {
                    int u = Hex4();
                    if (u < 0)
                        return false;
                    std::u16string units(1, static_cast<char16_t>(u));
                    if (u >= 0xD800 && u <= 0xDBFF && s_.substr(pos_, 2) == "\\u") {
                        pos_ += 2;
                        int low = Hex4();
                        if (low < 0)
                            return false;
                        units += static_cast<char16_t>(low);
                    }
                    AppendUnits(out, units);
                    break;
                }
                default:
                    return false;
            }
        }
        return false;
    }
    void AppendUnits(std::string& out, const std::u16string& units) {
        if (enc_.kind() == CliEncoding::Kind::Cp932) {
            out += cp932::fromUtf16(units);
            return;
        }
        char32_t cp = units[0];
        if (units.size() == 2 && units[1] >= 0xDC00 && units[1] <= 0xDFFF)
            cp = 0x10000 + ((units[0] - 0xD800) << 10) + (units[1] - 0xDC00);
        cp932::AppendUtf8(out, cp);
    }
    bool Value(JsonValue& v) {
        if (pos_ >= s_.size())
            return false;
        char c = s_[pos_];
        if (c == '"') {
            std::string raw;
            if (!RawString(raw))
                return false;
            v.type = JsonValue::Type::String;
            v.text = enc_.Input(raw);
            return true;
        }
        if (Word("null")) {
            v.type = JsonValue::Type::Null;
            return true;
        }
        if (Word("true")) {
            v.type = JsonValue::Type::Bool;
            v.boolean = true;
            return true;
        }
        if (Word("false")) {
            v.type = JsonValue::Type::Bool;
            v.boolean = false;
            return true;
        }
        if (c == '-' || (c >= '0' && c <= '9')) {
            std::size_t start = pos_;
            while (pos_ < s_.size() &&
                   std::string_view("+-0123456789.eE").find(s_[pos_]) != std::string_view::npos)
                ++pos_;
            std::string num(s_.substr(start, pos_ - start));
            char* end = nullptr;
            v.number = std::strtod(num.c_str(), &end);
            if (end != num.c_str() + num.size())
                return false;
            v.type = JsonValue::Type::Number;
            return true;
        }
        return false;
    }

    std::string_view s_;
    const CliEncoding& enc_;
    std::size_t pos_ = 0;
};

}  // namespace

std::optional<std::map<std::string, JsonValue>> ParseJsonObject(std::string_view line,
                                                                const CliEncoding& encoding,
                                                                std::string& error) {
    return Reader(line, encoding).Object(error);
}
