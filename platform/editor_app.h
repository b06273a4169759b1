#pragma once
// The editor's process-wide state: the windows it built, the document and
// the settings in force. One instance, owned by the user-interface thread.
#include <windows.h>

#include <cstdint>
#include <string>

#include "app/command_line.h"
#include "app/menu_state.h"
#include "app/ui_language.h"

namespace stx {

struct EditorApp {
    HINSTANCE instance = nullptr;
    HWND main = nullptr;
    HWND toolbar = nullptr;
    HWND status = nullptr;
    HWND view = nullptr;
    HMENU menu = nullptr;
    HACCEL accelerators = nullptr;

    // Layout, recomputed on every resize.
    int toolbarHeight = 0;
    int viewHeight = 0;

    UiLanguage language = UiLanguage::English;
    bool ntPlatform = true;
    bool documentNamed = false;
    // The NTFS stream list's popup, kept across language switches.
    HMENU streamsPopup = nullptr;

    // The check marks the settings in force call for.
    MenuCheckState MenuChecks() const;
};

EditorApp& App();

// Registers the window classes and builds the main window with its toolbar,
// status bar and text view; opens `commandLine.file` when it is not empty.
bool StartEditor(HINSTANCE instance, const CommandLine& commandLine, int show);
// Runs until WM_QUIT; returns the exit code.
int RunMessageLoop();
// Releases what StartEditor created.
void ShutdownEditor();

} // namespace stx
