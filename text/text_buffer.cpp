#include "text/text_buffer.h"

#include <algorithm>
#include <cstring>
#include <thread>

#include "text/char_classes.h"
#include "text/line_record.h"

namespace stx {

using namespace layout;

namespace {

// The tokenizer's scan reads one table: word characters, digits, and the
// bytes that may end a plain run.
constexpr uint8_t kWordBit = 1;
constexpr uint8_t kDigitBit = 2;
constexpr uint8_t kPlainStopBit = 4; // NUL, TAB, LF, CR and digits need a closer look

struct ClassTable {
    uint8_t bits[256];
    constexpr ClassTable() : bits{} {
        for (int c = 0; c < 256; ++c)
            if (IsWordChar(static_cast<unsigned char>(c))) bits[c] = kWordBit;
        for (int c = '0'; c <= '9'; ++c)
            bits[c] |= kDigitBit | kPlainStopBit;
        bits[0] = bits['\t'] = bits['\n'] = bits['\r'] = kPlainStopBit;
    }
};
constexpr ClassTable kClasses;

inline bool IsDigit(unsigned char c) {
    return kClasses.bits[c] & kDigitBit;
}

enum class LineEnd : uint8_t { Text, CrLf, Lone };
enum class WriteResult : uint8_t { Ok, TooLong, NoMemory };

struct LineInfo {
    const unsigned char* next = nullptr; // first byte after the line and its break
    uint32_t chars = 0;
    uint64_t width = 0;
    LineEnd end = LineEnd::Text;
};

inline uint32_t Saturate(uint64_t v) {
    return v > 0xFFFFFFFFu ? 0xFFFFFFFFu : uint32_t(v);
}

#define STX_UNLIKELY(x) __builtin_expect(!!(x), 0)

// Tokenizes one line from p into storage, laying it out as it goes. Narrow
// lines (Wide false) give up with TooLong past kNarrowMax characters.
template <bool Wide>
WriteResult WriteTokens(Storage& st, const unsigned char* p, const unsigned char* end, bool convert,
                        const LayoutParams& layout, LineInfo& info) {
    const uint8_t* __restrict w = layout.widths;
    const uint32_t tab = layout.tab;
    const uint64_t tabReciprocal = layout.tabReciprocal;
    unsigned char* out = st.End();
    unsigned char* lim = out + st.Remaining();
    uint64_t x = 0;
    uint32_t chars = 0;
    constexpr uint32_t kRunCap = kMaxRunChars;
    for (;;) {
        if (STX_UNLIKELY(static_cast<size_t>(lim - out) < kTokenReserve)) {
            unsigned char* link = out;
            st.Advance(static_cast<size_t>(out - st.End()) + kLinkSize);
            if (!st.NextBlock()) return WriteResult::NoMemory;
            link[0] = kTagLink;
            Store(link + 1, st.End());
            out = st.End();
            lim = out + st.Remaining();
        }
        if (!Wide && STX_UNLIKELY(chars > kNarrowMax)) return WriteResult::TooLong;
        if (STX_UNLIKELY(p == end)) {
            info.end = LineEnd::Text;
            break;
        }
        unsigned char c = *p;
        if (c == '\r') {
            if (p + 1 < end && p[1] == '\n') {
                p += 2;
                info.end = LineEnd::CrLf;
                break;
            }
            if (convert) {
                ++p;
                info.end = LineEnd::Lone;
                break;
            }
        } else if (c == '\n') {
            if (convert) {
                ++p;
                info.end = LineEnd::Lone;
                break;
            }
        } else if (c == '\t') {
            // The tab stop is not stored: the cursor derives it from the x
            // where the tab starts.
            if constexpr (Wide) {
                x = NextTabStop(x, tab);
            } else {
                const uint64_t q = (x * tabReciprocal) >> 32;
                x = (q + 1) * tab;
            }
            *out++ = kTagTab;
            ++p;
            ++chars;
            continue;
        } else if (c == 0) {
            x += w[0];
            *out++ = kTagNul;
            ++p;
            ++chars;
            continue;
        }

        // A run, copied while it is scanned (restrict: the copy cannot touch
        // the source or the tables). Narrow lines stop scanning once they are
        // sure to be too long.
        uint32_t cap = kRunCap;
        if (!Wide && kNarrowMax + 1 - chars < cap) cap = kNarrowMax + 1 - chars;
        const unsigned char* limit = static_cast<size_t>(end - p) < cap ? end : p + cap;
        const unsigned char* start = p;
        unsigned char* header = out;
        unsigned char* __restrict o = out + (Wide ? 11 : 6);
        const uint8_t* __restrict bits = kClasses.bits;
        uint32_t width = w[c];
        *o++ = c;
        ++p;
        uint8_t tokenClass;
        if (IsDigit(c) || ((c == '+' || c == '-') && p < end && IsDigit(*p))) {
            tokenClass = static_cast<uint8_t>(TokenClass::Number);
            while (p < limit && (bits[*p] & kWordBit)) {
                width += w[*p];
                *o++ = *p++;
            }
        } else {
            tokenClass = static_cast<uint8_t>(TokenClass::Plain);
            while (p < limit) {
                const unsigned char d = *p;
                if (bits[d] & kPlainStopBit) {
                    if (bits[d] & kDigitBit) {
                        const unsigned char before = p[-1];
                        if (!(bits[before] & kWordBit)) {
                            if ((before == '+' || before == '-') && p - 1 > start) {
                                --p; // the sign opens the number
                                --o;
                                width -= w[before];
                            }
                            break;
                        }
                    } else if (d == '\r') {
                        if (convert || (p + 1 < end && p[1] == '\n')) break;
                    } else if (d == '\n') {
                        if (convert) break;
                    } else {
                        break; // NUL or TAB
                    }
                }
                width += w[d];
                *o++ = d;
                ++p;
            }
        }
        uint32_t count = static_cast<uint32_t>(p - start);
        const uint8_t colour = tokenClass == static_cast<uint8_t>(TokenClass::Number)
                                   ? kNumberColourIndex
                                   : kTextColourIndex;
        header[0] = RunTag(tokenClass, colour);
        if constexpr (Wide) {
            Store<uint16_t>(header + 1, static_cast<uint16_t>(count));
            Store<uint32_t>(header + 3, Saturate(x));
            Store<uint32_t>(header + 7, width);
        } else {
            header[1] = static_cast<unsigned char>(count);
            Store<uint16_t>(header + 2, static_cast<uint16_t>(x));
            Store<uint16_t>(header + 4, static_cast<uint16_t>(width));
        }
        out = o;
        x += width;
        chars += count;
    }
    if (!Wide && chars > kNarrowMax) return WriteResult::TooLong;
    *out++ = kTagEnd;
    st.Advance(static_cast<size_t>(out - st.End()));
    info.next = p;
    info.chars = chars;
    info.width = x;
    return WriteResult::Ok;
}

// Writes one record (header and tokens) at the write position, which must
// have room for a record header.
LineRecord* WriteLine(Storage& st, const unsigned char* p, const unsigned char* end, bool convert,
                      const LayoutParams& layout, uint8_t flags, LineInfo& info) {
    unsigned char* rec = st.End();
    st.Advance(kRecHeader);
    Storage::Mark tokens = st.GetMark();
    WriteResult r = WriteTokens<false>(st, p, end, convert, layout, info);
    if (STX_UNLIKELY(r == WriteResult::TooLong)) {
        st.Restore(tokens);
        r = WriteTokens<true>(st, p, end, convert, layout, info);
        flags |= kWide;
    }
    if (r != WriteResult::Ok) return nullptr;
    LineRecord* record = Record(rec);
    SetFlags(record, flags);
    SetLength(record, info.chars + 2);
    return record;
}

uint32_t CountBreaks(const unsigned char* p, const unsigned char* end, bool convert) {
    uint32_t n = 0;
    for (; p < end; ++p) {
        if (*p == '\r') {
            if (p + 1 < end && p[1] == '\n') {
                ++n;
                ++p;
            } else if (convert) {
                ++n;
            }
        } else if (*p == '\n' && convert) {
            ++n;
        }
    }
    return n;
}

const char kTabChar[1] = {'\t'};
const char kNulChar[1] = {'\0'};

// Links rec after last in a chain of new records.
void Chain(LineRecord*& first, LineRecord*& last, LineRecord* rec) {
    if (last) {
        SetNext(last, rec);
        SetPrev(rec, last);
    } else {
        first = rec;
    }
    last = rec;
}

// What a null record reads as: an empty line.
const unsigned char kEmptyLine[kRecHeader + 1] = {0, 2};

LineRecord* EmptyLine() {
    return Record(const_cast<unsigned char*>(kEmptyLine));
}

// The bytes of a text in memory.
class MemorySource final : public ByteSource {
  public:
    MemorySource(const char* text, size_t size) : text_(text), size_(size) {}
    uint64_t Size() const override { return size_; }
    bool Read(uint64_t offset, char* destination, size_t size) override {
        std::memcpy(destination, text_ + offset, size);
        return true;
    }

  private:
    const char* text_;
    size_t size_;
};

// A grain with each limit in its range.
ParseGrain Usable(ParseGrain g) {
    if (g.spanLines < 1) g.spanLines = 1;
    if (g.spanLines > LineIndex::kChunkLines) g.spanLines = LineIndex::kChunkLines;
    if (g.spanBytes < 1) g.spanBytes = 1;
    return g;
}

// Where the last line of [p, e) starts: after its last line break.
const unsigned char* LastLineStart(const unsigned char* p, const unsigned char* e, bool convert) {
    for (const unsigned char* q = e; q > p; --q) {
        const unsigned char c = q[-1];
        if (c == '\n' && (convert || (q - 1 > p && q[-2] == '\r'))) return q;
        if (c == '\r' && convert) return q;
    }
    return p;
}

// Makes node a span of the lines f found in the bytes at base.
void SetSpan(LineRecord* node, const SpanInfo& f, const unsigned char* base, bool convert) {
    SetFlags(node,
             static_cast<uint8_t>(kSpan | (f.lone ? kSpanLone : 0) | (convert ? kSpanConvert : 0)));
    SetLength(node, static_cast<uint32_t>(f.saved));
    Store<uint32_t>(Bytes(node) + kSpanBegin, f.begin);
    Store<uint32_t>(Bytes(node) + kSpanEnd, f.end);
    Store<uint32_t>(Bytes(node) + kSpanLines, f.lines);
    Store<LineRecord*>(Bytes(node) + kSpanFirst, nullptr);
    Store<LineRecord*>(Bytes(node) + kSpanLast, nullptr);
    Store<const unsigned char*>(Bytes(node) + kSpanBase, base);
}

// A block from the allocator, given back unless released.
struct Owned {
    BlockAllocator* allocator;
    void* block;
    ~Owned() {
        if (block) allocator->Free(block);
    }
    void* Release() {
        void* b = block;
        block = nullptr;
        return b;
    }
};

} // namespace

// ---------------------------------------------------------------------------

void CharWidthTable::Fill(const uint8_t* fontWidths) {
    for (int c = 0; c < 256; ++c)
        widths[c] = fontWidths ? fontWidths[c] : 8;
    widest = 0;
    for (int c = 0; c < 256; ++c)
        if (c != '\t' && widths[c] > widest) widest = widths[c];
    uint32_t space = widths[' '];
    uint32_t tab = space >= 32 ? 248 : 8 * space;
    widths['\t'] = static_cast<uint8_t>(tab ? tab : 1);
}

// ---------------------------------------------------------------------------

TokenCursor::TokenCursor(const TextBuffer& buffer, const LineRecord* record)
    : buffer_(&buffer), p_(Tokens(record ? record : EmptyLine())),
      wide_(record && (Flags(record) & kWide) != 0) {}

Token TokenCursor::Next() {
    Token t;
    for (;;) {
        const unsigned char* p = p_;
        uint8_t tag = *p;
        if (tag & kTagRun) {
            t.kind = TokenKind::Run;
            t.tokenClass = static_cast<TokenClass>(tag & 0x0F);
            t.colour = &buffer_->colours_.entries[(tag >> 4) & 7];
            const unsigned char* chars;
            if (wide_) {
                t.count = Load<uint16_t>(p + 1);
                t.x = Load<uint32_t>(p + 3);
                t.width = Load<uint32_t>(p + 7);
                chars = p + 11;
            } else {
                t.count = p[1];
                t.x = Load<uint16_t>(p + 2);
                t.width = Load<uint16_t>(p + 4);
                chars = p + 6;
            }
            t.chars = reinterpret_cast<const char*>(chars);
            p_ = chars + t.count;
            x_ = t.x + t.width;
            return t;
        }
        switch (tag) {
        case kTagTab: {
            const uint32_t tab = buffer_->widths_.TabWidth();
            const uint64_t stop = NextTabStop(x_, tab);
            t.kind = TokenKind::Tab;
            t.count = 1;
            t.x = x_;
            t.chars = kTabChar;
            x_ = stop > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(stop);
            t.width = x_ - t.x;
            p_ = p + 1;
            return t;
        }
        case kTagNul:
            t.kind = TokenKind::Nul;
            t.count = 1;
            t.x = x_;
            t.width = buffer_->widths_.widths[0];
            t.chars = kNulChar;
            x_ += t.width;
            p_ = p + 1;
            return t;
        case kTagLink:
            p_ = Load<unsigned char*>(p + 1);
            continue;
        default:
            t.kind = TokenKind::End;
            t.x = x_;
            return t;
        }
    }
}

// ---------------------------------------------------------------------------

TextBuffer::TextBuffer(BlockAllocator* allocator)
    : allocator_(allocator ? allocator : &SystemBlockAllocator()), storage_(allocator_),
      cache_(allocator_), index_(allocator_) {
    // Without memory even for an empty document the buffer reads as one empty
    // line, and the first edit tries again to get storage.
    New();
}

TextBuffer::~TextBuffer() {
    FreeSource();
}

void TextBuffer::FreeSource() {
    if (source_) allocator_->Free(source_);
    if (spans_) allocator_->Free(spans_);
    source_ = spans_ = nullptr;
    sourceSize_ = spanCount_ = 0;
}

void TextBuffer::AcquireBusy() const {
    const std::thread::id self = std::this_thread::get_id();
    if (busy_.load(std::memory_order_acquire) && busyOwner_.load() == self) {
        ++busyDepth_;
        return;
    }
    while (busy_.exchange(true, std::memory_order_acquire)) {
        while (busy_.load(std::memory_order_relaxed))
            std::this_thread::yield();
    }
    busyOwner_.store(self);
    busyDepth_ = 1;
}

void TextBuffer::ReleaseBusy() const {
    if (--busyDepth_ > 0) return;
    busyOwner_.store(std::thread::id{});
    busy_.store(false, std::memory_order_release);
}

TextStatus TextBuffer::New() {
    BusyGuard guard(*this);
    MemorySource empty("", 0);
    return ParseUnlocked(empty);
}

TextStatus TextBuffer::Parse(const char* text, const char* end) {
    if (!text) text = "";
    if (!end) end = text + std::strlen(text);
    MemorySource source(text, static_cast<size_t>(end - text));
    return Parse(source);
}

TextStatus TextBuffer::Parse(ByteSource& source) {
    BusyGuard guard(*this);
    return ParseUnlocked(source);
}

namespace {

// The saved form of a document, read from it on any thread while the holder of
// the busy flag builds its successor beside it.
class SavedFormSource final : public ByteSource {
  public:
    explicit SavedFormSource(const TextBuffer& buffer) : buffer_(buffer) {}
    uint64_t Size() const override { return buffer_.TotalBytes(); }
    bool Read(uint64_t offset, char* destination, size_t size) override {
        return buffer_.ExtractRange(static_cast<uint32_t>(size), static_cast<uint32_t>(offset),
                                    destination) == size;
    }

  private:
    const TextBuffer& buffer_;
};

} // namespace

TextStatus TextBuffer::Reparse(BreakRule rule) {
    BusyGuard guard(*this);
    SavedFormSource source(*this);
    const bool saved = convertLineBreaks;
    convertLineBreaks = rule == BreakRule::ConvertLone;
    const TextStatus s = ParseUnlocked(source);
    convertLineBreaks = saved;
    return s;
}

TextStatus TextBuffer::ParseUnlocked(ByteSource& source) {
    const uint64_t size = source.Size();
    if (size > kMaxTotalBytes || size > SIZE_MAX - kScanPadding) return TextStatus::TooLarge;
    const bool convert = convertLineBreaks;

    // Everything is built beside the old document, which stays if this fails.
    auto* text = static_cast<unsigned char*>(allocator_->Allocate(size_t(size) + kScanPadding));
    if (!text) return TextStatus::OutOfMemory;
    Owned ownedText{allocator_, text};
    std::memset(text + size, 0, kScanPadding);

    SpanList found(allocator_);
    ScanTotals totals;
    switch (ScanSource(source, text, size_t(size), convert, LayoutParams(widths_), Usable(grain),
                       allocator_, found, totals)) {
    case ScanStatus::Ok:
        break;
    case ScanStatus::OutOfMemory:
        return TextStatus::OutOfMemory;
    case ScanStatus::ReadFailed:
        return TextStatus::ReadFailed;
    }
    if (totals.saved - 2 > kMaxTotalBytes) return TextStatus::TooLarge;

    Storage st(allocator_);
    if (!st.Init()) return TextStatus::OutOfMemory;
    LineRecord* sentinel = Record(st.End());
    SetFlags(sentinel, kSentinel);
    SetLength(sentinel, 0);
    Tokens(sentinel)[0] = kTagEnd;
    st.Advance(kRecHeader + 1);

    const size_t count = found.Size();
    auto* spans = static_cast<unsigned char*>(allocator_->Allocate(count * kSpanSize));
    if (!spans) return TextStatus::OutOfMemory;
    Owned ownedSpans{allocator_, spans};
    LineIndex idx(allocator_);
    LineRecord* prev = sentinel;
    for (size_t i = 0; i < count; ++i) {
        const SpanInfo& f = found[i];
        LineRecord* node = Record(spans + i * kSpanSize);
        SetSpan(node, f, text, convert);
        SetPrev(node, prev);
        SetNext(prev, node);
        if (!idx.Append(node, f.lines, f.saved)) return TextStatus::OutOfMemory;
        prev = node;
    }
    SetNext(prev, sentinel);
    SetPrev(sentinel, prev);

    storage_.Adopt(st);
    cache_.FreeAll();
    index_.Adopt(idx);
    FreeSource();
    source_ = static_cast<unsigned char*>(ownedText.Release());
    sourceSize_ = size_t(size);
    spans_ = static_cast<unsigned char*>(ownedSpans.Release());
    spanCount_ = count;
    sentinel_ = sentinel;
    mostRecent_ = sentinel;
    newestUndoPoint_ = nullptr;
    undoCount_ = 0;
    totalBytes_ = static_cast<uint32_t>(totals.saved - 2);
    lineCount_ = totals.lines;
    convertedBreaks_ = totals.lone;
    widestLine_ = Saturate(totals.widest);
    return TextStatus::Ok;
}

// ---------------------------------------------------------------------------

LineRecord* TextBuffer::Expand(LineRecord* span) const {
    if (Flags(span) & kExpanded) return SpanFirst(span);
    // Laying lines out on demand changes how the text is held, not the text:
    // readers that are const to the document may do it.
    auto& self = const_cast<TextBuffer&>(*this);
    BusyGuard guard(*this);
    Storage& cache = self.cache_;
    if (!cache.End() && !cache.Init()) return nullptr;
    const Storage::Mark mark = cache.GetMark();
    const SpanText t = TextOf(span);
    const unsigned char* p = t.p;
    const uint32_t lines = NodeLines(span);
    const LayoutParams layout(widths_);
    LineRecord* first = nullptr;
    LineRecord* last = nullptr;
    uint64_t widest = 0;
    for (uint32_t k = 0; k < lines; ++k) {
        LineInfo info;
        LineRecord* rec = nullptr;
        if (cache.Remaining() >= kRecordReserve || cache.NextBlock())
            rec = WriteLine(cache, p, t.e, t.convert, layout, 0, info);
        if (!rec) {
            cache.Restore(mark);
            cache.FreeBehind();
            return nullptr;
        }
        Chain(first, last, rec);
        if (info.width > widest) widest = info.width;
        p = info.next;
    }
    LineRecord* before = Prev(span);
    LineRecord* after = Next(span);
    SetPrev(first, before);
    SetNext(before, first);
    SetNext(last, after);
    SetPrev(after, last);
    SetFlags(span, Flags(span) | kExpanded);
    Store<LineRecord*>(Bytes(span) + kSpanFirst, first);
    Store<LineRecord*>(Bytes(span) + kSpanLast, last);
    self.NoteWidth(widest);
    return first;
}

LineRecord* TextBuffer::At(uint32_t line) const {
    if (!sentinel_) return line == 0 ? EmptyLine() : nullptr;
    if (line >= lineCount_) return nullptr;
    const LineIndex::Place place = index_.AtLine(line);
    LineRecord* r = place.node;
    if (IsSpan(r) && !(r = Expand(r))) return nullptr;
    for (uint32_t k = place.firstLine; k < line; ++k)
        r = Next(r);
    return r;
}

uint64_t TextBuffer::OffsetInSpan(const LineRecord* span, uint32_t lines) const {
    const SpanText t = TextOf(span);
    const unsigned char* p = t.p;
    uint64_t offset = 0;
    for (uint32_t k = 0; k < lines; ++k) {
        const SourceLine l = NextSourceLine(p, t.e, t.convert);
        offset += uint64_t(l.charsEnd - p) + 2;
        p = l.next;
    }
    return offset;
}

uint32_t TextBuffer::LineInSpan(const LineRecord* span, uint64_t offset, uint64_t& lineStart,
                                uint32_t& chars) const {
    const SpanText t = TextOf(span);
    const unsigned char* p = t.p;
    const uint32_t lines = NodeLines(span);
    uint64_t sum = 0;
    for (uint32_t k = 0;; ++k) {
        const SourceLine l = NextSourceLine(p, t.e, t.convert);
        const uint64_t n = uint64_t(l.charsEnd - p);
        if (k + 1 == lines || sum + n + 2 > offset) {
            lineStart = sum;
            chars = static_cast<uint32_t>(n);
            return k;
        }
        sum += n + 2;
        p = l.next;
    }
}

// The saved form of a span's lines from within on: CR LF between lines, and
// after its last line when a line follows the span.
uint32_t TextBuffer::ExtractSpan(const LineRecord* span, uint64_t within, uint32_t want,
                                 char* out) const {
    static const char kBreak[2] = {'\r', '\n'};
    const SpanText t = TextOf(span);
    const unsigned char* p = t.p;
    const unsigned char* e = t.e;
    const bool hasNext = Next(span) != sentinel_;
    uint32_t produced = 0;
    if (!(Flags(span) & kSpanLone)) {
        // Every break in the source is already CR LF: the bytes are the saved form.
        const uint64_t n = uint64_t(e - p);
        if (within < n) {
            const uint64_t take = n - within < want ? n - within : want;
            std::memcpy(out, p + within, size_t(take));
            produced = static_cast<uint32_t>(take);
        }
        // Only the text's last line has no break in the source.
        if (hasNext && Length(span) - n == 2)
            for (uint64_t k = within > n ? within - n : 0; k < 2 && produced < want; ++k)
                out[produced++] = kBreak[k];
        return produced;
    }
    const uint32_t lines = NodeLines(span);
    uint64_t pos = 0;
    for (uint32_t k = 0; k < lines && produced < want; ++k) {
        const SourceLine l = NextSourceLine(p, e, t.convert);
        const uint64_t n = uint64_t(l.charsEnd - p);
        const uint64_t lineEnd = pos + n + (k + 1 < lines || hasNext ? 2 : 0);
        if (within < lineEnd) {
            for (uint64_t at = within > pos ? within : pos; at < lineEnd && produced < want;) {
                if (at < pos + n) {
                    uint64_t take = pos + n - at;
                    if (take > want - produced) take = want - produced;
                    std::memcpy(out + produced, p + (at - pos), size_t(take));
                    produced += static_cast<uint32_t>(take);
                    at += take;
                } else {
                    out[produced++] = kBreak[at - pos - n];
                    ++at;
                }
            }
        }
        pos += n + 2;
        p = l.next;
    }
    return produced;
}

// ---------------------------------------------------------------------------

uint32_t TextBuffer::LineLength(const LineRecord* record) {
    return record ? Length(record) : 2;
}

const LineRecord* TextBuffer::FindLine(uint32_t line) const {
    if (line < 1) return nullptr;
    return At(line - 1);
}

const LineRecord* TextBuffer::NextLine(const LineRecord* record) const {
    if (!record || !sentinel_) return nullptr;
    LineRecord* n = Next(record);
    if (n == sentinel_) return nullptr;
    return IsSpan(n) ? Expand(n) : n;
}

const LineRecord* TextBuffer::PreviousLine(const LineRecord* record) const {
    if (!record || !sentinel_) return nullptr;
    LineRecord* n = Prev(record);
    if (n == sentinel_) return nullptr;
    return IsSpan(n) ? (Expand(n) ? SpanLast(n) : nullptr) : n;
}

uint32_t TextBuffer::LineWidth(const LineRecord* record) const {
    TokenCursor cursor(*this, record);
    Token t;
    while ((t = cursor.Next()).kind != TokenKind::End) {
    }
    return t.x;
}

namespace {
// Copies up to max characters of a line starting at character from.
uint32_t CopyChars(const TextBuffer& buffer, const LineRecord* record, uint32_t from, uint32_t max,
                   char* dest) {
    TokenCursor cursor(buffer, record);
    uint32_t pos = 0, copied = 0;
    for (Token t = cursor.Next(); t.kind != TokenKind::End && copied < max; t = cursor.Next()) {
        if (pos + t.count <= from) {
            pos += t.count;
            continue;
        }
        uint32_t skip = from > pos ? from - pos : 0;
        uint32_t n = t.count - skip;
        if (n > max - copied) n = max - copied;
        std::memcpy(dest + copied, t.chars + skip, n);
        copied += n;
        pos += t.count;
    }
    return copied;
}
} // namespace

uint32_t TextBuffer::CopyLineChars(const LineRecord* record, char* destination, uint32_t maxCount,
                                   uint32_t from) const {
    return CopyChars(*this, record, from, maxCount, destination);
}

uint32_t TextBuffer::ExtractLine(uint32_t line, uint32_t maxCount, char* destination) const {
    if (line < 1 || line > lineCount_ || !sentinel_) return 0;
    const LineIndex::Place place = index_.AtLine(line - 1);
    if (!IsSpan(place.node)) return CopyChars(*this, place.node, 0, maxCount, destination);
    // Read from the source: asking for a line's text lays nothing out.
    const SpanText t = TextOf(place.node);
    const unsigned char* p = t.p;
    for (uint32_t k = place.firstLine; k + 1 < line; ++k)
        p = NextSourceLine(p, t.e, t.convert).next;
    const uint64_t chars = uint64_t(NextSourceLine(p, t.e, t.convert).charsEnd - p);
    const uint32_t n = chars < maxCount ? static_cast<uint32_t>(chars) : maxCount;
    std::memcpy(destination, p, n);
    return n;
}

uint32_t TextBuffer::ExtractRange(uint32_t count, uint32_t skip, char* destination) const {
    static const char kBreak[2] = {'\r', '\n'};
    uint64_t want = count;
    if (want > uint64_t{totalBytes_} + 1) want = uint64_t{totalBytes_} + 1;
    if (want == 0) return 0;
    uint32_t produced = 0;
    if (sentinel_ && skip < totalBytes_) {
        // Spans give their bytes straight from the source: nothing is laid out.
        const LineIndex::Place place = index_.AtOffset(skip);
        const LineRecord* r = place.node;
        uint64_t within = skip - place.offset;
        while (r != sentinel_ && produced < want) {
            const LineRecord* next = Next(r);
            if (IsSpan(r)) {
                produced += ExtractSpan(r, within, static_cast<uint32_t>(want - produced),
                                        destination + produced);
            } else {
                const uint32_t chars = Length(r) - 2;
                if (within < chars) {
                    produced +=
                        CopyChars(*this, r, static_cast<uint32_t>(within),
                                  static_cast<uint32_t>(want - produced), destination + produced);
                    within = chars;
                }
                if (next == sentinel_) break;
                // The line break, possibly entered half way.
                for (uint64_t k = within - chars; k < 2 && produced < want; ++k)
                    destination[produced++] = kBreak[k];
            }
            r = next;
            within = 0;
        }
    }
    if (produced < want) destination[produced] = 0;
    return produced;
}

void TextBuffer::VisitPieces(uint32_t offset, PieceVisitor visit, void* context) const {
    if (!sentinel_ || offset >= totalBytes_) return;
    // Lines are stored as tokens or as spans of the text as read, so their
    // bytes are gathered into pieces; the first pieces are short so that a
    // reader that stops early reads little. Nothing is laid out.
    constexpr size_t kLargestPiece = 32 * 1024;
    char piece[kLargestPiece];
    size_t used = 0;
    size_t deliverAt = 256;
    const auto deliver = [&] {
        const bool more = visit(context, piece, used);
        used = 0;
        deliverAt = std::min(deliverAt * 2, kLargestPiece);
        return more;
    };
    const LineIndex::Place place = index_.AtOffset(offset);
    const LineRecord* r = place.node;
    uint64_t skip = offset - place.offset; // bytes of the first node not wanted
    while (r != sentinel_) {
        const LineRecord* next = Next(r);
        if (IsSpan(r)) {
            // Its saved form: the text's last line has no break after it.
            const uint64_t bytes = Length(r) - (next == sentinel_ ? 2 : 0);
            while (skip < bytes) {
                if (used >= deliverAt && !deliver()) return;
                const uint64_t room = deliverAt - used;
                const uint32_t want = static_cast<uint32_t>(std::min(room, bytes - skip));
                const uint32_t got = ExtractSpan(r, skip, want, piece + used);
                if (got == 0) break;
                used += got;
                skip += got;
            }
            skip = 0;
            r = next;
            continue;
        }
        const uint32_t chars = Length(r) - 2;
        if (skip < chars) {
            const bool wide = Flags(r) & kWide;
            const unsigned char* p = Tokens(r);
            for (;;) {
                const uint8_t tag = *p;
                if (tag & kTagRun) {
                    size_t n = wide ? Load<uint16_t>(p + 1) : p[1];
                    const unsigned char* bytes = p + (wide ? 11 : 6);
                    p = bytes + n;
                    if (skip >= n) {
                        skip -= n;
                        continue;
                    }
                    bytes += skip;
                    n -= skip;
                    skip = 0;
                    if (used + n > kLargestPiece && !deliver()) return;
                    std::memcpy(piece + used, bytes, n);
                    used += n;
                } else if (tag == kTagTab || tag == kTagNul) {
                    ++p;
                    if (skip > 0) {
                        --skip;
                        continue;
                    }
                    piece[used++] = tag == kTagTab ? '\t' : '\0';
                } else if (tag == kTagLink) {
                    p = Load<unsigned char*>(p + 1);
                    continue;
                } else {
                    break;
                }
                if (used >= deliverAt && !deliver()) return;
            }
            skip = 0;
        } else {
            skip -= chars;
        }
        if (next == sentinel_) break;
        if (used + 2 > kLargestPiece && !deliver()) return;
        if (skip == 0) piece[used++] = '\r';
        piece[used++] = '\n';
        skip = 0;
        if (used >= deliverAt && !deliver()) return;
        r = next;
    }
    if (used > 0) visit(context, piece, used);
}

uint32_t TextBuffer::LineStartOffset(uint32_t line) const {
    if (line <= 1) return 0;
    if (line > lineCount_) return totalBytes_ + 2;
    const LineIndex::Place place = index_.AtLine(line - 1);
    uint64_t offset = place.offset;
    if (IsSpan(place.node)) offset += OffsetInSpan(place.node, line - 1 - place.firstLine);
    return static_cast<uint32_t>(offset);
}

void TextBuffer::OffsetToLineColumn(uint32_t offset, uint32_t& line, uint32_t& column) const {
    line = 1;
    column = 0;
    if (!sentinel_) return;
    if (offset > totalBytes_) offset = totalBytes_;
    const LineIndex::Place place = index_.AtOffset(offset);
    uint64_t start = place.offset;
    uint32_t chars;
    uint32_t l = place.firstLine;
    if (IsSpan(place.node)) {
        uint64_t within;
        l += LineInSpan(place.node, offset - place.offset, within, chars);
        start += within;
    } else {
        chars = Length(place.node) - 2;
    }
    const uint64_t col = offset - start;
    line = l + 1;
    column = col > chars ? chars : static_cast<uint32_t>(col);
}

// ---------------------------------------------------------------------------

void TextBuffer::NoteWidth(uint64_t width) {
    if (width > widestLine_) widestLine_ = Saturate(width);
}

void TextBuffer::Layout(const LineRecord* record) {
    if (!record || record == EmptyLine()) return;
    BusyGuard guard(*this);
    const bool wide = Flags(record) & kWide;
    const uint32_t tab = widths_.TabWidth();
    unsigned char* p = Tokens(record);
    uint64_t x = 0;
    for (;;) {
        uint8_t tag = *p;
        if (tag & kTagRun) {
            uint32_t count = wide ? Load<uint16_t>(p + 1) : p[1];
            unsigned char* chars = p + (wide ? 11 : 6);
            uint32_t width = 0;
            for (uint32_t k = 0; k < count; ++k)
                width += widths_.widths[chars[k]];
            if (wide) {
                Store<uint32_t>(p + 3, Saturate(x));
                Store<uint32_t>(p + 7, width);
            } else {
                Store<uint16_t>(p + 2, static_cast<uint16_t>(x));
                Store<uint16_t>(p + 4, static_cast<uint16_t>(width));
            }
            x += width;
            p = chars + count;
        } else if (tag == kTagTab) {
            x = NextTabStop(x, tab);
            ++p;
        } else if (tag == kTagNul) {
            x += widths_.widths[0];
            ++p;
        } else if (tag == kTagLink) {
            p = Load<unsigned char*>(p + 1);
        } else {
            break;
        }
    }
    NoteWidth(x);
}

void TextBuffer::LayoutAll() {
    BusyGuard guard(*this);
    widestLine_ = 0;
    ++layouts_;
    if (!sentinel_) return;
    for (LineRecord* r = Next(sentinel_); r != sentinel_; r = Next(r))
        LayoutNode(r);
}

// A record is laid out; a span's lines are only measured, from the source.
void TextBuffer::LayoutNode(const LineRecord* node) {
    if (!IsSpan(node)) return Layout(node);
    NoteWidth(stx::WidestLine(SpanBase(node), SpanBegin(node), SpanEnd(node), TextOf(node).convert,
                              LayoutParams(widths_)));
}

// ---------------------------------------------------------------------------

TextStatus TextBuffer::ReplaceLines(uint32_t firstLine, uint32_t removeCount, const char* bytes,
                                    size_t size, BreakRule rule, bool newStep,
                                    const PendingUndo& pending, uint32_t* newLines) {
    BusyGuard guard(*this);
    if (newLines) *newLines = 0;
    if (!sentinel_) {
        // No storage could be had so far: the document is one empty line.
        MemorySource empty("", 0);
        const TextStatus s = ParseUnlocked(empty);
        if (s != TextStatus::Ok) return s;
    }
    if (firstLine < 1 || removeCount < 1 || firstLine - 1 > lineCount_ ||
        removeCount > lineCount_ - (firstLine - 1))
        return TextStatus::BadArgument;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes);
    const auto* e = p + size;
    const bool convert = rule == BreakRule::ConvertLone;

    // The first and the last line replaced are laid out; spans between them
    // go as they are.
    if (!At(firstLine - 1 + removeCount - 1)) return TextStatus::OutOfMemory;
    LineRecord* old = At(firstLine - 1);
    if (!old) return TextStatus::OutOfMemory;
    LineRecord* lastOld = old;
    uint64_t oldSum = Length(old);
    for (uint32_t k = 1; k < removeCount;) {
        lastOld = Next(lastOld);
        oldSum += Length(lastOld);
        k += NodeLines(lastOld);
    }
    const uint32_t breaks = CountBreaks(p, e, convert);
    if (uint64_t{lineCount_} + breaks >= 0xFFFFFFFFu) return TextStatus::TooLarge;

    if (!newStep && removeCount == 1 && old == mostRecent_ && breaks == 0) {
        // The newest record is this line: overwrite it, the step goes on.
        uint64_t newTotal = uint64_t{totalBytes_} - oldSum + size + 2;
        if (newTotal > kMaxTotalBytes) return TextStatus::TooLarge;
        // Room for the worst case is had before the record is touched, and
        // its characters are kept aside, so that a write that fails after all
        // can put the line back as it was.
        const uint64_t need = uint64_t{size} * kWorstBytesPerChar + 256;
        const uint32_t oldChars = Length(old) - 2;
        if (need > SIZE_MAX) return TextStatus::OutOfMemory;
        Owned saved{allocator_, allocator_->Allocate(oldChars ? oldChars : 1)};
        if (!saved.block) return TextStatus::OutOfMemory;
        auto* savedChars = static_cast<char*>(saved.block);
        CopyChars(*this, old, 0, oldChars, savedChars);
        Storage::Mark mark = storage_.GetMark();
        storage_.Rewind(Tokens(old));
        if (!storage_.Reserve(static_cast<size_t>(need))) {
            storage_.Restore(mark);
            return TextStatus::OutOfMemory;
        }
        storage_.Rewind(Bytes(old));
        const uint8_t keep = Flags(old) & static_cast<uint8_t>(~kWide);
        const LayoutParams layout(widths_);
        LineInfo info;
        if (!WriteLine(storage_, p, e, false, layout, keep, info)) {
            storage_.Rewind(Bytes(old));
            const auto* s = reinterpret_cast<const unsigned char*>(savedChars);
            WriteLine(storage_, s, s + oldChars, false, layout, keep, info);
            return TextStatus::OutOfMemory;
        }
        index_.AdjustBytes(firstLine - 1, int64_t{info.chars + 2} - int64_t(oldSum));
        totalBytes_ = static_cast<uint32_t>(newTotal);
        NoteWidth(info.width);
        if (newLines) *newLines = 1;
        return TextStatus::Ok;
    }

    // A new step: undo header, then the new records, linked in only when all
    // of them have been written.
    Storage::Mark mark = storage_.GetMark();
    auto rollback = [&](TextStatus s) {
        storage_.Restore(mark);
        storage_.FreeBehind();
        return s;
    };
    if (storage_.Remaining() < kRecordReserve && !storage_.NextBlock())
        return rollback(TextStatus::OutOfMemory);
    unsigned char* header = storage_.End();
    storage_.Advance(kUndoHeader);
    Store<uint32_t>(header + kUndoCaretLine, pending.caretLine);
    Store<uint32_t>(header + kUndoCaretColumn, pending.caretColumn);
    Store<uint32_t>(header + kUndoTotalBytes, totalBytes_);
    Store<uint32_t>(header + kUndoLineCount, lineCount_);
    Store<uint32_t>(header + kUndoVScroll, pending.vScrollPos);
    Store<uint32_t>(header + kUndoFirstLine, firstLine);
    Store<uint32_t>(header + kUndoLayout, layouts_);
    Store<LineRecord*>(header + kUndoPrevPoint, newestUndoPoint_);
    Store<LineRecord*>(header + kUndoReplaced, old);

    LineRecord* firstNew = nullptr;
    LineRecord* lastNew = nullptr;
    uint32_t written = 0;
    uint64_t newSum = 0;
    uint64_t widest = 0;
    const LayoutParams layout(widths_);
    // Many new lines are kept as spans of their bytes, laid out when first
    // needed like an opened text's; the first and the last are records.
    const ParseGrain g = Usable(grain);
    const bool spans =
        breaks >= 2 && (breaks > 4 * g.spanLines || size > 4 * uint64_t{g.spanBytes});
    for (;;) {
        if (written && storage_.Remaining() < kRecordReserve && !storage_.NextBlock())
            return rollback(TextStatus::OutOfMemory);
        LineInfo info;
        LineRecord* rec = WriteLine(storage_, p, e, convert, layout, written ? 0 : kHasUndo, info);
        if (!rec) return rollback(TextStatus::OutOfMemory);
        Chain(firstNew, lastNew, rec);
        ++written;
        newSum += info.chars + 2;
        if (info.width > widest) widest = info.width;
        if (info.end == LineEnd::Text) break;
        p = info.next;
        if (spans && written == 1) {
            const unsigned char* last = LastLineStart(p, e, convert);
            if (!WriteSpans(p, last, convert, firstNew, lastNew, written, newSum, widest))
                return rollback(TextStatus::OutOfMemory);
            p = last;
        }
    }
    uint64_t newTotal = uint64_t{totalBytes_} - oldSum + newSum;
    if (newTotal > kMaxTotalBytes) return rollback(TextStatus::TooLarge);
    if (!index_.Reserve(written)) return rollback(TextStatus::OutOfMemory);

    LineRecord* before = Prev(old);
    LineRecord* after = Next(lastOld);
    for (LineRecord* r = old;; r = Next(r)) {
        SetFlags(r, Flags(r) | kSuperseded);
        if (r == lastOld) break;
    }
    SetPrev(firstNew, before);
    SetNext(before, firstNew);
    SetNext(lastNew, after);
    SetPrev(after, lastNew);
    index_.Splice(firstLine - 1, removeCount, old, firstNew, written);

    totalBytes_ = static_cast<uint32_t>(newTotal);
    lineCount_ = lineCount_ - removeCount + written;
    ++undoCount_;
    newestUndoPoint_ = firstNew;
    mostRecent_ = lastNew;
    NoteWidth(widest);
    if (newLines) *newLines = written;
    return TextStatus::Ok;
}

bool TextBuffer::WriteSpans(const unsigned char* p, const unsigned char* e, bool convert,
                            LineRecord*& first, LineRecord*& last, uint32_t& lines, uint64_t& saved,
                            uint64_t& widest) {
    // The lines go into storage a piece at a time, each piece cut after a
    // line break and followed by the scan's padding; the scan of a piece finds
    // its spans, which keep pointing into it.
    const LayoutParams layout(widths_);
    const ParseGrain g = Usable(grain);
    const size_t piece = std::clamp<size_t>(g.pieceBytes, 64, kBlockSize / 4);
    while (p < e) {
        const unsigned char* window = p + std::min(size_t(e - p), piece);
        const unsigned char* cut = LastLineStart(p, window, convert);
        // A CR LF pair is not cut between its bytes.
        if (cut == window && cut < e && cut[-1] == '\r' && cut[0] == '\n') ++cut;
        if (cut == p) {
            // A line longer than a piece is written out now, as an edit would.
            if (storage_.Remaining() < kRecordReserve && !storage_.NextBlock()) return false;
            LineInfo info;
            LineRecord* rec = WriteLine(storage_, p, e, convert, layout, 0, info);
            if (!rec) return false;
            Chain(first, last, rec);
            ++lines;
            saved += info.chars + 2;
            widest = std::max(widest, info.width);
            p = info.next;
            continue;
        }
        const size_t size = size_t(cut - p);
        if (storage_.Remaining() < size + kScanPadding + kRecordReserve && !storage_.NextBlock())
            return false;
        unsigned char* base = storage_.End();
        std::memcpy(base, p, size);
        std::memset(base + size, 0, kScanPadding);
        storage_.Advance(size + kScanPadding);
        SpanList found(allocator_);
        LineScanner scan(base, size, convert, layout, g, &found);
        scan.Start(0);
        if (!scan.Scan(size) || !scan.CloseSpan()) return false;
        for (size_t i = 0; i < found.Size(); ++i) {
            if (storage_.Remaining() < kRecordReserve && !storage_.NextBlock()) return false;
            LineRecord* node = Record(storage_.End());
            storage_.Advance(kSpanSize);
            SetSpan(node, found[i], base, convert);
            Chain(first, last, node);
        }
        lines += scan.Lines();
        saved += scan.Saved();
        widest = std::max(widest, scan.Widest());
        p = cut;
    }
    return true;
}

// ---------------------------------------------------------------------------

UndoResult TextBuffer::Undo() {
    BusyGuard guard(*this);
    return UndoUnlocked();
}

UndoResult TextBuffer::UndoUnlocked() {
    UndoResult result;
    bool paired = true;
    while (paired && undoCount_ > 0) {
        LineRecord* firstNew = newestUndoPoint_;
        unsigned char* header = UndoHeaderOf(firstNew);
        const uint32_t caretLine = Load<uint32_t>(header + kUndoCaretLine);
        const uint32_t storedLines = Load<uint32_t>(header + kUndoLineCount);
        const uint32_t firstLine = Load<uint32_t>(header + kUndoFirstLine);
        LineRecord* replaced = Load<LineRecord*>(header + kUndoReplaced);

        // The nodes the step replaced or removed still carry the mark.
        uint32_t restored = 0;
        LineRecord* lastRestored = replaced;
        for (LineRecord* r = replaced; Flags(r) & kSuperseded; r = Next(r)) {
            restored += NodeLines(r);
            lastRestored = r;
        }
        const uint32_t current = restored + lineCount_ - storedLines;
        if (!index_.Reserve(restored)) {
            result.status = TextStatus::OutOfMemory;
            break;
        }
        for (LineRecord* r = replaced; Flags(r) & kSuperseded; r = Next(r))
            SetFlags(r, Flags(r) & static_cast<uint8_t>(~kSuperseded));
        // A neighbour that was a span may have been laid out since: its
        // records stand in the list now.
        LineRecord* after = LiveFirst(Next(lastRestored));
        LineRecord* before = LiveLast(Prev(replaced));
        SetNext(lastRestored, after);
        SetPrev(after, lastRestored);
        SetPrev(replaced, before);
        SetNext(before, replaced);
        index_.Splice(firstLine - 1, current, firstNew, replaced, restored);
        // Lines put back from before a new font are laid out for it.
        if (Load<uint32_t>(header + kUndoLayout) != layouts_) {
            for (LineRecord* r = replaced;; r = Next(r)) {
                LayoutNode(r);
                if (r == lastRestored) break;
            }
        }

        totalBytes_ = Load<uint32_t>(header + kUndoTotalBytes);
        lineCount_ = storedLines;
        newestUndoPoint_ = Load<LineRecord*>(header + kUndoPrevPoint);
        --undoCount_;
        storage_.Rewind(header);
        storage_.FreeBehind();

        result.done = true;
        result.caretLine = caretLine & ~kUndoPairBit;
        result.caretColumn = Load<uint32_t>(header + kUndoCaretColumn);
        result.vScrollPos = Load<uint32_t>(header + kUndoVScroll);
        result.firstLine = firstLine;
        paired = (caretLine & kUndoPairBit) != 0;
    }
    if (result.done) mostRecent_ = sentinel_;
    return result;
}

// ---------------------------------------------------------------------------

size_t TextBuffer::StorageBytes() const {
    return storage_.AllocatedBytes() + cache_.AllocatedBytes() + index_.MemoryBytes() +
           spanCount_ * kSpanSize + (source_ ? sourceSize_ + kScanPadding : 0);
}

bool TextBuffer::CheckConsistency() const {
    if (!sentinel_) return lineCount_ == 1 && totalBytes_ == 0 && undoCount_ == 0;
    uint64_t sum = 0;
    uint32_t n = 0;
    const LineRecord* prev = sentinel_;
    for (const LineRecord* r = Next(sentinel_); r != sentinel_; r = Next(r)) {
        if (Prev(r) != prev) return false;
        if (Flags(r) & (kSuperseded | kSentinel | kExpanded)) return false;
        if (IsSpan(r)) {
            // A span's totals must be what its source bytes say.
            const SpanText t = TextOf(r);
            const unsigned char* p = t.p;
            const unsigned char* e = t.e;
            uint64_t bytes = 0;
            uint32_t lines = 0;
            bool ended = false;
            for (;;) {
                const SourceLine l = NextSourceLine(p, e, t.convert);
                bytes += uint64_t(l.charsEnd - p) + 2;
                ++lines;
                if (l.last) {
                    ended = true;
                    break;
                }
                if ((p = l.next) == e) break;
            }
            if (!ended && SpanBase(r) == source_ && SpanEnd(r) == sourceSize_ &&
                lines + 1 == NodeLines(r)) {
                ++lines; // the empty line after the text's final break
                bytes += 2;
            }
            if (lines != NodeLines(r) || bytes != Length(r)) return false;
        }
        sum += Length(r);
        n += NodeLines(r);
        prev = r;
        if (n > lineCount_) return false;
    }
    if (Prev(sentinel_) != prev) return false;
    if (n != lineCount_ || n != index_.Lines() || n == 0) return false;
    if (sum - 2 != totalBytes_) return false;
    if (index_.Bytes() != sum) return false;
    if (!index_.Verify(Next(sentinel_))) return false;
    return true;
}

} // namespace stx
