#pragma once
// The Options menu and the other commands that change a setting: each changes
// the setting in force, moves its check mark, stores it and repaints.
#include <windows.h>

#include <optional>

#include "platform/editor_app.h"

namespace stx {

// The option commands of the Settings, Options, UNIX text and Tools menus.
void OptionCommand(EditorApp& app, int command);
// The language commands 3700..3702.
void LanguageCommand(EditorApp& app, int command);

// The colour dialog, opened with `current`; its 16 custom colours are shared
// by every colour choice of the run.
std::optional<COLORREF> AskColour(HWND owner, COLORREF current);

// Starts, restarts or stops the caret timer for the settings in force.
void RestartCaretTimer(EditorApp& app);

// Timer 1 of the main window animates the caret.
constexpr UINT_PTR kCaretTimer = 1;

} // namespace stx
