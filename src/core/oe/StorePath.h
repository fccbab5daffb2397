#pragma once

#include <string>
#include <string_view>

// Paths of Outlook Express store files on Linux. A store written on Windows (or by Wine)
// may reach Linux with names in another letter case than the ones its registry and its
// Folders.dbx give (copied from a FAT or NTFS disk, for example), and Folders.dbx names
// the folder files in the Windows ANSI code page (cp932) while Linux names are UTF-8.
// Windows compares file names without regard to case, so these helpers do too, but only
// when the exact name does not exist.
namespace storepath {

// `folder` joined with `cp932Name` (a file name read from a store file, cp932): the first
// that exists of the name converted to UTF-8, the name's bytes as they are, and a file of
// the folder whose name equals the UTF-8 name when ASCII letter case is ignored; when none
// exists, the path with the UTF-8 name. An empty name gives the folder itself.
std::string StoreFilePath(const std::string& folder, std::string_view cp932Name);

// `path` (UTF-8, "/"-separated) with each component that does not exist as written
// replaced by the one entry of its folder that matches it ignoring ASCII letter case (the
// first in name order when several do); components after the first one that cannot be
// matched stay as written.
std::string ResolveCase(const std::string& path);

}  // namespace storepath
