#include "platform/text_window.h"

#include <richedit.h>

#include <string>

#include "app/command_ids.h"
#include "platform/failure_guard.h"

namespace stx {

namespace {

struct TextWindowState {
    std::string caption;
    std::string text;
    bool readOnly;
};

INT_PTR TextWindowMessage(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG: {
        const auto* state = reinterpret_cast<const TextWindowState*>(lParam);
        SetWindowTextA(dialog, state->caption.c_str());
        HWND edit = GetDlgItem(dialog, IDC_HELP_TEXT);
        // Texts of any length: the control's default limit is 32 KB.
        SendMessageA(edit, EM_EXLIMITTEXT, 0, static_cast<LPARAM>(state->text.size() + 1));
        SetWindowTextA(edit, state->text.c_str());
        if (state->readOnly) SendMessageA(edit, EM_SETREADONLY, TRUE, 0);
        SetFocus(GetDlgItem(dialog, IDCANCEL));
        return FALSE; // the focus is set
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

} // namespace

bool ShowTextWindow(HWND owner, std::string_view caption, std::string_view text, bool readOnly) {
    // RichEdit 1.0 registers its window class when its library is loaded; it
    // stays loaded for the rest of the run.
    static HMODULE richEdit = LoadLibraryA("Riched32.dll");
    if (!richEdit) return false;
    TextWindowState state{std::string(caption), std::string(text), readOnly};
    const INT_PTR result =
        DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_HELP_TEXT), owner,
                        GuardedDialogProc<TextWindowMessage>, reinterpret_cast<LPARAM>(&state));
    return result != -1 && result != 0;
}

} // namespace stx
