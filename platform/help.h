#pragma once
// Help: the About box, the custom help file dialog and the calls to the help
// viewer with the user's help file.
#include <windows.h>

#include "app/ui_language.h"

#include <cstdint>
#include <string>

namespace stx {

class EditorApp;

// The commands of the Help menu: About (6010), the two help texts (6011,
// 6012), the custom help file dialog (6014), the help file (6015) and the
// topic search for the word at the caret (6016).
void HelpCommand(EditorApp& app, int command);
// F1, which arrives at the main window as WM_HELP.
void HelpKeyPressed(EditorApp& app);
// When the main window is destroyed: closes the help viewer if asked to.
void CloseHelpOnExit(EditorApp& app);

// The About box: the product, its version and a line in the UI language.
void ShowAboutBox(HWND owner, UiLanguage language);

// The custom help file dialog (810 / 811). On OK the file name and the two
// option bits take the dialog's values (whether help was used is kept) and
// true is returned; Cancel changes nothing.
bool ShowCustomHelpDialog(HWND owner, UiLanguage language, std::string& helpFile,
                          std::uint8_t& helpOptions);

// The help viewer, WinHelpA unless a test puts its own in.
using HelpViewerCall = BOOL(WINAPI*)(HWND, LPCSTR, UINT, ULONG_PTR);
void SetHelpViewerForTests(HelpViewerCall call);

// F1 and "Custom helpfile": the help file's contents (or index; both are the
// same call). Marks help as used.
void OpenHelpFile(HWND owner, const std::string& helpFile, std::uint8_t& helpOptions);
// F1 arrives as WM_HELP; with Ctrl held it belongs to the topic search.
void OnHelpKey(HWND owner, const std::string& helpFile, std::uint8_t& helpOptions);
// Topic search: the keyword in the help file's index. Marks help as used.
void SearchHelpTopic(HWND owner, const std::string& helpFile, const std::string& keyword,
                     std::uint8_t& helpOptions);
// At the end of the program: closes the help viewer when the options ask for
// it and help was used during this or an earlier run.
void CloseHelpViewer(HWND owner, const std::string& helpFile, std::uint8_t helpOptions);

} // namespace stx
