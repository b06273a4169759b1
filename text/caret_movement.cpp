// Caret placement, keys, mouse, selection and the vertical scroll state.
#include <algorithm>

#include "text/text_editor.h"

namespace stx {

namespace {

enum class CharKind : uint8_t { Blank, Word, Other };

CharKind KindOf(unsigned char c) {
    if (c == ' ' || c == '\t' || c == 0) return CharKind::Blank;
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '^' ||
        c == '_' || c == '`' || c == '~')
        return CharKind::Word;
    return CharKind::Other;
}

// Where word movement stops: a non-blank after a blank, a word character
// after another character, another character after a word character.
bool IsWordBoundary(CharKind before, CharKind at) {
    return (at != CharKind::Blank && before == CharKind::Blank) ||
           (at == CharKind::Word && before == CharKind::Other) ||
           (at == CharKind::Other && before == CharKind::Word);
}

} // namespace

// --- positions ----------------------------------------------------------------

uint32_t TextEditor::ColumnToX(const LineRecord* record, uint32_t column) const {
    TokenCursor cursor(buffer_, record);
    uint32_t col = 0;
    const CharWidthTable& w = buffer_.Widths();
    for (Token t = cursor.Next();; t = cursor.Next()) {
        if (t.kind == TokenKind::End) return t.x;
        if (column < col + t.count) {
            if (t.kind != TokenKind::Run) return t.x;
            uint32_t x = t.x;
            for (uint32_t k = 0; k < column - col; ++k)
                x += w[static_cast<unsigned char>(t.chars[k])];
            return x;
        }
        col += t.count;
    }
}

// The midpoint rule: the caret passes a character of width w starting at x0
// when x >= x0 + ceil(w / 2).
uint32_t TextEditor::XToColumn(const LineRecord* record, uint32_t x, uint32_t& columnX) const {
    TokenCursor cursor(buffer_, record);
    const CharWidthTable& w = buffer_.Widths();
    uint32_t col = 0;
    for (Token t = cursor.Next();; t = cursor.Next()) {
        if (t.kind == TokenKind::End) {
            columnX = t.x;
            return col;
        }
        if (t.kind != TokenKind::Run) {
            if (uint64_t{x} < uint64_t{t.x} + (t.width + 1) / 2) {
                columnX = t.x;
                return col;
            }
            ++col;
            continue;
        }
        uint64_t x0 = t.x;
        for (uint32_t k = 0; k < t.count; ++k) {
            uint32_t cw = w[static_cast<unsigned char>(t.chars[k])];
            if (x < x0 + (cw + 1) / 2) {
                columnX = static_cast<uint32_t>(x0);
                return col;
            }
            x0 += cw;
            ++col;
        }
    }
}

TextEditor::Position TextEditor::PositionAtOffset(uint32_t offset) const {
    Position p;
    buffer_.OffsetToLineColumn(offset, p.line, p.column);
    p.x = ColumnToX(buffer_.FindLine(p.line), p.column);
    return p;
}

void TextEditor::PlaceCaretAtOffset(uint32_t offset) {
    Position p = PositionAtOffset(offset);
    caret_.line = p.line;
    caret_.column = p.column;
    caret_.x = p.x;
    caret_.preferredX = p.x;
    caret_.record = buffer_.FindLine(p.line);
    UpdateY();
}

uint32_t TextEditor::CaretOffset() const {
    return buffer_.LineStartOffset(caret_.line) + caret_.column;
}

void TextEditor::GetSelectionRange(uint32_t& start, uint32_t& end) const {
    start = end = CaretOffset();
    if (!selection_.Exists()) return;
    uint32_t anchor = buffer_.LineStartOffset(selection_.anchor.line) + selection_.anchor.column;
    start = std::min(start, anchor);
    end = std::max(end, anchor);
}

uint8_t TextEditor::CharUnderCaret() const {
    char c = 0;
    if (buffer_.CopyLineChars(caret_.record, &c, 1, caret_.column) != 1 || c == '\t') return 0;
    return static_cast<uint8_t>(c);
}

// --- view state -------------------------------------------------------------------

void TextEditor::NoteRepaint(Repaint r) {
    if (r > repaint_) repaint_ = r;
}

void TextEditor::BeginChange() {
    if (changeOpen_) return;
    caretBefore_ = caret_;
    changeOpen_ = true;
}

Repaint TextEditor::TakeRepaint() {
    Repaint r = repaint_;
    repaint_ = Repaint::None;
    changeOpen_ = false;
    return r;
}

void TextEditor::UpdateY() {
    const int32_t lh = static_cast<int32_t>(std::max<uint32_t>(1, view_.lineHeight));
    caret_.y = (static_cast<int32_t>(caret_.line) - static_cast<int32_t>(top_.line)) * lh;
    if (selection_.Exists())
        selection_.anchor.y =
            (static_cast<int32_t>(selection_.anchor.line) - static_cast<int32_t>(top_.line)) * lh;
}

uint32_t TextEditor::VScrollRange() const {
    uint32_t lines = buffer_.LineCount();
    return lines > top_.pageSize ? lines - top_.pageSize + 2 : 1;
}

uint32_t TextEditor::HScrollRange() const {
    const uint64_t tab = buffer_.Widths().TabWidth();
    const uint64_t w = uint64_t{buffer_.WidestLine()} + std::min<uint64_t>(tab, view_.viewWidth) +
                       view_.addressColumnWidth;
    if (w <= view_.viewWidth) return 0;
    return static_cast<uint32_t>(std::max<uint64_t>(1, (w - view_.viewWidth + tab) / 16));
}

void TextEditor::UpdatePageSize() {
    const uint32_t lh = std::max<uint32_t>(1, view_.lineHeight);
    int64_t height = int64_t{view_.viewHeight} + 1;
    if (HScrollRange() > 0) height -= view_.hScrollBarHeight;
    top_.pageSize = static_cast<uint32_t>(std::max<int64_t>(1, height / lh));
}

void TextEditor::SetView(const ViewGeometry& view) {
    BeginChange();
    view_ = view;
    UpdatePageSize();
    if (!buffer_.IsBusy()) ScrollCaretIntoView();
    UpdateY();
}

void TextEditor::SetCharWidths(const uint8_t* fontWidths) {
    BeginChange();
    buffer_.Widths().Fill(fontWidths);
    buffer_.LayoutAll();
    caret_.x = caret_.preferredX = ColumnToX(caret_.record, caret_.column);
    if (selection_.Exists()) {
        Caret& a = selection_.anchor;
        a.x = a.preferredX = ColumnToX(a.record, a.column);
    }
    UpdatePageSize();
    ScrollIntoViewHorizontally();
    NoteRepaint(Repaint::All);
}

void TextEditor::ResetView() {
    caret_ = Caret{};
    caret_.record = buffer_.FindLine(1);
    selection_.Drop();
    top_.line = 1;
    top_.record = caret_.record;
    top_.offset = 0;
    top_.hOffset = 0;
    top_.vScrollPos = 1;
    top_.hScrollPos = 0;
    dragging_ = false;
    UpdatePageSize();
    NoteRepaint(Repaint::All);
}

void TextEditor::RefreshRecords() {
    const uint32_t lines = buffer_.LineCount();
    caret_.line = std::clamp<uint32_t>(caret_.line, 1, lines);
    caret_.record = buffer_.FindLine(caret_.line);
    top_.line = std::clamp<uint32_t>(top_.line, 1, lines);
    top_.record = buffer_.FindLine(top_.line);
    top_.offset = buffer_.LineStartOffset(top_.line);
    top_.vScrollPos = top_.line;
    if (selection_.Exists()) {
        selection_.anchor.line = std::clamp<uint32_t>(selection_.anchor.line, 1, lines);
        selection_.anchor.record = buffer_.FindLine(selection_.anchor.line);
    }
    UpdatePageSize();
}

void TextEditor::SetTopLine(uint32_t line) {
    BeginChange();
    line = std::clamp<uint32_t>(line, 1, buffer_.LineCount());
    top_.line = line;
    top_.record = buffer_.FindLine(line);
    top_.offset = buffer_.LineStartOffset(line);
    top_.vScrollPos = line;
    UpdateY();
    NoteRepaint(Repaint::All);
}

void TextEditor::SetHorizontalOffset(uint32_t pixels) {
    BeginChange();
    top_.hOffset = pixels;
    top_.hScrollPos = pixels / 16;
    NoteRepaint(Repaint::All);
}

void TextEditor::ScrollIntoViewVertically() {
    if (caret_.line < top_.line)
        SetTopLine(caret_.line);
    else if (caret_.line >= top_.line + top_.pageSize)
        SetTopLine(caret_.line - top_.pageSize + 1);
}

void TextEditor::ScrollIntoViewHorizontally() {
    const int64_t width = view_.viewWidth;
    const int64_t t = std::min<int64_t>(buffer_.Widths().TabWidth(), width);
    if (t <= 0) return;
    const int64_t x = caret_.x;
    int64_t v = x + view_.vScrollBarWidth - top_.hOffset;
    if (view_.hexView) v += view_.addressColumnWidth;
    if (v < width && v >= t) return;
    // The smallest multiple of t that leaves the caret two tab widths inside.
    int64_t offset = 0;
    if (x + 2 * t >= width) offset = ((x + 2 * t - width) / t + 1) * t;
    if (offset != top_.hOffset) SetHorizontalOffset(static_cast<uint32_t>(offset));
}

void TextEditor::ScrollCaretIntoView() {
    BeginChange();
    ScrollIntoViewVertically();
    ScrollIntoViewHorizontally();
}

// --- selection --------------------------------------------------------------------

void TextEditor::DropSelection() {
    if (!selection_.Exists()) return;
    BeginChange();
    selection_.Drop();
    NoteRepaint(Repaint::All);
}

void TextEditor::OrderSelection() {
    const Caret& a = selection_.anchor;
    if (caret_.line > a.line || (caret_.line == a.line && caret_.column > a.column))
        std::swap(caret_, selection_.anchor);
}

void TextEditor::SetSelection(uint32_t start, uint32_t end) {
    BeginChange();
    const uint32_t total = buffer_.TotalBytes();
    if (start != end && total > 0) {
        Position p = PositionAtOffset(std::min(start, total));
        Caret& a = selection_.anchor;
        a = caret_;
        a.line = p.line;
        a.column = p.column;
        a.x = a.preferredX = p.x;
        a.record = buffer_.FindLine(p.line);
    } else {
        selection_.Drop();
    }
    PlaceCaretAtOffset(std::min(end, total));
    ScrollCaretIntoView();
    if (selection_.Exists() && selection_.anchor.line == caret_.line &&
        selection_.anchor.column == caret_.column)
        selection_.Drop();
    UpdateY();
    NoteRepaint(Repaint::All);
}

uint32_t TextEditor::SelectionLength() const {
    uint32_t start, end;
    GetSelectionRange(start, end);
    return end - start;
}

uint32_t TextEditor::CopySelection(char* destination) const {
    uint32_t start, end;
    GetSelectionRange(start, end);
    uint32_t n = end > start ? buffer_.ExtractRange(end - start, start, destination) : 0;
    destination[n] = 0;
    return n;
}

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
    if (caret_.column >= n || !LineBytes(caret_.record, 0)) return;
    const auto* b = reinterpret_cast<const unsigned char*>(scratch_);
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
    if (!LineBytes(caret_.record, 0)) return;
    const auto* b = reinterpret_cast<const unsigned char*>(scratch_);
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
