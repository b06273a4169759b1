#pragma once

#include "view/render_settings.h"

#include <array>

namespace stx {

struct PlaneOffset {
    int dx;
    int dy;
};

// Offset of plane p (0 = back, planeCount - 1 = front) along one axis. A positive sign puts
// the back plane farthest out; a negative sign keeps the back plane one step in and pushes
// the front plane out by the full spread, so no plane is drawn at a negative offset.
int PlaneAxisOffset(int sign, int plane, int planeCount, int step);

// Colour of back plane p on the ramp from the last plane colour toward the first. The ramp
// divides by N, so it never quite reaches the first plane colour.
Colour RampColour(Colour first, Colour last, int plane, int planeCount);

// Everything painting derives from the plane count, the distance, the colours and the fade
// direction. Recomputed only when one of those changes.
class PlaneTables {
  public:
    struct Change {
        bool tables = false;   // something was recomputed
        bool geometry = false; // plane count or distance changed: the caret phase restarts
    };

    PlaneTables();
    explicit PlaneTables(const RenderSettings& settings);

    Change Update(const RenderSettings& settings);

    int PlaneCount() const { return planeCount_; }
    int Step() const { return step_; }
    int Spread() const { return planeCount_ * step_; }
    int FrontPlane() const { return planeCount_ - 1; }

    // Callers pass p in 0 .. PlaneCount() - 1.
    Colour PlaneColour(int p) const { return colours_[static_cast<unsigned>(p)]; }
    // Each plane's pen is a solid one-pixel pen in the plane's colour.
    Colour PenColour(int p) const { return colours_[static_cast<unsigned>(p)]; }
    Colour SelectionBackground(int p) const { return selection_[static_cast<unsigned>(p)]; }
    PlaneOffset Offset(int p) const { return offsets_[static_cast<unsigned>(p)]; }

  private:
    void Recompute();

    int planeCount_ = 0;
    int distance_ = -1;
    int step_ = 1;
    Colour first_ = 0;
    Colour last_ = 0;
    Colour text_ = 0;
    FadeDirection direction_ = FadeDirection::SouthEast;
    std::array<Colour, kMaxPlanes> colours_{};
    std::array<Colour, kMaxPlanes> selection_{};
    std::array<PlaneOffset, kMaxPlanes> offsets_{};
};

} // namespace stx
