#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "CliEncoding.h"

// Wrong usage of brevilo-cli: the message goes to standard error with the usage, exit 2.
class EUsage : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// What a command runs with: the general options and its own arguments (as given).
struct CliContext {
    CliEncoding encoding;
    std::vector<std::string> args;
};

// A command: returns the exit status (0 success, 1 the operation failed). It may throw
// EUsage (exit 2) or EError (message on standard error, exit 1).
using CliHandler = int (*)(CliContext&);

struct CliCommand {
    const char* name;
    const char* usage;    // the arguments after the name, as shown by --help
    const char* summary;  // one line
    CliHandler run;
};

// Registers a command at static-initialisation time: one `static CliRegistrar` per
// command source file.
struct CliRegistrar {
    explicit CliRegistrar(const CliCommand& command);
};

// Every registered command, sorted by name.
std::vector<CliCommand> CliCommands();
const CliCommand* FindCliCommand(const std::string& name);

// Writes bytes to standard output unchanged.
void WriteOut(std::string_view bytes);

// Runs brevilo-cli with argv (without the program name): the whole dispatcher, so that
// tests can run it in-process. Writes to stdout/stderr; returns the exit status.
int RunCli(const std::vector<std::string>& argv);
