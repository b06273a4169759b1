#pragma once
// The main window: toolbar, text view and status bar, and the switchboard that
// turns its messages into the program's commands.
#include <windows.h>

#include "platform/editor_app.h"

namespace stx {

extern const wchar_t kMainWindowClassW[];

bool RegisterMainWindowClass(HINSTANCE instance);
LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Creates the toolbar and status bar of the main window.
void CreateMainChildren(EditorApp& app);
// Places toolbar, text view and status bar in the client area.
void LayoutMainWindow(EditorApp& app);

} // namespace stx
