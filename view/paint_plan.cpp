#include "view/paint_plan.h"

#include "view/address_column.h"
#include "view/background.h"

#include <limits>
#include <string_view>
#include <utility>

namespace stx {

namespace {

// Pixel positions are computed in 64 bits (line widths and offsets are unsigned 32-bit) and
// handed to the surface within a range every device accepts; anything beyond is off view.
constexpr std::int64_t kCoordLimit = std::int64_t{1} << 30;
int Coord(std::int64_t v) {
    if (v < -kCoordLimit) return static_cast<int>(-kCoordLimit);
    if (v > kCoordLimit) return static_cast<int>(kCoordLimit);
    return static_cast<int>(v);
}

constexpr std::int64_t kNoBound = std::numeric_limits<std::int64_t>::max();

struct Row {
    std::uint32_t length = 0; // saved-form bytes of the line, line break included
    std::size_t firstRun = 0;
    std::size_t endRun = 0;
    bool sentinel = false; // the row after the last line: an address, no text
    bool selected = false;
    std::int64_t selLo = 0; // selected pixels of the line: [selLo, selHi)
    std::int64_t selHi = 0;
};

Colour FrontColour(const PaintScene& scene, const Token& t) {
    if (scene.settings.syntaxHighlight && t.colour) return ClampColour(*t.colour);
    return scene.planes.PlaneColour(scene.planes.FrontPlane());
}

// Lays out one plane's drawing; every plane draws the same shapes at its own offset.
class Planner {
  public:
    Planner(const PaintScene& scene, const Rect& paint, PlaneShapes& out)
        : sc_(scene), paint_(paint), out_(out),
          lineHeight_(static_cast<std::int64_t>(scene.view.lineHeight)),
          hexView_(scene.view.hexView),
          columnWidth_(hexView_ ? static_cast<std::int64_t>(scene.view.addressColumnWidth) : 0),
          // In hex view the text moves right by the address column: painting takes the
          // column off the horizontal offset.
          textOffset_(static_cast<std::int64_t>(scene.top.hOffset) - columnWidth_) {}

    void Run() {
        out_.shapes.clear();
        out_.texts.clear();
        FindSelection();
        CollectRows();
        // Shapes point into texts: it must not move once they are made.
        out_.texts.reserve(rows_.size() * kAddressChars + 1);
        const std::int64_t lineX = kLeftMargin - textOffset_;
        std::uint64_t address = sc_.top.offset;
        for (std::size_t r = 0; r < rows_.size(); ++r) {
            const Row& row = rows_[r];
            const std::int64_t y = static_cast<std::int64_t>(r) * lineHeight_;
            if (hexView_) {
                // The row after the last line shows the total: the last line's length
                // counts a line break that it does not have.
                std::uint64_t shown = address;
                if (row.sentinel && shown >= 2) shown -= 2;
                AddAddress(lineX, y, static_cast<std::uint32_t>(shown));
                address += row.length;
            }
            for (std::size_t i = row.firstRun; i < row.endRun; ++i)
                AddRun(row, runs_[i], lineX, y);
        }
        AddCaret();
        AddAnchor();
    }

  private:
    void FindSelection() {
        hasSelection_ = sc_.selection.Exists();
        first_ = &sc_.caret;
        last_ = &sc_.selection.anchor;
        if (hasSelection_ && (last_->line < first_->line ||
                              (last_->line == first_->line && last_->column < first_->column)))
            std::swap(first_, last_);
    }

    // The selected pixels of a line, when it has any: [lo, hi).
    bool SelectedPixels(std::uint32_t line, std::int64_t& lo, std::int64_t& hi) const {
        if (!hasSelection_ || line < first_->line || line > last_->line) return false;
        lo = line == first_->line ? static_cast<std::int64_t>(first_->x) : 0;
        hi = line == last_->line ? static_cast<std::int64_t>(last_->x) : kNoBound;
        return lo < hi;
    }

    // The lines on view and, per line, the runs that can show: runs ending left of the
    // horizontal offset are skipped, and a line stops at the first run that starts at or
    // beyond the right edge (planes only ever move text right, so no plane needs more).
    void CollectRows() {
        const TextBuffer& buffer = sc_.buffer;
        const LineRecord* record = sc_.top.record ? sc_.top.record : buffer.FindLine(sc_.top.line);
        std::uint32_t line = sc_.top.line;
        for (std::int64_t r = 0; r * lineHeight_ < paint_.bottom; ++r) {
            Row row;
            if (!record) {
                row.sentinel = true;
                rows_.push_back(row);
                break;
            }
            row.length = TextBuffer::LineLength(record);
            row.selected = SelectedPixels(line, row.selLo, row.selHi);
            row.firstRun = runs_.size();
            TokenCursor cursor(buffer, record);
            for (Token t = cursor.Next(); t.kind != TokenKind::End; t = cursor.Next()) {
                const std::int64_t x = t.x;
                // Past the right edge for every kind, so a line of TABs or NUL
                // bytes is not walked to its end.
                if (kLeftMargin + x - textOffset_ >= paint_.right) break;
                if (t.kind != TokenKind::Run) continue; // TABs and NUL bytes draw nothing
                if (x + t.width <= textOffset_) continue;
                runs_.push_back(t);
            }
            row.endRun = runs_.size();
            rows_.push_back(row);
            record = buffer.NextLine(record);
            ++line;
        }
    }

    PlaneShape& Add(ShapeRole role, std::int64_t x, std::int64_t y, std::int64_t width) {
        PlaneShape& s = out_.shapes.emplace_back();
        s.role = role;
        s.x = x;
        s.y = y;
        s.width = width;
        s.height = lineHeight_;
        return s;
    }

    void AddText(ShapeRole role, std::int64_t x, std::int64_t y, std::int64_t width,
                 std::int64_t cullX, std::string_view chars, Colour front) {
        PlaneShape& s = Add(role, x, y, width);
        s.rowText = true;
        s.cullX = cullX;
        s.chars = chars.data();
        s.count = static_cast<std::uint32_t>(chars.size());
        s.front = front;
    }

    // The address ends a few pixels left of where the line's text starts.
    void AddAddress(std::int64_t lineX, std::int64_t y, std::uint32_t offset) {
        char text[kAddressChars];
        FormatAddress(offset, text);
        const int width = AddressTextWidth(text, sc_.buffer.Widths());
        const std::size_t at = out_.texts.size();
        out_.texts.append(text, kAddressChars);
        AddText(ShapeRole::Text, lineX - (kAddressGap + width), y, width,
                std::numeric_limits<std::int64_t>::min(),
                std::string_view(out_.texts.data() + at, kAddressChars), kAddressColour);
    }

    void AddRun(const Row& row, const Token& t, std::int64_t lineX, std::int64_t y) {
        const Colour front = FrontColour(sc_, t);
        const std::int64_t runX = t.x;
        const std::int64_t x = lineX + runX;
        const std::string_view chars(t.chars, t.count);
        if (!row.selected || runX + t.width <= row.selLo || runX >= row.selHi) {
            AddText(ShapeRole::Text, x, y, t.width, x, chars, front);
            return;
        }
        // Split where the selection's bounds fall, summing the character widths from the
        // run's start: the part before, the selected part, the part after.
        const CharWidthTable& widths = sc_.buffer.Widths();
        std::uint32_t begin = t.count;
        std::uint32_t end = t.count;
        std::int64_t beginX = runX + t.width;
        std::int64_t endX = beginX;
        std::int64_t cx = runX;
        for (std::uint32_t i = 0; i < t.count; ++i) {
            if (begin == t.count && cx >= row.selLo) {
                begin = i;
                beginX = cx;
            }
            if (cx >= row.selHi) {
                end = i;
                endX = cx;
                break;
            }
            cx += widths[static_cast<unsigned char>(t.chars[i])];
        }
        if (end < begin) {
            end = begin;
            endX = beginX;
        }
        if (begin > 0)
            AddText(ShapeRole::Text, x, y, beginX - runX, x, chars.substr(0, begin), front);
        if (end > begin)
            AddText(ShapeRole::SelectedText, lineX + beginX, y, endX - beginX, x,
                    chars.substr(begin, end - begin), front);
        if (end < t.count)
            AddText(ShapeRole::Text, lineX + endX, y, runX + t.width - endX, x, chars.substr(end),
                    front);
    }

    // The colour the front plane draws the caret's letter in, and whether it is selected.
    void LetterUnderCaret(PlaneShape& s) const {
        const Caret& caret = sc_.caret;
        s.front = sc_.planes.PlaneColour(sc_.planes.FrontPlane());
        if (caret.record) {
            std::uint32_t column = 0;
            TokenCursor cursor(sc_.buffer, caret.record);
            for (Token t = cursor.Next(); t.kind != TokenKind::End; t = cursor.Next()) {
                if (caret.column < column + t.count) {
                    if (t.kind == TokenKind::Run) s.front = FrontColour(sc_, t);
                    break;
                }
                column += t.count;
            }
        }
        std::int64_t lo = 0;
        std::int64_t hi = 0;
        const std::int64_t x = caret.x;
        s.letterSelected = SelectedPixels(caret.line, lo, hi) && x >= lo && x < hi;
    }

    void AddCaret() {
        const Caret& caret = sc_.caret;
        if (CaretHidden(caret.flags) || caret.y >= kFarCaretY) return;
        const std::int64_t x = kLeftMargin + static_cast<std::int64_t>(caret.x) - textOffset_;
        const std::int64_t y = caret.y;
        const char ch = static_cast<char>(sc_.charUnderCaret);
        PlaneShape* s = nullptr;
        if (sc_.settings.overLetter && ch != 0 && ch != '\t') {
            // A block caret: the letter again, inverted from the colour its plane draws it
            // in, on the selection background of the caret's pen plane.
            const std::size_t at = out_.texts.size();
            out_.texts.push_back(ch);
            s = &Add(ShapeRole::CaretBlock, x, y,
                     sc_.buffer.Widths()[static_cast<unsigned char>(ch)]);
            s->chars = out_.texts.data() + at;
            s->count = 1;
            LetterUnderCaret(*s);
        } else {
            s = &Add(ShapeRole::CaretLine, x, y, 1);
        }
        s->frontOnly = sc_.overwrite;
    }

    void AddAnchor() {
        if (!hasSelection_) return;
        const Caret& anchor = sc_.selection.anchor;
        const std::int64_t row =
            static_cast<std::int64_t>(anchor.line) - static_cast<std::int64_t>(sc_.top.line);
        if (row < 0 || row >= static_cast<std::int64_t>(sc_.top.pageSize)) return;
        const std::int64_t x = kLeftMargin + static_cast<std::int64_t>(anchor.x) - textOffset_;
        const std::int64_t lines =
            static_cast<std::int64_t>(sc_.caret.line) - static_cast<std::int64_t>(anchor.line);
        Add(ShapeRole::AnchorLine, x, sc_.caret.y - lines * lineHeight_, 1);
    }

    const PaintScene& sc_;
    const Rect paint_;
    PlaneShapes& out_;
    const std::int64_t lineHeight_;
    const bool hexView_;
    const std::int64_t columnWidth_;
    const std::int64_t textOffset_;
    bool hasSelection_ = false;
    const Caret* first_ = nullptr;
    const Caret* last_ = nullptr;
    std::vector<Row> rows_;
    std::vector<Token> runs_;
};

// Draws the planes one by one from the back, each replaying the shapes at its offset.
class PlaneReplay {
  public:
    PlaneReplay(Surface& surface, const PaintScene& scene, const PlaneShapes& shapes,
                const Rect& paint)
        : s_(surface), sc_(scene), shapes_(shapes), paint_(paint) {}

    void Run() {
        for (int p = 0; p <= sc_.planes.FrontPlane(); ++p)
            PaintPlane(p);
    }

  private:
    void SetText(Colour c) {
        if (!haveText_ || lastText_ != c) {
            s_.SetTextColour(c);
            lastText_ = c;
            haveText_ = true;
        }
    }

    void PaintPlane(int p) {
        const PlaneOffset off = sc_.planes.Offset(p);
        const bool front = p == sc_.planes.FrontPlane();
        s_.SetBackMode(BackMode::Transparent);
        if (sc_.selection.Exists()) s_.SetBackColour(sc_.planes.SelectionBackground(p));
        for (const PlaneShape& shape : shapes_.shapes) {
            if (shape.frontOnly && !front) continue;
            const std::int64_t x = shape.x + off.dx;
            const std::int64_t y = shape.y + off.dy;
            if (shape.rowText && (y >= paint_.bottom || y + shape.height <= paint_.top ||
                                  shape.cullX + off.dx >= paint_.right))
                continue;
            const ShapeColours c = ShapeColoursOn(shape, p, sc_.planes, sc_.animation);
            const std::string_view chars(shape.chars, shape.count);
            switch (shape.role) {
            case ShapeRole::Text:
                SetText(c.text);
                s_.WriteText(Coord(x), Coord(y), chars);
                break;
            case ShapeRole::SelectedText:
                s_.SetBackMode(BackMode::Opaque);
                SetText(c.text);
                s_.WriteText(Coord(x), Coord(y), chars);
                s_.SetBackMode(BackMode::Transparent);
                break;
            case ShapeRole::CaretBlock:
                s_.SetBackMode(BackMode::Opaque);
                s_.SetBackColour(c.back);
                SetText(c.text);
                s_.WriteText(Coord(x), Coord(y), chars);
                break;
            case ShapeRole::CaretLine:
            case ShapeRole::AnchorLine:
                s_.DrawLine(Coord(x), Coord(y), Coord(x), Coord(y + shape.height), c.text);
                break;
            }
        }
    }

    Surface& s_;
    const PaintScene& sc_;
    const PlaneShapes& shapes_;
    const Rect paint_;
    Colour lastText_ = 0;
    bool haveText_ = false; // forgotten at the start of every paint
};

} // namespace

ShapeColours ShapeColoursOn(const PlaneShape& shape, int p, const PlaneTables& planes,
                            const CaretAnimation& animation) {
    const Colour text = p == planes.FrontPlane() ? shape.front : planes.PlaneColour(p);
    switch (shape.role) {
    case ShapeRole::Text:
        break;
    case ShapeRole::SelectedText:
        return {~text & 0xFFFFFF, planes.SelectionBackground(p)};
    case ShapeRole::CaretBlock: {
        const int k = animation.PenIndex(p, planes.PlaneCount());
        const Colour letter = shape.letterSelected ? ~text & 0xFFFFFF : text;
        return {~letter & 0xFFFFFF, planes.SelectionBackground(k)};
    }
    case ShapeRole::CaretLine:
        return {planes.PenColour(animation.PenIndex(p, planes.PlaneCount())), 0};
    case ShapeRole::AnchorLine:
        return {planes.PenColour(p), 0};
    }
    return {text, 0};
}

void PlanPlaneShapes(const PaintScene& scene, const Rect& paintRect, PlaneShapes& out) {
    Planner(scene, paintRect, out).Run();
}

void PaintView(Surface& surface, const PaintScene& scene, const Rect& paintRect,
               PlaneCompositor* compositor) {
    if (IsEmpty(paintRect)) return;
    BusyGuard busy(scene.buffer);
    const Size client{static_cast<int>(scene.view.viewWidth),
                      static_cast<int>(scene.view.viewHeight)};
    PaintBackground(surface, scene.settings, paintRect, client, scene.imageSize);
    surface.UseFont(scene.settings.font);
    if (scene.view.lineHeight == 0) return; // no font measured yet: nothing can be placed
    PlaneShapes shapes;
    PlanPlaneShapes(scene, paintRect, shapes);
    if (compositor && compositor->ComposePlanes(scene, shapes, paintRect)) return;
    PlaneReplay(surface, scene, shapes, paintRect).Run();
}

std::uint8_t CharUnderCaret(const TextBuffer& buffer, const Caret& caret) {
    if (!caret.record) return 0;
    std::uint32_t column = 0;
    TokenCursor cursor(buffer, caret.record);
    for (Token t = cursor.Next(); t.kind != TokenKind::End; t = cursor.Next()) {
        if (caret.column < column + t.count)
            return t.kind == TokenKind::Run
                       ? static_cast<std::uint8_t>(t.chars[caret.column - column])
                       : 0;
        column += t.count;
    }
    return 0;
}

void SyncViewGeometry(ViewGeometry& view, const RenderSettings& settings, const PlaneTables& planes,
                      const CharWidthTable& widths) {
    const FadeSigns signs = SignsOf(settings.fadeDirection);
    view.planeSpread = static_cast<std::uint32_t>(planes.Spread());
    view.fadeX = signs.sx;
    view.fadeY = signs.sy;
    view.hexView = settings.showAddress;
    view.addressColumnWidth = static_cast<std::uint32_t>(AddressColumnWidth(widths));
}

PlaneTables::Change ApplyRenderSettings(const RenderSettings& settings, PlaneTables& planes,
                                        CaretAnimation& animation, ViewGeometry& view,
                                        const CharWidthTable& widths) {
    const PlaneTables::Change change = planes.Update(settings);
    if (change.geometry) animation.ResetPhase();
    SyncViewGeometry(view, settings, planes, widths);
    return change;
}

Rect CaretRepaintRect(const Caret& caret, const TopLine& top, const ViewGeometry& view,
                      int widestChar) {
    std::int64_t left =
        kLeftMargin + static_cast<std::int64_t>(caret.x) - static_cast<std::int64_t>(top.hOffset);
    if (view.hexView) left += view.addressColumnWidth;
    Rect r;
    r.left = Coord(left);
    r.right = Coord(left + widestChar + view.planeSpread);
    r.top = caret.y;
    r.bottom = Coord(static_cast<std::int64_t>(caret.y) + view.lineHeight + view.planeSpread);
    return r;
}

Rect CaretBandRect(const Caret& caret, const ViewGeometry& view) {
    Rect r;
    r.top = caret.y;
    r.right = static_cast<std::int32_t>(view.viewWidth);
    r.bottom = Coord(static_cast<std::int64_t>(caret.y) + view.lineHeight + view.planeSpread);
    return r;
}

} // namespace stx
