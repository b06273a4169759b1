// Line numbers are derived, not stored in the records: this index keeps the
// live records in order, in chunks that know their line count and byte total,
// so finding line n, its offset and renumbering after an edit cost a chunk
// walk instead of a pass over every later line.
#pragma once

#include <cstddef>
#include <cstdint>

#include "text/storage.h"

namespace stx {

struct LineRecord;

class LineIndex {
  public:
    static constexpr uint32_t kChunkCapacity = 1024;
    struct Chunk {
        uint32_t count;
        uint64_t bytes; // saved-form length of the chunk's lines
        LineRecord* records[kChunkCapacity];
    };

    explicit LineIndex(BlockAllocator* allocator) : allocator_(allocator) {}
    ~LineIndex() { Clear(); }
    LineIndex(const LineIndex&) = delete;
    LineIndex& operator=(const LineIndex&) = delete;

    void Clear();
    void Adopt(LineIndex& other);

    uint32_t Lines() const { return lines_; }
    // 0-based line.
    LineRecord* At(uint32_t line) const;
    // Sum of the saved-form lengths of the lines before line (0-based).
    uint64_t OffsetOf(uint32_t line) const;
    // Line (0-based) holding byte offset; also the offset of its start.
    uint32_t LineAtOffset(uint64_t offset, uint64_t& lineStart) const;

    // Makes room so that inserting extra more lines cannot fail.
    bool Reserve(uint32_t extra);
    // Appends during a parse (room reserved or allocated as it goes).
    bool Append(LineRecord* record, uint32_t length);
    // Replaces removeCount lines from first by count records starting at
    // firstNew and following their "next" links. Room must be reserved.
    void Splice(uint32_t first, uint32_t removeCount, LineRecord* firstNew, uint32_t count);
    // The length of a line changed in place.
    void AdjustBytes(uint32_t line, int64_t delta);
    void SetRecord(uint32_t line, LineRecord* record);

    size_t MemoryBytes() const;

  private:
    uint32_t FindChunk(uint32_t line, uint32_t& firstLine) const;
    Chunk* NewChunk();
    void ReleaseChunk(Chunk* chunk);
    bool GrowSlots(size_t needed);
    void InsertChunkSlot(size_t at, Chunk* chunk);
    void RemoveChunkSlot(size_t at);

    BlockAllocator* allocator_;
    Chunk** chunks_ = nullptr;
    size_t chunkCount_ = 0;
    size_t slotCapacity_ = 0;
    Chunk* spare_ = nullptr; // reserved chunks, linked through records[0]
    size_t spareCount_ = 0;
    uint32_t lines_ = 0;
};

} // namespace stx
