// Character classes and column arithmetic shared by the tokenizer, caret
// movement, editing and search.
#pragma once

#include <cstdint>

namespace stx {

// Digits, ASCII letters and ^ _ ` ~; every other byte is not a word character.
constexpr bool IsWordChar(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '^' ||
           c == '_' || c == '`' || c == '~';
}

// Space, TAB and NUL separate words.
constexpr bool IsBlankChar(unsigned char c) {
    return c == ' ' || c == '\t' || c == 0;
}

// The column a TAB at `column` reaches: the next multiple of 8.
constexpr uint32_t NextTabColumn(uint32_t column) {
    return (column / 8 + 1) * 8;
}

// The pixel position a TAB at x reaches: the next multiple of the tab width
// (never 0, see CharWidthTable::TabWidth).
constexpr uint64_t NextTabStop(uint64_t x, uint32_t tabWidth) {
    return x + tabWidth - x % tabWidth;
}

} // namespace stx
