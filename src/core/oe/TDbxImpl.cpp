#include "oe/TDbxImpl.h"

#include <algorithm>
#include <stdexcept>

#include "base/Abort.h"
#include "oe/DbxException.h"
#include "oe/TDbxStream.h"

namespace {

std::uint32_t le32(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

// Index node fields (doc/dbx-format.md, "Index node").
constexpr std::size_t kNodeMarker = 0x00;
constexpr std::size_t kNodeLeftChild = 0x08;
constexpr std::size_t kNodeParent = 0x0C;
constexpr std::size_t kNodeEntryCount = 0x11;
constexpr std::size_t kNodeLeftCount = 0x14;
constexpr std::size_t kNodeEntries = 0x18;
constexpr std::size_t kEntrySize = 12;

// Text block fields.
constexpr std::size_t kBlockMarker = 0x00;
constexpr std::size_t kBlockLength = 0x08;
constexpr std::size_t kBlockNext = 0x0C;

}  // namespace

void TDbxImpl::LoadIndex(TDbxStream& stream, std::uint32_t root, std::uint32_t count) {
    stream_ = &stream;
    root_ = root;
    table_.clear();
    visited_.clear();
    // Every offset in the table comes from an entry of 12 bytes in a node of the file, so
    // a well-formed file never states more entries than this.
    if (count > stream.Size() / kEntrySize)
        throw DbxException(DbxTexts::kCountTooLarge);
    table_.assign(count, 0);
    Walk(0, root, 0, count, 1);
    visited_.clear();
}

void TDbxImpl::Walk(std::uint32_t parent, std::uint32_t node, std::uint64_t firstSlot,
                    std::uint64_t count, unsigned depth) {
    ThrowIfAborted();
    if (firstSlot + count > table_.size())
        throw DbxException(DbxTexts::kSubtreeOverflow);
    if (depth > kMaxDepth)
        throw DbxException(DbxTexts::kIndexTooDeep);
    unsigned char bytes[kNodeSize];
    if (!stream_->ReadExact(node, bytes, sizeof bytes))
        throw DbxException(DbxTexts::kShortNode);
    if (le32(bytes + kNodeMarker) != node)
        throw DbxException(DbxTexts::kWrongMarker);
    if (le32(bytes + kNodeParent) != parent)
        throw DbxException(DbxTexts::kWrongParent);
    const unsigned entries = bytes[kNodeEntryCount];
    if (entries > kMaxNodeEntries)
        throw DbxException(DbxTexts::kTooManyChildEntries);
    // In a tree every node has one parent entry; a node reached again would let a small
    // file make the walk exponentially long.
    if (!visited_.insert(node).second)
        throw DbxException(DbxTexts::kNodeLinkedTwice);

    std::uint64_t k = 0;
    if (const std::uint32_t left = le32(bytes + kNodeLeftChild); left != 0) {
        const std::uint32_t leftCount = le32(bytes + kNodeLeftCount);
        Walk(node, left, firstSlot, leftCount, depth + 1);
        k += leftCount;
    }
    for (unsigned e = 0; e < entries; ++e) {
        const unsigned char* entry = bytes + kNodeEntries + e * kEntrySize;
        const std::uint32_t value = le32(entry), child = le32(entry + 4),
                            childCount = le32(entry + 8);
        if (value != 0) {
            ++k;
            if (firstSlot + k > table_.size())
                throw DbxException(DbxTexts::kTableOverflow);
            table_[firstSlot + k - 1] = value;
        }
        if (child != 0) {
            Walk(node, child, firstSlot + k, childCount, depth + 1);
            k += childCount;
        }
    }
    if (k != count)
        throw DbxException(DbxTexts::kWrongEntryTotal);
}

std::uint64_t TDbxImpl::TextLength(std::uint32_t firstBlock) const {
    std::uint64_t blocks = 0;
    return ChainLength(firstBlock, blocks);
}

std::uint64_t TDbxImpl::ChainLength(std::uint32_t firstBlock, std::uint64_t& blocks) const {
    if (!stream_)
        throw std::logic_error("TDbxImpl::ReadText: no stream (LoadIndex first)");
    const std::uint64_t fileSize = stream_->Size();
    // Blocks do not overlap in a well-formed file, so a chain never has more blocks than
    // the file has room for block heads, nor more text bytes than the file has bytes.
    const std::uint64_t maxBlocks = fileSize / kBlockHeadSize;
    unsigned char head[kBlockHeadSize];

    std::uint64_t total = 0;
    blocks = 0;
    for (std::uint32_t block = firstBlock; block != 0; block = le32(head + kBlockNext)) {
        ThrowIfAborted();
        if (!stream_->ReadExact(block, head, sizeof head))
            throw DbxException(DbxTexts::kShortBlock);
        if (le32(head + kBlockMarker) != block)
            throw DbxException(DbxTexts::kWrongMarker);
        const std::uint32_t length = le32(head + kBlockLength);
        // The text must lie in the file; found now, before anything is allocated.
        if (length > fileSize - block - kBlockHeadSize)
            throw DbxException(DbxTexts::kShortBlock);
        total += length;
        if (++blocks > maxBlocks || total > fileSize)
            throw DbxException(DbxTexts::kChainTooLong);
    }
    return total;
}

std::string TDbxImpl::ReadText(std::uint32_t firstBlock) const {
    std::uint64_t blocks = 0;
    const std::uint64_t total = ChainLength(firstBlock, blocks);
    if (total == 0)
        return std::string();

    std::string text(static_cast<std::size_t>(total), '\0');
    std::size_t filled = 0;
    // The file may change between the passes: the second one never takes more blocks or
    // copies more bytes than the first one counted.
    unsigned char head[kBlockHeadSize];
    std::uint64_t left = blocks;
    for (std::uint32_t block = firstBlock; block != 0 && left != 0 && filled < text.size();
         block = le32(head + kBlockNext), --left) {
        ThrowIfAborted();
        if (!stream_->ReadExact(block, head, sizeof head))
            throw DbxException(DbxTexts::kShortBlock);
        if (le32(head + kBlockMarker) != block)
            throw DbxException(DbxTexts::kWrongMarker);
        std::size_t length = le32(head + kBlockLength);
        if (length > text.size() - filled)
            length = text.size() - filled;
        if (!stream_->ReadExact(std::uint64_t(block) + kBlockHeadSize, text.data() + filled,
                                length))
            throw DbxException(DbxTexts::kShortBlock);
        filled += length;
    }
    text.resize(std::min(filled, text.find('\0')));
    return text;
}
