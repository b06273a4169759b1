#pragma once
// The matcher behind the view's EM_FINDTEXT: a forward scan of a flat copy of
// the searched range.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace stx {

// The EM_FINDTEXT flag values.
constexpr uint32_t kMatchWholeWord = 2;
constexpr uint32_t kMatchCase = 4;

// Digits, ASCII letters and ^ _ ` ~; every other byte is not a word character.
bool IsWordChar(unsigned char c);

// Index in `range` of the first match of `text` (empty text: 0), or -1.
// The range's edges count as non-word characters for the whole-word test.
std::ptrdiff_t MatchText(std::string_view range, std::string_view text, uint32_t flags);

} // namespace stx
