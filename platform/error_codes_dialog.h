#pragma once
// The Windows error codes dialog: look a code up by number or pick it from a
// list of every catalogue record, and read its details and what Windows (or
// a named module's message table) says about it.
#include <windows.h>

namespace stx {

class EditorApp;

// Shows the dialog modally, owned by `owner`; it is the same in every UI
// language. A dialog that cannot be created is reported with ReportLastError.
void ShowErrorCodesDialog(HWND owner);

// The Help menu's "Microsoft Windows Errors" (Ctrl+E): the dialog over the main window.
void ErrorCodesCommand(EditorApp& app, int command);

} // namespace stx
