// Renders small documents through the paint plan and the GDI surface into a DIB section and
// checks the pixels: where each plane lands, in what colour, and that the one-pass
// composition through the off-screen buffer draws the same.
#include <windows.h>

#include "platform/gdi_surface.h"
#include "tests/support/view_scene.h"
#include "text/text_buffer.h"
#include "view/paint_plan.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace stx {
namespace {

constexpr int kWidth = 240;
constexpr int kHeight = 96;
constexpr Colour kBackground = 0xFCD6A3;

struct Point {
    int x;
    int y;
    auto operator<=>(const Point&) const = default;
};

// A top-down 32-bit DIB section selected into a memory context.
class Canvas {
  public:
    Canvas() {
        if (pixels_.Ensure(nullptr, kWidth, kHeight, false)) bits_ = pixels_.Pixels().bits;
    }
    bool Ok() const { return bits_ != nullptr; }
    HDC Dc() const { return pixels_.Dc(); }

    // As a COLORREF (0x00BBGGRR); the DIB holds 0x00RRGGBB.
    Colour At(int x, int y) const {
        if (x < 0 || y < 0 || x >= kWidth || y >= kHeight) return 0xFF000000;
        GdiFlush();
        const std::uint32_t v = bits_[y * kWidth + x] & 0xFFFFFF;
        return (v & 0xFF) << 16 | (v & 0xFF00) | v >> 16;
    }
    std::set<Colour> Colours() const {
        std::set<Colour> out;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                out.insert(At(x, y));
        return out;
    }
    std::set<Point> PixelsOf(Colour colour) const {
        std::set<Point> out;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                if (At(x, y) == colour) out.insert({x, y});
        return out;
    }

  private:
    PixelContext pixels_;
    const std::uint32_t* bits_ = nullptr;
};

// One document laid out in the editor's font as measured on the canvas.
class GdiScene : public ViewScene {
  public:
    GdiScene(const char* text, HDC dc) {
        settings.backgroundKind = BackgroundKind::Colour;
        settings.backgroundColour = kBackground;
        // Exact colours need unsmoothed glyphs whatever the prefix's font smoothing says.
        settings.font.quality = NONANTIALIASED_QUALITY;
        std::uint8_t widths[256];
        measured = MeasureFont(dc, settings.font, objects, widths, lineHeight);
        buffer.Widths().Fill(widths);
        buffer.Parse(text, nullptr);
        view.lineHeight = static_cast<std::uint32_t>(lineHeight);
        view.viewWidth = kWidth;
        view.viewHeight = kHeight;
        top.record = buffer.FindLine(1);
        top.pageSize = 3;
        caret.flags = kCaretHidden;
        caret.record = buffer.FindLine(1);
    }

    void Paint(HDC dc, OffscreenBuffer* offscreen = nullptr, std::optional<Rect> area = {}) {
        planes.Update(settings);
        SyncViewGeometry(view, settings, planes, buffer.Widths());
        PaintOnDc(dc, Scene(), area.value_or(Full()), objects, offscreen);
    }

    GdiObjects objects;
    int lineHeight = 0;
    bool measured = false;
};

constexpr const char* kText = "H#W";

// The glyphs of kText drawn once, straight with GDI, in black at the left margin.
std::set<Point> ReferenceGlyphs(GdiObjects& objects, const EditorFont& font) {
    Canvas canvas;
    const RECT all{0, 0, kWidth, kHeight};
    HBRUSH brush = CreateSolidBrush(kBackground);
    FillRect(canvas.Dc(), &all, brush);
    DeleteObject(brush);
    HGDIOBJ old = SelectObject(canvas.Dc(), objects.Font(font));
    SetBkMode(canvas.Dc(), TRANSPARENT);
    SetTextColor(canvas.Dc(), 0);
    TextOutA(canvas.Dc(), kLeftMargin, 0, kText, 3);
    SelectObject(canvas.Dc(), old);
    return canvas.PixelsOf(0);
}

class GdiSurfacePixels : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(canvas.Ok());
        ASSERT_TRUE(scene.measured);
        ASSERT_GT(scene.lineHeight, 4);
        glyphs = ReferenceGlyphs(scene.objects, scene.settings.font);
        ASSERT_GT(glyphs.size(), 20u) << "the font drew no glyphs";
        right = *glyphs.rbegin(); // a glyph pixel farthest right
    }

    Canvas canvas;
    GdiScene scene{kText, canvas.Dc()};
    std::set<Point> glyphs;
    Point right{};
};

TEST_F(GdiSurfacePixels, DefaultPlanesShowEachColourAtItsOffset) {
    scene.Paint(canvas.Dc());
    // The front plane is drawn last, so every glyph pixel of it shows in the text colour.
    EXPECT_EQ(canvas.PixelsOf(0), glyphs);
    // Plane p lies (7 - p, 7 - p) behind the front plane. Beyond the glyphs' right edge no
    // nearer plane covers it.
    for (int p = 0; p < 7; ++p) {
        const int s = 7 - p;
        EXPECT_EQ(canvas.At(right.x + s, right.y + s), scene.planes.PlaneColour(p)) << p;
    }
    std::set<Colour> allowed{kBackground};
    for (int p = 0; p < 8; ++p)
        allowed.insert(scene.planes.PlaneColour(p));
    EXPECT_EQ(canvas.Colours(), allowed);
}

// Through the off-screen buffer all planes are composed in one pass: the pixels must be
// those of drawing the planes one by one straight onto the target.
TEST(GdiSurfaceComposition, SamePixelsAsPlaneByPlane) {
    Canvas reference;
    Canvas composed;
    ASSERT_TRUE(reference.Ok() && composed.Ok());
    GdiScene scene("mov eax, 0FFh\r\n\tpush -12 ; x\r\nlabel1: 1e5 abc", reference.Dc());
    ASSERT_TRUE(scene.measured);
    scene.top.pageSize = 4;
    // The caret after "label1", the selection back to line 1's "eax".
    scene.caret = scene.At(3, 6);
    scene.selection.anchor = scene.At(1, 4);
    OffscreenBuffer offscreen;
    auto differs = [&](const Rect& rect) -> std::string {
        scene.Paint(reference.Dc(), nullptr, rect);
        scene.Paint(composed.Dc(), &offscreen, rect);
        for (int y = rect.top; y < rect.bottom; ++y)
            for (int x = rect.left; x < rect.right; ++x)
                if (reference.At(x, y) != composed.At(x, y))
                    return "at " + std::to_string(x) + "," + std::to_string(y);
        return {};
    };
    for (int n : {1, 2, 8, 255})
        for (int d = 0; d < kFadeDirectionCount; ++d)
            for (int distance : {0, 3}) {
                scene.settings.planeCount = n;
                scene.settings.distance = distance;
                scene.settings.fadeDirection = static_cast<FadeDirection>(d);
                const std::string where = std::to_string(n) + " planes, direction " +
                                          std::to_string(d) + ", distance " +
                                          std::to_string(distance);
                scene.settings.syntaxHighlight = true;
                scene.settings.overLetter = true;
                scene.top.hOffset = 0;
                EXPECT_EQ(differs(Rect{0, 0, kWidth, kHeight}), "") << where;
                // Scrolled sideways, a line caret, no highlighting, part of the view.
                scene.settings.syntaxHighlight = false;
                scene.settings.overLetter = false;
                scene.top.hOffset = 16;
                EXPECT_EQ(differs(Rect{30, 10, 170, 57}), "") << where << ", partial";
            }
}

} // namespace
} // namespace stx
