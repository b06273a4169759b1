#include "search/match_text.h"

namespace stx {

namespace {

unsigned char FoldAscii(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c;
}

// An edge between two characters is a word boundary when exactly one of them
// is a word character.
bool IsBoundary(bool before, bool after) {
    return before != after;
}

} // namespace

std::ptrdiff_t MatchText(std::string_view range, std::string_view text, uint32_t flags) {
    const size_t n = text.size();
    if (n > range.size()) return -1;
    const bool matchCase = flags & kMatchCase;
    const bool wholeWord = flags & kMatchWholeWord;
    const auto* hay = reinterpret_cast<const unsigned char*>(range.data());
    const auto* needle = reinterpret_cast<const unsigned char*>(text.data());
    for (size_t pos = 0; pos + n <= range.size(); ++pos) {
        // Compared from the last character back, as a hit usually fails late.
        size_t i = n;
        if (matchCase) {
            while (i > 0 && hay[pos + i - 1] == needle[i - 1])
                --i;
        } else {
            while (i > 0 && FoldAscii(hay[pos + i - 1]) == FoldAscii(needle[i - 1]))
                --i;
        }
        if (i != 0) continue;
        if (!wholeWord || n == 0) return static_cast<std::ptrdiff_t>(pos);
        bool before = pos > 0 && IsWordChar(hay[pos - 1]);
        bool after = pos + n < range.size() && IsWordChar(hay[pos + n]);
        if (IsBoundary(before, IsWordChar(needle[0])) &&
            IsBoundary(IsWordChar(needle[n - 1]), after))
            return static_cast<std::ptrdiff_t>(pos);
    }
    return -1;
}

} // namespace stx
