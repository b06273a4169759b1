#pragma once
// Searching the document where it is stored: the text is walked in pieces
// and scanned through a small window, so a search never copies the document
// and a match near its start is found after reading little more than it.
#include <cstdint>
#include <optional>
#include <string_view>

namespace stx {

class TextBuffer;

// The view's EM_FINDTEXT: the offset of the first match of text lying within
// [start, end) of the saved form (end past the text means its end); nothing
// when there is none or the range is reversed.
// Whole words judge a match's edges by the real characters next to it, also
// when they lie outside the range, so a search that starts inside a word
// does not take the word's tail for a whole word.
std::optional<uint32_t> FindInBuffer(const TextBuffer& buffer, uint32_t start, uint32_t end,
                                     std::string_view text, uint32_t flags);

} // namespace stx
