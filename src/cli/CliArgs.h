#pragma once

#include <initializer_list>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

// A command's own arguments: options with a value ("--db DIR" or "--db=DIR"), flags
// ("--plain") and positional arguments in order. "--" ends the options. An unknown
// option, a missing value or a repeated option throws EUsage.
class CliArgs {
  public:
    CliArgs(const std::vector<std::string>& args,
            std::initializer_list<std::string_view> valueOptions,
            std::initializer_list<std::string_view> flags);

    bool flag(std::string_view name) const { return flags_.count(std::string(name)) != 0; }
    std::optional<std::string> value(std::string_view name) const;
    // The value of a required option; throws EUsage naming it when absent.
    std::string required(std::string_view name) const;
    const std::vector<std::string>& positional() const { return positional_; }

    // Reads an option's value as a non-negative integer; throws EUsage when it is not one.
    static long integerValue(std::string_view name, const std::string& text);

  private:
    std::map<std::string, std::string> values_;
    std::set<std::string> flags_;
    std::vector<std::string> positional_;
};
