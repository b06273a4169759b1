// Starts the real program on a file that is not there: it still starts, untitled.
#include "win32_test_support.h"

#include <gtest/gtest.h>

namespace stx::test {

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
