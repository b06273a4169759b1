#include "app/ui_language.h"
#include "app/ui_texts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace stx {
namespace {

TEST(UiLanguage, TextChoice) {
    const BilingualText two{"en", "ro"};
    const TrilingualText three{"en", "ro", "rod"};
    EXPECT_STREQ(ChooseText(UiLanguage::RomanianDiacritics, two), "ro");
    EXPECT_STREQ(ChooseText(UiLanguage::RomanianDiacritics, three), "rod");
    // A value the program does not know never selects a missing text.
    EXPECT_STREQ(ChooseText(static_cast<UiLanguage>(7), two), "en");
    EXPECT_STREQ(ChooseText(static_cast<UiLanguage>(7), three), "en");
}

// Splits a double-NUL terminated filter list into its texts.
std::vector<std::string> FilterEntries(const char* list) {
    std::vector<std::string> entries;
    for (const char* p = list; *p != '\0'; p += entries.back().size() + 1)
        entries.emplace_back(p);
    return entries;
}

TEST(UiTexts, FiltersAreDescriptionPatternPairs) {
    for (const BilingualText& filter :
         {kDocumentFilter, kScriptFilter, kBitmapFilter, kHelpFileFilter}) {
        const auto english = FilterEntries(filter.english);
        const auto romanian = FilterEntries(filter.romanian);
        ASSERT_EQ(english.size() % 2, 0u) << english.front();
        ASSERT_EQ(english.size(), romanian.size()) << english.front();
        for (std::size_t i = 0; i < english.size(); i += 2) {
            // Patterns are the same in both languages; descriptions name them.
            EXPECT_EQ(english[i + 1], romanian[i + 1]);
            EXPECT_EQ(english[i + 1].rfind("*.", 0), 0u);
            EXPECT_NE(english[i].find('('), std::string::npos);
        }
        EXPECT_EQ(english.back(), "*.*");
    }
}

} // namespace
} // namespace stx
