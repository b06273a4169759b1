// Caret, selection anchor and vertical scroll state of the text view.
#pragma once

#include <cstdint>

namespace stx {

struct LineRecord;

constexpr uint8_t kCaretHidden = 0x01; // hidden for the blink phase

// The one insertion point, kept both logically and in pixels. The selection
// anchor is a copy of the whole block, so the two can be swapped as a unit.
struct Caret {
    uint32_t x = 0;          // pixels from the line start (drawn 8 pixels right of it)
    uint32_t preferredX = 0; // the pixel column vertical moves aim for
    int32_t y = 0;           // pixels from the view top to the caret's row
    uint8_t flags = 0;
    uint32_t line = 1;   // 1-based
    uint32_t column = 0; // 0-based character index (TAB and NUL count one)
    const LineRecord* record = nullptr;
};

// The anchor block; no selection while anchor.record is null.
struct Selection {
    Caret anchor;
    bool Exists() const { return anchor.record != nullptr; }
    void Drop() { anchor.record = nullptr; }
};

// First visible line and the scroll state that movements keep in step.
struct TopLine {
    uint32_t line = 1;
    const LineRecord* record = nullptr;
    uint32_t offset = 0;     // byte offset of the top line in the saved text
    uint32_t pageSize = 1;   // visible lines, at least 1
    uint32_t hOffset = 0;    // horizontal offset in pixels
    uint32_t vScrollPos = 1; // = top line number, at least 1
    uint32_t hScrollPos = 0; // = hOffset / 16
};

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
