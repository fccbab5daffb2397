#include "store/TTableFolder.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "base/EError.h"
#include "store/EDBError.h"
#include "text/Cp932.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kExtension = ".db";

// The name with single-byte ASCII letters lower-cased; double-byte characters untouched.
std::string foldName(std::string_view name) {
    std::string out(name);
    for (std::size_t pos = 0; pos < out.size();) {
        std::size_t len = cp932::charLength(out, pos);
        if (len == 1 && out[pos] >= 'A' && out[pos] <= 'Z')
            out[pos] = static_cast<char>(out[pos] - 'A' + 'a');
        pos += len;
    }
    return out;
}

}  // namespace

TTableFolder::TTableFolder(std::string folder) : folder_(std::move(folder)) {
    std::error_code ec;
    if (folder_.empty() || !fs::is_directory(folder_, ec))
        throw EFileError("Cannot open folder " + folder_);
}

bool TTableFolder::SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && foldName(a) == foldName(b);
}

bool TTableFolder::LessNoCase(std::string_view a, std::string_view b) {
    std::string fa = foldName(a), fb = foldName(b);
    if (fa != fb)
        return fa < fb;
    return a < b;
}

bool TTableFolder::IsStorableName(std::string_view name) {
    if (name.empty() || name == "." || name == "..")
        return false;
    if (name.find('/') != std::string_view::npos || name.find('\0') != std::string_view::npos)
        return false;
    return cp932::fromUtf8(cp932::toUtf8(name)) == name;
}

bool TTableFolder::IsValidNewName(std::string_view name) {
    if (!IsStorableName(name))
        return false;
    // The nine characters are ASCII; step by characters so a trail byte 0x5C (the second
    // byte of a character such as 表) is not taken for a backslash.
    for (std::size_t pos = 0; pos < name.size(); pos = cp932::nextChar(name, pos)) {
        if (cp932::charLength(name, pos) != 1)
            continue;
        if (std::string_view("\\/:*?\"<>|").find(name[pos]) != std::string_view::npos)
            return false;
    }
    return true;
}

std::vector<std::string> TTableFolder::ListTables() const {
    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(folder_, ec), end;
    if (ec)
        throw EFileError("Cannot open folder " + folder_);
    for (; it != end; it.increment(ec)) {
        if (ec)
            break;
        std::error_code typeError;
        if (!it->is_regular_file(typeError))
            continue;
        std::string file = it->path().filename().string();
        if (file.size() <= kExtension.size() ||
            file.compare(file.size() - kExtension.size(), kExtension.size(), kExtension) != 0)
            continue;
        std::string utf8 = file.substr(0, file.size() - kExtension.size());
        std::string name = cp932::fromUtf8(utf8);
        if (cp932::toUtf8(name) != utf8)
            continue;  // not a name this program can hold
        names.push_back(std::move(name));
    }
    return names;
}

std::optional<std::string> TTableFolder::FindTable(std::string_view name) const {
    if (name.empty())
        return std::nullopt;
    std::optional<std::string> found;
    for (std::string& table : ListTables()) {
        if (table == name)
            return table;  // the exact spelling wins over a case variant
        if (!found && SameName(table, name))
            found = std::move(table);
    }
    return found;
}

std::string TTableFolder::TableFile(std::string_view name) const {
    if (!IsStorableName(name))
        throw EDBError("Invalid database name");
    std::string stored = FindTable(name).value_or(std::string(name));
    return (fs::path(folder_) / (cp932::toUtf8(stored) + std::string(kExtension))).string();
}

std::uintmax_t TTableFolder::TableSize(std::string_view name) const {
    std::string stem = cp932::toUtf8(FindTable(name).value_or(std::string(name))) + ".";
    std::uintmax_t total = 0;
    std::error_code ec;
    fs::directory_iterator it(folder_, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError))
            continue;
        std::string file = it->path().filename().string();
        if (file.size() <= stem.size() || file.compare(0, stem.size(), stem) != 0)
            continue;
        std::uintmax_t size = it->file_size(typeError);
        if (!typeError)
            total += size;
    }
    return total;
}
