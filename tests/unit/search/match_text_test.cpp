#include "search/match_text.h"

#include <gtest/gtest.h>

namespace stx {
namespace {

TEST(MatchText, CaseFoldsAsciiLettersOnly) {
    EXPECT_EQ(MatchText("xx AB", "ab", 0), 3);
    EXPECT_EQ(MatchText("AB ab", "ab", kMatchCase), 3);
    // Windows-1252 e acute against E acute: no folding beyond ASCII.
    EXPECT_EQ(MatchText("\xC9", "\xE9", 0), -1);
    EXPECT_EQ(MatchText("", "", 0), 0);
    EXPECT_EQ(MatchText("abc", "", kMatchWholeWord), 0);
}

TEST(MatchText, WholeWords) {
    const uint32_t w = kMatchWholeWord;
    EXPECT_EQ(MatchText("a cat.", "cat", w), 2);
    EXPECT_EQ(MatchText("cats", "cat", w), -1);
    EXPECT_EQ(MatchText("_cat", "cat", w), -1);
    EXPECT_EQ(MatchText("cat^", "cat", w), -1);
    EXPECT_EQ(MatchText("x~cat", "cat", w), -1);
    EXPECT_EQ(MatchText("xabc abc", "abc", w), 5);
    // A text that starts with a non-word character must follow a word character.
    EXPECT_EQ(MatchText("a-x", "-x", w), 1);
    EXPECT_EQ(MatchText(" -x", "-x", w), -1);
    // Bytes above 0x7F and NUL are non-word characters.
    EXPECT_EQ(MatchText(std::string_view("\0cat\xE9", 5), "cat", w), 1);
}

} // namespace
} // namespace stx
