#include "platform/find_replace.h"

#include <richedit.h>

#include <string>

#include "app/command_ids.h"
#include "app/ui_texts.h"
#include "files/number.h"
#include "platform/dialog_support.h"
#include "platform/input_box.h"
#include "search/match_text.h"
#include "text/text_buffer.h"

namespace stx {

namespace {

// The fields hold 255 characters with the terminator.
constexpr int kFieldLimit = 255;

std::string FieldText(HWND dialog, int id) {
    return DialogItemText(dialog, id, kFieldLimit - 1);
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

void ShowOptions(HWND dialog, int matchCase, int wholeWords, uint32_t flags) {
    CheckDlgButton(dialog, matchCase, (flags & kMatchCase) ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, wholeWords, (flags & kMatchWholeWord) ? BST_CHECKED : BST_UNCHECKED);
}

// ---- Find ------------------------------------------------------------------------

struct FindState {
    SearchMemory memory; // what OK stores
    UiLanguage language;
};

INT_PTR HandleFind(HWND dialog, UINT msg, WPARAM wParam, LPARAM, FindState& state) {
    SearchMemory& memory = state.memory;
    if (msg == WM_INITDIALOG) {
        InitField(dialog, IDC_FIND_WHAT, memory.searchText);
        ShowOptions(dialog, IDC_FIND_MATCH_CASE, IDC_FIND_WHOLE_WORDS, memory.flags);
        FocusField(dialog, IDC_FIND_WHAT);
        return FALSE;
    }
    if (msg != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
    case IDC_DIALOG_OK:
    case IDOK:
        memory.searchText = SearchFieldText(FieldText(dialog, IDC_FIND_WHAT));
        memory.flags = (DialogItemChecked(dialog, IDC_FIND_MATCH_CASE) ? kMatchCase : 0) |
                       (DialogItemChecked(dialog, IDC_FIND_WHOLE_WORDS) ? kMatchWholeWord : 0);
        EndDialog(dialog, IDC_DIALOG_OK);
        return TRUE;
    case IDC_DIALOG_CANCEL:
        EndDialog(dialog, IDC_DIALOG_CANCEL);
        return TRUE;
    }
    return FALSE;
}

// ---- Replace -----------------------------------------------------------------------

struct ReplaceState {
    ReplaceSession& session;
    ViewSearchTarget& target;
    SearchMemory& memory;
    UiLanguage language;
    bool relabelled = false;
};

void RelabelFirstButton(HWND dialog, ReplaceState& state) {
    if (state.relabelled || !state.session.FirstButtonReplaces()) return;
    SetDlgItemTextA(dialog, IDC_REPLACE_FIND_FIRST, ChooseText(state.language, kReplaceButton));
    state.relabelled = true;
}

INT_PTR HandleReplace(HWND dialog, UINT msg, WPARAM wParam, LPARAM, ReplaceState& state) {
    if (msg == WM_INITDIALOG) {
        state.target.SetReportOwner(dialog);
        InitField(dialog, IDC_REPLACE_WHAT, state.memory.searchText);
        InitField(dialog, IDC_REPLACE_WITH, state.memory.replaceText);
        ShowOptions(dialog, IDC_REPLACE_MATCH_CASE, IDC_REPLACE_WHOLE_WORDS, state.memory.flags);
        FocusField(dialog, IDC_REPLACE_WHAT);
        return FALSE;
    }
    if (msg != WM_COMMAND) return FALSE;
    ReplaceSession& session = state.session;
    switch (LOWORD(wParam)) {
    case IDC_REPLACE_MATCH_CASE:
        session.SetOption(kMatchCase, DialogItemChecked(dialog, IDC_REPLACE_MATCH_CASE));
        return TRUE;
    case IDC_REPLACE_WHOLE_WORDS:
        session.SetOption(kMatchWholeWord, DialogItemChecked(dialog, IDC_REPLACE_WHOLE_WORDS));
        return TRUE;
    case IDC_REPLACE_FIND_NEXT:
        session.FindNext(FieldText(dialog, IDC_REPLACE_WHAT));
        RelabelFirstButton(dialog, state);
        return TRUE;
    case IDC_REPLACE_FIND_FIRST:
    case IDOK:
        session.FirstButton(FieldText(dialog, IDC_REPLACE_WHAT),
                            FieldText(dialog, IDC_REPLACE_WITH));
        RelabelFirstButton(dialog, state);
        return TRUE;
    case IDC_REPLACE_ALL_NEXT:
        if (session.ReplaceAll(FieldText(dialog, IDC_REPLACE_WHAT),
                               FieldText(dialog, IDC_REPLACE_WITH)))
            EndDialog(dialog, IDC_REPLACE_ALL_NEXT);
        return TRUE;
    case IDC_DIALOG_CANCEL:
        session.Close(FieldText(dialog, IDC_REPLACE_WHAT), FieldText(dialog, IDC_REPLACE_WITH));
        EndDialog(dialog, IDC_DIALOG_CANCEL);
        return TRUE;
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
    FindState state{memory, language};
    if (ShowDialog<FindState, HandleFind>(owner, IDD_FIND, state) == IDC_DIALOG_OK) {
        memory = state.memory;
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
    ReplaceState state{session, target, memory, language};
    ShowDialog<ReplaceState, HandleReplace>(owner, IDD_REPLACE, state);
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
