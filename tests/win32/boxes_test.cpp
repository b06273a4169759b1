// The program's own boxes driven as a user would: the input box, the
// last-error box and the text window.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/command_ids.h"
#include "platform/input_box.h"
#include "platform/report_error.h"
#include "platform/text_window.h"
#include "tools/error_catalogue.h"
#include "win32_test_support.h"

namespace stx::test {

using Answer = std::optional<std::string>;

std::string ItemText(HWND dialog, int id) {
    return WindowText(GetDlgItem(dialog, id));
}

// The other boxes open the English template; this one the Romanian.
TEST(InputBox, ShowsPromptAndNumberReturnsAtMost254TypedCharactersOrNothing) {
    std::string shownPrompt, shownNumber, okLabel;
    std::vector<SeenBox> seen;
    const Answer answer = AnswerBoxes<Answer>(
        [] {
            InputBoxRequest request;
            request.language = UiLanguage::Romanian;
            request.prompt = "Enter number of planes:";
            request.number = 8;
            return InputBox(nullptr, request);
        },
        {{IDC_DIALOG_OK,
          [&](HWND dialog) {
              shownPrompt = ItemText(dialog, IDC_INPUT_PROMPT);
              shownNumber = ItemText(dialog, IDC_INPUT_EDIT);
              okLabel = ItemText(dialog, IDC_DIALOG_OK);
              SetDlgItemTextA(dialog, IDC_INPUT_EDIT, std::string(400, '7').c_str());
          }}},
        seen);
    EXPECT_EQ(shownPrompt, "Enter number of planes:");
    EXPECT_EQ(shownNumber, "8");
    EXPECT_EQ(okLabel, "&Acceptare");
    ASSERT_TRUE(answer.has_value());
    EXPECT_LE(answer->size(), 254u);
    EXPECT_GE(answer->size(), 2u);
    EXPECT_EQ(*answer, std::string(answer->size(), '7'));

    // Cancel gives no answer.
    EXPECT_FALSE(AnswerBoxes<Answer>([] { return InputBox(nullptr, InputBoxRequest{}); },
                                     {{IDC_DIALOG_CANCEL}}, seen)
                     .has_value());
}

TEST(ReportError, BoxShowsTheLastErrorAndKeepsItAndNoErrorShowsNone) {
    std::vector<SeenBox> seen;
    const DWORD after = AnswerBoxes<DWORD>(
        [] {
            // A call that fails: opening a file that is not there.
            CreateFileA("Z:\\no such folder\\no such file", GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                        0, nullptr);
            ReportLastError();
            return GetLastError();
        },
        {{IDOK, {}}}, seen);
    EXPECT_EQ(after, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, "Big fucking error");
    // The catalogue's details, a blank line, then the system's own text.
    EXPECT_EQ(seen[0].text,
              ErrorDetailsText(BuiltInErrorCatalog(), ERROR_PATH_NOT_FOUND) +
                  "\r\n\r\nSystem returns: " + SystemMessageText(ERROR_PATH_NOT_FOUND));

    // A customer code has neither a record nor a system text: the code line,
    // and the system's words for the failed lookup instead of nothing.
    EXPECT_EQ(ErrorReportText(0x2000ABCDu), "Error Code: 2000ABCD (536914893)\r\n\r\n"
                                            "System returns: " +
                                                SystemMessageText(ERROR_MR_MID_NOT_FOUND));
    EXPECT_FALSE(SystemMessageText(ERROR_MR_MID_NOT_FOUND).empty());

    EXPECT_TRUE(AnswerBoxes(
                    [] {
                        SetLastError(0);
                        ReportLastError();
                    },
                    {{IDOK, {}, 1000}})
                    .empty());
}

TEST(TextWindow, ShowsTheWholeTextReadOnlyAndCloses) {
    std::string text;
    for (int i = 0; i < 4000; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    std::string shown;
    LONG_PTR style = 0;
    std::vector<SeenBox> seen;
    const bool closed =
        AnswerBoxes<bool>([&] { return ShowTextWindow(nullptr, "listing.lst", text, true); },
                          {{IDCANCEL,
                            [&](HWND dialog) {
                                HWND edit = GetDlgItem(dialog, IDC_HELP_TEXT);
                                shown.resize(static_cast<size_t>(GetWindowTextLengthA(edit)) + 1);
                                shown.resize(static_cast<size_t>(GetWindowTextA(
                                    edit, shown.data(), static_cast<int>(shown.size()))));
                                style = GetWindowLongPtrA(edit, GWL_STYLE);
                            }}},
                          seen);
    EXPECT_TRUE(closed);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, "listing.lst");
    // Past the control's default limit of 32 KB, to the last line.
    EXPECT_EQ(shown.rfind("line 0", 0), 0u);
    EXPECT_NE(shown.find("line 3999"), std::string::npos);
    EXPECT_TRUE(style & ES_READONLY);
}

} // namespace stx::test
