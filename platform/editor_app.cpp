#include "platform/editor_app.h"

#include <commctrl.h>

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

void EditorApp::StatusBarWindow::SetPartText(int part, const char* text) {
    if (!app_.status) return;
    // The status bar draws a new text at once. The line and the column change
    // with every key, so theirs are drawn with the next paint instead and a
    // key press pays for no drawing of them; notices still show at once, even
    // before a long operation.
    const bool later = part == kLinePart || part == kColumnPart;
    if (later) SendMessageA(app_.status, WM_SETREDRAW, FALSE, 0);
    SendMessageA(app_.status, SB_SETTEXTA, static_cast<WPARAM>(part),
                 reinterpret_cast<LPARAM>(text));
    if (later) {
        SendMessageA(app_.status, WM_SETREDRAW, TRUE, 0);
        // Turning drawing off dropped whatever was waiting to be drawn.
        InvalidateRect(app_.status, nullptr, FALSE);
    }
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
