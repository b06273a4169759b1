#include "platform/find_replace.h"

#include <richedit.h>

#include <string>

#include "app/command_ids.h"
#include "app/ui_texts.h"
#include "files/number.h"
#include "platform/dialog_support.h"
#include "platform/input_box.h"
#include "platform/ui_text.h"
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
    return OkOrCancel(dialog, LOWORD(wParam), [&] {
        memory.searchText = SearchFieldText(FieldText(dialog, IDC_FIND_WHAT));
        memory.flags = (DialogItemChecked(dialog, IDC_FIND_MATCH_CASE) ? kMatchCase : 0) |
                       (DialogItemChecked(dialog, IDC_FIND_WHOLE_WORDS) ? kMatchWholeWord : 0);
        return true;
    });
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
    SetUiDlgItemText(dialog, IDC_REPLACE_FIND_FIRST, ChooseText(state.language, kReplaceButton));
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

std::optional<uint32_t> ViewSearchTarget::Find(uint32_t start, std::string_view text,
                                               uint32_t flags) {
    const std::string zeroTerminated(text);
    FINDTEXTA find{};
    find.chrg.cpMin = static_cast<LONG>(start);
    find.chrg.cpMax = -1;
    find.lpstrText = zeroTerminated.c_str();
    const LRESULT at = SendMessageA(view_, EM_FINDTEXT, flags, reinterpret_cast<LPARAM>(&find));
    if (at < 0) return std::nullopt;
    return static_cast<uint32_t>(at);
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
    ShowUiMessage(reportOwner_, ChooseText(language_, kTextNotFound),
                  ChooseText(language_, kFindTextCaption), MB_OK);
}

// ---- the commands ------------------------------------------------------------------------

namespace {

void OpenFindDialog(EditorApp& app) {
    FindState state{app.search, app.Language()};
    if (ShowDialog<FindState, HandleFind>(app.main, IDD_FIND, app.Language(), state) ==
        IDC_DIALOG_OK) {
        app.search = state.memory;
        ViewSearchTarget target(app.view, app.Language());
        FindFromDialog(target, app.search);
    }
}

void OpenReplaceDialog(EditorApp& app) {
    const UiLanguage language = app.Language();
    ViewSearchTarget target(app.view, language);
    ReplaceSession session(app.search, target);
    ReplaceState state{session, target, app.search, language};
    ShowDialog<ReplaceState, HandleReplace>(app.main, IDD_REPLACE, language, state);
    if (session.Count() > 0) {
        const std::string text =
            ChooseText(language, kTotalReplaces) + DecimalText(session.Count());
        ShowUiMessage(app.main, text, ChooseText(language, kFindTextCaption), MB_OK);
    }
}

void AskLineAndGo(EditorApp& app) {
    InputBoxRequest request;
    request.templateId = IDD_GOTO_LINE;
    request.language = app.Language();
    // The caret's line is the first answer offered.
    request.number = app.editor.GetCaret().line;
    const std::optional<std::string> typed = InputBox(app.main, request);
    if (!typed) return;
    ViewSearchTarget target(app.view, app.Language());
    GoToLine(target, app.editor.Buffer(), *typed);
}

} // namespace

void SearchCommand(EditorApp& app, int command) {
    switch (command) {
    case IDM_EDIT_FIND:
        OpenFindDialog(app);
        break;
    case IDM_EDIT_FIND_NEXT: {
        ViewSearchTarget target(app.view, app.Language());
        if (!FindNext(target, app.search)) OpenFindDialog(app);
        break;
    }
    case IDM_EDIT_GOTO_LINE:
        AskLineAndGo(app);
        break;
    case IDM_EDIT_REPLACE:
        OpenReplaceDialog(app);
        break;
    }
    SetFocus(app.view);
}

} // namespace stx
