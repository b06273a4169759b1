#include "text/text_buffer.h"

#include <algorithm>
#include <cstring>
#include <thread>

#include "text/line_record.h"

namespace stx {

using namespace layout;

namespace {

constexpr uint8_t kWordBit = 1;
constexpr uint8_t kDigitBit = 2;
constexpr uint8_t kPlainStopBit = 4; // NUL, TAB, LF, CR and digits need a closer look

struct ClassTable {
    uint8_t bits[256];
    constexpr ClassTable() : bits{} {
        for (int c = '0'; c <= '9'; ++c)
            bits[c] = kWordBit | kDigitBit | kPlainStopBit;
        for (int c = 'A'; c <= 'Z'; ++c)
            bits[c] = kWordBit;
        for (int c = 'a'; c <= 'z'; ++c)
            bits[c] = kWordBit;
        bits['^'] = bits['_'] = bits['`'] = bits['~'] = kWordBit;
        bits[0] = bits['\t'] = bits['\n'] = bits['\r'] = kPlainStopBit;
    }
};
constexpr ClassTable kClasses;

inline bool IsDigit(unsigned char c) {
    return kClasses.bits[c] & kDigitBit;
}
inline bool IsWordChar(unsigned char c) {
    return kClasses.bits[c] & kWordBit;
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

// What tokenizing needs of the width table, worked out once per operation.
struct LayoutParams {
    explicit LayoutParams(const CharWidthTable& table)
        : widths(table.widths), tab(table.TabWidth()),
          tabReciprocal(((uint64_t{1} << 32) + tab - 1) / tab) {}
    const uint8_t* widths;
    uint32_t tab;
    // x mod tab by multiplication: exact for x below 2^16 (narrow lines) and
    // a tab width below 2^8.
    uint64_t tabReciprocal;
};

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
                x = x + tab - x % tab;
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
    : buffer_(&buffer), p_(Tokens(record)), wide_((Flags(record) & kWide) != 0) {}

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
            const uint64_t stop = uint64_t{x_} + tab - x_ % tab;
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
      index_(allocator_) {
    // Without memory even for an empty document every operation reports it.
    New();
}

TextBuffer::~TextBuffer() = default;

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
    return ParseUnlocked("", nullptr);
}

TextStatus TextBuffer::Parse(const char* text, const char* end) {
    BusyGuard guard(*this);
    return ParseUnlocked(text, end);
}

namespace {

struct ParsedLines {
    LineRecord* first = nullptr;
    LineRecord* last = nullptr;
    uint64_t total = 0; // sum of line lengths
    uint32_t converted = 0;
    uint64_t widest = 0;
    TextStatus status = TextStatus::Ok;
};

// Parses [p, e) into lines linked after prev; a text ending with a line
// break gets a last empty line.
void ParseLines(Storage& st, LineIndex& idx, const unsigned char* p, const unsigned char* e,
                bool convert, const CharWidthTable& widths, LineRecord* prev, ParsedLines& seg) {
    const LayoutParams layout(widths);
    for (;;) {
        if (st.Remaining() < kRecordReserve && !st.NextBlock()) {
            seg.status = TextStatus::OutOfMemory;
            return;
        }
        LineInfo info;
        LineRecord* rec = WriteLine(st, p, e, convert, layout, 0, info);
        if (!rec || !idx.Append(rec, info.chars + 2)) {
            seg.status = TextStatus::OutOfMemory;
            return;
        }
        SetPrev(rec, prev);
        if (prev) SetNext(prev, rec);
        if (!seg.first) seg.first = rec;
        prev = rec;
        seg.total += info.chars + 2;
        if (info.width > seg.widest) seg.widest = info.width;
        if (seg.total > uint64_t{kMaxTotalBytes} + 2) {
            seg.status = TextStatus::TooLarge;
            return;
        }
        if (info.end == LineEnd::Lone) ++seg.converted;
        if (info.end == LineEnd::Text) break;
        p = info.next;
    }
    seg.last = prev;
}

} // namespace

TextStatus TextBuffer::ParseUnlocked(const char* text, const char* end) {
    if (!text) text = "";
    if (!end) end = text + std::strlen(text);
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    const auto* e = reinterpret_cast<const unsigned char*>(end);
    const bool convert = convertLineBreaks != 0;

    // Built beside the old document, which stays if this fails.
    Storage st(allocator_);
    LineIndex idx(allocator_);
    if (!st.Init()) return TextStatus::OutOfMemory;
    LineRecord* sentinel = Record(st.End());
    SetFlags(sentinel, kSentinel);
    SetLength(sentinel, 0);
    Tokens(sentinel)[0] = kTagEnd;
    st.Advance(kRecHeader + 1);

    ParsedLines seg;
    ParseLines(st, idx, p, e, convert, widths_, sentinel, seg);
    if (seg.status != TextStatus::Ok) return seg.status;
    LineRecord* last = seg.last;
    const uint64_t total = seg.total;
    if (total - 2 > kMaxTotalBytes) return TextStatus::TooLarge;
    SetNext(last, sentinel);
    SetPrev(sentinel, last);

    storage_.Adopt(st);
    index_.Adopt(idx);
    sentinel_ = sentinel;
    mostRecent_ = sentinel;
    newestUndoPoint_ = nullptr;
    undoCount_ = 0;
    totalBytes_ = static_cast<uint32_t>(total - 2);
    lineCount_ = index_.Lines();
    convertedBreaks_ = seg.converted;
    widestLine_ = Saturate(seg.widest);
    return TextStatus::Ok;
}

// ---------------------------------------------------------------------------

uint32_t TextBuffer::LineLength(const LineRecord* record) {
    return Length(record);
}

bool TextBuffer::IsSuperseded(const LineRecord* record) {
    return (Flags(record) & kSuperseded) != 0;
}

const LineRecord* TextBuffer::PreviousVersion(const LineRecord* record) {
    if (!(Flags(record) & kHasUndo)) return nullptr;
    return Load<LineRecord*>(UndoHeaderOf(record) + kUndoReplaced);
}

const LineRecord* TextBuffer::FindLine(uint32_t line) const {
    if (line < 1 || line > lineCount_) return nullptr;
    return index_.At(line - 1);
}

const LineRecord* TextBuffer::NextLine(const LineRecord* record) const {
    LineRecord* n = Next(record);
    return n == sentinel_ ? nullptr : n;
}

const LineRecord* TextBuffer::PreviousLine(const LineRecord* record) const {
    LineRecord* n = Prev(record);
    return n == sentinel_ ? nullptr : n;
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
    const LineRecord* r = FindLine(line);
    if (!r) return 0;
    return CopyChars(*this, r, 0, maxCount, destination);
}

uint32_t TextBuffer::ExtractRange(uint32_t count, uint32_t skip, char* destination) const {
    uint64_t want = count;
    if (want > uint64_t{totalBytes_} + 1) want = uint64_t{totalBytes_} + 1;
    if (want == 0) return 0;
    uint32_t produced = 0;
    if (skip < totalBytes_) {
        uint64_t lineStart;
        uint32_t line = index_.LineAtOffset(skip, lineStart);
        const LineRecord* r = index_.At(line);
        uint32_t within = static_cast<uint32_t>(skip - lineStart);
        while (r && produced < want) {
            uint32_t chars = Length(r) - 2;
            if (within < chars) {
                produced += CopyChars(*this, r, within, static_cast<uint32_t>(want - produced),
                                      destination + produced);
                within = chars;
            }
            const LineRecord* next = NextLine(r);
            if (!next) break;
            // The line break, possibly entered half way.
            static const char kBreak[2] = {'\r', '\n'};
            for (uint32_t k = within - chars; k < 2 && produced < want; ++k)
                destination[produced++] = kBreak[k];
            r = next;
            within = 0;
        }
    }
    if (produced < want) destination[produced] = 0;
    return produced;
}

void TextBuffer::VisitPieces(uint32_t offset, PieceVisitor visit, void* context) const {
    if (offset >= totalBytes_) return;
    // Lines are stored as tokens, so their bytes are gathered into pieces; the
    // first pieces are short so that a reader that stops early reads little.
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
    uint64_t lineStart;
    const LineRecord* r = index_.At(index_.LineAtOffset(offset, lineStart));
    uint64_t skip = offset - lineStart; // bytes of the first line and its break not wanted
    while (r) {
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
        const LineRecord* next = NextLine(r);
        if (!next) break;
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
    return static_cast<uint32_t>(index_.OffsetOf(line - 1));
}

void TextBuffer::OffsetToLineColumn(uint32_t offset, uint32_t& line, uint32_t& column) const {
    if (offset > totalBytes_) offset = totalBytes_;
    uint64_t start;
    uint32_t l = index_.LineAtOffset(offset, start);
    uint32_t chars = Length(index_.At(l)) - 2;
    uint32_t col = static_cast<uint32_t>(offset - start);
    line = l + 1;
    column = col > chars ? chars : col;
}

// ---------------------------------------------------------------------------

void TextBuffer::NoteWidth(uint64_t width) {
    if (width > widestLine_) widestLine_ = Saturate(width);
}

void TextBuffer::Layout(const LineRecord* record) {
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
            x = x + tab - x % tab;
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
    for (LineRecord* r = Next(sentinel_); r != sentinel_; r = Next(r))
        Layout(r);
}

// ---------------------------------------------------------------------------

TextStatus TextBuffer::ReplaceLines(uint32_t firstLine, uint32_t removeCount, const char* bytes,
                                    size_t size, BreakRule rule, bool newStep,
                                    const PendingUndo& pending, uint32_t* newLines) {
    BusyGuard guard(*this);
    if (newLines) *newLines = 0;
    if (firstLine < 1 || removeCount < 1 || firstLine - 1 > lineCount_ ||
        removeCount > lineCount_ - (firstLine - 1))
        return TextStatus::BadArgument;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes);
    const auto* e = p + size;
    const bool convert = rule == BreakRule::ConvertLone;

    LineRecord* old = index_.At(firstLine - 1);
    LineRecord* lastOld = old;
    uint64_t oldSum = Length(old);
    for (uint32_t k = 1; k < removeCount; ++k) {
        lastOld = Next(lastOld);
        oldSum += Length(lastOld);
    }
    const uint32_t breaks = CountBreaks(p, e, convert);
    if (uint64_t{lineCount_} + breaks >= 0xFFFFFFFFu) return TextStatus::TooLarge;

    if (!newStep && removeCount == 1 && old == mostRecent_ && breaks == 0) {
        // The newest record is this line: overwrite it, the step goes on.
        uint64_t newTotal = uint64_t{totalBytes_} - oldSum + size + 2;
        if (newTotal > kMaxTotalBytes) return TextStatus::TooLarge;
        Storage::Mark mark = storage_.GetMark();
        storage_.Rewind(Tokens(old));
        if (!storage_.Reserve(size * kWorstBytesPerChar + 256)) {
            storage_.Restore(mark);
            return TextStatus::OutOfMemory;
        }
        storage_.Rewind(Bytes(old));
        LineInfo info;
        uint8_t keep = Flags(old) & static_cast<uint8_t>(~kWide);
        WriteLine(storage_, p, e, false, LayoutParams(widths_), keep, info);
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
    Store<LineRecord*>(header + kUndoPrevPoint, newestUndoPoint_);
    Store<LineRecord*>(header + kUndoReplaced, old);

    LineRecord* firstNew = nullptr;
    LineRecord* lastNew = nullptr;
    uint32_t written = 0;
    uint64_t newSum = 0;
    uint64_t widest = 0;
    const LayoutParams layout(widths_);
    for (;;) {
        if (written && storage_.Remaining() < kRecordReserve && !storage_.NextBlock())
            return rollback(TextStatus::OutOfMemory);
        LineInfo info;
        LineRecord* rec = WriteLine(storage_, p, e, convert, layout, written ? 0 : kHasUndo, info);
        if (!rec) return rollback(TextStatus::OutOfMemory);
        if (lastNew) {
            SetNext(lastNew, rec);
            SetPrev(rec, lastNew);
        } else {
            firstNew = rec;
        }
        lastNew = rec;
        ++written;
        newSum += info.chars + 2;
        if (info.width > widest) widest = info.width;
        if (info.end == LineEnd::Text) break;
        p = info.next;
    }
    uint64_t newTotal = uint64_t{totalBytes_} - oldSum + newSum;
    if (newTotal > kMaxTotalBytes) return rollback(TextStatus::TooLarge);
    if (!index_.Reserve(written)) return rollback(TextStatus::OutOfMemory);

    LineRecord* before = Prev(old);
    LineRecord* after = Next(lastOld);
    LineRecord* r = old;
    for (uint32_t k = 0; k < removeCount; ++k) {
        SetFlags(r, Flags(r) | kSuperseded);
        r = Next(r);
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

        // The records the step replaced or removed still carry the mark.
        uint32_t restored = 0;
        LineRecord* lastRestored = replaced;
        for (LineRecord* r = replaced; Flags(r) & kSuperseded; r = Next(r)) {
            ++restored;
            lastRestored = r;
        }
        const uint32_t current = restored + lineCount_ - storedLines;
        if (!index_.Reserve(restored)) {
            result.status = TextStatus::OutOfMemory;
            break;
        }
        for (LineRecord* r = replaced; Flags(r) & kSuperseded; r = Next(r))
            SetFlags(r, Flags(r) & static_cast<uint8_t>(~kSuperseded));
        SetPrev(Next(lastRestored), lastRestored);
        SetNext(Prev(replaced), replaced);
        index_.Splice(firstLine - 1, current, firstNew, replaced, restored);

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
    return storage_.AllocatedBytes() + index_.MemoryBytes();
}

bool TextBuffer::CheckConsistency() const {
    uint64_t sum = 0;
    uint32_t n = 0;
    const LineRecord* prev = sentinel_;
    for (const LineRecord* r = Next(sentinel_); r != sentinel_; r = Next(r)) {
        if (Prev(r) != prev) return false;
        if (Flags(r) & (kSuperseded | kSentinel)) return false;
        sum += Length(r);
        ++n;
        prev = r;
        if (n > lineCount_) return false;
    }
    if (Prev(sentinel_) != prev) return false;
    if (n != lineCount_ || n != index_.Lines() || n == 0) return false;
    if (sum - 2 != totalBytes_) return false;
    if (index_.OffsetOf(n) != sum) return false;
    if (!index_.Verify(Next(sentinel_))) return false;
    return true;
}

} // namespace stx
