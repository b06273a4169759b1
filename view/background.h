#pragma once

#include "view/render_settings.h"
#include "view/surface.h"

namespace stx {

// Where a background image of the given size lands in a client area for a non-tiled
// placement: centred at its own size, stretched to the whole area, or stretched keeping its
// proportions and centred. Tile and an empty image or area give an empty rectangle.
Rect ImagePlacementRect(ImagePlacement placement, Size client, Size image);

// Fills the area to repaint with the background. Bitmap backgrounds (the built-in pattern
// or an image file) tile with the surface's tile brush; the other placements draw the image
// on the background colour. A colour background is plain for every placement. imageSize is
// the bitmap's size, empty when none is loaded.
void PaintBackground(Surface& surface, const RenderSettings& settings, const Rect& paintRect,
                     Size client, Size imageSize);

} // namespace stx
