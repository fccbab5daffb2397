// The .dbx message reader on store files made by DbxBuilder (layout: doc/dbx-format.md).
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "base/Abort.h"
#include "base/EError.h"
#include "core/oe/DbxBuilder.h"
#include "oe/DbxException.h"
#include "oe/TDbxImpl.h"
#include "oe/TDbxStream.h"
#include "oe/TOE5_DbxParser.h"

using dbxtest::Attr;
using dbxtest::DbxBuilder;

namespace {

class DbxReaderTest : public ::testing::Test {
  protected:
    testsupport::TempDir dir;
    std::atomic<bool> stop{false};

    std::string Save(const DbxBuilder& b) {
        const std::string path = dir.file("folder.dbx");
        b.Write(path);
        return path;
    }
    std::vector<std::string> Read(const DbxBuilder& b) {
        TOE5_DbxParser parser;
        std::vector<std::string> list{"left over from before"};
        parser.ReadMessages(Save(b), list, stop);
        return list;
    }
    // The DbxException text that reading raises, "" when it raises none.
    std::string ErrorOf(const DbxBuilder& b) {
        try {
            Read(b);
        } catch (const DbxException& e) {
            return e.what();
        }
        return "";
    }
    // A store of `n` messages "message 0", "message 1", ... indexed with `fanout`.
    static DbxBuilder Numbered(int n, unsigned fanout = 51) {
        DbxBuilder b;
        std::vector<std::uint32_t> records;
        for (int i = 0; i < n; ++i)
            records.push_back(b.AddMessage("message " + std::to_string(i)));
        b.IndexMessages(records, fanout);
        return b;
    }
    static std::vector<std::string> NumberedTexts(int n) {
        std::vector<std::string> texts;
        for (int i = 0; i < n; ++i)
            texts.push_back("message " + std::to_string(i));
        return texts;
    }
};

}  // namespace

TEST_F(DbxReaderTest, ZeroCountOrZeroRootGivesEmptyListWithoutTouchingTheIndex) {
    for (auto [count, root] : {std::pair{0u, 0x3000u}, std::pair{5u, 0u}, std::pair{0u, 0u}}) {
        DbxBuilder b;
        b.AddMessage("never read");
        b.SetMessageIndex(root, count);  // 0x3000 holds no node: walking it would fail
        EXPECT_TRUE(Read(b).empty()) << count << " " << root;
    }
}

TEST_F(DbxReaderTest, FileShorterThanTheHeaderPartReadIsRefused) {
    DbxBuilder b;
    b.Bytes().resize(TOE5_DbxParser::kHeaderBytesRead - 1);
    EXPECT_EQ(ErrorOf(b), "Error reading object from input stream !");
    b.Bytes().resize(TOE5_DbxParser::kHeaderBytesRead);  // enough: count and root are 0
    EXPECT_EQ(ErrorOf(b), "");
    EXPECT_TRUE(Read(b).empty());
}

TEST_F(DbxReaderTest, EmptyFileIsRefusedAndMissingFileIsAFileError) {
    DbxBuilder b;
    b.Bytes().clear();
    EXPECT_EQ(ErrorOf(b), "Error reading object from input stream !");
    TOE5_DbxParser parser;
    std::vector<std::string> list{"x"};
    EXPECT_THROW(parser.ReadMessages(dir.file("missing.dbx"), list, stop), EFileError);
    EXPECT_TRUE(list.empty());
    EXPECT_THROW(parser.ReadMessages(dir.str(), list, stop), EFileError);  // a folder
}

TEST_F(DbxReaderTest, FlagsDecideWhichMessagesAreTaken) {
    struct Case {
        const char* name;
        std::vector<Attr> flags;  // flag attributes, in order
        bool taken;
    } cases[] = {
        {"downloaded, unread (direct)", {Attr::Direct(0x81, 0x01)}, true},
        {"downloaded, unread (data area)", {Attr::Number(0x01, 0x01)}, true},
        {"no flags attribute", {}, true},
        {"read", {Attr::Direct(0x81, 0x81)}, false},
        {"read (data area, high bits as Outlook Express 6 writes them)",
         {Attr::Number(0x01, 0x01000081)},
         false},
        {"headers only", {Attr::Direct(0x81, 0x00)}, false},
        {"headers only and read", {Attr::Direct(0x81, 0x80)}, false},
        {"other bits do not matter", {Attr::Direct(0x81, 0x14009)}, true},
        {"a later entry overwrites an earlier one",
         {Attr::Direct(0x81, 0x81), Attr::Number(0x01, 0x01)},
         true},
        {"... also the other way round",
         {Attr::Number(0x01, 0x01), Attr::Direct(0x81, 0x81)},
         false},
        {"id 0x41 is no flags attribute", {Attr::Direct(0xC1, 0x80)}, true},
    };
    for (const Case& c : cases) {
        DbxBuilder b;
        std::vector<Attr> attrs = c.flags;
        attrs.push_back(Attr::Direct(0x84, b.AddText("the text")));
        b.IndexMessages({b.AddRecord(attrs)});
        auto list = Read(b);
        EXPECT_EQ(list, c.taken ? std::vector<std::string>{"the text"} : std::vector<std::string>{})
            << c.name;
    }
}

TEST_F(DbxReaderTest, DirectTextOffsetIsTheEntrysUpperThreeBytes) {
    DbxBuilder b;
    // A text block placed inside the header area, at 0x1234, which nothing else reads.
    std::string block(16, '\0');
    dbxtest::Put32(block, 0, 0x1234);
    dbxtest::Put32(block, 8, 5);
    block += "hello";
    b.Bytes().replace(0x1234, block.size(), block);
    // Entry 0x00123484: id 0x84, value 0x001234.
    const std::uint32_t record = b.AddRecord({Attr::Direct(0x84, 0x001234)});
    b.IndexMessages({record});
    EXPECT_EQ(dbxtest::Get32(b.Bytes(), record + 12), 0x00123484u);
    EXPECT_EQ(Read(b), std::vector<std::string>{"hello"});
}

TEST_F(DbxReaderTest, DataAreaTextOffsetIsAFullThirtyTwoBitNumber) {
    DbxBuilder b;
    const std::uint32_t text = b.AddText("from the data area");
    b.IndexMessages({b.AddRecord({Attr::Direct(0x81, 1), Attr::Number(0x04, text)})});
    EXPECT_EQ(Read(b), std::vector<std::string>{"from the data area"});
}

TEST_F(DbxReaderTest, MessageWithoutTextOffsetIsSkipped) {
    DbxBuilder b;
    const std::uint32_t none = b.AddRecord({Attr::Direct(0x81, 1)});
    const std::uint32_t zero = b.AddRecord({Attr::Direct(0x81, 1), Attr::Direct(0x84, 0)});
    const std::uint32_t good = b.AddMessage("kept");
    b.IndexMessages({none, zero, good});
    EXPECT_EQ(Read(b), std::vector<std::string>{"kept"});
}

TEST_F(DbxReaderTest, TextIsCutAtItsFirstNulByte) {
    DbxBuilder b;
    b.IndexMessages({b.AddMessage(std::string("visible\0hidden", 14))});
    EXPECT_EQ(Read(b), std::vector<std::string>{"visible"});
}

TEST_F(DbxReaderTest, TextSpreadOverManyBlocksIsJoinedExactly) {
    std::string text;
    for (int i = 0; i < 3000; ++i)
        text += char('a' + i % 26);
    text += "\x82\xa0";  // あ, across no boundary in particular
    DbxBuilder b;
    const std::uint32_t small = b.AddMessageRecord(b.AddText(text, 7), 1);
    const std::uint32_t large = b.AddMessageRecord(b.AddText(text), 1);
    const std::uint32_t single = b.AddMessageRecord(b.AddText(text, text.size()), 1);
    b.IndexMessages({small, large, single});
    EXPECT_EQ(Read(b), (std::vector<std::string>{text, text, text}));
}

TEST_F(DbxReaderTest, EmptyTextIsTakenAsAnEmptyMessage) {
    DbxBuilder b;
    b.IndexMessages({b.AddMessage("")});
    EXPECT_EQ(Read(b), std::vector<std::string>{""});
}

TEST_F(DbxReaderTest, NodeWithFiftyOneEntriesIsAcceptedAndFiftyTwoRefused) {
    DbxBuilder b = Numbered(51);
    ASSERT_EQ(b.Nodes().size(), 1u);
    EXPECT_EQ(Read(b), NumberedTexts(51));
    b.Set8(b.Nodes()[0] + 0x11, 52);
    EXPECT_EQ(ErrorOf(b), "Wrong value for child entries !");
}

TEST_F(DbxReaderTest, TwoLevelIndexOfTwoHundredMessagesKeepsIndexOrder) {
    DbxBuilder b = Numbered(200);
    ASSERT_GT(b.Nodes().size(), 1u);
    EXPECT_NE(dbxtest::Get32(b.Bytes(), b.Nodes()[0] + 0x08), 0u);  // the root has a leftmost child
    EXPECT_EQ(Read(b), NumberedTexts(200));
}

TEST_F(DbxReaderTest, DeepNarrowIndexKeepsIndexOrder) {
    DbxBuilder b = Numbered(500, 2);
    ASSERT_GT(b.Nodes().size(), 100u);
    EXPECT_EQ(Read(b), NumberedTexts(500));
}

TEST_F(DbxReaderTest, OneOffsetMoreThanTheCountIsRefused) {
    DbxBuilder b = Numbered(3);
    b.Set32(0xC4, 2);
    EXPECT_EQ(ErrorOf(b), "To many Entries !");
}

TEST_F(DbxReaderTest, SubtreeCountBeyondTheTableIsRefused) {
    DbxBuilder b = Numbered(200);
    const std::uint32_t root = b.Nodes()[0];
    b.Set32(root + 0x14, dbxtest::Get32(b.Bytes(), root + 0x14) + 200);  // leftmost subtree count
    EXPECT_EQ(ErrorOf(b), "To many Entries to read !");
}

TEST_F(DbxReaderTest, FewerOffsetsThanTheCountAreRefused) {
    DbxBuilder b = Numbered(3);
    b.Set32(0xC4, 4);
    EXPECT_EQ(ErrorOf(b), "Wrong number of Max Entries found!");
    DbxBuilder c = Numbered(200);
    const std::uint32_t root = c.Nodes()[0];
    c.Set32(root + 0x14,
            dbxtest::Get32(c.Bytes(), root + 0x14) - 1);  // the left subtree has one more
    EXPECT_EQ(ErrorOf(c), "Wrong number of Max Entries found!");
}

TEST_F(DbxReaderTest, BrokenNodesAreRefused) {
    {
        DbxBuilder b = Numbered(3);
        b.Set32(b.Nodes()[0], 0x1234);
        EXPECT_EQ(ErrorOf(b), "Wrong object marker !");
    }
    {
        DbxBuilder b = Numbered(3);
        b.Set32(b.Nodes()[0] + 0x0C, 0x40);
        EXPECT_EQ(ErrorOf(b), "Wrong prev !");
    }
    {
        DbxBuilder b = Numbered(200);
        b.Set32(b.Nodes()[1] + 0x0C, 0);  // a child that names no parent
        EXPECT_EQ(ErrorOf(b), "Wrong prev !");
    }
    {
        DbxBuilder b = Numbered(3);
        b.Set32(0xE4, b.Size() - 100);  // a root that runs past the end of the file
        EXPECT_EQ(ErrorOf(b), "Error reading node from input stream !");
        b.Set32(0xE4, 0xFFFFFFF0);
        EXPECT_EQ(ErrorOf(b), "Error reading node from input stream !");
    }
}

TEST_F(DbxReaderTest, CountTheFileCannotHoldIsRefusedBeforeAllocating) {
    DbxBuilder b = Numbered(3);
    b.Set32(0xC4, 0xFFFFFFFF);
    EXPECT_EQ(ErrorOf(b), "Entry count does not fit the file !");
    b.Set32(0xC4, b.Size() / 12 + 1);
    EXPECT_EQ(ErrorOf(b), "Entry count does not fit the file !");
    b.Set32(0xC4, b.Size() / 12);  // fits the file: the walk itself finds the mismatch
    EXPECT_EQ(ErrorOf(b), "Wrong number of Max Entries found!");
}

TEST_F(DbxReaderTest, IndexNestedDeeperThanSixtyFourLevelsIsRefused) {
    // A chain of nodes, each with only a leftmost child; the deepest holds the one entry.
    auto chain = [](unsigned depth) {
        DbxBuilder b;
        const std::uint32_t record = b.AddMessage("deep");
        std::vector<std::uint32_t> nodes;
        for (unsigned i = 0; i < depth; ++i)
            nodes.push_back(b.Reserve(DbxBuilder::kNodeSize));
        for (unsigned i = 0; i < depth; ++i) {
            const std::uint32_t parent = i ? nodes[i - 1] : 0;
            if (i + 1 < depth)
                b.WriteNode(nodes[i], parent, nodes[i + 1], 1, {});
            else
                b.WriteNode(nodes[i], parent, 0, 0, {{record, 0, 0}});
        }
        b.SetMessageIndex(nodes[0], 1);
        return b;
    };
    EXPECT_EQ(Read(chain(TDbxImpl::kMaxDepth)), std::vector<std::string>{"deep"});
    EXPECT_EQ(ErrorOf(chain(TDbxImpl::kMaxDepth + 1)), "Index nodes nested too deeply !");
}

TEST_F(DbxReaderTest, NodeReachedTwiceIsRefused) {
    DbxBuilder b;
    const std::uint32_t r1 = b.AddMessage("1"), r2 = b.AddMessage("2"), r3 = b.AddMessage("3");
    const std::uint32_t root = b.Reserve(DbxBuilder::kNodeSize);
    const std::uint32_t shared = b.AddNode(root, 0, 0, {{r3, 0, 0}});
    b.WriteNode(root, 0, 0, 0, {{r1, shared, 1}, {r2, shared, 1}});
    b.SetMessageIndex(root, 4);
    EXPECT_EQ(ErrorOf(b), "Index node linked twice !");
}

TEST_F(DbxReaderTest, ZeroValueEntriesOnlyLeadToTheirChildren) {
    DbxBuilder b;
    const std::uint32_t r1 = b.AddMessage("1"), r2 = b.AddMessage("2");
    const std::uint32_t root = b.Reserve(DbxBuilder::kNodeSize);
    const std::uint32_t child = b.AddNode(root, 0, 0, {{r2, 0, 0}});
    b.WriteNode(root, 0, 0, 0, {{r1, 0, 0}, {0, child, 1}, {0, 0, 0}});
    b.SetMessageIndex(root, 2);
    EXPECT_EQ(Read(b), (std::vector<std::string>{"1", "2"}));
}

TEST_F(DbxReaderTest, LoopingBlockChainFailsCleanly) {
    for (int loopAt : {0, 1, 3}) {
        DbxBuilder b;
        const std::uint32_t first = b.AddText(std::string(5 * 16, 'x'), 16);  // five blocks
        std::uint32_t target = first, last = first;
        for (int i = 0; i < 4; ++i)
            last = dbxtest::Get32(b.Bytes(), last + 12);
        for (int i = 0; i < loopAt; ++i)
            target = dbxtest::Get32(b.Bytes(), target + 12);
        b.Set32(last + 12, target);
        b.IndexMessages({b.AddMessageRecord(first, 1)});
        EXPECT_EQ(ErrorOf(b), "Text block chain does not fit the file !") << loopAt;
    }
    // A chain of empty blocks that loops adds no bytes; the block count still ends it.
    DbxBuilder b;
    const std::uint32_t first = b.AddText("");
    b.Set32(first + 12, first);
    b.IndexMessages({b.AddMessageRecord(first, 1)});
    EXPECT_EQ(ErrorOf(b), "Text block chain does not fit the file !");
}

TEST_F(DbxReaderTest, BlockChainThatLeavesTheFileIsAReadError) {
    {
        DbxBuilder b;
        const std::uint32_t first = b.AddText("text");
        b.Set32(first + 12, 0x7FFFFFF0);  // next block far past the end
        b.IndexMessages({b.AddMessageRecord(first, 1)});
        EXPECT_EQ(ErrorOf(b), "Error reading from input stream !");
    }
    {
        DbxBuilder b;
        const std::uint32_t first = b.AddText("text");
        b.Set32(first + 8, 0xFFFFFF00);  // more text than the file holds
        b.IndexMessages({b.AddMessageRecord(first, 1)});
        EXPECT_EQ(ErrorOf(b), "Error reading from input stream !");
    }
    {
        DbxBuilder b;
        const std::uint32_t first = b.AddText("text");
        b.IndexMessages({b.AddMessageRecord(first, 1)});
        b.Set32(first, first + 4);  // wrong marker
        EXPECT_EQ(ErrorOf(b), "Wrong object marker !");
    }
}

TEST_F(DbxReaderTest, BlocksWhoseTextsOverlapCannotClaimMoreThanTheFile) {
    // Every block claims the rest of the file as its text: each claim lies in the file, but
    // together they claim more bytes than the file has.
    DbxBuilder b;
    const std::uint32_t first = b.AddText(std::string(40 * 16, 'x'), 16);
    b.IndexMessages({b.AddMessageRecord(first, 1)});
    std::uint64_t claimed = 0;
    for (std::uint32_t block = first; block != 0; block = dbxtest::Get32(b.Bytes(), block + 12)) {
        b.Set32(block + 8, b.Size() - block - 16);
        claimed += b.Size() - block - 16;
    }
    ASSERT_GT(claimed, b.Size());
    EXPECT_EQ(ErrorOf(b), "Text block chain does not fit the file !");
    // Two such blocks claim less than the file: read as they are, within the file.
    DbxBuilder c;
    const std::uint32_t two = c.AddText(std::string(32, 'y'), 16);
    c.IndexMessages({c.AddMessageRecord(two, 1)});
    const std::uint32_t next = dbxtest::Get32(c.Bytes(), two + 12);
    c.Set32(two + 8, 20);  // runs 4 bytes into the next block's head
    const std::string marker = c.Bytes().substr(next, 4);
    // ... up to the first NUL, here inside the next block's marker.
    EXPECT_EQ(Read(c),
              std::vector<std::string>{std::string(16, 'y') + marker.substr(0, marker.find('\0'))});
}

TEST_F(DbxReaderTest, ErrorKeepsTheMessagesAppendedBeforeIt) {
    DbxBuilder b;
    const std::uint32_t good = b.AddMessage("good");
    const std::uint32_t broken = b.AddText("broken");
    b.Set32(broken + 12, broken);
    b.IndexMessages({good, b.AddMessageRecord(broken, 1)});
    TOE5_DbxParser parser;
    std::vector<std::string> list;
    EXPECT_THROW(parser.ReadMessages(Save(b), list, stop), DbxException);
    EXPECT_EQ(list, std::vector<std::string>{"good"});
}

TEST_F(DbxReaderTest, DamagedRecordEndsTheListQuietly) {
    struct Case {
        const char* name;
        void (*damage)(DbxBuilder&, std::uint32_t record);
    } cases[] = {
        {"wrong marker", [](DbxBuilder& b, std::uint32_t r) { b.Set32(r, r + 4); }},
        {"body past the end of the file",
         [](DbxBuilder& b, std::uint32_t r) { b.Set32(r + 4, 0xFFFFFFF0); }},
        {"more entries than the body holds",
         [](DbxBuilder& b, std::uint32_t r) { b.Set8(r + 0x0A, 200); }},
        {"flags outside the data area",
         [](DbxBuilder& b, std::uint32_t r) { b.Set32(r + 12 + 4, 0x01 | 0xFFF0u << 8); }},
    };
    for (const Case& c : cases) {
        DbxBuilder b;
        const std::uint32_t first = b.AddMessage("first");
        const std::uint32_t second = b.AddRecord({Attr::Direct(0x80, 2), Attr::Direct(0x81, 1),
                                                  Attr::Direct(0x84, b.AddText("second"))});
        const std::uint32_t third = b.AddMessage("third");
        b.IndexMessages({first, second, third});
        c.damage(b, second);
        EXPECT_EQ(Read(b), std::vector<std::string>{"first"}) << c.name;
    }
}

TEST_F(DbxReaderTest, NumberReachingPastTheBodyEndsTheListQuietly) {
    DbxBuilder b;
    const std::uint32_t first = b.AddMessage("first");
    // The text offset's 32-bit number would need two bytes more than the data area has.
    const std::uint32_t second = b.AddRecord({Attr::Direct(0x81, 1), Attr::Raw(0x04, "\x01\x02")});
    b.IndexMessages({first, second, b.AddMessage("third")});
    EXPECT_EQ(Read(b), std::vector<std::string>{"first"});
}

TEST_F(DbxReaderTest, RecordAtTheVeryEndOfTheFileIsRead) {
    DbxBuilder b;
    const std::uint32_t text = b.AddText("last");
    b.IndexMessages({0});  // placeholder index first, record last in the file
    const std::uint32_t record = b.AddMessageRecord(text, 1);
    b.Set32(b.Nodes()[0] + 0x18, record);
    ASSERT_EQ(record + 12 + dbxtest::Get32(b.Bytes(), record + 4), b.Size());
    EXPECT_EQ(Read(b), std::vector<std::string>{"last"});
    b.Bytes().pop_back();
    EXPECT_TRUE(Read(b).empty());
}

TEST_F(DbxReaderTest, StopFlagSetBeforeReadingGivesNothing) {
    stop = true;
    EXPECT_TRUE(Read(Numbered(5)).empty());
}

TEST_F(DbxReaderTest, StopFlagSetWhileReadingReturnsTheMessagesReadSoFar) {
    const std::string path = Save(Numbered(1000));
    TOE5_DbxParser parser;
    std::size_t calls = 0;
    parser.OnProgress = [&](std::size_t position, std::size_t count) {
        EXPECT_EQ(position, calls++);
        EXPECT_EQ(count, 1000u);
        if (position == 3)
            stop = true;
    };
    std::vector<std::string> list;
    parser.ReadMessages(path, list, stop);
    EXPECT_EQ(list, NumberedTexts(3));
}

TEST_F(DbxReaderTest, AbandonedRunUnwindsFromEveryLoop) {
    const std::string path = Save(Numbered(200));
    std::atomic<bool> abort{false};
    AbortScope scope(&abort);
    TOE5_DbxParser parser;
    std::vector<std::string> list;
    parser.OnProgress = [&](std::size_t position, std::size_t) {
        if (position == 10)
            abort = true;
    };
    EXPECT_THROW(parser.ReadMessages(path, list, stop), EAborted);
    EXPECT_EQ(list, NumberedTexts(10));
    // Told to stop before it starts: the index walk already unwinds.
    EXPECT_THROW(parser.ReadMessages(path, list, stop), EAborted);
    EXPECT_TRUE(list.empty());
}

TEST_F(DbxReaderTest, ScanSeesEveryMessageWhateverItsFlags) {
    DbxBuilder b;
    std::vector<std::uint32_t> records;
    const std::optional<std::uint32_t> flags[] = {0x01, 0x81, 0x00, std::nullopt, 0x80};
    for (const auto& f : flags)
        records.push_back(b.AddMessage("m", f));
    records.push_back(b.AddRecord({Attr::Direct(0x81, 1)}));  // no text
    b.IndexMessages(records);
    TDbxStream stream(Save(b));
    TOE5_DbxParser parser;
    std::vector<TOE5_DbxParser::MessageInfo> seen;
    EXPECT_EQ(parser.ScanMessages(stream,
                                  [&](const auto& info) {
                                      seen.push_back(info);
                                      return true;
                                  }),
              6u);
    ASSERT_EQ(seen.size(), 6u);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(seen[i].RecordOffset, records[i]);
        EXPECT_EQ(seen[i].Flags, flags[i]);
        EXPECT_EQ(parser.Impl().ReadText(seen[i].TextOffset), "m");
    }
    EXPECT_EQ(seen[5].TextOffset, 0u);
    std::vector<bool> wanted;
    for (const auto& info : seen)
        wanted.push_back(info.Wanted());
    EXPECT_EQ(wanted, (std::vector<bool>{true, false, false, true, false, false}));
}

TEST_F(DbxReaderTest, TinyCachePagesReadTheSameAsLargeOnes) {
    DbxBuilder b;
    std::vector<std::uint32_t> records;
    std::vector<std::string> texts;
    for (int i = 0; i < 40; ++i) {
        texts.push_back(std::string(37 * i + 1, char('A' + i % 26)));
        records.push_back(b.AddMessageRecord(b.AddText(texts.back(), 13 + i), 1));
    }
    b.IndexMessages(records, 3);
    const std::string path = Save(b);
    for (std::size_t page : {16, 17, 64, 100, 4096, 1 << 20}) {
        TDbxStream stream(path, page);
        TOE5_DbxParser parser;
        std::vector<std::string> list;
        parser.ReadMessages(stream, list, stop);
        EXPECT_EQ(list, texts) << page;
    }
}

TEST(DbxStream, ReadsAreBoundedByTheSizeAtOpen) {
    testsupport::TempDir dir;
    const std::string path = dir.file("f");
    testsupport::WriteFile(path, "0123456789abcdef0123456789");
    TDbxStream stream(path, 16);
    EXPECT_EQ(stream.Size(), 26u);
    char buf[32] = {};
    EXPECT_EQ(stream.ReadAt(10, buf, 10), 10u);
    EXPECT_EQ(std::string(buf, 10), "abcdef0123");
    EXPECT_EQ(stream.ReadAt(20, buf, 32), 6u);
    EXPECT_EQ(std::string(buf, 6), "456789");
    EXPECT_EQ(stream.ReadAt(26, buf, 1), 0u);
    EXPECT_EQ(stream.ReadAt(UINT64_MAX, buf, 1), 0u);
    EXPECT_FALSE(stream.ReadExact(25, buf, 2));
    // Growth after the open is not seen: the size checks made against it stay true.
    testsupport::WriteFile(path, std::string(100, 'z'));
    EXPECT_EQ(stream.ReadAt(90, buf, 4), 0u);
}

TEST(DbxStream, ShrunkFileGivesShortReads) {
    testsupport::TempDir dir;
    const std::string path = dir.file("f");
    testsupport::WriteFile(path, std::string(100, 'a'));
    TDbxStream stream(path, 16);
    testsupport::WriteFile(path, std::string(40, 'b'));
    char buf[32];
    EXPECT_EQ(stream.ReadAt(32, buf, 16), 8u);
    EXPECT_EQ(stream.ReadAt(60, buf, 16), 0u);
}
