#pragma once
// The open and save file dialogs as every command asks them: a name buffer as
// large as a path, the current folder to start in, long names, no read-only box.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace stx {

struct FileDialog {
    HWND owner = nullptr;
    const char* filter = nullptr; // (description, pattern) pairs, each NUL-ended, then a NUL
    DWORD filterIndex = 1;
    const char* title = nullptr;
    std::string_view initialName;
    const char* defaultExtension = nullptr; // added to a name typed without one
    bool save = false;                      // the save dialog, which asks before overwriting
};

// The chosen name, or nothing when the dialog was cancelled.
std::optional<std::string> AskFileName(const FileDialog& request);

} // namespace stx
