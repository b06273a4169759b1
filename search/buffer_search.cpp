#include "search/buffer_search.h"

#include <algorithm>
#include <vector>

#include "search/match_text.h"

namespace stx {

std::optional<uint32_t> FindInBuffer(const TextBuffer& buffer, uint32_t start, uint32_t end,
                                     std::string_view what, uint32_t flags) {
    const uint32_t total = buffer.TotalBytes();
    end = std::min(end, total);
    if (start > end) return std::nullopt;
    std::vector<char> range(size_t{end - start} + 1);
    const uint32_t got = buffer.ExtractRange(end - start, start, range.data());
    const std::ptrdiff_t at =
        MatchText(std::string_view(range.data(), std::min(got, end - start)), what, flags);
    if (at < 0) return std::nullopt;
    return start + static_cast<uint32_t>(at);
}

} // namespace stx
