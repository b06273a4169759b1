#include "view/plane_tables.h"

#include <gtest/gtest.h>

namespace stx {
namespace {

RenderSettings With(int planes, int distance, FadeDirection direction) {
    RenderSettings s;
    s.planeCount = planes;
    s.distance = distance;
    s.fadeDirection = direction;
    return s;
}

TEST(PlaneTables, DefaultRampEndsInTextColourAndNeverReachesFirstColour) {
    const PlaneTables t;
    const Colour expected[] = {0xD0D0D0, 0xC2C2C2, 0xB4B4B4, 0xA6A6A6,
                               0x989898, 0x8A8A8A, 0x7C7C7C, 0x000000};
    ASSERT_EQ(t.PlaneCount(), 8);
    EXPECT_EQ(t.Spread(), 8);
    for (int p = 0; p < 8; ++p) {
        EXPECT_EQ(t.PlaneColour(p), expected[p]) << p;
        EXPECT_EQ(t.PenColour(p), expected[p]) << p;
    }
}

TEST(PlaneTables, RampChannelsAreIndependentAndTruncateTowardZero) {
    // Red rises, green falls, blue stays: the truncation differs in sign per channel.
    // red: 10 + (250 - 10) * 1 / 7 = 44; green: 200 + (0 - 200) * 1 / 7 = 172 (-28.57 -> -28).
    EXPECT_EQ(RampColour(0x3300FA, 0x33C80A, 1, 7), 0x33AC2Cu);
    // Rounding toward minus infinity would give 171 for green.
    EXPECT_EQ(RampColour(0x000000, 0x00C800, 1, 7) >> 8 & 0xFF, 172u);
    EXPECT_EQ(RampColour(0x606060, 0xD0D0D0, 0, 8), 0xD0D0D0u);
}

TEST(PlaneTables, SelectionBackgrounds) {
    RenderSettings s;
    s.textColour = 0x123456;
    const PlaneTables t(s);
    EXPECT_EQ(t.SelectionBackground(0), (~0xD0D0D0u & 0xFFFFFF) | 0x23);
    EXPECT_EQ(t.SelectionBackground(0), 0x2F2F2Fu);
    EXPECT_EQ(t.SelectionBackground(6), 0x838383u | 0x23);
    EXPECT_EQ(t.SelectionBackground(7), 0x123456u);
    EXPECT_EQ(t.PlaneColour(7), 0x123456u);
}

TEST(PlaneTables, SinglePlaneIsTheTextColour) {
    RenderSettings s = With(1, 0, FadeDirection::SouthEast);
    s.textColour = 0x0000FF;
    const PlaneTables t(s);
    EXPECT_EQ(t.PlaneColour(0), 0x0000FFu);
    EXPECT_EQ(t.Offset(0).dx, 0);
    EXPECT_EQ(t.Offset(0).dy, 0);
    // Toward the north-west even one plane stands one step in.
    const PlaneTables nw(With(1, 0, FadeDirection::NorthWest));
    EXPECT_EQ(nw.Offset(0).dx, 1);
    EXPECT_EQ(nw.Offset(0).dy, 1);
}

TEST(PlaneTables, OffsetsForEveryDirection) {
    struct Case {
        FadeDirection direction;
        int sx, sy;
    };
    const Case cases[] = {{FadeDirection::North, 0, -1},     {FadeDirection::NorthWest, -1, -1},
                          {FadeDirection::NorthEast, 1, -1}, {FadeDirection::South, 0, 1},
                          {FadeDirection::SouthWest, -1, 1}, {FadeDirection::SouthEast, 1, 1},
                          {FadeDirection::West, -1, 0},      {FadeDirection::East, 1, 0}};
    for (const Case& c : cases) {
        const PlaneTables t(With(8, 3, c.direction));
        const auto expect = [&](int sign, int p) {
            return sign > 0 ? (7 - p) * 4 : sign < 0 ? (p + 1) * 4 : 0;
        };
        for (int p = 0; p < 8; ++p) {
            EXPECT_EQ(t.Offset(p).dx, expect(c.sx, p)) << static_cast<int>(c.direction) << " " << p;
            EXPECT_EQ(t.Offset(p).dy, expect(c.sy, p)) << static_cast<int>(c.direction) << " " << p;
        }
    }
}

TEST(PlaneTables, WestAndSouthExamples) {
    const PlaneTables west(With(8, 0, FadeDirection::West));
    EXPECT_EQ(west.Offset(7).dx, 8);
    EXPECT_EQ(west.Offset(0).dx, 1);
    const PlaneTables south(With(8, 0, FadeDirection::South));
    EXPECT_EQ(south.Offset(0).dy - south.Offset(7).dy, 7);
    const PlaneTables deep(With(8, 3, FadeDirection::South));
    EXPECT_EQ(deep.Offset(0).dy - deep.Offset(7).dy, 28);
    EXPECT_EQ(deep.Spread(), 32);
}

TEST(PlaneTables, UpdateReportsWhatChanged) {
    RenderSettings s;
    PlaneTables t(s);
    EXPECT_FALSE(t.Update(s).tables);

    s.lastPlaneColour = 0xFFFFFF;
    auto change = t.Update(s);
    EXPECT_TRUE(change.tables);
    EXPECT_FALSE(change.geometry);
    EXPECT_EQ(t.PlaneColour(0), 0xFFFFFFu);

    s.distance = 2;
    change = t.Update(s);
    EXPECT_TRUE(change.geometry);
    EXPECT_EQ(t.Step(), 3);

    s.fadeDirection = FadeDirection::West;
    change = t.Update(s);
    EXPECT_TRUE(change.tables);
    EXPECT_FALSE(change.geometry);
    EXPECT_EQ(t.Offset(0).dy, 0);
}

TEST(PlaneTables, OutOfRangeSettingsAreClamped) {
    RenderSettings s = With(1000, 300, FadeDirection::SouthEast);
    s.textColour = 0xFF000001; // stray top byte
    const PlaneTables t(s);
    EXPECT_EQ(t.PlaneCount(), 255);
    EXPECT_EQ(t.Step(), 256);
    EXPECT_EQ(t.PlaneColour(254), 0x000001u);
    EXPECT_EQ(t.Offset(0).dx, 254 * 256);
    const PlaneTables zero(With(0, -5, FadeDirection::SouthEast));
    EXPECT_EQ(zero.PlaneCount(), 1);
    EXPECT_EQ(zero.Step(), 1);
}

TEST(RenderSettings, ClampsAndStoredBytes) {
    EXPECT_EQ(ClampPlaneCount(0), 1);
    EXPECT_EQ(ClampPlaneCount(1), 1);
    EXPECT_EQ(ClampPlaneCount(2), 2);
    EXPECT_EQ(ClampPlaneCount(1000), 255);
    EXPECT_EQ(ClampPlaneCount(-7), 1);
    EXPECT_EQ(ClampDistance(300), 255);
    EXPECT_EQ(ClampCaretMode(9), CaretMode::Static);
    EXPECT_EQ(ClampCaretMode(0), CaretMode::FadeOut);
    EXPECT_EQ(ClampCaretMode(1), CaretMode::Blink);

    FadeDirection d = FadeDirection::SouthEast;
    EXPECT_TRUE(FadeDirectionFromIndex(2, d));
    EXPECT_EQ(d, FadeDirection::NorthEast);
    EXPECT_EQ(CommandOf(d), 3610);
    EXPECT_FALSE(FadeDirectionFromIndex(8, d));
    EXPECT_EQ(d, FadeDirection::NorthEast);

    EXPECT_EQ(BackgroundByte(BackgroundKind::Colour, ImagePlacement::StretchIsotropic), 0x32);
    BackgroundKind kind;
    ImagePlacement placement;
    DecodeBackgroundByte(0x21, kind, placement);
    EXPECT_EQ(kind, BackgroundKind::Image);
    EXPECT_EQ(placement, ImagePlacement::Stretch);
    DecodeBackgroundByte(0xF7, kind, placement);
    EXPECT_EQ(kind, BackgroundKind::Pattern);
    EXPECT_EQ(placement, ImagePlacement::Tile);
}

} // namespace
} // namespace stx
