#include "import/TConvertRun.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>
#include <thread>

#include "TestSupport.h"
#include "base/Abort.h"
#include "base/EError.h"
#include "script/EScriptError.h"

namespace fs = std::filesystem;
using FileEnd = IImportHost::FileEnd;
using testsupport::TempDir;
using testsupport::WriteFile;

namespace {

// A converter whose files say what to do: the file's text is a list of commands, one per
// line: "R <subject>" hands over a record, "E <message>" fails with an EError, "X" fails
// with something outside the family, "L" loops until the run is abandoned.
class FakeEngine : public IConversionEngine {
  public:
    explicit FakeEngine(std::vector<std::string>* converted) : converted_(converted) {}
    void SetScript(const std::string& path) override {
        if (path == "bad-script")
            throw EError("Cannot open file \"bad-script\".");
    }
    void SetOnRecord(std::function<void()> onRecord) override { onRecord_ = std::move(onRecord); }
    void SetStopFlag() override { stop_ = true; }
    const TRecordFields& Fields() const override { return fields_; }
    void Convert(const std::string& path) override {
        converted_->push_back(fs::path(path).filename().string());
        stop_ = false;
        std::string text = testsupport::ReadFile(path);
        std::size_t pos = 0;
        while (pos < text.size() && !stop_) {
            std::size_t eol = text.find('\n', pos);
            std::string line =
                text.substr(pos, eol == std::string::npos ? std::string::npos : eol - pos);
            pos = eol == std::string::npos ? text.size() : eol + 1;
            if (line.rfind("R ", 0) == 0) {
                fields_.Subject = line.substr(2);
                onRecord_();
            } else if (line.rfind("E ", 0) == 0) {
                throw EError(line.substr(2));
            } else if (line.rfind("S ", 0) == 0) {
                throw EScriptError(std::stoi(line.substr(2)), "detail");
            } else if (line == "X") {
                throw std::runtime_error("not a user message");
            } else if (line == "L") {
                while (true) {
                    ThrowIfAborted();
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                }
            }
        }
    }

  private:
    std::vector<std::string>* converted_;
    std::function<void()> onRecord_;
    bool stop_ = false;
    TRecordFields fields_;
};

class RecordingHost : public IImportHost {
  public:
    void FileProgress(int position, const std::string& path) override {
        fileProgress.push_back({position, fs::path(path).filename().string()});
    }
    void HandOver(const TRecordFields& fields, int recordCount, int position) override {
        if (fields.Subject == refuse)
            throw EError("Store refused");
        subjects.push_back(fields.Subject);
        counts.push_back(recordCount);
        if (position >= 0)
            positions.push_back(position);
        handedOver.store(static_cast<int>(subjects.size()));
        if (onHandOver)
            onHandOver();
    }
    void FileEnded(FileEnd end) override {
        ended.push_back(end);
        if (failCommit)
            throw EError("Commit failed");
    }
    void Completed() override { completed = true; }
    void Finished(const TImportResult& r) override {
        finished = true;
        result = r;
    }

    std::vector<std::pair<int, std::string>> fileProgress;
    std::vector<std::string> subjects;
    std::vector<int> counts;
    std::vector<int> positions;
    std::string refuse = "\x01";
    std::function<void()> onHandOver;
    std::atomic<int> handedOver{0};
    std::vector<FileEnd> ended;
    bool failCommit = false;
    bool completed = false;
    bool finished = false;
    TImportResult result;
};

class ConvertRunTest : public ::testing::Test {
  protected:
    TempDir dir;
    RecordingHost host;
    std::vector<std::string> converted;

    void File(const std::string& name, const std::string& commands) {
        WriteFile(dir.file(name), commands);
    }

    std::unique_ptr<TConvertRun> MakeRun(const std::string& extension, std::string script = {}) {
        TMyFiler filer;
        filer.ListFolder(dir.str(), extension);
        return MakeRun(filer.Entries(), std::move(script));
    }
    std::unique_ptr<TConvertRun> MakeRun(const std::vector<TMyFiler::Entry>& entries,
                                         std::string script = {}) {
        return std::make_unique<TConvertRun>(entries, std::move(script), host, [this] {
            return std::make_unique<FakeEngine>(&converted);
        });
    }
    bool Exists(const std::string& name) const { return fs::exists(dir.file(name)); }
};

}  // namespace

TEST_F(ConvertRunTest, ConvertsInCaseInsensitiveOrderAndMarksEveryFileBak) {
    File("c.nws", "R c1\n");
    File("a.nws", "R a1\nR a2\n");
    File("B.nws", "R b1\n");
    auto run = MakeRun(".nws");
    run->Run();
    EXPECT_EQ(converted, (std::vector<std::string>{"a.nws", "B.nws", "c.nws"}));
    EXPECT_TRUE(Exists("a.bak") && Exists("B.bak") && Exists("c.bak"));
    EXPECT_EQ(host.subjects, (std::vector<std::string>{"a1", "a2", "b1", "c1"}));
    EXPECT_EQ(host.counts, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(host.fileProgress, (std::vector<std::pair<int, std::string>>{
                                     {0, "a.nws"}, {33, "B.nws"}, {66, "c.nws"}}));
    EXPECT_TRUE(host.completed);
    ASSERT_TRUE(host.finished);
    EXPECT_EQ(host.result.Outcome, ImportOutcome::Done);
    EXPECT_EQ(host.result.RecordCount, 4);
    EXPECT_EQ(ImportOutcomeMessage(host.result), "");
}

TEST_F(ConvertRunTest, FailureMarksErrAndLeavesLaterFilesAlone) {
    File("a.nws", "R a1\n");
    File("B.nws", "R b1\nE Boom\nR b2\n");
    File("c.nws", "R c1\n");
    MakeRun(".nws")->Run();
    EXPECT_TRUE(Exists("a.bak"));
    EXPECT_TRUE(Exists("B.err"));
    EXPECT_TRUE(Exists("c.nws"));
    EXPECT_EQ(host.subjects, (std::vector<std::string>{"a1", "b1"}));
    EXPECT_FALSE(host.completed);
    EXPECT_EQ(host.result.Outcome, ImportOutcome::Failed);
    EXPECT_EQ(host.result.ErrorFile, dir.file("B.err"));
    EXPECT_EQ(host.result.LastExtension, ".nws");
    EXPECT_EQ(ImportOutcomeMessage(host.result), "Boom\r\nB.err");
}

TEST_F(ConvertRunTest, ScriptErrorsReportTheLine) {
    File("page.htm", "R r1\nS 7\n");
    MakeRun(".htm")->Run();
    EXPECT_EQ(host.result.Outcome, ImportOutcome::Failed);
    EXPECT_EQ(host.result.ErrorLine, 7);
    EXPECT_EQ(host.subjects, (std::vector<std::string>{"r1"}));
    EXPECT_TRUE(Exists("page.err"));
    EXPECT_EQ(ImportOutcomeMessage(host.result), "[Script Error] Stopped at line: 7\r\npage.err");
}

TEST_F(ConvertRunTest, EachFileEndsBeforeItIsRenamed) {
    File("a.nws", "R a1\n");
    File("b.nws", "R b1\nE Boom\n");
    MakeRun(".nws")->Run();
    EXPECT_EQ(host.ended, (std::vector<FileEnd>{FileEnd::Converted, FileEnd::Failed}));
}

TEST_F(ConvertRunTest, FailureToKeepTheRecordsFailsTheFile) {
    File("a.nws", "R a1\n");
    host.failCommit = true;
    MakeRun(".nws")->Run();
    EXPECT_EQ(host.ended, (std::vector<FileEnd>{FileEnd::Converted, FileEnd::Failed}));
    EXPECT_TRUE(Exists("a.err"));
    EXPECT_EQ(ImportOutcomeMessage(host.result), "Commit failed\r\na.err");
}

TEST_F(ConvertRunTest, ReadOnlyRunRenamesNothing) {
    File("a.nws", "R a1\n");
    File("b.nws", "E Boom\n");
    auto run = MakeRun(".nws");
    run->SetRenameFiles(false);
    run->Run();
    EXPECT_TRUE(Exists("a.nws"));
    EXPECT_TRUE(Exists("b.nws"));
    EXPECT_EQ(host.result.LastExtension, ".nws");
    EXPECT_EQ(ImportOutcomeMessage(host.result), "Boom\r\nb.nws");
}

TEST_F(ConvertRunTest, FailuresOutsideTheFamilyAreAbnormalErrors) {
    File("a.eml", "X\n");
    MakeRun(".eml")->Run();
    EXPECT_EQ(host.result.Outcome, ImportOutcome::Failed);
    EXPECT_EQ(ImportOutcomeMessage(host.result), "Abnormal Error\r\na.err");
}

TEST_F(ConvertRunTest, StoreRefusingARecordFailsTheFile) {
    File("a.eml", "R ok\nR refuse-me\nR never\n");
    host.refuse = "refuse-me";
    MakeRun(".eml")->Run();
    EXPECT_EQ(host.subjects, (std::vector<std::string>{"ok"}));
    EXPECT_EQ(ImportOutcomeMessage(host.result), "Store refused\r\na.err");
}

TEST_F(ConvertRunTest, ExistingBakLeavesTheConvertedFileUnderItsName) {
    File("a.nws", "R a1\n");
    File("a.bak", "older");
    MakeRun(".nws")->Run();
    EXPECT_TRUE(Exists("a.nws"));
    EXPECT_EQ(testsupport::ReadFile(dir.file("a.bak")), "older");
    EXPECT_EQ(host.result.Outcome, ImportOutcome::Done);
}

TEST_F(ConvertRunTest, TaggedModeMovesProgressOnOddRecordsAndKeepsTheName) {
    std::string commands;
    for (int i = 1; i <= 10; ++i)
        commands += "R m" + std::to_string(i) + "\n";
    File("Inbox.dbx", commands);
    MakeRun({{dir.file("Inbox.dbx"), 10}})->Run();
    EXPECT_EQ(host.positions, (std::vector<int>{10, 30, 50, 70, 90}));
    EXPECT_TRUE(host.completed);
    EXPECT_TRUE(Exists("Inbox.dbx"));
    EXPECT_EQ(host.result.Outcome, ImportOutcome::Done);
}

TEST_F(ConvertRunTest, FailedStoreKeepsItsNameAndIsNamedInTheMessage) {
    File("Inbox.dbx", "R m1\nX\n");
    MakeRun({{dir.file("Inbox.dbx"), 5}})->Run();
    EXPECT_TRUE(Exists("Inbox.dbx"));
    EXPECT_EQ(host.result.ErrorFile, "");
    EXPECT_EQ(host.result.LastExtension, ".dbx");
    EXPECT_EQ(ImportOutcomeMessage(host.result), "Abnormal Error\r\nInbox.dbx");
}

// A stop drops the file it cuts short and leaves it under its name, so the next import
// takes it whole; files finished before the stop stay ".bak".
TEST_F(ConvertRunTest, StopLeavesTheFileItCutShortUnderItsName) {
    File("a.txt", "R 1\n");
    File("b.txt", "R 2\nR 3\nR 4\n");
    File("c.txt", "R 5\n");
    auto run = MakeRun(".txt");
    host.onHandOver = [&] {
        if (host.subjects.size() == 2)
            run->RequestStop();
    };
    run->Run();
    EXPECT_EQ(host.subjects, (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(converted, (std::vector<std::string>{"a.txt", "b.txt"}));
    EXPECT_EQ(host.ended, (std::vector<FileEnd>{FileEnd::Converted, FileEnd::Stopped}));
    EXPECT_TRUE(Exists("a.bak"));
    EXPECT_TRUE(Exists("b.txt"));
    EXPECT_TRUE(Exists("c.txt"));
    EXPECT_FALSE(host.completed);
    EXPECT_EQ(host.result.Outcome, ImportOutcome::Cancelled);
    EXPECT_EQ(ImportOutcomeMessage(host.result), "Canceled by User");
}

TEST_F(ConvertRunTest, StopAfterAFilesLastRecordStillMarksItBak) {
    File("a.txt", "R 1\n");
    File("b.txt", "R 2\n");
    auto run = MakeRun(".txt");
    host.onHandOver = [&] { run->RequestStop(); };
    run->Run();
    EXPECT_EQ(host.ended, (std::vector<FileEnd>{FileEnd::Converted}));
    EXPECT_TRUE(Exists("a.bak"));
    EXPECT_TRUE(Exists("b.txt"));
    EXPECT_EQ(host.result.Outcome, ImportOutcome::Cancelled);
}

TEST_F(ConvertRunTest, AbandonedRunUnwindsRenamesNothingAndReportsNothing) {
    File("a.htm", "R 1\nL\n");
    File("b.htm", "R 2\n");
    auto run = MakeRun(".htm");
    std::thread worker([&] { run->Run(); });
    while (host.handedOver.load() == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    run->Abandon();
    worker.join();
    EXPECT_TRUE(Exists("a.htm"));
    EXPECT_TRUE(Exists("b.htm"));
    EXPECT_FALSE(host.finished);
    EXPECT_EQ(host.subjects.size(), 1u);
}

TEST_F(ConvertRunTest, UnreadableScriptFailsBeforeAnyFileIsTouched) {
    File("a.htm", "R 1\n");
    MakeRun(".htm", "bad-script")->Run();
    EXPECT_TRUE(converted.empty());
    EXPECT_TRUE(Exists("a.htm"));
    EXPECT_EQ(host.result.Outcome, ImportOutcome::Failed);
    EXPECT_EQ(ImportOutcomeMessage(host.result), "Cannot open file \"bad-script\".");
}

TEST(ImportOutcomeMessage, HasTheFixedTexts) {
    TImportResult r;
    r.Outcome = ImportOutcome::Killed;
    EXPECT_EQ(ImportOutcomeMessage(r), "Interrupted by force");
    r.Outcome = ImportOutcome::Cancelled;
    EXPECT_EQ(ImportOutcomeMessage(r), "Canceled by User");
}
