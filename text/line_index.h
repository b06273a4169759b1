// Line numbers are derived, not stored in the records: this index cuts the
// live line list into chunks of consecutive nodes (records, and spans of
// lines not yet laid out), each knowing its first node, its line count and
// its byte total. Finding line n, its offset and renumbering after an edit
// cost a chunk scan and a short walk along "next" instead of a pass over
// every later line, and the index costs a few bytes per hundred lines.
// Chunks begin and end at node boundaries.
#pragma once

#include <cstddef>
#include <cstdint>

#include "text/storage.h"

namespace stx {

struct LineRecord;

class LineIndex {
  public:
    static constexpr uint32_t kChunkLines = 256;    // built chunk size
    static constexpr uint32_t kMaxChunkLines = 512; // split above this

    struct Chunk {
        LineRecord* first;
        uint32_t count;
        uint64_t bytes; // saved-form length (characters + 2 per line)
    };

    explicit LineIndex(BlockAllocator* allocator) : allocator_(allocator) {}
    ~LineIndex() { Clear(); }
    LineIndex(const LineIndex&) = delete;
    LineIndex& operator=(const LineIndex&) = delete;

    void Clear();
    void Adopt(LineIndex& other);

    uint32_t Lines() const { return lines_; }

    // The node holding a line or a byte offset, with the number (0-based)
    // and offset of its first line. Past the end: the last node.
    struct Place {
        LineRecord* node;
        uint32_t firstLine;
        uint64_t offset;
    };
    Place AtLine(uint32_t line) const;
    Place AtOffset(uint64_t offset) const;
    uint64_t Bytes() const { return bytes_; } // sum of all lines' saved-form lengths

    // Makes room so that the next Splice inserting up to extra lines cannot fail.
    bool Reserve(uint32_t extra);
    // Appends a node during a parse.
    bool Append(LineRecord* node, uint32_t lines, uint64_t bytes) {
        if (count_ == 0 || chunks_[count_ - 1].count + lines > kChunkLines) {
            if (!Grow(count_ + 1)) return false;
            if (count_ % kGroup == 0) groups_[count_ / kGroup] = Sum{0, 0};
            chunks_[count_++] = Chunk{node, 0, 0};
        }
        Chunk& c = chunks_[count_ - 1];
        Sum& g = groups_[(count_ - 1) / kGroup];
        c.count += lines;
        c.bytes += bytes;
        g.count += lines;
        g.bytes += bytes;
        lines_ += lines;
        bytes_ += bytes;
        return true;
    }
    // Replaces removeCount lines from first (whose nodes start at firstOld
    // and follow their "next" links) by count lines of nodes starting at
    // firstNew. Call after relinking the list; room must be reserved.
    void Splice(uint32_t first, uint32_t removeCount, LineRecord* firstOld, LineRecord* firstNew,
                uint32_t count);
    // The length of a line changed in place.
    void AdjustBytes(uint32_t line, int64_t delta);

    // Walks the list from firstLine and checks every chunk against it.
    bool Verify(const LineRecord* firstLine) const;
    size_t MemoryBytes() const {
        return capacity_ * sizeof(Chunk) + GroupCapacity(capacity_) * sizeof(Sum);
    }

  private:
    // Sums over runs of kGroup chunks: a lookup skips whole groups first.
    static constexpr size_t kGroup = 64;
    struct Sum {
        uint64_t bytes;
        uint32_t count;
    };
    static size_t GroupCapacity(size_t chunks) { return chunks / kGroup + 1; }
    // Sums again the groups that hold chunks [from, to).
    void Resum(size_t from, size_t to);

    size_t FindChunk(uint32_t line, uint32_t& firstLine, uint64_t* offset = nullptr) const;
    LineRecord* First(size_t chunk) const;
    bool Grow(size_t needed);
    void InsertChunk(size_t at, const Chunk& chunk);
    void RemoveChunk(size_t at);

    BlockAllocator* allocator_;
    Chunk* chunks_ = nullptr;
    Sum* groups_ = nullptr;
    size_t count_ = 0;
    size_t capacity_ = 0;
    uint32_t lines_ = 0;
    uint64_t bytes_ = 0;
    bool shifted_ = false; // a chunk was inserted or removed
};

} // namespace stx
