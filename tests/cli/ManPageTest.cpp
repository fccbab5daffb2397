// The manual page brevilo-cli(1) keeps step with the program: every command of --help has
// its subsection under COMMANDS, no other command has one, and every option of a command's
// usage line is described in its subsection.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "cli/CliRunner.h"

namespace {

using testsupport::RunCliProgram;

// roff escapes that the page uses inside names: "\-" is a hyphen, "\fB" and friends switch fonts.
std::string Unroff(std::string text) {
    text = std::regex_replace(text, std::regex(R"(\\f[BIRP])"), "");
    return std::regex_replace(text, std::regex(R"(\\-)"), "-");
}

// The text of each ".SS command ..." subsection of COMMANDS, roff escapes removed.
std::map<std::string, std::string> ManPageCommands() {
    std::istringstream page(testsupport::ReadFile(BREVILO_MAN_PAGE));
    std::map<std::string, std::string> sections;
    std::string line, current;
    bool inCommands = false;
    while (std::getline(page, line)) {
        if (line.rfind(".SH", 0) == 0) {
            inCommands = line == ".SH COMMANDS";
            current.clear();
        } else if (inCommands && line.rfind(".SS ", 0) == 0) {
            const std::string heading = Unroff(line.substr(4));
            current = heading.substr(0, heading.find(' '));
            sections[current] = heading + "\n";
        } else if (!current.empty()) {
            sections[current] += Unroff(line) + "\n";
        }
    }
    return sections;
}

// "  name  description" lines under "Commands:" in --help.
std::set<std::string> HelpCommands() {
    const auto help = RunCliProgram({"--help"});
    EXPECT_EQ(help.status, 0);
    std::istringstream text(help.out);
    std::set<std::string> commands;
    std::string line;
    bool inCommands = false;
    while (std::getline(text, line)) {
        if (line == "Commands:")
            inCommands = true;
        else if (inCommands && line.rfind("  ", 0) != 0)
            inCommands = false;
        else if (inCommands)
            commands.insert(line.substr(2, line.find(' ', 2) - 2));
    }
    return commands;
}

}  // namespace

TEST(ManPage, DescribesEveryCommandAndEveryOption) {
    const auto sections = ManPageCommands();
    const auto commands = HelpCommands();
    ASSERT_FALSE(commands.empty());

    std::set<std::string> documented;
    for (const auto& [name, text] : sections)
        documented.insert(name);
    EXPECT_EQ(documented, commands)
        << "doc/brevilo-cli.1 and brevilo-cli --help list other commands";

    const std::regex option(R"(--[a-z][a-z0-9-]*)");
    for (const std::string& command : commands) {
        const auto usage = RunCliProgram({"help", command});
        EXPECT_EQ(usage.status, 0) << command;
        const auto section = sections.find(command);
        if (section == sections.end())
            continue;
        for (std::sregex_iterator it(usage.out.begin(), usage.out.end(), option), end; it != end;
             ++it)
            EXPECT_NE(section->second.find(it->str()), std::string::npos)
                << "the man page's " << command << " says nothing of " << it->str();
    }
}
