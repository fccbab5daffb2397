#include "oe/TOE5_FolderInfo.h"

#include <optional>

#include "base/Abort.h"
#include "oe/DbxException.h"
#include "oe/StorePath.h"
#include "oe/TDbxImpl.h"
#include "oe/TDbxRecord.h"
#include "oe/TDbxStream.h"

namespace {

std::uint32_t le32(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

// Folder attribute ids (doc/dbx-format.md, "Folder attributes").
constexpr std::uint8_t kAttrName = 0x02;          // data area, string
constexpr std::uint8_t kAttrFileName = 0x03;      // data area, string
constexpr std::uint8_t kAttrUnreadDirect = 0x88;  // direct, 24 bits

}  // namespace

TOE5_FolderInfo::TOE5_FolderInfo() : impl_(std::make_unique<TDbxImpl>()) {}

TOE5_FolderInfo::~TOE5_FolderInfo() = default;

void TOE5_FolderInfo::LoadFolders(const std::string& storeFolder) {
    folderMap_.clear();
    unreadMap_.clear();
    TDbxStream stream(storepath::StoreFilePath(storeFolder, kFolderListFile));
    struct DetachOnExit {
        TDbxImpl& impl;
        ~DetachOnExit() { impl.Detach(); }
    } detach{*impl_};
    LoadFolders(stream);
}

void TOE5_FolderInfo::LoadFolders(TDbxStream& stream) {
    folderMap_.clear();
    unreadMap_.clear();

    unsigned char header[kHeaderSize];
    if (!stream.ReadExact(0, header, sizeof header))
        throw DbxException(DbxTexts::kShortHeader);
    const std::uint32_t count = le32(header + kFolderCountField);
    const std::uint32_t root = le32(header + kFolderRootField);
    if (count == 0 || root == 0)
        return;
    impl_->LoadIndex(stream, root, count);

    TDbxRecord record;
    for (std::size_t slot = 0; slot < impl_->Count(); ++slot) {
        ThrowIfAborted();
        if (!record.Read(stream, impl_->Offset(slot)))
            break;
        std::optional<std::string_view> name, fileName;
        std::optional<std::uint32_t> unread;
        if (!record.String(kAttrName, name) || !record.String(kAttrFileName, fileName) ||
            !record.Number({kAttrUnreadDirect}, unread))
            break;
        if (unread.value_or(0) == 0)
            continue;
        const std::string display = DisplayName(name.value_or(""), *unread);
        folderMap_[display] = std::string(fileName.value_or(""));
        unreadMap_[display] = static_cast<std::int32_t>(*unread);
    }
}

void TOE5_FolderInfo::FolderNames(std::vector<std::string>& names) const {
    for (const auto& entry : folderMap_)
        names.push_back(entry.first);
}

std::string TOE5_FolderInfo::DisplayName(std::string_view folderName, std::uint32_t unread) {
    return std::string(folderName) + "(" + std::to_string(unread) + ")";
}
