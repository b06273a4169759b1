#include "view/plane_tables.h"

namespace stx {

int PlaneAxisOffset(int sign, int plane, int planeCount, int step) {
    if (sign > 0) return (planeCount - 1 - plane) * step;
    if (sign < 0) return (plane + 1) * step;
    return 0;
}

Colour RampColour(Colour first, Colour last, int plane, int planeCount) {
    Colour result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int from = static_cast<int>((last >> shift) & 0xFF);
        const int to = static_cast<int>((first >> shift) & 0xFF);
        // Signed arithmetic; C++ division truncates toward zero as the ramp requires.
        const int channel = from + (to - from) * plane / planeCount;
        result |= static_cast<Colour>(channel & 0xFF) << shift;
    }
    return result;
}

PlaneTables::PlaneTables() : PlaneTables(RenderSettings{}) {}

PlaneTables::PlaneTables(const RenderSettings& settings) {
    Update(settings);
}

PlaneTables::Change PlaneTables::Update(const RenderSettings& settings) {
    const int planes = ClampPlaneCount(settings.planeCount);
    const int distance = ClampDistance(settings.distance);
    const Colour first = ClampColour(settings.firstPlaneColour);
    const Colour last = ClampColour(settings.lastPlaneColour);
    const Colour text = ClampColour(settings.textColour);

    Change change;
    change.geometry = planes != planeCount_ || distance != distance_;
    change.tables = change.geometry || first != first_ || last != last_ || text != text_ ||
                    settings.fadeDirection != direction_;
    if (!change.tables) return change;

    planeCount_ = planes;
    distance_ = distance;
    step_ = distance + 1;
    first_ = first;
    last_ = last;
    text_ = text;
    direction_ = settings.fadeDirection;
    Recompute();
    return change;
}

void PlaneTables::Recompute() {
    const FadeSigns signs = SignsOf(direction_);
    for (int p = 0; p < planeCount_; ++p) {
        const auto i = static_cast<unsigned>(p);
        if (p == planeCount_ - 1) {
            colours_[i] = text_;
            selection_[i] = text_;
        } else {
            colours_[i] = RampColour(first_, last_, p, planeCount_);
            selection_[i] = (~colours_[i] & 0xFFFFFF) | 0x23;
        }
        offsets_[i] = {PlaneAxisOffset(signs.sx, p, planeCount_, step_),
                       PlaneAxisOffset(signs.sy, p, planeCount_, step_)};
    }
}

} // namespace stx
