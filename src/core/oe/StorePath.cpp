#include "oe/StorePath.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "text/Cp932.h"

namespace fs = std::filesystem;

namespace storepath {
namespace {

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool equalNoCaseAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    return true;
}

bool pathExists(const fs::path& p) {
    std::error_code ec;
    return fs::exists(p, ec);
}

// The entry of `folder` whose name equals `name` ignoring ASCII case; empty when none.
std::string matchInFolder(const fs::path& folder, std::string_view name) {
    std::error_code ec;
    std::vector<std::string> matches;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string entry = it->path().filename().string();
        if (equalNoCaseAscii(entry, name))
            matches.push_back(std::move(entry));
    }
    if (matches.empty())
        return {};
    return *std::min_element(matches.begin(), matches.end());
}

std::string join(const std::string& folder, std::string_view name) {
    if (folder.empty())
        return std::string(name);
    if (folder.back() == '/')
        return folder + std::string(name);
    return folder + "/" + std::string(name);
}

}  // namespace

std::string StoreFilePath(const std::string& folder, std::string_view cp932Name) {
    if (cp932Name.empty())
        return folder;
    const std::string utf8Name = cp932::toUtf8(cp932Name);
    const std::string utf8Path = join(folder, utf8Name);
    if (pathExists(utf8Path))
        return utf8Path;
    const std::string rawPath = join(folder, cp932Name);
    if (pathExists(rawPath))
        return rawPath;
    if (std::string match = matchInFolder(ResolveCase(folder), utf8Name); !match.empty())
        return join(ResolveCase(folder), match);
    return utf8Path;
}

std::string ResolveCase(const std::string& path) {
    if (path.empty() || pathExists(path))
        return path;
    const fs::path given(path);
    fs::path resolved = given.root_path();
    bool matching = true;
    for (const fs::path& part : given.relative_path()) {
        const std::string name = part.string();
        if (matching && !name.empty() && name != "." && name != ".." &&
            !pathExists(resolved / part)) {
            std::string match = matchInFolder(resolved.empty() ? fs::path(".") : resolved, name);
            if (match.empty()) {
                matching = false;
            } else {
                resolved /= match;
                continue;
            }
        }
        resolved /= part;
    }
    return resolved.string();
}

}  // namespace storepath
