// brevilo-cli convert and import on mbox files and Maildir folders.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/CliRunner.h"

namespace fs = std::filesystem;
using testsupport::ReadFile;
using testsupport::RunCliProgram;
using testsupport::TempDir;
using testsupport::WriteFile;

namespace {

std::string Envelope(const std::string& subject) {
    return "From x Mon Jan  1 00:00:00 2001\nFrom: a@example.com\nSubject: " + subject +
           "\n\nbody\n\n";
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1))
        ++n;
    return n;
}

}  // namespace

TEST(CliMailbox, ConvertTakesMboxFilesAndMaildirsWithSubfoldersOnRequest) {
    TempDir dir;
    WriteFile(dir.file("Inbox"), Envelope("i1") + Envelope("i2"));
    for (const char* sub : {"M/cur", "M/new", "M/tmp", "M/.Sub/cur", "M/.Sub/new"})
        fs::create_directories(dir.path() / sub);
    WriteFile(dir.file("M/new/5.x"), "From: a@example.com\nSubject: m1\n\nx\n");
    WriteFile(dir.file("M/.Sub/cur/1.x"), "From: a@example.com\nSubject: s1\n\nx\n");

    auto r = RunCliProgram({"convert", dir.file("Inbox"), dir.file("M")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Count(r.out, "\"Subject\":"), 3u);
    EXPECT_LT(r.out.find("\"Subject\":\"i2\""), r.out.find("\"Subject\":\"m1\""));
    EXPECT_EQ(Count(r.out, "\"Subject\":\"s1\""), 0u);

    r = RunCliProgram({"convert", "--recursive", dir.file("M")});
    EXPECT_EQ(Count(r.out, "\"Subject\":"), 2u);
    EXPECT_NE(r.out.find("\"Subject\":\"s1\""), std::string::npos);
}

TEST(CliMailbox, ImportNeverRenamesAMailboxAndNamesTheFailedMessage) {
    TempDir dir, db;
    const std::string mbox =
        Envelope("one") + "From y Mon Jan  1 00:00:00 2001\nbroken\n\n" + Envelope("three");
    WriteFile(dir.file("box.mbox"), mbox);
    auto r = RunCliProgram(
        {"import", "--db", db.str(), "--table", "T", "--rename", dir.file("box.mbox")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "0\n");
    EXPECT_EQ(r.err, "[Error] File type mismatch (message 2)\nbox.mbox\n");
    EXPECT_EQ(ReadFile(dir.file("box.mbox")), mbox);
    EXPECT_FALSE(fs::exists(dir.file("box.err")));

    WriteFile(dir.file("ok.mbox"), Envelope("a") + Envelope("b"));
    r = RunCliProgram(
        {"import", "--db", db.str(), "--table", "T", "--rename", dir.file("ok.mbox")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "2\n");
    EXPECT_TRUE(fs::exists(dir.file("ok.mbox")));
}
