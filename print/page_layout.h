// Where printed text goes on a page: a character-by-character flow with word
// wrap and tab stops, in the printer's logical units. Every plane of a 3D page
// draws this same layout at its own offset, so the planes always line up.
#pragma once

#include "text/text_buffer.h"

#include <cstddef>
#include <string_view>
#include <vector>

namespace stx {

// The room for text, measured from the layout's origin. The character widths
// come with the layout call; their TAB entry is the tab step.
struct PageFrame {
    int width = 0;      // a byte ends its line when it would reach this x
    int bottom = 0;     // lines start while their y is above this
    int lineHeight = 1; // at least 1
};

struct PlacedChar {
    int x;
    int y;
    char c;
};

struct PageLayout {
    std::vector<PlacedChar> chars;
    std::size_t end = 0; // where the next page starts
};

// Lays out one page of text from `start`. Every line consumes at least one byte
// and every page at least one line, so a job always ends, however narrow the
// page or wide a character.
PageLayout LayOutPage(std::string_view text, std::size_t start, const CharWidthTable& widths,
                      const PageFrame& frame);

} // namespace stx
