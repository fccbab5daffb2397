// mbox files and Maildir folders through the real conversion engine and import run.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "TestSupport.h"
#include "import/Mailboxes.h"
#include "import/TConvertRun.h"
#include "import/TMyFiler.h"
#include "import/TNParser.h"

namespace fs = std::filesystem;
using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

namespace {

std::string Mail(const std::string& subject, const std::string& body = "text") {
    return "From: a@example.com\nSubject: " + subject + "\n\n" + body + "\n";
}

// Converts one path; the records as "From|Subject|Date|Newsgroup|Article".
std::vector<std::string> Convert(const std::string& path, bool subfolders = false) {
    TNParser engine;
    engine.SetMaildirSubfolders(subfolders);
    std::vector<std::string> records;
    engine.SetOnRecord([&] {
        const TRecordFields& r = engine.Record;
        records.push_back(r.From + "|" + r.Subject + "|" + r.Date + "|" + r.Newsgroup + "|" +
                          r.Article);
    });
    engine.Convert(path);
    return records;
}

// Every file under a folder, with its contents: what "unchanged byte for byte" compares.
std::map<std::string, std::string> Snapshot(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(root))
        files[fs::relative(e.path(), root).string()] =
            e.is_regular_file() ? ReadFile(e.path().string()) : "<dir>";
    return files;
}

void MakeMaildir(const fs::path& dir) {
    for (const char* sub : {"cur", "new", "tmp"})
        fs::create_directories(dir / sub);
}

struct Host : IImportHost {
    void FileProgress(int, const std::string&) override {}
    void HandOver(const TRecordFields& fields, int, int position) override {
        subjects.push_back(fields.Subject);
        if (position >= 0)
            positions.push_back(position);
    }
    void Completed() override {}
    void Finished(const TImportResult& r) override { result = r; }
    std::vector<std::string> subjects;
    std::vector<int> positions;
    TImportResult result;
};

TImportResult RunImport(const std::string& path, Host& host) {
    TConvertRun run({{path, 0}}, "", host, [] { return std::make_unique<TNParser>(); });
    run.Run();
    return host.result;
}

// One message cut out of a corpus file as an independent splitter cut it: without its
// envelope line, one ">" taken off ">+From " lines (RFC 4155 mboxrd).
std::string AsEml(const std::string& cut) {
    std::istringstream in(cut.substr(cut.find('\n') + 1));
    std::string out, line;
    while (std::getline(in, line)) {
        std::size_t marks = line.find_first_not_of('>');
        if (marks != std::string::npos && marks > 0 && line.compare(marks, 5, "From ") == 0)
            line.erase(0, 1);
        out += line + "\n";
    }
    return out;
}

}  // namespace

// Each corpus mbox file gives, message for message, the records the same message gives
// alone as a ".eml" file, where the message is the one Python's mailbox module cut out
// (tests/data/mbox/reference-split.txt; hand-cut where it splits at an unquoted body line).
TEST(MailboxConvert, EveryCorpusMboxMessageAsTheSameMessageAlone) {
    BREVILO_REQUIRE_CORPUS(corpus);
    std::ifstream list(std::string(BREVILO_TEST_DATA_DIR) + "/mbox/reference-split.txt");
    std::map<std::string, std::vector<std::pair<std::size_t, std::size_t>>> cuts;
    std::string name;
    std::size_t start, stop;
    for (std::string line; std::getline(list, line);)
        if (line[0] != '#' && std::istringstream(line) >> name >> start >> stop)
            cuts[name].push_back({start, stop});
    ASSERT_EQ(cuts.size(), 18u);

    TempDir dir;
    int messages = 0;
    for (const auto& [file, where] : cuts) {
        const fs::path source = corpus / "mbox" / file;
        // Read in place through a link named as a user's mbox would be (".mbox", or no
        // extension as the file has it).
        fs::path link = dir.path() / (source.extension().empty() ? "box" : "box.mbox");
        fs::remove(link);
        fs::create_symlink(source, link);
        std::vector<std::string> expected;
        const std::string bytes = ReadFile(source.string());
        for (auto [from, to] : where) {
            WriteFile(dir.file("alone.eml"), AsEml(bytes.substr(from, to - from)));
            for (std::string& r : Convert(dir.file("alone.eml")))
                expected.push_back(std::move(r));
        }
        messages += static_cast<int>(where.size());
        EXPECT_EQ(Convert(link.string()), expected) << file;
        EXPECT_EQ(CountMailboxMessages(link.string()), static_cast<int>(where.size())) << file;
    }
    EXPECT_EQ(messages, 107);
}

TEST(MailboxConvert, MaildirMessagesComeInDeliveryOrderWithoutTmp) {
    TempDir dir;
    const fs::path box = dir.path() / "Mail";
    MakeMaildir(box);
    WriteFile((box / "new/1700000300.M3.host").string(), Mail("third"));
    WriteFile((box / "cur/1700000100.M1.host:2,S").string(), Mail("second"));
    WriteFile((box / "new/1700000500.M5.host").string(), Mail("fifth"));
    WriteFile((box / "cur/1700000400.M4.host:2,RS").string(), Mail("fourth"));
    WriteFile((box / "new/999999999.M2.host").string(), Mail("first"));  // earlier: fewer digits
    WriteFile((box / "tmp/1700000000.M0.host").string(), Mail("in delivery"));
    WriteFile((box / "cur/.hidden").string(), Mail("hidden"));
    MakeMaildir(box / ".Sent");
    WriteFile((box / ".Sent/cur/1600000000.S.host:2,S").string(), Mail("sent"));

    const auto subject = [](const std::string& s) { return "a@example.com|" + s + "|||text"; };
    std::vector<std::string> expected = {subject("first"), subject("second"), subject("third"),
                                         subject("fourth"), subject("fifth")};
    EXPECT_EQ(Convert(box.string()), expected);
    expected.push_back(subject("sent"));
    EXPECT_EQ(Convert(box.string(), true), expected);
}

// An import that goes through and one that fails in the middle leave both mailboxes as
// they were, names and bytes; the failure names the message.
TEST(MailboxConvert, ImportsLeaveTheMailboxesUnchangedAndNameTheFailedMessage) {
    TempDir dir;
    WriteFile(dir.file("Inbox.mbox"), "From a Mon Jan  1 00:00:00 2001\n" + Mail("one") +
                                          "\nFrom b Mon Jan  1 00:00:00 2001\nno header\n\n" +
                                          "From c Mon Jan  1 00:00:00 2001\n" + Mail("three"));
    std::string sent;
    for (const char* subject : {"s1", "s2", "s3", "s4"})
        sent += "From a Mon Jan  1 00:00:00 2001\n" + Mail(subject) + "\n";
    WriteFile(dir.file("Sent"), sent);
    MakeMaildir(dir.path() / "Maildir");
    WriteFile(dir.file("Maildir/cur/1.x:2,S"), Mail("m1"));
    WriteFile(dir.file("Maildir/new/2.x"), "\x01\x02 not mail");
    const auto before = Snapshot(dir.path());

    Host failed;
    TImportResult r = RunImport(dir.file("Inbox.mbox"), failed);
    EXPECT_EQ(r.Outcome, ImportOutcome::Failed);
    EXPECT_EQ(ImportOutcomeMessage(r), "[Error] File type mismatch (message 2)\r\nInbox.mbox");
    EXPECT_EQ(failed.subjects, (std::vector<std::string>{"one"}));

    Host maildir;
    r = RunImport(dir.file("Maildir") + "/", maildir);
    EXPECT_EQ(ImportOutcomeMessage(r), "[Error] File type mismatch (new/2.x)\r\nMaildir");

    // A lone mailbox is counted first, so that the bar moves by records as for a store.
    Host done;
    EXPECT_EQ(RunImport(dir.file("Sent"), done).Outcome, ImportOutcome::Done);
    EXPECT_EQ(done.subjects, (std::vector<std::string>{"s1", "s2", "s3", "s4"}));
    EXPECT_EQ(done.positions, (std::vector<int>{25, 75}));
    EXPECT_EQ(Snapshot(dir.path()), before);
}

TEST(MailboxConvert, DropsTakeMailboxesAndRefuseOtherFolders) {
    TempDir dir;
    WriteFile(dir.file("a.MBOX"), "");
    WriteFile(dir.file("Inbox"), "From x Mon Jan  1 00:00:00 2001\n" + Mail("1"));
    WriteFile(dir.file("README"), "not mail\n");
    MakeMaildir(dir.path() / "Maildir");
    fs::create_directories(dir.path() / "Photos");
    TMyFiler filer;
    EXPECT_TRUE(filer.AddDropped(dir.file("a.MBOX")));
    EXPECT_TRUE(filer.AddDropped(dir.file("Inbox")));
    EXPECT_TRUE(filer.AddDropped(dir.file("Maildir") + "/"));
    EXPECT_FALSE(filer.AddDropped(dir.file("README")));
    EXPECT_FALSE(filer.AddDropped(dir.file("Photos")));
    EXPECT_EQ(filer.Count(), 3);
    EXPECT_EQ(filer.FileAt(2), dir.file("Maildir"));
    for (int i = 0; i < filer.Count(); ++i)
        filer.RenameTo(i, ".bak");
    EXPECT_TRUE(fs::exists(dir.file("a.MBOX")) && fs::exists(dir.file("Inbox")) &&
                fs::is_directory(dir.file("Maildir")));
}
