// The one open document: versioned line records with pre-laid-out tokens in
// append-only storage blocks. An opened text is kept as it was read and cut
// into spans of lines, and so are the middle lines of a large insertion; a
// span's lines are tokenized and laid out the first time one of them is
// needed, so opening or inserting costs one pass over the bytes.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <thread>

#include "text/line_index.h"
#include "text/line_scan.h"
#include "text/storage.h"

namespace stx {

// Outcome of an operation that can fail; on any failure nothing was changed.
enum class TextStatus : uint8_t {
    Ok = 0,
    OutOfMemory = 1,
    TooLarge = 2,    // the saved form would not fit TotalBytes' 32 bits
    BadArgument = 3, // lines out of range
    ReadFailed = 4,  // the source stopped short
};

// Largest TotalBytes a document may reach (room for the terminating 0x00).
constexpr uint32_t kMaxTotalBytes = 0xFFFFFFF0u;

enum class TokenKind : uint8_t { End, Tab, Nul, Run };

enum class TokenClass : uint8_t { None = 0, Plain = 1, Number = 7 };

// Entry indexes of the colour table that runs refer to.
constexpr unsigned kTextColourIndex = 0;
constexpr unsigned kNumberColourIndex = 7;
constexpr uint32_t kDefaultTextColour = 0x000000;
constexpr uint32_t kDefaultNumberColour = 0x8F2010;

constexpr uint32_t kMaxRunChars = 500;

// Colours are held here, not in the tokens, so a colour change shows at the
// next paint without re-tokenizing. Values are 0x00BBGGRR.
struct ColourTable {
    uint32_t entries[8] = {kDefaultTextColour, 0, 0, 0, 0, 0, 0, kDefaultNumberColour};
    uint32_t& Text() { return entries[kTextColourIndex]; }
    uint32_t& Number() { return entries[kNumberColourIndex]; }
};

// Advance width in pixels of each byte value in the current font. Entry 9
// (TAB) holds the tab width, entry 0 the width drawn for a NUL byte.
struct CharWidthTable {
    uint8_t widths[256];
    uint32_t widest; // widest character (TAB excluded)

    CharWidthTable() { Fill(nullptr); }
    // Takes the font's widths (null: a fixed 8-pixel font) and applies the tab
    // rule: 8 spaces, or 248 when the space is 32 pixels or wider. A zero
    // space width still gives a tab of 1 pixel so tab stops stay defined.
    void Fill(const uint8_t* fontWidths);
    uint32_t TabWidth() const { return widths[9] ? widths[9] : 1; }
    uint32_t operator[](unsigned char c) const { return widths[c]; }
};

// A line version inside storage. Opaque: read it through TextBuffer.
struct LineRecord;

// One token of a line as the view sees it.
struct Token {
    TokenKind kind = TokenKind::End;
    TokenClass tokenClass = TokenClass::None; // runs only
    uint32_t count = 0;                       // characters (1 for TAB and NUL)
    uint32_t x = 0;                           // pixels from the line start
    uint32_t width = 0;                       // pixels (TAB: to its tab stop)
    const uint32_t* colour = nullptr;         // runs only: entry in the ColourTable
    const char* chars = nullptr;              // the characters (TAB/NUL: a static byte)
};

class TextBuffer;

// Walks the tokens of one line record, following storage links. Yields End
// at the line's end (and keeps yielding it); End's x is the line's width.
class TokenCursor {
  public:
    TokenCursor(const TextBuffer& buffer, const LineRecord* record);
    Token Next();

  private:
    const TextBuffer* buffer_;
    const unsigned char* p_;
    uint32_t x_ = 0;
    bool wide_ = false;
};

// Undo state captured before an edit and written into its UndoHeader.
struct PendingUndo {
    uint32_t caretLine = 1; // bit 31: undo together with the step before
    uint32_t caretColumn = 0;
    uint32_t totalBytes = 0;
    uint32_t lineCount = 1;
    uint32_t vScrollPos = 1;
};
constexpr uint32_t kUndoPairBit = 0x80000000u;

// What an undo restored, for the editor to place the caret and view.
struct UndoResult {
    bool done = false;
    TextStatus status = TextStatus::Ok;
    uint32_t caretLine = 1;
    uint32_t caretColumn = 0;
    uint32_t vScrollPos = 1;
    uint32_t firstLine = 1; // first line the undone step touched
};

// How bytes handed to the tokenizer end their lines.
enum class BreakRule : uint8_t {
    CrLfOnly,    // only CR LF breaks; lone CR and LF are characters
    ConvertLone, // lone CR and LF break too (each adds 1 to TotalBytes)
};

class TextBuffer {
  public:
    explicit TextBuffer(BlockAllocator* allocator = nullptr);
    ~TextBuffer();
    TextBuffer(const TextBuffer&) = delete;
    TextBuffer& operator=(const TextBuffer&) = delete;

    // --- whole document -------------------------------------------------
    // Empty document: one empty line. Clears the undo history.
    TextStatus New();
    // Replaces the document by [text, end); end null means the first 0x00
    // ends the text, otherwise 0x00 bytes before end become NUL tokens.
    // The text is copied; its lines are measured (WidestLine) but laid out
    // only when first needed. On failure the old document stays.
    TextStatus Parse(const char* text, const char* end);
    // The same from the source's bytes (0x00 bytes are NUL characters), read
    // and scanned on two threads when they are many.
    TextStatus Parse(ByteSource& source);
    // Parses the document's own text again with lone CR and LF as line
    // breaks or not; the old document stays if this fails.
    TextStatus Reparse(BreakRule rule);
    // How a parse cuts the text into spans.
    ParseGrain grain;

    // --- totals ---------------------------------------------------------
    uint32_t TotalBytes() const { return totalBytes_; }
    uint32_t LineCount() const { return lineCount_; }
    uint32_t ConvertedBreaks() const { return convertedBreaks_; }
    uint32_t WidestLine() const { return widestLine_; }

    // "Auto convert UNIX text".
    bool convertLineBreaks = false;
    BreakRule CurrentBreakRule() const {
        return convertLineBreaks ? BreakRule::ConvertLone : BreakRule::CrLfOnly;
    }
    uint32_t modified = 0;

    CharWidthTable& Widths() { return widths_; }
    const CharWidthTable& Widths() const { return widths_; }
    ColourTable& Colours() { return colours_; }
    const ColourTable& Colours() const { return colours_; }

    // --- reading ----------------------------------------------------------
    // Copies count bytes of the saved form (CR LF between lines) after
    // skipping skip bytes. count is clamped to TotalBytes + 1; when the text
    // ends first a single 0x00 is written. Returns the text bytes produced
    // (the 0x00 not counted).
    uint32_t ExtractRange(uint32_t count, uint32_t skip, char* destination) const;
    // Read-only walk of the saved form for searching: hands consecutive
    // pieces of it, from byte offset on, to visit until visit returns false
    // or the text ends. A piece is valid during its call only. The first
    // pieces are short, so a reader that stops early has read little.
    using PieceVisitor = bool (*)(void* context, const char* bytes, size_t size);
    void VisitPieces(uint32_t offset, PieceVisitor visit, void* context) const;
    // Up to maxCount characters of line n (no line break); 0 if no such line.
    uint32_t ExtractLine(uint32_t line, uint32_t maxCount, char* destination) const;
    // Byte offset of the first character of line n in the saved form: the
    // sum of (characters + 2) over the lines before it. Lines past the last
    // give TotalBytes + 2.
    uint32_t LineStartOffset(uint32_t line) const;
    // Line and column of a byte offset (clamped to TotalBytes). An offset
    // that falls on a line break's second byte counts as the line's end.
    void OffsetToLineColumn(uint32_t offset, uint32_t& line, uint32_t& column) const;

    // Record of line n (1-based), null if none. Lines of the opened text are
    // tokenized here the first time they are asked for; null too when the
    // memory for that cannot be had.
    const LineRecord* FindLine(uint32_t line) const;
    // Neighbours in the list; null past the last line / before line 1, or
    // when out of memory as above.
    const LineRecord* NextLine(const LineRecord* record) const;
    const LineRecord* PreviousLine(const LineRecord* record) const;
    const LineRecord* Sentinel() const { return sentinel_; }

    // A null record reads as an empty line.
    static uint32_t LineLength(const LineRecord* record); // characters + 2
    static uint32_t LineChars(const LineRecord* record) { return LineLength(record) - 2; }
    uint32_t LineWidth(const LineRecord* record) const; // pixels
    // Copies up to maxCount of the line's characters from column from on
    // (TAB 0x09, NUL 0x00); returns the count.
    uint32_t CopyLineChars(const LineRecord* record, char* destination, uint32_t maxCount,
                           uint32_t from = 0) const;

    // --- layout -----------------------------------------------------------
    void Layout(const LineRecord* record);
    void LayoutAll();

    // --- writing new line versions -------------------------------------------
    // Replaces lines [firstLine, firstLine + removeCount) by the lines of
    // [bytes, bytes + size) cut by rule. The text is always at least one line
    // (an empty text is one empty line). The newest record is rewritten in
    // place when it is the only line replaced, one line results and
    // newStep is false; otherwise an UndoHeader holding pending starts a new
    // step; the header records the totals as they are now. Totals follow the
    // new lines. On failure nothing changes.
    // newLines (optional) receives the number of lines written.
    TextStatus ReplaceLines(uint32_t firstLine, uint32_t removeCount, const char* bytes,
                            size_t size, BreakRule rule, bool newStep, const PendingUndo& pending,
                            uint32_t* newLines = nullptr);
    // Makes the next edit start a new undo step.
    void ResetMostRecent() { mostRecent_ = sentinel_; }
    const LineRecord* MostRecent() const { return mostRecent_; }

    // --- undo -----------------------------------------------------------------
    uint32_t UndoCount() const { return undoCount_; }
    bool CanUndo() const { return undoCount_ > 0; }
    // Pops the newest step (and the step paired with it) off storage.
    UndoResult Undo();

    // --- busy flag ------------------------------------------------------------
    // Held by every change of the document; another thread that reads the
    // buffer (printing) holds it too. The holding thread may take it again;
    // other threads wait, yielding the processor.
    void AcquireBusy() const;
    void ReleaseBusy() const;
    bool IsBusy() const { return busy_.load(std::memory_order_acquire); }

    // --- statistics for tests and benchmarks ---------------------------------------
    // Bytes held for the document: storage blocks, the text as read, spans
    // and the line index.
    size_t StorageBytes() const;
    size_t BlockCount() const { return storage_.BlockCount() + cache_.BlockCount(); }
    // Checks list, index and totals against each other (tests).
    bool CheckConsistency() const;

  private:
    friend class TokenCursor;
    friend class TextEditor; // holds the busy flag across its own steps

    TextStatus ParseUnlocked(ByteSource& source);
    UndoResult UndoUnlocked();
    void NoteWidth(uint64_t width);
    void LayoutNode(const LineRecord* node);
    // Record of line (0-based), laying its span out if needed.
    LineRecord* At(uint32_t line) const;
    // Tokenizes a span's lines into records that take its place in the list;
    // returns its first record, null when out of memory.
    LineRecord* Expand(LineRecord* span) const;
    // Offset of a line within a span, and the line holding an offset in it.
    uint64_t OffsetInSpan(const LineRecord* span, uint32_t lines) const;
    uint32_t LineInSpan(const LineRecord* span, uint64_t offset, uint64_t& lineStart,
                        uint32_t& chars) const;
    uint32_t ExtractSpan(const LineRecord* span, uint64_t within, uint32_t want, char* out) const;
    // Writes the whole lines [p, e) of an insertion as spans (records for
    // lines too long for a storage block) and chains them after last.
    bool WriteSpans(const unsigned char* p, const unsigned char* e, bool convert,
                    LineRecord*& first, LineRecord*& last, uint32_t& lines, uint64_t& saved,
                    uint64_t& widest);
    void FreeSource();

    BlockAllocator* allocator_;
    Storage storage_; // the sentinel, edited line versions and undo headers
    Storage cache_;   // records of spans laid out on demand; never rewound (the
                      // records of an undone insertion's spans stay until the next open)
    LineIndex index_;
    unsigned char* source_ = nullptr; // the text as read, kScanPadding bytes longer
    size_t sourceSize_ = 0;
    unsigned char* spans_ = nullptr; // layout::kSpanSize bytes each
    size_t spanCount_ = 0;
    LineRecord* sentinel_ = nullptr;
    LineRecord* mostRecent_ = nullptr;
    LineRecord* newestUndoPoint_ = nullptr;
    uint32_t undoCount_ = 0;
    uint32_t totalBytes_ = 0;
    uint32_t lineCount_ = 1;
    uint32_t convertedBreaks_ = 0;
    uint32_t widestLine_ = 0;
    uint32_t layouts_ = 0; // full layouts made (new fonts)
    CharWidthTable widths_;
    ColourTable colours_;
    mutable std::atomic<bool> busy_{false};
    mutable std::atomic<std::thread::id> busyOwner_{};
    mutable uint32_t busyDepth_ = 0; // touched only by the holding thread
};

// Holds the busy flag for a scope.
class BusyGuard {
  public:
    explicit BusyGuard(const TextBuffer& buffer) : buffer_(buffer) { buffer_.AcquireBusy(); }
    ~BusyGuard() { buffer_.ReleaseBusy(); }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

  private:
    const TextBuffer& buffer_;
};

} // namespace stx
