#include "import/TMyFiler.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "import/FileMask.h"
#include "import/Mailboxes.h"

namespace {

bool isDirectory(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

bool RenameNoReplace(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // File systems without RENAME_NOREPLACE: a hard link fails when the target exists.
    if (link(from.c_str(), to.c_str()) != 0)
        return false;
    unlink(from.c_str());
    return true;
}

std::string ReplaceExtension(const std::string& path, std::string_view extension) {
    std::size_t slash = path.rfind('/');
    std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::size_t dot = path.rfind('.');
    std::string base = (dot == std::string::npos || dot < nameStart) ? path : path.substr(0, dot);
    return base + std::string(extension);
}

void TMyFiler::Clear() {
    files_.clear();
    PageCount = 0;
    ScriptPath.clear();
}

bool TMyFiler::Insert(const std::string& path, int tag) {
    auto less = [](const Entry& e, const std::string& p) { return CompareNoCase(e.path, p) < 0; };
    auto it = std::lower_bound(files_.begin(), files_.end(), path, less);
    if (it != files_.end() && CompareNoCase(it->path, path) == 0)
        return false;
    files_.insert(it, Entry{path, tag});
    return true;
}

void TMyFiler::ListFolder(const std::string& folder, std::string_view extension) {
    files_.clear();
    std::string ext(extension);
    if (AsciiLower(ext) == ".html")
        ext = ext.substr(0, 4) + "*";
    std::string base = folder;
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    for (const std::string& name : ListFilesWithExtension(base, ext))
        Insert(base == "/" ? "/" + name : base + "/" + name, 0);
}

bool TMyFiler::AddDropped(const std::string& path) {
    if (isDirectory(path)) {
        if (!IsMaildir(path))
            return false;
        std::string folder = path;
        while (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        Insert(folder, 0);
        return true;
    }
    std::string ext = AsciiLower(ExtensionOf(path));
    if (ext == ".htm" || ext == ".html") {
        Insert(path, 0);
        ++PageCount;
        return true;
    }
    if (ext == ".nws" || ext == ".eml" || ext == ".txt" ||
        MailboxKindOf(path) == MailboxKind::Mbox) {
        Insert(path, 0);
        return true;
    }
    return false;
}

void TMyFiler::AddTagged(const std::string& path, int count) {
    if (!Insert(path, count)) {
        for (Entry& e : files_)
            if (CompareNoCase(e.path, path) == 0)
                e.tag = count;
    }
}

bool TMyFiler::IsMailStore(const std::string& path) {
    // The user's mail stores are read, never marked: an Outlook Express store, an mbox
    // file, a Maildir folder.
    return AsciiLower(ExtensionOf(path)) == ".dbx" || MailboxKindOf(path) != MailboxKind::None;
}

void TMyFiler::RenameTo(int index, std::string_view extension) {
    const std::string& path = FileAt(index);
    LastExtension = ExtensionOf(path);
    if (IsMailStore(path))
        return;
    std::string target = ReplaceExtension(path, extension);
    bool renamed = RenameNoReplace(path, target);
    // When the ".err" name is taken the failed file keeps its name; the error then names
    // that file rather than one a previous import left behind.
    if (extension == ".err")
        ErrorFile = renamed ? target : path;
}

std::string TMyFiler::FirstFolder() const {
    if (files_.empty())
        return {};
    const std::string& path = files_.front().path;
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool TMyFiler::AnyFileWith(const std::string& folder, std::string_view extension) {
    return !ListFilesWithExtension(folder, extension).empty();
}
