#pragma once
// What the tool dialogs share: their state handed to every message, a guard
// that keeps exceptions inside the dialog procedure, and reading fields.
#include <windows.h>

#include <string>

#include "app/ui_language.h"

namespace stx {

// A field's text, at most maxLength characters.
std::string DialogItemText(HWND dialog, int id, int maxLength);
bool DialogItemChecked(HWND dialog, int id);

// The box shown when a dialog's work ran out of memory; nothing was changed.
void ReportDialogFailure(HWND dialog, UiLanguage language);

// Handles one message with the dialog's state (State has a `language`).
template <typename State>
using DialogHandler = INT_PTR (*)(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam,
                                  State& state);

template <typename State, DialogHandler<State> Handle>
INT_PTR CALLBACK GuardedDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    auto* state = reinterpret_cast<State*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (!state) return FALSE;
    try {
        return Handle(dialog, msg, wParam, lParam, *state);
    } catch (...) {
        ReportDialogFailure(dialog, state->language);
        return TRUE;
    }
}

// The modal dialog of the language's template, its procedure given state.
template <typename State, DialogHandler<State> Handle>
INT_PTR ShowDialog(HWND owner, int englishTemplate, State& state) {
    return DialogBoxParamA(GetModuleHandleA(nullptr),
                           MAKEINTRESOURCEA(DialogTemplateFor(englishTemplate, state.language)),
                           owner, GuardedDialogProc<State, Handle>,
                           reinterpret_cast<LPARAM>(&state));
}

} // namespace stx
