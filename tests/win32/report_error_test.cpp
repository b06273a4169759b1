// The last-error box: its text, its caption, and silence when there is no error.
#include "platform/report_error.h"

#include <gtest/gtest.h>

#include "win32_test_support.h"

namespace stx::test {

TEST(ReportError, TextHasCodeLineBlankLineAndSystemText) {
    const std::string text = ErrorReportText(ERROR_ACCESS_DENIED);
    const std::string head = "Error Code: 00000005 (5)\r\n\r\nSystem returns: ";
    ASSERT_EQ(text.rfind(head, 0), 0u) << text;
    const std::string system = text.substr(head.size());
    EXPECT_FALSE(system.empty());
    EXPECT_EQ(system, SystemMessageText(ERROR_ACCESS_DENIED));

    // Large codes are written in full, in both bases.
    EXPECT_EQ(ErrorReportText(0xC0000005u).rfind("Error Code: C0000005 (3221225477)\r\n", 0), 0u);
}

TEST(ReportError, CodeWithoutTextShowsWhyTheSystemHasNone) {
    // A customer code has no system text; the box then carries the system's
    // words for the failed lookup instead of nothing.
    const std::string text = SystemMessageText(0x2000ABCDu);
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(text, SystemMessageText(ERROR_MR_MID_NOT_FOUND));
}

TEST(ReportError, BoxShowsTheLastErrorAndKeepsIt) {
    std::string caption, text;
    const DWORD after = DriveDialog<DWORD>(
        [] {
            SetLastError(ERROR_SHARING_VIOLATION);
            ReportLastError();
            return GetLastError();
        },
        [&](HWND box) {
            caption = WindowText(box);
            char buffer[4096] = {};
            GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);
            text = buffer;
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        });
    EXPECT_EQ(after, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(caption, "Big fucking error");
    EXPECT_EQ(text, ErrorReportText(ERROR_SHARING_VIOLATION));
}

TEST(ReportError, NoErrorNoBox) {
    bool boxShown = false;
    const DWORD uiThread = GetCurrentThreadId();
    std::thread helper([&] {
        if (HWND box = WaitForDialogOfThread(uiThread, 1000)) {
            boxShown = true;
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
    });
    SetLastError(0);
    ReportLastError();
    helper.join();
    EXPECT_FALSE(boxShown);
}

} // namespace stx::test
