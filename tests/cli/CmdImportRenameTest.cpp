// brevilo-cli import --rename stopped at any moment: the next run over the files still
// under their own names stores every mail exactly once.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <thread>

#include "cli/CliRunner.h"

namespace fs = std::filesystem;
using testsupport::RunCliProgram;
using testsupport::TempDir;
using testsupport::WriteFile;

namespace {

class KilledImport : public ::testing::Test {
  protected:
    TempDir dir, db;

    void Mails(int count) {
        for (int i = 0; i < count; ++i)
            WriteFile(dir.file("m" + std::to_string(i) + ".eml"),
                      "From: a@example.com\r\nSubject: S" + std::to_string(i) +
                          "\r\nNewsgroups: fj.test\r\n\r\nbody\r\n");
    }

    // The arguments of an import of every ".eml" file left, as a shell glob gives them.
    std::vector<std::string> ImportArgs() const {
        std::vector<std::string> args{"import", "--db", db.str(), "--table", "T", "--rename"};
        std::vector<std::string> files;
        for (const auto& entry : fs::directory_iterator(dir.str()))
            if (entry.path().extension() == ".eml")
                files.push_back(entry.path().string());
        std::sort(files.begin(), files.end());
        args.insert(args.end(), files.begin(), files.end());
        return args;
    }

    // Subject -> how often it is stored.
    std::map<std::string, int> Stored() const {
        auto all = RunCliProgram(
            {"search", "--db", db.str(), "--table", "T", "--field", "messageid", ">0"});
        std::map<std::string, int> subjects;
        const std::string key = "\"Subject\":\"";
        for (std::size_t at = all.out.find(key); at != std::string::npos;
             at = all.out.find(key, at + 1)) {
            std::size_t from = at + key.size();
            ++subjects[all.out.substr(from, all.out.find('"', from) - from)];
        }
        return subjects;
    }

    void ExpectEachStoredOnceAndMarked(int count) {
        std::map<std::string, int> stored = Stored();
        EXPECT_EQ(stored.size(), static_cast<std::size_t>(count));
        for (const auto& [subject, times] : stored)
            EXPECT_EQ(times, 1) << subject;
        for (int i = 0; i < count; ++i)
            EXPECT_TRUE(fs::exists(dir.file("m" + std::to_string(i) + ".bak"))) << i;
    }
};

}  // namespace

TEST_F(KilledImport, EndBetweenACommitAndItsRenamesIsFinishedByTheNextRun) {
    Mails(300);
    setenv("BREVILO_TEST_EXIT_AFTER_COMMIT", "1", 1);
    auto killed = RunCliProgram(ImportArgs());
    unsetenv("BREVILO_TEST_EXIT_AFTER_COMMIT");
    ASSERT_EQ(killed.status, 3);
    EXPECT_EQ(Stored().size(), 256u);             // the first group is committed ...
    EXPECT_TRUE(fs::exists(dir.file("m0.eml")));  // ... but none of it renamed yet

    auto rerun = RunCliProgram(ImportArgs());
    EXPECT_EQ(rerun.status, 0) << rerun.err;
    EXPECT_EQ(rerun.out, "44\n");
    ExpectEachStoredOnceAndMarked(300);
}

TEST_F(KilledImport, KillsAtRandomMomentsLoseAndRepeatNothing) {
    Mails(600);
    std::mt19937 rng(20261209);
    for (int round = 0; round < 40; ++round) {
        std::vector<std::string> args = ImportArgs();
        if (args.size() == 6)
            break;
        pid_t pid = fork();
        if (pid == 0) {
            int null = open("/dev/null", O_WRONLY);
            dup2(null, 1);
            dup2(null, 2);
            std::vector<char*> argv;
            std::string program = BREVILO_CLI_PATH;
            argv.push_back(program.data());
            for (std::string& a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(program.c_str(), argv.data());
            _exit(127);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(rng() % 60000));
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
    }
    if (ImportArgs().size() > 6) {
        auto last = RunCliProgram(ImportArgs());
        EXPECT_EQ(last.status, 0) << last.err;
    }
    ExpectEachStoredOnceAndMarked(600);
}
