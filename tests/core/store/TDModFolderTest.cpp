#include <gtest/gtest.h>

#include <unistd.h>
#include <algorithm>

#include <filesystem>

#include "base/EError.h"
#include "core/store/StoreTestSupport.h"
#include "store/EConvertError.h"
#include "store/EDBError.h"

using namespace storetest;
namespace fs = std::filesystem;

TEST(DataModule, OpenFolderCreatesTheThreeTemporaryTables) {
    testsupport::TempDir dir;
    TDMod dmod;
    dmod.OpenFolder(dir.str());
    for (const char* name : {"tmpdb", "tmpout", "tmpmem"})
        EXPECT_TRUE(dmod.TableExists(name)) << name;
    EXPECT_EQ(dmod.CountUserTables(), 0);  // only temporary tables: no user table
    std::vector<std::string> list;
    dmod.ListUserTables(list);
    EXPECT_TRUE(list.empty());
    EXPECT_FALSE(dmod.HasMainTable());
    EXPECT_TRUE(dmod.LogIsTemporary());
}

TEST(DataModule, TemporaryTablesAreEmptiedOnReopenWithTheirStructureKept) {
    testsupport::TempDir dir, elsewhere;
    {
        TDMod first;
        first.OpenFolder(dir.str());
        first.CreateMainTable("News");
        first.AppendLogRecord(Rec("one"));
        first.AppendLogRecord(Rec("two"));
        first.PostAll();
        first.KeywordSearch(
            "o", {TSearchOptions{TSearchMethod::Initial, TSearchField::SubjectOrNotes, false}});
        first.SetMemoryPosition();
        first.AppendLogRecord(Rec("three"));
        // Leaving the folder this way keeps its temporary tables, as a crash would.
        first.OpenFolder(elsewhere.str());
    }
    EXPECT_EQ(ReadTable(dir.file("tmpdb.db")).size(), 3u);  // posting leaves the log to the caller
    EXPECT_EQ(ReadTable(dir.file("tmpout.db")).size(), 2u);
    EXPECT_EQ(ReadTable(dir.file("tmpmem.db")).size(), 2u);

    TDMod second;
    second.OpenFolder(dir.str());
    EXPECT_TRUE(ReadTable(dir.file("tmpdb.db")).empty());
    EXPECT_TRUE(ReadTable(dir.file("tmpout.db")).empty());
    EXPECT_TRUE(ReadTable(dir.file("tmpmem.db")).empty());
    // Structure kept: the log still has its four orderings and starts at MessageID 1.
    TSqlConnection raw(dir.file("tmpdb.db"), false);
    TSqlStatement indexes = raw.Prepare(
        "SELECT name FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL ORDER BY name");
    std::vector<std::string> names;
    while (indexes.Step())
        names.push_back(indexes.Text(0));
    EXPECT_EQ(names, (std::vector<std::string>{"Date", "From", "Newsgroup", "Subject"}));
    second.AppendLogRecord(Rec("again"));
    EXPECT_EQ(second.Log().Rows().MessageIDAt(0), 1);
    EXPECT_EQ(second.CountUserTables(), 1);
}

TEST(DataModule, DamagedTemporaryTablesAreMadeAnew) {
    testsupport::TempDir dir;
    testsupport::WriteFile(dir.file("tmpdb.db"), "not a database at all");
    testsupport::WriteFile(dir.file("tmpout.db"), "");
    TDMod dmod;
    dmod.OpenFolder(dir.str());
    dmod.AppendLogRecord(Rec("fine"));
    EXPECT_EQ(dmod.Log().Rows().Count(), 1);
    EXPECT_EQ(dmod.QueryResultRowCount(), 0);
}

TEST(DataModule, TemporaryLogDamagedInsideIsMadeAnew) {
    // What a crash in the middle of an import's commit can leave: a file whose schema
    // reads but whose pages do not.
    testsupport::TempDir dir;
    std::string saved = dir.file("saved.db");
    {
        TDMod dmod;
        dmod.OpenFolder(dir.str());
        TDMod::LogBatch batch(dmod);
        for (int i = 0; i < 200; ++i)
            dmod.AppendLogRecord(Rec("row", "", "", std::string(3000, 'x')));
        batch.Commit();
        fs::copy_file(dir.file("tmpdb.db"), saved);
    }
    std::string bytes = testsupport::ReadFile(saved);
    ASSERT_GT(bytes.size(), 16384u);
    std::fill(bytes.begin() + 12288, bytes.end(), '\xff');
    testsupport::WriteFile(dir.file("tmpdb.db"), bytes);
    TDMod dmod;
    dmod.OpenFolder(dir.str());
    EXPECT_EQ(dmod.Log().Rows().Count(), 0);
    dmod.AppendLogRecord(Rec("fine"));
    EXPECT_EQ(dmod.Log().Rows().Count(), 1);
}

TEST(DataModule, ChangeFolderDeletesTheOldTemporaryTables) {
    testsupport::TempDir a, b;
    TDMod dmod;
    dmod.OpenFolder(a.str());
    dmod.ChangeFolder(b.str());
    EXPECT_FALSE(fs::exists(a.file("tmpdb.db")));
    EXPECT_FALSE(fs::exists(a.file("tmpout.db")));
    EXPECT_FALSE(fs::exists(a.file("tmpmem.db")));
    EXPECT_TRUE(fs::exists(b.file("tmpdb.db")));
    EXPECT_EQ(dmod.Folder(), b.str());
    dmod.DeleteTempTables();
    EXPECT_FALSE(fs::exists(b.file("tmpdb.db")));
}

TEST(DataModule, OpenFolderFailsForAFolderItCannotUse) {
    testsupport::TempDir dir;
    TDMod dmod;
    EXPECT_THROW(dmod.OpenFolder(dir.file("missing")), EError);
    EXPECT_FALSE(dmod.IsFolderOpen());
    if (geteuid() != 0) {  // root writes anywhere
        fs::create_directory(dir.file("readonly"));
        fs::permissions(dir.file("readonly"), fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_THROW(dmod.OpenFolder(dir.file("readonly")), EError);
        EXPECT_FALSE(dmod.IsFolderOpen());
        EXPECT_EQ(dmod.Folder(), "");
        fs::permissions(dir.file("readonly"), fs::perms::owner_all);
    }
}

TEST_F(StoreFixture, TableExistsIgnoresLetterCase) {
    dmod.CreateMainTable("Notes");
    EXPECT_TRUE(dmod.TableExists("notes"));
    EXPECT_TRUE(dmod.TableExists("NOTES"));
    EXPECT_FALSE(dmod.TableExists("note"));
    // Only ASCII letters fold: ａ (82 81) is not Ａ (82 60).
    dmod.CreateMainTable("\x82\x81");
    EXPECT_FALSE(dmod.TableExists("\x82\x60"));
    EXPECT_THROW(dmod.CreateMainTable("NEWS"), EError);
}

TEST_F(StoreFixture, TablesAreFilesNamedInUtf8) {
    dmod.CreateMainTable("\x93\xfa\x96\x7b");  // 日本
    EXPECT_TRUE(fs::exists(dir.file("\xe6\x97\xa5\xe6\x9c\xac.db")));
    std::vector<std::string> list;
    dmod.ListUserTables(list);  // all but the temporary and the current table
    EXPECT_EQ(list, std::vector<std::string>{"News"});
    dmod.OpenMainTable("News");
    list.clear();
    dmod.ListUserTables(list);
    EXPECT_EQ(list, std::vector<std::string>{"\x93\xfa\x96\x7b"});
}

TEST_F(StoreFixture, ListUserTablesLeavesOutTheLogAndTheCurrentTable) {
    dmod.CreateMainTable("Inbox");
    dmod.CreateMainTable("Archive");
    dmod.OpenLogTable("Inbox");
    std::vector<std::string> list;
    dmod.ListUserTables(list);
    EXPECT_EQ(list, std::vector<std::string>{"News"});
    EXPECT_EQ(dmod.CountUserTables(), 3);
}

TEST_F(StoreFixture, IsArticleTableRefusesAQueryResultCopy) {
    fs::copy_file(File("tmpout"), File("Copy"));
    EXPECT_TRUE(dmod.IsArticleTable("News"));
    EXPECT_TRUE(dmod.IsArticleTable("news"));
    EXPECT_FALSE(dmod.IsArticleTable("Copy"));
    EXPECT_FALSE(dmod.IsArticleTable("Missing"));
    testsupport::WriteFile(File("Junk"), "junk junk junk");
    EXPECT_FALSE(dmod.IsArticleTable("Junk"));
    TSqlConnection other(File("Other"), true);
    other.Exec("CREATE TABLE articles (a, b, c, d, e, f, g, h)");
    EXPECT_FALSE(dmod.IsArticleTable("Other"));
    EXPECT_THROW(dmod.OpenMainTable("Copy"), EError);
    EXPECT_THROW(dmod.OpenLogTable("Copy"), EError);
    EXPECT_EQ(dmod.MainTableName(), "News");
    EXPECT_TRUE(dmod.LogIsTemporary());
}

TEST_F(StoreFixture, CreateMainTableRefusesUnstorableNamesAndDeletesTheValFile) {
    EXPECT_THROW(dmod.CreateMainTable(""), EError);
    EXPECT_THROW(dmod.CreateMainTable("a/b"), EError);
    EXPECT_THROW(dmod.CreateMainTable(".."), EError);
    testsupport::WriteFile(dir.file("Fresh.VAL"), "x");
    dmod.CreateMainTable("Fresh");
    EXPECT_FALSE(fs::exists(dir.file("Fresh.VAL")));
    EXPECT_EQ(dmod.MainTableName(), "Fresh");
    EXPECT_EQ(dmod.FirstID(), 0);
    EXPECT_EQ(dmod.LastID(), 0);
}

TEST_F(StoreFixture, OpenMainTableReadsFirstAndLastIdAndEmptiesScratchTables) {
    AppendLog({"a", "b", "c"});
    dmod.PostAll();
    dmod.KeywordSearch("a",
                       TSearchOptions{TSearchMethod::Initial, TSearchField::SubjectOrNotes, false});
    dmod.SetMemoryPosition();
    EXPECT_EQ(dmod.QueryResultRowCount(), 1);
    dmod.CreateMainTable("Other");
    dmod.OpenMainTable("news");
    EXPECT_EQ(dmod.MainTableName(), "News");  // the stored spelling
    EXPECT_EQ(dmod.FirstID(), 1);
    EXPECT_EQ(dmod.LastID(), 3);
    EXPECT_EQ(dmod.QueryResultRowCount(), 0);
    EXPECT_EQ(dmod.MemoryRowCount(), 0);
    // The recently-added view after opening shows the last row.
    ASSERT_EQ(dmod.Search().Count(), 1);
    EXPECT_EQ(dmod.Search().Row(0).Subject, "c");
}

TEST_F(StoreFixture, AppendLogRecordKeepsEmptyDateAndNotesEmpty) {
    dmod.AppendLogRecord(Rec("no date", "", ""));
    dmod.AppendLogRecord(Rec("dated", "2001/6/12 10:20:30 PM", "kw"));
    const TArticle& first = dmod.Log().Rows().Row(0);
    EXPECT_FALSE(first.Date.has_value());
    EXPECT_EQ(first.Notes, "");
    EXPECT_FALSE(first.Rank.has_value());
    EXPECT_EQ(first.MessageID, 1);
    const TArticle& second = dmod.Log().Rows().Row(1);
    ASSERT_TRUE(second.Date.has_value());
    EXPECT_EQ(second.Date->ToText(), "2001-06-12 22:20:30");
    EXPECT_EQ(second.Notes, "kw");
    TSqlConnection raw(File("tmpdb"), false);
    TSqlStatement nulls =
        raw.Prepare("SELECT count(*) FROM articles WHERE Date IS NULL AND Notes IS NULL");
    nulls.Step();
    EXPECT_EQ(nulls.Int(0), 1);
}

TEST_F(StoreFixture, AppendLogRecordWithAnUnreadableDateFailsAndLeavesNoRow) {
    AppendLog({"before"});
    try {
        dmod.AppendLogRecord(Rec("bad", "2001/13/45"));
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'2001/13/45' is not a valid date");
    }
    EXPECT_EQ(dmod.Log().Rows().Count(), 1);
    EXPECT_EQ(ReadTable(File("tmpdb")).size(), 1u);
}

TEST_F(StoreFixture, AppendLogRecordCutsFieldsAtCharacterBoundaries) {
    // 84 bytes of "x" and then あ (82 A0): the Subject's 85 bytes would end inside あ.
    std::string subject(84, 'x');
    subject += "\x82\xa0";
    TRecordFields r = Rec(subject);
    r.From = std::string(71, 'f');
    r.Newsgroup = std::string(61, 'g');
    r.Notes = std::string(81, 'n');
    r.Article = std::string(100000, 'a');
    dmod.AppendLogRecord(r);
    const TArticle& row = dmod.Log().Rows().Row(0);
    EXPECT_EQ(row.Subject, std::string(84, 'x'));
    EXPECT_EQ(row.From.size(), 70u);
    EXPECT_EQ(row.Newsgroup.size(), 60u);
    EXPECT_EQ(row.Notes.size(), 80u);
    EXPECT_EQ(row.Article.size(), 100000u);
}

TEST_F(StoreFixture, TextsAreStoredByteForByte) {
    // cp932 bytes that are not UTF-8, a NUL, CR LF, and a text that looks like a number.
    std::string article("\x95\x5c\x82\xa0\r\n\0tail", 10);
    dmod.AppendLogRecord(Rec("00123", "", "", article));
    const TArticle& row = dmod.Log().Rows().Row(0);
    EXPECT_EQ(row.Subject, "00123");
    EXPECT_EQ(testsupport::Hex(row.Article), testsupport::Hex(article));
}

TEST_F(StoreFixture, LogBatchCommitsTogetherOrNotAtAll) {
    {
        TDMod::LogBatch batch(dmod);
        AppendLog({"a", "b"});
        EXPECT_EQ(dmod.Log().Rows().Count(), 2);
    }
    EXPECT_EQ(dmod.Log().Rows().Count(), 0);
    {
        TDMod::LogBatch batch(dmod);
        AppendLog({"c", "d"});
        EXPECT_THROW(dmod.AppendLogRecord(Rec("bad", "x")), EConvertError);
        batch.Commit();
    }
    EXPECT_EQ(Subjects(ReadTable(File("tmpdb"))), (std::vector<std::string>{"c", "d"}));
}

TEST_F(StoreFixture, ImportBatchesStandOrFallAloneAndLeaveTheLogAsItWas) {
    {
        TDMod::LogImport import(dmod);
        {
            TDMod::LogBatch batch(dmod);
            AppendLog({"a", "b"});
        }
        {
            TDMod::LogBatch batch(dmod);
            AppendLog({"c"});
            batch.Commit();
        }
        EXPECT_FALSE(fs::exists(File("tmpdb") + "-journal"));
    }
    // Committed, unlocked for other connections, indexed (they were dropped for the
    // import into the empty log), and journalled on disk again.
    EXPECT_EQ(Subjects(ReadTable(File("tmpdb"))), (std::vector<std::string>{"c"}));
    {
        TSqlConnection raw(File("tmpdb"), false);
        TSqlStatement indexes = raw.Prepare(
            "SELECT count(*) FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL");
        ASSERT_TRUE(indexes.Step());
        EXPECT_EQ(indexes.Int(0), 4);
    }
    TDMod::LogBatch batch(dmod);
    AppendLog({"d"});
    EXPECT_TRUE(fs::exists(File("tmpdb") + "-journal"));
}

TEST_F(StoreFixture, LogNavigatorInsertsAtTheEndEditsAndDeletes) {
    AppendLog({"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"});
    dmod.Log().Rows().SetCurrent(4);
    long long id = dmod.InsertLogRow();
    EXPECT_EQ(id, 11);
    EXPECT_EQ(dmod.Log().Rows().Count(), 11);
    EXPECT_EQ(dmod.Log().Rows().Current(), 10);
    TArticle row = dmod.Log().Rows().Row(10);
    row.Subject = "typed";
    row.Rank = 5;
    dmod.UpdateLogRow(row);
    EXPECT_EQ(dmod.Log().Rows().Row(10).Subject, "typed");
    EXPECT_EQ(dmod.Log().Rows().Row(10).Rank, 5);
    dmod.DeleteLogRow(1);
    EXPECT_EQ(dmod.Log().Rows().Count(), 10);
    EXPECT_EQ(dmod.Log().Rows().Row(0).Subject, "b");
}
