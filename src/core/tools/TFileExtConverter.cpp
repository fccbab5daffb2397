#include "tools/TFileExtConverter.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

#include "import/FileMask.h"
#include "import/TMyFiler.h"

namespace {

const std::string_view kForbidden = "\\/:*?\"<>|";

std::string_view trimControls(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= 0x20)
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 0x20)
        text.remove_suffix(1);
    return text;
}

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

// Plain wildcard matching over bytes, letter case ignored; iterative with one backtrack
// point, so linear-time per star.
bool globMatch(std::string_view name, std::string_view mask) {
    std::size_t n = 0, m = 0;
    std::size_t starMask = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '?') {
            // One character: a UTF-8 sequence with its continuation bytes.
            ++n;
            while (n < name.size() && (static_cast<unsigned char>(name[n]) & 0xC0) == 0x80)
                ++n;
            ++m;
        } else if (m < mask.size() && lowerAscii(mask[m]) == lowerAscii(name[n])) {
            ++n;
            ++m;
        } else if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (starMask != std::string_view::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

}  // namespace

TFileExtConverter::TFileExtConverter(std::string folder) : folder_(std::move(folder)) {
    while (folder_.size() > 1 && folder_.back() == '/')
        folder_.pop_back();
}

bool TFileExtConverter::NormaliseExtension(std::string_view text, std::string& normalised) {
    text = trimControls(text);
    // File names are file-system bytes (UTF-8 here), where every byte below 0x80 is a
    // character of its own: a forbidden byte is a forbidden character wherever it stands.
    normalised.clear();
    for (char c : text)
        normalised += lowerAscii(c);
    // A name "x.." or a rename through a parent folder is no extension.
    if (normalised.find_first_of(kForbidden) != std::string::npos ||
        normalised.find("..") != std::string::npos)
        return false;
    if (!normalised.empty() && normalised.front() != '.')
        normalised.insert(normalised.begin(), '.');
    return true;
}

bool TFileExtConverter::MatchesMask(std::string_view name, std::string_view mask) {
    if (globMatch(name, mask))
        return true;
    // "x.*" also matches "x" (a name without an extension).
    if (mask.size() >= 2 && mask.substr(mask.size() - 2) == ".*" &&
        name.find('.') == std::string_view::npos &&
        globMatch(name, mask.substr(0, mask.size() - 2)))
        return true;
    // A three-letter extension also finds longer ones that begin with it.
    const std::size_t maskDot = mask.rfind('.');
    if (maskDot == std::string_view::npos || mask.size() - maskDot != 4 ||
        mask.substr(maskDot).find_first_of("*?") != std::string_view::npos)
        return false;
    const std::size_t nameDot = name.rfind('.');
    if (nameDot == std::string_view::npos || name.size() - nameDot <= 4)
        return false;
    return globMatch(name.substr(0, nameDot + 4), mask);
}

std::vector<std::string> TFileExtConverter::ListMatching(std::string_view mask) const {
    std::vector<std::string> names;
    DIR* dir = opendir(folder_.empty() ? "." : folder_.c_str());
    if (!dir)
        return names;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name.empty() || name[0] == '.' || !MatchesMask(name, mask))
            continue;
        const std::string ext = AsciiLower(ExtensionOf(name));
        if (ext == ".dbx" || ext == ".lnk" || ext == ".exe")
            continue;
        struct stat st;
        const std::string path = folder_ + "/" + name;
        if (lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        names.push_back(std::move(name));
    }
    closedir(dir);
    // The same order on every run: when two files would get the same name, the first in
    // name order wins.
    std::sort(names.begin(), names.end());
    return names;
}

std::string TFileExtConverter::Convert(std::string_view maskText, std::string_view newExtension,
                                       bool simplyAdd) {
    const std::string_view mask = trimControls(maskText);
    if (mask.empty())
        return "There is no mask";
    const std::string oldExtension = ExtensionOf(mask);
    std::string ext;
    if (!NormaliseExtension(newExtension, ext))
        return ext + "Invalid charcters in the file extension";
    if (oldExtension == ext)
        return "Same file extensions";

    // Only files of this folder are ever renamed: a mask that names another folder
    // matches none of them.
    std::vector<std::string> names;
    if (mask.find('/') == std::string_view::npos && mask.find("..") == std::string_view::npos)
        names = ListMatching(mask);
    if (names.empty()) {
        canUndo_ = false;
        return "No files in this folder";
    }

    undo_.clear();
    for (const std::string& name : names) {
        const std::string oldPath = folder_ + "/" + name;
        const std::string newPath = simplyAdd ? oldPath + ext : ReplaceExtension(oldPath, ext);
        if (RenameNoReplace(oldPath, newPath))
            undo_.push_back({newPath, oldPath});
    }
    canUndo_ = true;
    return "Converted successfully";
}

void TFileExtConverter::Undo() {
    for (const TStrPair& pair : undo_)
        RenameNoReplace(pair.newPath, pair.oldPath);
    canUndo_ = false;
}
