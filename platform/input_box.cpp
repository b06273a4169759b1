#include "platform/input_box.h"

#include <vector>

#include "app/command_ids.h"
#include "files/number.h"
#include "platform/failure_guard.h"
#include "platform/ui_text.h"

namespace stx {

namespace {

struct InputBoxState {
    const InputBoxRequest* request;
    std::string answer;
};

INT_PTR InputBoxMessage(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG: {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        auto* state = reinterpret_cast<InputBoxState*>(lParam);
        const InputBoxRequest& r = *state->request;
        if (r.caption) SetUiWindowText(dialog, r.caption);
        if (r.prompt) SetUiDlgItemText(dialog, IDC_INPUT_PROMPT, r.prompt);
        HWND edit = GetDlgItem(dialog, IDC_INPUT_EDIT);
        SendMessageA(edit, EM_LIMITTEXT, r.limit, 0);
        if (r.text) SetWindowTextA(edit, r.text);
        if (r.number) {
            char digits[24];
            digits[WriteDecimal(*r.number, digits)] = '\0';
            SetWindowTextA(edit, digits);
        }
        SetFocus(edit);
        SendMessageA(edit, EM_SETSEL, 0, -1);
        return FALSE; // the focus is set
    }
    case WM_COMMAND: {
        auto* state = reinterpret_cast<InputBoxState*>(GetWindowLongPtrA(dialog, DWLP_USER));
        switch (LOWORD(wParam)) {
        case IDC_DIALOG_OK:
        case IDOK: {
            std::vector<char> text(static_cast<size_t>(state->request->limit) + 1);
            int n =
                GetDlgItemTextA(dialog, IDC_INPUT_EDIT, text.data(), static_cast<int>(text.size()));
            state->answer.assign(text.data(), n > 0 ? static_cast<size_t>(n) : 0);
            EndDialog(dialog, IDC_DIALOG_OK);
            return TRUE;
        }
        case IDC_DIALOG_CANCEL:
            EndDialog(dialog, IDC_DIALOG_CANCEL);
            return TRUE;
        }
        break;
    }
    }
    return FALSE;
}

} // namespace

std::optional<std::string> InputBox(HWND owner, const InputBoxRequest& request) {
    InputBoxState state{&request, {}};
    const int id = DialogTemplateFor(request.templateId, request.language);
    // A Unicode dialog, so a prompt with Romanian letters shows them on any system.
    INT_PTR result =
        DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), owner,
                        GuardedDialogProc<InputBoxMessage>, reinterpret_cast<LPARAM>(&state));
    if (result != IDC_DIALOG_OK) return std::nullopt;
    return state.answer;
}

} // namespace stx
