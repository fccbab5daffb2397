// The folder list of a store (Folders.dbx) on files made by DbxBuilder.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "base/Abort.h"
#include "base/EError.h"
#include "core/oe/DbxBuilder.h"
#include "oe/DbxException.h"
#include "oe/StorePath.h"
#include "oe/TOE5_FolderInfo.h"

using dbxtest::Attr;
using dbxtest::DbxBuilder;

namespace {

class FolderInfoTest : public ::testing::Test {
  protected:
    testsupport::TempDir store;
    TOE5_FolderInfo info;

    static DbxBuilder Folders() { return DbxBuilder(DbxBuilder::Kind::FolderList); }
    void Load(const DbxBuilder& b, const char* name = "Folders.dbx") {
        b.Write(store.file(name));
        info.LoadFolders(store.str());
    }
    std::string ErrorOf(const DbxBuilder& b) {
        try {
            Load(b);
        } catch (const DbxException& e) {
            return e.what();
        }
        return "";
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        info.FolderNames(names);
        return names;
    }
};

}  // namespace

TEST_F(FolderInfoTest, FoldersWithoutUnreadMessagesAreLeftOut) {
    DbxBuilder b = Folders();
    b.IndexFolders({b.AddFolder("Inbox", "Inbox.dbx", 3), b.AddFolder("Outbox", "Outbox.dbx", 0)});
    Load(b);
    EXPECT_EQ(info.FolderMap(), (TOEFolderMap{{"Inbox(3)", "Inbox.dbx"}}));
    EXPECT_EQ(info.UnreadMap(), (TOEUnreadMap{{"Inbox(3)", 3}}));
    EXPECT_EQ(Names(), std::vector<std::string>{"Inbox(3)"});
}

TEST_F(FolderInfoTest, StoreWithNoUnreadMessagesGivesEmptyMaps) {
    DbxBuilder b = Folders();
    b.IndexFolders(
        {b.AddFolder("Inbox", "Inbox.dbx", 0), b.AddFolder("Sent Items", "Sent Items.dbx", 0)});
    Load(b);
    EXPECT_TRUE(info.FolderMap().empty());
    EXPECT_TRUE(info.UnreadMap().empty());
    EXPECT_TRUE(Names().empty());
}

TEST_F(FolderInfoTest, SameDisplayNameKeepsTheLaterFolder) {
    DbxBuilder b = Folders();
    b.IndexFolders({b.AddFolder("Inbox", "Inbox.dbx", 2), b.AddFolder("Inbox", "Inbox1.dbx", 2),
                    b.AddFolder("Inbox", "Inbox2.dbx", 5)});
    Load(b);
    EXPECT_EQ(info.FolderMap(),
              (TOEFolderMap{{"Inbox(2)", "Inbox1.dbx"}, {"Inbox(5)", "Inbox2.dbx"}}));
    EXPECT_EQ(info.UnreadMap(), (TOEUnreadMap{{"Inbox(2)", 2}, {"Inbox(5)", 5}}));
}

TEST_F(FolderInfoTest, DisplayNamesComeOutInByteOrder) {
    const std::string japanese = "\x8e\xf3\x90\x4d";  // 受信
    DbxBuilder b = Folders();
    b.IndexFolders({b.AddFolder("inbox", "a.dbx", 1), b.AddFolder(japanese, "b.dbx", 1),
                    b.AddFolder("Zeta", "c.dbx", 1), b.AddFolder("Inbox", "d.dbx", 10),
                    b.AddFolder("Inbox", "e.dbx", 9)});
    Load(b);
    // "Inbox(10)" < "Inbox(9)": the digits compare as bytes.
    std::vector<std::string> names{"kept"};
    info.FolderNames(names);
    EXPECT_EQ(names, (std::vector<std::string>{"kept", "Inbox(10)", "Inbox(9)", "Zeta(1)",
                                               "inbox(1)", japanese + "(1)"}));
}

TEST_F(FolderInfoTest, DisplayNameIsNameCountInParentheses) {
    EXPECT_EQ(TOE5_FolderInfo::DisplayName("Inbox", 12), "Inbox(12)");
    EXPECT_EQ(TOE5_FolderInfo::DisplayName("", 1), "(1)");
    EXPECT_EQ(TOE5_FolderInfo::DisplayName("a(b", 0xFFFFFF), "a(b(16777215)");
}

TEST_F(FolderInfoTest, AttributesAreTakenOnlyInTheirOwnForm) {
    DbxBuilder b = Folders();
    const std::uint32_t wrongForms =
        b.AddRecord({Attr::Direct(0x82, 0x41), Attr::String(0x02, "Real"), Attr::Direct(0x83, 0x42),
                     Attr::String(0x03, "real.dbx"), Attr::Number(0x08, 7), Attr::Direct(0x88, 4)});
    const std::uint32_t unreadInDataArea =
        b.AddRecord({Attr::String(0x02, "Hidden"), Attr::Number(0x08, 7)});
    const std::uint32_t laterWins =
        b.AddRecord({Attr::String(0x02, "First"), Attr::Direct(0x88, 1),
                     Attr::String(0x02, "Second"), Attr::Direct(0x88, 6)});
    const std::uint32_t noFileName =
        b.AddRecord({Attr::String(0x02, "Local Folders"), Attr::Direct(0x88, 2)});
    b.IndexFolders({wrongForms, unreadInDataArea, laterWins, noFileName});
    Load(b);
    EXPECT_EQ(info.FolderMap(),
              (TOEFolderMap{{"Local Folders(2)", ""}, {"Real(4)", "real.dbx"}, {"Second(6)", ""}}));
}

TEST_F(FolderInfoTest, DamagedFolderRecordEndsTheListEarly) {
    DbxBuilder b = Folders();
    const std::uint32_t first = b.AddFolder("A", "a.dbx", 1), second = b.AddFolder("B", "b.dbx", 1);
    b.IndexFolders({first, second, b.AddFolder("C", "c.dbx", 1)});
    b.Set32(second, second + 4);
    Load(b);
    EXPECT_EQ(Names(), std::vector<std::string>{"A(1)"});
    // A name whose place lies outside the record's body damages the record too.
    DbxBuilder c = Folders();
    const std::uint32_t bad = c.AddRecord({Attr::Direct(0x88, 1), Attr::String(0x02, "x")});
    c.Set32(bad + 12 + 4, 0x02 | 0x100u << 8);
    c.IndexFolders({c.AddFolder("A", "a.dbx", 1), bad, c.AddFolder("C", "c.dbx", 1)});
    Load(c);
    EXPECT_EQ(Names(), std::vector<std::string>{"A(1)"});
}

TEST_F(FolderInfoTest, NameWithoutTerminatorEndsWithTheBody) {
    DbxBuilder b = Folders();
    b.IndexFolders({b.AddRecord({Attr::Direct(0x88, 1), Attr::Raw(0x02, "Open")})});
    Load(b);
    EXPECT_EQ(Names(), std::vector<std::string>{"Open(1)"});
}

TEST_F(FolderInfoTest, BrokenIndexRaisesTheReadersErrors) {
    DbxBuilder b = Folders();
    std::vector<std::uint32_t> records;
    for (int i = 0; i < 60; ++i)
        records.push_back(b.AddFolder("F" + std::to_string(i), "f.dbx", 1));
    b.IndexFolders(records);
    Load(b);
    EXPECT_EQ(info.FolderMap().size(), 60u);
    b.Set8(b.Nodes()[0] + 0x11, 52);
    EXPECT_EQ(ErrorOf(b), "Wrong value for child entries !");
    EXPECT_TRUE(info.FolderMap().empty());  // nothing of the earlier run is kept
}

TEST_F(FolderInfoTest, ShortHeaderAndEmptyIndex) {
    DbxBuilder b = Folders();
    b.Bytes().resize(TOE5_FolderInfo::kHeaderSize - 1);
    EXPECT_EQ(ErrorOf(b), "Error reading object from input stream !");
    b.Bytes().resize(TOE5_FolderInfo::kHeaderSize);
    EXPECT_EQ(ErrorOf(b), "");
    EXPECT_TRUE(info.FolderMap().empty());
    // The folder index is its own: a message index in the same header is not read.
    DbxBuilder c = Folders();
    c.IndexMessages({c.AddFolder("Inbox", "Inbox.dbx", 1)});
    EXPECT_EQ(ErrorOf(c), "");
    EXPECT_TRUE(info.FolderMap().empty());
    c.SetFolderIndex(0x3000, 0);  // count 0: the root is not looked at
    EXPECT_EQ(ErrorOf(c), "");
}

TEST_F(FolderInfoTest, MissingFolderListIsAFileError) {
    EXPECT_THROW(info.LoadFolders(store.str()), EFileError);
    EXPECT_THROW(info.LoadFolders(store.file("no such folder")), EFileError);
}

TEST_F(FolderInfoTest, FolderListIsFoundWhateverItsLetterCase) {
    DbxBuilder b = Folders();
    b.IndexFolders({b.AddFolder("Inbox", "Inbox.dbx", 1)});
    Load(b, "FOLDERS.DBX");
    EXPECT_EQ(Names(), std::vector<std::string>{"Inbox(1)"});
}

TEST_F(FolderInfoTest, AbandonedRunUnwinds) {
    DbxBuilder b = Folders();
    b.IndexFolders({b.AddFolder("Inbox", "Inbox.dbx", 1)});
    b.Write(store.file("Folders.dbx"));
    std::atomic<bool> abort{true};
    AbortScope scope(&abort);
    EXPECT_THROW(info.LoadFolders(store.str()), EAborted);
}

TEST(StorePath, FileNamesFromTheStoreAreFoundOnLinux) {
    testsupport::TempDir store;
    const std::string inboxUtf8 =
        "\xe5\x8f\x97\xe4\xbf\xa1\xe3\x83\x88\xe3\x83\xac\xe3\x82\xa4.dbx";  // 受信トレイ.dbx
    const std::string inboxCp932 = "\x8e\xf3\x90\x4d\x83\x67\x83\x8c\x83\x43.dbx";
    testsupport::WriteFile(store.file(inboxUtf8), "x");
    testsupport::WriteFile(store.file("Sent Items.dbx"), "x");
    testsupport::WriteFile(store.file("raw\x81\x40.dbx"), "x");  // a name kept in cp932 bytes
    EXPECT_EQ(storepath::StoreFilePath(store.str(), inboxCp932), store.file(inboxUtf8));
    EXPECT_EQ(storepath::StoreFilePath(store.str(), "SENT ITEMS.DBX"),
              store.file("Sent Items.dbx"));
    EXPECT_EQ(storepath::StoreFilePath(store.str() + "/", "Sent Items.dbx"),
              store.file("Sent Items.dbx"));
    EXPECT_EQ(storepath::StoreFilePath(store.str(), "raw\x81\x40.dbx"),
              store.file("raw\x81\x40.dbx"));
    EXPECT_EQ(storepath::StoreFilePath(store.str(), "Deleted Items.dbx"),
              store.file("Deleted Items.dbx"));
}

TEST(StorePath, ResolveCaseMatchesEachMissingComponent) {
    testsupport::TempDir root;
    std::filesystem::create_directories(root.path() / "Application Data" / "Identities");
    EXPECT_EQ(storepath::ResolveCase(root.str() + "/application data/IDENTITIES/x"),
              root.str() + "/Application Data/Identities/x");
    EXPECT_EQ(storepath::ResolveCase(root.str() + "/Application Data"),
              root.str() + "/Application Data");
    EXPECT_EQ(storepath::ResolveCase(root.str() + "/nothing/application data"),
              root.str() + "/nothing/application data");
    EXPECT_EQ(storepath::ResolveCase(""), "");
}
