#include "platform/help.h"

#include "app/command_ids.h"
#include "app/help_lookup.h"
#include "app/help_texts.h"
#include "app/settings.h"
#include "app/ui_texts.h"
#include "platform/editor_app.h"
#include "platform/failure_guard.h"
#include "platform/file_dialog.h"
#include "platform/report_error.h"
#include "platform/text_window.h"
#include "platform/ui_text.h"

#include <vector>

namespace stx {

namespace {

HelpViewerCall viewer = WinHelpA;

constexpr DWORD kNameBufferSize = kPathCapacity + 1;

struct HelpFileDialog {
    UiLanguage language;
    std::string& file;
    std::uint8_t& options;
};

std::string FieldText(HWND dialog) {
    std::vector<char> text(kNameBufferSize, '\0');
    GetDlgItemTextA(dialog, IDC_HELPFILE_NAME, text.data(), kNameBufferSize);
    return text.data();
}

void BrowseForHelpFile(HWND dialog, UiLanguage language) {
    FileDialogRequest request;
    request.owner = dialog;
    request.filter = ChooseText(language, kHelpFileFilter);
    request.title = ChooseText(language, kOpenTitle);
    request.defaultExtension = "hlp";
    request.initialDirectory = ".";
    request.initialName = FieldText(dialog);
    if (const std::optional<std::string> name = AskOpenFileName(request))
        SetDlgItemTextA(dialog, IDC_HELPFILE_NAME, name->c_str());
}

INT_PTR HelpFileCommand(HWND dialog, HelpFileDialog& state, int command) {
    switch (command) {
    case IDC_HELPFILE_BROWSE:
        BrowseForHelpFile(dialog, state.language);
        return TRUE;
    case IDC_DIALOG_OK:
        state.file = FieldText(dialog);
        state.options = HelpOptionsFromDialog(
            state.options, IsDlgButtonChecked(dialog, IDC_HELPFILE_CLOSE_ON_EXIT) == BST_CHECKED,
            IsDlgButtonChecked(dialog, IDC_HELPFILE_F1_INDEX) == BST_CHECKED);
        EndDialog(dialog, IDC_DIALOG_OK);
        return TRUE;
    case IDC_DIALOG_CANCEL:
        EndDialog(dialog, IDC_DIALOG_CANCEL);
        return TRUE;
    }
    return FALSE;
}

INT_PTR HelpFileMessage(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        const auto& state = *reinterpret_cast<HelpFileDialog*>(lParam);
        CheckDlgButton(dialog, IDC_HELPFILE_CLOSE_ON_EXIT,
                       (state.options & kHelpCloseOnExit) ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(dialog, IDC_HELPFILE_F1_INDEX,
                       (state.options & kHelpF1GoesToIndex) ? BST_CHECKED : BST_UNCHECKED);
        SendDlgItemMessageA(dialog, IDC_HELPFILE_NAME, EM_LIMITTEXT, kPathCapacity, 0);
        SetDlgItemTextA(dialog, IDC_HELPFILE_NAME, state.file.c_str());
        return TRUE;
    }
    auto* state = reinterpret_cast<HelpFileDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (msg == WM_COMMAND && state) return HelpFileCommand(dialog, *state, LOWORD(wParam));
    return FALSE;
}

} // namespace

void ShowAboutBox(HWND owner, UiLanguage language) {
    ShowUiMessage(owner, AboutText(language), kProductName, MB_OK | MB_ICONINFORMATION);
}

bool ShowCustomHelpDialog(HWND owner, UiLanguage language, std::string& helpFile,
                          std::uint8_t& helpOptions) {
    HelpFileDialog state{language, helpFile, helpOptions};
    const int templateId = DialogTemplateFor(IDD_CUSTOM_HELP, language);
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), owner,
                           GuardedDialogProc<HelpFileMessage>,
                           reinterpret_cast<LPARAM>(&state)) == IDC_DIALOG_OK;
}

void SetHelpViewerForTests(HelpViewerCall call) {
    viewer = call ? call : WinHelpA;
}

void OpenHelpFile(HWND owner, const std::string& helpFile, std::uint8_t& helpOptions) {
    // The index and the contents are one and the same call.
    const UINT command = (helpOptions & kHelpF1GoesToIndex) ? HELP_INDEX : HELP_CONTENTS;
    viewer(owner, helpFile.c_str(), command, 0);
    helpOptions |= kHelpUsed;
}

void OnHelpKey(HWND owner, const std::string& helpFile, std::uint8_t& helpOptions) {
    if (GetKeyState(VK_CONTROL) < 0) return;
    OpenHelpFile(owner, helpFile, helpOptions);
}

void SearchHelpTopic(HWND owner, const std::string& helpFile, const std::string& keyword,
                     std::uint8_t& helpOptions) {
    viewer(owner, helpFile.c_str(), HELP_PARTIALKEY, reinterpret_cast<ULONG_PTR>(keyword.c_str()));
    helpOptions |= kHelpUsed;
}

void CloseHelpViewer(HWND owner, const std::string& helpFile, std::uint8_t helpOptions) {
    if (ClosesHelpOnExit(helpOptions)) viewer(owner, helpFile.c_str(), HELP_QUIT, 0);
}

// ---- Commands ---------------------------------------------------------------

namespace {

void ShowHelpText(EditorApp& app, const BilingualText& caption, const std::string& text) {
    if (!ShowTextWindow(app.main, ChooseText(app.Language(), caption), text, false))
        ReportLastError(app.main);
}

// The word at the caret, or at the start of the selection.
std::string KeywordAtCaret(EditorApp& app) {
    DWORD start = 0;
    DWORD end = 0;
    SendMessageA(app.view, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    return HelpKeywordAt(app.editor.Buffer(), start < end ? start : end);
}

} // namespace

void HelpCommand(EditorApp& app, int command) {
    AppSettings& s = app.settings;
    switch (command) {
    case IDM_HELP_ABOUT:
        ShowAboutBox(app.main, app.Language());
        break;
    case IDM_HELP_EDITOR:
        ShowHelpText(app, kEditorHelpTitle, EditorKeyHelpText(app.Language()));
        break;
    case IDM_HELP_COMPILER:
        ShowHelpText(app, kCompilerHelpTitle, ScriptHelpText(app.Language()));
        break;
    case IDM_HELP_DEFINE:
        if (ShowCustomHelpDialog(app.main, app.Language(), s.customHelpFile, s.helpOptions)) {
            app.WriteSetting(Setting::CustomHelpFile);
            app.WriteSetting(Setting::HelpOptions);
        }
        break;
    case IDM_HELP_CUSTOM_FILE:
        OpenHelpFile(app.main, s.customHelpFile, s.helpOptions);
        break;
    case IDM_HELP_TOPIC_SEARCH:
        SearchHelpTopic(app.main, s.customHelpFile, KeywordAtCaret(app), s.helpOptions);
        break;
    }
}

void HelpKeyPressed(EditorApp& app) {
    OnHelpKey(app.main, app.settings.customHelpFile, app.settings.helpOptions);
}

void CloseHelpOnExit(EditorApp& app) {
    CloseHelpViewer(app.main, app.settings.customHelpFile, app.settings.helpOptions);
}

} // namespace stx
