#include "view/background.h"

#include <cstdint>

namespace stx {

Rect ImagePlacementRect(ImagePlacement placement, Size client, Size image) {
    if (client.width <= 0 || client.height <= 0 || image.width <= 0 || image.height <= 0) return {};
    const std::int64_t cw = client.width;
    const std::int64_t ch = client.height;
    const std::int64_t iw = image.width;
    const std::int64_t ih = image.height;
    std::int64_t w = 0;
    std::int64_t h = 0;
    switch (placement) {
    case ImagePlacement::Tile:
        return {};
    case ImagePlacement::Center:
        w = iw;
        h = ih;
        break;
    case ImagePlacement::Stretch:
        return {0, 0, client.width, client.height};
    case ImagePlacement::StretchIsotropic:
        // Fill the tighter dimension; the other follows the image's proportions.
        if (cw * ih <= ch * iw) {
            w = cw;
            h = ih * cw / iw;
        } else {
            h = ch;
            w = iw * ch / ih;
        }
        break;
    }
    // Floor division keeps an image larger than the client centred to the pixel.
    auto floorHalf = [](std::int64_t v) { return v >= 0 ? v / 2 : -((-v + 1) / 2); };
    const std::int64_t left = floorHalf(cw - w);
    const std::int64_t top = floorHalf(ch - h);
    return {static_cast<int>(left), static_cast<int>(top), static_cast<int>(left + w),
            static_cast<int>(top + h)};
}

void PaintBackground(Surface& surface, const RenderSettings& settings, const Rect& paintRect,
                     Size client, Size imageSize) {
    if (IsEmpty(paintRect)) return;
    const Colour colour = ClampColour(settings.backgroundColour);
    if (settings.backgroundKind == BackgroundKind::Colour) {
        surface.FillSolid(paintRect, colour);
        return;
    }
    if (settings.imagePlacement == ImagePlacement::Tile) {
        surface.FillTiled(paintRect);
        return;
    }
    surface.FillSolid(paintRect, colour);
    const Rect dest = ImagePlacementRect(settings.imagePlacement, client, imageSize);
    if (!IsEmpty(dest) && Intersects(dest, paintRect)) surface.DrawImage(dest);
}

} // namespace stx
