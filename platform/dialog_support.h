#pragma once
// What the search and tool dialogs share: their state handed to every
// message, the guard that keeps exceptions inside the dialog procedure, and
// reading their fields.
#include <windows.h>

#include <string>

#include "app/command_ids.h"
#include "app/ui_language.h"
#include "platform/failure_guard.h"

namespace stx {

// A field's text in the system's code page, at most maxLength characters.
std::string DialogItemText(HWND dialog, int id, int maxLength);
bool DialogItemChecked(HWND dialog, int id);

// The OK and Cancel buttons: OK closes the dialog when accept() agrees,
// Cancel closes it. False for any other control.
template <typename Accept> bool OkOrCancel(HWND dialog, int id, Accept&& accept) {
    if (id == IDC_DIALOG_OK || id == IDOK) {
        if (accept()) EndDialog(dialog, IDC_DIALOG_OK);
        return true;
    }
    if (id == IDC_DIALOG_CANCEL) {
        EndDialog(dialog, IDC_DIALOG_CANCEL);
        return true;
    }
    return false;
}

// Handles one message with the dialog's state.
template <typename State>
using DialogHandler = INT_PTR (*)(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam,
                                  State& state);

template <typename State, DialogHandler<State> Handle>
INT_PTR CALLBACK GuardedDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    auto* state = reinterpret_cast<State*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!state) return FALSE;
    INT_PTR result = TRUE;
    GuardWindowMessage(dialog, msg, [&] { result = Handle(dialog, msg, wParam, lParam, *state); });
    return result;
}

// The modal dialog of the language's template (a Unicode dialog, so the
// program's texts show right on any system), its procedure given state.
template <typename State, DialogHandler<State> Handle>
INT_PTR ShowDialog(HWND owner, int englishTemplate, UiLanguage language, State& state) {
    return DialogBoxParamW(GetModuleHandleW(nullptr),
                           MAKEINTRESOURCEW(DialogTemplateFor(englishTemplate, language)), owner,
                           GuardedDialogProc<State, Handle>, reinterpret_cast<LPARAM>(&state));
}

} // namespace stx
