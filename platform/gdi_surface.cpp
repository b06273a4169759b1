#include "platform/gdi_surface.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace stx {

namespace {

// More distinct pen colours than any plane table has: old colours are dropped at the start
// of the next paint, when no pen is selected anywhere.
constexpr std::size_t kMaxCachedPens = 2 * kMaxPlanes + 2;

RECT ToRect(const Rect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}

} // namespace

LOGFONTA ToLogFont(const EditorFont& font) {
    LOGFONTA lf{};
    lf.lfHeight = font.height;
    lf.lfWidth = font.width;
    lf.lfEscapement = font.escapement;
    lf.lfOrientation = font.orientation;
    lf.lfWeight = font.weight;
    lf.lfItalic = font.italic;
    lf.lfUnderline = font.underline;
    lf.lfStrikeOut = font.strikeOut;
    lf.lfCharSet = font.charSet;
    lf.lfOutPrecision = font.outPrecision;
    lf.lfClipPrecision = font.clipPrecision;
    lf.lfQuality = font.quality;
    lf.lfPitchAndFamily = font.pitchAndFamily;
    // The stored name may lack its terminator; the copy always has one.
    const std::size_t n = strnlen(font.faceName, sizeof font.faceName);
    std::memcpy(lf.lfFaceName, font.faceName, std::min(n, sizeof lf.lfFaceName - 1));
    return lf;
}

// --- GdiObjects ------------------------------------------------------------------------------

GdiObjects::~GdiObjects() {
    ReleasePens();
    if (font_) DeleteObject(font_);
    if (brush_) DeleteObject(brush_);
}

HFONT GdiObjects::Font(const EditorFont& font) {
    if (font_ && font == fontSpec_) return font_;
    const LOGFONTA lf = ToLogFont(font);
    HFONT created = CreateFontIndirectA(&lf);
    if (!created) return font_ ? font_ : static_cast<HFONT>(GetStockObject(ANSI_FIXED_FONT));
    if (font_) DeleteObject(font_);
    font_ = created;
    fontSpec_ = font;
    return font_;
}

HPEN GdiObjects::Pen(Colour colour) {
    const auto found = pens_.find(colour);
    if (found != pens_.end()) return found->second;
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    if (!pen) return static_cast<HPEN>(GetStockObject(BLACK_PEN));
    pens_.emplace(colour, pen);
    return pen;
}

void GdiObjects::ReleasePens() {
    for (const auto& entry : pens_)
        DeleteObject(entry.second);
    pens_.clear();
}

HBRUSH GdiObjects::SolidBrush(Colour colour) {
    if (brush_ && brushColour_ == colour) return brush_;
    HBRUSH created = CreateSolidBrush(colour);
    if (!created) return brush_ ? brush_ : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    if (brush_) DeleteObject(brush_);
    brush_ = created;
    brushColour_ = colour;
    return brush_;
}

void GdiObjects::TrimPens() {
    if (pens_.size() > kMaxCachedPens) ReleasePens();
}

void GdiObjects::SetBackground(HBRUSH tile, HBITMAP image) {
    tile_ = tile;
    image_ = image;
}

Size GdiObjects::ImageSize() const {
    BITMAP bm{};
    if (!image_ || GetObjectA(image_, sizeof bm, &bm) != sizeof bm) return {};
    return {bm.bmWidth, bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight};
}

// --- GdiSurface ------------------------------------------------------------------------------

GdiSurface::GdiSurface(HDC dc, GdiObjects& objects) : dc_(dc), objects_(objects) {
    SetTextAlign(dc_, TA_LEFT | TA_TOP | TA_NOUPDATECP);
}

GdiSurface::~GdiSurface() {
    if (oldFont_) SelectObject(dc_, oldFont_);
    if (oldPen_) SelectObject(dc_, oldPen_);
}

void GdiSurface::UseFont(const EditorFont& font) {
    HGDIOBJ previous = SelectObject(dc_, objects_.Font(font));
    if (!oldFont_) oldFont_ = previous;
}

void GdiSurface::SetTextColour(Colour colour) {
    SetTextColor(dc_, colour);
}

void GdiSurface::SetBackColour(Colour colour) {
    SetBkColor(dc_, colour);
}

void GdiSurface::SetBackMode(BackMode mode) {
    SetBkMode(dc_, mode == BackMode::Opaque ? OPAQUE : TRANSPARENT);
}

void GdiSurface::WriteText(int x, int y, std::string_view chars) {
    if (!chars.empty()) TextOutA(dc_, x, y, chars.data(), static_cast<int>(chars.size()));
}

void GdiSurface::FillSolid(const Rect& area, Colour colour) {
    const RECT r = ToRect(area);
    FillRect(dc_, &r, objects_.SolidBrush(colour));
}

void GdiSurface::FillTiled(const Rect& area) {
    const RECT r = ToRect(area);
    HBRUSH tile = objects_.TileBrush();
    FillRect(dc_, &r, tile ? tile : GetSysColorBrush(COLOR_WINDOW));
}

void GdiSurface::DrawImage(const Rect& dest) {
    HBITMAP image = objects_.Image();
    const Size size = objects_.ImageSize();
    if (!image || size.width <= 0 || size.height <= 0 || IsEmpty(dest)) return;
    HDC source = CreateCompatibleDC(dc_);
    if (!source) return;
    HGDIOBJ old = SelectObject(source, image);
    if ((dest.right - dest.left) == size.width && (dest.bottom - dest.top) == size.height) {
        BitBlt(dc_, dest.left, dest.top, size.width, size.height, source, 0, 0, SRCCOPY);
    } else {
        const int oldMode = SetStretchBltMode(dc_, COLORONCOLOR);
        StretchBlt(dc_, dest.left, dest.top, (dest.right - dest.left), (dest.bottom - dest.top),
                   source, 0, 0, size.width, size.height, SRCCOPY);
        if (oldMode) SetStretchBltMode(dc_, oldMode);
    }
    SelectObject(source, old);
    DeleteDC(source);
}

void GdiSurface::DrawLine(int x0, int y0, int x1, int y1, Colour pen) {
    if (!pen_ || penColour_ != pen) {
        pen_ = objects_.Pen(pen);
        penColour_ = pen;
        HGDIOBJ previous = SelectObject(dc_, pen_);
        if (!oldPen_) oldPen_ = previous;
    }
    MoveToEx(dc_, x0, y0, nullptr);
    LineTo(dc_, x1, y1);
}

// --- PixelContext --------------------------------------------------------------------------

HBITMAP CreatePixels(HDC dc, int width, int height, std::uint32_t*& bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    bits = bitmap ? static_cast<std::uint32_t*>(pixels) : nullptr;
    return bits ? bitmap : nullptr;
}

PixelContext::~PixelContext() {
    Release();
}

void PixelContext::Release() {
    if (dc_) {
        if (oldBitmap_) SelectObject(dc_, oldBitmap_);
        DeleteDC(dc_);
    }
    if (bitmap_) DeleteObject(bitmap_);
    dc_ = nullptr;
    bitmap_ = nullptr;
    oldBitmap_ = nullptr;
    bits_ = nullptr;
    width_ = height_ = 0;
}

bool PixelContext::Ensure(HDC compatibleDc, int width, int height, bool grow) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (grow) {
        if (bits_ && width <= width_ && height <= height_) return true;
        width = std::max(width, width_);
        height = std::max(height, height_);
    } else if (bits_ && width == width_ && height == height_) {
        return true;
    }
    if (!dc_) {
        dc_ = CreateCompatibleDC(compatibleDc);
        if (!dc_) return false;
    }
    std::uint32_t* bits = nullptr;
    HBITMAP bitmap = CreatePixels(compatibleDc ? compatibleDc : dc_, width, height, bits);
    if (!bitmap) return false;
    HGDIOBJ previous = SelectObject(dc_, bitmap);
    if (bitmap_)
        DeleteObject(bitmap_);
    else
        oldBitmap_ = previous;
    bitmap_ = bitmap;
    bits_ = bits;
    width_ = width;
    height_ = height;
    return true;
}

// --- GdiGlyphRasterizer ----------------------------------------------------------------------

bool GdiGlyphRasterizer::Begin(HFONT font) {
    if (!scratch_.Dc()) {
        if (!scratch_.Ensure(nullptr, 256, 64, true)) return false;
        SetTextAlign(scratch_.Dc(), TA_LEFT | TA_TOP | TA_NOUPDATECP);
        SetTextColor(scratch_.Dc(), RGB(255, 255, 255));
    }
    HGDIOBJ previous = SelectObject(scratch_.Dc(), font);
    if (!oldFont_) oldFont_ = previous;
    BOOL smoothing = FALSE;
    UINT type = 0;
    UINT contrast = 0;
    SystemParametersInfoA(SPI_GETFONTSMOOTHING, 0, &smoothing, 0);
    SystemParametersInfoA(SPI_GETFONTSMOOTHINGTYPE, 0, &type, 0);
    SystemParametersInfoA(SPI_GETFONTSMOOTHINGCONTRAST, 0, &contrast, 0);
    look_ = (smoothing ? 1u : 0u) | (type & 0xFF) << 8 | (contrast & 0xFFFF) << 16;
    return true;
}

// The font goes back out, so that whoever owns it can delete it.
void GdiGlyphRasterizer::End() {
    if (scratch_.Dc() && oldFont_) SelectObject(scratch_.Dc(), oldFont_);
    oldFont_ = nullptr;
}

// Each text in a band of its own: glyphs white on black, or the cell as an opaque text
// output fills it, in white.
bool GdiGlyphRasterizer::Render(std::span<const GlyphText> texts, int width, int height,
                                GlyphCoverage& out) {
    const int bands = static_cast<int>(texts.size());
    HDC dc = scratch_.Dc();
    if (!dc || width <= 0 || height <= 0 || bands < 1 || bands > 2 || height > INT_MAX / 2)
        return false;
    if (!scratch_.Ensure(nullptr, width, bands * height, true)) return false;
    const PixelBuffer pixels = scratch_.Pixels();
    for (int t = 0; t < bands; ++t) {
        const GlyphText& text = texts[t];
        const RECT band{0, t * height, width, (t + 1) * height};
        const UINT count = static_cast<UINT>(text.chars.size());
        const INT* dx = text.advances.empty() ? nullptr : text.advances.data();
        // The opaque rectangle clears the band to black first.
        SetBkMode(dc, TRANSPARENT);
        SetBkColor(dc, RGB(0, 0, 0));
        if (text.cell) {
            ExtTextOutA(dc, 0, band.top, ETO_OPAQUE, &band, "", 0, nullptr);
            SetBkMode(dc, OPAQUE);
            SetBkColor(dc, RGB(255, 255, 255));
            ExtTextOutA(dc, text.x, band.top + text.y, ETO_CLIPPED, &band, text.chars.data(), count,
                        dx);
        } else {
            ExtTextOutA(dc, text.x, band.top + text.y, ETO_OPAQUE | ETO_CLIPPED, &band,
                        text.chars.data(), count, dx);
        }
        out.bands[t] = pixels.bits + static_cast<std::ptrdiff_t>(t) * height * pixels.stride;
    }
    GdiFlush();
    out.stride = pixels.stride;
    return true;
}

// --- OffscreenBuffer -------------------------------------------------------------------------

void OffscreenBuffer::Release() {
    pixels_.Release();
}

HDC OffscreenBuffer::Prepare(HDC compatibleDc, int width, int height) {
    return pixels_.Ensure(compatibleDc, width, height, false) ? pixels_.Dc() : nullptr;
}

bool OffscreenBuffer::CopyTo(HDC target, const Rect& area) const {
    if (!pixels_.Dc() || IsEmpty(area)) return false;
    return BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top,
                  pixels_.Dc(), area.left, area.top, SRCCOPY) != FALSE;
}

// --- painting --------------------------------------------------------------------------------

namespace {

// The planes composed straight into the off-screen bitmap's pixels.
class OffscreenCompositor final : public PlaneCompositor {
  public:
    OffscreenCompositor(OffscreenBuffer& buffer, GdiObjects& objects)
        : buffer_(buffer), objects_(objects) {}

    bool ComposePlanes(const PaintScene& scene, const PlaneShapes& shapes,
                       const Rect& paintRect) override {
        GdiGlyphRasterizer& glyphs = buffer_.Glyphs();
        if (!glyphs.Begin(objects_.Font(scene.settings.font))) return false;
        GdiFlush(); // the background must be in the pixels before they are read
        const bool done =
            buffer_.Composer().Compose(scene, shapes, paintRect, glyphs, buffer_.Pixels());
        glyphs.End();
        return done;
    }

  private:
    OffscreenBuffer& buffer_;
    GdiObjects& objects_;
};

} // namespace

void PaintOnDc(HDC target, const PaintScene& scene, const Rect& paintRect, GdiObjects& objects,
               OffscreenBuffer* buffer) {
    if (IsEmpty(paintRect)) return;
    objects.TrimPens();
    // The scene may leave the image's size to the objects that hold the image.
    PaintScene withImage = scene;
    if (withImage.imageSize.width <= 0 || withImage.imageSize.height <= 0)
        withImage.imageSize = objects.ImageSize();
    if (buffer) {
        HDC offscreen = buffer->Prepare(target, static_cast<int>(scene.view.viewWidth),
                                        static_cast<int>(scene.view.viewHeight));
        if (offscreen) {
            {
                GdiSurface surface(offscreen, objects);
                OffscreenCompositor compositor(*buffer, objects);
                PaintView(surface, withImage, paintRect, &compositor);
            }
            buffer->CopyTo(target, paintRect);
            return;
        }
    }
    GdiSurface surface(target, objects);
    PaintView(surface, withImage, paintRect);
}

bool MeasureFont(HDC dc, const EditorFont& font, GdiObjects& objects, std::uint8_t (&widths)[256],
                 int& lineHeight) {
    HGDIOBJ old = SelectObject(dc, objects.Font(font));
    bool ok = true;
    int height = 0;
    for (int c = 0; c < 256; ++c) {
        const char ch = static_cast<char>(c);
        SIZE extent{};
        if (!GetTextExtentPoint32A(dc, &ch, 1, &extent)) {
            ok = false;
            extent.cx = 0;
        }
        widths[c] = static_cast<std::uint8_t>(std::clamp<LONG>(extent.cx, 0, 255));
        height = std::max<int>(height, extent.cy);
    }
    SelectObject(dc, old);
    lineHeight = height;
    return ok && height > 0;
}

} // namespace stx
