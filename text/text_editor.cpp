// The editor's shared state: construction, caret placement by offset and by
// pixel, the selection, the view metrics, scrolling and the repaint requests.
// Caret movement (caret_movement.cpp) and editing (editing.cpp) both build on
// these.
#include <algorithm>

#include "text/text_editor.h"

namespace stx {

TextEditor::TextEditor(BlockAllocator* allocator)
    : buffer_(allocator), allocator_(allocator ? allocator : &SystemBlockAllocator()),
      scratch_(*allocator_) {
    ResetView();
    TakeRepaint();
}

TextEditor::~TextEditor() = default;

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

// Rows far above or below the view clamp to the 32-bit range, as the paint does.
int32_t TextEditor::RowY(uint32_t line) const {
    const int64_t y =
        (int64_t{line} - int64_t{top_.line}) * std::max<uint32_t>(1, view_.lineHeight);
    return static_cast<int32_t>(std::clamp<int64_t>(y, INT32_MIN, INT32_MAX));
}

void TextEditor::UpdateY() {
    caret_.y = RowY(caret_.line);
    if (selection_.Exists()) selection_.anchor.y = RowY(selection_.anchor.line);
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

} // namespace stx
