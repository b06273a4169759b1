#pragma once
// EM_FINDTEXT over the document: the first match of a text in a range of the
// saved form.
#include <cstdint>
#include <optional>
#include <string_view>

#include "text/text_buffer.h"

namespace stx {

// The offset of the first match of `what` in [start, end) of the document's
// saved form (end clamped to TotalBytes), with the matcher's flags; nothing
// when there is none or the range is empty or reversed. May throw
// std::bad_alloc for a range that does not fit in memory.
std::optional<uint32_t> FindInBuffer(const TextBuffer& buffer, uint32_t start, uint32_t end,
                                     std::string_view what, uint32_t flags);

} // namespace stx
