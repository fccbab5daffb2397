#include "CliEncoding.h"

#include <cstdio>

#include "CliCommand.h"
#include "text/Cp932.h"

bool CliEncoding::Parse(std::string_view name, CliEncoding& out) {
    if (name == "utf-8" || name == "utf8" || name == "UTF-8") {
        out = CliEncoding(Kind::Utf8);
    } else if (name == "cp932" || name == "CP932") {
        out = CliEncoding(Kind::Cp932);
    } else if (name == "latin1" || name == "LATIN1") {
        out = CliEncoding(Kind::Latin1);
    } else {
        return false;
    }
    return true;
}

std::string CliEncoding::Output(std::string_view cp932Text) const {
    if (kind_ == Kind::Utf8)
        return cp932::toUtf8(cp932Text);
    return std::string(cp932Text);
}

std::string CliEncoding::Input(std::string_view given) const {
    switch (kind_) {
        case Kind::Utf8:
            return cp932::fromUtf8(given);
        case Kind::Cp932:
            return std::string(given);
        case Kind::Latin1: {
            std::string bytes;
            if (!cp932::utf8ToLatin1(given, bytes))
                throw EUsage("latin1 input holds a character above U+00FF");
            return bytes;
        }
    }
    return std::string(given);
}

std::string CliEncoding::JsonString(std::string_view cp932Text) const {
    std::string text;
    switch (kind_) {
        case Kind::Utf8:
            text = cp932::toUtf8(cp932Text);
            break;
        case Kind::Cp932:
            text = cp932Text;
            break;
        case Kind::Latin1:
            text = cp932::latin1ToUtf8(cp932Text);
            break;
    }
    // Escaping is byte-wise, so in cp932 mode a trail byte 0x5C is written as "\\" and
    // reads back as the same byte.
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (unsigned char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    out += '"';
    return out;
}
