// The UI language and the rules that follow from it: which text, which menu,
// which dialog template, the language at start-up and the window title.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace stx {

// Stored as one byte ("Language").
enum class UiLanguage : std::uint8_t { English = 0, Romanian = 1, RomanianDiacritics = 2 };

// A stored byte above 2 is not a language the program has; it reads as English.
UiLanguage UiLanguageFromStored(std::uint8_t stored);

// Most texts exist in English and in one Romanian form, written without
// diacritics, which both Romanian settings share.
struct BilingualText {
    const char* english;
    const char* romanian;
};

// The few texts that have a third form with diacritics.
struct TrilingualText {
    const char* english;
    const char* romanian;
    const char* romanianDiacritics;
};

// English for English, the Romanian text for either Romanian setting.
const char* ChooseText(UiLanguage language, const BilingualText& text);
// Each language its own text.
const char* ChooseText(UiLanguage language, const TrilingualText& text);

// The menu resource of a language: 550, 551 or 552.
int MenuResourceFor(UiLanguage language);

// Dialogs that come in pairs have the English template N and the Romanian
// template N + 1, shared by both Romanian settings; other templates are used
// for every language.
int DialogTemplateFor(int englishTemplate, UiLanguage language);

// The language at start-up. Without a settings key the program starts in
// English; with a key holding "Language" that value is used; with a key but no
// value, a user locale whose language identifier is Romanian (0x0418) gives
// Romanian without diacritics.
UiLanguage InitialUiLanguage(bool settingsKeyExists, std::optional<std::uint8_t> storedLanguage,
                             std::uint32_t userLocaleId);

// The language commands 3700..3702: the language to switch to, or nothing when
// the command is not a language command or names the language in force (then
// the menu is not reloaded).
std::optional<UiLanguage> LanguageSwitchFor(UiLanguage current, int command);

// The language command whose item carries the check mark.
int LanguageCommandFor(UiLanguage language);

// Window titles: the product name, and the product name with the document's path.
inline constexpr std::string_view kProductName = "Stratext";
std::string UntitledTitle(UiLanguage language);
std::string DocumentTitle(std::string_view documentPath);

} // namespace stx
