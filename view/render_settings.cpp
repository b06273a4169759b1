#include "view/render_settings.h"

namespace stx {

FadeSigns SignsOf(FadeDirection direction) {
    switch (direction) {
    case FadeDirection::North:
        return {0, -1};
    case FadeDirection::NorthWest:
        return {-1, -1};
    case FadeDirection::NorthEast:
        return {1, -1};
    case FadeDirection::South:
        return {0, 1};
    case FadeDirection::SouthWest:
        return {-1, 1};
    case FadeDirection::SouthEast:
        return {1, 1};
    case FadeDirection::West:
        return {-1, 0};
    case FadeDirection::East:
        return {1, 0};
    }
    return {1, 1};
}

bool FadeDirectionFromIndex(unsigned index, FadeDirection& direction) {
    if (index >= kFadeDirectionCount) return false;
    direction = static_cast<FadeDirection>(index);
    return true;
}

int ClampPlaneCount(std::int64_t planes) {
    if (planes < 2) return 1;
    if (planes > kMaxPlanes) return kMaxPlanes;
    return static_cast<int>(planes);
}

int ClampDistance(std::int64_t distance) {
    if (distance < 0) return 0;
    if (distance > kMaxDistance) return kMaxDistance;
    return static_cast<int>(distance);
}

CaretMode ClampCaretMode(unsigned mode) {
    if (mode == 0) return CaretMode::FadeOut;
    if (mode > 4) return CaretMode::Static;
    return static_cast<CaretMode>(mode);
}

Colour ClampColour(std::uint32_t colour) {
    return colour & 0xFFFFFF;
}

std::uint8_t BackgroundByte(BackgroundKind kind, ImagePlacement placement) {
    return static_cast<std::uint8_t>(static_cast<unsigned>(placement) << 4 |
                                     static_cast<unsigned>(kind));
}

void DecodeBackgroundByte(std::uint8_t value, BackgroundKind& kind, ImagePlacement& placement) {
    const unsigned k = value & 0x0F;
    const unsigned p = value >> 4;
    kind = k <= 2 ? static_cast<BackgroundKind>(k) : BackgroundKind::Pattern;
    placement = p <= 3 ? static_cast<ImagePlacement>(p) : ImagePlacement::Tile;
}

} // namespace stx
