#pragma once
// The matcher behind the view's EM_FINDTEXT: a forward search for a text with
// the match-case and whole-words options.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "text/char_classes.h"

namespace stx {

// The EM_FINDTEXT flag values.
constexpr uint32_t kMatchWholeWord = 2;
constexpr uint32_t kMatchCase = 4;

// Stands for the missing neighbour at an edge of the text; it counts as a
// non-word character.
constexpr int kNoChar = -1;

// A search text with its options, prepared once for many scans. Without match
// case A-Z and a-z compare equal and no other byte is folded. With whole
// words both edges of a match must be word boundaries: the character outside
// and the match's own character there are one a word character and the other
// not.
class TextMatcher {
  public:
    TextMatcher(std::string_view text, uint32_t flags);
    size_t Size() const { return text_.size(); }
    // Index of the first match lying wholly inside hay (an empty text matches
    // at 0), or -1. before and after are the characters just outside hay
    // (kNoChar at an edge of the text), which the whole-word test reads.
    std::ptrdiff_t Find(std::string_view hay, int before = kNoChar, int after = kNoChar) const;

  private:
    bool Accept(const unsigned char* hay, size_t size, size_t at, int before, int after) const;

    std::string text_; // folded to lower case unless the case must match
    bool matchCase_;
    bool wholeWord_;
    unsigned char first_, last_;     // the bytes the scan looks for, folded
    unsigned char firstOr_, lastOr_; // 0x20 when that byte is a letter to fold
};

// Index in `range` of the first match of `text` (empty text: 0), or -1.
// The range's edges count as non-word characters for the whole-word test.
std::ptrdiff_t MatchText(std::string_view range, std::string_view text, uint32_t flags);

} // namespace stx
