// The view drawn in software, for tests and benchmarks that run without a window system: a
// made-up font whose glyphs are a stripe pattern in each character's cell, drawn both through
// the Surface (plane by plane) and as glyph coverage for the plane composition.
#pragma once

#include "text/text_buffer.h"
#include "view/plane_composer.h"
#include "view/surface.h"

#include <algorithm>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace stx {

// Coverage (0x00RRGGBB) of character ch's glyph at (x, y) of its cell. The stripes reach one
// pixel past the cell's right edge, as some real glyphs do; smoothed glyphs get fractional
// edges, different per channel, inside the cell.
inline std::uint32_t PatternGlyph(unsigned char ch, int x, int y, int cellWidth, int height,
                                  bool smooth) {
    if (ch == ' ' || y < 2 || y >= height - 2 || x < 0 || x > cellWidth) return 0;
    const int phase = (x + y + ch) % 3;
    if (x == cellWidth && ((ch & 1) == 0 || phase != 0)) return 0;
    if (phase == 0) return 0xFFFFFF;
    if (smooth && phase == 1) return 0x40A0FF;
    return 0;
}

// Draws each glyph of chars at (x, y) by calling plot(px, py, coverage); each character
// advances by its entry in advances, or by its width when there are none.
template <typename Plot>
void DrawPattern(const CharWidthTable& widths, int height, bool smooth, int x, int y,
                 std::string_view chars, Plot plot, std::span<const int> advances = {}) {
    for (std::size_t i = 0; i < chars.size(); ++i) {
        const auto ch = static_cast<unsigned char>(chars[i]);
        const int w = widths[ch];
        for (int cy = 0; cy < height; ++cy)
            for (int cx = 0; cx <= w; ++cx)
                if (const std::uint32_t cov = PatternGlyph(ch, cx, cy, w, height, smooth))
                    plot(x + cx, y + cy, cov);
        x += advances.empty() ? w : advances[i];
    }
}

inline int PatternWidth(const CharWidthTable& widths, std::string_view chars) {
    int w = 0;
    for (char c : chars)
        w += widths[static_cast<unsigned char>(c)];
    return w;
}

// A Surface on a pixel buffer of its own.
class SoftCanvas final : public Surface {
  public:
    SoftCanvas(int width, int height, const CharWidthTable& widths, int lineHeight, bool smooth)
        : pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height)),
          width_(width), height_(height), widths_(widths), lineHeight_(lineHeight),
          smooth_(smooth) {}

    PixelBuffer Pixels() { return {pixels_.data(), width_, height_, width_}; }
    const std::vector<std::uint32_t>& All() const { return pixels_; }

    void UseFont(const EditorFont&) override {}
    void SetTextColour(Colour c) override { text_ = Pixel(c); }
    void SetBackColour(Colour c) override { back_ = Pixel(c); }
    void SetBackMode(BackMode mode) override { mode_ = mode; }
    void WriteText(int x, int y, std::string_view chars) override {
        if (mode_ == BackMode::Opaque)
            Fill({x, y, x + PatternWidth(widths_, chars), y + lineHeight_}, back_);
        DrawPattern(widths_, lineHeight_, smooth_, x, y, chars,
                    [&](int px, int py, std::uint32_t cov) {
                        if (std::uint32_t* p = At(px, py)) *p = BlendPixel(*p, text_, cov);
                    });
    }
    void FillSolid(const Rect& area, Colour colour) override { Fill(area, Pixel(colour)); }
    // A checker pattern, so that a background pixel shows where it came from.
    void FillTiled(const Rect& area) override {
        for (int y = std::max(area.top, 0); y < std::min(area.bottom, height_); ++y)
            for (int x = std::max(area.left, 0); x < std::min(area.right, width_); ++x)
                *At(x, y) = (x / 4 + y / 4) % 2 ? 0xE0E0FF : 0xFFFFE0;
    }
    void DrawImage(const Rect&) override {}
    void DrawLine(int x0, int y0, int x1, int y1, Colour pen) override {
        if (x0 != x1 && y0 != y1) return; // the view draws upright lines only
        for (int y = y0; y < std::max(y1, y0 + 1); ++y)
            for (int x = x0; x < std::max(x1, x0 + 1); ++x)
                if (std::uint32_t* p = At(x, y)) *p = Pixel(pen);
    }

  private:
    static std::uint32_t Pixel(Colour c) {
        return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
    }
    std::uint32_t* At(int x, int y) {
        if (x < 0 || y < 0 || x >= width_ || y >= height_) return nullptr;
        return &pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                        static_cast<std::size_t>(x)];
    }
    void Fill(const Rect& area, std::uint32_t pixel) {
        for (int y = std::max(area.top, 0); y < std::min(area.bottom, height_); ++y)
            for (int x = std::max(area.left, 0); x < std::min(area.right, width_); ++x)
                *At(x, y) = pixel;
    }

    std::vector<std::uint32_t> pixels_;
    int width_;
    int height_;
    const CharWidthTable& widths_;
    int lineHeight_;
    bool smooth_;
    std::uint32_t text_ = 0;
    std::uint32_t back_ = 0xFFFFFF;
    BackMode mode_ = BackMode::Opaque;
};

// The same glyphs as coverage, white on black.
class PatternRasterizer final : public GlyphRasterizer {
  public:
    PatternRasterizer(const CharWidthTable& widths, int lineHeight, bool smooth)
        : widths_(widths), lineHeight_(lineHeight), smooth_(smooth) {}

    bool Render(std::span<const GlyphText> texts, int width, int height,
                GlyphCoverage& out) override {
        const std::size_t band = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
        pixels_.assign(band * texts.size(), 0);
        for (std::size_t t = 0; t < texts.size(); ++t) {
            const GlyphText& text = texts[t];
            std::uint32_t* bits = pixels_.data() + t * band;
            out.bands[t] = bits;
            if (text.cell) {
                const int right = std::min(text.x + PatternWidth(widths_, text.chars), width);
                for (int py = std::max(text.y, 0); py < std::min(text.y + lineHeight_, height);
                     ++py)
                    for (int px = std::max(text.x, 0); px < right; ++px)
                        bits[py * width + px] = 0xFFFFFF;
                continue;
            }
            DrawPattern(
                widths_, lineHeight_, smooth_, text.x, text.y, text.chars,
                [&](int px, int py, std::uint32_t cov) {
                    if (px < 0 || py < 0 || px >= width || py >= height) return;
                    std::uint32_t& p = bits[py * width + px];
                    p = BlendPixel(p, 0xFFFFFF, cov);
                },
                text.advances);
        }
        out.stride = width;
        return true;
    }

  private:
    const CharWidthTable& widths_;
    int lineHeight_;
    bool smooth_;
    std::vector<std::uint32_t> pixels_;
};

// The composition onto a soft canvas.
class SoftCompositor final : public PlaneCompositor {
  public:
    SoftCompositor(SoftCanvas& canvas, const CharWidthTable& widths, int lineHeight, bool smooth)
        : canvas_(canvas), glyphs_(widths, lineHeight, smooth) {}
    bool ComposePlanes(const PaintScene& scene, const PlaneShapes& shapes,
                       const Rect& paintRect) override {
        return composer_.Compose(scene, shapes, paintRect, glyphs_, canvas_.Pixels());
    }

  private:
    SoftCanvas& canvas_;
    PatternRasterizer glyphs_;
    PlaneComposer composer_;
};

} // namespace stx
