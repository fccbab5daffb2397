#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Read-only view of the HKEY_CURRENT_USER hive of a Wine prefix: its `user.reg` file, where
// the Outlook Express identity and store keys live on Linux. Nothing is ever written.
//
// The file ("WINE REGISTRY Version 2") holds one section per key, `[Software\\Microsoft]`
// followed by a time stamp, and one line per value: `"name"="text"` (REG_SZ),
// `"name"=str(2):"text"` (REG_EXPAND_SZ; other types in the same form),
// `"name"=dword:0000002a`, `"name"=hex:..` and `"name"=hex(2):41,00,..` (bytes, UTF-16LE for
// string types; long lists continue on the next line after a final backslash); `@` names
// the default value. Inside quotes a backslash escapes: \\ \" \] \n \r \t \a \b \e \f \v,
// \xHHHH (one to four hex digits, a UTF-16 code unit) and \ooo (one to three octal
// digits). Lines starting with ';' or '#' are comments. Malformed lines are skipped.
//
// Key paths are given with "\" between names, relative to HKEY_CURRENT_USER; a leading or
// trailing backslash is ignored. Key and value names compare without regard to ASCII
// letter case, as Windows compares them. Wine writes no section for a key that has
// subkeys but no values, so a key exists when it has a section or any key lies below it.
//
// Names and values come out as UTF-8. An absent or unreadable file is an empty registry.
class TWineRegistry {
  public:
    TWineRegistry() = default;

    // The registry of the prefix whose user.reg is at `userRegPath`; the prefix folder
    // (for UnixPath) is the file's folder.
    static TWineRegistry Load(const std::string& userRegPath);
    // The registry in `text`, as if read from a user.reg in the folder `prefix`.
    static TWineRegistry FromText(std::string_view text, const std::string& prefix = {});
    // $WINEPREFIX/user.reg when WINEPREFIX is set and not empty, else ~/.wine/user.reg
    // (empty when HOME is not set either).
    static std::string DefaultPath();

    bool KeyExists(std::string_view key) const;
    // The names of the key's direct subkeys, sorted without regard to ASCII case (the
    // order Windows and Wine enumerate them in).
    std::vector<std::string> SubKeys(std::string_view key) const;
    // A REG_SZ or REG_EXPAND_SZ value as stored (environment references not expanded), up
    // to its first NUL; nullopt when the key or the value is missing or of another type.
    std::optional<std::string> ReadString(std::string_view key, std::string_view name) const;

    const std::string& Prefix() const { return prefix_; }
    // A Windows path as a path inside the prefix: "C:\a\b" becomes <prefix>/dosdevices/c:/a/b
    // (Wine's drive links; <prefix>/drive_c for C: when the link is missing), with names
    // matched without regard to case when they do not exist as written. Other paths only
    // get "/" for "\".
    std::string UnixPath(std::string_view windowsPath) const;

  private:
    struct Value {
        std::uint32_t type = 0;
        std::string text;  // string types, UTF-8, up to the first NUL
    };
    struct Key {
        std::string name;                     // the path as written, UTF-8
        std::map<std::string, Value> values;  // by folded name
    };

    const Key* FindKey(std::string_view key) const;

    std::string prefix_;
    std::map<std::string, Key> keys_;  // by folded path
};
