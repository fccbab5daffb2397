#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace HTMLParser::internal {

// A fixed set of short names with a value each, looked up by hashing the name's length and
// a few of its bytes: the scan asks it once or twice per tag, and an ordered set of strings
// spent more on comparisons than the rest of the tag's reading. Names are stored as views
// of static text; at most Slots / 2 of them.
template <typename Value, std::size_t Slots = 256>
class NameTable {
  public:
    void Add(std::string_view name, Value value) {
        std::size_t i = Hash(name);
        while (!names_[i].empty())
            i = (i + 1) % Slots;
        names_[i] = name;
        values_[i] = value;
        ++count_;
    }
    // The value of a name, or nullptr.
    const Value* Find(std::string_view name) const {
        if (name.empty())
            return nullptr;
        for (std::size_t i = Hash(name);; i = (i + 1) % Slots) {
            const std::string_view n = names_[i];
            if (n.empty())
                return nullptr;
            if (n.size() == name.size() && Same(n, name))
                return &values_[i];
        }
    }
    std::size_t Count() const { return count_; }

  private:
    // The names are a few bytes long: a loop beats a call to memcmp.
    static bool Same(std::string_view a, std::string_view b) {
        for (std::size_t i = 0; i < a.size(); ++i)
            if (a[i] != b[i])
                return false;
        return true;
    }

    static std::size_t Hash(std::string_view name) {
        const std::size_t n = name.size();
        if (n == 0)
            return 0;
        const auto first = static_cast<unsigned char>(name[0]);
        const auto second = static_cast<unsigned char>(name[n > 1 ? 1 : 0]);
        const auto last = static_cast<unsigned char>(name[n - 1]);
        return (n * 97 + first * 31 + second * 7 + last * 131) % Slots;
    }

    std::array<std::string_view, Slots> names_{};
    std::array<Value, Slots> values_{};
    std::size_t count_ = 0;
};

}  // namespace HTMLParser::internal
