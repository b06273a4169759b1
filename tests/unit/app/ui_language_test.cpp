#include "app/command_ids.h"
#include "app/help_texts.h"
#include "app/ui_language.h"
#include "app/ui_texts.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace stx {
namespace {

// The Windows-1250 text with each Romanian letter with diacritics as its plain
// letter; empty when it holds any other byte above 0x7F.
std::string FoldDiacritics(std::string_view text) {
    static const std::string_view marked = "\xBA\xAA\xFE\xE3\xE2\xEE\xCE", plain = "sStaaiI";
    std::string folded;
    for (const char c : text) {
        const auto at = marked.find(c);
        if (static_cast<unsigned char>(c) >= 0x80 && at == std::string_view::npos) return "";
        folded += at == std::string_view::npos ? c : plain[at];
    }
    return folded;
}

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

TEST(UiTexts, DiacriticFormsReadAsThePlainRomanian) {
    std::vector<TrilingualText> texts = {kOpenTitle,
                                         kCopyToTitle,
                                         kHtmlTitle,
                                         kHtmlHeading,
                                         kHtmlLastUpdated,
                                         kHtmlFileNameHead,
                                         kHtmlSizeHead,
                                         kHtmlUpdateHead,
                                         kHtmlDescriptionHeadEnd,
                                         kHtmlParentDirectory,
                                         kHtmlThousandsSeparator,
                                         kHtmlThereAre,
                                         kHtmlFilesAnd,
                                         kHtmlOneFileAnd,
                                         kHtmlDirectories,
                                         kHtmlOneDirectory,
                                         kHtmlForATotalOf};
    texts.insert(texts.end(), kHtmlWeekdays.begin(), kHtmlWeekdays.end());
    texts.insert(texts.end(), kHtmlMonths.begin(), kHtmlMonths.end());
    for (const auto& item : kViewPopupMenu)
        if (item.command != 0) texts.push_back(item.text);
    for (const TrilingualText& text : texts) {
        SCOPED_TRACE(text.english);
        ASSERT_NE(text.romanianDiacritics, nullptr);
        EXPECT_EQ(FoldDiacritics(text.romanianDiacritics), text.romanian);
        EXPECT_EQ(FoldDiacritics(text.romanian), text.romanian);
    }
}

TEST(HelpTexts, LineLayout) {
    const std::string keys = EditorKeyHelpText(UiLanguage::English);
    EXPECT_EQ(keys.rfind("\tLet arrow\t\t-\tmove left\r\n\tRight arrow\t\t-\tmove right\r\n", 0),
              0u);
    // Lines are separated, not ended, by CR LF.
    EXPECT_TRUE(keys.ends_with("\r\n\tCtrl+Shift+T\t\t-\tnew TASM template"));
    EXPECT_NE(
        EditorKeyHelpText(UiLanguage::Romanian).find("\tCtrl+Z, Alt+Bksp, Alt+U\t-\trefacere\r\n"),
        std::string::npos);

    const std::string script = ScriptHelpText(UiLanguage::English);
    EXPECT_EQ(script.rfind("\t\t\tAccepted commands:\r\n\r\n\tComments:\r\n\t\t\t;\r\n\t\t\t//\r\n"
                           "\t\t\trem\r\n\r\n\tGenerate an error message:\r\n",
                           0),
              0u);
    EXPECT_NE(script.find("\t\t\tabort\r\n\r\n\r\n\t\t\tVariabiles:\r\n\r\n"
                          "\t\t%[varname]\t- user defined variabile\r\n"),
              std::string::npos);
    EXPECT_TRUE(script.ends_with("\t\t%}\t\t- the '}' character\r\n"));
    EXPECT_NE(ScriptHelpText(UiLanguage::Romanian)
                  .find("\t\t\ttype [fisier]\r\n\t\t\tview [fisier]\r\n\r\n"),
              std::string::npos);
}

} // namespace
} // namespace stx
