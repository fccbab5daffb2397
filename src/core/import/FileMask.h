#pragma once

#include <string>
#include <string_view>
#include <vector>

// Folder listing by an extension mask, with the rules users know from the import folder:
//   - letter case is ignored (ASCII);
//   - blanks at the end of the extension are ignored (".txt " lists ".txt" files);
//   - an extension of exactly three letters also finds files whose extension merely
//     begins with it (".htm" lists ".html", ".txt" lists ".txt2");
//   - a final "*" matches any rest (".htm*").
// Only plain files are listed: no folders, no hidden (dot) files.

// Whether a file name (no folder) matches "*" + extension under the rules above.
bool MatchesExtensionMask(std::string_view fileName, std::string_view extension);

// Names (no folder) of the plain files of folder that match, in no particular order.
// A folder that cannot be read gives an empty list.
std::vector<std::string> ListFilesWithExtension(const std::string& folder,
                                                std::string_view extension);

// The extension of a path: from the last dot of its last component, dot included; empty
// when the name has no dot.
std::string ExtensionOf(std::string_view path);

// ASCII lower case.
std::string AsciiLower(std::string_view text);

// Byte-wise comparison that ignores ASCII letter case: <0, 0, >0.
int CompareNoCase(std::string_view a, std::string_view b);
