#pragma once
// The Options menu and the other commands that change a setting: each changes
// the setting in force, moves its check mark, stores it and repaints.
#include <windows.h>

namespace stx {

// Handles an option command; false when `command` is not one.
bool HandleOptionCommand(int command);

// Starts, restarts or stops the caret timer for the settings in force.
void RestartCaretTimer();

// Timer 1 of the main window animates the caret.
constexpr UINT_PTR kCaretTimer = 1;

} // namespace stx
