// The conversion engine over real files in a temporary folder.
#include "import/TNParser.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "TestSupport.h"
#include "base/EError.h"
#include "core/oe/DbxBuilder.h"
#include "import/ENParseError.h"
#include "import/TConvertRun.h"
#include "oe/DbxException.h"
#include "script/EScriptError.h"

namespace fs = std::filesystem;
using testsupport::TempDir;
using testsupport::WriteFile;

namespace {

class NParserTest : public ::testing::Test {
  protected:
    TempDir dir;
    TNParser engine;
    std::vector<TRecordFields> records;

    void SetUp() override {
        engine.SetOnRecord([this] { records.push_back(engine.Record); });
    }
    std::string File(const std::string& name, std::string_view bytes) {
        WriteFile(dir.file(name), bytes);
        return dir.file(name);
    }
    // The message text of Convert's failure, "" when it does not fail.
    std::string ErrorOf(const std::string& path) {
        try {
            engine.Convert(path);
        } catch (const EError& e) {
            return e.what();
        }
        return "";
    }
};

std::string Mail(std::string_view from, std::string_view subject, std::string_view body) {
    return "From: " + std::string(from) + "\r\nSubject: " + std::string(subject) +
           "\r\nDate: Tue, 12 Jun 2001 10:20:30 +0900\r\nNewsgroups: fj.test\r\n\r\n" +
           std::string(body);
}

}  // namespace

TEST_F(NParserTest, ConvertsANewsMessage) {
    engine.Convert(File("a.nws", Mail("alice@example.com", "Hello", "\r\n\r\nBody line\r\n\r\n")));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].From, "alice@example.com");
    EXPECT_EQ(records[0].Subject, "Hello");
    EXPECT_EQ(records[0].Newsgroup, "fj.test");
    EXPECT_EQ(records[0].Date, "2001/6/12 10:20:30");
    EXPECT_EQ(records[0].Article, "Body line");
    EXPECT_EQ(records[0].Notes, "");
}

TEST_F(NParserTest, FailuresHaveTheirTexts) {
    EXPECT_EQ(ErrorOf(File("x.doc", "x")), "File Extension Error: .doc");
    EXPECT_EQ(ErrorOf(File("x.DOC", "x")), "File Extension Error: .doc");
    EXPECT_EQ(ErrorOf(File("noext", "x")), "File Extension Error: ");
    EXPECT_EQ(ErrorOf(File("empty.eml", "")), "Failed to read a file");
    EXPECT_EQ(ErrorOf(File("nofrom.eml", "Subject: x\r\n\r\nbody")), "[Error] File type mismatch");
    EXPECT_NE(ErrorOf(dir.file("missing.eml")).find("missing.eml"), std::string::npos);
    EXPECT_EQ(ErrorOf(File("page.htm", "<html>")), "Script files missing");
    EXPECT_THROW(engine.Convert(File("x.doc", "x")), ENParseError);
    TNParser bare;
    EXPECT_EQ(
        [&] {
            try {
                bare.Convert(dir.file("a.eml"));
            } catch (const ENParseError& e) {
                return std::string(e.what());
            }
            return std::string();
        }(),
        "[Error] Brevilo Internal Error");
    EXPECT_TRUE(records.empty());
}

TEST_F(NParserTest, LongArticlesAreCutAtLineEnds) {
    const std::string exact(49152, 'a');
    engine.Convert(File("one.eml", Mail("a@b", "S", exact)));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].Subject, "S");

    records.clear();
    const std::string longer = std::string(49150, 'a') + "bcd\r\nnext line\r\nlast";  // 49153 + ...
    engine.Convert(File("two.eml", Mail("a@b", "S", longer)));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].Article, std::string(49150, 'a') + "bcd");
    EXPECT_EQ(records[0].Subject, "S (1)");
    EXPECT_EQ(records[1].Article, "next line\r\nlast");
    EXPECT_EQ(records[1].Subject, "S (2)");
}

TEST_F(NParserTest, UuencodedAttachmentBecomesOneLine) {
    engine.Convert(
        File("a.eml",
             Mail("a@b", "S", "Hello\r\n\r\nbegin 644 photo.jpg\r\nM4V]M92!D\r\n`\r\nend\r\n")));
    engine.Convert(File("b.eml", Mail("a@b", "S", "Let us begin today\r\nbegin again\r\n")));
    engine.Convert(
        File("c.eml", Mail("a@b", "S", "x\r\nbegin 600 f\r\n")));  // 600 is no mode above 600
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].Article, "Hello\r\n\r\n*****Attachment***** photo.jpg");
    EXPECT_EQ(records[1].Article, "Let us begin today\r\nbegin again");
    EXPECT_EQ(records[2].Article, "x\r\nbegin 600 f");
}

TEST_F(NParserTest, AttachmentNameHoldsOnlyWhatFitsTheWindow) {
    const std::string name(40, 'n');
    engine.Convert(File("a.eml", Mail("a@b", "S", "Hi\r\nbegin 644 " + name + "\r\ndata\r\n")));
    ASSERT_EQ(records.size(), 1u);
    // 32 bytes from the blank after "begin": " 644 " and 27 bytes of the name.
    EXPECT_EQ(records[0].Article, "Hi\r\n\r\n*****Attachment***** " + std::string(27, 'n'));
}

TEST_F(NParserTest, LfOnlyMessagesKeepTheirBody) {
    engine.Convert(File("lf.eml", "From: a@b\nSubject: Unix\n\nfirst\nsecond\n"));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].Subject, "Unix");
    EXPECT_EQ(records[0].Article, "first\r\nsecond");
}

TEST_F(NParserTest, TextFileOfThreeMessagesGivesThreeRecords) {
    const std::string text =
        "From: one@example.com\r\nSubject: First\r\nDate: 12 Jun 2001 10:20\r\n\r\nBody one\r\n"
        "\r\nFrom: quoted in the body\r\nstill body one\r\n\r\n"
        "From: two@example.com\r\nSubject: Second\r\nDate: 13 Jun 2001 10:20\r\n\r\nBody "
        "two\r\n\r\n"
        "From: three@example.com\r\nSubject: Third\r\nDate: 14 Jun 2001 10:20\r\n\r\nBody "
        "three\r\n\r\n\r\n";
    engine.Convert(File("msgs.TXT", text));
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].From, "one@example.com");
    EXPECT_EQ(records[0].Article, "Body one\r\n\r\nFrom: quoted in the body\r\nstill body one");
    EXPECT_EQ(records[1].Subject, "Second");
    EXPECT_EQ(records[1].Date, "2001/6/13 10:20");
    EXPECT_EQ(records[2].Subject, "Third");
    EXPECT_EQ(records[2].Article, "Body three");
    EXPECT_EQ(engine.SignatureNames[0], "From:");
    EXPECT_EQ(engine.SignatureNames[1], "Subject:");
    EXPECT_EQ(engine.SignatureNames[2], "Date:");
}

TEST_F(NParserTest, SignatureNamesFromTheFirstMessage) {
    struct Case {
        const char* name;
        std::string text;
        std::string first;
    } cases[] = {
        {"colon line", "Subject: x\r\nFrom: a\r\nDate: d\r\n\r\nb", "Subject:"},
        {"long line without colon", "abcdef\r\nFrom: a\r\nDate: d\r\n\r\nb", "abc"},
        {"short line without colon", "abc\r\nFrom: a\r\nDate: d\r\n\r\nb", "abc"},
        {"blank lines skipped", "ab\r\n\r\n\r\nx\r\nFrom: a\r\nDate: d\r\n\r\nb", "ab"},
    };
    for (const Case& c : cases) {
        TNParser e;
        e.SetOnRecord([] {});
        try {
            e.Convert(File("s.txt", c.text));
        } catch (const EError&) {
            // "abc" as first line holds no From: for the record; the names are what we test
        }
        EXPECT_EQ(e.SignatureNames[0], c.first) << c.name;
    }
}

TEST_F(NParserTest, TextFileWithoutHeaderLinesIsAMismatch) {
    EXPECT_EQ(ErrorOf(File("plain.txt", "just\r\nsome\r\ntext\r\nwithout\r\nheaders\r\n")),
              "[Error] File type mismatch");
    // Two lines without a colon between the names are fine; three are not.
    EXPECT_EQ(ErrorOf(File("ok.txt", "From: a\r\nx\r\ny\r\nSubject: s\r\nDate: d\r\n\r\nb")), "");
    EXPECT_EQ(ErrorOf(File("no.txt", "From: a\r\nx\r\ny\r\nz\r\nSubject: s\r\nDate: d\r\n\r\nb")),
              "[Error] File type mismatch");
}

TEST_F(NParserTest, MessageWithoutFromInATextFileEndsTheFileKeepingEarlierRecords) {
    const std::string text =
        "Subject: one\r\nFrom: a@b\r\nDate: d\r\n\r\nbody\r\n\r\n"
        "Subject: two\r\nFrom:\r\nDate: d\r\n\r\nbody\r\n";
    EXPECT_EQ(ErrorOf(File("m.txt", text)), "[Error] File type mismatch");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].Subject, "one");
}

TEST_F(NParserTest, StopDuringATextFileEndsAfterTheCurrentRecord) {
    std::string text;
    for (int i = 0; i < 50; ++i)
        text += "From: a@b\r\nSubject: " + std::to_string(i) + "\r\nDate: d\r\n\r\nbody\r\n\r\n";
    engine.SetOnRecord([this] {
        records.push_back(engine.Record);
        if (records.size() == 3)
            engine.SetStopFlag();
    });
    engine.Convert(File("many.txt", text));
    EXPECT_EQ(records.size(), 3u);
}

TEST_F(NParserTest, StoreMessagesAreConverted) {
    dbxtest::DbxBuilder b;
    std::vector<std::uint32_t> recs;
    recs.push_back(b.AddMessage("From: a@b\r\nSubject: one\r\n\r\nfirst body\r\n"));
    recs.push_back(b.AddMessage("Subject: no sender\r\n\r\nsecond body\r\n"));
    recs.push_back(b.AddMessage("From: c@d\r\nSubject: read\r\n\r\nx\r\n",
                                dbxtest::DbxBuilder::kDownloaded | 0x80));  // read: skipped
    b.SetMessageIndex(b.AddIndex(recs), static_cast<std::uint32_t>(recs.size()));
    b.Write(dir.file("Inbox.dbx"));
    engine.Convert(dir.file("Inbox.dbx"));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].Article, "first body");
    EXPECT_EQ(records[1].From, "");  // a store's message may lack a sender
    EXPECT_EQ(records[1].Subject, "no sender");
}

TEST_F(NParserTest, DamagedStoreRaisesItsOwnException) {
    File("bad.dbx", std::string(100, 'x'));
    EXPECT_THROW(engine.Convert(dir.file("bad.dbx")), DbxException);
}

// The store is read one message at a time, yet a broken text chain further on still fails
// the store before any of its records goes out.
TEST_F(NParserTest, DamagedStoreHandsOverNothing) {
    dbxtest::DbxBuilder b;
    const std::uint32_t good = b.AddMessage("From: a@b\r\nSubject: one\r\n\r\nbody\r\n");
    const std::uint32_t broken = b.AddText("From: c@d\r\n\r\nx\r\n");
    b.Set32(broken + 12, broken);  // the chain loops
    b.IndexMessages({good, b.AddMessageRecord(broken, 1)});
    b.Write(dir.file("Inbox.dbx"));
    EXPECT_THROW(engine.Convert(dir.file("Inbox.dbx")), DbxException);
    EXPECT_TRUE(records.empty());
}

TEST_F(NParserTest, WebPagesRunTheScript) {
    File("s.hsc", "?{<li>}\r\n:loop\r\nS={</li>}\r\nA=\"text\"\r\n*\r\n?{<li>}\r\n+:loop\r\n.\r\n");
    engine.SetScript(dir.file("s.hsc"));
    engine.Convert(File("p.html", "<ul><li>one</li><li>two</li></ul>"));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].Subject, "one");
    EXPECT_EQ(records[1].Subject, "two");
    try {
        engine.Convert(File("bad.htm", "<p>nothing</p>"));
        FAIL() << "no script error";
    } catch (const EScriptError& e) {
        EXPECT_EQ(e.Line(), 8);  // "." with nothing posted
    }
}

namespace {

class CollectingHost : public IImportHost {
  public:
    void FileProgress(int, const std::string&) override {}
    void HandOver(const TRecordFields& f, int, int) override { subjects.push_back(f.Subject); }
    void Completed() override {}
    void Finished(const TImportResult& r) override { result = r; }
    std::vector<std::string> subjects;
    TImportResult result;
};

}  // namespace

TEST(ImportOfNewsFiles, RealEngineConvertsInOrderAndMarksTheFiles) {
    TempDir dir;
    WriteFile(dir.file("a.nws"), Mail("a@b", "a", "body"));
    WriteFile(dir.file("B.nws"), Mail("a@b", "B", "body"));
    WriteFile(dir.file("c.nws"), Mail("a@b", "c", "body"));
    TMyFiler filer;
    filer.ListFolder(dir.str(), ".nws");
    CollectingHost host;
    TConvertRun(filer.Entries(), "", host, [] { return std::make_unique<TNParser>(); }).Run();
    EXPECT_EQ(host.subjects, (std::vector<std::string>{"a", "B", "c"}));
    EXPECT_EQ(host.result.Outcome, ImportOutcome::Done);
    for (const char* name : {"a.bak", "B.bak", "c.bak"})
        EXPECT_TRUE(fs::exists(dir.file(name))) << name;
}

TEST(ImportOfNewsFiles, SecondFailingLeavesTheThirdAlone) {
    TempDir dir;
    WriteFile(dir.file("a.nws"), Mail("a@b", "a", "body"));
    WriteFile(dir.file("b.nws"), "Subject: no sender\r\n\r\nbody");
    WriteFile(dir.file("c.nws"), Mail("a@b", "c", "body"));
    TMyFiler filer;
    filer.ListFolder(dir.str(), ".nws");
    CollectingHost host;
    TConvertRun(filer.Entries(), "", host, [] { return std::make_unique<TNParser>(); }).Run();
    EXPECT_EQ(host.subjects, (std::vector<std::string>{"a"}));
    EXPECT_TRUE(fs::exists(dir.file("a.bak")));
    EXPECT_TRUE(fs::exists(dir.file("b.err")));
    EXPECT_TRUE(fs::exists(dir.file("c.nws")));
    EXPECT_EQ(ImportOutcomeMessage(host.result), "[Error] File type mismatch\r\nb.err");
}

TEST(ImportOfNewsFiles, DamagedStoreIsAnAbnormalError) {
    TempDir dir;
    WriteFile(dir.file("Inbox.dbx"), std::string(10, 'x'));
    CollectingHost host;
    TConvertRun({{dir.file("Inbox.dbx"), 3}}, "", host, [] {
        return std::make_unique<TNParser>();
    }).Run();
    EXPECT_TRUE(fs::exists(dir.file("Inbox.dbx")));
    EXPECT_EQ(ImportOutcomeMessage(host.result), "Abnormal Error\r\nInbox.dbx");
}
