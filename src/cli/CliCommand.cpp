#include "CliCommand.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <iostream>

namespace {

std::vector<CliCommand>& registry() {
    static std::vector<CliCommand> commands;
    return commands;
}

constexpr const char* kProgram = "brevilo-cli";

void printUsage(std::FILE* to) {
    std::fprintf(to,
                 "Usage: %s [--encoding utf-8|cp932|latin1] COMMAND [ARGS...]\n"
                 "       %s --help | --version | help COMMAND\n\n"
                 "Brevilo's engines from the command line.\n\n"
                 "Commands:\n",
                 kProgram, kProgram);
    for (const CliCommand& c : CliCommands())
        std::fprintf(to, "  %-12s %s\n", c.name, c.summary);
    std::fprintf(to,
                 "\nGeneral options (before or after the command name):\n"
                 "  --encoding E  how text is written and read: utf-8 (default), cp932, latin1\n"
                 "\nExit status: 0 success, 1 the operation failed, 2 wrong usage.\n");
}

void printCommandUsage(std::FILE* to, const CliCommand& c) {
    std::fprintf(to, "Usage: %s %s %s\n  %s\n", kProgram, c.name, c.usage, c.summary);
}

}  // namespace

void WriteOut(std::string_view bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

CliRegistrar::CliRegistrar(const CliCommand& command) {
    registry().push_back(command);
}

std::vector<CliCommand> CliCommands() {
    std::vector<CliCommand> all = registry();
    std::sort(all.begin(), all.end(), [](const CliCommand& a, const CliCommand& b) {
        return std::string_view(a.name) < std::string_view(b.name);
    });
    return all;
}

const CliCommand* FindCliCommand(const std::string& name) {
    for (const CliCommand& c : registry())
        if (name == c.name)
            return &c;
    return nullptr;
}

int RunCli(const std::vector<std::string>& argv) {
    CliContext ctx;
    std::vector<std::string> rest;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < argv.size(); ++i) {
        const std::string& a = argv[i];
        if (a == "--")
            optionsEnded = true;
        if (!optionsEnded && (a == "--encoding" || a.rfind("--encoding=", 0) == 0)) {
            std::string value;
            if (a == "--encoding") {
                if (i + 1 >= argv.size()) {
                    std::fprintf(stderr, "%s: option --encoding needs a value\n", kProgram);
                    return 2;
                }
                value = argv[++i];
            } else {
                value = a.substr(std::string("--encoding=").size());
            }
            if (!CliEncoding::Parse(value, ctx.encoding)) {
                std::fprintf(stderr, "%s: unknown encoding '%s' (utf-8, cp932 or latin1)\n",
                             kProgram, value.c_str());
                return 2;
            }
            continue;
        }
        rest.push_back(a);
    }

    if (rest.empty()) {
        printUsage(stderr);
        return 2;
    }
    const std::string& name = rest.front();
    if (name == "--help" || name == "-h") {
        printUsage(stdout);
        return 0;
    }
    if (name == "--version") {
        std::printf("%s %s\n", kProgram, BREVILO_VERSION);
        return 0;
    }
    if (name == "help") {
        if (rest.size() == 1) {
            printUsage(stdout);
            return 0;
        }
        const CliCommand* c = FindCliCommand(rest[1]);
        if (!c) {
            std::fprintf(stderr, "%s: unknown command '%s'\n", kProgram, rest[1].c_str());
            return 2;
        }
        printCommandUsage(stdout, *c);
        return 0;
    }
    const CliCommand* command = FindCliCommand(name);
    if (!command) {
        std::fprintf(stderr, "%s: unknown command '%s'\n\n", kProgram, name.c_str());
        printUsage(stderr);
        return 2;
    }
    ctx.args.assign(rest.begin() + 1, rest.end());
    if (std::find(ctx.args.begin(), ctx.args.end(), "--help") != ctx.args.end()) {
        printCommandUsage(stdout, *command);
        return 0;
    }
    try {
        int status = command->run(ctx);
        std::fflush(stdout);
        return status;
    } catch (const EUsage& e) {
        std::fflush(stdout);
        std::fprintf(stderr, "%s %s: %s\n", kProgram, command->name, e.what());
        printCommandUsage(stderr, *command);
        return 2;
    } catch (const std::exception& e) {
        // EError and every other failure with a text (a damaged store's, exhausted memory)
        std::fflush(stdout);
        std::string message = ctx.encoding.Output(e.what());
        std::fprintf(stderr, "%s\n", message.c_str());
        return 1;
    }
}
