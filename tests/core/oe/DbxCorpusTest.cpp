// The reader over the real Outlook Express stores of the shared corpus (read in place).
//
// What the files hold, checked with the format's own fields: every message record of
// dbxoutlookexpress/Inbox.dbx and of both mail-transport-dbx files is marked read (flags
// 0x01000081), so none of them is taken; iped's first two messages are read (0x10089) and
// its other 26 are not; both of dbxconvert's are unread. Folders.dbx lists seven folders,
// none with an unread count; the index at its message-index place (0xC4/0xE4) lists eight
// folder records, which have no text and so give no message.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "oe/DbxException.h"
#include "oe/TDbxImpl.h"
#include "oe/TDbxStream.h"
#include "oe/TOE5_DbxParser.h"
#include "oe/TOE5_FolderInfo.h"

namespace {

struct Expected {
    std::size_t records;  // message records the index lists
    std::size_t taken;    // downloaded and unread
};

const std::map<std::string, Expected> kExpected = {
    {"dbxconvert/test.dbx", {2, 2}},
    {"dbxoutlookexpress/Folders.dbx", {8, 0}},  // its message-index slot lists folder records
    {"dbxoutlookexpress/Inbox.dbx", {1, 0}},
    {"dbxoutlookexpress/Outbox.dbx", {0, 0}},
    {"dbxoutlookexpress/Offline.dbx", {0, 0}},
    {"iped/test_OutlookDBX.dbx", {28, 26}},
    {"mail-transport-dbx/test.dbx", {1, 0}},
    {"mail-transport-dbx/test1.dbx", {1, 0}},
};

std::vector<std::filesystem::path> DbxFiles(const std::filesystem::path& corpus) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus / "dbx"))
        if (entry.is_regular_file() && entry.path().extension() == ".dbx")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

TEST(DbxCorpus, EveryStoreFileReadsWithSensibleCounts) {
    BREVILO_REQUIRE_CORPUS(corpus);
    std::size_t checked = 0;
    for (const auto& path : DbxFiles(corpus)) {
        const std::string name = std::filesystem::relative(path, corpus / "dbx").generic_string();
        SCOPED_TRACE(name);
        std::atomic<bool> stop{false};
        TOE5_DbxParser parser;
        std::vector<std::string> messages;
        // Folders.dbx has its own index at the message index's place: whatever it holds,
        // reading it must end cleanly.
        try {
            parser.ReadMessages(path.string(), messages, stop);
        } catch (const DbxException& e) {
            ADD_FAILURE() << e.what();
        }
        TDbxStream stream(path.string());
        std::size_t records = 0, wanted = 0;
        const bool folderList = path.filename() == "Folders.dbx";
        records = parser.ScanMessages(stream, [&](const TOE5_DbxParser::MessageInfo& info) {
            if (info.Wanted())
                ++wanted;
            // Every listed message has a readable text, read or not; folder records none.
            EXPECT_EQ(info.TextOffset != 0, !folderList);
            if (info.TextOffset) {
                EXPECT_FALSE(parser.Impl().ReadText(info.TextOffset).empty());
            }
            return true;
        });
        EXPECT_EQ(records, parser.Impl().Count());  // no record ended the walk early
        EXPECT_EQ(messages.size(), wanted);
        for (const std::string& m : messages) {
            EXPECT_GT(m.size(), 100u);
            EXPECT_NE(m.find("\r\n\r\n"), std::string::npos);  // a header block and a body
            EXPECT_EQ(m.find('\0'), std::string::npos);
        }
        auto it = kExpected.find(name);
        if (it != kExpected.end()) {
            EXPECT_EQ(records, it->second.records);
            EXPECT_EQ(messages.size(), it->second.taken);
            ++checked;
        }
    }
    EXPECT_EQ(checked, kExpected.size());
}

TEST(DbxCorpus, MessageTextsAreTheOnesTheUpstreamTestsDescribe) {
    BREVILO_REQUIRE_CORPUS(corpus);
    auto texts = [&](const char* name) {
        TDbxStream stream((corpus / "dbx" / name).string());
        TOE5_DbxParser parser;
        std::vector<std::string> all;
        parser.ScanMessages(stream, [&](const TOE5_DbxParser::MessageInfo& info) {
            all.push_back(parser.Impl().ReadText(info.TextOffset));
            return true;
        });
        return all;
    };
    auto freshmeat = texts("mail-transport-dbx/test1.dbx");
    ASSERT_EQ(freshmeat.size(), 1u);
    EXPECT_NE(freshmeat[0].find("centericq 4.7.5 released"), std::string::npos);
    // test.dbx still holds test1's text in blocks that no index entry leads to.
    auto spam = texts("mail-transport-dbx/test.dbx");
    ASSERT_EQ(spam.size(), 1u);
    EXPECT_NE(spam[0].find("Please read you won't be sorry"), std::string::npos);
    EXPECT_EQ(spam[0].find("centericq"), std::string::npos);

    std::atomic<bool> stop{false};
    TOE5_DbxParser parser;
    std::vector<std::string> messages;
    parser.ReadMessages((corpus / "dbx/dbxconvert/test.dbx").string(), messages, stop);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_NE(messages[0].find("Subject #1"), std::string::npos);
    EXPECT_NE(messages[1].find("Subject #2"), std::string::npos);
    parser.ReadMessages((corpus / "dbx/iped/test_OutlookDBX.dbx").string(), messages, stop);
    ASSERT_EQ(messages.size(), 26u);
    EXPECT_NE(messages[1].find("Fw: (Reminder) Share your experience with Copilot"),
              std::string::npos);
}

TEST(DbxCorpus, FolderListHasSevenFoldersAndNoneUnread) {
    BREVILO_REQUIRE_CORPUS(corpus);
    TOE5_FolderInfo info;
    info.LoadFolders((corpus / "dbx/dbxoutlookexpress").string());
    EXPECT_TRUE(info.FolderMap().empty());
    EXPECT_TRUE(info.UnreadMap().empty());
    // The walk itself found the folder records.
    TDbxStream stream((corpus / "dbx/dbxoutlookexpress/Folders.dbx").string());
    TDbxImpl impl;
    unsigned char header[0xF0];
    ASSERT_TRUE(stream.ReadExact(0, header, sizeof header));
    auto le32 = [&](std::size_t at) {
        return std::uint32_t(header[at]) | std::uint32_t(header[at + 1]) << 8 |
               std::uint32_t(header[at + 2]) << 16 | std::uint32_t(header[at + 3]) << 24;
    };
    impl.LoadIndex(stream, le32(TOE5_FolderInfo::kFolderRootField),
                   le32(TOE5_FolderInfo::kFolderCountField));
    EXPECT_EQ(impl.Count(), 7u);
    // Message folders have no folder index.
    for (const auto& path : DbxFiles(corpus)) {
        if (path.filename() == "Folders.dbx")
            continue;
        TDbxStream file(path.string());
        info.LoadFolders(file);
        EXPECT_TRUE(info.FolderMap().empty()) << path;
    }
}
