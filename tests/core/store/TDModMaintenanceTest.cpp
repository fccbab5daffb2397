#include <gtest/gtest.h>

#include <filesystem>

#include "base/EError.h"
#include "core/store/StoreTestSupport.h"

using namespace storetest;
namespace fs = std::filesystem;

namespace {

std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const EError& e) {
        return e.what();
    }
    return "";
}

}  // namespace

class MaintenanceTest : public StoreFixture {};

TEST_F(MaintenanceTest, BackupIntoTheDatabaseFolderIsRefused) {
    EXPECT_EQ(ErrorOf([&] { dmod.Backup(dir.str()); }),
              "Backup operation not allowed on Database Folder");
    EXPECT_EQ(ErrorOf([&] { dmod.Backup(dir.str() + "/"); }),
              "Backup operation not allowed on Database Folder");
    EXPECT_EQ(ErrorOf([&] { dmod.Backup(dir.str() + "/."); }),
              "Backup operation not allowed on Database Folder");
    EXPECT_EQ(ErrorOf([&] { dmod.Backup(dir.file("missing")); }), "Backup error");
}

TEST_F(MaintenanceTest, SecondBackupOverwritesTheFirst) {
    fs::create_directory(dir.file("backup"));  // a subfolder is accepted
    AppendLog({"a"});
    dmod.PostAll();
    dmod.Backup(dir.file("backup"));
    const std::string copy = dir.file("backup/News.db");
    EXPECT_EQ(Subjects(ReadTable(copy)), std::vector<std::string>{"a"});
    dmod.PostAll();
    // A leftover journal of the old copy must not be replayed onto the new one.
    testsupport::WriteFile(copy + "-journal", "stale");
    dmod.Backup(dir.file("backup"));
    EXPECT_EQ(Subjects(ReadTable(copy)), (std::vector<std::string>{"a", "a"}));
    EXPECT_FALSE(fs::exists(copy + ".partial"));
    EXPECT_FALSE(fs::exists(copy + "-journal"));
}

TEST_F(MaintenanceTest, PackOfAHalfEmptiedLogReportsASmallerSize) {
    dmod.CreateMainTable("Inbox");
    {
        TDMod::LogBatch batch(dmod);
        for (int i = 0; i < 200; ++i)
            dmod.AppendLogRecord(Rec("r" + std::to_string(i), "", "", std::string(4000, 'x')));
        batch.Commit();
    }
    dmod.PostAll();
    dmod.ResetTempTables();
    dmod.OpenMainTable("News");
    dmod.OpenLogTable("Inbox");
    std::vector<long long> half;
    for (long long id = 1; id <= 100; ++id)
        half.push_back(id);
    dmod.MoveSelected(half);
    auto before = dmod.TableSize("Inbox");
    std::string report = dmod.PackLogDatabase();
    auto after = dmod.TableSize("Inbox");
    EXPECT_LT(after, before);
    auto grouped = [](std::uintmax_t n) {
        std::string d = std::to_string(n), out;
        for (std::size_t i = 0; i < d.size(); ++i) {
            if (i > 0 && (d.size() - i) % 3 == 0)
                out += ',';
            out += d[i];
        }
        return out;
    };
    EXPECT_EQ(report, "Inbox DB Packing Information\r\n\r\nBefore Packing:  " + grouped(before) +
                          " byte\r\nAfter Packing:  " + grouped(after) + " byte");
    EXPECT_NE(report.find(','), std::string::npos);
    EXPECT_EQ(dmod.Log().Rows().Count(), 100);
}

TEST_F(MaintenanceTest, PackNeedsALogDatabase) {
    EXPECT_THROW(dmod.PackLogDatabase(), EError);
}

TEST_F(MaintenanceTest, RenameOntoAnExistingNameIsRefusedAndChangesNothing) {
    dmod.CreateMainTable("Old");
    dmod.CreateMainTable("Taken");
    dmod.OpenMainTable("News");
    EXPECT_EQ(ErrorOf([&] { dmod.RenameTable("Old", "taken"); }), "Invalid file name");
    EXPECT_EQ(ErrorOf([&] { dmod.RenameTable("Old", "a:b"); }), "Invalid database name");
    EXPECT_EQ(ErrorOf([&] { dmod.RenameTable("Old", ""); }), "Invalid database name");
    EXPECT_EQ(ErrorOf([&] { dmod.RenameTable("Missing", "New"); }), "Invalid file name");
    EXPECT_EQ(ErrorOf([&] { dmod.RenameTable("News", "Current"); }), "Invalid file name");
    EXPECT_EQ(ErrorOf([&] { dmod.RenameTable("tmpout", "Mine"); }), "Invalid file name");
    EXPECT_TRUE(fs::exists(File("Old")));
    EXPECT_TRUE(fs::exists(File("Taken")));
    EXPECT_TRUE(dmod.IsArticleTable("Old"));

    dmod.RenameTable("old", "\x93\xfa\x96\x7b");  // 日本
    EXPECT_FALSE(dmod.TableExists("Old"));
    EXPECT_TRUE(dmod.TableExists("\x93\xfa\x96\x7b"));
    EXPECT_TRUE(dmod.IsArticleTable("\x93\xfa\x96\x7b"));
}

TEST(TableNames, NewNamesRefuseTheNineCharactersButNotTrailBytes) {
    for (const char* bad : {"", "a\\b", "a/b", "a:b", "a*b", "a?b", "a\"b", "a<b", "a>b", "a|b"})
        EXPECT_FALSE(TTableFolder::IsValidNewName(bad)) << bad;
    EXPECT_TRUE(TTableFolder::IsValidNewName("\x95\x5c"));  // 表 ends with the byte 5C
    EXPECT_TRUE(TTableFolder::IsValidNewName("News 2001"));
    EXPECT_FALSE(TTableFolder::IsStorableName("\x82"));  // half a character
    EXPECT_TRUE(TTableFolder::SameName("News", "nEWS"));
    EXPECT_FALSE(TTableFolder::SameName("\x83\x41", "\x83\x61"));  // ア vs. 83 61
}
