#include "app/help_lookup.h"

#include <gtest/gtest.h>

#include <string>

namespace stx {
namespace {

TEST(HelpKeyword, TakesTheWordAtOrAfterTheCaret) {
    const std::string call = "invoke CreateWindowExA, 0";
    // Right after the identifier.
    EXPECT_EQ(HelpKeyword(call, 22), "CreateWindowExA");
    // On the spaces before a word, the word after them.
    EXPECT_EQ(HelpKeyword("    mov eax, 1", 2), "mov");
    // Only the part of a long identifier that lies in the text read from the
    // document: it starts 100 bytes before the caret.
    const std::string tail = std::string(100, 'a') + "bcd";
    EXPECT_EQ(HelpKeyword(tail, kKeywordReach), tail);
    // No word after the caret: the last printable run.
    EXPECT_EQ(HelpKeyword("x = ++ ", 3), "++");
    EXPECT_EQ(HelpKeyword("", 0), "");
    EXPECT_EQ(HelpKeyword("ab", 99), "ab");

    // From the document: the text read starts 100 bytes before the caret.
    const std::string doc = std::string(150, ' ') + "\r\n" + std::string(120, 'x') + "yz";
    TextBuffer buffer;
    ASSERT_EQ(buffer.Parse(doc.data(), doc.data() + doc.size()), TextStatus::Ok);
    EXPECT_EQ(HelpKeywordAt(buffer, 272), std::string(100, 'x') + "yz");
    EXPECT_EQ(HelpKeywordAt(buffer, 5), std::string(48, 'x'));
}

} // namespace
} // namespace stx
