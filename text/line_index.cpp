#include "text/line_index.h"

#include <cstring>

#include "text/line_record.h"

namespace stx {

using layout::Length;
using layout::LiveFirst;
using layout::Next;
using layout::NodeLines;

namespace {
// A chunk this small after a removal is merged into its neighbour.
constexpr uint32_t kSmall = LineIndex::kChunkLines / 4;
} // namespace

void LineIndex::Clear() {
    if (chunks_) allocator_->Free(chunks_);
    if (groups_) allocator_->Free(groups_);
    chunks_ = nullptr;
    groups_ = nullptr;
    count_ = capacity_ = 0;
    lines_ = 0;
    bytes_ = 0;
}

void LineIndex::Adopt(LineIndex& other) {
    Clear();
    allocator_ = other.allocator_;
    chunks_ = other.chunks_;
    groups_ = other.groups_;
    count_ = other.count_;
    capacity_ = other.capacity_;
    lines_ = other.lines_;
    bytes_ = other.bytes_;
    other.chunks_ = nullptr;
    other.groups_ = nullptr;
    other.count_ = other.capacity_ = 0;
    other.lines_ = 0;
    other.bytes_ = 0;
}

bool LineIndex::Grow(size_t needed) {
    if (needed <= capacity_) return true;
    size_t cap = capacity_ ? capacity_ * 2 : 64;
    while (cap < needed)
        cap *= 2;
    auto* c = static_cast<Chunk*>(allocator_->Allocate(cap * sizeof(Chunk)));
    auto* g =
        c ? static_cast<Sum*>(allocator_->Allocate(GroupCapacity(cap) * sizeof(Sum))) : nullptr;
    if (!g) {
        if (c) allocator_->Free(c);
        return false;
    }
    if (count_) {
        std::memcpy(c, chunks_, count_ * sizeof(Chunk));
        std::memcpy(g, groups_, ((count_ + kGroup - 1) / kGroup) * sizeof(Sum));
    }
    if (chunks_) allocator_->Free(chunks_);
    if (groups_) allocator_->Free(groups_);
    chunks_ = c;
    groups_ = g;
    capacity_ = cap;
    return true;
}

void LineIndex::Resum(size_t from, size_t to) {
    for (size_t g = from / kGroup; g * kGroup < to && g * kGroup < count_; ++g) {
        Sum s{0, 0};
        const size_t end = (g + 1) * kGroup < count_ ? (g + 1) * kGroup : count_;
        for (size_t i = g * kGroup; i < end; ++i) {
            s.count += chunks_[i].count;
            s.bytes += chunks_[i].bytes;
        }
        groups_[g] = s;
    }
}

void LineIndex::InsertChunk(size_t at, const Chunk& chunk) {
    shifted_ = true;
    std::memmove(chunks_ + at + 1, chunks_ + at, (count_ - at) * sizeof(Chunk));
    chunks_[at] = chunk;
    ++count_;
}

void LineIndex::RemoveChunk(size_t at) {
    shifted_ = true;
    std::memmove(chunks_ + at, chunks_ + at + 1, (count_ - at - 1) * sizeof(Chunk));
    --count_;
}

size_t LineIndex::FindChunk(uint32_t line, uint32_t& firstLine, uint64_t* offset) const {
    // Scan from whichever end is nearer, whole groups first; a line at the
    // very end belongs to the last chunk.
    const size_t groups = (count_ + kGroup - 1) / kGroup;
    if (line < lines_ / 2) {
        uint32_t first = 0;
        uint64_t bytes = 0;
        size_t g = 0;
        for (; g + 1 < groups && line >= first + groups_[g].count; ++g) {
            first += groups_[g].count;
            bytes += groups_[g].bytes;
        }
        size_t i = g * kGroup;
        while (i + 1 < count_ && line >= first + chunks_[i].count) {
            bytes += chunks_[i].bytes;
            first += chunks_[i++].count;
        }
        firstLine = first;
        if (offset) *offset = bytes;
        return i;
    }
    uint32_t first = lines_;
    uint64_t bytes = bytes_;
    size_t g = groups;
    while (g > 1 && line < first - groups_[g - 1].count) {
        --g;
        first -= groups_[g].count;
        bytes -= groups_[g].bytes;
    }
    size_t i = g * kGroup < count_ ? g * kGroup : count_;
    while (i > 0) {
        --i;
        first -= chunks_[i].count;
        bytes -= chunks_[i].bytes;
        if (line >= first) break;
    }
    firstLine = first;
    if (offset) *offset = bytes;
    return i;
}

// A chunk's first node as the list holds it now: a span expanded since the
// chunk was last touched gives way to its first record.
LineRecord* LineIndex::First(size_t chunk) const {
    return LiveFirst(chunks_[chunk].first);
}

LineIndex::Place LineIndex::AtLine(uint32_t line) const {
    uint32_t first;
    uint64_t offset;
    const size_t i = FindChunk(line, first, &offset);
    const Chunk& c = chunks_[i];
    LineRecord* r = First(i);
    for (uint32_t k = 0;;) {
        const uint32_t n = NodeLines(r);
        if (line < first + n || k + n >= c.count) break;
        first += n;
        k += n;
        offset += Length(r);
        r = Next(r);
    }
    return Place{r, first, offset};
}

LineIndex::Place LineIndex::AtOffset(uint64_t offset) const {
    uint64_t sum = 0;
    uint32_t first = 0;
    const size_t groups = (count_ + kGroup - 1) / kGroup;
    size_t g = 0;
    for (; g + 1 < groups && sum + groups_[g].bytes <= offset; ++g) {
        sum += groups_[g].bytes;
        first += groups_[g].count;
    }
    size_t i = g * kGroup;
    for (; i + 1 < count_ && sum + chunks_[i].bytes <= offset; ++i) {
        sum += chunks_[i].bytes;
        first += chunks_[i].count;
    }
    const Chunk& c = chunks_[i];
    LineRecord* r = First(i);
    for (uint32_t k = 0;;) {
        const uint32_t n = NodeLines(r);
        if (k + n >= c.count || sum + Length(r) > offset) break;
        sum += Length(r);
        first += n;
        k += n;
        r = Next(r);
    }
    return Place{r, first, sum};
}

bool LineIndex::Reserve(uint32_t extra) {
    return Grow(count_ + extra / (kMaxChunkLines / 2) + 4);
}

void LineIndex::AdjustBytes(uint32_t line, int64_t delta) {
    uint32_t first;
    const size_t i = FindChunk(line, first);
    Chunk& c = chunks_[i];
    c.bytes = static_cast<uint64_t>(static_cast<int64_t>(c.bytes) + delta);
    groups_[i / kGroup].bytes = static_cast<uint64_t>(int64_t(groups_[i / kGroup].bytes) + delta);
    bytes_ = static_cast<uint64_t>(static_cast<int64_t>(bytes_) + delta);
}

void LineIndex::Splice(uint32_t first, uint32_t removeCount, LineRecord* firstOld,
                       LineRecord* firstNew, uint32_t count) {
    uint32_t chunkFirst;
    size_t ci = FindChunk(first, chunkFirst);
    const size_t touched = ci > 0 ? ci - 1 : 0;
    shifted_ = false;

    // Removal, node by node: the removed nodes still link to their old
    // successors, and chunk boundaries fall between nodes.
    uint32_t pos = first - chunkFirst;
    uint32_t left = removeCount;
    LineRecord* r = firstOld;
    while (left) {
        Chunk& c = chunks_[ci];
        uint32_t removed = 0;
        while (left && removed < c.count - pos) {
            const uint32_t n = NodeLines(r);
            c.bytes -= Length(r);
            bytes_ -= Length(r);
            removed += n;
            left -= n;
            r = Next(r);
        }
        c.count -= removed;
        lines_ -= removed;
        if (c.count == 0) {
            RemoveChunk(ci);
        } else {
            if (pos == 0) c.first = r; // its old first node is gone
            if (left) {
                ++ci;
                pos = 0;
            }
        }
    }
    if (removeCount && count_ > 1) {
        // Keep chunks from fragmenting into many small ones.
        size_t at = ci < count_ ? ci : count_ - 1;
        if (chunks_[at].count < kSmall) {
            size_t a = at > 0 ? at - 1 : at;
            if (a + 1 < count_ && chunks_[a].count + chunks_[a + 1].count <= kMaxChunkLines) {
                chunks_[a].count += chunks_[a + 1].count;
                chunks_[a].bytes += chunks_[a + 1].bytes;
                RemoveChunk(a + 1);
            }
        }
    }
    // The group sums lead the next lookup.
    Resum(touched, shifted_ ? count_ : ci + 1);
    if (!count) return;

    // Insertion before line first (at the end when first == lines_).
    shifted_ = false;
    if (count_ == 0) {
        chunks_[count_++] = Chunk{firstNew, 0, 0};
        shifted_ = true;
        ci = 0;
        pos = 0;
    } else {
        ci = FindChunk(first, chunkFirst);
        pos = first - chunkFirst;
    }
    const size_t inserted = ci;
    Chunk& c = chunks_[ci];
    if (pos == 0) c.first = firstNew;
    LineRecord* n = firstNew;
    for (uint32_t k = 0; k < count; n = Next(n)) {
        c.bytes += Length(n);
        bytes_ += Length(n);
        k += NodeLines(n);
    }
    c.count += count;
    lines_ += count;

    // Split an oversized chunk into chunks of about the built size.
    while (chunks_[ci].count > kMaxChunkLines) {
        Chunk& big = chunks_[ci];
        LineRecord* x = First(ci);
        uint64_t bytes = 0;
        uint32_t lines = 0;
        do {
            bytes += Length(x);
            lines += NodeLines(x);
            x = Next(x);
        } while (lines + NodeLines(x) <= kChunkLines);
        Chunk rest{x, big.count - lines, big.bytes - bytes};
        big.count = lines;
        big.bytes = bytes;
        InsertChunk(ci + 1, rest);
        ++ci;
    }
    Resum(inserted, shifted_ ? count_ : inserted + 1);
}

bool LineIndex::Verify(const LineRecord* firstLine) const {
    const LineRecord* r = firstLine;
    uint32_t lines = 0;
    uint64_t total = 0;
    for (size_t i = 0; i < count_; ++i) {
        const Chunk& c = chunks_[i];
        if (c.count == 0 || First(i) != r) return false;
        uint64_t bytes = 0;
        uint32_t k = 0;
        for (; k < c.count; r = Next(r)) {
            bytes += Length(r);
            k += NodeLines(r);
        }
        if (k != c.count || bytes != c.bytes) return false;
        lines += c.count;
        total += bytes;
    }
    for (size_t g = 0; g * kGroup < count_; ++g) {
        Sum sum{0, 0};
        for (size_t i = g * kGroup; i < count_ && i < (g + 1) * kGroup; ++i) {
            sum.count += chunks_[i].count;
            sum.bytes += chunks_[i].bytes;
        }
        if (sum.count != groups_[g].count || sum.bytes != groups_[g].bytes) return false;
    }
    return lines == lines_ && total == bytes_;
}

} // namespace stx
