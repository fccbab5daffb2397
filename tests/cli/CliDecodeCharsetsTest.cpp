// --decode-charsets on the three commands that read mail: the option reaches the parser,
// and without it the bytes stay as they were.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/CliRunner.h"

using testsupport::RunCliProgram;
using testsupport::TempDir;
using testsupport::WriteFile;

namespace {

const std::string kMail =
    "From: a@example.jp\r\nSubject: =?ISO-2022-JP?B?GyRCRnxLXDhsGyhC?=\r\n"
    "Content-Type: text/plain; charset=koi8-r\r\n\r\n\xF0\xD2\xC9\xD7\xC5\xD4\r\n";
const std::string kSubject = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E";  // 日本語 (UTF-8 output)
const std::string kBody = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";  // Привет

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

}  // namespace

TEST(CliDecodeCharsets, MailConvertAndImportReadOtherCharsetsOnlyWhenAsked) {
    TempDir dir, db;
    const std::string file = dir.file("a.eml");
    WriteFile(file, kMail);
    using Args = std::vector<std::string>;
    for (bool decode : {false, true}) {
        const Args flag = decode ? Args{"--decode-charsets"} : Args{};
        Args mail = {"mail"}, convert = {"convert"};
        Args import = {"import", "--db", db.str(), "--table", decode ? "On" : "Off"};
        for (Args* args : {&mail, &convert, &import}) {
            args->insert(args->end(), flag.begin(), flag.end());
            args->push_back(file);
        }
        auto m = RunCliProgram(mail);
        auto c = RunCliProgram(convert);
        auto i = RunCliProgram(import);
        ASSERT_EQ(m.status + c.status + i.status, 0) << m.err << c.err << i.err;
        auto s = RunCliProgram({"search", "--db", db.str(), "--table", decode ? "On" : "Off",
                                "--field", "messageid", ">0"});
        for (const std::string& out : {m.out, c.out, s.out}) {
            EXPECT_EQ(Has(out, kSubject), decode) << out;
            EXPECT_EQ(Has(out, kBody), decode) << out;
            EXPECT_EQ(Has(out, "=?ISO-2022-JP?B?"), !decode) << out;
        }
    }
}
