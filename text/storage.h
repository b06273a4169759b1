// Append-only storage: a chain of fixed-size blocks that line versions and
// undo headers are packed into without alignment. Blocks never move, so a
// record's address stays valid for the life of the document.
#pragma once

#include <cstddef>
#include <cstdint>

namespace stx {

// Where storage memory comes from. Tests substitute one that fails on demand.
class BlockAllocator {
  public:
    virtual ~BlockAllocator() = default;
    virtual void* Allocate(size_t size) = 0; // null when memory cannot be had
    virtual void Free(void* block) = 0;
};
BlockAllocator& SystemBlockAllocator();

constexpr size_t kBlockSize = 0x108000;
// Before each token the tokenizer keeps this much room, or links to the next block.
constexpr size_t kTokenReserve = 1000;
// A new record (with its undo header) starts in a fresh block when less than
// this remains; the token reserve and links take care of the rest.
constexpr size_t kRecordReserve = 2048;

class Storage {
  public:
    explicit Storage(BlockAllocator* allocator) : allocator_(allocator) {}
    ~Storage() { FreeAll(); }
    Storage(const Storage&) = delete;
    Storage& operator=(const Storage&) = delete;

    // Takes over other's blocks, freeing our own.
    void Adopt(Storage& other);
    void FreeAll();
    // First block allocated and empty.
    bool Init();

    unsigned char* End() const { return end_; }
    size_t Remaining() const { return static_cast<size_t>(limit_ - end_); }
    void Advance(size_t n) { end_ += n; }
    // Ensures the chain from the write position holds at least bytes, counting
    // the room lost to record and token reserves; appends blocks as needed.
    bool Reserve(size_t bytes);
    // Moves the write position to the next block's data area, appending a
    // block if none follows. False when it cannot be had.
    bool NextBlock();
    // Moves the write position back to p, which lies in this chain at or
    // before the write position.
    void Rewind(unsigned char* p);
    // Frees the blocks behind the one holding the write position.
    void FreeBehind();

    struct Mark {
        unsigned char* block;
        unsigned char* end;
    };
    Mark GetMark() const { return {current_, end_}; }
    // Back to a mark taken earlier; the blocks after it stay in the chain.
    void Restore(const Mark& m) {
        current_ = m.block;
        end_ = m.end;
        limit_ = m.block + kBlockSize;
    }

    size_t BlockCount() const { return blockCount_; }
    size_t AllocatedBytes() const { return blockCount_ * kBlockSize; }
    unsigned char* FirstData() const;

  private:
    unsigned char* AppendBlock();
    void FreeAfter(unsigned char* keep);

    BlockAllocator* allocator_;
    unsigned char* first_ = nullptr;   // first block
    unsigned char* current_ = nullptr; // block holding end_
    unsigned char* last_ = nullptr;    // last block of the chain
    unsigned char* end_ = nullptr;     // next write
    unsigned char* limit_ = nullptr;   // end of current_'s data area
    size_t blockCount_ = 0;
};

} // namespace stx
