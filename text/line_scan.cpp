#include "text/line_scan.h"

#include <cstring>
#include <thread>

#include "text/text_buffer.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace stx {

namespace {

// Bit i of each mask: byte p[i] is a TAB, a CR, an LF.
struct BlockMasks {
    uint64_t tab, cr, lf;
};

inline BlockMasks Masks(const unsigned char* p) {
#if defined(__SSE2__)
    const __m128i tab = _mm_set1_epi8('\t');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    BlockMasks m{0, 0, 0};
    for (int i = 0; i < 4; ++i) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
        const int shift = 16 * i;
        m.tab |= uint64_t{static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, tab)))}
                 << shift;
        m.cr |= uint64_t{static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, cr)))} << shift;
        m.lf |= uint64_t{static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, lf)))} << shift;
    }
    return m;
#else
    BlockMasks m{0, 0, 0};
    for (int i = 0; i < 64; ++i) {
        const uint64_t bit = uint64_t{1} << i;
        if (p[i] == '\t') m.tab |= bit;
        if (p[i] == '\r') m.cr |= bit;
        if (p[i] == '\n') m.lf |= bit;
    }
    return m;
#endif
}

// The bits below bit n (n up to 64).
inline uint64_t Below(size_t n) {
    return n >= 64 ? ~uint64_t{0} : (uint64_t{1} << n) - 1;
}

} // namespace

LayoutParams::LayoutParams(const CharWidthTable& table)
    : widths(table.widths), tab(table.TabWidth()),
      tabReciprocal(((uint64_t{1} << 32) + tab - 1) / tab), uniformWidth(table.widths[0]) {
    for (int c = 1; c < 256 && uniformWidth; ++c)
        if (c != '\t' && table.widths[c] != uniformWidth) uniformWidth = 0;
}

uint64_t LayoutParams::SumWidths(const unsigned char* p, const unsigned char* e) const {
    // Four sums, so the additions need not wait for one another.
    uint64_t a = 0, b = 0, c = 0, d = 0;
    for (; e - p >= 4; p += 4) {
        a += widths[p[0]];
        b += widths[p[1]];
        c += widths[p[2]];
        d += widths[p[3]];
    }
    for (; p < e; ++p)
        a += widths[*p];
    return a + b + c + d;
}

// ---------------------------------------------------------------------------

SpanList::~SpanList() {
    if (data_) allocator_->Free(data_);
}

bool SpanList::Push(const SpanInfo& s) {
    if (size_ == capacity_) {
        const size_t cap = capacity_ ? capacity_ * 2 : 256;
        auto* d = static_cast<SpanInfo*>(allocator_->Allocate(cap * sizeof(SpanInfo)));
        if (!d) return false;
        if (size_) std::memcpy(d, data_, size_ * sizeof(SpanInfo));
        if (data_) allocator_->Free(data_);
        data_ = d;
        capacity_ = cap;
    }
    data_[size_++] = s;
    return true;
}

// ---------------------------------------------------------------------------

LineScanner::LineScanner(const unsigned char* text, size_t size, bool convert,
                         const LayoutParams& layout, const ParseGrain& grain, SpanList* spans)
    : text_(text), size_(size), convert_(convert), layout_(layout), grain_(grain), spans_(spans) {}

void LineScanner::Start(size_t lineStart) {
    pos_ = lineStart_ = segStart_ = spanBegin_ = lineStart;
    x_ = 0;
}

inline bool LineScanner::EndLine(size_t charsEnd, size_t next, bool lone) {
    const uint64_t width = x_ + layout_.Width(text_ + segStart_, text_ + charsEnd);
    if (width > widest_) widest_ = width;
    const uint64_t saved = uint64_t(charsEnd - lineStart_) + 2;
    ++lines_;
    saved_ += saved;
    lone_ += lone;
    ++spanLines_;
    spanSaved_ += saved;
    spanLone_ |= lone;
    pos_ = lineStart_ = segStart_ = next;
    x_ = 0;
    if (spanLines_ >= grain_.spanLines || next - spanBegin_ >= grain_.spanBytes) return CloseSpan();
    return true;
}

bool LineScanner::CloseSpan() {
    if (spanLines_ == 0) return true;
    bool ok = !spans_ || spans_->Push(SpanInfo{static_cast<uint32_t>(spanBegin_),
                                               static_cast<uint32_t>(lineStart_), spanLines_,
                                               spanSaved_, spanLone_});
    spanBegin_ = lineStart_;
    spanLines_ = 0;
    spanSaved_ = 0;
    spanLone_ = false;
    return ok;
}

// Works through the text 64 bytes at a time: the line breaks of a block from
// its masks, and the TABs before each break, so each line costs a few bit
// operations rather than a branch per special byte.
bool LineScanner::Scan(size_t limit, size_t stop) {
    // A CR as the last byte loaded waits for the byte after it.
    const size_t decided = limit == size_ ? limit : limit - 1;
    const size_t end = stop < decided ? stop : decided;
    while (lineStart_ < stop && pos_ < end) {
        const size_t base = pos_ & ~size_t{63};
        const BlockMasks m = Masks(text_ + base);
        const uint64_t window = ~Below(pos_ - base) & Below(end - base);
        // Bit i: the byte after byte i is an LF. The byte after the block is
        // read only when the block's last byte is decided (it is loaded then).
        const uint64_t lfNext =
            (m.lf >> 1) | (end > base + 63 && text_[base + 64] == '\n' ? uint64_t{1} << 63 : 0);
        // Without conversion only CR LF breaks (at its CR); with it, every LF
        // breaks and so does a CR that no LF follows.
        uint64_t breaks = window & (convert_ ? m.lf | (m.cr & ~lfNext) : m.cr & lfNext);
        uint64_t tabs = window & m.tab;
        for (;;) {
            const size_t at = breaks ? static_cast<size_t>(__builtin_ctzll(breaks)) : 64;
            for (uint64_t before = tabs & Below(at); before; before &= before - 1) {
                const size_t q = base + static_cast<size_t>(__builtin_ctzll(before));
                x_ = layout_.TabStop(x_ + layout_.Width(text_ + segStart_, text_ + q));
                segStart_ = q + 1;
            }
            if (at == 64) break;
            tabs &= ~Below(at);
            breaks &= breaks - 1;
            const size_t q = base + at;
            bool ok;
            if (!convert_) {
                ok = EndLine(q, q + 2, false);
            } else if (text_[q] == '\r') {
                ok = EndLine(q, q + 1, true);
            } else {
                const bool pair = q > lineStart_ && text_[q - 1] == '\r';
                ok = EndLine(pair ? q - 1 : q, q + 1, !pair);
            }
            if (!ok) return false;
            if (lineStart_ >= stop) return true;
        }
        const size_t blockEnd = base + 64 < end ? base + 64 : end;
        if (pos_ < blockEnd) pos_ = blockEnd;
    }
    return true;
}

bool LineScanner::Finish() {
    if (!EndLine(size_, size_, false)) return false;
    return CloseSpan();
}

// ---------------------------------------------------------------------------

namespace {

// The first line start that the bytes in [from, limit) prove, counting only
// line breaks whose bytes lie at or after own; kNone when none is certain yet.
size_t FirstLineStartAfter(const unsigned char* text, size_t own, size_t from, size_t limit,
                           size_t size, bool convert) {
    for (size_t q = from; q < limit; ++q) {
        const unsigned char c = text[q];
        if (c == '\n') {
            // Without conversion only CR LF breaks, and the CR must be ours.
            if (convert || (q > own && text[q - 1] == '\r')) return q + 1;
        } else if (c == '\r' && convert) {
            if (q + 1 < limit) return text[q + 1] == '\n' ? q + 2 : q + 1;
            if (limit == size) return q + 1;
            return LineScanner::kNone;
        }
    }
    return LineScanner::kNone;
}

} // namespace

ScanStatus ScanSource(ByteSource& source, unsigned char* text, size_t size, bool convert,
                      const LayoutParams& layout, const ParseGrain& grain,
                      BlockAllocator* allocator, SpanList& spans, ScanTotals& totals) {
    const size_t piece = grain.pieceBytes > 64 ? grain.pieceBytes : 64;
    // The halves meet on a 64-byte boundary, so neither scan reads a block
    // the other thread is still filling.
    const size_t mid = size >= grain.parallelBytes && size >= 128 ? (size / 2) & ~size_t{63} : size;

    SpanList secondSpans(allocator);
    LineScanner first(text, size, convert, layout, grain, &spans);
    LineScanner second(text, size, convert, layout, grain, &secondSpans);
    first.Start(0);

    // The second half starts scanning at its first line start.
    size_t secondStart = LineScanner::kNone;
    ScanStatus secondStatus = ScanStatus::Ok;
    auto secondHalf = [&] {
        size_t searchFrom = mid;
        for (size_t off = mid; off < size;) {
            const size_t n = size - off < piece ? size - off : piece;
            if (!source.Read(off, reinterpret_cast<char*>(text) + off, n)) {
                secondStatus = ScanStatus::ReadFailed;
                return;
            }
            off += n;
            if (secondStart == LineScanner::kNone) {
                secondStart = FirstLineStartAfter(text, mid, searchFrom, off, size, convert);
                searchFrom = off - 1;
                if (secondStart == LineScanner::kNone) continue;
                second.Start(secondStart);
            }
            if (!second.Scan(off)) {
                secondStatus = ScanStatus::OutOfMemory;
                return;
            }
        }
        if (secondStart != LineScanner::kNone && !second.Finish())
            secondStatus = ScanStatus::OutOfMemory;
    };

    std::thread worker;
    if (mid < size) {
        try {
            worker = std::thread(secondHalf);
        } catch (...) {
            // No thread to be had: the halves run one after the other.
        }
    }
    ScanStatus firstStatus = ScanStatus::Ok;
    for (size_t off = 0; off < mid && firstStatus == ScanStatus::Ok;) {
        const size_t n = mid - off < piece ? mid - off : piece;
        if (!source.Read(off, reinterpret_cast<char*>(text) + off, n)) {
            firstStatus = ScanStatus::ReadFailed;
            break;
        }
        off += n;
        if (!first.Scan(off)) firstStatus = ScanStatus::OutOfMemory;
    }
    if (worker.joinable())
        worker.join();
    else if (mid < size)
        secondHalf();
    if (firstStatus != ScanStatus::Ok) return firstStatus;
    if (secondStatus != ScanStatus::Ok) return secondStatus;

    if (mid < size && secondStart != LineScanner::kNone) {
        // The first half's last line runs on to where the second half began.
        const size_t limit = secondStart < size ? secondStart + 1 : size;
        if (!first.Scan(limit, secondStart) || !first.CloseSpan()) return ScanStatus::OutOfMemory;
        for (size_t i = 0; i < secondSpans.Size(); ++i)
            if (!spans.Push(secondSpans[i])) return ScanStatus::OutOfMemory;
        totals.lines = first.Lines() + second.Lines();
        totals.saved = first.Saved() + second.Saved();
        totals.lone = first.Lone() + second.Lone();
        totals.widest = first.Widest() > second.Widest() ? first.Widest() : second.Widest();
        return ScanStatus::Ok;
    }
    if (!first.Scan(size) || !first.Finish()) return ScanStatus::OutOfMemory;
    totals.lines = first.Lines();
    totals.saved = first.Saved();
    totals.lone = first.Lone();
    totals.widest = first.Widest();
    return ScanStatus::Ok;
}

uint64_t WidestLine(const unsigned char* text, size_t begin, size_t end, bool convert,
                    const LayoutParams& layout) {
    const ParseGrain grain;
    LineScanner scan(text, end, convert, layout, grain, nullptr);
    scan.Start(begin);
    scan.Scan(end, end);
    scan.Finish();
    return scan.Widest();
}

SourceLine NextSourceLine(const unsigned char* p, const unsigned char* e, bool convert) {
    const unsigned char* q = p;
    if (!convert) {
        while (q < e) {
            q = static_cast<const unsigned char*>(std::memchr(q, '\n', size_t(e - q)));
            if (!q) break;
            if (q > p && q[-1] == '\r') return SourceLine{q - 1, q + 1, false, false};
            ++q;
        }
        return SourceLine{e, e, false, true};
    }
    for (; q < e; ++q) {
        if (*q == '\n') return SourceLine{q, q + 1, true, false};
        if (*q == '\r') {
            if (q + 1 < e && q[1] == '\n') return SourceLine{q, q + 2, false, false};
            return SourceLine{q, q + 1, true, false};
        }
    }
    return SourceLine{e, e, false, true};
}

} // namespace stx
