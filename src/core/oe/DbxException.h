#pragma once

#include <string>

#include <stdexcept>

// A store file (.dbx) whose structure cannot be read: a short header, a broken index, a
// broken text-block chain. The texts are fixed; the reader names them in DbxTexts below
// so that callers and tests compare against one spelling (doc/dbx-format.md lists where
// each arises).
//
// A damaged message or folder record is not an error: reading ends quietly with what was
// found before it.
//
// Deliberately outside the EError family: an import that meets a damaged store reports
// "Abnormal Error" for the file, as for any failure that carries no message for the user,
// while the store commands and brevilo-cli show the text itself.
class DbxException : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

namespace DbxTexts {
inline constexpr const char* kShortHeader = "Error reading object from input stream !";
inline constexpr const char* kSubtreeOverflow = "To many Entries to read !";
inline constexpr const char* kShortNode = "Error reading node from input stream !";
inline constexpr const char* kWrongMarker = "Wrong object marker !";
inline constexpr const char* kWrongParent = "Wrong prev !";
inline constexpr const char* kTooManyChildEntries = "Wrong value for child entries !";
inline constexpr const char* kTableOverflow = "To many Entries !";
inline constexpr const char* kWrongEntryTotal = "Wrong number of Max Entries found!";
inline constexpr const char* kShortBlock = "Error reading from input stream !";
// Damage that a well-formed file never shows; refused so that a crafted file cannot make
// the reader allocate without bound, recurse without bound or run in circles.
inline constexpr const char* kCountTooLarge = "Entry count does not fit the file !";
inline constexpr const char* kIndexTooDeep = "Index nodes nested too deeply !";
inline constexpr const char* kNodeLinkedTwice = "Index node linked twice !";
inline constexpr const char* kChainTooLong = "Text block chain does not fit the file !";
}  // namespace DbxTexts
