#include "search/match_text.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace stx {

namespace {

bool IsAsciiLetter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

unsigned char FoldAscii(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c;
}

// An edge between two characters is a word boundary when exactly one of them
// is a word character.
bool IsBoundary(bool before, bool after) {
    return before != after;
}

bool IsWordNeighbour(int c) {
    return c != kNoChar && IsWordChar(static_cast<unsigned char>(c));
}

} // namespace

TextMatcher::TextMatcher(std::string_view text, uint32_t flags)
    : text_(text), matchCase_(flags & kMatchCase), wholeWord_(flags & kMatchWholeWord) {
    if (!matchCase_)
        for (char& c : text_)
            c = static_cast<char>(FoldAscii(static_cast<unsigned char>(c)));
    const auto byteAt = [&](size_t i) { return static_cast<unsigned char>(text_[i]); };
    first_ = text_.empty() ? 0 : byteAt(0);
    last_ = text_.empty() ? 0 : byteAt(text_.size() - 1);
    // A letter is found in either case by setting bit 5 of the text's byte:
    // only the two cases of that letter become its lower case.
    firstOr_ = !matchCase_ && IsAsciiLetter(first_) ? 0x20 : 0;
    lastOr_ = !matchCase_ && IsAsciiLetter(last_) ? 0x20 : 0;
}

bool TextMatcher::Accept(const unsigned char* hay, size_t size, size_t at, int before,
                         int after) const {
    const size_t n = text_.size();
    const auto* needle = reinterpret_cast<const unsigned char*>(text_.data());
    if (matchCase_) {
        for (size_t i = 1; i + 1 < n; ++i)
            if (hay[at + i] != needle[i]) return false;
    } else {
        for (size_t i = 1; i + 1 < n; ++i)
            if (FoldAscii(hay[at + i]) != needle[i]) return false;
    }
    if (!wholeWord_) return true;
    const bool wordBefore = at > 0 ? IsWordChar(hay[at - 1]) : IsWordNeighbour(before);
    const bool wordAfter = at + n < size ? IsWordChar(hay[at + n]) : IsWordNeighbour(after);
    return IsBoundary(wordBefore, IsWordChar(needle[0])) &&
           IsBoundary(IsWordChar(needle[n - 1]), wordAfter);
}

std::ptrdiff_t TextMatcher::Find(std::string_view range, int before, int after) const {
    const size_t n = text_.size();
    if (n == 0) return 0;
    if (n > range.size()) return -1;
    const auto* hay = reinterpret_cast<const unsigned char*>(range.data());
    const size_t lastStart = range.size() - n;
    size_t pos = 0;
#if defined(__SSE2__)
    // Sixteen start positions at a time: a candidate has the text's first
    // byte at its start and its last byte n - 1 further on; the rest is
    // compared only for candidates.
    const __m128i first = _mm_set1_epi8(static_cast<char>(first_));
    const __m128i last = _mm_set1_epi8(static_cast<char>(last_));
    const __m128i firstOr = _mm_set1_epi8(static_cast<char>(firstOr_));
    const __m128i lastOr = _mm_set1_epi8(static_cast<char>(lastOr_));
    for (; pos + 16 <= lastStart + 1; pos += 16) {
        const __m128i a =
            _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(hay + pos)), firstOr);
        const __m128i b = _mm_or_si128(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(hay + pos + n - 1)), lastOr);
        unsigned mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, last))));
        while (mask) {
            const size_t at = pos + static_cast<size_t>(__builtin_ctz(mask));
            if (Accept(hay, range.size(), at, before, after))
                return static_cast<std::ptrdiff_t>(at);
            mask &= mask - 1;
        }
    }
#endif
    for (; pos <= lastStart; ++pos) {
        if ((hay[pos] | firstOr_) != first_ || (hay[pos + n - 1] | lastOr_) != last_) continue;
        if (Accept(hay, range.size(), pos, before, after)) return static_cast<std::ptrdiff_t>(pos);
    }
    return -1;
}

std::ptrdiff_t MatchText(std::string_view range, std::string_view text, uint32_t flags) {
    return TextMatcher(text, flags).Find(range);
}

} // namespace stx
