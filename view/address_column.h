#pragma once

#include "text/text_buffer.h"
#include "view/surface.h"

#include <cstdint>

namespace stx {

constexpr Colour kAddressColour = 0xA02030; // the front plane's addresses
constexpr int kAddressChars = 9;            // eight hex digits and a colon
constexpr int kAddressGap = 4;              // pixels between an address and its line

// 9 x the mean of the narrowest and widest of the characters 0..9 and A..F.
int AddressColumnWidth(const CharWidthTable& widths);

// The offset as eight uppercase hex digits and a colon; writes exactly kAddressChars bytes.
void FormatAddress(std::uint32_t offset, char* out);

// Pixel width of an address text in the current font.
int AddressTextWidth(const char* address, const CharWidthTable& widths);

// What must be repainted when every later line's address changes: from the view's top left
// to past the address column's widest spread, over the full view height.
Rect AddressColumnRect(int columnWidth, int planeSpread, int widestChar, int viewHeight);

} // namespace stx
