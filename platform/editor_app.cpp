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
        Release();
        SendMessageA(bar, SB_SETTEXTA, index, reinterpret_cast<LPARAM>(text));
        return;
    }
    char shown[128];
    if (LOWORD(SendMessageA(bar, SB_GETTEXTLENGTHA, index, 0)) < sizeof shown) {
        SendMessageA(bar, SB_GETTEXTA, index, reinterpret_cast<LPARAM>(shown));
        if (std::strcmp(shown, text) == 0) return; // unchanged
    }
    Hold();
    SendMessageA(bar, SB_SETTEXTA, index, reinterpret_cast<LPARAM>(text));
    RECT area;
    if (SendMessageA(bar, SB_GETRECT, index, reinterpret_cast<LPARAM>(&area)))
        UnionRect(&changed_, &changed_, &area);
    else
        changedAll_ = true;
    if (!batching_) Release();
}

void EditorApp::StatusBarWindow::EndBatch() {
    batching_ = false;
    Release();
}

void EditorApp::StatusBarWindow::Hold() {
    if (held_) return;
    // Turning drawing off drops what waits to be drawn; it is asked for again
    // when drawing comes back on.
    waiting_ = CreateRectRgn(0, 0, 0, 0);
    if (waiting_ && GetUpdateRgn(app_.status, waiting_, FALSE) <= NULLREGION) {
        DeleteObject(waiting_);
        waiting_ = nullptr;
    }
    SendMessageA(app_.status, WM_SETREDRAW, FALSE, 0);
    held_ = true;
    changed_ = RECT{};
    changedAll_ = false;
}

void EditorApp::StatusBarWindow::Release() {
    if (!held_) return;
    held_ = false;
    SendMessageA(app_.status, WM_SETREDRAW, TRUE, 0);
    if (waiting_) {
        InvalidateRgn(app_.status, waiting_, FALSE);
        DeleteObject(waiting_);
        waiting_ = nullptr;
    }
    InvalidateRect(app_.status, changedAll_ ? nullptr : &changed_, FALSE);
}

void EditorApp::UpdateCaretStatus() {
    if (!status) return;
    struct Batch {
        StatusBarWindow& port;
        ~Batch() { port.EndBatch(); }
    } batch{statusPort_};
    statusPort_.BeginBatch();
    statusBar_.UpdateStatus(editor.Buffer(), editor.GetCaret(), Language());
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
