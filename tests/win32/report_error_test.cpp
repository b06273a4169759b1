// The last-error box: its text, its caption, and silence when there is no error.
#include "platform/report_error.h"

#include <gtest/gtest.h>

#include "tools/error_catalogue.h"
#include "win32_test_support.h"

namespace stx::test {

TEST(ReportError, BoxShowsTheLastErrorAndKeepsIt) {
    std::string caption, text;
    const DWORD after = DriveDialog<DWORD>(
        [] {
            // A call that fails: opening a file that is not there.
            CreateFileA("Z:\\no such folder\\no such file", GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                        0, nullptr);
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
    EXPECT_EQ(after, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(caption, "Big fucking error");
    // The catalogue's details, a blank line, then the system's own text.
    EXPECT_EQ(text, ErrorDetailsText(BuiltInErrorCatalog(), ERROR_PATH_NOT_FOUND) +
                        "\r\n\r\nSystem returns: " + SystemMessageText(ERROR_PATH_NOT_FOUND));
    EXPECT_NE(text.find("Message ID: ERROR_PATH_NOT_FOUND\r\n"), std::string::npos);

    // A customer code has neither a record nor a system text: the code line,
    // and the system's words for the failed lookup instead of nothing.
    EXPECT_EQ(ErrorReportText(0x2000ABCDu), "Error Code: 2000ABCD (536914893)\r\n\r\n"
                                            "System returns: " +
                                                SystemMessageText(ERROR_MR_MID_NOT_FOUND));
    EXPECT_FALSE(SystemMessageText(ERROR_MR_MID_NOT_FOUND).empty());
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
