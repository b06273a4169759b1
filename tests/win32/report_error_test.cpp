// The last-error box: its text, its caption, and silence when there is no error.
#include "platform/report_error.h"

#include <gtest/gtest.h>

#include "tools/error_catalogue.h"
#include "win32_test_support.h"

namespace stx::test {

TEST(ReportError, TextHasCatalogueDetailsBlankLineAndSystemText) {
    const std::string text = ErrorReportText(ERROR_ACCESS_DENIED);
    const std::string head =
        ErrorDetailsText(BuiltInErrorCatalog(), ERROR_ACCESS_DENIED) + "\r\n\r\nSystem returns: ";
    ASSERT_EQ(text.rfind(head, 0), 0u) << text;
    EXPECT_NE(head.find("Message ID: ERROR_ACCESS_DENIED\r\n"), std::string::npos);
    const std::string system = text.substr(head.size());
    EXPECT_FALSE(system.empty());
    EXPECT_EQ(system, SystemMessageText(ERROR_ACCESS_DENIED));

    // A code without a catalogue record still shows its code line and the system's text.
    EXPECT_EQ(ErrorReportText(0x2000ABCDu)
                  .rfind("Error Code: 2000ABCD (536914893)\r\n\r\n"
                         "System returns: ",
                         0),
              0u);
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
    EXPECT_EQ(text, ErrorReportText(ERROR_PATH_NOT_FOUND));
    EXPECT_NE(text.find("Message ID: ERROR_PATH_NOT_FOUND\r\n"), std::string::npos);
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
