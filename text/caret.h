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

} // namespace stx
