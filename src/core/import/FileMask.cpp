#include "import/FileMask.h"

#include <dirent.h>
#include <sys/stat.h>

namespace {

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

}  // namespace

std::string AsciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = lowerAscii(c);
    return out;
}

int CompareNoCase(std::string_view a, std::string_view b) {
    std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(lowerAscii(a[i]));
        unsigned char y = static_cast<unsigned char>(lowerAscii(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

std::string ExtensionOf(std::string_view path) {
    std::size_t slash = path.rfind('/');
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot));
}

bool MatchesExtensionMask(std::string_view fileName, std::string_view extension) {
    while (!extension.empty() && extension.back() == ' ')
        extension.remove_suffix(1);
    bool anyRest = false;
    if (!extension.empty() && extension.back() == '*') {
        anyRest = true;
        extension.remove_suffix(1);
    }
    std::string wanted = AsciiLower(extension);
    std::string actual = AsciiLower(ExtensionOf(fileName));
    if (wanted.empty() || actual.empty())
        return false;
    if (actual == wanted)
        return true;
    // Three letters after the dot: the extension may go on (".htm" finds ".html").
    bool prefixRule = anyRest || (wanted.size() == 4 && wanted[0] == '.');
    return prefixRule && actual.size() > wanted.size() &&
           actual.compare(0, wanted.size(), wanted) == 0;
}

std::vector<std::string> ListFilesWithExtension(const std::string& folder,
                                                std::string_view extension) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return names;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name.empty() || name[0] == '.')
            continue;
        if (!MatchesExtensionMask(name, extension))
            continue;
        struct stat st;
        std::string path = folder + "/" + name;
        if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        names.push_back(std::move(name));
    }
    closedir(dir);
    return names;
}
