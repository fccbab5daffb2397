#pragma once

// Runs the built brevilo-cli as a separate process and captures what it wrote.

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "TestSupport.h"

namespace testsupport {

struct CliResult {
    int status = -1;  // exit status; -1 when the program died of a signal
    std::string out;
    std::string err;
};

inline CliResult RunCliProgram(const std::vector<std::string>& args,
                               const std::string& input = {}) {
    TempDir io;
    const std::string inPath = io.file("stdin"), outPath = io.file("stdout"),
                      errPath = io.file("stderr");
    WriteFile(inPath, input);
    pid_t pid = fork();
    if (pid == 0) {
        int in = open(inPath.c_str(), O_RDONLY);
        int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        std::vector<char*> argv;
        std::string program = BREVILO_CLI_PATH;
        argv.push_back(program.data());
        std::vector<std::string> copy = args;
        for (std::string& a : copy)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    CliResult r;
    r.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    r.out = ReadFile(outPath);
    r.err = ReadFile(errPath);
    return r;
}

}  // namespace testsupport
