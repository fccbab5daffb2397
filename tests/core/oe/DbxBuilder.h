#pragma once

// Builds Outlook Express 5 store files (.dbx and Folders.dbx) in the layout of
// doc/dbx-format.md, for tests and the benchmark. Header-only and free of GoogleTest.
//
// Objects are appended after the 0x24BC-byte header at 4-byte-aligned offsets; every
// Add* returns the offset of what it wrote, and Bytes() stays open for corrupting a
// well-formed file on purpose.

#include <cstdint>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace dbxtest {

inline void Put32(std::string& bytes, std::size_t at, std::uint32_t value) {
    if (bytes.size() < at + 4)
        bytes.resize(at + 4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = char((value >> (8 * i)) & 0xFF);
}

inline std::uint32_t Get32(std::string_view bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | static_cast<unsigned char>(bytes[at + i]);
    return v;
}

// One attribute entry of a record.
struct Attr {
    std::uint8_t id = 0;
    std::uint32_t value = 0;  // direct value (24 bits) or the number in the data area
    std::string data;         // data-area bytes when not direct
    bool direct = false;

    // Value in the entry itself (ids 0x80-0xFF).
    static Attr Direct(std::uint8_t id, std::uint32_t value) { return {id, value, {}, true}; }
    // A 32-bit number in the data area.
    static Attr Number(std::uint8_t id, std::uint32_t value) {
        std::string b;
        Put32(b, 0, value);
        return {id, 0, b, false};
    }
    // A NUL-terminated string in the data area.
    static Attr String(std::uint8_t id, std::string_view text) {
        return {id, 0, std::string(text) + '\0', false};
    }
    // Any bytes in the data area (no terminator added).
    static Attr Raw(std::uint8_t id, std::string_view bytes) {
        return {id, 0, std::string(bytes), false};
    }
};

class DbxBuilder {
  public:
    static constexpr std::size_t kHeaderSize = 0x24BC;
    static constexpr std::size_t kNodeSize = 0x27C;
    static constexpr std::size_t kBlockText = 0x200;
    static constexpr std::uint32_t kDownloaded = 0x01, kRead = 0x80;

    enum class Kind { MessageFolder, FolderList };

    explicit DbxBuilder(Kind kind = Kind::MessageFolder) : bytes_(kHeaderSize, '\0') {
        Put32(bytes_, 0, 0xFE12ADCF);
        Put32(bytes_, 4, kind == Kind::MessageFolder ? 0x6F74FDC5 : 0x6F74FDC6);
    }

    std::string& Bytes() { return bytes_; }
    const std::string& Bytes() const { return bytes_; }
    std::uint32_t Size() const { return std::uint32_t(bytes_.size()); }
    void Set32(std::size_t at, std::uint32_t value) { Put32(bytes_, at, value); }
    void Set8(std::size_t at, std::uint8_t value) { bytes_.at(at) = char(value); }

    // Raw bytes at the next aligned offset.
    std::uint32_t Append(std::string_view raw) {
        while (bytes_.size() % 4)
            bytes_ += '\0';
        const auto at = std::uint32_t(bytes_.size());
        bytes_.append(raw);
        return at;
    }
    // `count` zero bytes; for room that is filled in later.
    std::uint32_t Reserve(std::size_t count) { return Append(std::string(count, '\0')); }

    // A record: 12-byte head, the entries, the data area in the order of `attrs`.
    std::uint32_t AddRecord(const std::vector<Attr>& attrs) {
        std::string entries, data;
        for (const Attr& a : attrs) {
            std::uint32_t entry = a.id;
            if (a.direct) {
                entry |= a.value << 8;
            } else {
                entry |= std::uint32_t(data.size()) << 8;
                data += a.data;
            }
            Put32(entries, entries.size(), entry);
        }
        std::string head(12, '\0');
        const std::uint32_t at = Reserve(0);
        Put32(head, 0, at);
        Put32(head, 4, std::uint32_t(entries.size() + data.size()));
        head[0x0A] = char(attrs.size());
        return Append(head + entries + data);
    }

    // A chain of text blocks holding `text`, `perBlock` text bytes a block (the last may
    // hold fewer); one empty block for an empty text. Returns the first block's offset.
    std::uint32_t AddText(std::string_view text, std::size_t perBlock = kBlockText) {
        std::vector<std::uint32_t> blocks;
        std::size_t pos = 0;
        do {
            const std::size_t n = std::min(perBlock, text.size() - pos);
            std::string block(16 + perBlock, '\0');
            const std::uint32_t at = Reserve(0);
            Put32(block, 0, at);
            Put32(block, 4, std::uint32_t(perBlock));
            Put32(block, 8, std::uint32_t(n));
            block.replace(16, n, text.substr(pos, n));
            Append(block);
            blocks.push_back(at);
            pos += n;
        } while (pos < text.size());
        for (std::size_t i = 0; i + 1 < blocks.size(); ++i)
            Put32(bytes_, blocks[i] + 12, blocks[i + 1]);
        return blocks.front();
    }

    // A message record: flags (absent when nullopt) and the text offset, in the direct
    // form when the values fit 24 bits (as Outlook Express writes them), else in the data
    // area; a subject (0x08) for realism.
    std::uint32_t AddMessageRecord(std::uint32_t textOffset, std::optional<std::uint32_t> flags,
                                   std::string_view subject = "subject") {
        std::vector<Attr> attrs{Attr::Direct(0x80, ++messageId_)};
        if (flags)
            attrs.push_back(*flags < (1u << 24) ? Attr::Direct(0x81, *flags)
                                                : Attr::Number(0x01, *flags));
        if (textOffset < (1u << 24))
            attrs.push_back(Attr::Direct(0x84, textOffset));
        else
            attrs.push_back(Attr::Number(0x04, textOffset));
        attrs.push_back(Attr::String(0x08, subject));
        return AddRecord(attrs);
    }

    // Text and record of one message; returns the record's offset.
    std::uint32_t AddMessage(std::string_view text,
                             std::optional<std::uint32_t> flags = kDownloaded) {
        return AddMessageRecord(AddText(text), flags);
    }

    // A folder record of Folders.dbx: id, name, file name (left out when empty) and the
    // unread count (left out when 0).
    std::uint32_t AddFolder(std::string_view name, std::string_view fileName,
                            std::uint32_t unread) {
        std::vector<Attr> attrs{Attr::Direct(0x80, ++folderId_), Attr::String(0x02, name)};
        if (!fileName.empty())
            attrs.push_back(Attr::String(0x03, fileName));
        if (unread)
            attrs.push_back(Attr::Direct(0x88, unread));
        return AddRecord(attrs);
    }

    // An index over `values` in order: nodes of at most `fanout` entries, the values
    // spread over the leftmost child and the entries' children as evenly as they go.
    // Returns the root's offset; Nodes() lists every node written, root first.
    std::uint32_t AddIndex(const std::vector<std::uint32_t>& values, unsigned fanout = 51) {
        if (fanout < 1 || fanout > 51)
            throw std::invalid_argument("fanout");
        return Node(values.data(), values.size(), 0, fanout);
    }
    const std::vector<std::uint32_t>& Nodes() const { return nodes_; }

    // Writes an index node as given (the entries' triples in order).
    struct Entry {
        std::uint32_t value = 0, child = 0, count = 0;
    };
    std::uint32_t AddNode(std::uint32_t parent, std::uint32_t leftChild, std::uint32_t leftCount,
                          const std::vector<Entry>& entries,
                          std::optional<std::uint8_t> entryCount = {}) {
        const std::uint32_t at = Reserve(kNodeSize);
        WriteNode(at, parent, leftChild, leftCount, entries, entryCount);
        return at;
    }
    void WriteNode(std::uint32_t at, std::uint32_t parent, std::uint32_t leftChild,
                   std::uint32_t leftCount, const std::vector<Entry>& entries,
                   std::optional<std::uint8_t> entryCount = {}) {
        Put32(bytes_, at, at);
        Put32(bytes_, at + 0x08, leftChild);
        Put32(bytes_, at + 0x0C, parent);
        bytes_[at + 0x11] = char(entryCount.value_or(std::uint8_t(entries.size())));
        Put32(bytes_, at + 0x14, leftCount);
        for (std::size_t i = 0; i < entries.size() && i < 51; ++i) {
            Put32(bytes_, at + 0x18 + 12 * i, entries[i].value);
            Put32(bytes_, at + 0x1C + 12 * i, entries[i].child);
            Put32(bytes_, at + 0x20 + 12 * i, entries[i].count);
        }
    }

    void SetMessageIndex(std::uint32_t root, std::uint32_t count) {
        Put32(bytes_, 0xC4, count);
        Put32(bytes_, 0xE4, root);
    }
    void SetFolderIndex(std::uint32_t root, std::uint32_t count) {
        Put32(bytes_, 0xCC, count);
        Put32(bytes_, 0xEC, root);
    }
    // Indexes `records` as the message index (or the folder index of a FolderList).
    void IndexMessages(const std::vector<std::uint32_t>& records, unsigned fanout = 51) {
        SetMessageIndex(records.empty() ? 0 : AddIndex(records, fanout),
                        std::uint32_t(records.size()));
    }
    void IndexFolders(const std::vector<std::uint32_t>& records, unsigned fanout = 51) {
        SetFolderIndex(records.empty() ? 0 : AddIndex(records, fanout),
                       std::uint32_t(records.size()));
    }

    void Write(const std::string& path) const {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes_.data(), std::streamsize(bytes_.size()));
        if (!out)
            throw std::runtime_error("cannot write " + path);
    }

  private:
    std::uint32_t Node(const std::uint32_t* values, std::size_t n, std::uint32_t parent,
                       unsigned fanout) {
        const std::uint32_t at = Reserve(kNodeSize);
        nodes_.push_back(at);
        if (n <= fanout) {
            std::vector<Entry> entries;
            for (std::size_t i = 0; i < n; ++i)
                entries.push_back({values[i], 0, 0});
            WriteNode(at, parent, 0, 0, entries);
            return at;
        }
        // c children around c - 1 separating values.
        std::size_t children = (n + 1 + fanout) / (fanout + 1);
        if (children > fanout + 1)
            children = fanout + 1;
        if (children < 2)
            children = 2;
        const std::size_t inChildren = n - (children - 1);
        std::size_t pos = 0;
        std::uint32_t leftChild = 0, leftCount = 0;
        std::vector<Entry> entries;
        for (std::size_t c = 0; c < children; ++c) {
            const std::size_t size = inChildren / children + (c < inChildren % children ? 1 : 0);
            const std::uint32_t child = size ? Node(values + pos, size, at, fanout) : 0;
            pos += size;
            if (c == 0) {
                leftChild = child;
                leftCount = std::uint32_t(size);
            } else {
                entries.back().child = child;
                entries.back().count = std::uint32_t(size);
            }
            if (c + 1 < children)
                entries.push_back({values[pos++], 0, 0});
        }
        WriteNode(at, parent, leftChild, leftCount, entries);
        return at;
    }

    std::string bytes_;
    std::vector<std::uint32_t> nodes_;
    std::uint32_t messageId_ = 0, folderId_ = 0;
};

}  // namespace dbxtest
