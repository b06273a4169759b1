#include "platform/editor_start.h"

#include <commctrl.h>

#include <vector>

#include "compile/default_script.h"
#include "platform/accelerators.h"
#include "platform/documents.h"
#include "platform/main_menu.h"
#include "platform/main_window.h"
#include "platform/option_commands.h"
#include "platform/streams.h"
#include "platform/text_view.h"

namespace stx {

namespace {

bool IsNtPlatform() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&info)) return true;
#pragma GCC diagnostic pop
    return info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT area, LPARAM param) {
    reinterpret_cast<std::vector<ScreenRect>*>(param)->push_back(
        ScreenRect{area->left, area->top, area->right, area->bottom});
    return TRUE;
}

// The stored placement, or the defaults when it would put the window on no monitor.
WindowPlacement VisiblePlacement(const WindowPlacement& stored) {
    std::vector<ScreenRect> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    return PlacementOnScreen(stored, monitors);
}

// The editor settings reach the text engine, the view and the menu.
void ApplyEditorSettings(EditorApp& app) {
    app.editor.autoIndent = app.settings.autoIndent;
    app.editor.Buffer().convertLineBreaks = app.settings.autoConvertUnixText;
    app.editor.Buffer().Colours().Text() = app.settings.render.textColour;
    // A stored image that is gone or unreadable shows the built-in pattern
    // for now; the stored choice stays, so saving the settings keeps it.
    ApplyBackground(app);
    ApplyMenuChecks(app);
    ViewFontChanged(app);
    ViewSettingsChanged(app);
    RestartCaretTimer(app);
}

} // namespace

bool StartEditor(EditorApp& app, HINSTANCE instance, const CommandLine& commandLine, int show) {
    app.instance = instance;
    app.ntPlatform = IsNtPlatform();
    ApplyPlatformDefaults(app.settings, app.ntPlatform);

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    if (!RegisterMainWindowClass(instance) || !RegisterTextViewClass(instance)) return false;

    // The stored build script, if there is one, replaces the default.
    app.settings.configuredScript = std::string(kDefaultBuildScript);
    LoadPlacementSettings(app.Store(), app.settings, GetUserDefaultLCID());
    // The window's first WM_SIZE records it as not maximized; the stored state
    // decides how it is shown.
    const bool startMaximized = app.settings.maximized;
    WindowPlacement placement = VisiblePlacement(app.settings.placement);
    app.main = CreateWindowExW(WS_EX_OVERLAPPEDWINDOW, kMainWindowClassW, L"Stratext",
                               WS_OVERLAPPEDWINDOW, placement.x, placement.y, placement.width,
                               placement.height, nullptr, nullptr, instance, &app);
    if (!app.main) return false;
    CreateMainChildren(app);
    ApplyLanguage(app);

    RECT client;
    GetClientRect(app.main, &client);
    app.view = CreateTextView(app, client.right, client.bottom - app.toolbarHeight);
    LayoutMainWindow(app);
    // What the loader reports is applied from the settings themselves below.
    LoadEditorSettings(app.Store(), app.settings);
    ApplyEditorSettings(app);
    app.editor.Buffer().modified = 0;
    SetFocus(app.view);
    app.accelerators = CreateMainAccelerators();

    ShowWindow(app.main, startMaximized ? SW_SHOWMAXIMIZED : show);
    UpdateWindow(app.main);
    // The empty document is laid out first: a status update after the open
    // would wipe its notice at once.
    RefreshView(app);
    if (!commandLine.file.empty() && OpenDocument(app, commandLine.file)) RebuildStreamList(app);
    ShowDocumentTitle(app);
    return true;
}

int RunMessageLoop(EditorApp& app) {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (app.accelerators && TranslateAcceleratorA(app.main, app.accelerators, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

void ShutdownEditor(EditorApp& app) {
    if (app.accelerators) DestroyAcceleratorTable(app.accelerators);
    app.accelerators = nullptr;
    if (app.main && IsWindow(app.main)) DestroyWindow(app.main);
    app.main = app.view = app.toolbar = app.status = nullptr;
    app.menu = app.streamsPopup = nullptr;
    if (app.instance) {
        UnregisterClassW(kMainWindowClassW, app.instance);
        UnregisterClassA(kTextViewClass, app.instance);
    }
}

} // namespace stx
