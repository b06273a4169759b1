#include "view/paint_plan.h"

#include "view/address_column.h"
#include "view/background.h"

#include <limits>
#include <utility>
#include <vector>

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

class Painter {
  public:
    Painter(Surface& surface, const PaintScene& scene, const Rect& paint)
        : s_(surface), sc_(scene), paint_(paint), front_(scene.planes.FrontPlane()),
          lineHeight_(static_cast<std::int64_t>(scene.view.lineHeight)),
          hexView_(scene.view.hexView),
          columnWidth_(hexView_ ? static_cast<std::int64_t>(scene.view.addressColumnWidth) : 0),
          // In hex view the text moves right by the address column: painting takes the
          // column off the horizontal offset.
          textOffset_(static_cast<std::int64_t>(scene.top.hOffset) - columnWidth_) {}

    void Run() {
        CollectRows();
        for (int p = 0; p <= front_; ++p)
            PaintPlane(p);
    }

  private:
    void SetText(Colour c) {
        if (!haveText_ || lastText_ != c) {
            s_.SetTextColour(c);
            lastText_ = c;
            haveText_ = true;
        }
        setOnPlane_ = true;
    }

    // The lines on view and, per line, the runs that can show: runs ending left of the
    // horizontal offset are skipped, and a line stops at the first run that starts at or
    // beyond the right edge (planes only ever move text right, so no plane needs more).
    void CollectRows() {
        const TextBuffer& buffer = sc_.buffer;
        const LineRecord* record = sc_.top.record ? sc_.top.record : buffer.FindLine(sc_.top.line);
        const bool hasSelection = sc_.selection.Exists();
        const Caret* first = &sc_.caret;
        const Caret* last = &sc_.selection.anchor;
        if (hasSelection && (last->line < first->line ||
                             (last->line == first->line && last->column < first->column)))
            std::swap(first, last);

        std::uint32_t line = sc_.top.line;
        for (std::int64_t r = 0; r * lineHeight_ < paint_.bottom; ++r) {
            Row row;
            if (!record) {
                row.sentinel = true;
                rows_.push_back(row);
                break;
            }
            row.length = TextBuffer::LineLength(record);
            if (hasSelection && line >= first->line && line <= last->line) {
                row.selected = true;
                row.selLo = line == first->line ? static_cast<std::int64_t>(first->x) : 0;
                row.selHi = line == last->line ? static_cast<std::int64_t>(last->x) : kNoBound;
                row.selected = row.selLo < row.selHi;
            }
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

    void PaintPlane(int p) {
        const PlaneOffset off = sc_.planes.Offset(p);
        setOnPlane_ = false;
        s_.SetBackMode(BackMode::Transparent);
        if (sc_.selection.Exists()) s_.SetBackColour(sc_.planes.SelectionBackground(p));

        const std::int64_t lineX = kLeftMargin + off.dx - textOffset_;
        std::uint64_t address = sc_.top.offset;
        for (std::size_t r = 0; r < rows_.size(); ++r) {
            const Row& row = rows_[r];
            const std::int64_t y = static_cast<std::int64_t>(r) * lineHeight_ + off.dy;
            const bool visible = y < paint_.bottom && y + lineHeight_ > paint_.top;
            if (hexView_) {
                if (visible) {
                    // The row after the last line shows the total: the last line's length
                    // counts a line break that it does not have.
                    std::uint64_t shown = address;
                    if (row.sentinel && shown >= 2) shown -= 2;
                    PaintAddress(p, lineX, y, static_cast<std::uint32_t>(shown));
                }
                address += row.length;
            }
            if (!visible) continue;
            for (std::size_t i = row.firstRun; i < row.endRun; ++i) {
                const Token& t = runs_[i];
                const std::int64_t x = lineX + t.x;
                if (x >= paint_.right) break;
                PaintRun(p, row, t, x, y);
            }
        }
        PaintCaret(p, off);
        PaintAnchor(p, off);
    }

    // The address ends a few pixels left of where the line's text starts on this plane.
    void PaintAddress(int p, std::int64_t lineX, std::int64_t y, std::uint32_t offset) {
        char text[kAddressChars];
        FormatAddress(offset, text);
        const int width = AddressTextWidth(text, sc_.buffer.Widths());
        SetText(p == front_ ? kAddressColour : sc_.planes.PlaneColour(p));
        s_.WriteText(Coord(lineX - (kAddressGap + width)), Coord(y),
                     std::string_view(text, kAddressChars));
    }

    Colour RunColour(int p, const Token& t) const {
        if (p != front_) return sc_.planes.PlaneColour(p);
        if (sc_.settings.syntaxHighlight && t.colour) return ClampColour(*t.colour);
        return sc_.planes.PlaneColour(p);
    }

    void PaintRun(int p, const Row& row, const Token& t, std::int64_t x, std::int64_t y) {
        const Colour colour = RunColour(p, t);
        const std::int64_t runX = t.x;
        if (!row.selected || runX + t.width <= row.selLo || runX >= row.selHi) {
            SetText(colour);
            s_.WriteText(Coord(x), Coord(y), std::string_view(t.chars, t.count));
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
        const std::int64_t shift = x - runX;
        if (begin > 0) {
            SetText(colour);
            s_.WriteText(Coord(x), Coord(y), std::string_view(t.chars, begin));
        }
        if (end > begin) {
            s_.SetBackMode(BackMode::Opaque);
            SetText(~colour & 0xFFFFFF);
            s_.WriteText(Coord(beginX + shift), Coord(y),
                         std::string_view(t.chars + begin, end - begin));
            s_.SetBackMode(BackMode::Transparent);
        }
        if (end < t.count) {
            SetText(colour);
            s_.WriteText(Coord(endX + shift), Coord(y),
                         std::string_view(t.chars + end, t.count - end));
        }
    }

    void PaintCaret(int p, PlaneOffset off) {
        const Caret& caret = sc_.caret;
        if (CaretHidden(caret.flags) || caret.y >= kFarCaretY) return;
        if (sc_.overwrite && p != front_) return;
        const int k = sc_.animation.PenIndex(p, sc_.planes.PlaneCount());
        const std::int64_t x =
            kLeftMargin + off.dx + static_cast<std::int64_t>(caret.x) - textOffset_;
        const std::int64_t y = static_cast<std::int64_t>(caret.y) + off.dy;
        const char ch = static_cast<char>(sc_.charUnderCaret);
        if (sc_.settings.overLetter && ch != 0 && ch != '\t') {
            // A block caret: the letter again, inverted from the colour this plane last
            // drew in, on the selection background of the caret's pen plane. A plane that
            // drew nothing counts as having drawn in its own colour.
            const Colour last = setOnPlane_ ? lastText_ : sc_.planes.PlaneColour(p);
            s_.SetBackMode(BackMode::Opaque);
            s_.SetBackColour(sc_.planes.SelectionBackground(k));
            SetText(~last & 0xFFFFFF);
            s_.WriteText(Coord(x), Coord(y), std::string_view(&ch, 1));
        } else {
            s_.DrawLine(Coord(x), Coord(y), Coord(x), Coord(y + lineHeight_),
                        sc_.planes.PenColour(k));
        }
    }

    void PaintAnchor(int p, PlaneOffset off) {
        if (!sc_.selection.Exists()) return;
        const Caret& anchor = sc_.selection.anchor;
        const std::int64_t row =
            static_cast<std::int64_t>(anchor.line) - static_cast<std::int64_t>(sc_.top.line);
        if (row < 0 || row >= static_cast<std::int64_t>(sc_.top.pageSize)) return;
        const std::int64_t x =
            kLeftMargin + off.dx + static_cast<std::int64_t>(anchor.x) - textOffset_;
        if (x >= kFarCaretY) return;
        const std::int64_t lines =
            static_cast<std::int64_t>(sc_.caret.line) - static_cast<std::int64_t>(anchor.line);
        const std::int64_t y = sc_.caret.y + off.dy - lines * lineHeight_;
        s_.DrawLine(Coord(x), Coord(y), Coord(x), Coord(y + lineHeight_), sc_.planes.PenColour(p));
    }

    Surface& s_;
    const PaintScene& sc_;
    const Rect paint_;
    const int front_;
    const std::int64_t lineHeight_;
    const bool hexView_;
    const std::int64_t columnWidth_;
    const std::int64_t textOffset_;
    std::vector<Row> rows_;
    std::vector<Token> runs_;
    Colour lastText_ = 0;
    bool haveText_ = false; // forgotten at the start of every paint
    bool setOnPlane_ = false;
};

} // namespace

void PaintView(Surface& surface, const PaintScene& scene, const Rect& paintRect) {
    if (IsEmpty(paintRect)) return;
    BusyGuard busy(scene.buffer);
    const Size client{static_cast<int>(scene.view.viewWidth),
                      static_cast<int>(scene.view.viewHeight)};
    PaintBackground(surface, scene.settings, paintRect, client, scene.imageSize);
    surface.UseFont(scene.settings.font);
    if (scene.view.lineHeight == 0) return; // no font measured yet: nothing can be placed
    Painter(surface, scene, paintRect).Run();
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
