#include "view/plane_composer.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace stx {

namespace {

// A labelled area of this many pixels needs about twice that in bytes. Only a deep stack far
// apart with long lines scrolled sideways gets there; it is drawn plane by plane instead.
constexpr std::int64_t kMaxArea = std::int64_t{12} << 20;

constexpr std::uint8_t kPartial = 0x80; // label flag: a smoothed glyph edge
constexpr std::uint8_t kClassMask = 0x7F;
constexpr std::size_t kMaxClasses = kClassMask; // class 0 is "nothing here"
constexpr std::uint16_t kNoPlane = 0xFF;

std::uint32_t ToPixel(Colour c) {
    return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}

bool IsOpaque(ShapeRole role) {
    return role == ShapeRole::SelectedText || role == ShapeRole::CaretBlock;
}
bool IsText(ShapeRole role) {
    return role != ShapeRole::CaretLine && role != ShapeRole::AnchorLine;
}

} // namespace

bool PlaneComposer::AssignClasses(const PlaneShapes& shapes) {
    classes_.clear();
    onCell_.assign(1, 0);
    classOfShape_.assign(shapes.shapes.size(), 0);
    for (std::size_t i = 0; i < shapes.shapes.size(); ++i) {
        const PlaneShape& s = shapes.shapes[i];
        if (s.frontOnly) continue;
        // Only what changes a colour on some plane tells classes apart.
        const Class c{s.role, IsText(s.role) ? s.front : 0,
                      s.role == ShapeRole::CaretBlock && s.letterSelected, Part::Glyph};
        std::size_t found = 0;
        for (std::size_t k = 0; k < classes_.size(); ++k) {
            const Class& e = classes_[k];
            if (e.role == c.role && e.front == c.front && e.letterSelected == c.letterSelected &&
                e.part == Part::Glyph) {
                found = k + 1;
                break;
            }
        }
        if (!found) {
            const bool opaque = IsOpaque(s.role);
            if (classes_.size() + (opaque ? 3 : 1) > kMaxClasses) return false;
            classes_.push_back(c);
            onCell_.push_back(opaque ? 1 : 0);
            found = classes_.size();
            if (opaque) {
                for (Part part : {Part::Cell, Part::LooseGlyph}) {
                    classes_.push_back(c);
                    classes_.back().part = part;
                    onCell_.push_back(0);
                }
            }
        }
        classOfShape_[i] = static_cast<std::uint8_t>(found);
    }
    return true;
}

PlaneComposer::Area PlaneComposer::TextArea(const PlaneShape& s) const {
    if (!IsText(s.role)) return {s.x, s.y, s.x + 1, s.y + s.height};
    return {s.x - hMargin_, s.y - vMargin_, s.x + s.width + hMargin_, s.y + s.height + vMargin_};
}

bool PlaneComposer::Stamp(const PlaneShape& s, std::uint8_t cls, GlyphRasterizer& glyphs) {
    Area a = TextArea(s);
    a.left = std::max(a.left, box_.left);
    a.top = std::max(a.top, box_.top);
    a.right = std::min(a.right, box_.right);
    a.bottom = std::min(a.bottom, box_.bottom);
    if (a.right <= a.left || a.bottom <= a.top) return true;
    const int w = static_cast<int>(a.right - a.left);
    const int h = static_cast<int>(a.bottom - a.top);
    std::uint8_t* labels = label_.data() + (a.top - box_.top) * bw_ + (a.left - box_.left);
    if (!IsText(s.role)) {
        for (int r = 0; r < h; ++r)
            labels[r * bw_] = cls;
        return true;
    }
    GlyphCoverage cov;
    if (!glyphs.Render(static_cast<int>(s.x - a.left), static_cast<int>(s.y - a.top),
                       std::string_view(s.chars, s.count), IsOpaque(s.role), w, h, cov))
        return false;
    const std::uint8_t cell = static_cast<std::uint8_t>(cls + 1);
    const std::uint8_t loose = static_cast<std::uint8_t>(cls + 2);
    for (int r = 0; r < h; ++r) {
        std::uint8_t* row = labels + static_cast<std::ptrdiff_t>(r) * bw_;
        const std::uint32_t* glyph = cov.glyph + r * cov.stride;
        const std::uint32_t* cells = cov.cell ? cov.cell + r * cov.stride : nullptr;
        for (int c = 0; c < w; ++c) {
            // Most of the area is empty: pass over it two pixels at a time.
            if (!cells && c + 1 < w && ((glyph[c] | glyph[c + 1]) & 0xFFFFFF) == 0) {
                ++c;
                continue;
            }
            const std::uint32_t g = glyph[c] & 0xFFFFFF;
            const bool inCell = cells && (cells[c] & 0xFFFFFF) != 0;
            if (g == 0) {
                if (inCell) row[c] = cell;
                continue;
            }
            const std::uint8_t on = cells && !inCell ? loose : cls;
            if (g == 0xFFFFFF) {
                row[c] = on;
                continue;
            }
            // An edge over something this plane drew before blends with that.
            if (coverage_.size() < label_.size()) coverage_.resize(label_.size());
            smoothEdges_ = true;
            const std::uint32_t under = row[c] & kClassMask;
            row[c] = on | kPartial;
            coverage_[static_cast<std::size_t>(row + c - label_.data())] = g | under << 24;
        }
    }
    return true;
}

namespace {

// Per pixel of the labelled area, the nearest plane back from it that shows something there:
// 0 on a labelled pixel, else one more than at the pixel a plane further back.
//
// Sharp text: the label in the high byte, the depth in the low byte, which together index the
// colour table.
struct SharpHits {
    using Hit = std::uint16_t;
    static constexpr Hit kNone = kNoPlane;
    Hit operator()(std::uint8_t label, std::size_t, Hit behind) const {
        if (label) return static_cast<Hit>(label << 8);
        return static_cast<Hit>(behind + ((behind & 0xFF) != kNoPlane));
    }
};

// Smoothed text also needs, for an edge, its coverage and what shows behind it: bits 0-7
// the depth and 8-15 the label of the nearest hit, 16-23 and 24-31 those of the hit behind
// it, 32-55 the nearest hit's coverage and 56-62 the class below it on its own plane.
struct SmoothHits {
    using Hit = std::uint64_t;
    static constexpr Hit kNone = Hit{kNoPlane} | Hit{kNoPlane} << 16;
    const std::uint32_t* coverage;
    Hit operator()(std::uint8_t label, std::size_t at, Hit behind) const {
        if (label) {
            const Hit depth = (behind & 0xFF) + ((behind & 0xFF) != kNoPlane);
            Hit h = Hit{label} << 8 | depth << 16 | (behind & 0xFF00) << 16;
            if (label & kPartial) h |= Hit{coverage[at]} << 32;
            return h;
        }
        return behind +
               (((behind & 0xFF) != kNoPlane) | Hit{(behind >> 16 & 0xFF) != kNoPlane} << 16);
    }
};

} // namespace

template <typename Rule>
void PlaneComposer::Propagate(std::vector<typename Rule::Hit>& out, Rule rule) const {
    using Hit = typename Rule::Hit;
    out.resize(label_.size());
    const std::uint8_t* labels = label_.data();
    Hit* hits = out.data();
    if (oy_ == 0) {
        for (int y = 0; y < bh_; ++y) {
            const std::size_t row = static_cast<std::size_t>(y) * static_cast<std::size_t>(bw_);
            const std::uint8_t* l = labels + row;
            Hit* h = hits + row;
            if (ox_ >= 0) {
                for (int x = 0; x < bw_; ++x)
                    h[x] = rule(l[x], row + x, ox_ && x >= ox_ ? h[x - ox_] : Rule::kNone);
            } else {
                for (int x = bw_ - 1; x >= 0; --x)
                    h[x] = rule(l[x], row + x, x - ox_ < bw_ ? h[x - ox_] : Rule::kNone);
            }
        }
        return;
    }
    // Rows from the back: each row reads the one a plane behind it.
    const int lo = std::clamp(ox_, 0, bw_);
    const int hi = std::clamp(bw_ + ox_, 0, bw_);
    for (int i = 0; i < bh_; ++i) {
        const int y = oy_ > 0 ? i : bh_ - 1 - i;
        const std::size_t row = static_cast<std::size_t>(y) * static_cast<std::size_t>(bw_);
        const std::uint8_t* l = labels + row;
        Hit* h = hits + row;
        const int ys = y - oy_;
        if (ys < 0 || ys >= bh_) {
            for (int x = 0; x < bw_; ++x)
                h[x] = rule(l[x], row + x, Rule::kNone);
            continue;
        }
        const Hit* s = hits + static_cast<std::ptrdiff_t>(ys) * bw_;
        for (int x = 0; x < lo; ++x)
            h[x] = rule(l[x], row + x, Rule::kNone);
        for (int x = lo; x < hi; ++x)
            h[x] = rule(l[x], row + x, s[x - ox_]);
        for (int x = hi; x < bw_; ++x)
            h[x] = rule(l[x], row + x, Rule::kNone);
    }
}

void PlaneComposer::FillColourTable(const PaintScene& scene) {
    const PlaneTables& planes = scene.planes;
    colours_.assign((classes_.size() + 1) * 256, 0);
    PlaneShape probe;
    for (std::size_t k = 0; k < classes_.size(); ++k) {
        const Class& c = classes_[k];
        probe.role = c.role;
        probe.front = c.front;
        probe.letterSelected = c.letterSelected;
        const bool isCell = c.part == Part::Cell;
        std::uint32_t* row = colours_.data() + (k + 1) * 256;
        for (int j = 0; j < planeCount_; ++j) {
            const ShapeColours sc =
                ShapeColoursOn(probe, planeCount_ - 1 - j, planes, scene.animation);
            row[j] = ToPixel(isCell ? sc.back : sc.text);
        }
    }
}

// The colour of a smoothed edge, from its hit record: blended over its cell, over what its
// own plane drew below it, or else over the nearest plane behind it (an edge there counts as
// solid: the planes further back hardly show through two edges), or the background (under).
inline std::uint32_t PlaneComposer::Shade(std::uint64_t h, std::uint32_t under) const {
    const std::uint32_t* colours = colours_.data();
    const unsigned j = h & 0xFF;
    const unsigned cls = h >> 8 & kClassMask;
    unsigned below = static_cast<unsigned>(h >> 56);
    if (onCell_[cls]) below = cls + 1;
    std::uint32_t back = under;
    if (below) {
        back = colours[below << 8 | j];
    } else {
        const unsigned behind = h >> 16 & 0xFF;
        if (behind < static_cast<unsigned>(planeCount_))
            back = colours[(h >> 24 & kClassMask) << 8 | behind];
    }
    return BlendPixel(back, colours[cls << 8 | j], h >> 32 & 0xFFFFFF);
}

void PlaneComposer::Output(const Rect& paint, const PixelBuffer& target) const {
    // Pixel (x, y) sees plane j's copy of the label at (x, y) - front - j * (ox, oy).
    const std::int64_t xFrom = std::max<std::int64_t>(paint.left, box_.left + frontX_);
    const std::int64_t xTo = std::min<std::int64_t>(paint.right, box_.right + frontX_);
    const std::int64_t yFrom = std::max<std::int64_t>(paint.top, box_.top + frontY_);
    const std::int64_t yTo = std::min<std::int64_t>(paint.bottom, box_.bottom + frontY_);
    if (xFrom >= xTo || yFrom >= yTo) return;
    const std::uint32_t* colours = colours_.data();
    const unsigned planes = static_cast<unsigned>(planeCount_);
    const int px0 = static_cast<int>(xFrom - frontX_ - box_.left);
    const int n = static_cast<int>(xTo - xFrom);
    for (std::int64_t y = yFrom; y < yTo; ++y) {
        const int py = static_cast<int>(y - frontY_ - box_.top);
        const std::size_t row = static_cast<std::size_t>(py) * static_cast<std::size_t>(bw_) +
                                static_cast<std::size_t>(px0);
        std::uint32_t* out = target.bits + y * target.stride + xFrom;
        if (smooth_.empty()) {
            // The label and the depth index the colour table together.
            const std::uint16_t* hits = sharp_.data() + row;
            for (int i = 0; i < n; ++i)
                if ((hits[i] & 0xFFu) < planes) out[i] = colours[hits[i]];
            continue;
        }
        const std::uint64_t* hits = smooth_.data() + row;
        for (int i = 0; i < n; ++i) {
            const std::uint64_t h = hits[i];
            const unsigned j = h & 0xFF;
            if (j >= planes) continue;
            const unsigned label = h >> 8 & 0xFF;
            out[i] = label & kPartial ? Shade(h, out[i]) : colours[label << 8 | j];
        }
    }
}

// A shape of the front plane alone, drawn over the composed planes.
void PlaneComposer::Overlay(const PaintScene& scene, const PlaneShape& s, const Rect& paint,
                            GlyphRasterizer& glyphs, const PixelBuffer& target) {
    const ShapeColours sc =
        ShapeColoursOn(s, scene.planes.FrontPlane(), scene.planes, scene.animation);
    const std::uint32_t fore = ToPixel(sc.text);
    const std::uint32_t back = ToPixel(sc.back);
    Area a = TextArea(s);
    a.left = std::max<std::int64_t>(a.left + frontX_, paint.left);
    a.top = std::max<std::int64_t>(a.top + frontY_, paint.top);
    a.right = std::min<std::int64_t>(a.right + frontX_, paint.right);
    a.bottom = std::min<std::int64_t>(a.bottom + frontY_, paint.bottom);
    if (a.right <= a.left || a.bottom <= a.top) return;
    const int w = static_cast<int>(a.right - a.left);
    const int h = static_cast<int>(a.bottom - a.top);
    std::uint32_t* out = target.bits + a.top * target.stride + a.left;
    if (!IsText(s.role)) {
        for (int r = 0; r < h; ++r)
            out[r * target.stride] = fore;
        return;
    }
    GlyphCoverage cov;
    if (!glyphs.Render(static_cast<int>(s.x + frontX_ - a.left),
                       static_cast<int>(s.y + frontY_ - a.top), std::string_view(s.chars, s.count),
                       IsOpaque(s.role), w, h, cov))
        return;
    for (int r = 0; r < h; ++r) {
        std::uint32_t* row = out + r * target.stride;
        const std::uint32_t* glyph = cov.glyph + r * cov.stride;
        const std::uint32_t* cells = cov.cell ? cov.cell + r * cov.stride : nullptr;
        for (int c = 0; c < w; ++c) {
            // Most of the area is empty: pass over it two pixels at a time.
            if (!cells && c + 1 < w && ((glyph[c] | glyph[c + 1]) & 0xFFFFFF) == 0) {
                ++c;
                continue;
            }
            const std::uint32_t g = glyph[c] & 0xFFFFFF;
            const bool inCell = cells && (cells[c] & 0xFFFFFF) != 0;
            if (g)
                row[c] = BlendPixel(inCell ? back : row[c], fore, g);
            else if (inCell)
                row[c] = back;
        }
    }
}

bool PlaneComposer::Compose(const PaintScene& scene, const PlaneShapes& shapes,
                            const Rect& paintRect, GlyphRasterizer& glyphs,
                            const PixelBuffer& target) {
    if (!target.bits || target.width <= 0 || target.height <= 0) return false;
    Rect paint = paintRect;
    paint.left = std::max(paint.left, 0);
    paint.top = std::max(paint.top, 0);
    paint.right = std::min(paint.right, target.width);
    paint.bottom = std::min(paint.bottom, target.height);
    if (IsEmpty(paint)) return true;

    const PlaneTables& planes = scene.planes;
    planeCount_ = planes.PlaneCount();
    const PlaneOffset front = planes.Offset(planes.FrontPlane());
    frontX_ = front.dx;
    frontY_ = front.dy;
    ox_ = oy_ = 0;
    if (planeCount_ > 1) {
        const PlaneOffset behind = planes.Offset(planes.FrontPlane() - 1);
        ox_ = behind.dx - front.dx;
        oy_ = behind.dy - front.dy;
    }
    const std::int64_t lineHeight = scene.view.lineHeight;
    hMargin_ = static_cast<int>(std::min<std::int64_t>(lineHeight / 8 + 2, 64));
    vMargin_ = 2;

    // The front plane draws its front-only shapes (the overwrite caret) and what follows
    // them last: they go over the composed planes.
    std::size_t overlay = 0;
    while (overlay < shapes.shapes.size() && !shapes.shapes[overlay].frontOnly)
        ++overlay;
    if (!AssignClasses(shapes)) return false;

    // The labelled area: where any plane's copy can reach the paint rectangle, cut to where
    // one plane draws anything (stretched forward by the stack's depth).
    const std::int64_t reachX = static_cast<std::int64_t>(planeCount_ - 1) * ox_;
    const std::int64_t reachY = static_cast<std::int64_t>(planeCount_ - 1) * oy_;
    Area reach{paint.left - frontX_ - std::max<std::int64_t>(reachX, 0),
               paint.top - frontY_ - std::max<std::int64_t>(reachY, 0),
               paint.right - frontX_ - std::min<std::int64_t>(reachX, 0),
               paint.bottom - frontY_ - std::min<std::int64_t>(reachY, 0)};
    Area content{std::numeric_limits<std::int64_t>::max(), std::numeric_limits<std::int64_t>::max(),
                 std::numeric_limits<std::int64_t>::min(),
                 std::numeric_limits<std::int64_t>::min()};
    for (const PlaneShape& shape : shapes.shapes) {
        if (shape.frontOnly) continue;
        const Area a = TextArea(shape);
        content.left = std::min(content.left, a.left);
        content.top = std::min(content.top, a.top);
        content.right = std::max(content.right, a.right);
        content.bottom = std::max(content.bottom, a.bottom);
    }
    box_.left = std::max(reach.left, content.left + std::min<std::int64_t>(reachX, 0));
    box_.top = std::max(reach.top, content.top + std::min<std::int64_t>(reachY, 0));
    box_.right = std::min(reach.right, content.right + std::max<std::int64_t>(reachX, 0));
    box_.bottom = std::min(reach.bottom, content.bottom + std::max<std::int64_t>(reachY, 0));
    const bool empty = box_.right <= box_.left || box_.bottom <= box_.top;
    if (!empty && (box_.right - box_.left) * (box_.bottom - box_.top) > kMaxArea) return false;

    if (!empty) {
        bw_ = static_cast<int>(box_.right - box_.left);
        bh_ = static_cast<int>(box_.bottom - box_.top);
        const std::size_t area = static_cast<std::size_t>(bw_) * static_cast<std::size_t>(bh_);
        label_.assign(area, 0);
        smoothEdges_ = false;
        for (std::size_t i = 0; i < shapes.shapes.size(); ++i)
            if (!shapes.shapes[i].frontOnly && !Stamp(shapes.shapes[i], classOfShape_[i], glyphs))
                return false;
        if (smoothEdges_) {
            sharp_.clear();
            Propagate(smooth_, SmoothHits{coverage_.data()});
        } else {
            smooth_.clear();
            Propagate(sharp_, SharpHits{});
        }
        FillColourTable(scene);
        Output(paint, target);
    }
    for (std::size_t i = overlay; i < shapes.shapes.size(); ++i)
        Overlay(scene, shapes.shapes[i], paint, glyphs, target);
    return true;
}

} // namespace stx
