#pragma once
// The text view: the child window that shows and edits the document and
// answers the edit-control messages the rest of the program drives it with.
#include <windows.h>

namespace stx {

extern const char kTextViewClass[];

bool RegisterTextViewClass(HINSTANCE instance);
// Unregisters the class and releases its pattern brush.
void UnregisterTextViewClass(HINSTANCE instance);
LRESULT CALLBACK TextViewProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

} // namespace stx
