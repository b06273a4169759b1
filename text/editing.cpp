// Editing: typing, Enter, deletion, inserted text, undo and whole-document
// replacement. Lines are rebuilt in the scratch line and written back as new
// line versions.
#include <algorithm>
#include <cstring>

#include "text/char_classes.h"
#include "text/text_editor.h"

namespace stx {

namespace {

// Copies a line's characters from column from to its end.
size_t CopyTail(const TextBuffer& b, const LineRecord* record, uint32_t from, char* dest) {
    uint32_t chars = TextBuffer::LineChars(record);
    if (from >= chars) return 0;
    return b.CopyLineChars(record, dest, chars - from, from);
}

// head[0..headColumn) + insert + tail[tailColumn..] into dest.
size_t Compose(const TextBuffer& b, char* dest, const LineRecord* head, uint32_t headColumn,
               const char* insert, size_t insertSize, const LineRecord* tail, uint32_t tailColumn) {
    size_t n = b.CopyLineChars(head, dest, headColumn);
    if (insertSize) std::memcpy(dest + n, insert, insertSize);
    n += insertSize;
    return n + CopyTail(b, tail, tailColumn, dest + n);
}

// Lone CR and LF of pasted text become CR LF.
size_t ConvertBreaks(const char* text, size_t size, char* out) {
    size_t n = 0;
    for (size_t i = 0; i < size; ++i) {
        char c = text[i];
        if (c == '\r' && i + 1 < size && text[i + 1] == '\n') {
            out[n++] = '\r';
            out[n++] = '\n';
            ++i;
        } else if (c == '\r' || c == '\n') {
            out[n++] = '\r';
            out[n++] = '\n';
        } else {
            out[n++] = c;
        }
    }
    return n;
}

// A buffer from the document's allocator, given back at scope end.
class TempBuffer {
  public:
    TempBuffer(BlockAllocator* allocator, size_t size)
        : allocator_(allocator), data_(static_cast<char*>(allocator->Allocate(size ? size : 1))) {}
    ~TempBuffer() {
        if (data_) allocator_->Free(data_);
    }
    TempBuffer(const TempBuffer&) = delete;
    TempBuffer& operator=(const TempBuffer&) = delete;
    char* Data() const { return data_; }

  private:
    BlockAllocator* allocator_;
    char* data_;
};

} // namespace

PendingUndo TextEditor::Pending(bool paired) const {
    PendingUndo p;
    p.caretLine = caret_.line | (paired ? kUndoPairBit : 0);
    p.caretColumn = caret_.column;
    p.totalBytes = buffer_.TotalBytes();
    p.lineCount = buffer_.LineCount();
    p.vScrollPos = top_.vScrollPos;
    return p;
}

void TextEditor::AfterEdit(uint32_t caretOffset, Repaint repaint) {
    buffer_.modified = 1;
    selection_.Drop();
    RefreshRecords();
    PlaceCaretAtOffset(caretOffset);
    ScrollCaretIntoView();
    NoteRepaint(repaint);
}

// --- the edits ---------------------------------------------------------------------

TextEditor::SavedState TextEditor::Save() const {
    return SavedState{caret_, selection_, top_, buffer_.modified};
}

// Enter and paste delete a selection as a step of their own first; when the
// step after it fails, that deletion is undone so the document is unchanged.
void TextEditor::TakeBackPairedDeletion(const SavedState& saved, bool busyHeld) {
    if (busyHeld)
        buffer_.UndoUnlocked();
    else
        buffer_.Undo();
    caret_ = saved.caret;
    selection_ = saved.selection;
    top_ = saved.top;
    buffer_.modified = saved.modified;
    RefreshRecords();
    NoteRepaint(Repaint::All);
}

TextStatus TextEditor::ReplaceSelectionWith(const char* text, size_t size, bool pairWithPrevious) {
    const PendingUndo pending = Pending(pairWithPrevious);
    Caret savedCaret = caret_;
    Selection savedSelection = selection_;
    OrderSelection();
    const Caret& a = selection_.anchor;
    if (!a.record) {
        caret_ = savedCaret;
        selection_ = savedSelection;
        return TextStatus::OutOfMemory;
    }
    const uint32_t longest =
        std::max(TextBuffer::LineChars(caret_.record), TextBuffer::LineChars(a.record));
    if (!scratch_.Load(buffer_, caret_.record, longest + static_cast<uint32_t>(size))) {
        caret_ = savedCaret;
        selection_ = savedSelection;
        return TextStatus::OutOfMemory;
    }
    const uint32_t start = CaretOffset();
    size_t n = Compose(buffer_, scratch_.Data(), caret_.record, caret_.column, text, size, a.record,
                       a.column);
    TextStatus s = buffer_.ReplaceLines(caret_.line, a.line - caret_.line + 1, scratch_.Data(), n,
                                        BreakRule::CrLfOnly, true, pending);
    if (s != TextStatus::Ok) {
        caret_ = savedCaret;
        selection_ = savedSelection;
        return s;
    }
    AfterEdit(start + static_cast<uint32_t>(size), Repaint::All);
    return TextStatus::Ok;
}

TextStatus TextEditor::InsertChar(uint8_t c) {
    BeginChange();
    const char ch = static_cast<char>(c);
    if (selection_.Exists()) return ReplaceSelectionWith(&ch, 1, false);
    if (!scratch_.Load(buffer_, caret_.record, 1)) return TextStatus::OutOfMemory;
    const uint32_t chars = TextBuffer::LineChars(caret_.record);
    const uint32_t tail = overwrite && caret_.column < chars ? caret_.column + 1 : caret_.column;
    size_t n = Compose(buffer_, scratch_.Data(), caret_.record, caret_.column, &ch, 1,
                       caret_.record, tail);
    const uint32_t offset = CaretOffset();
    uint32_t lines = 0;
    TextStatus s = buffer_.ReplaceLines(caret_.line, 1, scratch_.Data(), n, BreakRule::CrLfOnly,
                                        false, Pending(false), &lines);
    if (s != TextStatus::Ok) return s;
    AfterEdit(offset + 1, lines == 1 ? Repaint::CaretBand : Repaint::All);
    return TextStatus::Ok;
}

TextStatus TextEditor::DeleteSelection() {
    if (!selection_.Exists()) return TextStatus::Ok;
    BeginChange();
    return ReplaceSelectionWith(nullptr, 0, false);
}

TextStatus TextEditor::DeleteKey() {
    return selection_.Exists() ? DeleteSelection() : DeleteRight();
}

TextStatus TextEditor::SplitLine() {
    BeginChange();
    const SavedState saved = Save();
    bool paired = false;
    if (selection_.Exists()) {
        TextStatus s = DeleteSelection();
        if (s != TextStatus::Ok) return s;
        paired = true;
    }
    auto rollback = [&](TextStatus s) {
        if (paired) TakeBackPairedDeletion(saved, false);
        return s;
    };

    if (!scratch_.Load(buffer_, caret_.record, TextBuffer::LineChars(caret_.record) + 2))
        return rollback(TextStatus::OutOfMemory);
    // Indentation in columns: TAB to the next multiple of 8, space 1, no
    // more than lies left of the caret.
    uint32_t indent = 0;
    if (autoIndent) {
        uint32_t i = 0;
        for (; i < scratch_.Used(); ++i) {
            if (scratch_.Data()[i] == '\t')
                indent = NextTabColumn(indent);
            else if (scratch_.Data()[i] == ' ')
                ++indent;
            else
                break;
        }
        const uint32_t space = buffer_.Widths()[' '];
        uint32_t limit = 0;
        if (space) {
            limit = caret_.x / space;
        } else {
            for (uint32_t k = 0; k < caret_.column && k < i; ++k)
                limit = scratch_.Data()[k] == '\t' ? NextTabColumn(limit) : limit + 1;
        }
        indent = std::min(indent, limit);
    }
    // "\r\n" and the indentation in canonical form: TABs, then spaces.
    const uint32_t indentChars = indent / 8 + indent % 8;
    char* insert = scratch_.Data() + scratch_.Used();
    insert[0] = '\r';
    insert[1] = '\n';
    std::memset(insert + 2, '\t', indent / 8);
    std::memset(insert + 2 + indent / 8, ' ', indent % 8);
    const size_t insertSize = 2 + indentChars;
    // Build the result after the insert so nothing overlaps.
    char* out = insert + insertSize;
    size_t n = Compose(buffer_, out, caret_.record, caret_.column, insert, insertSize,
                       caret_.record, caret_.column);
    const uint32_t offset = CaretOffset();
    TextStatus s =
        buffer_.ReplaceLines(caret_.line, 1, out, n, BreakRule::CrLfOnly, true, Pending(paired));
    if (s != TextStatus::Ok) return rollback(s);
    AfterEdit(offset + static_cast<uint32_t>(insertSize), Repaint::All);
    return TextStatus::Ok;
}

TextStatus TextEditor::DeleteLeft() {
    BeginChange();
    if (caret_.column == 0) {
        if (caret_.line == 1) {
            DropSelection();
            return TextStatus::Ok;
        }
        // To the end of the previous line, then remove the break there.
        const Caret savedCaret = caret_;
        const TopLine savedTop = top_;
        caret_.line -= 1;
        caret_.record = buffer_.FindLine(caret_.line);
        caret_.column = TextBuffer::LineChars(caret_.record);
        caret_.x = caret_.preferredX = buffer_.LineWidth(caret_.record);
        if (caret_.line < top_.line) SetTopLine(caret_.line);
        TextStatus s = DeleteRight();
        if (s != TextStatus::Ok) {
            caret_ = savedCaret;
            top_ = savedTop;
            RefreshRecords();
        }
        return s;
    }
    if (!scratch_.Load(buffer_, caret_.record, 0)) return TextStatus::OutOfMemory;
    char* out = scratch_.Data() + scratch_.Used();
    size_t n = Compose(buffer_, out, caret_.record, caret_.column - 1, nullptr, 0, caret_.record,
                       caret_.column);
    const uint32_t offset = CaretOffset();
    uint32_t lines = 0;
    TextStatus s = buffer_.ReplaceLines(caret_.line, 1, out, n, BreakRule::CrLfOnly, false,
                                        Pending(false), &lines);
    if (s != TextStatus::Ok) return s;
    AfterEdit(offset - 1, lines == 1 && !selection_.Exists() ? Repaint::CaretBand : Repaint::All);
    return TextStatus::Ok;
}

TextStatus TextEditor::DeleteRight() {
    BeginChange();
    const uint32_t chars = TextBuffer::LineChars(caret_.record);
    const uint32_t offset = CaretOffset();
    if (caret_.column < chars) {
        if (!scratch_.Load(buffer_, caret_.record, 0)) return TextStatus::OutOfMemory;
        char* out = scratch_.Data() + scratch_.Used();
        size_t n = Compose(buffer_, out, caret_.record, caret_.column, nullptr, 0, caret_.record,
                           caret_.column + 1);
        uint32_t lines = 0;
        TextStatus s = buffer_.ReplaceLines(caret_.line, 1, out, n, BreakRule::CrLfOnly, false,
                                            Pending(false), &lines);
        if (s != TextStatus::Ok) return s;
        AfterEdit(offset, lines == 1 ? Repaint::CaretBand : Repaint::All);
        return TextStatus::Ok;
    }
    if (caret_.line >= buffer_.LineCount()) return TextStatus::Ok; // end of the text
    // Join the next line.
    const LineRecord* next = buffer_.FindLine(caret_.line + 1);
    if (!next || !scratch_.Load(buffer_, caret_.record, TextBuffer::LineChars(next)))
        return TextStatus::OutOfMemory;
    size_t n = Compose(buffer_, scratch_.Data(), caret_.record, chars, nullptr, 0, next, 0);
    TextStatus s = buffer_.ReplaceLines(caret_.line, 2, scratch_.Data(), n, BreakRule::CrLfOnly,
                                        true, Pending(false));
    if (s != TextStatus::Ok) return s;
    AfterEdit(offset, Repaint::All);
    return TextStatus::Ok;
}

TextStatus TextEditor::InsertText(const char* zeroTerminated) {
    return InsertText(zeroTerminated, zeroTerminated ? std::strlen(zeroTerminated) : 0);
}

TextStatus TextEditor::InsertText(const char* text, size_t size) {
    BeginChange();
    if (size == 0) return selection_.Exists() ? DeleteSelection() : TextStatus::Ok;
    BusyGuard busy(buffer_);

    // Everything that can fail for want of memory is had before the first change.
    const bool convert = buffer_.convertLineBreaks;
    TempBuffer converted(allocator_, convert ? 2 * size : 1);
    if (!converted.Data()) return TextStatus::OutOfMemory;
    if (convert) {
        size = ConvertBreaks(text, size, converted.Data());
        text = converted.Data();
    }
    const LineRecord* tailLine = selection_.Exists() ? selection_.anchor.record : caret_.record;
    if (!caret_.record || !tailLine) return TextStatus::OutOfMemory;
    TempBuffer line(allocator_, size_t{TextBuffer::LineChars(caret_.record)} +
                                    TextBuffer::LineChars(tailLine) + size + 1024);
    if (!line.Data()) return TextStatus::OutOfMemory;

    const SavedState saved = Save();
    bool paired = false;
    if (selection_.Exists()) {
        TextStatus s = ReplaceSelectionWith(nullptr, 0, false);
        if (s != TextStatus::Ok) return s;
        paired = true;
    }
    const uint32_t offset = CaretOffset();
    size_t n = Compose(buffer_, line.Data(), caret_.record, caret_.column, text, size,
                       caret_.record, caret_.column);
    TextStatus s = buffer_.ReplaceLines(caret_.line, 1, line.Data(), n, BreakRule::CrLfOnly, true,
                                        Pending(paired));
    if (s != TextStatus::Ok) {
        if (paired) TakeBackPairedDeletion(saved, true);
        return s;
    }
    AfterEdit(offset + static_cast<uint32_t>(size), Repaint::All);
    return TextStatus::Ok;
}

// --- WM_CHAR ----------------------------------------------------------------------------

CharResult TextEditor::Char(uint8_t code) {
    CharResult result;
    switch (code) {
    case 0x03:
        return {CharAction::Copy};
    case 0x16:
        return {CharAction::Paste};
    case 0x18:
        return {CharAction::Cut};
    case 0x1A:
        result.status = Undo().status;
        break;
    case 0x0B: // Ctrl+K: the selection is dropped below
    case 0x0A: // Ctrl+Enter
    case 0x7F: // Ctrl+Backspace
        break;
    case 0x0D:
        result.status = SplitLine();
        break;
    case 0x08:
        result.status = DeleteLeft();
        break;
    default:
        result.status = InsertChar(code);
        break;
    }
    FinishChar();
    return result;
}

void TextEditor::FinishChar() {
    DropSelection();
}

// --- undo --------------------------------------------------------------------------------

UndoOutcome TextEditor::Undo() {
    if (!buffer_.CanUndo()) return {};
    BeginChange();
    UndoResult r = buffer_.Undo();
    if (!r.done) return {false, r.status};
    buffer_.modified = 1;
    selection_.Drop();
    RefreshRecords();
    PlaceCaretAtOffset(buffer_.LineStartOffset(r.caretLine) + r.caretColumn);
    ScrollCaretIntoView();
    SetTopLine(r.vScrollPos);
    NoteRepaint(Repaint::All);
    return {true, r.status};
}

// --- whole document ------------------------------------------------------------------------

TextStatus TextEditor::New() {
    TextStatus s = buffer_.New();
    if (s == TextStatus::Ok) ResetView();
    return s;
}

TextStatus TextEditor::Parse(const char* text, const char* end) {
    TextStatus s = buffer_.Parse(text, end);
    if (s == TextStatus::Ok) ResetView();
    return s;
}

TextStatus TextEditor::Parse(ByteSource& source) {
    TextStatus s = buffer_.Parse(source);
    if (s == TextStatus::Ok) ResetView();
    return s;
}

TextStatus TextEditor::SetText(const char* text) {
    TextStatus s = (!text || !*text) ? buffer_.New() : buffer_.Parse(text, nullptr);
    if (s != TextStatus::Ok) return s;
    ResetView();
    buffer_.modified = 1;
    return s;
}

TextStatus TextEditor::ConvertUnixText() {
    TextStatus s = buffer_.Reparse(BreakRule::ConvertLone);
    if (s != TextStatus::Ok) return s;
    ResetView();
    buffer_.modified = 1;
    return s;
}

} // namespace stx
