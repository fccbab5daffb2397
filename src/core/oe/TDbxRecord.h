#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

class TDbxStream;

// One message or folder record of a store file (doc/dbx-format.md, "Record"): a 12-byte
// head, then a body of attribute entries and the data area they point into.
//
// Attribute ids with bit 7 set carry their 24-bit value in the entry itself; the others
// point into the data area at a 32-bit number or a NUL-terminated string. When an id
// occurs more than once, the last entry counts.
//
// Damage: Read fails on a short head or body or a wrong marker, as the format defines;
// beyond that, a record whose entries do not fit its body, or whose value looked up lies
// outside the data area, is damaged as well, so nothing is ever read outside the record.
// Readers treat a damaged record as the end of the list.
class TDbxRecord {
  public:
    static constexpr std::size_t kHeadSize = 12;

    // Reads the record at `offset`; false when it is damaged (above). The body buffer is
    // kept between calls, so one object reads a whole file without allocating per record.
    [[nodiscard]] bool Read(TDbxStream& stream, std::uint32_t offset);

    std::uint32_t Offset() const { return offset_; }
    unsigned AttributeCount() const { return count_; }

    // The value of the last entry whose id is one of `ids`: the entry's upper 24 bits for a
    // direct id (0x80-0xFF), the 32-bit little-endian number at its position in the data
    // area otherwise. nullopt when no entry has one of the ids. False when that value lies
    // outside the data area (the record is damaged).
    [[nodiscard]] bool Number(std::initializer_list<std::uint8_t> ids,
                              std::optional<std::uint32_t>& value) const;

    // The NUL-terminated string of the last entry with the data-area id `id` (0x00-0x7F);
    // a string without a NUL ends with the body. nullopt when no entry has the id. False
    // when its position lies outside the data area. The view lives until the next Read.
    [[nodiscard]] bool String(std::uint8_t id, std::optional<std::string_view>& value) const;

  private:
    // Index of the last entry whose id is one of `ids`, or -1.
    long LastEntry(std::initializer_list<std::uint8_t> ids) const;
    std::uint32_t Entry(std::size_t i) const;
    std::string_view DataArea() const;

    std::uint32_t offset_ = 0;
    unsigned count_ = 0;
    std::string body_;
};
