#pragma once
// The editor's process-wide state: the windows it built, the document's name
// and the settings in force. One instance, owned by the user-interface thread.
#include <windows.h>

#include <cstdint>
#include <string>

#include "app/command_line.h"
#include "app/menu_state.h"
#include "app/settings.h"
#include "app/status_texts.h"
#include "files/document_path.h"
#include "platform/registry_settings_store.h"

namespace stx {

struct EditorApp {
    HINSTANCE instance = nullptr;
    HWND main = nullptr;
    HWND toolbar = nullptr;
    HWND status = nullptr;
    HWND view = nullptr;
    HMENU menu = nullptr;
    HACCEL accelerators = nullptr;
    // The NTFS stream list's popup, kept across language switches.
    HMENU streamsPopup = nullptr;

    // Layout, recomputed on every resize.
    int toolbarHeight = 0;
    int viewHeight = 0;

    bool ntPlatform = true;
    // Set by the display-mode commands; F4 steps it. Nothing else reads it.
    uint8_t displayMode = 0;
    AppSettings settings;
    DocumentState document;

    UiLanguage Language() const { return settings.language; }
};

EditorApp& App();

// The registry behind the settings.
SettingsStore& Settings();
// Stores one setting's current value, if auto-save is on.
void WriteSetting(Setting setting);

// The main window's status bar: notices in part 0, line and column in 1 and 2.
StatusBar& Status();

// Registers the window classes and builds the main window with its toolbar,
// status bar and text view; opens `commandLine.file` when it is not empty.
bool StartEditor(HINSTANCE instance, const CommandLine& commandLine, int show);
// Runs until WM_QUIT; returns the exit code.
int RunMessageLoop();
// Releases what StartEditor created.
void ShutdownEditor();

} // namespace stx
