#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

class TDbxStream;

// The index walk and the text reader shared by the message reader (TOE5_DbxParser) and
// the folder list (TOE5_FolderInfo). The layout is in doc/dbx-format.md.
//
// LoadIndex fills the offset table: one 32-bit record offset per index entry, in index
// order. The stream is not owned: ReadText reads the stream LoadIndex was given, which must
// still be open; whoever closes it first calls Detach (ReadText then throws logic_error). Errors
// are DbxException with the fixed texts of DbxException.h. Long walks call ThrowIfAborted().
class TDbxImpl {
  public:
    static constexpr std::size_t kNodeSize = 0x27C;
    static constexpr unsigned kMaxNodeEntries = 51;
    static constexpr std::size_t kBlockHeadSize = 16;
    // No real index comes near this depth (51 entries a node reach 2^32 entries within six
    // levels); it only stops a crafted chain of nodes from exhausting the stack.
    static constexpr unsigned kMaxDepth = 64;

    // Sizes the offset table to `count` zeroed slots and walks the index from `root`.
    // Refuses a count that the file cannot hold (each entry takes 12 bytes of a node), a
    // tree deeper than kMaxDepth and a node reached twice, besides the format's own checks.
    void LoadIndex(TDbxStream& stream, std::uint32_t root, std::uint32_t count);

    // The text of the block chain that starts at `firstBlock`, up to its first NUL byte.
    // Two passes over the chain: the first sums the block sizes, the second copies into
    // one allocation of exactly that size. A chain that runs past the end of the file
    // fails as a short read; one that would hold more blocks or bytes than the file does
    // (a loop) fails with DbxTexts::kChainTooLong.
    std::string ReadText(std::uint32_t firstBlock) const;
    // ReadText's first pass alone: the chain's total block length (the text may end earlier
    // at a NUL), with the same checks and errors, reading only the block heads.
    std::uint64_t TextLength(std::uint32_t firstBlock) const;

    // The offset table: Count() slots, read by position.
    std::size_t Count() const { return table_.size(); }
    std::uint32_t Offset(std::size_t slot) const { return table_[slot]; }
    const std::vector<std::uint32_t>& Offsets() const { return table_; }

    // Forgets the stream (the table stays).
    void Detach() { stream_ = nullptr; }

  private:
    // The first pass of ReadText: the summed block lengths; `blocks` gets the chain's length.
    std::uint64_t ChainLength(std::uint32_t firstBlock, std::uint64_t& blocks) const;
    void Walk(std::uint32_t parent, std::uint32_t node, std::uint64_t firstSlot,
              std::uint64_t count, unsigned depth);

    TDbxStream* stream_ = nullptr;
    std::uint32_t root_ = 0;
    std::vector<std::uint32_t> table_;
    std::unordered_set<std::uint32_t> visited_;
};
