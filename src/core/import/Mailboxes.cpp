#include "import/Mailboxes.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <string_view>

#include "base/EError.h"
#include "import/FileMask.h"
#include "import/TMboxReader.h"

namespace {

bool IsPlainFile(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Names in a folder, without "." and "..".
std::vector<std::string> NamesIn(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        std::string_view name = entry->d_name;
        if (name != "." && name != "..")
            names.emplace_back(name);
    }
    ::closedir(dir);
    return names;
}

// The delivery time that begins a Maildir file name, as its digits without leading zeros
// (compared by length, then by digit, so no number is too long); empty when there is none.
std::string_view DeliveryDigits(std::string_view name) {
    std::size_t end = 0;
    while (end < name.size() && name[end] >= '0' && name[end] <= '9')
        ++end;
    std::string_view digits = name.substr(0, end);
    while (digits.size() > 1 && digits.front() == '0')
        digits.remove_prefix(1);
    return digits;
}

struct MessageFile {
    std::string name;  // the file's own name
    std::string path;  // relative to the Maildir
};

bool DeliveredBefore(const MessageFile& a, const MessageFile& b) {
    std::string_view da = DeliveryDigits(a.name);
    std::string_view db = DeliveryDigits(b.name);
    if (da.empty() != db.empty())
        return !da.empty();
    if (da.size() != db.size())
        return da.size() < db.size();
    if (int c = da.compare(db); c != 0)
        return c < 0;
    return a.name != b.name ? a.name < b.name : a.path < b.path;
}

void AppendMessages(const std::string& folder, const std::string& prefix,
                    std::vector<std::string>& out) {
    std::vector<MessageFile> files;
    for (const char* sub : {"cur", "new"}) {
        const std::string dir = folder + "/" + sub;
        for (std::string& name : NamesIn(dir)) {
            if (name.front() == '.' || !IsPlainFile(dir + "/" + name))
                continue;
            std::string path = prefix + sub + "/" + name;
            files.push_back({std::move(name), std::move(path)});
        }
    }
    std::sort(files.begin(), files.end(), DeliveredBefore);
    for (MessageFile& f : files)
        out.push_back(std::move(f.path));
}

}  // namespace

bool IsFolder(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsMaildir(const std::string& folder) {
    // tmp/ is not required: archives and copies often drop the empty folder.
    return IsFolder(folder + "/cur") && IsFolder(folder + "/new");
}

MailboxKind MailboxKindOf(const std::string& path, bool* folder) {
    struct stat st;
    if (folder)
        *folder = false;
    if (::stat(path.c_str(), &st) != 0)
        return MailboxKind::None;
    if (folder)
        *folder = S_ISDIR(st.st_mode);
    if (S_ISDIR(st.st_mode))
        return IsMaildir(path) ? MailboxKind::Maildir : MailboxKind::None;
    if (!S_ISREG(st.st_mode))
        return MailboxKind::None;
    std::string ext = AsciiLower(ExtensionOf(path));
    if (ext == ".mbox")
        return MailboxKind::Mbox;
    if (ext.empty() && TMboxReader::StartsWithFromLine(path))
        return MailboxKind::Mbox;
    return MailboxKind::None;
}

std::vector<std::string> MaildirMessages(const std::string& folder, bool subfolders) {
    std::vector<std::string> messages;
    AppendMessages(folder, "", messages);
    if (!subfolders)
        return messages;
    std::vector<std::string> names = NamesIn(folder);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        // Maildir++: subfolders are ".Name" (".Name.Sub" for deeper ones), all at the top.
        if (name.size() > 1 && name.front() == '.' && IsMaildir(folder + "/" + name))
            AppendMessages(folder + "/" + name, name + "/", messages);
    }
    return messages;
}

int CountMailboxMessages(const std::string& path) {
    switch (MailboxKindOf(path)) {
        case MailboxKind::Mbox:
            try {
                return TMboxReader::CountMessages(path);
            } catch (const EError&) {
                return 0;  // the conversion that follows reports it, naming the message
            }
        case MailboxKind::Maildir:
            return static_cast<int>(MaildirMessages(path, false).size());
        default:
            return 0;
    }
}
