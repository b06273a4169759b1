#include "tests/unit/view/view_test_support.h"
#include "view/background.h"
#include "view/recording_surface.h"

#include <gtest/gtest.h>

namespace stx {
namespace {

using Op = RecordingSurface::Op;

RenderSettings Background(BackgroundKind kind, ImagePlacement placement) {
    RenderSettings s;
    s.backgroundKind = kind;
    s.imagePlacement = placement;
    s.backgroundColour = 0x112233;
    return s;
}

TEST(Background, ImagePlacements) {
    const Size client{400, 300};
    EXPECT_EQ(BoxOf(ImagePlacementRect(ImagePlacement::Center, client, {100, 50})),
              (Box{150, 125, 250, 175}));
    EXPECT_EQ(BoxOf(ImagePlacementRect(ImagePlacement::Center, client, {500, 301})),
              (Box{-50, -1, 450, 300}));
    EXPECT_EQ(BoxOf(ImagePlacementRect(ImagePlacement::Stretch, client, {10, 10})),
              (Box{0, 0, 400, 300}));
    // Wide image: full width, height in proportion, centred vertically.
    EXPECT_EQ(BoxOf(ImagePlacementRect(ImagePlacement::StretchIsotropic, client, {200, 50})),
              (Box{0, 100, 400, 200}));
    // Tall image: full height.
    EXPECT_EQ(BoxOf(ImagePlacementRect(ImagePlacement::StretchIsotropic, client, {10, 20})),
              (Box{125, 0, 275, 300}));
    EXPECT_TRUE(IsEmpty(ImagePlacementRect(ImagePlacement::Tile, client, {10, 10})));
    EXPECT_TRUE(IsEmpty(ImagePlacementRect(ImagePlacement::Stretch, client, {0, 10})));
    EXPECT_TRUE(IsEmpty(ImagePlacementRect(ImagePlacement::Center, {0, 0}, {10, 10})));
    // Absurd image sizes from a file header neither overflow nor go off centre.
    const Rect huge = ImagePlacementRect(ImagePlacement::StretchIsotropic, client, {2000000000, 1});
    EXPECT_EQ(huge.left, 0);
    EXPECT_EQ(huge.right, 400);
    EXPECT_LE(huge.top, 150);
}

TEST(Background, TileUsesTheTileBrushForBitmaps) {
    for (BackgroundKind kind : {BackgroundKind::Pattern, BackgroundKind::Image}) {
        RecordingSurface s;
        PaintBackground(s, Background(kind, ImagePlacement::Tile), {0, 0, 50, 60}, {50, 60},
                        {8, 8});
        ASSERT_EQ(s.Calls().size(), 1u);
        EXPECT_EQ(s.Calls()[0].op, Op::FillTiled);
        EXPECT_EQ(BoxOf(s.Calls()[0].rect), (Box{0, 0, 50, 60}));
    }
}

TEST(Background, ColourStaysPlainForEveryPlacement) {
    for (int p = 0; p < 4; ++p) {
        RecordingSurface s;
        PaintBackground(s, Background(BackgroundKind::Colour, static_cast<ImagePlacement>(p)),
                        {5, 6, 50, 60}, {100, 100}, {8, 8});
        ASSERT_EQ(s.Calls().size(), 1u) << p;
        EXPECT_EQ(s.Calls()[0].op, Op::FillSolid);
        EXPECT_EQ(s.Calls()[0].colour, 0x112233u);
        EXPECT_EQ(BoxOf(s.Calls()[0].rect), (Box{5, 6, 50, 60}));
    }
}

TEST(Background, PlacedImageDrawsOnTheColour) {
    RecordingSurface s;
    PaintBackground(s, Background(BackgroundKind::Image, ImagePlacement::Center), {0, 0, 100, 100},
                    {100, 100}, {20, 10});
    ASSERT_EQ(s.Calls().size(), 2u);
    EXPECT_EQ(s.Calls()[0].op, Op::FillSolid);
    EXPECT_EQ(s.Calls()[1].op, Op::Image);
    EXPECT_EQ(BoxOf(s.Calls()[1].rect), (Box{40, 45, 60, 55}));

    // A repaint that misses the image, and a bitmap that failed to load, fill only.
    RecordingSurface miss;
    PaintBackground(miss, Background(BackgroundKind::Image, ImagePlacement::Center), {0, 0, 10, 10},
                    {100, 100}, {20, 10});
    EXPECT_EQ(miss.Calls().size(), 1u);
    RecordingSurface none;
    PaintBackground(none, Background(BackgroundKind::Image, ImagePlacement::Stretch),
                    {0, 0, 100, 100}, {100, 100}, {});
    EXPECT_EQ(none.Calls().size(), 1u);
}

} // namespace
} // namespace stx
