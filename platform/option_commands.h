#pragma once
// The Options menu and the other commands that change a setting: each changes
// the setting in force, moves its check mark, stores it and repaints.
#include <windows.h>

#include "platform/editor_app.h"

namespace stx {

// The option commands of the Settings, Options, UNIX text and Tools menus.
void OptionCommand(EditorApp& app, int command);
// The language commands 3700..3702.
void LanguageCommand(EditorApp& app, int command);

// Starts, restarts or stops the caret timer for the settings in force.
void RestartCaretTimer(EditorApp& app);

// Timer 1 of the main window animates the caret.
constexpr UINT_PTR kCaretTimer = 1;

} // namespace stx
