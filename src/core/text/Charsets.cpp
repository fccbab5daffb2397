#include "text/Charsets.h"

#include <iconv.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <vector>

#include "text/Cp932.h"
#include "text/TextUtil.h"

namespace charsets {
namespace {

static_assert(std::endian::native == std::endian::little,
              "iconv writes UTF-16LE straight into char16_t units");

enum class Kind { Kept, Utf8, Iso2022Jp, EucJp, Iconv };

struct TResolved {
    Kind kind;
    std::string iconvName;
};

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

std::string lowered(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = lowerAscii(c);
    return out;
}

std::size_t findNoCase(std::string_view text, std::string_view lowerWord, std::size_t from = 0) {
    for (std::size_t i = from; i + lowerWord.size() <= text.size(); ++i) {
        std::size_t k = 0;
        while (k < lowerWord.size() && lowerAscii(text[i + k]) == lowerWord[k])
            ++k;
        if (k == lowerWord.size())
            return i;
    }
    return std::string_view::npos;
}

// The IANA character-set registry's names and aliases (lower case) of the sets mail comes
// in, and a few names mailers write that the registry lacks.
const std::unordered_map<std::string, TResolved>& NameTable() {
    static const std::unordered_map<std::string, TResolved> table = [] {
        std::unordered_map<std::string, TResolved> t;
        auto add = [&t](Kind kind, std::string_view iconvName,
                        std::initializer_list<std::string_view> names) {
            for (std::string_view name : names)
                t.emplace(std::string(name), TResolved{kind, std::string(iconvName)});
        };
        add(Kind::Kept, "",
            {"us-ascii", "iso-ir-6", "ansi_x3.4-1968", "ansi_x3.4-1986", "iso_646.irv:1991",
             "iso646-us", "us", "ibm367", "cp367", "csascii", "ascii"});
        add(Kind::Kept, "",
            {"shift_jis", "ms_kanji", "csshiftjis", "windows-31j", "cswindows31j", "cp932", "ms932",
             "x-sjis", "sjis", "shift-jis", "x-ms-cp932"});
        add(Kind::Utf8, "", {"utf-8", "csutf8", "utf8", "unicode-1-1-utf-8"});
        add(Kind::Iso2022Jp, "",
            {"iso-2022-jp", "csiso2022jp", "iso-2022-jp-1", "iso-2022-jp-2", "csiso2022jp2",
             "iso-2022-jp-3", "iso-2022-jp-2004", "jis", "x-jis"});
        add(Kind::EucJp, "",
            {"euc-jp", "extended_unix_code_packed_format_for_japanese", "cseucpkdfmtjapanese",
             "x-euc-jp", "eucjp", "ujis", "x-euc", "euc-jp-ms", "eucjp-ms"});

        struct Latin {
            int number;
            std::initializer_list<std::string_view> aliases;
        };
        const Latin latins[] = {
            {1,
             {"iso-ir-100", "iso_8859-1:1987", "latin1", "l1", "ibm819", "cp819", "csisolatin1"}},
            {2, {"iso-ir-101", "iso_8859-2:1987", "latin2", "l2", "csisolatin2"}},
            {3, {"iso-ir-109", "iso_8859-3:1988", "latin3", "l3", "csisolatin3"}},
            {4, {"iso-ir-110", "iso_8859-4:1988", "latin4", "l4", "csisolatin4"}},
            {5, {"iso-ir-144", "iso_8859-5:1988", "cyrillic", "csisolatincyrillic"}},
            {6,
             {"iso-ir-127", "iso_8859-6:1987", "ecma-114", "asmo-708", "arabic",
              "csisolatinarabic"}},
            {7,
             {"iso-ir-126", "iso_8859-7:1987", "elot_928", "ecma-118", "greek", "greek8",
              "csisolatingreek"}},
            {8, {"iso-ir-138", "iso_8859-8:1988", "hebrew", "csisolatinhebrew"}},
            {9, {"iso-ir-148", "iso_8859-9:1989", "latin5", "l5", "csisolatin5"}},
            {10, {"iso-ir-157", "iso_8859-10:1992", "latin6", "l6", "csisolatin6"}},
            {13, {"csiso885913"}},
            {14, {"iso-ir-199", "iso_8859-14:1998", "latin8", "iso-celtic", "l8", "csiso885914"}},
            {15, {"latin-9", "csiso885915"}},
            {16, {"iso-ir-226", "iso_8859-16:2001", "latin10", "l10", "csiso885916"}},
        };
        for (const Latin& latin : latins) {
            const std::string n = std::to_string(latin.number);
            const std::string iconvName = "ISO-8859-" + n;
            add(Kind::Iconv, iconvName, {"iso-8859-" + n, "iso_8859-" + n, "iso8859-" + n});
            add(Kind::Iconv, iconvName, latin.aliases);
        }
        for (int n = 1250; n <= 1258; ++n) {
            const std::string code = std::to_string(n);
            add(Kind::Iconv, "CP" + code,
                {"windows-" + code, "cswindows" + code, "cp" + code, "x-cp" + code});
        }
        add(Kind::Iconv, "KOI8-R", {"koi8-r", "cskoi8r"});
        add(Kind::Iconv, "KOI8-U", {"koi8-u", "cskoi8u"});
        // GB2312 mail is mostly written by GBK encoders: read it as the superset, as web
        // browsers do. The same holds for EUC-KR and its superset, Windows code page 949.
        add(Kind::Iconv, "GBK",
            {"gb2312", "csgb2312", "gbk", "cp936", "ms936", "windows-936", "csgbk", "gb_2312-80",
             "iso-ir-58", "chinese", "csiso58gb231280", "x-gbk", "euc-cn", "x-euc-cn"});
        add(Kind::Iconv, "GB18030", {"gb18030", "csgb18030"});
        add(Kind::Iconv, "BIG5", {"big5", "csbig5", "x-x-big5", "cn-big5", "x-big5", "cp950"});
        add(Kind::Iconv, "BIG5-HKSCS", {"big5-hkscs", "csbig5hkscs"});
        add(Kind::Iconv, "CP949",
            {"euc-kr", "cseuckr", "ks_c_5601-1987", "ks_c_5601-1989", "iso-ir-149", "ksc_5601",
             "korean", "csksc56011987", "windows-949", "cp949", "uhc"});
        return t;
    }();
    return table;
}

// A name from a message goes to iconv_open only when it looks like a charset name (the
// registry's names are at most 40 characters of this alphabet); "/" is refused, as it
// would select iconv's transliteration modes.
bool IsPlausibleName(std::string_view name) {
    if (name.empty() || name.size() > 40)
        return false;
    for (char c : name) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
                        c == '.' || c == ':' || c == '+' || c == '(' || c == ')';
        if (!ok)
            return false;
    }
    return true;
}

std::optional<TResolved> Resolve(std::string_view charset) {
    std::string name = lowered(charset);
    // RFC 2231, 5: "charset*language".
    if (const std::size_t star = name.find('*'); star != std::string::npos)
        name.resize(star);
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t'))
        name.pop_back();
    name.erase(0, name.find_first_not_of(" \t"));
    if (name.empty())
        return std::nullopt;
    const auto& table = NameTable();
    if (auto it = table.find(name); it != table.end())
        return it->second;
    if (!IsPlausibleName(name))
        return std::nullopt;
    return TResolved{Kind::Iconv, name};
}

iconv_t NoConverter() {
    return reinterpret_cast<iconv_t>(-1);
}

// One charset's iconv converters into UTF-16LE. A converter carries shift state, so each
// is used by one thread at a time: a call takes an idle one (opening another only when all
// are busy) and gives it back afterwards.
class TIconvDecoder {
  public:
    explicit TIconvDecoder(std::string name, iconv_t first) : name_(std::move(name)) {
        idle_.push_back(first);
    }
    ~TIconvDecoder() {
        for (iconv_t cd : idle_)
            iconv_close(cd);
    }
    TIconvDecoder(const TIconvDecoder&) = delete;
    TIconvDecoder& operator=(const TIconvDecoder&) = delete;

    // Appends the UTF-16 form of bytes to units; a byte that starts no character becomes
    // "?" and reading goes on after it. False when no converter could be opened.
    bool Decode(std::string_view bytes, std::u16string& units) {
        iconv_t cd = Acquire();
        if (cd == NoConverter())
            return false;
        struct TGiveBack {  // also when growing the output throws
            TIconvDecoder& owner;
            iconv_t cd;
            ~TGiveBack() { owner.Release(cd); }
        } giveBack{*this, cd};
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(bytes.data());
        std::size_t inLeft = bytes.size();
        std::size_t used = units.size();
        units.resize(used + bytes.size() + 16);
        bool flushed = false;
        while (!flushed) {
            char* out = reinterpret_cast<char*>(units.data() + used);
            std::size_t outLeft = (units.size() - used) * sizeof(char16_t);
            const bool flushing = inLeft == 0;
            const std::size_t rc = flushing ? iconv(cd, nullptr, nullptr, &out, &outLeft)
                                            : iconv(cd, &in, &inLeft, &out, &outLeft);
            const int error = errno;
            used = static_cast<std::size_t>(out - reinterpret_cast<char*>(units.data())) /
                   sizeof(char16_t);
            if (rc != static_cast<std::size_t>(-1)) {
                flushed = flushing;
                continue;
            }
            if (error == E2BIG) {
                units.resize(units.size() * 2 + 16);
                continue;
            }
            if (units.size() == used)
                units.resize(units.size() + 16);
            units[used++] = u'?';
            if (error == EILSEQ && inLeft > 0) {
                ++in;
                --inLeft;
            } else {
                inLeft = 0;  // EINVAL: a sequence cut off by the end of the text
            }
        }
        units.resize(used);
        return true;
    }

  private:
    iconv_t Acquire() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!idle_.empty()) {
                iconv_t cd = idle_.back();
                idle_.pop_back();
                return cd;
            }
        }
        return iconv_open("UTF-16LE", name_.c_str());
    }
    void Release(iconv_t cd) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (idle_.size() < 8)
            idle_.push_back(cd);
        else
            iconv_close(cd);
    }

    std::string name_;
    std::mutex mutex_;
    std::vector<iconv_t> idle_;
};

// The converters by iconv name, each opened on first use and kept for the run of the
// program; a name iconv does not know is remembered as such. Names come from messages, so
// the number remembered is bounded; past it a name is looked up afresh each time.
class TRegistry {
  public:
    std::shared_ptr<TIconvDecoder> Find(const std::string& iconvName) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (auto it = decoders_.find(iconvName); it != decoders_.end())
            return it->second;
        std::shared_ptr<TIconvDecoder> decoder;
        iconv_t cd = iconv_open("UTF-16LE", iconvName.c_str());
        if (cd != NoConverter())
            decoder = std::make_shared<TIconvDecoder>(iconvName, cd);
        if (decoders_.size() < 512)
            decoders_.emplace(iconvName, decoder);
        return decoder;
    }

  private:
    std::mutex mutex_;
    std::unordered_map<std::string, std::shared_ptr<TIconvDecoder>> decoders_;
};

TRegistry& Registry() {
    // Never destroyed: an import thread that is abandoned may still convert at exit.
    static TRegistry* registry = new TRegistry;
    return *registry;
}

// Text of a set that cp932 does not hold as such, by way of Unicode.
void AppendViaUnicode(std::string& out, const char* iconvName, std::string_view bytes) {
    std::shared_ptr<TIconvDecoder> decoder = Registry().Find(iconvName);
    std::u16string units;
    if (!decoder || !decoder->Decode(bytes, units)) {
        out += '?';
        return;
    }
    out += cp932::fromUtf16(units);
}

// JIS X 0208 codes (both bytes 0x21-0x7E) as Shift-JIS, row by row: lead << 8 | trail, or
// 0 where cp932 defines no character. The arithmetic covers all 94 rows, so cp932's NEC
// row 13 and NEC-selected IBM rows 89-92 come out as Windows writes them. A table small
// enough to stay in the first-level cache keeps the decoding of long bodies fast.
const std::vector<std::uint16_t>& JisTable() {
    static const std::vector<std::uint16_t> table = [] {
        std::vector<std::uint16_t> t(94 * 94, 0);
        for (unsigned c1 = 0x21; c1 <= 0x7E; ++c1) {
            for (unsigned c2 = 0x21; c2 <= 0x7E; ++c2) {
                unsigned s1 = ((c1 - 0x21) >> 1) + 0x81;
                if (s1 > 0x9F)
                    s1 += 0x40;
                const unsigned s2 = (c1 & 1) ? c2 + 0x1F + (c2 >= 0x60 ? 1 : 0) : c2 + 0x7E;
                if (cp932::IsDoubleByteChar(static_cast<unsigned char>(s1),
                                            static_cast<unsigned char>(s2)))
                    t[(c1 - 0x21) * 94 + (c2 - 0x21)] = static_cast<std::uint16_t>(s1 << 8 | s2);
            }
        }
        return t;
    }();
    return table;
}

// A JIS X 0208 code as Shift-JIS; a code cp932 does not define becomes "?".
inline void AppendJis0208(std::string& out, const std::vector<std::uint16_t>& table, unsigned c1,
                          unsigned c2) {
    const std::uint16_t code = table[(c1 - 0x21) * 94 + (c2 - 0x21)];
    if (code != 0) {
        out += static_cast<char>(code >> 8);
        out += static_cast<char>(code & 0xFF);
    } else {
        out += '?';
    }
}

bool IsGraphic94(unsigned c) {
    return c >= 0x21 && c <= 0x7E;
}

// What the G0 designations of the ISO-2022-JP family (RFC 1468, RFC 2237, RFC 1554, JIS X
// 0213 annex 2) select.
enum class TG0 {
    Ascii,
    Katakana,
    Jis0208,
    Jis0212,
    Jisx0213Plane1,
    Jisx0213Plane2,
    Gb2312,
    Ksc5601
};
enum class TG2 { None, Latin1, Greek };

// Reads the escape sequence at text[i] (an ESC); returns its length, or 0 when it is none
// that the family knows.
std::size_t ReadEscape(std::string_view text, std::size_t i, TG0& g0, TG2& g2) {
    auto at = [&](std::size_t k) -> int {
        return i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : -1;
    };
    auto multiByte = [&](int final, TG0& set) {
        switch (final) {
            case '@':
            case 'B':
                set = TG0::Jis0208;
                return true;
            case 'A':
                set = TG0::Gb2312;
                return true;
            case 'C':
                set = TG0::Ksc5601;
                return true;
            case 'D':
                set = TG0::Jis0212;
                return true;
            case 'O':
            case 'Q':
                set = TG0::Jisx0213Plane1;
                return true;
            case 'P':
                set = TG0::Jisx0213Plane2;
                return true;
            default:
                return false;
        }
    };
    switch (at(1)) {
        case '(':
            if (at(2) == 'B' || at(2) == 'J' || at(2) == 'H') {
                g0 = TG0::Ascii;
                return 3;
            }
            if (at(2) == 'I') {
                g0 = TG0::Katakana;
                return 3;
            }
            return 0;
        case '$':
            if (at(2) == '@' || at(2) == 'A' || at(2) == 'B')
                return multiByte(at(2), g0) ? 3 : 0;
            if (at(2) == '(')
                return multiByte(at(3), g0) ? 4 : 0;
            return 0;
        case '&':
            return at(2) == '@' ? 3 : 0;  // announces the 1990 revision of JIS X 0208
        case '.':
            if (at(2) == 'A') {
                g2 = TG2::Latin1;
                return 3;
            }
            if (at(2) == 'F') {
                g2 = TG2::Greek;
                return 3;
            }
            return 0;
        default:
            return 0;
    }
}

}  // namespace

std::string Iso2022JpToCp932(std::string_view s) {
    const std::vector<std::uint16_t>& jis = JisTable();
    const std::size_t n = s.size();
    // Written through an index into a buffer that always has room for the rest of the
    // input: every common step writes at most as many bytes as it reads, so the buffer is
    // sized once; only the rare sets read through Unicode may need more (put).
    std::string out(n, '\0');
    std::size_t w = 0;
    std::size_t i = 0;
    auto put = [&](std::string_view piece) {
        if (out.size() < w + piece.size() + (n - i))
            out.resize(w + piece.size() + (n - i) + 16);
        std::memcpy(out.data() + w, piece.data(), piece.size());
        w += piece.size();
    };
    TG0 g0 = TG0::Ascii;
    TG2 g2 = TG2::None;
    bool shiftedOut = false;  // SO ... SI: JIS X 0201 katakana (as Windows' CP50221 reads)
    auto byteAt = [&s](std::size_t k) {
        return static_cast<unsigned>(static_cast<unsigned char>(s[k]));
    };
    while (i < n) {
        // The two common stretches in bulk: ASCII text, and JIS X 0208 pairs.
        // Plain pointers in the loops: a store through char* could alias anything, and
        // would make the compiler reload every pointer after each byte.
        if (g0 == TG0::Ascii && !shiftedOut) {
            const unsigned char* const src = reinterpret_cast<const unsigned char*>(s.data());
            std::size_t j = i;
            while (j < n && src[j] < 0x80 && src[j] != 0x1B && src[j] != 0x0E && src[j] != 0x0F)
                ++j;
            std::memcpy(out.data() + w, s.data() + i, j - i);
            w += j - i;
            i = j;
            if (i == n)
                break;
        } else if (g0 == TG0::Jis0208 && !shiftedOut) {
            const unsigned char* const src = reinterpret_cast<const unsigned char*>(s.data());
            const std::uint16_t* const table = jis.data();
            char* o = out.data() + w;
            std::size_t k = i;
            while (k + 1 < n && IsGraphic94(src[k]) && IsGraphic94(src[k + 1])) {
                const std::uint16_t code = table[(src[k] - 0x21) * 94 + (src[k + 1] - 0x21)];
                if (code != 0) {
                    o[0] = static_cast<char>(code >> 8);
                    o[1] = static_cast<char>(code & 0xFF);
                    o += 2;
                } else {
                    *o++ = '?';
                }
                k += 2;
            }
            w = static_cast<std::size_t>(o - out.data());
            i = k;
            if (i == n)
                break;
        }
        const unsigned c = byteAt(i);
        if (c == 0x1B && i + 2 < n && s[i + 2] == 'B' && (s[i + 1] == '$' || s[i + 1] == '(')) {
            g0 =
                s[i + 1] == '$' ? TG0::Jis0208 : TG0::Ascii;  // nearly every escape is one of these
            i += 3;
            continue;
        }
        if (c == 0x1B) {
            if (i + 1 < n && s[i + 1] == 'N') {  // ESC N: one character of G2
                const int b = i + 2 < n ? static_cast<unsigned char>(s[i + 2]) : -1;
                i += b >= 0 ? 3 : 2;
                if (b >= 0x20 && b <= 0x7F && g2 == TG2::Latin1) {
                    put(cp932::fromUtf16(std::u16string(1, static_cast<char16_t>(b | 0x80))));
                } else if (b >= 0x20 && b <= 0x7F && g2 == TG2::Greek) {
                    const char high = static_cast<char>(b | 0x80);
                    std::string piece;
                    AppendViaUnicode(piece, "ISO-8859-7", std::string_view(&high, 1));
                    put(piece);
                } else {
                    out[w++] = '?';
                }
                continue;
            }
            const std::size_t length = ReadEscape(s, i, g0, g2);
            if (length == 0) {
                out[w++] = '?';  // an unknown or cut-off sequence: the text after it is read on
                ++i;
            } else {
                i += length;
            }
            continue;
        }
        ++i;  // from here on, c is taken alone or as the first of a pair
        if (c == 0x0E || c == 0x0F) {
            shiftedOut = c == 0x0E;
        } else if (c == '\r' || c == '\n') {
            // RFC 1468: every line ends in ASCII. A sender that forgot to switch back
            // loses only its own line, not the rest of the text.
            out[w++] = static_cast<char>(c);
            g0 = TG0::Ascii;
            shiftedOut = false;
        } else if (c >= 0x80) {
            out[w++] = '?';  // the family is seven-bit
        } else if (shiftedOut && c >= 0x21 && c <= 0x5F) {
            out[w++] = static_cast<char>(c + 0x80);
        } else if (!IsGraphic94(c) || g0 == TG0::Ascii) {
            out[w++] = static_cast<char>(c);
        } else if (g0 == TG0::Katakana) {
            out[w++] = c <= 0x5F ? static_cast<char>(c + 0x80) : '?';
        } else if (const unsigned c2 = i < n ? byteAt(i) : 0; !IsGraphic94(c2)) {
            out[w++] = '?';  // half a character: the byte after it is read on its own
        } else {
            ++i;
            const char hi1 = static_cast<char>(c | 0x80), hi2 = static_cast<char>(c2 | 0x80);
            const char euc[3] = {hi1, hi2, 0};
            const char euc3[3] = {'\x8F', hi1, hi2};
            std::string piece;
            switch (g0) {
                case TG0::Jis0208:
                    AppendJis0208(piece, jis, c, c2);
                    break;
                case TG0::Jis0212:
                    AppendViaUnicode(piece, "EUC-JP", std::string_view(euc3, 3));
                    break;
                case TG0::Jisx0213Plane1:
                    AppendViaUnicode(piece, "EUC-JISX0213", std::string_view(euc, 2));
                    break;
                case TG0::Jisx0213Plane2:
                    AppendViaUnicode(piece, "EUC-JISX0213", std::string_view(euc3, 3));
                    break;
                case TG0::Gb2312:
                    AppendViaUnicode(piece, "EUC-CN", std::string_view(euc, 2));
                    break;
                default:
                    AppendViaUnicode(piece, "EUC-KR", std::string_view(euc, 2));
                    break;
            }
            put(piece);
        }
    }
    out.resize(w);
    return out;
}

std::string EucJpToCp932(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    const std::vector<std::uint16_t>& jis = JisTable();
    const std::size_t n = s.size();
    auto byte = [&](std::size_t k) {
        return k < n ? static_cast<unsigned>(static_cast<unsigned char>(s[k])) : 0u;
    };
    auto isEuc = [](unsigned b) { return b >= 0xA1 && b <= 0xFE; };
    for (std::size_t i = 0; i < n;) {
        const unsigned c = byte(i);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
        } else if (c == 0x8E && byte(i + 1) >= 0xA1 && byte(i + 1) <= 0xDF) {
            out += static_cast<char>(byte(i + 1));  // JIS X 0201 katakana: cp932's single bytes
            i += 2;
        } else if (c == 0x8F && isEuc(byte(i + 1)) && isEuc(byte(i + 2))) {
            AppendViaUnicode(out, "EUC-JP", s.substr(i, 3));  // JIS X 0212
            i += 3;
        } else if (isEuc(c) && isEuc(byte(i + 1))) {
            AppendJis0208(out, jis, c & 0x7F, byte(i + 1) & 0x7F);
            i += 2;
        } else {
            out += '?';
            ++i;
        }
    }
    return out;
}

bool DecodeToCp932(std::string_view charset, std::string_view bytes, std::string& out) {
    const std::optional<TResolved> resolved = Resolve(charset);
    if (!resolved)
        return false;
    std::string result;
    switch (resolved->kind) {
        case Kind::Kept:
            result.assign(bytes);
            break;
        case Kind::Utf8:
            result = UTF8_SJIS(bytes);
            break;
        case Kind::Iso2022Jp:
            result = Iso2022JpToCp932(bytes);
            break;
        case Kind::EucJp:
            result = EucJpToCp932(bytes);
            break;
        case Kind::Iconv: {
            std::shared_ptr<TIconvDecoder> decoder = Registry().Find(resolved->iconvName);
            std::u16string units;
            if (!decoder || !decoder->Decode(bytes, units))
                return false;
            result = cp932::fromUtf16(units);
            break;
        }
    }
    out = std::move(result);
    return true;
}

std::string DecodeMailText(std::string_view charset, std::string_view bytes) {
    if (HasIso2022JpEscapes(bytes) && findNoCase(charset, "2022") == std::string_view::npos &&
        std::all_of(bytes.begin(), bytes.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return Iso2022JpToCp932(bytes);
    std::string out;
    if (!DecodeToCp932(charset, bytes, out))
        out.assign(bytes);
    return out;
}

bool IsKnownCharset(std::string_view charset) {
    const std::optional<TResolved> resolved = Resolve(charset);
    return resolved && (resolved->kind != Kind::Iconv || Registry().Find(resolved->iconvName));
}

bool HasIso2022JpEscapes(std::string_view text) {
    for (std::size_t at = text.find('\x1B'); at != std::string_view::npos;
         at = text.find('\x1B', at + 1)) {
        const std::string_view rest = text.substr(at + 1, 2);
        if (rest == "$B" || rest == "$@" || rest == "(I")
            return true;
    }
    return false;
}

std::string HtmlMetaCharset(std::string_view html) {
    std::size_t limit = findNoCase(html, "<body");
    if (limit == std::string_view::npos)
        limit = html.size();
    for (std::size_t pos = findNoCase(html, "<meta"); pos < limit;
         pos = findNoCase(html, "<meta", pos + 5)) {
        std::size_t end = html.find('>', pos);
        if (end == std::string_view::npos)
            end = html.size();
        const std::string_view tag = html.substr(pos, end - pos);
        std::size_t at = findNoCase(tag, "charset");
        if (at == std::string_view::npos)
            continue;
        at += 7;
        auto skipBlanks = [&] {
            while (at < tag.size() &&
                   (tag[at] == ' ' || tag[at] == '\t' || tag[at] == '\r' || tag[at] == '\n'))
                ++at;
        };
        skipBlanks();
        if (at >= tag.size() || tag[at] != '=')
            continue;
        ++at;
        skipBlanks();
        if (at < tag.size() && (tag[at] == '"' || tag[at] == '\''))
            ++at;
        std::size_t stop = at;
        while (stop < tag.size() && std::strchr("\"' \t\r\n;/", tag[stop]) == nullptr)
            ++stop;
        if (stop > at)
            return lowered(tag.substr(at, stop - at));
    }
    return {};
}

}  // namespace charsets
