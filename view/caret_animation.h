#pragma once

#include "text/caret.h"
#include "view/render_settings.h"

#include <cstdint>

namespace stx {

// The hidden bit is the caret's own flag (Caret::flags), set and cleared by blinking.
inline bool CaretHidden(std::uint8_t caretFlags) {
    return (caretFlags & kCaretHidden) != 0;
}
// A key press, a fade tick and choosing Static all bring a blinking caret back at once.
inline void ShowCaretNow(std::uint8_t& caretFlags) {
    caretFlags = static_cast<std::uint8_t>(caretFlags & ~kCaretHidden);
}

// The caret's colour phase: each plane's caret uses the pen of plane (p + phase) mod N, so
// stepping the phase rotates the ramp through the caret stack.
class CaretAnimation {
  public:
    int Phase() const { return phase_; }
    // After a change of the plane count or the distance.
    void ResetPhase() { phase_ = 0; }

    // One tick of the caret timer. The phase runs over 0..N (N + 1 values, so one look
    // lasts two ticks at the wrap). Returns whether the caret must be repainted.
    bool Tick(CaretMode mode, int planeCount, std::uint8_t& caretFlags);

    int PenIndex(int plane, int planeCount) const;

  private:
    int phase_ = 0;
};

struct CaretTimer {
    bool running;
    std::uint32_t periodMs;
};

// Whether the caret timer runs for these settings, and with what period.
CaretTimer CaretTimerFor(const RenderSettings& settings);

// A caret mode chosen from the menu. For the three animated modes periodMs is the answer
// to the prompt; Static ignores it, stops the timer and shows the caret.
CaretTimer ChooseCaretMode(RenderSettings& settings, CaretMode mode, std::uint32_t periodMs,
                           std::uint8_t& caretFlags);

} // namespace stx
