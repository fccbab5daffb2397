// The opt-in decoding of charsets other than UTF-8 (TParseOptions::DecodeCharsets): off, the
// parser gives the bytes it always gave; on, text in every known charset becomes cp932.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "mail/MParser.h"
#include "text/Charsets.h"

using MailParser::MParser;
using MailParser::TParseOptions;
using testsupport::Hex;

namespace {

const std::string kNihongo = "\x93\xFA\x96\x7B\x8C\xEA";  // 日本語 in cp932
const std::string kJisNihongo = "\x1B$BF|K\\8l\x1B(B";    // and in ISO-2022-JP
const std::string kJisNihongoB64 = "GyRCRnxLXDhsGyhC";

struct Parsed {
    std::string subject, body;
};

Parsed Parse(const std::string& message, bool decode) {
    MParser p;
    TParseOptions options;
    options.DecodeCharsets = decode;
    p.Parse(message, false, options);
    return {p.Subject(), p.BodyText()};
}

struct Row {
    const char* what;
    std::string message;
    std::string off;  // subject or body, as read without decoding
    std::string on;   // and with it
    bool subject;     // whether the row checks the subject (else the body)
};

std::vector<Row> Rows() {
    const std::string plain = "Content-Type: text/plain; charset=";
    return {
        {"B word", "Subject: =?ISO-2022-JP?B?" + kJisNihongoB64 + "?=\r\n\r\n",
         "=?ISO-2022-JP?B?" + kJisNihongoB64 + "?=", kNihongo, true},
        // the "?=" of "?q?=1B" does not end a Q word of a known charset
        {"Q word", "Subject: =?iso-2022-jp?q?=1B$BF|K\\8l=1B(B?= x\r\n\r\n",
         "=?iso-2022-jp?q?=1B$BF|K\\8l=1B(B?= x", kNihongo + " x", true},
        {"latin-1 Q word", "Subject: =?iso-8859-1?q?caf=E9_=B1?=\r\n\r\n", "caf\xE9 \xB1",
         "caf? \x81\x7D", true},
        {"raw JIS header", "Subject: Re: " + kJisNihongo + "\r\n\r\n", "Re: " + kJisNihongo,
         "Re: " + kNihongo, true},
        {"unknown charset word", "Subject: =?x-unknown?B?QUJD?=\r\n\r\n",
         "=?x-unknown?B?QUJD?=", "=?x-unknown?B?QUJD?=", true},
        {"bad Q escape", "Subject: =?iso-2022-jp?q?a=ZZ?=\r\n\r\n",
         "=?iso-2022-jp?q?a=ZZ?=", "=?iso-2022-jp?q?a=ZZ?=", true},
        {"quoted-printable JIS body",
         plain + "ISO-2022-JP\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n"
                 "=1B$BF|K\\8l=1B(B=\r\n!",
         kJisNihongo + "!", kNihongo + "!", false},
        {"unlabelled JIS body", "Subject: s\r\n\r\n" + kJisNihongo, kJisNihongo, kNihongo, false},
        {"EUC-JP body", plain + "euc-jp\r\n\r\n\xC6\xFC\xCB\xDC\xB8\xEC",
         "\xC6\xFC\xCB\xDC\xB8\xEC", kNihongo, false},
        {"Latin-1 body",
         plain + "\"ISO-8859-1\"\r\n\r\ncaf\xE9 \xA7"
                 "2",
         "caf\xE9 \xA7"
         "2",
         "caf? \x81\x98"
         "2",
         false},
        {"KOI8-R body", plain + "koi8-r\r\nContent-Transfer-Encoding: base64\r\n\r\n8NLJ18XU",
         "\xF0\xD2\xC9\xD7\xC5\xD4", "\x84\x50\x84\x82\x84\x79\x84\x72\x84\x75\x84\x84", false},
        {"unknown charset body", plain + "x-mystery\r\n\r\n\xE9\xFF", "\xE9\xFF", "\xE9\xFF",
         false},
        {"Shift_JIS body", plain + "shift_jis\r\n\r\n" + kNihongo, kNihongo, kNihongo, false},
        {"utf-8 body", plain + "utf-8\r\n\r\n\xE6\x97\xA5", "\x93\xFA", "\x93\xFA", false},
        // an HTML part without a charset parameter takes its <meta>
        {"HTML meta charset",
         "Content-Type: text/html\r\n\r\n<html><head><meta http-equiv=\"Content-Type\" "
         "content=\"text/html; charset=EUC-JP\"></head><body>\xC6\xFC</body></html>",
         "\xC6\xFC", "\x93\xFA", false},
        {"HTML charset parameter wins",
         "Content-Type: text/html; charset=iso-8859-1\r\n\r\n<head><meta charset=euc-jp>"
         "</head><body>\xC6\xFC</body>",
         "\xC6\xFC", "??", false},  // Æ and ü: not in cp932
        {"attached message",
         "Content-Type: message/rfc822\r\n\r\nSubject: =?iso-2022-jp?B?" + kJisNihongoB64 +
             "?=\r\nContent-Type: text/plain; charset=iso-2022-jp\r\n\r\n" + kJisNihongo,
         "_____\r\n\r\nSubject: =?iso-2022-jp?B?" + kJisNihongoB64 +
             "?=\r\nFrom: \r\nDate: " + "\r\n\r\n" + kJisNihongo + "\r\n_____",
         "_____\r\n\r\nSubject: " + kNihongo + "\r\nFrom: \r\nDate: \r\n\r\n" + kNihongo +
             "\r\n_____",
         false},
    };
}

TEST(DecodeCharsets, OffKeepsTheBytesAndOnConverts) {
    for (const Row& row : Rows()) {
        const Parsed off = Parse(row.message, false);
        const Parsed on = Parse(row.message, true);
        EXPECT_EQ(Hex(row.subject ? off.subject : off.body), Hex(row.off)) << row.what;
        EXPECT_EQ(Hex(row.subject ? on.subject : on.body), Hex(row.on)) << row.what;
    }
}

// A broken ISO-2022-JP body: the bad sequences become "?" and everything after them is read.
TEST(DecodeCharsets, MalformedJisKeepsTheRestOfTheText) {
    // an unknown escape (the mode stays two-byte), half a character before a line end, a
    // lone ESC, and a line that starts in two-byte mode without saying so
    const std::string body =
        "\x1B$BF|\x1B(Z\x1B$BK\\K"
        "\r\nline two\x1B"
        "\r\n\x1B$B8l";
    const Parsed on = Parse("Content-Type: text/plain; charset=iso-2022-jp\r\n\r\n" + body, true);
    EXPECT_EQ(Hex(on.body), Hex("\x93\xFA??\x96\x7B?\r\nline two?\r\n\x8C\xEA"));
}

bool HasJisEscape(const std::string& text) {
    return text.find("\x1B$") != std::string::npos || text.find("\x1B(") != std::string::npos;
}

// "=?charset?" of an encoded word whose charset is one that is decoded.
bool HasUndecodedKnownWord(const std::string& text) {
    for (std::size_t at = text.find("=?"); at != std::string::npos; at = text.find("=?", at + 2)) {
        const std::size_t mark = text.find('?', at + 2);
        if (mark != std::string::npos &&
            charsets::IsKnownCharset(text.substr(at + 2, mark - at - 2)) &&
            text.find("?=", mark) != std::string::npos)
            return true;
    }
    return false;
}

std::string ToCrLf(const std::string& bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'))
            out += '\r';
        out += bytes[i];
    }
    return out;
}

// The Japanese mail of the corpus (every message that mentions ISO-2022-JP or carries its
// escapes), decoded: no Subject or body keeps an escape or a word it could have decoded.
TEST(DecodeCharsets, CorpusJapaneseMailIsDecoded) {
    BREVILO_REQUIRE_CORPUS(corpus);
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus / "mail"))
        if (entry.is_regular_file() && entry.path().filename() != "SOURCES.md")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    int messages = 0, rawSubjects = 0, rawBodies = 0, subjectsLeft = 0, bodiesLeft = 0;
    std::vector<std::string> left;
    for (const auto& path : files) {
        const std::string text = ToCrLf(testsupport::ReadFile(path.string()));
        std::string lower = text;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (lower.find("iso-2022-jp") == std::string::npos && !HasJisEscape(text))
            continue;
        ++messages;
        Parsed off, on;
        try {
            off = Parse(text, false);
            on = Parse(text, true);
        } catch (const std::exception&) {
            continue;  // a bad quoted-printable escape fails either way
        }
        rawSubjects += HasJisEscape(off.subject) || HasUndecodedKnownWord(off.subject);
        rawBodies += HasJisEscape(off.body);
        const bool subjectLeft = HasJisEscape(on.subject) || HasUndecodedKnownWord(on.subject);
        const bool bodyLeft = HasJisEscape(on.body);
        subjectsLeft += subjectLeft;
        bodiesLeft += bodyLeft;
        if (subjectLeft || bodyLeft)
            left.push_back(path.lexically_relative(corpus).string());
    }
    std::cout << "[ corpus   ] " << messages
              << " Japanese messages; undecoded without the option: " << rawSubjects
              << " subjects, " << rawBodies << " bodies; with it: " << subjectsLeft << " subjects, "
              << bodiesLeft << " bodies\n";
    for (const std::string& name : left)
        std::cout << "[ left     ] " << name << "\n";
    EXPECT_GT(messages, 0);
    EXPECT_EQ(subjectsLeft, 0);
    EXPECT_EQ(bodiesLeft, 0);
}

}  // namespace
