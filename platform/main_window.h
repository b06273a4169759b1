#pragma once
#include <windows.h>

namespace stx {

extern const char kMainWindowClass[];

bool RegisterMainWindowClass(HINSTANCE instance);
LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Creates the toolbar and status bar of the main window.
void CreateMainChildren(HWND main);
// Loads and attaches the menu of the current UI language, keeping the NTFS
// stream popup, and sets its check marks from the settings in force.
void ApplyLanguage();
// Sets every check mark of the menu from the settings in force.
void ApplyMenuChecks();
// The title of a document without a name.
void SetUntitledTitle();
// Stores the window's placement (while auto-save is on).
void StoreWindowPlacement();
// Places toolbar, text view and status bar in the client area.
void LayoutMainWindow(HWND main);

} // namespace stx
