#include "oe/TWineRegistry.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "oe/StorePath.h"

namespace {

// Windows orders and compares registry names by their upper-case form.
std::string fold(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return out;
}

std::string_view normalizeKey(std::string_view key) {
    while (!key.empty() && key.front() == '\\')
        key.remove_prefix(1);
    while (!key.empty() && key.back() == '\\')
        key.remove_suffix(1);
    return key;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

// UTF-16 code units -> UTF-8, up to the first NUL; an unpaired surrogate becomes U+FFFD.
std::string utf16ToUtf8(const std::u16string& units) {
    std::string out;
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t u = units[i];
        if (u == 0)
            break;
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            u = 0x10000 + ((u - 0xD800) << 10) + (units[++i] - 0xDC00);
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            u = 0xFFFD;
        }
        appendUtf8(out, u);
    }
    return out;
}

// One character of the file's own text at `pos` (UTF-8; a byte that starts no valid
// sequence stands for itself, as ISO-8859-1), appended as UTF-16 code units.
void takeRawChar(std::string_view line, std::size_t& pos, std::u16string& out) {
    const auto b = static_cast<unsigned char>(line[pos]);
    std::size_t length = b < 0x80         ? 1
                         : (b >> 5) == 6  ? 2
                         : (b >> 4) == 14 ? 3
                         : (b >> 3) == 30 ? 4
                                          : 0;
    char32_t cp = b;
    if (length > 1 && pos + length <= line.size()) {
        cp = b & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto c = static_cast<unsigned char>(line[pos + k]);
            if ((c & 0xC0) != 0x80) {
                length = 0;
                break;
            }
            cp = (cp << 6) | (c & 0x3F);
        }
    } else if (length != 1) {
        length = 0;
    }
    if (length == 0 || cp > 0x10FFFF) {
        cp = b;
        length = 1;
    }
    pos += length;
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out += char16_t(0xD800 + (cp >> 10));
        out += char16_t(0xDC00 + (cp & 0x3FF));
    } else {
        out += char16_t(cp);
    }
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads escaped text from `pos` up to the unescaped `terminator`; `pos` ends past it.
// False when the line ends first.
bool parseQuoted(std::string_view line, std::size_t& pos, char terminator, std::u16string& out) {
    while (pos < line.size()) {
        const char c = line[pos];
        if (c == terminator) {
            ++pos;
            return true;
        }
        if (c != '\\') {
            takeRawChar(line, pos, out);
            continue;
        }
        if (++pos >= line.size())
            return false;
        const char e = line[pos++];
        switch (e) {
            case 'a':
                out += u'\a';
                break;
            case 'b':
                out += u'\b';
                break;
            case 'e':
                out += char16_t(0x1B);
                break;
            case 'f':
                out += u'\f';
                break;
            case 'n':
                out += u'\n';
                break;
            case 'r':
                out += u'\r';
                break;
            case 't':
                out += u'\t';
                break;
            case 'v':
                out += u'\v';
                break;
            case 'x': {
                unsigned value = 0, digits = 0;
                while (digits < 4 && pos < line.size() && hexDigit(line[pos]) >= 0) {
                    value = value * 16 + unsigned(hexDigit(line[pos++]));
                    ++digits;
                }
                out += digits ? char16_t(value) : u'x';
                break;
            }
            default:
                if (e >= '0' && e <= '7') {
                    unsigned value = unsigned(e - '0'), digits = 1;
                    while (digits < 3 && pos < line.size() && line[pos] >= '0' &&
                           line[pos] <= '7') {
                        value = value * 8 + unsigned(line[pos++] - '0');
                        ++digits;
                    }
                    out += char16_t(value);
                } else {
                    --pos;
                    takeRawChar(line, pos, out);
                }
        }
    }
    return false;
}

// "41,00,42,00" (blanks allowed; a lone digit is a byte) -> bytes; false on anything else.
bool parseHexBytes(std::string_view text, std::string& bytes) {
    int high = -1;
    for (char c : text) {
        if (c == ' ' || c == '\t')
            continue;
        if (c == ',') {
            if (high >= 0)
                bytes += char(high);  // "0," as written by hand
            high = -1;
            continue;
        }
        const int d = hexDigit(c);
        if (d < 0)
            return false;
        if (high < 0) {
            high = d;
        } else {
            bytes += char(high * 16 + d);
            high = -1;
        }
    }
    if (high >= 0)
        bytes += char(high);
    return true;
}

std::string trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return std::string(s);
}

bool isStringType(std::uint32_t type) {
    return type == 1 || type == 2;
}

}  // namespace

TWineRegistry TWineRegistry::Load(const std::string& userRegPath) {
    const std::string prefix = std::filesystem::path(userRegPath).parent_path().string();
    std::ifstream in(userRegPath, std::ios::binary);
    if (!in)
        return FromText({}, prefix);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return FromText(text, prefix);
}

std::string TWineRegistry::DefaultPath() {
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix)
        return std::string(prefix) + "/user.reg";
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::string(home) + "/.wine/user.reg";
    return {};
}

TWineRegistry TWineRegistry::FromText(std::string_view text, const std::string& prefix) {
    TWineRegistry registry;
    registry.prefix_ = prefix;

    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }

    Key* current = nullptr;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        std::size_t pos = 1;
        if (line[0] == '[') {
            std::u16string name;
            current = nullptr;
            if (!parseQuoted(line, pos, ']', name))
                continue;
            const std::string utf8 = utf16ToUtf8(name);
            const std::string_view path = normalizeKey(utf8);
            Key& key = registry.keys_[fold(path)];
            if (key.name.empty())
                key.name = std::string(path);
            current = &key;
            continue;
        }
        if (!current || (line[0] != '"' && line[0] != '@'))
            continue;

        std::string valueName;
        if (line[0] == '"') {
            std::u16string name;
            if (!parseQuoted(line, pos, '"', name))
                continue;
            valueName = utf16ToUtf8(name);
        }
        if (pos >= line.size() || line[pos] != '=')
            continue;
        std::string data(line.substr(pos + 1));

        Value value;
        if (data.compare(0, 6, "dword:") == 0) {
            value.type = 4;
        } else if (data.compare(0, 3, "hex") == 0) {
            // Byte lists go on over the next lines while a line ends with a backslash.
            while (!data.empty() && trimBlanks(data).back() == '\\' && i + 1 < lines.size()) {
                data = trimBlanks(data);
                data.pop_back();
                data += trimBlanks(lines[++i]);
            }
            std::size_t colon = data.find(':');
            if (colon == std::string::npos)
                continue;
            const std::string kind = data.substr(0, colon);
            if (kind == "hex") {
                value.type = 3;
            } else if (kind.size() > 5 && kind.compare(0, 4, "hex(") == 0 && kind.back() == ')') {
                value.type = std::uint32_t(std::strtoul(kind.c_str() + 4, nullptr, 16));
            } else {
                continue;
            }
            std::string bytes;
            if (!parseHexBytes(data.substr(colon + 1), bytes))
                continue;
            if (isStringType(value.type)) {
                std::u16string units;
                for (std::size_t b = 0; b + 1 < bytes.size(); b += 2)
                    units += char16_t(static_cast<unsigned char>(bytes[b]) |
                                      static_cast<unsigned char>(bytes[b + 1]) << 8);
                value.text = utf16ToUtf8(units);
            }
        } else {
            std::size_t quote = 0;
            value.type = 1;
            if (data.compare(0, 4, "str(") == 0) {
                const std::size_t close = data.find("):");
                if (close == std::string::npos)
                    continue;
                value.type = std::uint32_t(std::strtoul(data.c_str() + 4, nullptr, 16));
                quote = close + 2;
            }
            if (quote >= data.size() || data[quote] != '"')
                continue;
            std::size_t at = quote + 1;
            std::u16string units;
            if (!parseQuoted(data, at, '"', units))
                continue;
            value.text = utf16ToUtf8(units);
        }
        current->values[fold(valueName)] = std::move(value);
    }
    return registry;
}

const TWineRegistry::Key* TWineRegistry::FindKey(std::string_view key) const {
    auto it = keys_.find(fold(normalizeKey(key)));
    return it == keys_.end() ? nullptr : &it->second;
}

bool TWineRegistry::KeyExists(std::string_view key) const {
    const std::string path = fold(normalizeKey(key));
    if (path.empty())
        return !keys_.empty();
    if (keys_.count(path))
        return true;
    const std::string below = path + "\\";
    auto it = keys_.lower_bound(below);
    return it != keys_.end() && it->first.compare(0, below.size(), below) == 0;
}

std::vector<std::string> TWineRegistry::SubKeys(std::string_view key) const {
    const std::string path = fold(normalizeKey(key));
    const std::string below = path.empty() ? std::string() : path + "\\";
    std::map<std::string, std::string> children;  // folded -> as written
    for (auto it = keys_.lower_bound(below);
         it != keys_.end() && it->first.compare(0, below.size(), below) == 0; ++it) {
        const std::string& folded = it->first;
        const std::size_t end = folded.find('\\', below.size());
        const std::size_t length = (end == std::string::npos ? folded.size() : end) - below.size();
        if (length == 0)
            continue;
        // Folding keeps every byte's place, so the written name sits at the same offsets.
        children.emplace(folded.substr(below.size(), length),
                         it->second.name.substr(below.size(), length));
    }
    std::vector<std::string> names;
    for (auto& [folded, name] : children)
        names.push_back(name);
    return names;
}

std::optional<std::string> TWineRegistry::ReadString(std::string_view key,
                                                     std::string_view name) const {
    const Key* k = FindKey(key);
    if (!k)
        return std::nullopt;
    auto it = k->values.find(fold(name));
    if (it == k->values.end() || !isStringType(it->second.type))
        return std::nullopt;
    return it->second.text;
}

std::string TWineRegistry::UnixPath(std::string_view windowsPath) const {
    std::string rest(windowsPath);
    for (char& c : rest)
        if (c == '\\')
            c = '/';
    const bool drive = rest.size() >= 2 && rest[1] == ':' &&
                       ((rest[0] >= 'A' && rest[0] <= 'Z') || (rest[0] >= 'a' && rest[0] <= 'z')) &&
                       (rest.size() == 2 || rest[2] == '/');
    if (!drive)
        return rest;
    const char letter = char(rest[0] | 0x20);
    namespace fs = std::filesystem;
    std::error_code ec;
    std::string base = prefix_ + "/dosdevices/" + letter + ":";
    if (!fs::exists(base, ec) && letter == 'c' && fs::exists(prefix_ + "/drive_c", ec))
        base = prefix_ + "/drive_c";
    return storepath::ResolveCase(base + rest.substr(2));
}
