#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "base/EError.h"
#include "cli/CliRunner.h"
#include "mail/MParser.h"
#include "text/Cp932.h"

using testsupport::Hex;
using testsupport::ReadFile;
using testsupport::RunCliProgram;
using testsupport::TempDir;
using testsupport::WriteFile;

namespace {

// What `mail` must print for these bytes: the parser's results, in cp932.
std::string Expected(const std::string& message, bool rawBody) {
    MailParser::MParser p;
    p.Parse(message, rawBody);
    return "From: " + p.From() + "\r\nNewsgroup: " + p.Newsgroup() + "\r\nDate: " + p.Date() +
           "\r\nSubject: " + p.Subject() + "\r\n\r\n" + p.BodyText();
}

const std::string kMessage =
    "From: =?utf-8?B?5bGx55Sw?= <yamada@example.jp>\r\n"  // 山田
    "Subject: =?iso-2022-jp?B?GyRCJCIbKEI=?= and =?utf-8?Q?=E3=81=82?=\r\n"
    "Date: Tue, 12 Jun 2001 10:20:30 +0900\r\n"
    "Reply-To: <list@example.jp>\r\n"
    "Content-Type: multipart/mixed; boundary=\"xyz\"\r\n"
    "\r\n"
    "--xyz\r\n"
    "Content-Type: text/plain; charset=utf-8\r\n"
    "Content-Transfer-Encoding: quoted-printable\r\n\r\n"
    "=E6=97=A5=E6=9C=AC=E8=AA=9E\r\n"  // 日本語
    "--xyz\r\n"
    "Content-Type: application/pdf\r\n"
    "Content-Disposition: attachment; filename=\"a.pdf\"\r\n\r\n"
    "JVBERi0=\r\n"
    "--xyz--\r\n";

}  // namespace

TEST(CliMail, WritesTheParserResultsByteForByte) {
    TempDir dir;
    const std::string path = dir.file("m.eml");
    WriteFile(path, kMessage);
    auto r = RunCliProgram({"--encoding", "cp932", "mail", path});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Hex(r.out), Hex(Expected(kMessage, false)));
    EXPECT_EQ(r.out.substr(0, 6), "From: ");
    EXPECT_NE(r.out.find("Newsgroup: list@example.jp\r\nDate: 2001/6/12 10:20:30\r\n"),
              std::string::npos);
    EXPECT_NE(r.out.find("\r\n\r\n\x93\xfa\x96\x7b\x8c\xea\r\n\r\n[application/pdf] >> a.pdf"),
              std::string::npos);  // 日本語
}

TEST(CliMail, RawBodyTakesTheBodyAsItStands) {
    TempDir dir;
    const std::string path = dir.file("m.txt");
    WriteFile(path, kMessage);
    auto r = RunCliProgram({"mail", "--raw-body", path, "--encoding=cp932"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Hex(r.out), Hex(Expected(kMessage, true)));
    EXPECT_NE(r.out.find("\r\n\r\n--xyz\r\nContent-Type: text/plain"), std::string::npos);
}

TEST(CliMail, DefaultOutputIsUtf8) {
    TempDir dir;
    const std::string path = dir.file("m.eml");
    WriteFile(path, kMessage);
    auto r = RunCliProgram({"mail", path});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, cp932::toUtf8(Expected(kMessage, false)));
    EXPECT_NE(r.out.find("From: \xe5\xb1\xb1\xe7\x94\xb0 <yamada@example.jp>"), std::string::npos);
}

TEST(CliMail, FileBytesGoToTheParserUnchanged) {
    // LF line ends stay LF (all header, no body); a NUL byte does not end the text.
    TempDir dir;
    const std::string lf = "From: a\nSubject: s\n\nbody\n";
    const std::string nul = std::string("From: a\r\n\r\nbefore") + '\0' + "after";
    WriteFile(dir.file("lf.eml"), lf);
    WriteFile(dir.file("nul.eml"), nul);
    WriteFile(dir.file("empty.eml"), "");
    for (const auto& [name, bytes] : std::vector<std::pair<std::string, std::string>>{
             {"lf.eml", lf}, {"nul.eml", nul}, {"empty.eml", ""}}) {
        auto r = RunCliProgram({"--encoding", "latin1", "mail", dir.file(name)});
        ASSERT_EQ(r.status, 0) << name << r.err;
        EXPECT_EQ(Hex(r.out), Hex(Expected(bytes, false))) << name;
    }
}

TEST(CliMail, Failures) {
    TempDir dir;
    auto missing = RunCliProgram({"mail", dir.file("none.eml")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err.rfind("Cannot open file \"" + dir.file("none.eml") + "\". ", 0), 0u)
        << missing.err;
    EXPECT_EQ(missing.out, "");

    const std::string bad = dir.file("bad.eml");
    WriteFile(bad, "From: a\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\nbad =ZZ\r\n");
    auto qp = RunCliProgram({"mail", bad});
    EXPECT_EQ(qp.status, 1);
    EXPECT_EQ(qp.err, "Quoted Printable Decode Error\n");
    EXPECT_EQ(qp.out, "");

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"mail"}, {"mail", bad, bad}, {"mail", "--raw", bad}}) {
        auto r = RunCliProgram(args);
        EXPECT_EQ(r.status, 2) << args.size();
        EXPECT_EQ(r.out, "");
    }
}

TEST(CliMail, MatchesTheParserOverTheCorpus) {
    BREVILO_REQUIRE_CORPUS(corpus);
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus / "mail"))
        if (entry.is_regular_file())
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    // Every seventh message keeps the run short; the parser itself reads all of them in the
    // core tests.
    int compared = 0;
    for (std::size_t i = 0; i < files.size(); i += 7) {
        const std::string bytes = ReadFile(files[i].string());
        std::string expected;
        try {
            expected = Expected(bytes, false);
        } catch (const EError& e) {
            auto r = RunCliProgram({"--encoding", "latin1", "mail", files[i].string()});
            EXPECT_EQ(r.status, 1) << files[i];
            EXPECT_EQ(r.err, std::string(e.what()) + "\n") << files[i];
            continue;
        }
        auto r = RunCliProgram({"--encoding", "latin1", "mail", files[i].string()});
        ASSERT_EQ(r.status, 0) << files[i] << r.err;
        EXPECT_EQ(r.out, expected) << files[i];
        ++compared;
    }
    EXPECT_GT(compared, 50);
}
