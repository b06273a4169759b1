#pragma once
// All planes of a paint at once, at a cost that does not grow with the plane count: one
// plane's drawing is rasterized once into labels, and every pixel takes its colour from the
// front-most plane whose shifted copy covers it.
#include "view/paint_plan.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace stx {

// A 32-bit top-down bitmap's pixels, 0x00RRGGBB.
struct PixelBuffer {
    std::uint32_t* bits = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0; // pixels from one row to the next
};

// Each channel of fore over back by that channel of coverage (0x00RRGGBB, 0xFF = all fore),
// rounded to the nearest value.
inline std::uint32_t BlendPixel(std::uint32_t back, std::uint32_t fore, std::uint32_t coverage) {
    // The channels side by side in 16-bit lanes: a channel's f * a + b * (255 - a) + 127 fits
    // in its lane, and one division by 255 then serves all three.
    auto lanes = [](std::uint32_t c) {
        return (c & 0xFFull) | (c & 0xFF00ull) << 8 | (c & 0xFF0000ull) << 16;
    };
    constexpr std::uint64_t kLowBytes = 0x000000FF00FF00FFull;
    const std::uint32_t a = coverage & 0xFF;
    std::uint64_t x = 0;
    if (coverage == a * 0x010101u) { // smoothed in grey: one coverage for all channels
        x = lanes(fore) * a + lanes(back) * (255 - a);
    } else {
        for (int shift = 0; shift <= 16; shift += 8) {
            const std::uint64_t c = coverage >> shift & 0xFF;
            x |= ((fore >> shift & 0xFF) * c + (back >> shift & 0xFF) * (255 - c)) << 2 * shift;
        }
    }
    x += 0x007F007F007Full;
    x = (x + 0x000100010001ull + (x >> 8 & kLowBytes)) >> 8 & kLowBytes; // x / 255, exactly
    return static_cast<std::uint32_t>((x & 0xFF) | (x >> 8 & 0xFF00) | (x >> 16 & 0xFF0000));
}

// One piece of text for the rasterizer: the cell's top-left corner at (x, y); each character
// advances by its entry in advances, or by its own width when advances is empty.
struct GlyphText {
    int x = 0;
    int y = 0;
    std::string_view chars;
    std::span<const int> advances;
    bool cell = false; // the cell an opaque text output fills, instead of the glyphs
};

// What drawing texts white on black gives, one band per text, per pixel 0x00RRGGBB: 0 where
// nothing shows, 0xFFFFFF where a glyph covers it, per-channel fractions at smoothed edges;
// for a cell, non-zero inside it.
struct GlyphCoverage {
    const std::uint32_t* bands[2] = {nullptr, nullptr};
    std::ptrdiff_t stride = 0;
};

// Draws text in the view's font for the composition.
class GlyphRasterizer {
  public:
    virtual ~GlyphRasterizer() = default;
    // One or two texts, each into a band of width x height pixels of its own, clipped to it.
    // The coverage stays valid until the next call.
    virtual bool Render(std::span<const GlyphText> texts, int width, int height,
                        GlyphCoverage& out) = 0;
    // Changes when glyphs of the same font come out differently (the system's smoothing).
    virtual std::uint32_t Look() const { return 0; }
};

class PlaneComposer {
  public:
    // Draws the planes of shapes (planned for the scene) over paintRect of target, on the
    // background already there, with the same pixels as drawing the planes one by one. False
    // when the scene needs more memory than the composition allows, or the text cannot be
    // rasterized: target is then unchanged.
    bool Compose(const PaintScene& scene, const PlaneShapes& shapes, const Rect& paintRect,
                 GlyphRasterizer& glyphs, const PixelBuffer& target);

    // Forgets the rows kept from earlier paints.
    void Forget();

  private:
    // Opaque text has three classes in a row: its glyphs on the cell, the cell, and glyph
    // edges beyond the cell, which lie over whatever is behind.
    enum class Part : std::uint8_t { Glyph, Cell, LooseGlyph };
    struct Class {
        ShapeRole role;
        Colour front;
        bool letterSelected;
        Part part;
    };
    struct Area {
        std::int64_t left = 0, top = 0, right = 0, bottom = 0;
    };

    // Where shapes are stamped: the labelled area, or one row's strip.
    struct Labels {
        std::uint8_t* labels;
        std::vector<std::uint32_t>* coverage; // grown at the first smoothed edge
        Area area;
        bool* smooth;
    };
    // One row's labels as a paint made them, for later paints of the same row.
    struct RowStrip {
        std::int64_t left = 0; // the columns held
        std::int64_t right = 0;
        std::vector<std::uint8_t> labels;
        std::vector<std::uint32_t> coverage;
        bool smooth = false;
        std::uint64_t lastUse = 0;
    };

    bool AssignClasses(const PlaneShapes& shapes);
    std::uint8_t ClassOf(const PlaneShape& shape);
    Area TextArea(const PlaneShape& shape) const;
    std::size_t BatchEnd(const PlaneShapes& shapes, std::size_t begin) const;
    bool Stamp(const PlaneShapes& shapes, std::size_t begin, std::size_t end,
               GlyphRasterizer& glyphs, Labels& into);
    bool StampRow(const PlaneShapes& shapes, std::size_t begin, std::size_t end,
                  GlyphRasterizer& glyphs, const Area& reach);
    using RowMap = std::unordered_map<std::string, RowStrip>;
    RowStrip TakeStrip(RowMap::iterator stale);
    template <typename Rule>
    void Sweep(std::vector<typename Rule::Hit>& ring, Rule rule, const Rect& paint,
               const PixelBuffer& target) const;
    void FillColourTable(const PaintScene& scene);
    void Overlay(const PaintScene& scene, const PlaneShape& shape, const Rect& paint,
                 GlyphRasterizer& glyphs, const PixelBuffer& target);

    // Per paint.
    int planeCount_ = 1;
    int ox_ = 0; // a plane's copy lies (ox_, oy_) further back than the one in front of it
    int oy_ = 0;
    int frontX_ = 0; // the front plane's offset
    int frontY_ = 0;
    int hMargin_ = 0; // room around a text cell for glyphs that overhang it
    int vMargin_ = 0;
    Area box_;   // the labelled area, in the coordinates of a plane with no offset
    int bw_ = 0; // its size
    int bh_ = 0;
    std::vector<std::uint8_t> classOfShape_;
    const CharWidthTable* widths_ = nullptr;
    // A row's runs as two pieces of text, every other run in each.
    std::string batchText_[2];
    std::vector<int> batchAdvances_[2];

    // Kept from paint to paint.
    std::vector<Class> classes_; // a class keeps its number while the rows are kept
    RowMap rows_;                // by the row's shapes
    std::size_t rowLimit_ = 16;
    EditorFont rowsFont_{};
    std::int64_t rowsLineHeight_ = -1;
    std::uint32_t rowsLook_ = 0;
    std::uint64_t paints_ = 0;
    std::string rowKey_;
    std::vector<std::uint8_t> label_;     // class per pixel of one plane, 0 for none
    std::vector<std::uint32_t> coverage_; // partly covered pixels: coverage, class below
    bool smoothEdges_ = false;            // some pixel is partly covered
    // Rows of the nearest plane showing something at each pixel (see SharpHits, SmoothHits).
    std::vector<std::uint16_t> sharp_;
    std::vector<std::uint64_t> smooth_;
    std::vector<std::uint32_t> colours_; // per class and plane depth, 0x00RRGGBB
    std::vector<std::uint8_t> onCell_;   // per class: glyphs blended over the next class
};

} // namespace stx
