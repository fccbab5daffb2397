#include "CliArgs.h"

#include "CliCommand.h"
#include "text/TextUtil.h"

CliArgs::CliArgs(const std::vector<std::string>& args,
                 std::initializer_list<std::string_view> valueOptions,
                 std::initializer_list<std::string_view> flags) {
    auto isIn = [](std::initializer_list<std::string_view> list, std::string_view name) {
        for (std::string_view n : list)
            if (n == name)
                return true;
        return false;
    };
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            positional_.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = arg;
        std::optional<std::string> inlineValue;
        if (std::size_t eq = arg.find('='); eq != std::string::npos) {
            name = arg.substr(0, eq);
            inlineValue = arg.substr(eq + 1);
        }
        if (isIn(valueOptions, name)) {
            if (values_.count(name))
                throw EUsage("option " + name + " given twice");
            if (inlineValue) {
                values_[name] = *inlineValue;
            } else {
                if (i + 1 >= args.size())
                    throw EUsage("option " + name + " needs a value");
                values_[name] = args[++i];
            }
        } else if (isIn(flags, name) && !inlineValue) {
            flags_.insert(name);
        } else {
            throw EUsage("unknown option " + arg);
        }
    }
}

std::optional<std::string> CliArgs::value(std::string_view name) const {
    auto it = values_.find(std::string(name));
    if (it == values_.end())
        return std::nullopt;
    return it->second;
}

std::string CliArgs::required(std::string_view name) const {
    auto v = value(name);
    if (!v)
        throw EUsage("option " + std::string(name) + " is required");
    return *v;
}

long CliArgs::integerValue(std::string_view name, const std::string& text) {
    long v;
    if (!ReadInteger(text, v) || v < 0)
        throw EUsage("option " + std::string(name) + " needs a non-negative integer");
    return v;
}
