#include "view/caret_animation.h"

namespace stx {

bool CaretAnimation::Tick(CaretMode mode, int planeCount, std::uint8_t& caretFlags) {
    const int n = ClampPlaneCount(planeCount);
    // A phase left over from a larger plane count starts the cycle again.
    if (phase_ < 0 || phase_ > n) phase_ = 0;
    switch (mode) {
    case CaretMode::FadeOut:
        ShowCaretNow(caretFlags);
        phase_ = phase_ == 0 ? n : phase_ - 1;
        return true;
    case CaretMode::FadeIn:
        ShowCaretNow(caretFlags);
        phase_ = phase_ >= n ? 0 : phase_ + 1;
        return true;
    case CaretMode::Blink:
        caretFlags ^= kCaretHidden;
        return true;
    case CaretMode::Static:
        break;
    }
    return false;
}

int CaretAnimation::PenIndex(int plane, int planeCount) const {
    const int n = ClampPlaneCount(planeCount);
    const int k = (plane + phase_) % n;
    return k < 0 ? k + n : k;
}

CaretTimer CaretTimerFor(const RenderSettings& settings) {
    if (settings.caretMode == CaretMode::Static) return {false, 0};
    return {true, settings.caretPeriodMs};
}

CaretTimer ChooseCaretMode(RenderSettings& settings, CaretMode mode, std::uint32_t periodMs,
                           std::uint8_t& caretFlags) {
    settings.caretMode = mode;
    if (mode == CaretMode::Static) {
        ShowCaretNow(caretFlags);
    } else {
        settings.caretPeriodMs = periodMs;
    }
    return CaretTimerFor(settings);
}

} // namespace stx
