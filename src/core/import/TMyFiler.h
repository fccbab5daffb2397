#pragma once

#include <string>
#include <string_view>
#include <vector>

// The import file list: the source files of one import, kept sorted without regard to
// ASCII letter case (a path already present in another case is not added twice), each with
// a tag (the number of messages an Outlook Express store is expected to yield; 0 otherwise),
// and what the last import left behind when a file failed.
//
// One instance lives for the whole session. Not thread-safe: an import run works on a
// copy of the entries and hands its results back on the owner's thread.
class TMyFiler {
  public:
    struct Entry {
        std::string path;
        int tag = 0;
    };

    // Empties the list; PageCount = 0, ScriptPath = "".
    void Clear();

    // Replaces the entries (PageCount and ScriptPath stay) by the plain files of folder
    // whose names match "*" + extension (see FileMask.h); ".html" lists ".htm*".
    void ListFolder(const std::string& folder, std::string_view extension);

    // Adds a dropped path by its lower-cased extension: ".htm"/".html" (counted in
    // PageCount), ".nws", ".eml", ".txt", ".mbox"; a file without an extension that begins
    // with a "From " line (an mbox); a Maildir folder (without a trailing "/"). Anything
    // else, and any other folder, adds nothing. Returns whether the path is in the list.
    bool AddDropped(const std::string& path);

    // Adds a path with its tag (an Outlook Express store and its unread count).
    void AddTagged(const std::string& path, int count);

    const std::string& FileAt(int index) const {
        return files_.at(static_cast<size_t>(index)).path;
    }
    int TagAt(int index) const { return files_.at(static_cast<size_t>(index)).tag; }
    int Count() const { return static_cast<int>(files_.size()); }
    const std::vector<Entry>& Entries() const { return files_; }

    // Gives the file at index the extension (replacing its own). LastExtension = the file's
    // own extension. A ".dbx" store, an mbox file and a Maildir folder keep their names. A rename
    // that cannot be done (the target exists, the file is gone) is ignored. Renaming to ".err" sets
    // ErrorFile to the file's new path, or to its old one when it could not be renamed.
    void RenameTo(int index, std::string_view extension);
    // Whether the path is one of the user's mail stores (.dbx, mbox, Maildir), which an
    // import reads but never renames.
    static bool IsMailStore(const std::string& path);

    // The folder of the first entry, without a trailing "/"; empty for an empty list.
    std::string FirstFolder() const;

    // Whether the folder holds at least one plain file matching "*" + extension.
    static bool AnyFileWith(const std::string& folder, std::string_view extension);

    std::string ErrorFile;
    std::string LastExtension;
    std::string ErrorMessage;
    std::string ScriptPath;
    int ErrorLine = 0;
    int PageCount = 0;

  private:
    // Inserts keeping the order; false (and nothing changed) when present in any case.
    bool Insert(const std::string& path, int tag);

    std::vector<Entry> files_;
};

// Renames without replacing an existing target; false when the target exists or the
// rename fails otherwise.
bool RenameNoReplace(const std::string& from, const std::string& to);

// The path with its extension (from the last dot of the name) replaced; appended when the
// name has none.
std::string ReplaceExtension(const std::string& path, std::string_view extension);
