#pragma once
// The open and save dialogs of every command that asks for a file name.
#include <windows.h>

#include <commdlg.h>

#include <optional>
#include <string>

namespace stx {

struct FileDialogRequest {
    HWND owner = nullptr;
    // Program texts: the filter list ("description\0pattern\0...\0") and the title.
    const char* filter = nullptr;
    const char* title = nullptr;
    DWORD filterIndex = 1;
    const char* defaultExtension = nullptr;
    const char* initialDirectory = nullptr;
    std::string initialName; // in the system's code page
    DWORD flags = OFN_HIDEREADONLY | OFN_EXPLORER | OFN_LONGNAMES;
};

// The chosen name in the system's code page (the form the ANSI file calls
// take), or nothing when the dialog was cancelled. A name that has no form in
// that code page is refused with the system's error box.
std::optional<std::string> AskOpenFileName(const FileDialogRequest& request);
std::optional<std::string> AskSaveFileName(const FileDialogRequest& request);

} // namespace stx
