#include "app/menu_state.h"

#include "app/command_ids.h"

namespace stx {

namespace {

void AddRadioGroup(std::vector<MenuCheck>& marks, int first, int last, int chosen) {
    for (int command = first; command <= last; ++command)
        marks.push_back({command, command == chosen});
}

} // namespace

std::vector<MenuCheck> MenuCheckMarks(const MenuCheckState& state) {
    std::vector<MenuCheck> marks;

    // The built-in pattern counts as an image background: its item is the one
    // checked until a colour is chosen.
    const int kind = state.backgroundMode & 0x0F;
    marks.push_back({IDM_BACKGROUND_IMAGE, kind != 2});
    marks.push_back({IDM_BACKGROUND_COLOR, kind == 2});

    const int placement = state.backgroundMode >> 4;
    AddRadioGroup(marks, IDM_PLACEMENT_TILE, IDM_PLACEMENT_ISOTROPIC,
                  IDM_PLACEMENT_TILE + placement);
    AddRadioGroup(marks, IDM_DIRECTION_N, IDM_DIRECTION_E, IDM_DIRECTION_N + state.directionIndex);
    AddRadioGroup(marks, IDM_CARET_BLINK, IDM_CARET_STATIC, IDM_CARET_BLINK - 1 + state.caretMode);
    AddRadioGroup(marks, IDM_LANGUAGE_ENGLISH, IDM_LANGUAGE_ROMANIAN_DIACRITICS,
                  LanguageCommandFor(state.language));

    marks.push_back({IDM_CARET_OVER_LETTER, state.caretOverLetter});
    marks.push_back({IDM_SYNTAX_HIGHLIGHT, state.syntaxHighlight});
    marks.push_back({IDM_AUTO_INDENT, state.autoIndent});
    marks.push_back({IDM_DOUBLE_BUFFERING, state.doubleBuffering});
    marks.push_back({IDM_AUTO_CONVERT_UNIX, state.autoConvertUnixText});
    marks.push_back({IDM_AUTO_SAVE_SETTINGS, state.autoSaveSettings});
    return marks;
}

} // namespace stx
