// Build scripts on the real file system and real processes, through the
// Windows host: exit codes, redirection through the command interpreter,
// deletion, section flags, and the wait that keeps windows painted.
#include "platform/script_host.h"

#include <gtest/gtest.h>

#include <atomic>

#include "compile/build_script.h"
#include "compile_test_support.h"

namespace stx::test {

namespace {

TEST(ScriptHost, ScriptDrivesRealProgramsAndFiles) {
    ScratchDirectory dir("stx script host");
    WriteBytes(dir / "demo.asm", "; demo\r\n");
    WriteBytes(dir / "probe.exe", ReadBytes(PathBesideTests("script_probe.exe")));
    CreateDirectoryA((dir / "tree").c_str(), nullptr);
    CreateDirectoryA((dir / "tree\\sub").c_str(), nullptr);
    WriteBytes(dir / "tree\\sub\\locked.txt", "x");
    SetFileAttributesA((dir / "tree\\sub\\locked.txt").c_str(), FILE_ATTRIBUTE_READONLY);

    std::vector<std::string> views;
    ScriptHostWindows windows;
    windows.viewFile = [&](const std::string& path, const std::string& caption,
                           const std::string&) {
        views.push_back(caption + "|" + ReadBytes(path));
    };
    Win32ScriptHost host(windows);
    BuildScriptRun run;
    const std::string document = dir / "demo.asm";
    run.documentPath = document;
    run.documentNamed = true;
    const std::string script = "probe exit 7\r\n"
                               "if errorlevel 7 md seven\r\n"
                               "probe print hello>out.txt\r\n"
                               "hide probe print again >> out.txt\r\n"
                               "if errorlevel 0 md zero\r\n"
                               "no_such_program_anywhere\r\n"
                               "if not errorlevel 0 md missing\r\n"
                               "deltree tree\r\n"
                               "section +rw * \"%!0\\probe.exe\"\r\n"
                               "echo size %sizeof out.txt\r\n"
                               "type out.txt\r\n"
                               "echo %!2 %2\r\n";
    run.configuredScript = script;
    const std::string before = ReadBytes(dir / "probe.exe");

    std::vector<SeenBox> boxes =
        AnswerBoxes([&] { RunBuildScript(script, run, host); }, {{IDOK, {}}, {IDOK, {}}});

    EXPECT_NE(GetFileAttributesA((dir / "seven").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ReadBytes(dir / "out.txt"), "hello\r\nagain\r\n");
    EXPECT_NE(GetFileAttributesA((dir / "zero").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesA((dir / "missing").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA((dir / "tree").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(views, std::vector<std::string>{"size 14|hello\r\nagain\r\n"});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Stratext");
    EXPECT_EQ(boxes[0].text.substr(0, 9), "demo.asm ");

    const std::string after = ReadBytes(dir / "probe.exe");
    ASSERT_EQ(after.size(), before.size());
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(SectionCharacteristics(after, i),
                  SectionCharacteristics(before, i) | 0xC0000000u);
}

std::atomic<int> paints{0};

LRESULT CALLBACK CountPaints(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT paint;
        BeginPaint(hwnd, &paint);
        EndPaint(hwnd, &paint);
        ++paints;
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// Paints of the thread's windows get through while a program runs; typed
// input waits for the run to end.
TEST(ScriptHost, WaitKeepsWindowsPaintedAndHoldsInputBack) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = CountPaints;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "StxWaitProbe";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA("StxWaitProbe", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                                100, nullptr, nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    UpdateWindow(window);
    PostMessageA(window, WM_CHAR, 'a', 0);

    ScratchDirectory dir("stx script wait");
    const std::string signal = dir / "go";
    const int paintsBefore = paints;
    std::thread helper([&] {
        const int seen = paints;
        InvalidateRect(window, nullptr, FALSE);
        for (int i = 0; i < 1000 && paints == seen; ++i)
            Sleep(10);
        WriteBytes(signal, "");
    });
    Win32ScriptHost host({});
    const std::optional<std::uint32_t> exitCode = host.RunProgram(
        {"\"" + PathBesideTests("script_probe.exe") + "\" wait \"" + signal + "\"", true, {}});
    const int paintsAfterRun = paints;
    helper.join();

    EXPECT_EQ(exitCode, 0u); // the program saw the signal, sent after the paint
    EXPECT_GT(paintsAfterRun, paintsBefore);
    MSG typed;
    EXPECT_TRUE(PeekMessageA(&typed, window, WM_CHAR, WM_CHAR, PM_REMOVE));
    DestroyWindow(window);
}

} // namespace

} // namespace stx::test
