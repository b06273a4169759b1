#include "platform/editor_app.h"

#include <commctrl.h>

#include <cstring>

#include "platform/registry_settings_store.h"

namespace stx {

namespace {

// The property of the main window that holds its editor.
constexpr char kAppProperty[] = "Stratext.Editor";

} // namespace

EditorApp::EditorApp(const EditorOptions& options)
    : editor(options.allocator),
      ownStore_(options.store ? nullptr : std::make_unique<RegistrySettingsStore>()),
      store_(options.store ? options.store : ownStore_.get()) {}

EditorApp::~EditorApp() = default;

void EditorApp::WriteSetting(Setting setting) {
    StoreSetting(*store_, settings, setting);
}

void EditorApp::StatusBarWindow::SetPartText(int part, const char* text, bool now) {
    HWND bar = app_.status;
    if (!bar) return;
    const WPARAM index = static_cast<WPARAM>(part);
    // The status bar draws a new text at once. The texts that follow the
    // caret change with every key, so they are drawn with the next paint
    // instead and a key press pays for no drawing of them.
    if (now) {
        SendMessageA(bar, SB_SETTEXTA, index, reinterpret_cast<LPARAM>(text));
        return;
    }
    char shown[128];
    if (LOWORD(SendMessageA(bar, SB_GETTEXTLENGTHA, index, 0)) < sizeof shown) {
        SendMessageA(bar, SB_GETTEXTA, index, reinterpret_cast<LPARAM>(shown));
        if (std::strcmp(shown, text) == 0) return; // unchanged
    }
    // Turning drawing off drops what waits to be drawn; it is asked for again.
    HRGN waiting = CreateRectRgn(0, 0, 0, 0);
    const bool keep = waiting && GetUpdateRgn(bar, waiting, FALSE) > NULLREGION;
    SendMessageA(bar, WM_SETREDRAW, FALSE, 0);
    SendMessageA(bar, SB_SETTEXTA, index, reinterpret_cast<LPARAM>(text));
    SendMessageA(bar, WM_SETREDRAW, TRUE, 0);
    if (keep) InvalidateRgn(bar, waiting, FALSE);
    if (waiting) DeleteObject(waiting);
    RECT area;
    const bool known = SendMessageA(bar, SB_GETRECT, index, reinterpret_cast<LPARAM>(&area)) != 0;
    InvalidateRect(bar, known ? &area : nullptr, FALSE);
}

EditorApp* AppOf(HWND window) {
    if (!window) return nullptr;
    HWND root = GetAncestor(window, GA_ROOTOWNER);
    return static_cast<EditorApp*>(GetPropA(root ? root : window, kAppProperty));
}

void AttachApp(HWND main, EditorApp* app) {
    if (app)
        SetPropA(main, kAppProperty, app);
    else
        RemovePropA(main, kAppProperty);
}

} // namespace stx
