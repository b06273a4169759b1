// The text window shows a long text in its rich edit control, read-only when
// asked, and closes with its button.
#include <windows.h>

#include <richedit.h>

#include <gtest/gtest.h>

#include <string>

#include "app/command_ids.h"
#include "platform/text_window.h"
#include "win32_test_support.h"

namespace stx::test {

TEST(TextWindow, ShowsTheWholeTextAndCloses) {
    std::string text;
    for (int i = 0; i < 4000; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    std::string caption, shown;
    LONG_PTR style = 0;
    const bool closed =
        DriveDialog<bool>([&] { return ShowTextWindow(nullptr, "listing.lst", text, true); },
                          [&](HWND dialog) {
                              caption = WindowText(dialog);
                              HWND edit = GetDlgItem(dialog, IDC_HELP_TEXT);
                              shown.resize(static_cast<size_t>(GetWindowTextLengthA(edit)) + 1);
                              shown.resize(static_cast<size_t>(GetWindowTextA(
                                  edit, shown.data(), static_cast<int>(shown.size()))));
                              style = GetWindowLongPtrA(edit, GWL_STYLE);
                              PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                          });
    EXPECT_TRUE(closed);
    EXPECT_EQ(caption, "listing.lst");
    // Past the control's default limit of 32 KB, to the last line.
    EXPECT_EQ(shown.rfind("line 0", 0), 0u);
    EXPECT_NE(shown.find("line 3999"), std::string::npos);
    EXPECT_TRUE(style & ES_READONLY);
}

} // namespace stx::test
