#include "view/caret_animation.h"

#include <gtest/gtest.h>

#include <vector>

namespace stx {
namespace {

std::vector<int> Phases(CaretAnimation& a, CaretMode mode, int planes, int ticks) {
    std::uint8_t flags = 0;
    std::vector<int> out;
    for (int i = 0; i < ticks; ++i) {
        a.Tick(mode, planes, flags);
        out.push_back(a.Phase());
    }
    return out;
}

TEST(CaretAnimation, FadePhasesWrapAndRotateThePens) {
    CaretAnimation a;
    // Nine phases per cycle for eight planes; phases 8 and 0 look the same.
    EXPECT_EQ(Phases(a, CaretMode::FadeOut, 8, 10),
              (std::vector<int>{8, 7, 6, 5, 4, 3, 2, 1, 0, 8}));
    for (int p = 0; p < 8; ++p)
        EXPECT_EQ(a.PenIndex(p, 8), p);
    Phases(a, CaretMode::FadeOut, 8, 1);
    EXPECT_EQ(a.PenIndex(0, 8), 7);
    EXPECT_EQ(a.PenIndex(1, 8), 0);

    a.ResetPhase();
    EXPECT_EQ(Phases(a, CaretMode::FadeIn, 3, 6), (std::vector<int>{1, 2, 3, 0, 1, 2}));
    // One plane always uses its own pen; a phase left from more planes starts again.
    EXPECT_EQ(a.PenIndex(0, 1), 0);
    a.ResetPhase();
    Phases(a, CaretMode::FadeOut, 200, 1);
    EXPECT_EQ(Phases(a, CaretMode::FadeOut, 8, 1), (std::vector<int>{8}));
}

TEST(CaretAnimation, HiddenBitFollowsBlinkAndOtherInputsShowTheCaret) {
    CaretAnimation a;
    std::uint8_t flags = 0x80; // other flag bits are left alone
    EXPECT_TRUE(a.Tick(CaretMode::Blink, 8, flags));
    EXPECT_TRUE(CaretHidden(flags));
    EXPECT_EQ(a.Phase(), 0);
    a.Tick(CaretMode::Blink, 8, flags);
    EXPECT_EQ(flags, 0x80);
    a.Tick(CaretMode::Blink, 8, flags);
    ShowCaretNow(flags); // a key during the hidden half
    EXPECT_EQ(flags, 0x80);
    for (CaretMode fade : {CaretMode::FadeIn, CaretMode::FadeOut}) {
        flags |= kCaretHidden;
        a.Tick(fade, 8, flags);
        EXPECT_FALSE(CaretHidden(flags));
    }
    flags |= kCaretHidden;
    const int phase = a.Phase();
    EXPECT_FALSE(a.Tick(CaretMode::Static, 8, flags));
    EXPECT_TRUE(CaretHidden(flags));
    EXPECT_EQ(a.Phase(), phase);
}

TEST(CaretAnimation, ChoosingStaticStopsTheTimerAndShowsTheCaret) {
    RenderSettings s;
    std::uint8_t flags = kCaretHidden;
    EXPECT_TRUE(ChooseCaretMode(s, CaretMode::Blink, 500, flags).running);
    EXPECT_TRUE(CaretHidden(flags));
    EXPECT_FALSE(ChooseCaretMode(s, CaretMode::Static, 999, flags).running);
    EXPECT_FALSE(CaretHidden(flags));
    EXPECT_EQ(CaretTimerFor(s).periodMs, 0u);
    EXPECT_EQ(s.caretPeriodMs, 500u); // Static asks for no period
}

} // namespace
} // namespace stx
