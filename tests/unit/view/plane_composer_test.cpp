// The composed planes against the planes drawn one by one, in software with a made-up font:
// every plane count, direction and distance, with selections, carets, scrolling, partial
// repaints and smoothed glyph edges.
#include "tests/support/soft_canvas.h"
#include "tests/support/view_scene.h"
#include "view/paint_plan.h"

#include <gtest/gtest.h>

#include <string>

namespace stx {
namespace {

constexpr int kWidth = 240;
constexpr int kHeight = 96;

class PlaneComposerTest : public ::testing::Test, protected ViewScene {
  protected:
    PlaneComposerTest() {
        buffer.Parse("mov eax, 0FFh\r\n\tpush -12 ; x\r\nlabel1: 1e5 abc\r\nend", nullptr);
        view.lineHeight = 16;
        view.viewWidth = kWidth;
        view.viewHeight = kHeight;
        top.record = buffer.FindLine(1);
        top.pageSize = 6;
        settings.backgroundKind = BackgroundKind::Pattern;
        // Caret after "label1" with the selection back to line 1's "eax".
        caret = At(3, 6);
        selection.anchor = At(1, 4);
    }

    // The first pixel where the two drawings differ inside rect, or an empty string. The
    // composition keeps its rows from paint to paint, as the view's does.
    std::string Compare(const Rect& rect, bool smooth) {
        ApplyRenderSettings(settings, planes, animation, view, buffer.Widths());
        SoftCanvas reference(kWidth, kHeight, buffer.Widths(), 16, smooth);
        PaintView(reference, Scene(), rect);
        SoftCanvas& composed = smooth ? smoothCanvas : sharpCanvas;
        PaintView(composed, Scene(), rect, smooth ? &smoothCompositor : &sharpCompositor);
        for (int y = rect.top; y < rect.bottom; ++y)
            for (int x = rect.left; x < rect.right; ++x) {
                const std::size_t i = static_cast<std::size_t>(y * kWidth + x);
                if (reference.All()[i] != composed.All()[i])
                    return "at " + std::to_string(x) + "," + std::to_string(y);
            }
        return {};
    }

    SoftCanvas sharpCanvas{kWidth, kHeight, buffer.Widths(), 16, false};
    SoftCanvas smoothCanvas{kWidth, kHeight, buffer.Widths(), 16, true};
    SoftCompositor sharpCompositor{sharpCanvas, buffer.Widths(), 16, false};
    SoftCompositor smoothCompositor{smoothCanvas, buffer.Widths(), 16, true};
};

TEST_F(PlaneComposerTest, SamePixelsAsPlaneByPlane) {
    const Rect full{0, 0, kWidth, kHeight};
    for (int n : {1, 2, 8, 255})
        for (int d = 0; d < kFadeDirectionCount; ++d)
            for (int distance : {0, 3}) {
                settings.planeCount = n;
                settings.distance = distance;
                settings.fadeDirection = static_cast<FadeDirection>(d);
                const std::string where = std::to_string(n) + " planes, direction " +
                                          std::to_string(d) + ", distance " +
                                          std::to_string(distance);
                caret.flags = 0;
                settings.overLetter = true;
                top.hOffset = 0;
                EXPECT_EQ(Compare(full, false), "") << where;
                // Smoothed edges blend as drawn one by one, but for an edge over an edge of a
                // plane behind, which counts as solid: with one plane there is none.
                if (n == 1) {
                    EXPECT_EQ(Compare(full, true), "") << where << ", smoothed";
                }
                // Scrolled sideways, a line caret, a partial repaint, no highlighting.
                settings.overLetter = false;
                settings.syntaxHighlight = false;
                top.hOffset = 16;
                EXPECT_EQ(Compare(Rect{30, 10, 170, 57}, false), "") << where << ", partial";
                settings.syntaxHighlight = true;
            }
}

TEST_F(PlaneComposerTest, OverwriteCaretHexViewAndEdits) {
    settings.planeCount = 8;
    settings.distance = 1;
    caret.flags = 0;
    overwrite = true;
    EXPECT_EQ(Compare(Rect{0, 0, kWidth, kHeight}, false), "");
    overwrite = false;
    settings.showAddress = true;
    std::swap(caret, selection.anchor);
    EXPECT_EQ(Compare(Rect{0, 0, kWidth, kHeight}, false), "");
    // An edited line is drawn anew, the lines kept from before are not.
    buffer.Parse("mov eax, 0FFh\r\n\tpush -12 ; x\r\nlabel1: 1e5 abc\r\nent", nullptr);
    top.record = buffer.FindLine(1);
    caret = At(1, 4);
    selection.anchor = At(3, 6);
    EXPECT_EQ(Compare(Rect{0, 0, kWidth, kHeight}, false), "");
    // A scene deeper than the composition takes is drawn plane by plane.
    settings.planeCount = 255;
    settings.distance = 255;
    settings.fadeDirection = FadeDirection::East;
    top.hOffset = 100000;
    EXPECT_EQ(Compare(Rect{0, 0, kWidth, kHeight}, false), "");
}

} // namespace
} // namespace stx
