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

TEST(PlaneTables, RampPensAndSelectionBackgrounds) {
    RenderSettings s;
    s.textColour = 0x123456;
    const PlaneTables t(s);
    const Colour ramp[] = {0xD0D0D0, 0xC2C2C2, 0xB4B4B4, 0xA6A6A6,
                           0x989898, 0x8A8A8A, 0x7C7C7C, 0x123456};
    ASSERT_EQ(t.Spread(), 8);
    for (int p = 0; p < 8; ++p) {
        EXPECT_EQ(t.PlaneColour(p), ramp[p]) << p;
        EXPECT_EQ(t.PenColour(p), ramp[p]) << p;
    }
    EXPECT_EQ(t.SelectionBackground(0), 0x2F2F2Fu);
    EXPECT_EQ(t.SelectionBackground(6), 0x8383A3u);
    EXPECT_EQ(t.SelectionBackground(7), 0x123456u);
    // Channels ramp separately and truncate toward zero: green 200 - 28.57 gives 172, not 171.
    EXPECT_EQ(RampColour(0x3300FA, 0x33C80A, 1, 7), 0x33AC2Cu);
}

TEST(PlaneTables, OffsetsForEveryDirection) {
    const int signs[][2] = {{0, -1}, {-1, -1}, {1, -1}, {0, 1}, {-1, 1}, {1, 1}, {-1, 0}, {1, 0}};
    for (int d = 0; d < 8; ++d) {
        const PlaneTables t(With(8, 3, static_cast<FadeDirection>(d)));
        const auto expect = [](int sign, int p) {
            return sign > 0 ? (7 - p) * 4 : sign < 0 ? (p + 1) * 4 : 0;
        };
        for (int p = 0; p < 8; ++p) {
            EXPECT_EQ(t.Offset(p).dx, expect(signs[d][0], p)) << d << " " << p;
            EXPECT_EQ(t.Offset(p).dy, expect(signs[d][1], p)) << d << " " << p;
        }
    }
    // One plane: the text colour, at no offset toward the south-east, one step in toward
    // the north-west.
    const PlaneTables one(With(1, 0, FadeDirection::NorthWest));
    EXPECT_EQ(one.PlaneColour(0), 0u);
    EXPECT_EQ(one.Offset(0).dx, 1);
    EXPECT_EQ(one.Offset(0).dy, 1);
}

TEST(PlaneTables, UpdateReportsWhatChangedAndClamps) {
    RenderSettings s;
    PlaneTables t(s);
    EXPECT_FALSE(t.Update(s).tables);
    s.lastPlaneColour = 0xFFFFFF;
    auto change = t.Update(s);
    EXPECT_TRUE(change.tables && !change.geometry);
    EXPECT_EQ(t.PlaneColour(0), 0xFFFFFFu);
    s.fadeDirection = FadeDirection::West;
    change = t.Update(s);
    EXPECT_TRUE(change.tables && !change.geometry);
    EXPECT_EQ(t.Offset(0).dy, 0);
    s.distance = 2;
    EXPECT_TRUE(t.Update(s).geometry);
    EXPECT_EQ(t.Step(), 3);

    s = With(1000, 300, FadeDirection::SouthEast);
    s.textColour = 0xFF000001; // a stray top byte is no colour
    t.Update(s);
    EXPECT_EQ(t.PlaneCount(), 255);
    EXPECT_EQ(t.Step(), 256);
    EXPECT_EQ(t.PlaneColour(254), 1u);
    EXPECT_EQ(t.Offset(0).dx, 254 * 256);
    t.Update(With(0, -5, FadeDirection::SouthEast));
    EXPECT_EQ(t.PlaneCount(), 1);
    EXPECT_EQ(t.Step(), 1);
}

} // namespace
} // namespace stx
