// Caret movement: keys, words and the mouse.
#include <algorithm>

#include "text/char_classes.h"
#include "text/text_editor.h"

namespace stx {

namespace {

enum class CharKind : uint8_t { Blank, Word, Other };

CharKind KindOf(unsigned char c) {
    if (IsBlankChar(c)) return CharKind::Blank;
    return IsWordChar(c) ? CharKind::Word : CharKind::Other;
}

// Where word movement stops: a non-blank after a blank, a word character
// after another character, another character after a word character.
bool IsWordBoundary(CharKind before, CharKind at) {
    return (at != CharKind::Blank && before == CharKind::Blank) ||
           (at == CharKind::Word && before == CharKind::Other) ||
           (at == CharKind::Other && before == CharKind::Word);
}

} // namespace

// --- keys -----------------------------------------------------------------------------

void TextEditor::MoveVertically(uint32_t line) {
    caret_.line = line;
    caret_.record = buffer_.FindLine(line);
    caret_.column = XToColumn(caret_.record, caret_.preferredX, caret_.x);
}

void TextEditor::StartOfText() {
    caret_.line = 1;
    caret_.record = buffer_.FindLine(1);
    caret_.column = 0;
    caret_.x = caret_.preferredX = 0;
    SetTopLine(1);
    SetHorizontalOffset(0);
}

void TextEditor::EndOfText() {
    const uint32_t lines = buffer_.LineCount();
    SetTopLine(lines > top_.pageSize ? lines - top_.pageSize + 1 : 1);
    caret_.line = lines;
    caret_.record = buffer_.FindLine(lines);
    caret_.column = TextBuffer::LineChars(caret_.record);
    caret_.x = caret_.preferredX = buffer_.LineWidth(caret_.record);
}

void TextEditor::WordRight() {
    const uint32_t n = TextBuffer::LineChars(caret_.record);
    if (caret_.column >= n || !scratch_.Load(buffer_, caret_.record, 0)) return;
    const auto* b = reinterpret_cast<const unsigned char*>(scratch_.Data());
    CharKind kind = KindOf(b[caret_.column]);
    uint32_t i = caret_.column + 1;
    for (; i < n; ++i) {
        CharKind k = KindOf(b[i]);
        if (IsWordBoundary(kind, k)) break;
        kind = k;
    }
    caret_.column = i;
    caret_.x = ColumnToX(caret_.record, i);
}

void TextEditor::WordLeft() {
    if (!scratch_.Load(buffer_, caret_.record, 0)) return;
    const auto* b = reinterpret_cast<const unsigned char*>(scratch_.Data());
    uint32_t last = 0;
    for (uint32_t i = 1; i < caret_.column; ++i)
        if (IsWordBoundary(KindOf(b[i - 1]), KindOf(b[i]))) last = i;
    caret_.column = last;
    caret_.x = ColumnToX(caret_.record, last);
}

void TextEditor::KeyDown(Key key, bool ctrl, bool shift) {
    BeginChange();
    // A caret scrolled out of view comes back first.
    if (caret_.line < top_.line)
        SetTopLine(caret_.line);
    else if (caret_.line >= top_.line + top_.pageSize)
        SetTopLine(caret_.line - top_.pageSize + 1);

    if (shift) {
        if (!selection_.Exists()) {
            selection_.anchor = caret_;
            NoteRepaint(Repaint::All);
        }
    } else {
        DropSelection();
    }

    const uint32_t lines = buffer_.LineCount();
    const uint32_t chars = TextBuffer::LineChars(caret_.record);
    const bool onTopRow = caret_.line == top_.line;
    const bool onLastRow = caret_.line + 1 >= top_.line + top_.pageSize;
    switch (key) {
    case Key::Left:
        if (ctrl && caret_.column > 0) {
            WordLeft();
        } else if (caret_.column > 0) {
            --caret_.column;
            caret_.x = ColumnToX(caret_.record, caret_.column);
        } else if (caret_.line > 1) {
            --caret_.line;
            caret_.record = buffer_.FindLine(caret_.line);
            caret_.column = TextBuffer::LineChars(caret_.record);
            caret_.x = buffer_.LineWidth(caret_.record);
            if (onTopRow) SetTopLine(top_.line - 1);
        }
        caret_.preferredX = caret_.x;
        break;
    case Key::Right:
        if (ctrl) {
            WordRight();
        } else if (caret_.column < chars) {
            ++caret_.column;
            caret_.x = ColumnToX(caret_.record, caret_.column);
        } else if (caret_.line < lines) {
            ++caret_.line;
            caret_.record = buffer_.FindLine(caret_.line);
            caret_.column = 0;
            caret_.x = 0;
            if (onLastRow) SetTopLine(top_.line + 1);
        }
        caret_.preferredX = caret_.x;
        break;
    case Key::Up:
        if (caret_.line > 1) {
            MoveVertically(caret_.line - 1);
            if (onTopRow) SetTopLine(top_.line - 1);
        }
        break;
    case Key::Down:
        if (caret_.line < lines) {
            MoveVertically(caret_.line + 1);
            if (onLastRow) SetTopLine(top_.line + 1);
        }
        break;
    case Key::Home:
        if (ctrl) {
            StartOfText();
        } else {
            caret_.column = 0;
            caret_.x = caret_.preferredX = 0;
        }
        break;
    case Key::End:
        if (ctrl) {
            EndOfText();
        } else {
            caret_.column = chars;
            caret_.x = caret_.preferredX = buffer_.LineWidth(caret_.record);
        }
        break;
    case Key::PageUp:
        if (ctrl || top_.line <= top_.pageSize) {
            StartOfText();
        } else {
            SetTopLine(top_.line - top_.pageSize);
            MoveVertically(caret_.line - top_.pageSize);
        }
        break;
    case Key::PageDown:
        if (!ctrl && uint64_t{top_.line} + 2 * uint64_t{top_.pageSize} <= lines) {
            SetTopLine(top_.line + top_.pageSize);
            MoveVertically(caret_.line + top_.pageSize);
        } else {
            EndOfText();
        }
        break;
    }
    ScrollIntoViewHorizontally();
    UpdateY();
    NoteRepaint(selection_.Exists() ? Repaint::All : Repaint::CaretRect);
}

// --- mouse ---------------------------------------------------------------------------------

void TextEditor::PointToCaret(int32_t x, int32_t y, bool& placed) {
    placed = false;
    const int32_t spread = static_cast<int32_t>(view_.planeSpread);
    if (view_.fadeX < 0) {
        x -= spread;
        if (x < 0) return;
    }
    if (view_.fadeY < 0) {
        y -= spread;
        if (y < 0) y = 0;
    }
    const int32_t lh = static_cast<int32_t>(std::max<uint32_t>(1, view_.lineHeight));
    const int32_t row = y / lh;
    const int64_t line = int64_t{top_.line} + row;
    if (line < 1 || line > buffer_.LineCount()) return;
    if (view_.hexView) x -= static_cast<int32_t>(view_.addressColumnWidth);
    int64_t px = (x < 9 ? 0 : x - 8) + int64_t{top_.hOffset};
    caret_.line = static_cast<uint32_t>(line);
    caret_.record = buffer_.FindLine(caret_.line);
    caret_.column =
        XToColumn(caret_.record, static_cast<uint32_t>(std::max<int64_t>(0, px)), caret_.x);
    caret_.preferredX = caret_.x;
    UpdateY();
    placed = true;
}

void TextEditor::MouseDown(int32_t x, int32_t y) {
    BeginChange();
    bool placed;
    PointToCaret(x, y, placed);
    DropSelection();
    dragging_ = true;
    if (placed) ScrollIntoViewHorizontally();
    NoteRepaint(Repaint::CaretRect);
}

void TextEditor::MouseMove(int32_t x, int32_t y, bool leftButtonDown) {
    if (!leftButtonDown) {
        dragging_ = false;
        return;
    }
    if (!dragging_) {
        MouseDown(x, y);
        return;
    }
    BeginChange();
    if (!selection_.Exists()) selection_.anchor = caret_;
    bool placed;
    PointToCaret(x, y, placed);
    if (y < 0) {
        if (top_.line > 1) SetTopLine(top_.line - 1);
    } else if (y >= static_cast<int32_t>(view_.viewHeight)) {
        if (top_.line < std::min(buffer_.LineCount(), VScrollRange())) SetTopLine(top_.line + 1);
    }
    if (x < 0) {
        if (top_.hScrollPos > 0) SetHorizontalOffset((top_.hScrollPos - 1) * 16);
    } else if (x >= static_cast<int32_t>(view_.viewWidth)) {
        if (top_.hScrollPos < HScrollRange()) SetHorizontalOffset((top_.hScrollPos + 1) * 16);
    }
    if (selection_.anchor.line == caret_.line && selection_.anchor.column == caret_.column)
        selection_.Drop();
    UpdateY();
    NoteRepaint(Repaint::All);
}

void TextEditor::DragTick(int32_t x, int32_t y) {
    if (dragging_) MouseMove(x, y, true);
}

} // namespace stx
