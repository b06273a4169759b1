// Build scripts on the real file system and with real processes: the Windows
// host (exit codes, redirection through the command interpreter, deletion,
// section flags, the wait that keeps windows painted), the compiler
// configuration dialog, and F9 and Ctrl+F9 in the running editor.
//
// The toolchain test is what a user does: types a 64-bit assembler program
// into the editor, writes a build script that runs the real GNU assembler and
// linker (Linux programs, which Wine starts from its Z: drive), presses F9 and
// gets a program, with the section flags the script asked for. A program with
// a syntax error stops the script at its `if errorlevel`. scripts/test passes
// the tools' paths in STX_MINGW_AS and STX_MINGW_LD.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "app/command_ids.h"
#include "compile/build_script.h"
#include "platform/compile_commands.h"
#include "platform/script_host.h"
#include "tests/support/memory_settings_store.h"
#include "win32_test_support.h"

namespace stx::test {

namespace {

// The Characteristics of section `index` of a PE image (checked by the caller
// to be one).
std::uint32_t SectionCharacteristics(const std::string& image, int index) {
    auto dword = [&](std::size_t at) {
        std::uint32_t value = 0;
        if (at + 4 <= image.size()) std::memcpy(&value, image.data() + at, 4);
        return value;
    };
    const std::uint32_t pe = dword(0x3C);
    const std::uint32_t optionalSize = dword(pe + 0x14) & 0xFFFF;
    return dword(pe + 24 + optionalSize + 40 * static_cast<std::size_t>(index) + 36);
}

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
        AnswerBoxes([&] { RunBuildScript(script, run, host); }, {{IDOK, {}}, {IDOK, {}, 1000}});

    EXPECT_NE(GetFileAttributesA((dir / "seven").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ReadBytes(dir / "out.txt"), "hello\r\nagain\r\n");
    EXPECT_NE(GetFileAttributesA((dir / "zero").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesA((dir / "missing").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA((dir / "tree").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(views, std::vector<std::string>{"size 14|hello\r\nagain\r\n"});
    ASSERT_EQ(boxes.size(), 1u);
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
        WaitFor([&] { return paints != seen; });
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

// Types into the script edit the way the keyboard does: the edit is marked modified.
void TypeInto(HWND dialog, const char* text) {
    HWND edit = GetDlgItem(dialog, IDC_CONFIG_SCRIPT);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
}

class ConfigureDialog : public ::testing::Test {
  protected:
    ConfigureDialog() : document_("stx config demo.asm", "; demo") {
        settings.configuredScript = "echo configured\r\n:later\r\necho later";
        settings.autoSave = true;
        document.path = document_.Path();
        document.named = true;
    }

    // Opens the dialog, works it with `drive` and closes it with `button`.
    INT_PTR Open(int button, const std::function<void(HWND)>& drive) {
        std::vector<SeenBox> seen;
        return AnswerBoxes<INT_PTR>([&] { return CommandConfigureCompiler(environment); },
                                    {{button, drive}}, seen);
    }

    TempFile document_;
    AppSettings settings;
    MemorySettingsStore store;
    DocumentState document;
    CompileState state;
    CompileEnvironment environment{
        nullptr, settings, store, document, state, nullptr, true, [] { return true; }, {}};
};

// Execute now runs the edit's text with the dialog owning its boxes; Exec
// command runs one typed line whose jump lands in that script; Cancel then
// puts the script from before the dialog back. OK stores it only when changed.
TEST_F(ConfigureDialog, ExecutesTheEditAndStoresOnlyWhatChanged) {
    const std::string configured = settings.configuredScript;
    SeenBox executed, jumped;
    std::string caption, shown, prompt;
    HWND configureDialog = nullptr;
    INT_PTR result = Open(IDC_DIALOG_CANCEL, [&](HWND dialog) {
        configureDialog = dialog;
        caption = WindowText(dialog);
        shown = DlgItemText(dialog, IDC_CONFIG_SCRIPT);
        TypeInto(dialog, "echo from the edit\r\n:jump\r\necho jumped");
        executed = PressAndAnswer(dialog, IDC_CONFIG_EXECUTE, {IDOK});
        PressAndAnswer(dialog, IDC_CONFIG_EXEC_COMMAND,
                       {IDC_DIALOG_OK, [&](HWND input) {
                            prompt = DlgItemText(input, IDC_INPUT_PROMPT);
                            SetDlgItemTextA(input, IDC_INPUT_EDIT, "goto jump");
                        }});
        jumped = AnswerOtherBox(dialog, {IDOK});
    });
    EXPECT_EQ(caption, "Compiler configuration");
    EXPECT_EQ(shown, configured);
    EXPECT_EQ(executed.text, "from the edit\r\njumped");
    EXPECT_EQ(executed.owner, configureDialog);
    EXPECT_EQ(prompt, "Enter command to execute:");
    EXPECT_EQ(jumped.text, "jumped");
    EXPECT_EQ(jumped.owner, configureDialog);
    EXPECT_EQ(state.commandText, "goto jump");
    EXPECT_EQ(result, IDC_DIALOG_CANCEL | kScriptModifiedBit);
    EXPECT_EQ(settings.configuredScript, configured);

    EXPECT_EQ(Open(IDC_DIALOG_OK, {}), IDC_DIALOG_OK);
    EXPECT_TRUE(store.writes.empty());
    result = Open(IDC_DIALOG_OK, [&](HWND dialog) { TypeInto(dialog, "echo changed"); });
    EXPECT_EQ(result, IDC_DIALOG_OK | kScriptModifiedBit);
    EXPECT_EQ(settings.configuredScript, "echo changed");
    ASSERT_EQ(store.writes.size(), 1u);
    EXPECT_EQ(store.writes[0].name, "External assembler commands");
}

// The Unix path a variable names; empty when it is not set.
std::string UnixPathFromEnvironment(const char* variable) {
    const char* path = std::getenv(variable);
    return path && path[0] == '/' ? path : "";
}

// Wine starts a Linux program without a process to wait for, and never with
// its exit code, so each tool runs in a shell that leaves "done" behind when
// it ends; the probe waits for that, and turns the tool's object file into
// an exit code the script can test. The tools see file names as given: the
// names are relative to the document's directory (the run's current
// directory) and in their long form, whose case they need.
std::string BuildScript(const std::string& assembler, const std::string& linker) {
    return "set %probe=\"" + PathBesideTests("script_probe.exe") +
           "\"\r\n"
           "set %shell=Z:\\bin\\sh\r\n"
           "if exist %!2.o del %!2.o\r\n"
           "if exist %!2.exe del %!2.exe\r\n"
           "del done\r\n"
           "%shell -c \"" +
           assembler +
           " -o %!2.o %!2%; touch done\"\r\n"
           "%probe wait done\r\n"
           "if exist %!2.o %probe exit 0\r\n"
           "else %probe exit 1\r\n"
           "if errorlevel 1 goto failed\r\n"
           "del done\r\n"
           "%shell -c \"" +
           linker +
           " -o %!2.exe %!2.o -e start%; touch done\"\r\n"
           "%probe wait done\r\n"
           "section +w .text %!2.exe\r\n"
           "echo Built %!2.exe\r\n"
           "goto end\r\n"
           ":failed\r\n"
           "md failed\r\n"
           "error\r\n"
           ":end\r\n";
}

class Toolchain : public EditorTest {
  protected:
    void SetUp() override {
        assembler = UnixPathFromEnvironment("STX_MINGW_AS");
        linker = UnixPathFromEnvironment("STX_MINGW_LD");
        if (assembler.empty() || linker.empty())
            GTEST_SKIP() << "STX_MINGW_AS and STX_MINGW_LD name the toolchain";
        EditorTest::SetUp();
    }

    // F9 on a modified document: the save question is answered Yes.
    std::vector<SeenBox> CompileWithF9(std::vector<BoxAnswer> answers) {
        answers.insert(answers.begin(), BoxAnswer{IDYES, {}});
        return AnswerBoxes([&] { Command(IDM_COMPILE); }, answers);
    }

    std::string assembler, linker;
};

TEST_F(Toolchain, F9AssemblesLinksAndSetsSectionFlags) {
    ScratchDirectory dir("stx toolchain");
    app->document = {dir / "demo.asm", true};
    app->settings.configuredScript = BuildScript(assembler, linker);

    Type(".intel_syntax noprefix\r.globl start\r.text\rstart:\rmov eax, 42\rret\r"
         ".data\rvalue: .long 1\r");
    std::vector<SeenBox> boxes = CompileWithF9({{IDOK, {}}});
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, "Built demo.exe");
    EXPECT_EQ(ReadBytes(dir / "demo.asm").substr(0, 22), ".intel_syntax noprefix");
    // .text comes first: code, execute, read, and now write.
    EXPECT_EQ(SectionCharacteristics(ReadBytes(dir / "demo.exe"), 0), 0xE0000020u);
    EXPECT_FALSE(app->compileState.abortFlag);
    EXPECT_EQ(StatusPart(0), "Compiler process terminated");

    // A syntax error leaves no object file; the script stops at its errorlevel test.
    Select(0, -1);
    Type("start:\rmov eax,, 42\r");
    boxes = CompileWithF9({});
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(ReadBytes(dir / "demo.o"), "<missing>");
    EXPECT_EQ(ReadBytes(dir / "demo.exe"), "<missing>");
    EXPECT_NE(GetFileAttributesA((dir / "failed").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(app->compileState.abortFlag);
}

// Ctrl+F9 starts the program after a script that ends normally; not after
// one that aborts, nor when the save question is cancelled. `type` shows a
// file in the text window, captioned by the message before it.
using CompileAndRun = EditorTest;

TEST_F(CompileAndRun, StartsTheProgramOnlyAfterAGoodRun) {
    ScratchDirectory dir("stx compile and run");
    // Each document has its program, which adds a line to "<name>.exe.started" when it starts.
    for (const char* program : {"aborted.exe", "cancelled.exe", "demo.exe"})
        WriteBytes(dir / program, ReadBytes(PathBesideTests("script_probe.exe")));
    auto startsOfDemo = [&](const std::string& expected) {
        return WaitFor([&] { return ReadBytes(dir / "demo.exe.started") == expected; });
    };
    auto compileAndRun = [&](const char* document, std::vector<BoxAnswer> answers) {
        app->document = {dir / document, true};
        return AnswerBoxes([&] { Command(IDM_COMPILE_RUN); }, answers);
    };

    app->settings.configuredScript = "error";
    EXPECT_TRUE(compileAndRun("aborted.asm", {}).empty());
    EXPECT_TRUE(app->compileState.abortFlag);

    Type("; demo");
    app->settings.configuredScript = "echo The source\r\ntype %!2";
    std::string shown;
    std::vector<SeenBox> boxes = compileAndRun(
        "demo.asm", {{IDYES, {}},
                     {IDCANCEL, [&](HWND window) { shown = DlgItemText(window, IDC_HELP_TEXT); }}});
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].caption, "The source");
    EXPECT_EQ(shown, "; demo");
    EXPECT_TRUE(startsOfDemo("started\r\n"));

    // The last run went well; a cancelled question still starts nothing.
    Type(" changed");
    EXPECT_EQ(compileAndRun("cancelled.asm", {{IDCANCEL, {}}}).size(), 1u);

    app->settings.configuredScript = "md built";
    compileAndRun("demo.asm", {{IDYES, {}}});
    EXPECT_TRUE(startsOfDemo("started\r\nstarted\r\n"));
    // By now a start of the other two would have shown.
    EXPECT_EQ(ReadBytes(dir / "aborted.exe.started"), "<missing>");
    EXPECT_EQ(ReadBytes(dir / "cancelled.exe.started"), "<missing>");
}

} // namespace

} // namespace stx::test
