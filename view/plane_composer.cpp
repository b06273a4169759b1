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

void PlaneComposer::Forget() {
    classes_.clear();
    rows_.clear();
}

// The class of a shape's glyphs; opaque text has its cell and loose edges in the next two.
// 0 when the classes are used up.
std::uint8_t PlaneComposer::ClassOf(const PlaneShape& s) {
    // Only what changes a colour on some plane tells classes apart.
    const Class c{s.role, IsText(s.role) ? s.front : 0,
                  s.role == ShapeRole::CaretBlock && s.letterSelected, Part::Glyph};
    for (std::size_t k = 0; k < classes_.size(); ++k) {
        const Class& e = classes_[k];
        if (e.role == c.role && e.front == c.front && e.letterSelected == c.letterSelected &&
            e.part == Part::Glyph)
            return static_cast<std::uint8_t>(k + 1);
    }
    const bool opaque = IsOpaque(s.role);
    if (classes_.size() + (opaque ? 3 : 1) > kMaxClasses) return 0;
    classes_.push_back(c);
    const std::size_t found = classes_.size();
    if (opaque) {
        for (Part part : {Part::Cell, Part::LooseGlyph}) {
            classes_.push_back(c);
            classes_.back().part = part;
        }
    }
    return static_cast<std::uint8_t>(found);
}

bool PlaneComposer::AssignClasses(const PlaneShapes& shapes) {
    classOfShape_.assign(shapes.shapes.size(), 0);
    for (int attempt = 0; attempt < 2; ++attempt) {
        // Classes outlive a paint, so that kept rows stay right; when a long session has
        // used them up, they start again, and the rows with them.
        if (attempt) Forget();
        bool all = true;
        for (std::size_t i = 0; i < shapes.shapes.size() && all; ++i)
            if (!shapes.shapes[i].frontOnly)
                all = (classOfShape_[i] = ClassOf(shapes.shapes[i])) != 0;
        if (all) break;
        if (attempt) return false;
    }
    onCell_.assign(classes_.size() + 1, 0);
    for (std::size_t k = 0; k < classes_.size(); ++k)
        onCell_[k + 1] = IsOpaque(classes_[k].role) && classes_[k].part == Part::Glyph;
    return true;
}

PlaneComposer::Area PlaneComposer::TextArea(const PlaneShape& s) const {
    if (!IsText(s.role)) return {s.x, s.y, s.x + 1, s.y + s.height};
    return {s.x - hMargin_, s.y - vMargin_, s.x + s.width + hMargin_, s.y + s.height + vMargin_};
}

// Transparent text of one row goes to the rasterizer in one piece: shapes from begin to the
// returned end.
std::size_t PlaneComposer::BatchEnd(const PlaneShapes& shapes, std::size_t begin) const {
    auto batchable = [](const PlaneShape& s) {
        return s.role == ShapeRole::Text && s.rowText && !s.frontOnly;
    };
    std::size_t end = begin + 1;
    if (!batchable(shapes.shapes[begin])) return end;
    while (end < shapes.shapes.size()) {
        const PlaneShape& prev = shapes.shapes[end - 1];
        const PlaneShape& next = shapes.shapes[end];
        if (!batchable(next) || next.y != prev.y || next.x < prev.x + prev.width) break;
        ++end;
    }
    return end;
}

bool PlaneComposer::Stamp(const PlaneShapes& shapes, std::size_t begin, std::size_t end,
                          GlyphRasterizer& glyphs, Labels& into) {
    const std::vector<PlaneShape>& all = shapes.shapes;
    const PlaneShape& s = all[begin];
    const std::int64_t stride = into.area.right - into.area.left;
    Area a = TextArea(s);
    a.right = TextArea(all[end - 1]).right;
    a.left = std::max(a.left, into.area.left);
    a.top = std::max(a.top, into.area.top);
    a.right = std::min(a.right, into.area.right);
    a.bottom = std::min(a.bottom, into.area.bottom);
    if (a.right <= a.left || a.bottom <= a.top) return true;
    const int w = static_cast<int>(a.right - a.left);
    const int h = static_cast<int>(a.bottom - a.top);
    std::uint8_t* labels =
        into.labels + (a.top - into.area.top) * stride + (a.left - into.area.left);
    if (!IsText(s.role)) {
        for (int r = 0; r < h; ++r)
            labels[r * stride] = classOfShape_[begin];
        return true;
    }

    // Opaque text: its glyphs and its cell. A row's transparent runs: every other run in one
    // text and the rest in another, so that a glyph reaching into the next run's cell is
    // still known as its own run's.
    GlyphText texts[2];
    const bool opaque = IsOpaque(s.role);
    const std::size_t pieces = opaque || end - begin > 1 ? 2 : 1;
    for (std::size_t t = 0; t < pieces; ++t) {
        GlyphText& text = texts[t];
        text.y = static_cast<int>(s.y - a.top);
        if (opaque || end - begin == 1) {
            text.x = static_cast<int>(s.x - a.left);
            text.chars = std::string_view(s.chars, s.count);
            text.cell = t == 1;
            continue;
        }
        std::string& chars = batchText_[t];
        std::vector<int>& advances = batchAdvances_[t];
        chars.clear();
        advances.clear();
        text.x = static_cast<int>(all[begin + t].x - a.left);
        for (std::size_t i = begin + t; i < end; i += 2) {
            const PlaneShape& run = all[i];
            if (!advances.empty())
                advances.back() += static_cast<int>(run.x - all[i - 2].x - all[i - 2].width);
            chars.append(run.chars, run.count);
            for (std::uint32_t c = 0; c < run.count; ++c)
                advances.push_back((*widths_)[static_cast<unsigned char>(run.chars[c])]);
        }
        text.chars = chars;
        text.advances = advances;
    }
    GlyphCoverage cov;
    if (!glyphs.Render(std::span<const GlyphText>(texts, pieces), w, h, cov)) return false;

    // Lays one pixel of a shape of class cls over what the plane drew there before.
    const std::size_t size = static_cast<std::size_t>(stride * (into.area.bottom - into.area.top));
    auto lay = [&into, size](std::uint8_t* at, std::uint8_t cls, std::uint32_t g) {
        if (g == 0xFFFFFF) {
            *at = cls;
            return;
        }
        // An edge over something this plane drew before blends with that.
        if (into.coverage->size() < size) into.coverage->resize(size);
        *into.smooth = true;
        const std::uint32_t under = *at & kClassMask;
        *at = cls | kPartial;
        (*into.coverage)[static_cast<std::size_t>(at - into.labels)] = g | under << 24;
    };
    for (int r = 0; r < h; ++r) {
        std::uint8_t* row = labels + static_cast<std::ptrdiff_t>(r) * stride;
        const std::uint32_t* first = cov.bands[0] + r * cov.stride;
        const std::uint32_t* second = pieces == 2 ? cov.bands[1] + r * cov.stride : nullptr;
        if (opaque) {
            const std::uint8_t cls = classOfShape_[begin];
            for (int c = 0; c < w; ++c) {
                const std::uint32_t g = first[c] & 0xFFFFFF;
                const bool inCell = (second[c] & 0xFFFFFF) != 0;
                if (g)
                    lay(row + c, inCell ? cls : static_cast<std::uint8_t>(cls + 2), g);
                else if (inCell)
                    row[c] = static_cast<std::uint8_t>(cls + 1);
            }
            continue;
        }
        // Each text's pixels belong to its run whose cell holds them, or else to the nearest
        // of its runs to the left: glyphs overhang to the right. Where both texts show, the
        // run drawn later lies on top.
        std::size_t owner[2] = {begin, begin + 1};
        for (int c = 0; c < w; ++c) {
            // Most of the area is empty: pass over it four pixels at a time.
            while (c + 4 <= w &&
                   ((first[c] | first[c + 1] | first[c + 2] | first[c + 3] |
                     (second ? second[c] | second[c + 1] | second[c + 2] | second[c + 3] : 0)) &
                    0xFFFFFF) == 0)
                c += 4;
            if (c >= w) break;
            const std::int64_t x = a.left + c;
            for (std::size_t t = 0; t < pieces; ++t)
                while (owner[t] + 2 < end && x >= all[owner[t] + 2].x)
                    owner[t] += 2;
            const std::uint32_t g0 = first[c] & 0xFFFFFF;
            const std::uint32_t g1 = second ? second[c] & 0xFFFFFF : 0;
            if (!(g0 | g1)) continue;
            const std::size_t lower = g0 && g1 ? std::min(owner[0], owner[1]) : 0;
            if (g0 && g1) {
                const bool firstBelow = owner[0] == lower;
                lay(row + c, classOfShape_[lower], firstBelow ? g0 : g1);
                lay(row + c, classOfShape_[firstBelow ? owner[1] : owner[0]], firstBelow ? g1 : g0);
            } else {
                lay(row + c, classOfShape_[g0 ? owner[0] : owner[1]], g0 ? g0 : g1);
            }
        }
    }
    return true;
}

// A row of text: its labels kept from an earlier paint when its shapes are the same, else
// stamped afresh over all the columns any plane of the view can reach; then copied into the
// labelled area.
bool PlaneComposer::StampRow(const PlaneShapes& shapes, std::size_t begin, std::size_t end,
                             GlyphRasterizer& glyphs, const Area& reach) {
    const std::vector<PlaneShape>& all = shapes.shapes;
    const std::int64_t top = all[begin].y - vMargin_;
    const std::int64_t bottom = all[begin].y + all[begin].height + vMargin_;
    const std::int64_t left = std::max(TextArea(all[begin]).left, box_.left);
    const std::int64_t right = std::min(TextArea(all[end - 1]).right, box_.right);
    if (left >= right || std::max(top, box_.top) >= std::min(bottom, box_.bottom)) return true;

    rowKey_.clear();
    for (std::size_t i = begin; i < end; ++i) {
        const PlaneShape& s = all[i];
        const std::int64_t numbers[] = {static_cast<std::int64_t>(s.role), s.x, s.width,
                                        static_cast<std::int64_t>(s.front),
                                        static_cast<std::int64_t>(s.count)};
        rowKey_.append(reinterpret_cast<const char*>(numbers), sizeof numbers);
        rowKey_.append(s.chars, s.count);
    }
    auto found = rows_.find(rowKey_);
    if (found == rows_.end() || found->second.left > left || found->second.right < right) {
        RowStrip strip = TakeStrip(found);
        strip.left = std::min(std::max(TextArea(all[begin]).left, reach.left), left);
        strip.right = std::max(std::min(TextArea(all[end - 1]).right, reach.right), right);
        strip.labels.assign(static_cast<std::size_t>((strip.right - strip.left) * (bottom - top)),
                            0);
        strip.coverage.clear();
        strip.smooth = false;
        Labels into{strip.labels.data(),
                    &strip.coverage,
                    {strip.left, top, strip.right, bottom},
                    &strip.smooth};
        for (std::size_t i = begin; i < end;) {
            const std::size_t batch = BatchEnd(shapes, i);
            if (!Stamp(shapes, i, batch, glyphs, into)) return false;
            i = batch;
        }
        found = rows_.insert_or_assign(std::move(rowKey_), std::move(strip)).first;
        rowKey_ = std::string();
    }
    RowStrip& strip = found->second;
    strip.lastUse = paints_;
    const std::int64_t stride = strip.right - strip.left;
    for (std::int64_t y = std::max(top, box_.top); y < std::min(bottom, box_.bottom); ++y) {
        const std::size_t from = static_cast<std::size_t>((y - top) * stride + (left - strip.left));
        const std::size_t to = static_cast<std::size_t>((y - box_.top) * bw_ + (left - box_.left));
        for (std::int64_t x = 0; x < right - left; ++x) {
            const std::uint8_t l = strip.labels[from + static_cast<std::size_t>(x)];
            if (!l) continue;
            label_[to + static_cast<std::size_t>(x)] = l;
            if (l & kPartial) {
                if (coverage_.size() < label_.size()) coverage_.resize(label_.size());
                coverage_[to + static_cast<std::size_t>(x)] =
                    strip.coverage[from + static_cast<std::size_t>(x)];
                smoothEdges_ = true;
            }
        }
    }
    return true;
}

// A strip for a row to be stamped: the stale one found for it, or when the kept rows are at
// their limit the one used longest ago (not in this paint), so that its memory serves again.
PlaneComposer::RowStrip PlaneComposer::TakeStrip(RowMap::iterator stale) {
    auto take = stale;
    if (take == rows_.end() && rows_.size() >= rowLimit_) {
        for (auto it = rows_.begin(); it != rows_.end(); ++it)
            if (it->second.lastUse < paints_ &&
                (take == rows_.end() || it->second.lastUse < take->second.lastUse))
                take = it;
    }
    if (take == rows_.end()) return {};
    RowStrip strip = std::move(take->second);
    rows_.erase(take);
    return strip;
}

namespace {

// What the sweep's rows are drawn with.
struct Palette {
    const std::uint32_t* colours; // per class and depth: colours[class << 8 | depth]
    const std::uint8_t* onCell;   // per class: its glyphs are blended over the next class
    unsigned planes;
};

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
    // The label and the depth index the colour table together.
    static void Draw(const Palette& p, const Hit* hits, std::uint32_t* out, int n) {
        for (int i = 0; i < n; ++i)
            if ((hits[i] & 0xFFu) < p.planes) out[i] = p.colours[hits[i]];
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
    static void Draw(const Palette& p, const Hit* hits, std::uint32_t* out, int n) {
        for (int i = 0; i < n; ++i) {
            const Hit h = hits[i];
            const unsigned j = h & 0xFF;
            if (j >= p.planes) continue;
            const unsigned label = h >> 8 & 0xFF;
            out[i] = label & kPartial ? Edge(p, h, out[i]) : p.colours[label << 8 | j];
        }
    }

    // The colour of a smoothed edge: blended over its cell, over what its own plane drew
    // below it, or else over the nearest plane behind it (an edge there counts as solid: the
    // planes further back hardly show through two edges), or the background (under).
    static std::uint32_t Edge(const Palette& p, Hit h, std::uint32_t under) {
        const unsigned j = h & 0xFF;
        const unsigned cls = h >> 8 & kClassMask;
        unsigned below = static_cast<unsigned>(h >> 56);
        if (p.onCell[cls]) below = cls + 1;
        std::uint32_t back = under;
        if (below) {
            back = p.colours[below << 8 | j];
        } else {
            const unsigned behind = h >> 16 & 0xFF;
            if (behind < p.planes) back = p.colours[(h >> 24 & kClassMask) << 8 | behind];
        }
        return BlendPixel(back, p.colours[cls << 8 | j], h >> 32 & 0xFFFFFF);
    }
};

} // namespace

// The records of the labelled area, row by row from the back (a row only reads the row a
// plane behind it), kept in a ring of as many rows as a plane steps plus one; each row is
// drawn into the paint rectangle as soon as it is known.
template <typename Rule>
void PlaneComposer::Sweep(std::vector<typename Rule::Hit>& ring, Rule rule, const Rect& paint,
                          const PixelBuffer& target) const {
    using Hit = typename Rule::Hit;
    // Pixel (x, y) sees plane j's copy of the label at (x, y) - front - j * (ox, oy).
    const std::int64_t xFrom = std::max<std::int64_t>(paint.left, box_.left + frontX_);
    const std::int64_t xTo = std::min<std::int64_t>(paint.right, box_.right + frontX_);
    const std::int64_t yFrom = std::max<std::int64_t>(paint.top, box_.top + frontY_);
    const std::int64_t yTo = std::min<std::int64_t>(paint.bottom, box_.bottom + frontY_);
    if (xFrom >= xTo || yFrom >= yTo) return;
    const int px0 = static_cast<int>(xFrom - frontX_ - box_.left);
    const int n = static_cast<int>(xTo - xFrom);
    const Palette palette{colours_.data(), onCell_.data(), static_cast<unsigned>(planeCount_)};

    const int slots = std::abs(oy_) + 1;
    ring.resize(static_cast<std::size_t>(slots) * static_cast<std::size_t>(bw_));
    auto slot = [&](int y) { return ring.data() + static_cast<std::ptrdiff_t>(y % slots) * bw_; };
    const int lo = std::clamp(ox_, 0, bw_);
    const int hi = std::clamp(bw_ + ox_, 0, bw_);
    for (int i = 0; i < bh_; ++i) {
        const int y = oy_ >= 0 ? i : bh_ - 1 - i;
        const std::size_t row = static_cast<std::size_t>(y) * static_cast<std::size_t>(bw_);
        const std::uint8_t* l = label_.data() + row;
        Hit* h = slot(y);
        const int ys = y - oy_;
        if (oy_ == 0) { // along the row
            if (ox_ >= 0) {
                for (int x = 0; x < bw_; ++x)
                    h[x] = rule(l[x], row + x, ox_ && x >= ox_ ? h[x - ox_] : Rule::kNone);
            } else {
                for (int x = bw_ - 1; x >= 0; --x)
                    h[x] = rule(l[x], row + x, x - ox_ < bw_ ? h[x - ox_] : Rule::kNone);
            }
        } else if (ys < 0 || ys >= bh_) {
            for (int x = 0; x < bw_; ++x)
                h[x] = rule(l[x], row + x, Rule::kNone);
        } else {
            const Hit* s = slot(ys);
            for (int x = 0; x < lo; ++x)
                h[x] = rule(l[x], row + x, Rule::kNone);
            for (int x = lo; x < hi; ++x)
                h[x] = rule(l[x], row + x, s[x - ox_]);
            for (int x = hi; x < bw_; ++x)
                h[x] = rule(l[x], row + x, Rule::kNone);
        }
        const std::int64_t ty = y + box_.top + frontY_;
        if (ty >= yFrom && ty < yTo)
            Rule::Draw(palette, h + px0, target.bits + ty * target.stride + xFrom, n);
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
    GlyphText texts[2];
    for (int t = 0; t < 2; ++t) {
        texts[t].x = static_cast<int>(s.x + frontX_ - a.left);
        texts[t].y = static_cast<int>(s.y + frontY_ - a.top);
        texts[t].chars = std::string_view(s.chars, s.count);
        texts[t].cell = t == 1;
    }
    const bool opaque = IsOpaque(s.role);
    GlyphCoverage cov;
    if (!glyphs.Render(std::span<const GlyphText>(texts, opaque ? 2 : 1), w, h, cov)) return;
    for (int r = 0; r < h; ++r) {
        std::uint32_t* row = out + r * target.stride;
        const std::uint32_t* glyph = cov.bands[0] + r * cov.stride;
        const std::uint32_t* cells = opaque ? cov.bands[1] + r * cov.stride : nullptr;
        for (int c = 0; c < w; ++c) {
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
    widths_ = &scene.buffer.Widths();
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
        // Rows are kept for the same font, looking the same, in the same line height.
        if (!(scene.settings.font == rowsFont_) || lineHeight != rowsLineHeight_ ||
            glyphs.Look() != rowsLook_) {
            rows_.clear();
            rowsFont_ = scene.settings.font;
            rowsLineHeight_ = lineHeight;
            rowsLook_ = glyphs.Look();
        }
        ++paints_;
        // A kept row holds every column that some plane can show in the view.
        const Area viewReach{-frontX_ - std::max<std::int64_t>(reachX, 0), 0,
                             static_cast<std::int64_t>(scene.view.viewWidth) - frontX_ -
                                 std::min<std::int64_t>(reachX, 0),
                             0};
        Labels into{label_.data(), &coverage_, box_, &smoothEdges_};
        // Rows are kept for the view's rows and a few more.
        rowLimit_ = 16;
        for (std::size_t i = 0; i < shapes.shapes.size(); ++i)
            rowLimit_ += shapes.shapes[i].rowText && (i == 0 || !shapes.shapes[i - 1].rowText ||
                                                      shapes.shapes[i - 1].y != shapes.shapes[i].y);
        for (std::size_t i = 0; i < shapes.shapes.size();) {
            const PlaneShape& s = shapes.shapes[i];
            std::size_t end = i + 1;
            if (s.rowText) {
                while (end < shapes.shapes.size() && shapes.shapes[end].rowText &&
                       shapes.shapes[end].y == s.y)
                    ++end;
                if (!StampRow(shapes, i, end, glyphs, viewReach)) return false;
            } else if (!s.frontOnly && !Stamp(shapes, i, end, glyphs, into)) {
                return false;
            }
            i = end;
        }
        FillColourTable(scene);
        if (smoothEdges_)
            Sweep(smooth_, SmoothHits{coverage_.data()}, paint, target);
        else
            Sweep(sharp_, SharpHits{}, paint, target);
    }
    for (std::size_t i = overlay; i < shapes.shapes.size(); ++i)
        Overlay(scene, shapes.shapes[i], paint, glyphs, target);
    return true;
}

} // namespace stx
