#include "platform/find_replace.h"

#include <richedit.h>

#include <string>

#include "app/command_ids.h"
#include "app/ui_texts.h"
#include "files/number.h"
#include "platform/input_box.h"
#include "search/match_text.h"
#include "text/text_buffer.h"

namespace stx {

namespace {

// The fields hold 255 characters with the terminator.
constexpr int kFieldLimit = 255;

std::string FieldText(HWND dialog, int id) {
    char text[kFieldLimit + 1];
    const int n = GetDlgItemTextA(dialog, id, text, sizeof text);
    return std::string(text, n > 0 ? static_cast<size_t>(n) : 0);
}

void InitField(HWND dialog, int id, const std::string& text) {
    SendDlgItemMessageA(dialog, id, EM_LIMITTEXT, kFieldLimit, 0);
    SetDlgItemTextA(dialog, id, text.c_str());
}

void FocusField(HWND dialog, int id) {
    HWND field = GetDlgItem(dialog, id);
    SetFocus(field);
    SendMessageA(field, EM_SETSEL, 0, -1);
}

bool Checked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

// ---- Find ------------------------------------------------------------------------

INT_PTR CALLBACK FindProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    try {
        auto* memory = reinterpret_cast<SearchMemory*>(GetWindowLongPtrA(dialog, DWLP_USER));
        switch (msg) {
        case WM_INITDIALOG:
            SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            memory = reinterpret_cast<SearchMemory*>(lParam);
            InitField(dialog, IDC_FIND_WHAT, memory->searchText);
            CheckDlgButton(dialog, IDC_FIND_MATCH_CASE, (memory->flags & kMatchCase) ? 1 : 0);
            CheckDlgButton(dialog, IDC_FIND_WHOLE_WORDS, (memory->flags & kMatchWholeWord) ? 1 : 0);
            FocusField(dialog, IDC_FIND_WHAT);
            return FALSE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
            case IDC_DIALOG_OK:
            case IDOK:
                memory->searchText = SearchFieldText(FieldText(dialog, IDC_FIND_WHAT));
                memory->flags = (Checked(dialog, IDC_FIND_MATCH_CASE) ? kMatchCase : 0) |
                                (Checked(dialog, IDC_FIND_WHOLE_WORDS) ? kMatchWholeWord : 0);
                EndDialog(dialog, IDC_DIALOG_OK);
                return TRUE;
            case IDC_DIALOG_CANCEL:
                EndDialog(dialog, IDC_DIALOG_CANCEL);
                return TRUE;
            }
            break;
        }
    } catch (...) {
        EndDialog(dialog, IDC_DIALOG_CANCEL);
    }
    return FALSE;
}

// ---- Replace -----------------------------------------------------------------------

struct ReplaceState {
    ReplaceSession* session;
    ViewSearchTarget* target;
    SearchMemory* memory;
    UiLanguage language;
    bool relabelled = false;
};

void RelabelFirstButton(HWND dialog, ReplaceState& state) {
    if (state.relabelled || !state.session->FirstButtonReplaces()) return;
    SetDlgItemTextA(dialog, IDC_REPLACE_FIND_FIRST, ChooseText(state.language, kReplaceButton));
    state.relabelled = true;
}

INT_PTR CALLBACK ReplaceProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    try {
        auto* state = reinterpret_cast<ReplaceState*>(GetWindowLongPtrA(dialog, DWLP_USER));
        switch (msg) {
        case WM_INITDIALOG:
            SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            state = reinterpret_cast<ReplaceState*>(lParam);
            state->target->SetReportOwner(dialog);
            InitField(dialog, IDC_REPLACE_WHAT, state->memory->searchText);
            InitField(dialog, IDC_REPLACE_WITH, state->memory->replaceText);
            CheckDlgButton(dialog, IDC_REPLACE_MATCH_CASE,
                           (state->memory->flags & kMatchCase) ? 1 : 0);
            CheckDlgButton(dialog, IDC_REPLACE_WHOLE_WORDS,
                           (state->memory->flags & kMatchWholeWord) ? 1 : 0);
            FocusField(dialog, IDC_REPLACE_WHAT);
            return FALSE;
        case WM_COMMAND: {
            ReplaceSession& session = *state->session;
            switch (LOWORD(wParam)) {
            case IDC_REPLACE_MATCH_CASE:
                session.SetOption(kMatchCase, Checked(dialog, IDC_REPLACE_MATCH_CASE));
                return TRUE;
            case IDC_REPLACE_WHOLE_WORDS:
                session.SetOption(kMatchWholeWord, Checked(dialog, IDC_REPLACE_WHOLE_WORDS));
                return TRUE;
            case IDC_REPLACE_FIND_NEXT:
                session.FindNext(FieldText(dialog, IDC_REPLACE_WHAT));
                RelabelFirstButton(dialog, *state);
                return TRUE;
            case IDC_REPLACE_FIND_FIRST:
            case IDOK:
                session.FirstButton(FieldText(dialog, IDC_REPLACE_WHAT),
                                    FieldText(dialog, IDC_REPLACE_WITH));
                RelabelFirstButton(dialog, *state);
                return TRUE;
            case IDC_REPLACE_ALL_NEXT:
                if (session.ReplaceAll(FieldText(dialog, IDC_REPLACE_WHAT),
                                       FieldText(dialog, IDC_REPLACE_WITH)))
                    EndDialog(dialog, IDC_REPLACE_ALL_NEXT);
                return TRUE;
            case IDC_DIALOG_CANCEL:
                session.Close(FieldText(dialog, IDC_REPLACE_WHAT),
                              FieldText(dialog, IDC_REPLACE_WITH));
                EndDialog(dialog, IDC_DIALOG_CANCEL);
                return TRUE;
            }
            break;
        }
        }
    } catch (...) {
        EndDialog(dialog, IDC_DIALOG_CANCEL);
    }
    return FALSE;
}

} // namespace

// ---- the view's messages -------------------------------------------------------------

int64_t ViewSearchTarget::Find(uint32_t start, std::string_view text, uint32_t flags) {
    const std::string zeroTerminated(text);
    FINDTEXTA find{};
    find.chrg.cpMin = static_cast<LONG>(start);
    find.chrg.cpMax = -1;
    find.lpstrText = zeroTerminated.c_str();
    const LRESULT at = SendMessageA(view_, EM_FINDTEXT, flags, reinterpret_cast<LPARAM>(&find));
    return at < 0 ? -1 : static_cast<int64_t>(static_cast<uint32_t>(at));
}

void ViewSearchTarget::GetSelection(uint32_t& start, uint32_t& end) {
    CHARRANGE range{};
    SendMessageA(view_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    start = static_cast<uint32_t>(range.cpMin);
    end = static_cast<uint32_t>(range.cpMax);
}

void ViewSearchTarget::Select(uint32_t start, uint32_t end) {
    CHARRANGE range{static_cast<LONG>(start), static_cast<LONG>(end)};
    SendMessageA(view_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

void ViewSearchTarget::ScrollCaret() {
    SendMessageA(view_, EM_SCROLLCARET, 0, 0);
}

bool ViewSearchTarget::ReplaceSelection(std::string_view text) {
    const std::string zeroTerminated(text);
    SendMessageA(view_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(zeroTerminated.c_str()));
    // A replaced selection is gone; one that could not be replaced is still there.
    uint32_t start, end;
    GetSelection(start, end);
    return start == end;
}

void ViewSearchTarget::ReportNotFound() {
    MessageBoxA(reportOwner_, ChooseText(language_, kTextNotFound),
                ChooseText(language_, kFindTextCaption), MB_OK);
}

// ---- the commands ------------------------------------------------------------------------

void FindCommand(HWND owner, HWND view, UiLanguage language, SearchMemory& memory) {
    SearchMemory edited = memory;
    const INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr),
                                           MAKEINTRESOURCEA(DialogTemplateFor(IDD_FIND, language)),
                                           owner, FindProc, reinterpret_cast<LPARAM>(&edited));
    if (result == IDC_DIALOG_OK) {
        memory = edited;
        ViewSearchTarget target(view, language);
        FindFromDialog(target, memory);
    }
    SetFocus(view);
}

void FindNextCommand(HWND owner, HWND view, UiLanguage language, SearchMemory& memory) {
    ViewSearchTarget target(view, language);
    if (!FindNext(target, memory)) FindCommand(owner, view, language, memory);
}

void ReplaceCommand(HWND owner, HWND view, UiLanguage language, SearchMemory& memory) {
    ViewSearchTarget target(view, language);
    ReplaceSession session(memory, target);
    ReplaceState state{&session, &target, &memory, language};
    DialogBoxParamA(GetModuleHandleA(nullptr),
                    MAKEINTRESOURCEA(DialogTemplateFor(IDD_REPLACE, language)), owner, ReplaceProc,
                    reinterpret_cast<LPARAM>(&state));
    if (session.Count() > 0) {
        const std::string text =
            ChooseText(language, kTotalReplaces) + DecimalText(session.Count());
        MessageBoxA(owner, text.c_str(), ChooseText(language, kFindTextCaption), MB_OK);
    }
    SetFocus(view);
}

void GoToLineCommand(HWND owner, HWND view, UiLanguage language, const TextBuffer& buffer,
                     uint32_t caretLine) {
    InputBoxRequest request;
    request.templateId = IDD_GOTO_LINE;
    request.english = language == UiLanguage::English;
    request.number = caretLine;
    const std::optional<std::string> typed = InputBox(owner, request);
    if (typed) {
        ViewSearchTarget target(view, language);
        GoToLine(target, buffer, *typed);
    }
    SetFocus(view);
}

} // namespace stx
