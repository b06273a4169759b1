#include "platform/main_window.h"

#include <commctrl.h>

#include <utility>

#include "app/command_ids.h"
#include "app/ui_texts.h"
#include "platform/commands.h"
#include "platform/documents.h"
#include "platform/failure_guard.h"
#include "platform/help.h"
#include "platform/option_commands.h"
#include "platform/printing.h"
#include "platform/text_view.h"

namespace stx {

// The class is registered as a Unicode one: the title may hold letters (the
// Romanian untitled title) that the system's code page has no form for.
const wchar_t kMainWindowClassW[] = L"Stratext";

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
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_BYTEALIGNWINDOW;
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_MAIN));
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kMainWindowClassW;
    return RegisterClassExW(&wc) != 0;
}

void CreateMainChildren(EditorApp& app) {
    TBBUTTON buttons[kToolbarButtonCount]{};
    for (int i = 0; i < kToolbarButtonCount; ++i) {
        const ToolbarButton& b = kToolbarButtons[i];
        buttons[i].iBitmap = b.image < 0 ? 0 : b.image;
        buttons[i].idCommand = b.command;
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = b.image < 0 ? TBSTYLE_SEP : TBSTYLE_BUTTON;
    }
    app.toolbar =
        CreateToolbarEx(app.main, 0x50800120, IDC_TOOLBAR, 14, HINST_COMMCTRL, IDB_STD_SMALL_COLOR,
                        buttons, kToolbarButtonCount, 16, 16, 16, 16, sizeof(TBBUTTON));
    app.status = CreateStatusWindowA(0x50000010, "", app.main, IDC_STATUS_BAR);
}

void LayoutMainWindow(EditorApp& app) {
    if (!app.status || !app.toolbar) return;
    MoveWindow(app.status, 0, 0, 0, 0, TRUE); // the bar places itself at the bottom
    RECT statusRect, client, toolbarRect;
    GetWindowRect(app.status, &statusRect);
    GetClientRect(app.main, &client);
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

void StoreWindowPlacement(EditorApp& app) {
    WindowState state;
    state.minimized = IsIconic(app.main);
    state.maximized = IsZoomed(app.main);
    RECT r;
    GetWindowRect(app.main, &r);
    state.rect = ScreenRect{r.left, r.top, r.right, r.bottom};
    StorePlacement(app.Store(), app.settings, state);
}

// The messages of the main window; false leaves one to DefWindowProcW.
bool MainWindowMessage(EditorApp& app, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
    case WM_SIZE:
        LayoutMainWindow(app);
        StoreWindowPlacement(app);
        return true;
    case WM_MOVE:
        StoreWindowPlacement(app);
        return false;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(app.main, &ps);
        EndPaint(app.main, &ps);
        return true;
    }
    case WM_SETFOCUS:
        if (app.view) SetFocus(app.view);
        return true;
    case WM_TIMER:
        if (wParam == kCaretTimer) CaretTick(app);
        return false;
    case WM_ACTIVATE:
        PauseCaret(app, LOWORD(wParam) == WA_INACTIVE);
        return false;
    case WM_NOTIFYFORMAT:
        // The toolbar's tooltips ask for their texts in the ANSI form.
        result = NFR_ANSI;
        return true;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->code == TTN_NEEDTEXTA) {
            auto* tip = reinterpret_cast<NMTTDISPINFOA*>(lParam);
            if (const BilingualText* text = ToolbarTooltipFor(static_cast<int>(header->idFrom)))
                tip->lpszText = const_cast<char*>(ChooseText(app.Language(), *text));
        }
        return true;
    }
    case kDroppedFileMessage:
        OpenDroppedFile(app, DroppedFileName(app));
        return true;
    case kPrintDoneMessage:
        PrintFinished(app, wParam, lParam);
        return true;
    case WM_HELP:
        HelpKeyPressed(app);
        result = TRUE;
        return true;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_CLOSE:
            if (!AskToSaveBeforeReplacing(app)) {
                result = 1;
                return true;
            }
            // Default processing sends the WM_CLOSE, which must not ask again.
            app.closeAnswered = true;
            break;
        case SC_MAXIMIZE:
        case SC_RESTORE:
            app.settings.maximized = (wParam & 0xFFF0) == SC_MAXIMIZE;
            app.WriteSetting(Setting::Maximized);
            break;
        }
        return false;
    case WM_CLOSE: {
        // However the close came (Exit, the close box, another program), the
        // save question is asked once, and Cancel keeps the program open.
        const bool answered = std::exchange(app.closeAnswered, false);
        if (answered || AskToSaveBeforeReplacing(app)) DestroyWindow(app.main);
        return true;
    }
    case WM_QUERYENDSESSION:
        // Logging off: Cancel, or a save that failed, refuses the end of the session.
        result = AskToSaveBeforeReplacing(app) ? TRUE : FALSE;
        return true;
    case WM_COMMAND:
        RunCommand(app, LOWORD(wParam));
        return false;
    case WM_DESTROY:
        KillTimer(app.main, kCaretTimer);
        app.printer.Abort();
        CloseHelpOnExit(app);
        AttachApp(app.main, nullptr);
        PostQuitMessage(0);
        return true;
    }
    return false;
}

} // namespace

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* app =
            static_cast<EditorApp*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        app->main = hwnd;
        AttachApp(hwnd, app);
    }
    EditorApp* app = AppOf(hwnd);
    if (!app) return DefWindowProcW(hwnd, msg, wParam, lParam);
    LRESULT result = 0;
    bool handled = false;
    if (!GuardWindowMessage(
            hwnd, msg, [&] { handled = MainWindowMessage(*app, msg, wParam, lParam, result); }))
        return 0;
    return handled ? result : DefWindowProcW(hwnd, msg, wParam, lParam);
}

} // namespace stx
