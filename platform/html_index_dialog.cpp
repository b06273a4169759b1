#include "platform/html_index_dialog.h"

#include <shlobj.h>

#include <string>
#include <vector>

#include "app/command_ids.h"
#include "app/status_texts.h"
#include "app/ui_texts.h"
#include "platform/dialog_support.h"
#include "platform/input_box.h"
#include "platform/option_commands.h"
#include "platform/ui_text.h"
#include "platform/win32_directory_source.h"
#include "tools/html_index.h"

namespace stx {

namespace {

constexpr int kDirectoryLength = 8191;
constexpr int kRootPathLength = 7999;
constexpr int kDescriptionFileLength = 8191;

struct HtmlIndexState {
    UiLanguage language;
    IndexColours& colours;
    StatusBar& status;
};

// Page colours are 0xRRGGBB; the colour dialog's are COLORREF (0x00BBGGRR).
COLORREF ToColorRef(uint32_t rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

uint32_t FromColorRef(COLORREF c) {
    return uint32_t{GetRValue(c)} << 16 | uint32_t{GetGValue(c)} << 8 | GetBValue(c);
}

// The run's prompts and progress, in the dialog's window.
class DialogPrompter final : public IndexPrompter {
  public:
    DialogPrompter(HWND dialog, StatusBar& status) : dialog_(dialog), status_(status) {}
    void ShowProgress(const std::string& directory) override {
        status_.ShowNotice(directory.c_str());
    }
    std::optional<std::string> AskDescription(const std::string& caption) override {
        InputBoxRequest request; // the English prompt template in every language
        request.caption = caption.c_str();
        return InputBox(dialog_, request);
    }

  private:
    HWND dialog_;
    StatusBar& status_;
};

void ChooseFolder(HWND dialog) {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    BROWSEINFOA browse{};
    browse.hwndOwner = dialog;
    browse.lpszTitle = kSelectFolderTitle;
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    if (LPITEMIDLIST chosen = SHBrowseForFolderA(&browse)) {
        char path[MAX_PATH];
        if (SHGetPathFromIDListA(chosen, path)) SetDlgItemTextA(dialog, IDC_HTML_DIRECTORY, path);
        CoTaskMemFree(chosen);
    }
    if (SUCCEEDED(com)) CoUninitialize();
}

void ChooseColour(HWND dialog, uint32_t& colour) {
    if (const std::optional<COLORREF> chosen = AskColour(dialog, ToColorRef(colour)))
        colour = FromColorRef(*chosen);
}

// Save: false (with the reason shown) keeps the dialog open.
bool Generate(HWND dialog, const HtmlIndexState& state) {
    IndexOptions options;
    const std::string typed = DialogItemText(dialog, IDC_HTML_DIRECTORY, kDirectoryLength);
    std::vector<char> full(kDirectoryLength + 1);
    const DWORD length =
        typed.empty() ? 0
                      : GetFullPathNameA(typed.c_str(), kDirectoryLength + 1, full.data(), nullptr);
    if (length > 0 && length <= static_cast<DWORD>(kDirectoryLength))
        options.directory.assign(full.data(), length);
    options.rootPath = DialogItemText(dialog, IDC_HTML_ROOT_PATH, kRootPathLength);
    options.descriptionFile =
        DialogItemText(dialog, IDC_HTML_DESCRIPTION_FILE, kDescriptionFileLength);
    options.recurse = DialogItemChecked(dialog, IDC_HTML_RECURSE);
    options.includeHidden = DialogItemChecked(dialog, IDC_HTML_INCLUDE_HIDDEN);
    options.robots = !options.includeHidden && DialogItemChecked(dialog, IDC_HTML_ROBOTS);
    options.prompt = DialogItemChecked(dialog, IDC_HTML_PROMPT);
    options.colours = state.colours;
    options.language = state.language;

    Win32DirectorySource source;
    DialogPrompter prompter(dialog, state.status);
    HCURSOR before = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    const IndexResult result = GenerateIndex(options, source, prompter);
    SetCursor(before);
    state.status.ShowNotice("");
    if (result == IndexResult::NoSuchDirectory) {
        // The path is the system's text, the rest the program's.
        const std::wstring text = WideUiText(ChooseText(state.language, kHtmlNoSuchDirectory)) +
                                  L"\r\n" + WideSystemText(typed);
        ShowUiMessage(dialog, text, kProductName, MB_OK);
        SetFocus(GetDlgItem(dialog, IDC_HTML_DIRECTORY));
        return false;
    }
    return true;
}

INT_PTR HandleHtmlIndex(HWND dialog, UINT msg, WPARAM wParam, LPARAM, HtmlIndexState& state) {
    if (msg == WM_INITDIALOG) {
        std::vector<char> current(kDirectoryLength + 1, '\0');
        const DWORD n = GetCurrentDirectoryA(kDirectoryLength + 1, current.data());
        SetDlgItemTextA(dialog, IDC_HTML_DIRECTORY,
                        n > 0 && n <= static_cast<DWORD>(kDirectoryLength) ? current.data() : "");
        SetDlgItemTextA(dialog, IDC_HTML_ROOT_PATH, "/");
        SetDlgItemTextA(dialog, IDC_HTML_DESCRIPTION_FILE, "descript.ion");
        SendDlgItemMessageA(dialog, IDC_HTML_DIRECTORY, EM_LIMITTEXT, kDirectoryLength, 0);
        SendDlgItemMessageA(dialog, IDC_HTML_ROOT_PATH, EM_LIMITTEXT, kRootPathLength, 0);
        SendDlgItemMessageA(dialog, IDC_HTML_DESCRIPTION_FILE, EM_LIMITTEXT, kDescriptionFileLength,
                            0);
        CheckDlgButton(dialog, IDC_HTML_RECURSE, BST_CHECKED);
        CheckDlgButton(dialog, IDC_HTML_INCLUDE_HIDDEN, BST_CHECKED);
        EnableWindow(GetDlgItem(dialog, IDC_HTML_ROBOTS), FALSE);
        HWND directory = GetDlgItem(dialog, IDC_HTML_DIRECTORY);
        SetFocus(directory);
        SendMessageA(directory, EM_SETSEL, 0, -1);
        return FALSE;
    }
    if (msg != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
    case IDC_HTML_BROWSE:
        ChooseFolder(dialog);
        return TRUE;
    case IDC_HTML_INCLUDE_HIDDEN:
        EnableWindow(GetDlgItem(dialog, IDC_HTML_ROBOTS),
                     !DialogItemChecked(dialog, IDC_HTML_INCLUDE_HIDDEN));
        return TRUE;
    case IDC_HTML_TEXT_COLOR:
        ChooseColour(dialog, state.colours.text);
        return TRUE;
    case IDC_HTML_BACKGROUND_COLOR:
        ChooseColour(dialog, state.colours.background);
        return TRUE;
    case IDC_HTML_LINK_COLOR:
        ChooseColour(dialog, state.colours.link);
        return TRUE;
    }
    return OkOrCancel(dialog, LOWORD(wParam), [&] { return Generate(dialog, state); });
}

} // namespace

void HtmlIndexCommand(EditorApp& app, int) {
    HtmlIndexState state{app.Language(), app.indexColours, app.Status()};
    ShowDialog<HtmlIndexState, HandleHtmlIndex>(app.main, IDD_HTML_INDEX, app.Language(), state);
    SetFocus(app.view);
}

} // namespace stx
