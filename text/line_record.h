// Byte layout of line records, undo headers and tokens inside storage. All
// fields are packed without alignment and read and written with memcpy, so
// the same code is correct with 32-bit and 64-bit pointers.
#pragma once

#include <cstdint>
#include <cstring>

namespace stx {

struct LineRecord;

namespace layout {

template <typename T> inline T Load(const unsigned char* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
template <typename T> inline void Store(unsigned char* p, T v) {
    std::memcpy(p, &v, sizeof v);
}

inline unsigned char* Bytes(const LineRecord* r) {
    return reinterpret_cast<unsigned char*>(const_cast<LineRecord*>(r));
}
inline LineRecord* Record(unsigned char* p) {
    return reinterpret_cast<LineRecord*>(p);
}

constexpr size_t kPtr = sizeof(void*);

// LineRecord: flags, length (characters + 2), previous line, next line.
constexpr size_t kRecFlags = 0;
constexpr size_t kRecLength = 1;
constexpr size_t kRecPrev = 5;
constexpr size_t kRecNext = 5 + kPtr;
constexpr size_t kRecHeader = 5 + 2 * kPtr;

constexpr uint8_t kSuperseded = 0x01;
constexpr uint8_t kSentinel = 0x02;
constexpr uint8_t kWide = 0x04;        // 32-bit positions (line longer than kNarrowMax)
constexpr uint8_t kHasUndo = 0x08;     // an UndoHeader lies just before the record
constexpr uint8_t kSpan = 0x10;        // a span of lines not yet laid out (below)
constexpr uint8_t kExpanded = 0x20;    // a span replaced in the list by its records
constexpr uint8_t kSpanLone = 0x40;    // a span with lone CR or LF breaks
constexpr uint8_t kSpanConvert = 0x80; // a span whose lone CR and LF break lines

// With at most 255 characters of at most 255 pixels a line fits 16-bit
// positions and 8-bit run counts.
constexpr uint32_t kNarrowMax = 255;

inline uint8_t Flags(const LineRecord* r) {
    return Bytes(r)[kRecFlags];
}
inline void SetFlags(LineRecord* r, uint8_t f) {
    Bytes(r)[kRecFlags] = f;
}
inline uint32_t Length(const LineRecord* r) {
    return Load<uint32_t>(Bytes(r) + kRecLength);
}
inline void SetLength(LineRecord* r, uint32_t v) {
    Store(Bytes(r) + kRecLength, v);
}
inline LineRecord* Prev(const LineRecord* r) {
    return Load<LineRecord*>(Bytes(r) + kRecPrev);
}
inline void SetPrev(LineRecord* r, LineRecord* v) {
    Store(Bytes(r) + kRecPrev, v);
}
inline LineRecord* Next(const LineRecord* r) {
    return Load<LineRecord*>(Bytes(r) + kRecNext);
}
inline void SetNext(LineRecord* r, LineRecord* v) {
    Store(Bytes(r) + kRecNext, v);
}
inline unsigned char* Tokens(const LineRecord* r) {
    return Bytes(r) + kRecHeader;
}

// A span: consecutive lines of text as they were read or inserted, standing in
// the list for their records until a line of it is needed. Its bytes lie at its
// base (the opened text, or just after the span in storage for a large
// insertion) from its begin to its end offset. Its length field
// holds the saved-form length of all its lines; prev and next link it like a
// record. Once expanded, its first and last records replace it in the list;
// the span keeps pointing to them so that stale links (from superseded records
// kept for undo, or from the line index) can be followed to the live records.
constexpr size_t kSpanBegin = kRecHeader;     // source offset of its first line
constexpr size_t kSpanEnd = kRecHeader + 4;   // source offset after its last line break
constexpr size_t kSpanLines = kRecHeader + 8; // number of lines
constexpr size_t kSpanFirst = kRecHeader + 12;
constexpr size_t kSpanLast = kRecHeader + 12 + kPtr;
constexpr size_t kSpanBase = kRecHeader + 12 + 2 * kPtr;
constexpr size_t kSpanSize = kRecHeader + 12 + 3 * kPtr;

inline bool IsSpan(const LineRecord* r) {
    return (Flags(r) & kSpan) != 0;
}
inline uint32_t SpanBegin(const LineRecord* r) {
    return Load<uint32_t>(Bytes(r) + kSpanBegin);
}
inline uint32_t SpanEnd(const LineRecord* r) {
    return Load<uint32_t>(Bytes(r) + kSpanEnd);
}
inline const unsigned char* SpanBase(const LineRecord* r) {
    return Load<const unsigned char*>(Bytes(r) + kSpanBase);
}
// A span's bytes and how they break.
struct SpanText {
    const unsigned char* p;
    const unsigned char* e;
    bool convert;
};
inline SpanText TextOf(const LineRecord* r) {
    const unsigned char* base = SpanBase(r);
    return SpanText{base + SpanBegin(r), base + SpanEnd(r), (Flags(r) & kSpanConvert) != 0};
}
// Lines a list node stands for: 1 for a record.
inline uint32_t NodeLines(const LineRecord* r) {
    return IsSpan(r) ? Load<uint32_t>(Bytes(r) + kSpanLines) : 1;
}
inline LineRecord* SpanFirst(const LineRecord* r) {
    return Load<LineRecord*>(Bytes(r) + kSpanFirst);
}
inline LineRecord* SpanLast(const LineRecord* r) {
    return Load<LineRecord*>(Bytes(r) + kSpanLast);
}
// A node as the list holds it now: an expanded span gives way to its first
// (or last) record.
inline LineRecord* LiveFirst(LineRecord* r) {
    return (Flags(r) & kExpanded) ? SpanFirst(r) : r;
}
inline LineRecord* LiveLast(LineRecord* r) {
    return (Flags(r) & kExpanded) ? SpanLast(r) : r;
}

// UndoHeader, written just before the first record of a step.
constexpr size_t kUndoCaretLine = 0; // bit 31: undone with the step before
constexpr size_t kUndoCaretColumn = 4;
constexpr size_t kUndoTotalBytes = 8;
constexpr size_t kUndoLineCount = 12;
constexpr size_t kUndoVScroll = 16;
constexpr size_t kUndoFirstLine = 20;       // line number of the first record replaced
constexpr size_t kUndoLayout = 24;          // layouts of every line made before the step
constexpr size_t kUndoPrevPoint = 28;       // newest undo point before this step
constexpr size_t kUndoReplaced = 28 + kPtr; // the record the step's first record replaced
constexpr size_t kUndoHeader = 28 + 2 * kPtr;

inline unsigned char* UndoHeaderOf(const LineRecord* r) {
    return Bytes(r) - kUndoHeader;
}

// Token tags. A run's tag carries its class and colour entry.
constexpr uint8_t kTagEnd = 0x00;
constexpr uint8_t kTagTab = 0x09; // its stop follows from the x where it starts
constexpr uint8_t kTagNul = 0x7E;
constexpr uint8_t kTagLink = 0x7F; // + pointer to where the stream continues
constexpr uint8_t kTagRun = 0x80;  // | colour << 4 | class; + count, x, width, characters
constexpr size_t kLinkSize = 1 + kPtr;

inline uint8_t RunTag(uint8_t tokenClass, uint8_t colour) {
    return static_cast<uint8_t>(kTagRun | (colour << 4) | tokenClass);
}

// Storage bound for a line of n characters: a run of one character per
// character is the worst case (tag, count, x, width, byte).
constexpr size_t kWorstBytesPerChar = 1 + 2 + 4 + 4 + 1;

} // namespace layout
} // namespace stx
