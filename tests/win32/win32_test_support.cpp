#include "win32_test_support.h"

#include <commctrl.h>

#include "compile/build_script.h"
#include "platform/gdi_surface.h"
#include "platform/script_host.h"

#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace stx::test {

std::string PathBesideTests(const std::string& name) {
    char buffer[MAX_PATH * 4];
    DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    std::string path(buffer, n);
    size_t slash = path.find_last_of("\\/");
    return path.substr(0, slash + 1) + name;
}

TempFile::TempFile(const std::string& name, const std::string& bytes)
    : path_(TempDirectory() + name) {
    WriteBytes(path_, bytes);
}

TempFile::~TempFile() {
    DeleteFileA(path_.c_str());
}

ProgramProcess::ProgramProcess(const std::string& arguments) {
    std::string exe = PathBesideTests("stratext.exe");
    std::string line = "\"" + exe + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info_))
        info_ = {};
}

ProgramProcess::~ProgramProcess() {
    if (!info_.hProcess) return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs) {
    for (const DWORD start = GetTickCount(); !done(); Sleep(10))
        if (GetTickCount() - start > timeoutMs) return false;
    return true;
}

namespace {
// A window of the class, of the process when one is given; for boxes, a
// visible one other than `except`.
struct WindowSearch {
    DWORD processId;
    const char* className;
    HWND except = nullptr;
    bool visible = false;
    HWND found = nullptr;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char name[256];
    if (hwnd != search->except && (!search->processId || pid == search->processId) &&
        (!search->visible || IsWindowVisible(hwnd)) && GetClassNameA(hwnd, name, sizeof name) &&
        lstrcmpA(name, search->className) == 0) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}
} // namespace

HWND ProgramProcess::WaitForWindow(const char* className, DWORD timeoutMs) const {
    WindowSearch search{info_.dwProcessId, className};
    WaitFor(
        [&] {
            EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
            return search.found || WaitForSingleObject(info_.hProcess, 0) != WAIT_TIMEOUT;
        },
        timeoutMs);
    return search.found;
}

long ProgramProcess::WaitForExit(DWORD timeoutMs) {
    if (WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return static_cast<long>(code);
}

std::string WindowText(HWND hwnd) {
    char buffer[8192];
    int n = GetWindowTextA(hwnd, buffer, sizeof buffer);
    return std::string(buffer, n > 0 ? n : 0);
}

std::string DlgItemText(HWND dialog, int id) {
    return WindowText(GetDlgItem(dialog, id));
}

std::string TempDirectory() {
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    return dir;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<missing>";
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    out.close();
    ASSERT_TRUE(out) << path;
}

ScratchDirectory::ScratchDirectory(const std::string& name) : path_(TempDirectory() + name) {
    Remove();
    CreateDirectoryA(path_.c_str(), nullptr);
}

ScratchDirectory::~ScratchDirectory() {
    Remove();
}

// The script language's own deltree, which also takes read-only files.
void ScratchDirectory::Remove() {
    Win32ScriptHost host({});
    BuildScriptRun run;
    run.documentPath = path_;
    run.documentNamed = true;
    RunBuildScript("deltree \"" + path_ + "\"", run, host);
    SetCurrentDirectoryA(TempDirectory().c_str());
}

HWND FileNameField(HWND dialog) {
    HWND field = GetDlgItem(dialog, 1148);
    if (!field) field = GetDlgItem(dialog, 1152);
    return field;
}

std::vector<uint32_t> CaptureClient(HWND window, int& width, int& height) {
    RECT client;
    GetClientRect(window, &client);
    width = client.right;
    height = client.bottom;
    PixelContext canvas;
    if (width <= 0 || height <= 0 || !canvas.Ensure(nullptr, width, height, false)) return {};
    SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    GdiFlush();
    const PixelBuffer pixels = canvas.Pixels();
    return std::vector<uint32_t>(pixels.bits, pixels.bits + static_cast<size_t>(width) * height);
}

namespace {
// A visible dialog box of a thread other than `except`, waited for up to timeoutMs.
HWND WaitForDialogOfThread(DWORD threadId, DWORD timeoutMs, HWND except = nullptr) {
    WindowSearch search{0, "#32770", except, true};
    WaitFor(
        [&] {
            EnumThreadWindows(threadId, MatchWindow, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        timeoutMs);
    return search.found;
}

// Records the box, works it and presses the answer's button; false when the
// box stays.
bool Answer(HWND box, const BoxAnswer& answer, SeenBox& seen) {
    seen.caption = WindowText(box);
    char text[4096] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    seen.text = text;
    seen.owner = GetWindow(box, GW_OWNER);
    if (HWND field = FileNameField(box)) seen.fileName = WindowText(field);
    if (answer.before) answer.before(box);
    PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(answer.button), 0);
    return WaitFor([box] { return !IsWindow(box) || !IsWindowVisible(box); });
}
} // namespace

SeenBox AnswerOtherBox(HWND dialog, const BoxAnswer& answer) {
    SeenBox seen;
    const DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
    if (HWND box = WaitForDialogOfThread(thread, answer.waitMs, dialog)) Answer(box, answer, seen);
    return seen;
}

SeenBox PressAndAnswer(HWND dialog, int button, const BoxAnswer& answer) {
    PostMessageA(dialog, WM_COMMAND, static_cast<WPARAM>(button), 0);
    return AnswerOtherBox(dialog, answer);
}

std::vector<SeenBox> AnswerBoxes(const std::function<void()>& action,
                                 const std::vector<BoxAnswer>& answers) {
    std::vector<SeenBox> seen;
    std::thread helper([&, uiThread = GetCurrentThreadId()] {
        for (const BoxAnswer& answer : answers) {
            HWND box = WaitForDialogOfThread(uiThread, answer.waitMs);
            if (!box || !Answer(box, answer, seen.emplace_back())) return;
        }
    });
    action();
    helper.join();
    return seen;
}

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

void EditorTest::SetText(const std::string& text) {
    View(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
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

bool EditorTest::Checked(int command) {
    return GetMenuState(GetMenu(app->main), static_cast<UINT>(command), MF_BYCOMMAND) & MF_CHECKED;
}

std::wstring EditorTest::MenuText(int command) {
    wchar_t text[128] = {};
    GetMenuStringW(GetMenu(app->main), static_cast<UINT>(command), text, 128, MF_BYCOMMAND);
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
