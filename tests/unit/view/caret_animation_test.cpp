#include "view/caret_animation.h"

#include <gtest/gtest.h>

#include <vector>

namespace stx {
namespace {

std::vector<int> Phases(CaretMode mode, int planes, int ticks) {
    CaretAnimation a;
    std::uint8_t flags = 0;
    std::vector<int> out;
    for (int i = 0; i < ticks; ++i) {
        a.Tick(mode, planes, flags);
        out.push_back(a.Phase());
    }
    return out;
}

TEST(CaretAnimation, FadeOutRunsThroughNinePhasesForEightPlanes) {
    EXPECT_EQ(Phases(CaretMode::FadeOut, 8, 10), (std::vector<int>{8, 7, 6, 5, 4, 3, 2, 1, 0, 8}));
}

TEST(CaretAnimation, FadeInWrapsBeyondN) {
    EXPECT_EQ(Phases(CaretMode::FadeIn, 3, 6), (std::vector<int>{1, 2, 3, 0, 1, 2}));
}

TEST(CaretAnimation, PhaseNAndZeroLookTheSame) {
    CaretAnimation a;
    std::uint8_t flags = 0;
    std::vector<int> atZero;
    for (int p = 0; p < 8; ++p)
        atZero.push_back(a.PenIndex(p, 8));
    a.Tick(CaretMode::FadeOut, 8, flags); // phase 8
    for (int p = 0; p < 8; ++p)
        EXPECT_EQ(a.PenIndex(p, 8), atZero[p]);
    a.Tick(CaretMode::FadeOut, 8, flags); // phase 7: plane p uses pen p + 7 mod 8
    EXPECT_EQ(a.PenIndex(0, 8), 7);
    EXPECT_EQ(a.PenIndex(1, 8), 0);
}

TEST(CaretAnimation, BlinkTogglesAndOtherInputsShowTheCaret) {
    CaretAnimation a;
    std::uint8_t flags = 0x80; // unrelated bits survive
    EXPECT_TRUE(a.Tick(CaretMode::Blink, 8, flags));
    EXPECT_TRUE(CaretHidden(flags));
    EXPECT_EQ(a.Phase(), 0);
    a.Tick(CaretMode::Blink, 8, flags);
    EXPECT_FALSE(CaretHidden(flags));
    a.Tick(CaretMode::Blink, 8, flags);
    ShowCaretNow(flags); // a key press during the hidden half
    EXPECT_FALSE(CaretHidden(flags));
    EXPECT_EQ(flags, 0x80);

    flags |= kCaretHidden;
    a.Tick(CaretMode::FadeIn, 8, flags);
    EXPECT_FALSE(CaretHidden(flags));
    flags |= kCaretHidden;
    a.Tick(CaretMode::FadeOut, 8, flags);
    EXPECT_FALSE(CaretHidden(flags));

    // Static ticks change nothing and ask for no repaint.
    flags |= kCaretHidden;
    const int phase = a.Phase();
    EXPECT_FALSE(a.Tick(CaretMode::Static, 8, flags));
    EXPECT_TRUE(CaretHidden(flags));
    EXPECT_EQ(a.Phase(), phase);
}

TEST(CaretAnimation, SinglePlaneAlwaysUsesPenZero) {
    CaretAnimation a;
    std::uint8_t flags = 0;
    for (int i = 0; i < 5; ++i) {
        a.Tick(CaretMode::FadeIn, 1, flags);
        EXPECT_EQ(a.PenIndex(0, 1), 0);
    }
}

TEST(CaretAnimation, StalePhaseAfterShrinkingPlaneCountRestarts) {
    CaretAnimation a;
    std::uint8_t flags = 0;
    a.Tick(CaretMode::FadeOut, 200, flags); // phase 200
    EXPECT_EQ(a.Phase(), 200);
    EXPECT_LT(a.PenIndex(3, 8), 8);
    a.Tick(CaretMode::FadeOut, 8, flags);
    EXPECT_EQ(a.Phase(), 8);
    a.ResetPhase();
    EXPECT_EQ(a.Phase(), 0);
}

TEST(CaretAnimation, ChoosingModesDrivesTheTimer) {
    RenderSettings s;
    std::uint8_t flags = kCaretHidden;
    CaretTimer timer = ChooseCaretMode(s, CaretMode::Blink, 500, flags);
    EXPECT_TRUE(timer.running);
    EXPECT_EQ(timer.periodMs, 500u);
    EXPECT_EQ(s.caretPeriodMs, 500u);
    EXPECT_TRUE(CaretHidden(flags));

    timer = ChooseCaretMode(s, CaretMode::Static, 999, flags);
    EXPECT_FALSE(timer.running);
    EXPECT_FALSE(CaretHidden(flags));
    EXPECT_EQ(s.caretPeriodMs, 500u); // Static asks for no period
    EXPECT_EQ(s.caretMode, CaretMode::Static);
    EXPECT_FALSE(CaretTimerFor(s).running);

    EXPECT_TRUE(CaretTimerFor(RenderSettings{}).running);
    EXPECT_EQ(CaretTimerFor(RenderSettings{}).periodMs, 200u);
}

} // namespace
} // namespace stx
