#include "view/address_column.h"

namespace stx {

int AddressColumnWidth(const CharWidthTable& widths) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    int narrowest = 255;
    int widest = 0;
    for (int i = 0; i < 16; ++i) {
        const int w = static_cast<int>(widths[static_cast<unsigned char>(kDigits[i])]);
        narrowest = w < narrowest ? w : narrowest;
        widest = w > widest ? w : widest;
    }
    return kAddressChars * ((narrowest + widest) / 2);
}

void FormatAddress(std::uint32_t offset, char* out) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (int i = 7; i >= 0; --i) {
        out[i] = kHex[offset & 0xF];
        offset >>= 4;
    }
    out[8] = ':';
}

int AddressTextWidth(const char* address, const CharWidthTable& widths) {
    int sum = 0;
    for (int i = 0; i < kAddressChars; ++i)
        sum += static_cast<int>(widths[static_cast<unsigned char>(address[i])]);
    return sum;
}

Rect AddressColumnRect(int columnWidth, int planeSpread, int widestChar, int viewHeight) {
    Rect r;
    r.right = columnWidth + 8 + planeSpread + widestChar;
    r.bottom = viewHeight;
    return r;
}

} // namespace stx
