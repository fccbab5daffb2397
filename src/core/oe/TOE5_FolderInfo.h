#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TDbxImpl;
class TDbxStream;

// Display name ("Inbox(12)") -> folder file name, and display name -> unread count. Both
// order their keys by plain byte comparison (std::string compares bytes as unsigned
// char, a shorter prefix first): upper case before lower case, ASCII before Shift-JIS.
// Display names and file names are cp932 byte strings as Folders.dbx holds them.
using TOEFolderMap = std::map<std::string, std::string>;
using TOEUnreadMap = std::map<std::string, std::int32_t>;

// The folders of an Outlook Express 5 store that hold unread messages, read from the
// store's Folders.dbx (doc/dbx-format.md). Built by the import command for one run.
class TOE5_FolderInfo {
  public:
    static constexpr std::size_t kHeaderSize = 0x24BC;
    static constexpr std::size_t kFolderCountField = 0xCC;
    static constexpr std::size_t kFolderRootField = 0xEC;
    static constexpr const char* kFolderListFile = "Folders.dbx";

    TOE5_FolderInfo();
    ~TOE5_FolderInfo();
    TOE5_FolderInfo(const TOE5_FolderInfo&) = delete;
    TOE5_FolderInfo& operator=(const TOE5_FolderInfo&) = delete;

    // Empties both maps and fills them from `storeFolder`/Folders.dbx (the name matched as
    // storepath::StoreFilePath does): one entry per folder with unread messages, under its
    // display name; a later folder with the same display name replaces an earlier one.
    // Folders with no unread messages are left out. A damaged folder record ends the list
    // quietly. Throws EFileError when the file cannot be opened and DbxException for a short
    // header or a broken index.
    void LoadFolders(const std::string& storeFolder);
    // The same over an open stream of a Folders.dbx, which stays open.
    void LoadFolders(TDbxStream& stream);

    // Appends the display names in map order.
    void FolderNames(std::vector<std::string>& names) const;

    const TOEFolderMap& FolderMap() const { return folderMap_; }
    const TOEUnreadMap& UnreadMap() const { return unreadMap_; }

    // The folder name, "(", the unread count in decimal, ")".
    static std::string DisplayName(std::string_view folderName, std::uint32_t unread);

  private:
    TOEFolderMap folderMap_;
    TOEUnreadMap unreadMap_;
    std::unique_ptr<TDbxImpl> impl_;
};
