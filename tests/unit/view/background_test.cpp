#include "view/background.h"

#include "tests/support/view_scene.h"
#include "view/recording_surface.h"

#include <gtest/gtest.h>

namespace stx {
namespace {

using Op = RecordingSurface::Op;

TEST(Background, ImagePlacements) {
    const Size client{400, 300};
    const auto place = [&](ImagePlacement p, Size image) {
        return BoxOf(ImagePlacementRect(p, client, image));
    };
    EXPECT_EQ(place(ImagePlacement::Center, {100, 50}), (Box{150, 125, 250, 175}));
    EXPECT_EQ(place(ImagePlacement::Center, {500, 301}), (Box{-50, -1, 450, 300}));
    EXPECT_EQ(place(ImagePlacement::Stretch, {10, 10}), (Box{0, 0, 400, 300}));
    EXPECT_EQ(place(ImagePlacement::StretchIsotropic, {200, 50}), (Box{0, 100, 400, 200}));
    EXPECT_EQ(place(ImagePlacement::StretchIsotropic, {10, 20}), (Box{125, 0, 275, 300}));
    EXPECT_TRUE(IsEmpty(ImagePlacementRect(ImagePlacement::Tile, client, {10, 10})));
    EXPECT_TRUE(IsEmpty(ImagePlacementRect(ImagePlacement::Stretch, client, {0, 10})));
    // Absurd sizes from a file header neither overflow nor leave the client.
    const Box huge = place(ImagePlacement::StretchIsotropic, {2000000000, 1});
    EXPECT_EQ(huge[0], 0);
    EXPECT_EQ(huge[2], 400);
}

TEST(Background, FillsByKindAndPlacement) {
    const auto paint = [](BackgroundKind kind, ImagePlacement placement, Rect area, Size image) {
        RenderSettings s;
        s.backgroundKind = kind;
        s.imagePlacement = placement;
        s.backgroundColour = 0x112233;
        RecordingSurface surface;
        PaintBackground(surface, s, area, {100, 100}, image);
        return surface.Calls();
    };
    for (BackgroundKind kind : {BackgroundKind::Pattern, BackgroundKind::Image}) {
        const auto calls = paint(kind, ImagePlacement::Tile, {0, 0, 50, 60}, {8, 8});
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].op, Op::FillTiled);
        EXPECT_EQ(BoxOf(calls[0].rect), (Box{0, 0, 50, 60}));
    }
    // A colour stays plain for every placement.
    for (int p = 0; p < 4; ++p) {
        const auto calls =
            paint(BackgroundKind::Colour, static_cast<ImagePlacement>(p), {5, 6, 50, 60}, {8, 8});
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].op, Op::FillSolid);
        EXPECT_EQ(calls[0].colour, 0x112233u);
    }
    // A placed image goes on the colour; a repaint that misses it or a missing image fill only.
    auto calls = paint(BackgroundKind::Image, ImagePlacement::Center, {0, 0, 100, 100}, {20, 10});
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].op, Op::FillSolid);
    EXPECT_EQ(calls[1].op, Op::Image);
    EXPECT_EQ(BoxOf(calls[1].rect), (Box{40, 45, 60, 55}));
    EXPECT_EQ(paint(BackgroundKind::Image, ImagePlacement::Center, {0, 0, 10, 10}, {20, 10}).size(),
              1u);
    EXPECT_EQ(paint(BackgroundKind::Pattern, ImagePlacement::Stretch, {0, 0, 9, 9}, {}).size(), 1u);
}

} // namespace
} // namespace stx
