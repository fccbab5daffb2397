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

std::string Message(const std::string& subject) {
    return "From x Mon Jan  1 00:00:00 2001\nFrom: a@example.com\nSubject: " + subject +
           "\n\nbody\n\n";
}

}  // namespace

TEST(CliMailbox, ConvertTakesMaildirSubfoldersOnlyWhenAskedFor) {
    TempDir dir;
    for (const char* sub : {"M/cur", "M/new", "M/.Sub/cur", "M/.Sub/new"})
        fs::create_directories(dir.path() / sub);
    WriteFile(dir.file("M/new/5.x"), "From: a@example.com\nSubject: m1\n\nx\n");
    WriteFile(dir.file("M/.Sub/cur/1.x"), "From: a@example.com\nSubject: s1\n\nx\n");
    auto r = RunCliProgram({"convert", dir.file("M")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"Subject\":\"m1\""), std::string::npos);
    EXPECT_EQ(r.out.find("\"Subject\":\"s1\""), std::string::npos);
    r = RunCliProgram({"convert", "--recursive", dir.file("M")});
    EXPECT_NE(r.out.find("\"Subject\":\"s1\""), std::string::npos);
    r = RunCliProgram({"convert", dir.file("M/cur")});
    EXPECT_EQ(r.err, "Folder is unsupported\ncur\n");
}

TEST(CliMailbox, ImportNeverRenamesAMailboxAndNamesTheFailedMessage) {
    TempDir dir, db;
    const std::string bad = Message("one") + "From y Mon Jan  1 00:00:00 2001\nbroken\n\n";
    WriteFile(dir.file("bad.mbox"), bad);
    WriteFile(dir.file("Inbox"), Message("a") + Message("b"));
    auto r = RunCliProgram({"import", "--db", db.str(), "--table", "T", "--rename",
                            dir.file("Inbox"), dir.file("bad.mbox")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "2\n");
    EXPECT_EQ(r.err, "[Error] File type mismatch (message 2)\nbad.mbox\n");
    EXPECT_EQ(ReadFile(dir.file("bad.mbox")), bad);
    EXPECT_TRUE(fs::exists(dir.file("Inbox")));
}
