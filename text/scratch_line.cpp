#include "text/scratch_line.h"

namespace stx {

ScratchLine::~ScratchLine() {
    if (data_) allocator_.Free(data_);
}

bool ScratchLine::Load(const TextBuffer& buffer, const LineRecord* record, uint32_t extra) {
    if (!record) return false; // its layout could not be had
    const uint64_t n = uint64_t{TextBuffer::LineChars(record)} + extra;
    if (2 * (n + 1024) > size_) {
        const size_t size = static_cast<size_t>(3 * (n + 1024));
        char* p = static_cast<char*>(allocator_.Allocate(size));
        if (!p) return false;
        if (data_) allocator_.Free(data_);
        data_ = p;
        size_ = size;
    }
    used_ = buffer.CopyLineChars(record, data_, TextBuffer::LineChars(record));
    return true;
}

} // namespace stx
