#pragma once
// Starting and stopping the editor: the windows, the settings applied, the
// message loop.
#include <windows.h>

#include "app/command_line.h"
#include "platform/editor_app.h"

namespace stx {

// Registers the window classes and builds the main window with its toolbar,
// status bar and text view; opens `commandLine.file` when it is not empty.
bool StartEditor(EditorApp& app, HINSTANCE instance, const CommandLine& commandLine, int show);
// Runs until WM_QUIT; returns the exit code.
int RunMessageLoop(EditorApp& app);
// Releases what StartEditor created.
void ShutdownEditor(EditorApp& app);

} // namespace stx
