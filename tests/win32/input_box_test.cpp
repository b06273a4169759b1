// The input box driven like a user would: type into the edit field, press a button.
#include "platform/input_box.h"

#include <gtest/gtest.h>

#include "app/command_ids.h"
#include "win32_test_support.h"

namespace stx::test {

using Answer = std::optional<std::string>;

TEST(InputBox, ShowsPromptAndNumberAndReturnsAtMost254TypedCharacters) {
    std::string shownPrompt, shownNumber, okLabel;
    Answer answer = DriveDialog<Answer>(
        [] {
            InputBoxRequest request;
            request.prompt = "Enter number of planes:";
            request.number = 8;
            return InputBox(nullptr, request);
        },
        [&](HWND dialog) {
            char text[300];
            GetDlgItemTextA(dialog, IDC_INPUT_PROMPT, text, sizeof text);
            shownPrompt = text;
            GetDlgItemTextA(dialog, IDC_INPUT_EDIT, text, sizeof text);
            shownNumber = text;
            GetDlgItemTextA(dialog, IDC_DIALOG_OK, text, sizeof text);
            okLabel = text;
            SetDlgItemTextA(dialog, IDC_INPUT_EDIT, std::string(400, '7').c_str());
            PostMessageA(dialog, WM_COMMAND, IDC_DIALOG_OK, 0);
        });
    EXPECT_EQ(shownPrompt, "Enter number of planes:");
    EXPECT_EQ(shownNumber, "8");
    EXPECT_EQ(okLabel, "&Ok");
    ASSERT_TRUE(answer.has_value());
    EXPECT_LE(answer->size(), 254u);
    EXPECT_GE(answer->size(), 2u);
    EXPECT_EQ(*answer, std::string(answer->size(), '7'));
}

TEST(InputBox, CancelAndRomanianTemplate) {
    std::string okLabel;
    Answer answer = DriveDialog<Answer>(
        [] {
            InputBoxRequest request;
            request.language = UiLanguage::Romanian;
            return InputBox(nullptr, request);
        },
        [&](HWND dialog) {
            char text[64];
            GetDlgItemTextA(dialog, IDC_DIALOG_OK, text, sizeof text);
            okLabel = text;
            PostMessageA(dialog, WM_COMMAND, IDC_DIALOG_CANCEL, 0);
        });
    EXPECT_EQ(okLabel, "&Acceptare");
    EXPECT_FALSE(answer.has_value());
}

} // namespace stx::test
