#include "editor_fixture.h"

#include <commctrl.h>

#include <vector>

namespace stx::test {

void EditorTest::SetUp() {
    owned = std::make_unique<EditorApp>(options);
    app = owned.get();
    ASSERT_TRUE(StartEditor(*app, GetModuleHandleA(nullptr), CommandLine{}, SW_SHOWNORMAL));
    View(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    View(EM_SETMODIFY, 0);
}

void EditorTest::TearDown() {
    if (!app) return; // a test skipped before the editor started
    ShutdownEditor(*app);
    owned.reset();
    app = nullptr;
    // Closing the main window posted WM_QUIT; a modal loop of the next test
    // must not see it.
    Pump();
}

LRESULT EditorTest::View(UINT msg, WPARAM wParam, LPARAM lParam) {
    return SendMessageA(app->view, msg, wParam, lParam);
}

LRESULT EditorTest::Command(int command) {
    return SendMessageA(app->main, WM_COMMAND, static_cast<WPARAM>(command), 0);
}

void EditorTest::Type(const std::string& text) {
    for (char c : text)
        View(WM_CHAR, static_cast<unsigned char>(c), 1);
}

void EditorTest::Key(WORD vk, bool shift, bool ctrl) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    keys[VK_CONTROL] = ctrl ? 0x80 : 0;
    SetKeyboardState(keys);
    View(WM_KEYDOWN, vk, 1);
    keys[VK_SHIFT] = keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
}

std::string EditorTest::Text() {
    LRESULT length = View(WM_GETTEXTLENGTH);
    std::string text(static_cast<size_t>(length), '\0');
    LRESULT got =
        View(WM_GETTEXT, static_cast<WPARAM>(length), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(got));
    return text;
}

void EditorTest::Select(int start, int end) {
    View(EM_SETSEL, static_cast<WPARAM>(start), end);
}

std::pair<DWORD, DWORD> EditorTest::Selection() {
    DWORD start = 0, end = 0;
    View(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
}

std::string EditorTest::StatusPart(int part) {
    char text[512] = {};
    SendMessageA(app->status, SB_GETTEXTA, static_cast<WPARAM>(part),
                 reinterpret_cast<LPARAM>(text));
    return text;
}

void EditorTest::Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

} // namespace stx::test
