#include "platform/editor_app.h"

#include <commctrl.h>

#include "app/command_ids.h"
#include "platform/accelerators.h"
#include "platform/main_window.h"
#include "platform/text_view.h"

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

bool StartEditor(HINSTANCE instance, const CommandLine& commandLine, int show) {
    EditorApp& app = App();
    app.instance = instance;
    app.ntPlatform = IsNtPlatform();

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    if (!RegisterMainWindowClass(instance) || !RegisterTextViewClass(instance)) return false;

    app.main = CreateWindowExA(WS_EX_OVERLAPPEDWINDOW, kMainWindowClass, "Stratext",
                               WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
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
    SetFocus(app.view);
    app.accelerators = CreateMainAccelerators();

    ShowWindow(app.main, show);
    UpdateWindow(app.main);
    SetUntitledTitle();
    (void)commandLine;
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
