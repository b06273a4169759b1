// What the main menu shows beyond its resource: the check marks of the
// settings in force, and where the NTFS stream list goes back after a menu of
// another language has been loaded.
#pragma once

#include "app/ui_language.h"

#include <cstdint>
#include <vector>

namespace stx {

// The settings that carry check marks in the menu. The defaults are the
// built-in settings, which are also the marks stored in the menu resources.
struct MenuCheckState {
    std::uint8_t backgroundMode =
        0; // low 4 bits kind (0 pattern, 1 image, 2 colour), high 4 placement
    std::uint8_t directionIndex = 5; // 0..7, the order of the fade direction commands; 5 = SE
    std::uint8_t caretMode = 3;      // 1 blink, 2 fade in, 3 fade out, 4 static
    bool caretOverLetter = true;
    bool syntaxHighlight = true;
    bool autoIndent = true;
    bool doubleBuffering = true;
    bool autoConvertUnixText = false;
    bool autoSaveSettings = false;
    UiLanguage language = UiLanguage::English;
};

struct MenuCheck {
    int command;
    bool checked;

    friend bool operator==(const MenuCheck&, const MenuCheck&) = default;
};

// Every checkable item of the menu with its state, so that a freshly loaded
// menu never contradicts the settings in force. Of each radio group exactly
// the item of the current value is checked; a value outside its range checks
// none of the group.
std::vector<MenuCheck> MenuCheckMarks(const MenuCheckState& state);

// The NTFS Streams popup is item 5 of the File popup (the first popup of the
// menu bar); after a language switch the kept popup with its stream list
// replaces that item, under kStreamsPopupText (app/ui_texts.h).
inline constexpr int kFilePopupPosition = 0;
inline constexpr int kStreamsPopupPosition = 5;

} // namespace stx
