// The scratch line: one buffer, from the document's allocator, that an edit
// rebuilds a line in and that word movement reads a line from. It grows to
// 3 x (n + 1024) whenever 2 x (n + 1024) exceeds its size, so it always holds
// two joined lines of n characters plus what an edit adds; old contents are
// not kept.
#pragma once

#include <cstddef>
#include <cstdint>

#include "text/text_buffer.h"

namespace stx {

class ScratchLine {
  public:
    explicit ScratchLine(BlockAllocator& allocator) : allocator_(allocator) {}
    ~ScratchLine();
    ScratchLine(const ScratchLine&) = delete;
    ScratchLine& operator=(const ScratchLine&) = delete;

    // Copies the record's characters to the start, with room for `extra` more
    // characters (and as many again after them); false when memory ran out,
    // here or earlier when the line was to be laid out (a null record).
    bool Load(const TextBuffer& buffer, const LineRecord* record, uint32_t extra);
    char* Data() const { return data_; }
    // The characters Load copied.
    size_t Used() const { return used_; }

  private:
    BlockAllocator& allocator_;
    char* data_ = nullptr;
    size_t size_ = 0;
    size_t used_ = 0;
};

} // namespace stx
