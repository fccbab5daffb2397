#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A database folder as a set of tables: one file "<name>.db" per table, where <name> is
// the UTF-8 form of the table's cp932 name (doc/store-schema.md). Table names compare
// without regard to ASCII letter case (cp932-aware: trail bytes are never folded). Only
// looks at the folder; opens no database.
class TTableFolder {
  public:
    // The folder must exist; throws EFileError otherwise.
    explicit TTableFolder(std::string folder);

    const std::string& path() const { return folder_; }

    // Every table of the folder (file names ending in ".db" whose UTF-8 name converts to
    // cp932 and back unchanged), names without the extension, in no particular order.
    std::vector<std::string> ListTables() const;
    // The stored spelling of the table called `name` (letter case ignored), if any.
    std::optional<std::string> FindTable(std::string_view name) const;
    bool TableExists(std::string_view name) const { return FindTable(name).has_value(); }

    // The file of table `name`: the stored spelling when the table exists, else the name
    // as given. Throws EDBError("Invalid database name") for a name that cannot be a file
    // name here (see IsStorableName).
    std::string TableFile(std::string_view name) const;
    // Bytes of all ordinary files named `<name>.<anything>`; 0 when there are none.
    std::uintmax_t TableSize(std::string_view name) const;

    // Whether two table names are the same name.
    static bool SameName(std::string_view a, std::string_view b);
    // Ordering for lists shown to the user: without regard to letter case, then bytewise.
    static bool LessNoCase(std::string_view a, std::string_view b);
    // Whether a name can be kept as a file name: not empty, no "/" or NUL byte, not "." or
    // "..", and its cp932 bytes convert to UTF-8 and back unchanged.
    static bool IsStorableName(std::string_view name);
    // Whether a name is one a user may give a new table: storable and without any of the
    // nine characters \ / : * ? " < > |.
    static bool IsValidNewName(std::string_view name);

  private:
    std::string folder_;
};
