#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class TWineRegistry;

// One Outlook Express identity offered by "Change OE User...".
struct TOEUser {
    std::string Username;   // cp932, as shown in the list
    std::string StoreRoot;  // the store folder as a Linux path (UTF-8)
};

// Where the Outlook Express 5 store is: the identity keys under HKEY_CURRENT_USER, read
// through the Wine registry (read only). Store folders are returned as Linux paths inside
// the prefix (TWineRegistry::UnixPath); environment references such as %UserProfile% in a
// stored path are not expanded. User names are converted to cp932.
class TOEIdentities {
  public:
    static constexpr const char* kIdentitiesKey = "\\Identities\\";
    static constexpr const char* kIdentityOE5Key = "\\Software\\Microsoft\\Outlook Express\\5.0";
    static constexpr const char* kPlainOEKey = "\\Software\\Microsoft\\Outlook Express";

    // The registry must outlive this object.
    explicit TOEIdentities(const TWineRegistry& registry) : registry_(registry) {}

    // The start-up step. With identities: a saved (non-empty) `oeStoreRoot` is left alone,
    // together with `username`; otherwise the default identity's user name and store root
    // (without one trailing backslash) are taken, and a key that is missing leaves its
    // setting as it was (a missing value reads as empty). Without the Identities key: the
    // store root of the plain Outlook Express key, when that key exists, replaces
    // `oeStoreRoot` as it stands and `username` becomes empty. Returns the identity count
    // (the number of subkeys of Identities; 0 without the key).
    int ResolveStore(std::string& oeStoreRoot, std::string& username) const;

    // The identities that have an Outlook Express 5.0 key, in subkey order, one entry per
    // user name: a later identity with the same name replaces the earlier one's store root
    // and keeps its place.
    std::vector<TOEUser> Users() const;

    // The index of the user to select first: the one whose name equals `current` ignoring
    // the case of ASCII letters (cp932 double-byte characters compare exactly), else 0.
    static std::size_t PreselectedUser(const std::vector<TOEUser>& users, std::string_view current);

  private:
    // The "Store Root" of `key` (missing value: empty) as a Linux path, without one trailing
    // backslash when `trimBackslash`.
    std::string StoreRoot(const std::string& key, bool trimBackslash) const;

    const TWineRegistry& registry_;
};
