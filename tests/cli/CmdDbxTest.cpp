// brevilo-cli dbx and oe-folders, run as the program.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/CliRunner.h"
#include "core/oe/DbxBuilder.h"

using dbxtest::DbxBuilder;
using testsupport::ReadFile;
using testsupport::RunCliProgram;
using testsupport::TempDir;

TEST(CliDbx, PrintsTheNumberOfUnreadDownloadedMessages) {
    TempDir dir;
    DbxBuilder b;
    b.IndexMessages({b.AddMessage("From: a\r\n\r\none"), b.AddMessage("read", 0x81),
                     b.AddMessage("From: b\r\n\r\ntwo")});
    b.Write(dir.file("Inbox.dbx"));
    auto r = RunCliProgram({"dbx", dir.file("Inbox.dbx")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "2\n");
    EXPECT_EQ(r.err, "");
}

TEST(CliDbx, OutWritesEachMessageAsNumberedEmlFile) {
    TempDir dir;
    DbxBuilder b;
    const std::string second = "Subject: \x82\xa0\r\n\r\nbody";  // あ, written byte for byte
    b.IndexMessages({b.AddMessage("first"), b.AddMessage(second)});
    b.Write(dir.file("Inbox.dbx"));
    const std::string out = dir.file("out/nested");
    auto r = RunCliProgram({"dbx", "--out", out, dir.file("Inbox.dbx")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "2\n");
    EXPECT_EQ(ReadFile(out + "/0001.eml"), "first");
    EXPECT_EQ(ReadFile(out + "/0002.eml"), second);
    EXPECT_FALSE(std::filesystem::exists(out + "/0003.eml"));
}

TEST(CliDbx, DamagedFileFailsWithTheReadersMessage) {
    TempDir dir;
    testsupport::WriteFile(dir.file("short.dbx"), std::string(100, '\0'));
    auto r = RunCliProgram({"dbx", dir.file("short.dbx")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Error reading object from input stream !\n");

    DbxBuilder b;
    b.IndexMessages({b.AddMessage("x")});
    b.Set8(b.Nodes()[0] + 0x11, 52);
    b.Write(dir.file("node.dbx"));
    r = RunCliProgram({"dbx", "--out", dir.file("out"), dir.file("node.dbx")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Wrong value for child entries !\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("out/0001.eml")));

    r = RunCliProgram({"dbx", dir.file("missing.dbx")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("missing.dbx"), std::string::npos);
}

TEST(CliDbx, WrongUsageExitsWithTwo) {
    for (const auto& args : std::vector<std::vector<std::string>>{{"dbx"},
                                                                  {"dbx", "a.dbx", "b.dbx"},
                                                                  {"dbx", "--out"},
                                                                  {"dbx", "--bogus", "a.dbx"},
                                                                  {"oe-folders"},
                                                                  {"oe-folders", "a", "b"}}) {
        auto r = RunCliProgram(args);
        EXPECT_EQ(r.status, 2) << args.size();
        EXPECT_EQ(r.out, "");
    }
}

TEST(CliOeFolders, ListsFoldersWithUnreadMessagesInMapOrder) {
    TempDir store;
    DbxBuilder b(DbxBuilder::Kind::FolderList);
    const std::string japanese = "\x8e\xf3\x90\x4d";  // 受信
    b.IndexFolders({b.AddFolder("Outbox", "Outbox.dbx", 0), b.AddFolder("Inbox", "Inbox.dbx", 12),
                    b.AddFolder(japanese, japanese + ".dbx", 1),
                    b.AddFolder("Drafts", "Drafts.dbx", 2)});
    b.Write(store.file("Folders.dbx"));
    auto r = RunCliProgram({"oe-folders", store.str()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(
        r.out,
        "Drafts(2)\tDrafts.dbx\t2\n"
        "Inbox(12)\tInbox.dbx\t12\n"
        "\xe5\x8f\x97\xe4\xbf\xa1(1)\t\xe5\x8f\x97\xe4\xbf\xa1.dbx\t1\n");  // UTF-8 by default
    r = RunCliProgram({"--encoding", "cp932", "oe-folders", store.str()});
    EXPECT_NE(r.out.find(japanese + "(1)\t" + japanese + ".dbx\t1\n"), std::string::npos);
}

TEST(CliOeFolders, StoreWithoutUnreadFoldersPrintsNothing) {
    TempDir store;
    DbxBuilder b(DbxBuilder::Kind::FolderList);
    b.IndexFolders({b.AddFolder("Inbox", "Inbox.dbx", 0)});
    b.Write(store.file("Folders.dbx"));
    auto r = RunCliProgram({"oe-folders", store.str()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
}

TEST(CliOeFolders, MissingOrDamagedFolderList) {
    TempDir store;
    auto r = RunCliProgram({"oe-folders", store.str()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Folders.dbx file not found\n");
    testsupport::WriteFile(store.file("Folders.dbx"), std::string(5000, '\0'));
    r = RunCliProgram({"oe-folders", store.str()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Error reading object from input stream !\n");
}
