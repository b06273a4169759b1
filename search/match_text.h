#pragma once
// The matcher behind the view's EM_FINDTEXT: a forward scan of a flat copy of
// the searched range.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "text/char_classes.h"

namespace stx {

// The EM_FINDTEXT flag values.
constexpr uint32_t kMatchWholeWord = 2;
constexpr uint32_t kMatchCase = 4;

// Index in `range` of the first match of `text` (empty text: 0), or -1.
// The range's edges count as non-word characters for the whole-word test.
std::ptrdiff_t MatchText(std::string_view range, std::string_view text, uint32_t flags);

} // namespace stx
