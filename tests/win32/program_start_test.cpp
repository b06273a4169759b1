// Starts the real program on a file and checks its main window.
#include "win32_test_support.h"

#include <gtest/gtest.h>

namespace stx::test {

TEST(ProgramStart, OpensFileNamedOnCommandLineAndExitsCleanly) {
    TempFile doc("stratext start test.asm", "mov eax, 1\r\n\tret\r\nend");
    ProgramProcess program("\"" + doc.Path() + "\"");
    ASSERT_TRUE(program.Started());
    HWND main = program.WaitForWindow("Stratext");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(WindowText(main).rfind("Stratext", 0), 0u);
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0);
}

TEST(ProgramStart, MissingFileStillStartsUntitled) {
    ProgramProcess program("no-such-file.txt");
    ASSERT_TRUE(program.Started());
    HWND main = program.WaitForWindow("Stratext");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(WindowText(main).rfind("Stratext", 0), 0u);
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0);
}

} // namespace stx::test
