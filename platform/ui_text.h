#pragma once
// The program's own texts on screen. Texts built in code hold Windows-1250
// bytes (the Romanian letters), but the ANSI calls read their bytes in the
// system's code page, which turns those letters into others on most systems.
// So they go to the system as UTF-16, converted from code page 1250; paths and
// other text from the system stay in the system's code page.
#include <windows.h>

#include <string>
#include <string_view>

namespace stx {

// A text of the program (English, Romanian, Romanian with diacritics).
std::wstring WideUiText(std::string_view text);
// A text in the system's code page (file names, the system's messages).
std::wstring WideSystemText(std::string_view text);
// Back to the system's code page; nothing when a character has no form there
// (a file name the ANSI calls could not open).
bool NarrowSystemText(std::wstring_view text, std::string& out);

// A message box whose text and caption are the program's texts.
int ShowUiMessage(HWND owner, std::string_view text, std::string_view caption, UINT type);
// The same with a text already converted (a program text joined with a path).
int ShowUiMessage(HWND owner, const std::wstring& text, std::string_view caption, UINT type);
BOOL SetUiWindowText(HWND window, std::string_view text);
BOOL SetUiDlgItemText(HWND dialog, int item, std::string_view text);
BOOL AppendUiMenuItem(HMENU menu, UINT flags, UINT_PTR command, std::string_view text);

} // namespace stx
