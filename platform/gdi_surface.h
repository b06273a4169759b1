#pragma once
// The drawing surface on a GDI device context, the GDI objects it draws with, and the
// off-screen bitmap that double buffering paints into.
#include <windows.h>

#include "view/paint_plan.h"
#include "view/plane_composer.h"
#include "view/surface.h"

#include <cstdint>
#include <unordered_map>

namespace stx {

// The GDI objects painting uses, kept from paint to paint: the editor font, one solid pen per
// colour in use (the planes' pens), one solid brush, and the background's tile brush and
// image, which belong to whoever loaded them.
class GdiObjects {
  public:
    GdiObjects() = default;
    ~GdiObjects();
    GdiObjects(const GdiObjects&) = delete;
    GdiObjects& operator=(const GdiObjects&) = delete;

    // The font for this description, created again only when the description changes.
    HFONT Font(const EditorFont& font);
    HPEN Pen(Colour colour);
    HBRUSH SolidBrush(Colour colour);

    // Not owned. A null tile brush tiles with the window colour; a null image draws nothing.
    void SetBackground(HBRUSH tile, HBITMAP image);
    HBRUSH TileBrush() const { return tile_; }
    HBITMAP Image() const { return image_; }
    Size ImageSize() const;

    // Deletes the pens; the next lines create what they need. Call when the plane colours
    // change so pens of old colours do not pile up.
    void ReleasePens();
    // Drops the pens when old colours have piled up; only while no pen is selected.
    void TrimPens();

  private:
    HFONT font_ = nullptr;
    EditorFont fontSpec_{};
    std::unordered_map<Colour, HPEN> pens_;
    HBRUSH brush_ = nullptr;
    Colour brushColour_ = 0;
    HBRUSH tile_ = nullptr;
    HBITMAP image_ = nullptr;
};

// A Surface drawing on a device context. Whatever it selects into the context is selected
// out again when it is destroyed, so the context can be released or reused.
class GdiSurface final : public Surface {
  public:
    GdiSurface(HDC dc, GdiObjects& objects);
    ~GdiSurface() override;
    GdiSurface(const GdiSurface&) = delete;
    GdiSurface& operator=(const GdiSurface&) = delete;

    void UseFont(const EditorFont& font) override;
    void SetTextColour(Colour colour) override;
    void SetBackColour(Colour colour) override;
    void SetBackMode(BackMode mode) override;
    void WriteText(int x, int y, std::string_view chars) override;
    void FillSolid(const Rect& area, Colour colour) override;
    void FillTiled(const Rect& area) override;
    void DrawImage(const Rect& dest) override;
    void DrawLine(int x0, int y0, int x1, int y1, Colour pen) override;

  private:
    HDC dc_;
    GdiObjects& objects_;
    HGDIOBJ oldFont_ = nullptr;
    HGDIOBJ oldPen_ = nullptr;
    HPEN pen_ = nullptr;
    Colour penColour_ = 0;
};

// A 32-bit top-down DIB section of the given size, its pixels in bits (0x00RRGGBB); null
// when the system cannot give one.
HBITMAP CreatePixels(HDC dc, int width, int height, std::uint32_t*& bits);

// A memory context holding a 32-bit bitmap whose pixels are at hand. The context stays when
// the bitmap is made again, and with it what is selected into it.
class PixelContext {
  public:
    PixelContext() = default;
    ~PixelContext();
    PixelContext(const PixelContext&) = delete;
    PixelContext& operator=(const PixelContext&) = delete;

    // A bitmap of exactly, or (grow) at least, width x height; false when the system cannot
    // give one.
    bool Ensure(HDC compatibleDc, int width, int height, bool grow);
    void Release();

    HDC Dc() const { return dc_; }
    PixelBuffer Pixels() const { return {bits_, width_, height_, width_}; }

  private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    std::uint32_t* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

// Glyph coverage for the plane composition, drawn by GDI in the view's font into a scratch
// bitmap: white on black, so smoothed fonts give their edge coverage per channel.
class GdiGlyphRasterizer final : public GlyphRasterizer {
  public:
    GdiGlyphRasterizer() = default;
    ~GdiGlyphRasterizer() override { End(); }
    GdiGlyphRasterizer(const GdiGlyphRasterizer&) = delete;
    GdiGlyphRasterizer& operator=(const GdiGlyphRasterizer&) = delete;

    // Draws with this font until End; false when the scratch context cannot be had.
    bool Begin(HFONT font);
    void End();
    bool Render(std::span<const GlyphText> texts, int width, int height,
                GlyphCoverage& out) override;
    // The system's font smoothing settings, as read by Begin.
    std::uint32_t Look() const override { return look_; }

  private:
    PixelContext scratch_;
    HGDIOBJ oldFont_ = nullptr;
    std::uint32_t look_ = 0;
};

// The off-screen bitmap of double buffering: a memory context holding a 32-bit bitmap of the
// view's client size, made again when the size changes. Its pixels are open to the plane
// composition, which draws all planes in one pass over them.
class OffscreenBuffer {
  public:
    OffscreenBuffer() = default;
    ~OffscreenBuffer() = default;
    OffscreenBuffer(const OffscreenBuffer&) = delete;
    OffscreenBuffer& operator=(const OffscreenBuffer&) = delete;

    // A context compatible with compatibleDc with at least the given size; null when the
    // system cannot give one (the caller then paints directly).
    HDC Prepare(HDC compatibleDc, int width, int height);
    // Copies one rectangle to the same place on target.
    bool CopyTo(HDC target, const Rect& area) const;
    void Release();

    PixelBuffer Pixels() const { return pixels_.Pixels(); }
    PlaneComposer& Composer() { return composer_; }
    GdiGlyphRasterizer& Glyphs() { return glyphs_; }

  private:
    PixelContext pixels_;
    PlaneComposer composer_;
    GdiGlyphRasterizer glyphs_;
};

// One paint of the text view on target: through the off-screen buffer and one copy when a
// buffer is given (and can be had), with the planes composed in one pass where the scene
// allows; otherwise straight onto target, plane by plane.
void PaintOnDc(HDC target, const PaintScene& scene, const Rect& paintRect, GdiObjects& objects,
               OffscreenBuffer* buffer);

// The font's metrics as the view needs them: the advance of each of the 256 byte values
// (limited to 255 pixels) and the line height, measured with GetTextExtentPoint32A.
bool MeasureFont(HDC dc, const EditorFont& font, GdiObjects& objects, std::uint8_t (&widths)[256],
                 int& lineHeight);

LOGFONTA ToLogFont(const EditorFont& font);

} // namespace stx
