#include "oe/TOEIdentities.h"

#include <optional>

#include "oe/TWineRegistry.h"
#include "text/Cp932.h"

namespace {

std::string cp932Text(const std::optional<std::string>& utf8) {
    return utf8 ? cp932::fromUtf8(*utf8) : std::string();
}

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

// Compares two cp932 texts folding only single-byte ASCII letters: a trail byte that
// looks like a letter belongs to its double-byte character and is compared exactly.
bool equalNoCaseCp932(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size();) {
        const std::size_t n = cp932::charLength(a, i);
        if (cp932::charLength(b, i) != n)
            return false;
        if (n == 1) {
            if (lowerAscii(a[i]) != lowerAscii(b[i]))
                return false;
        } else if (a.compare(i, n, b, i, n) != 0) {
            return false;
        }
        i += n;
    }
    return true;
}

}  // namespace

std::string TOEIdentities::StoreRoot(const std::string& key, bool trimBackslash) const {
    std::string root = registry_.ReadString(key, "Store Root").value_or("");
    // UTF-8 holds no byte 0x5C inside a multi-byte character, so this never cuts one.
    if (trimBackslash && !root.empty() && root.back() == '\\')
        root.pop_back();
    if (root.empty())
        return root;
    return registry_.UnixPath(root);
}

int TOEIdentities::ResolveStore(std::string& oeStoreRoot, std::string& username) const {
    if (registry_.KeyExists(kIdentitiesKey)) {
        const int count = static_cast<int>(registry_.SubKeys(kIdentitiesKey).size());
        if (oeStoreRoot.empty()) {
            const std::string id =
                registry_.ReadString(kIdentitiesKey, "Default User ID").value_or("");
            const std::string identityKey = std::string(kIdentitiesKey) + id;
            if (registry_.KeyExists(identityKey))
                username = cp932Text(registry_.ReadString(identityKey, "Username"));
            const std::string oeKey = identityKey + kIdentityOE5Key;
            if (registry_.KeyExists(oeKey))
                oeStoreRoot = StoreRoot(oeKey, true);
        }
        return count;
    }
    if (registry_.KeyExists(kPlainOEKey)) {
        oeStoreRoot = StoreRoot(kPlainOEKey, false);
        username.clear();
    }
    return 0;
}

std::vector<TOEUser> TOEIdentities::Users() const {
    std::vector<TOEUser> users;
    if (!registry_.KeyExists(kIdentitiesKey))
        return users;
    for (const std::string& subkey : registry_.SubKeys(kIdentitiesKey)) {
        const std::string identityKey = std::string(kIdentitiesKey) + subkey;
        const std::string name = cp932Text(registry_.ReadString(identityKey, "Username"));
        const std::string userId = registry_.ReadString(identityKey, "User ID").value_or("");
        const std::string oeKey = std::string(kIdentitiesKey) + userId + kIdentityOE5Key;
        if (!registry_.KeyExists(oeKey))
            continue;
        const std::string root = StoreRoot(oeKey, true);
        bool replaced = false;
        for (TOEUser& user : users) {
            if (user.Username == name) {
                user.StoreRoot = root;
                replaced = true;
            }
        }
        if (!replaced)
            users.push_back({name, root});
    }
    return users;
}

std::size_t TOEIdentities::PreselectedUser(const std::vector<TOEUser>& users,
                                           std::string_view current) {
    for (std::size_t i = 0; i < users.size(); ++i)
        if (equalNoCaseCp932(users[i].Username, current))
            return i;
    return 0;
}
