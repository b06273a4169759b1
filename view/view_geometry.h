// What the window tells the editor about the view, and what the editor asks
// of the view in return: the view's metrics, pixel rectangles and repaint
// requests.
#pragma once

#include <cstdint>

namespace stx {

// Which part of the view an operation asks to be repainted; larger values
// include the smaller ones.
enum class Repaint : uint8_t {
    None = 0,
    CaretRect = 1, // the caret rectangle alone
    CaretBand = 2, // the caret line's band across the whole view width
    All = 3,
};

// What the window tells the core about the view; the core never asks the
// system itself.
struct ViewGeometry {
    uint32_t lineHeight = 16;
    uint32_t viewWidth = 640;
    uint32_t viewHeight = 480;
    uint32_t hScrollBarHeight = 16; // counted off the page while a horizontal range exists
    uint32_t vScrollBarWidth = 16;
    uint32_t planeSpread = 0; // extent of the planes behind the front one
    int32_t fadeX = 1;        // horizontal fade sign (-1: planes fan out westward)
    int32_t fadeY = 1;        // vertical fade sign (-1: northward)
    bool hexView = false;
    uint32_t addressColumnWidth = 0;
};

// A rectangle in view pixels, right and bottom exclusive; the view's
// repaint rectangles (view/paint_plan.h) are of this kind.
struct Rect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

} // namespace stx
