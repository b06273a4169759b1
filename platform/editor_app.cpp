#include "platform/editor_app.h"

#include <commctrl.h>

#include "app/command_ids.h"
#include "platform/accelerators.h"
#include "platform/documents.h"
#include "platform/main_window.h"
#include "platform/option_commands.h"
#include "platform/text_view.h"
#include "text/text_editor.h"

#include <vector>

namespace stx {

namespace {

class StatusBarWindow final : public StatusBarPort {
  public:
    void SetPartText(int part, const char* text) override {
        if (HWND bar = App().status)
            SendMessageA(bar, SB_SETTEXTA, static_cast<WPARAM>(part),
                         reinterpret_cast<LPARAM>(text));
    }
};

} // namespace

SettingsStore& Settings() {
    static RegistrySettingsStore store;
    return store;
}

void WriteSetting(Setting setting) {
    StoreSetting(Settings(), App().settings, setting);
}

StatusBar& Status() {
    static StatusBarWindow window;
    static StatusBar bar(window);
    return bar;
}

EditorApp& App() {
    static EditorApp app;
    return app;
}

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

} // namespace

namespace {

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
void ApplyEditorSettings() {
    EditorApp& app = App();
    TextEditor& editor = ViewEditor();
    editor.autoIndent = app.settings.autoIndent ? 8 : 0;
    editor.Buffer().convertLineBreaks = app.settings.autoConvertUnixText ? 8 : 0;
    editor.Buffer().Colours().Text() = app.settings.render.textColour;
    // A stored image that is gone or unreadable leaves the built-in pattern.
    if (!ApplyBackground()) app.settings.render.backgroundKind = BackgroundKind::Pattern;
    ApplyMenuChecks();
    ViewFontChanged();
    ViewSettingsChanged();
    RestartCaretTimer();
}

} // namespace

bool StartEditor(HINSTANCE instance, const CommandLine& commandLine, int show) {
    EditorApp& app = App();
    app.instance = instance;
    app.ntPlatform = IsNtPlatform();
    ApplyPlatformDefaults(app.settings, app.ntPlatform);

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    if (!RegisterMainWindowClass(instance) || !RegisterTextViewClass(instance)) return false;

    LoadPlacementSettings(Settings(), app.settings, GetUserDefaultLCID());
    // The window's first WM_SIZE records it as not maximized; the stored state
    // decides how it is shown.
    const bool startMaximized = app.settings.maximized;
    WindowPlacement placement = VisiblePlacement(app.settings.placement);
    app.main = CreateWindowExA(WS_EX_OVERLAPPEDWINDOW, kMainWindowClass, "Stratext",
                               WS_OVERLAPPEDWINDOW, placement.x, placement.y, placement.width,
                               placement.height, nullptr, nullptr, instance, nullptr);
    if (!app.main) return false;
    CreateMainChildren(app.main);
    ApplyLanguage();

    RECT client;
    GetClientRect(app.main, &client);
    app.view = CreateWindowExA(WS_EX_ACCEPTFILES, kTextViewClass, "",
                               WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | 0x200, 0,
                               app.toolbarHeight, client.right, client.bottom - app.toolbarHeight,
                               app.main, reinterpret_cast<HMENU>(IDC_TEXT_VIEW), instance, nullptr);
    LayoutMainWindow(app.main);
    // What the loader reports is applied from the settings themselves below.
    LoadEditorSettings(Settings(), app.settings);
    ApplyEditorSettings();
    ViewEditor().Buffer().modified = 0;
    SetFocus(app.view);
    app.accelerators = CreateMainAccelerators();

    ShowWindow(app.main, startMaximized ? SW_SHOWMAXIMIZED : show);
    UpdateWindow(app.main);
    // The empty document is laid out first: a status update after the open
    // would wipe its notice at once.
    RefreshView();
    if (!commandLine.file.empty()) OpenDocument(commandLine.file);
    SetUntitledTitle();
    return true;
}

int RunMessageLoop() {
    EditorApp& app = App();
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (app.accelerators && TranslateAcceleratorA(app.main, app.accelerators, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

void ShutdownEditor() {
    EditorApp& app = App();
    if (app.accelerators) DestroyAcceleratorTable(app.accelerators);
    app.accelerators = nullptr;
    if (app.main && IsWindow(app.main)) DestroyWindow(app.main);
    if (app.instance) {
        UnregisterClassA(kMainWindowClass, app.instance);
        UnregisterTextViewClass(app.instance);
    }
    app = EditorApp{};
}

} // namespace stx
