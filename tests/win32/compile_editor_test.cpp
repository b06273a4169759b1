// Build scripts in the running editor.
//
// What a user does: types a 64-bit assembler program into the editor, writes a
// build script that runs the real GNU assembler and linker (Linux programs,
// which Wine starts from its Z: drive), presses F9 and gets a program, with the section flags the
// script asked for. A program with a syntax error stops the script at its
// `if errorlevel`. scripts/test passes the tools' paths in STX_MINGW_AS and
// STX_MINGW_LD.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/command_ids.h"
#include "compile_test_support.h"
#include "editor_fixture.h"

namespace stx::test {

namespace {

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
    const std::string image = ReadBytes(dir / "demo.exe");
    ASSERT_GT(image.size(), 0x200u);
    EXPECT_EQ(image.substr(0, 2), "MZ");
    const std::uint32_t pe = *reinterpret_cast<const std::uint32_t*>(image.data() + 0x3C);
    ASSERT_LT(pe + 4, image.size());
    EXPECT_EQ(image.substr(pe, 4), std::string("PE\0\0", 4));
    // .text comes first: code, execute, read, and now write.
    EXPECT_EQ(SectionCharacteristics(image, 0), 0xE0000020u);
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
class CompileAndRun : public EditorTest {};

TEST_F(CompileAndRun, StartsTheProgramOnlyAfterAGoodRun) {
    ScratchDirectory dir("stx compile and run");
    // Each document has its program, which adds a line to "<name>.exe.started" when it starts.
    for (const char* program : {"aborted.exe", "cancelled.exe", "demo.exe"})
        WriteBytes(dir / program, ReadBytes(PathBesideTests("script_probe.exe")));
    auto waitForStarts = [&](const char* program, const std::string& expected) {
        const std::string marks = dir / (std::string(program) + ".started");
        for (int i = 0; i < 500 && ReadBytes(marks) != expected; ++i)
            Sleep(20);
        return ReadBytes(marks);
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
        "demo.asm", {{IDYES, {}}, {IDCANCEL, [&](HWND window) {
                                       shown = WindowText(GetDlgItem(window, IDC_HELP_TEXT));
                                   }}});
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].caption, "The source");
    EXPECT_EQ(shown, "; demo");
    EXPECT_EQ(waitForStarts("demo.exe", "started\r\n"), "started\r\n");

    // The last run went well; a cancelled question still starts nothing.
    Type(" changed");
    EXPECT_EQ(compileAndRun("cancelled.asm", {{IDCANCEL, {}}}).size(), 1u);

    app->settings.configuredScript = "md built";
    compileAndRun("demo.asm", {{IDYES, {}}});
    EXPECT_EQ(waitForStarts("demo.exe", "started\r\nstarted\r\n"), "started\r\nstarted\r\n");
    // By now a start of the other two would have shown.
    EXPECT_EQ(ReadBytes(dir / "aborted.exe.started"), "<missing>");
    EXPECT_EQ(ReadBytes(dir / "cancelled.exe.started"), "<missing>");
}

} // namespace

} // namespace stx::test
