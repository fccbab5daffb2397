#include "oe/TDbxRecord.h"

#include <algorithm>

#include "oe/TDbxStream.h"

namespace {

std::uint32_t le32(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

constexpr std::uint8_t kDirectBit = 0x80;

}  // namespace

bool TDbxRecord::Read(TDbxStream& stream, std::uint32_t offset) {
    offset_ = offset;
    count_ = 0;
    body_.clear();
    unsigned char head[kHeadSize];
    if (!stream.ReadExact(offset, head, sizeof head))
        return false;
    if (le32(head) != offset)
        return false;
    const std::uint32_t length = le32(head + 4);
    // A body longer than the rest of the file is a short read: refused before allocating.
    if (length > stream.Size() - offset - kHeadSize)
        return false;
    const unsigned count = head[0x0A];
    if (std::size_t(count) * 4 > length)
        return false;
    body_.resize(length);
    if (!stream.ReadExact(std::uint64_t(offset) + kHeadSize, body_.data(), length))
        return false;
    count_ = count;
    return true;
}

std::uint32_t TDbxRecord::Entry(std::size_t i) const {
    return le32(reinterpret_cast<const unsigned char*>(body_.data()) + 4 * i);
}

std::string_view TDbxRecord::DataArea() const {
    return std::string_view(body_).substr(std::size_t(count_) * 4);
}

long TDbxRecord::LastEntry(std::initializer_list<std::uint8_t> ids) const {
    for (long i = long(count_) - 1; i >= 0; --i) {
        const std::uint8_t id = Entry(std::size_t(i)) & 0xFF;
        if (std::find(ids.begin(), ids.end(), id) != ids.end())
            return i;
    }
    return -1;
}

bool TDbxRecord::Number(std::initializer_list<std::uint8_t> ids,
                        std::optional<std::uint32_t>& value) const {
    value.reset();
    const long i = LastEntry(ids);
    if (i < 0)
        return true;
    const std::uint32_t entry = Entry(std::size_t(i));
    if (entry & kDirectBit) {
        value = entry >> 8;
        return true;
    }
    const std::string_view data = DataArea();
    const std::size_t position = entry >> 8;
    if (position > data.size() || data.size() - position < 4)
        return false;
    value = le32(reinterpret_cast<const unsigned char*>(data.data()) + position);
    return true;
}

bool TDbxRecord::String(std::uint8_t id, std::optional<std::string_view>& value) const {
    value.reset();
    const long i = LastEntry({id});
    if (i < 0)
        return true;
    const std::string_view data = DataArea();
    const std::size_t position = Entry(std::size_t(i)) >> 8;
    if (position >= data.size())
        return false;
    std::string_view text = data.substr(position);
    value = text.substr(0, text.find('\0'));
    return true;
}
