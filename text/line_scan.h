// The one pass over a text being opened: where its lines break, how wide each
// is, and the spans it is cut into. No line is tokenized here; a span's lines
// are tokenized when one of them is first needed.
#pragma once

#include <cstddef>
#include <cstdint>

#include "text/char_classes.h"
#include "text/storage.h"

namespace stx {

struct CharWidthTable;

// What laying a line out needs of the width table, worked out once per operation.
struct LayoutParams {
    explicit LayoutParams(const CharWidthTable& table);
    const uint8_t* widths;
    uint32_t tab;
    // x mod tab by multiplication: exact for x below 2^16 and a tab width
    // below 2^8.
    uint64_t tabReciprocal;
    // Every byte but TAB has this width (a fixed-pitch font), or 0 when they differ.
    uint32_t uniformWidth;

    uint64_t TabStop(uint64_t x) const {
        if (x < 0x10000) return (((x * tabReciprocal) >> 32) + 1) * tab;
        return NextTabStop(x, tab);
    }
    // Width of bytes that hold no TAB.
    uint64_t Width(const unsigned char* p, const unsigned char* e) const {
        return uniformWidth ? uint64_t(e - p) * uniformWidth : SumWidths(p, e);
    }
    uint64_t SumWidths(const unsigned char* p, const unsigned char* e) const;
};

// One span as the scan found it.
struct SpanInfo {
    uint32_t begin; // source offset of the first line
    uint32_t end;   // source offset after the last line's break
    uint32_t lines;
    uint64_t saved; // saved-form length: characters + 2 per line
    bool lone;      // holds a lone CR or LF break
};

// A growable array of spans from the document's allocator.
class SpanList {
  public:
    explicit SpanList(BlockAllocator* allocator) : allocator_(allocator) {}
    ~SpanList();
    SpanList(const SpanList&) = delete;
    SpanList& operator=(const SpanList&) = delete;
    bool Push(const SpanInfo& s);
    size_t Size() const { return size_; }
    const SpanInfo& operator[](size_t i) const { return data_[i]; }

  private:
    BlockAllocator* allocator_;
    SpanInfo* data_ = nullptr;
    size_t size_ = 0, capacity_ = 0;
};

// How the text is cut into spans; tests use small values to exercise the
// structure with small texts.
struct ParseGrain {
    uint32_t spanLines = 256;        // lines per span at most
    uint32_t spanBytes = 64 * 1024;  // a span ends at the first line break past this many bytes
    size_t parallelBytes = 4u << 20; // texts this large are read and scanned on two threads
    size_t pieceBytes = 1u << 20; // bytes read (or inserted) at a time, scanned while in the cache
};

// Scans lines from a line start on, as bytes arrive. Offsets are from the
// start of the text; the text is followed by kScanPadding readable bytes.
class LineScanner {
  public:
    static constexpr size_t kNone = ~size_t{0};

    LineScanner(const unsigned char* text, size_t size, bool convert, const LayoutParams& layout,
                const ParseGrain& grain, SpanList* spans);

    void Start(size_t lineStart);
    // Scans what lies before limit (bytes up to limit are loaded); stops early
    // once a line starts at or after stop. False when out of memory.
    bool Scan(size_t limit, size_t stop = kNone);
    // The text's last line (the text must be scanned to its end).
    bool Finish();
    // Closes the open span at the current line start (the next span is
    // another scanner's).
    bool CloseSpan();

    uint32_t Lines() const { return lines_; }
    uint64_t Saved() const { return saved_; }
    uint32_t Lone() const { return lone_; }
    uint64_t Widest() const { return widest_; }

  private:
    bool EndLine(size_t charsEnd, size_t next, bool lone);

    const unsigned char* text_;
    size_t size_;
    bool convert_;
    const LayoutParams& layout_;
    ParseGrain grain_;
    SpanList* spans_;

    size_t pos_ = 0, lineStart_ = 0, segStart_ = 0;
    uint64_t x_ = 0;

    size_t spanBegin_ = 0;
    uint32_t spanLines_ = 0;
    uint64_t spanSaved_ = 0;
    bool spanLone_ = false;

    uint32_t lines_ = 0, lone_ = 0;
    uint64_t saved_ = 0, widest_ = 0;
};

// Readable bytes after a scanned text (the scan reads in blocks of 64).
constexpr size_t kScanPadding = 64;

// Where a parse takes the document's bytes from. Read may be called from two
// threads at once, for different ranges.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    virtual uint64_t Size() const = 0;
    // Copies size bytes from offset on into destination; false when they
    // cannot be had.
    virtual bool Read(uint64_t offset, char* destination, size_t size) = 0;
};

enum class ScanStatus : uint8_t { Ok, OutOfMemory, ReadFailed };

struct ScanTotals {
    uint32_t lines = 0;
    uint64_t saved = 0; // saved-form length plus 2 (the last line counts a break too)
    uint32_t lone = 0;
    uint64_t widest = 0;
};

// Reads the whole source into text (size bytes plus kScanPadding) and scans
// it, on two threads when it is large: each reads and scans one half, and the
// line that straddles the middle is finished afterwards.
ScanStatus ScanSource(ByteSource& source, unsigned char* text, size_t size, bool convert,
                      const LayoutParams& layout, const ParseGrain& grain,
                      BlockAllocator* allocator, SpanList& spans, ScanTotals& totals);

// The widest line among those from begin (a line start) to end, where the
// bytes end (after a line break, or with the text).
uint64_t WidestLine(const unsigned char* text, size_t begin, size_t end, bool convert,
                    const LayoutParams& layout);

// One line of the source from p, which starts a line: its characters end at
// charsEnd, the next line starts at next (e when the text ends first).
struct SourceLine {
    const unsigned char* charsEnd;
    const unsigned char* next;
    bool lone;
    bool last; // the text ended
};
SourceLine NextSourceLine(const unsigned char* p, const unsigned char* e, bool convert);

} // namespace stx
