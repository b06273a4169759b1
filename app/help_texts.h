// The two built-in help texts shown in the help window: the editor's keys and
// the build-script commands, each in English and Romanian.
#pragma once

#include "app/ui_language.h"

#include <array>
#include <string>

namespace stx {

// One line of the key list: TAB, keys, `tabs` TABs, "-", TAB, description.
struct KeyHelpLine {
    const char* keys;
    int tabs;
    BilingualText description;
};

// One section of the script-command help: a heading and its command forms.
struct ScriptHelpSection {
    BilingualText heading;
    std::array<BilingualText, 3> forms; // unused forms have null texts
};

inline constexpr BilingualText kScriptHelpTitle{"Accepted commands:", "Comenzi acceptate:"};
inline constexpr BilingualText kScriptHelpVariablesTitle{"Variabiles:", "Variabile:"};

extern const std::array<KeyHelpLine, 42> kEditorKeyHelp;
extern const std::array<ScriptHelpSection, 16> kScriptHelpSections;
extern const std::array<BilingualText, 16> kScriptHelpVariables;

// The key list, lines separated by CR LF.
std::string EditorKeyHelpText(UiLanguage language);

// The script-command help, lines separated and ended by CR LF.
std::string ScriptHelpText(UiLanguage language);

// The About box's text: the product and its version, then a line in the UI language.
std::string AboutText(UiLanguage language);

} // namespace stx
