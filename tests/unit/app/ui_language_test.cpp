#include "app/command_ids.h"
#include "app/help_texts.h"
#include "app/ui_language.h"
#include "app/ui_texts.h"
#include "tests/unit/app/romanian_letters.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace stx {
namespace {

constexpr UiLanguage kAllLanguages[] = {UiLanguage::English, UiLanguage::Romanian,
                                        UiLanguage::RomanianDiacritics};

TEST(UiLanguage, TextChoice) {
    const BilingualText two{"en", "ro"};
    const TrilingualText three{"en", "ro", "rod"};
    EXPECT_STREQ(ChooseText(UiLanguage::English, two), "en");
    EXPECT_STREQ(ChooseText(UiLanguage::Romanian, two), "ro");
    EXPECT_STREQ(ChooseText(UiLanguage::RomanianDiacritics, two), "ro");
    EXPECT_STREQ(ChooseText(UiLanguage::English, three), "en");
    EXPECT_STREQ(ChooseText(UiLanguage::Romanian, three), "ro");
    EXPECT_STREQ(ChooseText(UiLanguage::RomanianDiacritics, three), "rod");
    // A value the program does not know never selects a missing text.
    EXPECT_STREQ(ChooseText(static_cast<UiLanguage>(7), two), "en");
    EXPECT_STREQ(ChooseText(static_cast<UiLanguage>(7), three), "en");
}

TEST(UiLanguage, StoredValueAboveTwoIsEnglish) {
    EXPECT_EQ(UiLanguageFromStored(0), UiLanguage::English);
    EXPECT_EQ(UiLanguageFromStored(1), UiLanguage::Romanian);
    EXPECT_EQ(UiLanguageFromStored(2), UiLanguage::RomanianDiacritics);
    EXPECT_EQ(UiLanguageFromStored(3), UiLanguage::English);
    EXPECT_EQ(UiLanguageFromStored(255), UiLanguage::English);
    EXPECT_EQ(MenuResourceFor(UiLanguageFromStored(200)), IDR_MENU_ENGLISH);
}

TEST(UiLanguage, InitialLanguage) {
    constexpr std::uint32_t romania = 0x0418;
    // First run: no settings key, English whatever the locale.
    EXPECT_EQ(InitialUiLanguage(false, std::nullopt, romania), UiLanguage::English);
    // A key without "Language": the locale decides.
    EXPECT_EQ(InitialUiLanguage(true, std::nullopt, romania), UiLanguage::Romanian);
    EXPECT_EQ(InitialUiLanguage(true, std::nullopt, 0x00010418), UiLanguage::Romanian); // sort bits
    EXPECT_EQ(InitialUiLanguage(true, std::nullopt, 0x0818), UiLanguage::English);      // Moldova
    EXPECT_EQ(InitialUiLanguage(true, std::nullopt, 0x0409), UiLanguage::English);
    // A stored value wins over the locale, and an unknown one reads as English.
    EXPECT_EQ(InitialUiLanguage(true, std::uint8_t{2}, 0x0409), UiLanguage::RomanianDiacritics);
    EXPECT_EQ(InitialUiLanguage(true, std::uint8_t{0}, romania), UiLanguage::English);
    EXPECT_EQ(InitialUiLanguage(true, std::uint8_t{9}, romania), UiLanguage::English);
}

TEST(UiLanguage, MenusAndDialogTemplates) {
    EXPECT_EQ(MenuResourceFor(UiLanguage::English), 550);
    EXPECT_EQ(MenuResourceFor(UiLanguage::Romanian), 551);
    EXPECT_EQ(MenuResourceFor(UiLanguage::RomanianDiacritics), 552);

    for (const int pair : {750, 752, 760, 763, 800, 810, 812, 900}) {
        SCOPED_TRACE(pair);
        EXPECT_EQ(DialogTemplateFor(pair, UiLanguage::English), pair);
        EXPECT_EQ(DialogTemplateFor(pair, UiLanguage::Romanian), pair + 1);
        EXPECT_EQ(DialogTemplateFor(pair, UiLanguage::RomanianDiacritics), pair + 1);
    }
    // The help window and the error-code dialog exist once.
    for (const int single : {765, 910}) {
        EXPECT_EQ(DialogTemplateFor(single, UiLanguage::Romanian), single);
        EXPECT_EQ(DialogTemplateFor(single, UiLanguage::RomanianDiacritics), single);
    }
}

TEST(UiLanguage, LanguageCommands) {
    EXPECT_EQ(LanguageSwitchFor(UiLanguage::English, IDM_LANGUAGE_ROMANIAN_DIACRITICS),
              UiLanguage::RomanianDiacritics);
    EXPECT_EQ(LanguageSwitchFor(UiLanguage::RomanianDiacritics, IDM_LANGUAGE_ENGLISH),
              UiLanguage::English);
    // The language in force again: no reload.
    for (const UiLanguage language : kAllLanguages)
        EXPECT_EQ(LanguageSwitchFor(language, LanguageCommandFor(language)), std::nullopt);
    EXPECT_EQ(LanguageSwitchFor(UiLanguage::English, IDM_LANGUAGE_ENGLISH - 1), std::nullopt);
    EXPECT_EQ(LanguageSwitchFor(UiLanguage::English, IDM_LANGUAGE_ROMANIAN_DIACRITICS + 1),
              std::nullopt);
}

TEST(UiLanguage, WindowTitles) {
    EXPECT_EQ(DocumentTitle("C:\\Work\\Demo.asm"), "Stratext: C:\\Work\\Demo.asm");
    EXPECT_EQ(DocumentTitle("C:\\x.txt:notes"), "Stratext: C:\\x.txt:notes");
    EXPECT_EQ(UntitledTitle(UiLanguage::English), "Stratext - Untitled");
    EXPECT_EQ(UntitledTitle(UiLanguage::Romanian), "Stratext - Fara titlu");
    EXPECT_EQ(UntitledTitle(UiLanguage::RomanianDiacritics), "Stratext - F\343r\343 titlu");
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
    EXPECT_EQ(FilterEntries(kDocumentFilter.romanian),
              (std::vector<std::string>{"Document text (*.TXT)", "*.txt", "Toate fisierele (*.*)",
                                        "*.*"}));
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
        EXPECT_EQ(test::FoldDiacritics(text.romanianDiacritics), text.romanian);
        EXPECT_TRUE(test::OnlyKnownLetters(text.romanianDiacritics));
        EXPECT_TRUE(test::OnlyKnownLetters(text.romanian));
    }
    EXPECT_STREQ(kOpenTitle.romanianDiacritics, "Deschidere fi\xBAier");
    EXPECT_STREQ(kCopyToTitle.romanianDiacritics, "Copiere \xEEn fi\xBAier");
}

TEST(UiTexts, ViewPopupMenu) {
    const int expected[] = {
        IDM_EDIT_UNDO,  0, IDM_EDIT_CUT,       IDM_EDIT_COPY, IDM_EDIT_COPY_TO, IDM_EDIT_PASTE,
        IDM_EDIT_CLEAR, 0, IDM_EDIT_SELECT_ALL};
    ASSERT_EQ(std::size(expected), kViewPopupMenu.size());
    for (std::size_t i = 0; i < kViewPopupMenu.size(); ++i) {
        EXPECT_EQ(kViewPopupMenu[i].command, expected[i]);
        EXPECT_EQ(kViewPopupMenu[i].text.english == nullptr, expected[i] == 0);
    }
    EXPECT_STREQ(ChooseText(UiLanguage::RomanianDiacritics, kViewPopupMenu[6].text),
                 "\xAA&tergere");
}

TEST(UiTexts, PrintTooltipIsTheSameInBothRomanianSettings) {
    const BilingualText* print = ToolbarTooltipFor(IDM_FILE_PRINT_3D);
    ASSERT_NE(print, nullptr);
    EXPECT_STREQ(ChooseText(UiLanguage::RomanianDiacritics, *print), "Tiparire text 3D ...");
    EXPECT_EQ(ToolbarTooltipFor(IDM_FILE_SAVE_AS), nullptr);
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
