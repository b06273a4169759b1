#include "platform/main_window.h"

#include <commctrl.h>
#include <commdlg.h>
#include <richedit.h>

#include <string>

#include "app/command_ids.h"
#include "app/menu_state.h"
#include "app/ui_texts.h"
#include "platform/documents.h"
#include "platform/editor_app.h"
#include "platform/option_commands.h"
#include "platform/report_error.h"
#include "platform/text_view.h"
#include "text/templates.h"
#include "text/text_editor.h"

namespace stx {

const char kMainWindowClass[] = "Stratext";

namespace {

struct ToolbarButton {
    int image; // STD_* image, or -1 for a separator
    int command;
};

const ToolbarButton kToolbarButtons[] = {
    {STD_FILENEW, IDM_FILE_NEW},
    {STD_FILEOPEN, IDM_FILE_OPEN},
    {STD_FILESAVE, IDM_FILE_SAVE},
    {-1, 0},
    {STD_PRINT, IDM_FILE_PRINT_3D},
    {-1, 0},
    {STD_UNDO, IDM_EDIT_UNDO},
    {STD_CUT, IDM_EDIT_CUT},
    {STD_COPY, IDM_EDIT_COPY},
    {STD_PASTE, IDM_EDIT_PASTE},
    {-1, 0},
    {STD_DELETE, IDM_EDIT_CLEAR},
    {-1, 0},
    {STD_FIND, IDM_EDIT_FIND},
    {STD_REPLACE, IDM_EDIT_REPLACE},
    {-1, 0},
    {STD_PROPERTIES, IDM_COMPILE},
    {-1, 0},
    {STD_HELP, IDM_HELP_TOPIC_SEARCH},
};
constexpr int kToolbarButtonCount = sizeof kToolbarButtons / sizeof kToolbarButtons[0];

} // namespace

bool RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_BYTEALIGNWINDOW;
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_MAIN));
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kMainWindowClass;
    return RegisterClassExA(&wc) != 0;
}

void CreateMainChildren(HWND main) {
    EditorApp& app = App();
    TBBUTTON buttons[kToolbarButtonCount]{};
    for (int i = 0; i < kToolbarButtonCount; ++i) {
        const ToolbarButton& b = kToolbarButtons[i];
        buttons[i].iBitmap = b.image < 0 ? 0 : b.image;
        buttons[i].idCommand = b.command;
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = b.image < 0 ? TBSTYLE_SEP : TBSTYLE_BUTTON;
    }
    app.toolbar =
        CreateToolbarEx(main, 0x50800120, IDC_TOOLBAR, 14, HINST_COMMCTRL, IDB_STD_SMALL_COLOR,
                        buttons, kToolbarButtonCount, 16, 16, 16, 16, sizeof(TBBUTTON));
    app.status = CreateStatusWindowA(0x50000010, "", main, IDC_STATUS_BAR);
}

void ApplyLanguage() {
    EditorApp& app = App();
    HMENU menu = LoadMenuA(app.instance, MAKEINTRESOURCEA(MenuResourceFor(app.settings.language)));
    if (!menu) return;
    HMENU old = app.menu;
    SetMenu(app.main, menu);
    app.menu = menu;
    if (app.streamsPopup) {
        // The stream list lives in its own popup, which survives the switch.
        HMENU file = GetSubMenu(menu, kFilePopupPosition);
        ModifyMenuA(file, kStreamsPopupPosition, MF_BYPOSITION | MF_POPUP,
                    reinterpret_cast<UINT_PTR>(app.streamsPopup), kStreamsPopupText);
    } else {
        app.streamsPopup = GetSubMenu(GetSubMenu(menu, kFilePopupPosition), kStreamsPopupPosition);
    }
    if (old) {
        // Detach the kept stream popup from the old menu before destroying it.
        HMENU oldFile = GetSubMenu(old, kFilePopupPosition);
        if (oldFile && GetSubMenu(oldFile, kStreamsPopupPosition) == app.streamsPopup)
            RemoveMenu(oldFile, kStreamsPopupPosition, MF_BYPOSITION);
        DestroyMenu(old);
    }
    ApplyMenuChecks();
}

void ApplyMenuChecks() {
    EditorApp& app = App();
    if (!app.menu) return;
    for (const MenuCheck& mark : EditorMenuChecks(app.settings))
        CheckMenuItem(app.menu, static_cast<UINT>(mark.command),
                      MF_BYCOMMAND | (mark.checked ? MF_CHECKED : MF_UNCHECKED));
    DrawMenuBar(app.main);
}

void SetUntitledTitle() {
    EditorApp& app = App();
    if (!app.document.named) SetWindowTextA(app.main, UntitledTitle().c_str());
}

void StoreWindowPlacement() {
    EditorApp& app = App();
    if (!app.main) return;
    WindowState state;
    state.minimized = IsIconic(app.main);
    state.maximized = IsZoomed(app.main);
    RECT r;
    GetWindowRect(app.main, &r);
    state.rect = ScreenRect{r.left, r.top, r.right, r.bottom};
    StorePlacement(Settings(), app.settings, state);
}

void LayoutMainWindow(HWND main) {
    EditorApp& app = App();
    if (!app.status || !app.toolbar) return;
    MoveWindow(app.status, 0, 0, 0, 0, TRUE); // the bar places itself at the bottom
    RECT statusRect, client, toolbarRect;
    GetWindowRect(app.status, &statusRect);
    GetClientRect(main, &client);
    GetWindowRect(app.toolbar, &toolbarRect);
    app.toolbarHeight = toolbarRect.bottom - toolbarRect.top;
    int width = client.right - client.left;
    int parts[3] = {width - 300, width - 150, -1};
    SendMessageA(app.status, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));
    int statusHeight = statusRect.bottom - statusRect.top;
    app.viewHeight = client.bottom - app.toolbarHeight - statusHeight;
    if (app.viewHeight < 0) app.viewHeight = 0;
    if (app.view) MoveWindow(app.view, 0, app.toolbarHeight, width, app.viewHeight, TRUE);
    MoveWindow(app.toolbar, 0, 0, width, app.toolbarHeight + 1, TRUE);
}

namespace {

// Writes the selection, or the whole text without one, to a file the user names.
void CopyToFile() {
    EditorApp& app = App();
    char name[8192] = "";
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = app.main;
    ofn.lpstrFilter = ChooseText(app.Language(), kDocumentFilter);
    ofn.lpstrFile = name;
    ofn.nMaxFile = sizeof name;
    ofn.lpstrTitle = ChooseText(app.Language(), kCopyToTitle);
    ofn.lpstrDefExt = "*.TXT";
    ofn.Flags = OFN_HIDEREADONLY | OFN_EXPLORER | OFN_LONGNAMES;
    if (!GetSaveFileNameA(&ofn)) return;

    CHARRANGE range{};
    SendMessageA(app.view, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    std::string text;
    if (range.cpMax > range.cpMin) {
        text.resize(static_cast<size_t>(range.cpMax - range.cpMin) + 1);
        SendMessageA(app.view, EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(range.cpMax - range.cpMin));
    } else {
        size_t length = static_cast<size_t>(SendMessageA(app.view, WM_GETTEXTLENGTH, 0, 0));
        text.resize(length);
        LRESULT got =
            SendMessageA(app.view, WM_GETTEXT, length, reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(got));
    }

    HANDLE file =
        CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        ReportLastError();
        return;
    }
    DWORD written = 0;
    bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
              written == text.size();
    if (!ok) ReportLastError();
    ok = CloseHandle(file) && ok;
    // A write that failed or fell short is never reported as success.
    Status().ShowNotice(ok ? Notice::FileWritten : Notice::ErrorWritingFile, app.Language());
}

// New and the templates: after the save question, the view takes the text.
void ReplaceDocument(const char* text) {
    EditorApp& app = App();
    if (!AskToSaveBeforeReplacing()) return;
    SendMessageA(app.view, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    SendMessageA(app.view, EM_SETMODIFY, 0, 0);
    app.document.named = false;
    SetUntitledTitle();
}

void ForwardToView(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
    SendMessageA(App().view, msg, wParam, lParam);
}

// Commands of the File and Edit menus; false when `command` is none of them.
bool HandleDocumentCommand(HWND hwnd, int command) {
    EditorApp& app = App();
    switch (command) {
    case IDM_FILE_NEW:
        ReplaceDocument("");
        return true;
    case IDM_TEMPLATE_MASM32:
        ReplaceDocument(kMasm32Template);
        return true;
    case IDM_TEMPLATE_TASM:
        ReplaceDocument(kTasmTemplate);
        return true;
    case IDM_FILE_OPEN:
        CommandOpen();
        return true;
    case IDM_FILE_SAVE:
        CommandSave();
        return true;
    case IDM_FILE_SAVE_AS:
        CommandSaveAs();
        return true;
    case IDM_FILE_EXIT:
    case IDM_ESCAPE:
        SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        return true;
    case IDM_EDIT_COPY:
        ForwardToView(WM_COPY);
        return true;
    case IDM_EDIT_CUT:
        ForwardToView(WM_CUT);
        return true;
    case IDM_EDIT_PASTE:
        ForwardToView(WM_PASTE);
        return true;
    case IDM_EDIT_CLEAR:
        ForwardToView(WM_CLEAR);
        return true;
    case IDM_EDIT_UNDO:
        ForwardToView(EM_UNDO);
        return true;
    case IDM_EDIT_COPY_TO:
        CopyToFile();
        return true;
    case IDM_EDIT_SELECT_ALL:
        ForwardToView(EM_SETSEL, 0, -1);
        ForwardToView(EM_SCROLLCARET);
        return true;
    case IDM_EDIT_CONTEXT_MENU:
        ForwardToView(WM_RBUTTONDOWN, 10, 10);
        return true;
    case IDM_EDIT_OVERWRITE:
        ViewEditor().overwrite ^= 1;
        InvalidateRect(app.view, nullptr, FALSE);
        return true;
    }
    return false;
}

} // namespace

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    EditorApp& app = App();
    switch (msg) {
    case WM_SIZE:
        LayoutMainWindow(hwnd);
        StoreWindowPlacement();
        return 0;
    case WM_MOVE:
        StoreWindowPlacement();
        break;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_SETFOCUS:
        if (app.view) SetFocus(app.view);
        return 0;
    case WM_TIMER:
        if (wParam == kCaretTimer) CaretTick();
        break;
    case WM_ACTIVATE:
        PauseCaret(LOWORD(wParam) == WA_INACTIVE);
        break;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->code == TTN_NEEDTEXTA) {
            auto* tip = reinterpret_cast<NMTTDISPINFOA*>(lParam);
            if (const BilingualText* text = ToolbarTooltipFor(static_cast<int>(header->idFrom)))
                tip->lpszText = const_cast<char*>(ChooseText(app.settings.language, *text));
        }
        return 0;
    }
    case kDroppedFileMessage:
        OpenDroppedFile(DroppedFileName());
        return 0;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_CLOSE:
            if (!AskToSaveBeforeReplacing()) return 1;
            break;
        case SC_MAXIMIZE:
        case SC_RESTORE:
            app.settings.maximized = (wParam & 0xFFF0) == SC_MAXIMIZE;
            WriteSetting(Setting::Maximized);
            break;
        }
        break;
    case WM_COMMAND: {
        int command = LOWORD(wParam);
        if (auto language = LanguageSwitchFor(app.settings.language, command)) {
            app.settings.language = *language;
            ApplyLanguage();
            WriteSetting(Setting::Language);
        } else if (!HandleDocumentCommand(hwnd, command)) {
            HandleOptionCommand(command);
        }
        break;
    }
    case WM_DESTROY:
        KillTimer(hwnd, kCaretTimer);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

} // namespace stx
