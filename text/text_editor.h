// The document with its caret, selection and vertical scroll state: every
// movement and every edit a user can make, without the window around it.
// The window feeds keys, characters, mouse points and view metrics in and
// applies what comes out (repaint requests, scroll ranges and positions).
#pragma once

#include <cstddef>
#include <cstdint>

#include "text/caret.h"
#include "text/scratch_line.h"
#include "text/text_buffer.h"
#include "view/view_geometry.h"

namespace stx {

enum class Key : uint8_t { Left, Right, Up, Down, Home, End, PageUp, PageDown };

// What a WM_CHAR code asks of the window beyond the editor's own work.
enum class CharAction : uint8_t { None, Copy, Cut, Paste };

// A WM_CHAR code's outcome: what is left to the window, and how the editor's
// own edit went (a failed edit changed nothing).
struct CharResult {
    CharAction action = CharAction::None;
    TextStatus status = TextStatus::Ok;
};

// An undo: whether a step was taken back, and why not when one was there.
struct UndoOutcome {
    bool done = false;
    TextStatus status = TextStatus::Ok;
};

class TextEditor {
  public:
    explicit TextEditor(BlockAllocator* allocator = nullptr);
    ~TextEditor();
    TextEditor(const TextEditor&) = delete;
    TextEditor& operator=(const TextEditor&) = delete;

    // Replace the document through the editor (New, Parse, SetText), which
    // keeps the caret and view in step; the buffer is for reading and settings.
    TextBuffer& Buffer() { return buffer_; }
    const TextBuffer& Buffer() const { return buffer_; }
    const Caret& GetCaret() const { return caret_; }
    // The caret animation sets the hidden bit (kCaretHidden) of the flags.
    void SetCaretFlags(uint8_t flags) { caret_.flags = flags; }
    const Selection& GetSelection() const { return selection_; }
    const TopLine& GetTopLine() const { return top_; }

    // View metrics, set by the window (WM_SIZE, font change, render settings).
    void SetView(const ViewGeometry& view);
    // A new font: the width table is filled from the font's widths (null: a
    // fixed 8-pixel font), every line laid out again, caret and anchor moved
    // to their new pixel positions.
    void SetCharWidths(const uint8_t* fontWidths);
    const ViewGeometry& View() const { return view_; }

    uint8_t overwrite = 0; // 1 = overwrite, 0 = insert (the Insert key flips bit 0)
    bool autoIndent = true;

    // --- what the window must do after a call -------------------------------
    // The largest repaint asked for since the last call, and the caret as it
    // was before the first change (its rectangle needs repainting too).
    Repaint TakeRepaint();
    const Caret& CaretBeforeRepaint() const { return caretBefore_; }
    uint32_t PageSize() const { return top_.pageSize; }
    uint32_t VScrollRange() const;
    uint32_t HScrollRange() const;

    // --- whole document ---------------------------------------------------------
    TextStatus New();
    // Open: replaces the text and resets caret and view. The modified flag is
    // left to the caller.
    TextStatus Parse(const char* text, const char* end);
    TextStatus Parse(ByteSource& source);
    // WM_SETTEXT: empty text gives New, otherwise the first 0x00 ends it.
    // Marks the document modified.
    TextStatus SetText(const char* text);
    // "Convert UNIX text": parse the text again with lone CR and LF as breaks.
    TextStatus ConvertUnixText();

    // --- caret and selection --------------------------------------------------
    void KeyDown(Key key, bool ctrl, bool shift);
    void MouseDown(int32_t x, int32_t y);
    void MouseMove(int32_t x, int32_t y, bool leftButtonDown);
    void MouseUp() { dragging_ = false; }
    // Timer tick while dragging: the cursor point in view coordinates.
    void DragTick(int32_t x, int32_t y);
    bool Dragging() const { return dragging_; }

    // EM_SETSEL: anchor at start, caret at end (offsets clamped to TotalBytes).
    void SetSelection(uint32_t start, uint32_t end);
    void DropSelection();
    // EM_GETSEL: ordered offsets; both the caret's offset without a selection.
    void GetSelectionRange(uint32_t& start, uint32_t& end) const;
    uint32_t CaretOffset() const;

    // --- scrolling ------------------------------------------------------------------
    void SetTopLine(uint32_t line);
    void SetHorizontalOffset(uint32_t pixels);
    void ScrollCaretIntoView();

    // --- editing --------------------------------------------------------------------
    // WM_CHAR. Copy, cut and paste are left to the window (clipboard), which
    // calls FinishChar afterwards; every other code is handled here.
    CharResult Char(uint8_t code);
    void FinishChar();

    TextStatus InsertChar(uint8_t c);
    TextStatus DeleteSelection();
    TextStatus SplitLine();
    TextStatus DeleteLeft();
    TextStatus DeleteRight();
    // VK_DELETE: the selection when there is one, else the byte at the caret.
    TextStatus DeleteKey();
    // Paste, EM_REPLACESEL, replace, insert data: the text replaces the
    // selection as one undo step; NUL bytes within size are kept.
    TextStatus InsertText(const char* text, size_t size);
    TextStatus InsertText(const char* zeroTerminated);

    bool CanUndo() const { return buffer_.CanUndo(); }
    // Not done (nothing changed) when there is nothing to undo or memory ran out.
    UndoOutcome Undo();

    // --- clipboard, text side ---------------------------------------------------------
    // Length of the selection's saved form (0 without one).
    uint32_t SelectionLength() const;
    // Copies the selection with CR LF between lines and a terminating 0x00;
    // destination holds SelectionLength() + 1 bytes. Returns the length.
    uint32_t CopySelection(char* destination) const;

  private:
    struct Position {
        uint32_t line;
        uint32_t column;
        uint32_t x;
    };
    struct SavedState {
        Caret caret;
        Selection selection;
        TopLine top;
        uint32_t modified;
    };

    // The shared state (text_editor.cpp): caret placement, selection, view
    // metrics, scrolling and repaint requests.
    void ResetView();
    void NoteRepaint(Repaint r);
    void BeginChange();
    void RefreshRecords();
    void UpdatePageSize();
    void UpdateY();
    int32_t RowY(uint32_t line) const;
    Position PositionAtOffset(uint32_t offset) const;
    void PlaceCaretAtOffset(uint32_t offset);
    uint32_t ColumnToX(const LineRecord* record, uint32_t column) const;
    uint32_t XToColumn(const LineRecord* record, uint32_t x, uint32_t& columnX) const;
    void ScrollIntoViewVertically();
    void ScrollIntoViewHorizontally();
    void OrderSelection();

    // Caret movement (caret_movement.cpp).
    void MoveVertically(uint32_t line);
    void PointToCaret(int32_t x, int32_t y, bool& placed);
    void StartOfText();
    void EndOfText();
    void WordLeft();
    void WordRight();

    // Editing (editing.cpp).
    SavedState Save() const;
    void TakeBackPairedDeletion(const SavedState& saved, bool busyHeld);
    TextStatus ReplaceSelectionWith(const char* text, size_t size, bool pairWithPrevious);
    PendingUndo Pending(bool paired) const;
    void AfterEdit(uint32_t caretOffset, Repaint repaint);

    TextBuffer buffer_;
    BlockAllocator* allocator_;
    Caret caret_;
    Selection selection_;
    TopLine top_;
    ViewGeometry view_;
    Repaint repaint_ = Repaint::None;
    Caret caretBefore_;
    bool changeOpen_ = false; // caretBefore_ taken since the last TakeRepaint
    bool dragging_ = false;

    // Rebuilds a line during an edit; word movement reads a line from it.
    ScratchLine scratch_;
};

} // namespace stx
