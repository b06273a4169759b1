#include "app/ui_language.h"

#include "app/command_ids.h"

#include <algorithm>
#include <array>

namespace stx {

namespace {

// The Romanian (Romania) language identifier in the low 16 bits of a locale id.
constexpr std::uint32_t kRomanianLanguageId = 0x0418;

// English templates that have a Romanian twin at N + 1.
constexpr std::array kPairedTemplates = {
    IDD_FIND,        IDD_REPLACE,     IDD_GOTO_LINE,  IDD_INPUT_BOX, IDD_COMPILER_CONFIG,
    IDD_CUSTOM_HELP, IDD_INSERT_DATA, IDD_HTML_INDEX,
};

// Kept apart from the product name so the title reads as one phrase.
constexpr TrilingualText kUntitledSuffix{" - Untitled", " - Fara titlu", " - F\343r\343 titlu"};

} // namespace

UiLanguage UiLanguageFromStored(std::uint8_t stored) {
    return stored <= 2 ? static_cast<UiLanguage>(stored) : UiLanguage::English;
}

const char* ChooseText(UiLanguage language, const BilingualText& text) {
    switch (language) {
    case UiLanguage::Romanian:
    case UiLanguage::RomanianDiacritics:
        return text.romanian;
    case UiLanguage::English:
        break;
    }
    return text.english;
}

const char* ChooseText(UiLanguage language, const TrilingualText& text) {
    switch (language) {
    case UiLanguage::Romanian:
        return text.romanian;
    case UiLanguage::RomanianDiacritics:
        return text.romanianDiacritics;
    case UiLanguage::English:
        break;
    }
    return text.english;
}

int MenuResourceFor(UiLanguage language) {
    switch (language) {
    case UiLanguage::Romanian:
        return IDR_MENU_ROMANIAN;
    case UiLanguage::RomanianDiacritics:
        return IDR_MENU_ROMANIAN_DIACRITICS;
    case UiLanguage::English:
        break;
    }
    return IDR_MENU_ENGLISH;
}

int DialogTemplateFor(int englishTemplate, UiLanguage language) {
    const bool paired = std::find(kPairedTemplates.begin(), kPairedTemplates.end(),
                                  englishTemplate) != kPairedTemplates.end();
    return (paired && language != UiLanguage::English) ? englishTemplate + 1 : englishTemplate;
}

UiLanguage InitialUiLanguage(bool settingsKeyExists, std::optional<std::uint8_t> storedLanguage,
                             std::uint32_t userLocaleId) {
    if (!settingsKeyExists) return UiLanguage::English;
    if (storedLanguage) return UiLanguageFromStored(*storedLanguage);
    return (userLocaleId & 0xFFFF) == kRomanianLanguageId ? UiLanguage::Romanian
                                                          : UiLanguage::English;
}

std::optional<UiLanguage> LanguageSwitchFor(UiLanguage current, int command) {
    if (command < IDM_LANGUAGE_ENGLISH || command > IDM_LANGUAGE_ROMANIAN_DIACRITICS)
        return std::nullopt;
    const auto target = static_cast<UiLanguage>(command - IDM_LANGUAGE_ENGLISH);
    if (target == current) return std::nullopt;
    return target;
}

int LanguageCommandFor(UiLanguage language) {
    return IDM_LANGUAGE_ENGLISH +
           static_cast<int>(UiLanguageFromStored(static_cast<std::uint8_t>(language)));
}

std::string UntitledTitle(UiLanguage language) {
    std::string title(kProductName);
    title += ChooseText(language, kUntitledSuffix);
    return title;
}

std::string DocumentTitle(std::string_view documentPath) {
    std::string title(kProductName);
    title += ": ";
    title += documentPath;
    return title;
}

} // namespace stx
