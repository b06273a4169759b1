#include "app/status_texts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace stx {
namespace {

class RecordingStatusBar : public StatusBarPort {
  public:
    void SetPartText(int part, const char* text, bool) override {
        if (part == kNoticePart)
            notices.push_back(text);
        else
            ++others;
    }
    std::vector<std::string> notices;
    int others = 0;
};

// A document, a caret in it and the status bar, as the text view has them.
class StatusUpdate : public ::testing::Test {
  protected:
    void Open(std::string_view text) {
        ASSERT_EQ(buffer.Parse(text.data(), text.data() + text.size()), TextStatus::Ok);
    }
    // The number display shown with the caret at (line, column), or "".
    std::string DisplayAt(std::uint32_t line, std::uint32_t column) {
        Caret caret;
        caret.line = line;
        caret.column = column;
        caret.record = buffer.FindLine(line);
        bar.UpdateStatus(buffer, caret, UiLanguage::English);
        return bar.StatusNotice();
    }

    TextBuffer buffer;
    RecordingStatusBar port;
    StatusBar bar{port};
};

TEST(NumberDisplay, FourRenderings) {
    EXPECT_EQ(NumberDisplayText("-1"),
              "DEC: -1 / HEX: FFFFFFFF / BIN: " + std::string(32, '1') + " / OCT: 37777777777");
    EXPECT_EQ(NumberDisplayText("+0FFh"), "DEC: 255 / HEX: FF / BIN: 11111111 / OCT: 377");
    // Octal of a value with the top bit set: 2 bits, then ten groups of 3.
    EXPECT_EQ(NumberDisplayText("80000000h"), "DEC: 2147483648 / HEX: 80000000 / BIN: 1" +
                                                  std::string(31, '0') + " / OCT: 20000000000");
    // Only one sign is taken; the magnitude wraps like any number.
    EXPECT_EQ(NumberDisplayText("-4294967296"), "DEC: -0 / HEX: 0 / BIN: 0 / OCT: 0");
    EXPECT_EQ(NumberDisplayText("-"), "DEC: -0 / HEX: 0 / BIN: 0 / OCT: 0");
    EXPECT_EQ(NumberDisplayText(""), "DEC: 0 / HEX: 0 / BIN: 0 / OCT: 0");
    // The longest form fills the status part's buffer exactly.
    EXPECT_EQ(NumberDisplayText("-1000000000").size(), kMaxNumberDisplayLength);
    for (const char* text : {"-4294967295", "-2147483648", "11111111111b"})
        EXPECT_LE(NumberDisplayText(text).size(), kMaxNumberDisplayLength) << text;
    EXPECT_EQ(ColumnText(UINT32_MAX, UiLanguage::English), "Column: 4294967296"); // no wrap to 0
}

TEST_F(StatusUpdate, NumberUnderTheCaret) {
    Open(std::string_view("mov eax, 255\r\nx-12 abc\r\n\t0\r\n7 a 0FFh\r\na\0"
                          "5\0 6",
                          44));
    EXPECT_EQ(DisplayAt(1, 12), "DEC: 255 / HEX: FF / BIN: 11111111 / OCT: 377"); // right after
    EXPECT_EQ(DisplayAt(1, 9), "DEC: 255 / HEX: FF / BIN: 11111111 / OCT: 377");  // just before
    EXPECT_EQ(DisplayAt(1, 4), "");                                               // in a word
    EXPECT_EQ(DisplayAt(2, 1), NumberDisplayText("-12")); // the sign belongs to the number
    EXPECT_EQ(DisplayAt(2, 5), "");
    EXPECT_EQ(DisplayAt(3, 1), "DEC: 0 / HEX: 0 / BIN: 0 / OCT: 0"); // after a TAB
    EXPECT_EQ(DisplayAt(4, 0), NumberDisplayText("7"));
    EXPECT_EQ(DisplayAt(4, 8), NumberDisplayText("0FFh"));
    EXPECT_EQ(DisplayAt(9, 0), ""); // no such line
    // A NUL byte counts one character.
    EXPECT_EQ(DisplayAt(5, 2), NumberDisplayText("5"));
    EXPECT_EQ(DisplayAt(5, 4), ""); // after the second NUL: the space
    EXPECT_EQ(DisplayAt(5, 6), NumberDisplayText("6"));
}

TEST_F(StatusUpdate, SendsPartZeroOnlyWhenItChanges) {
    Open("12 34");
    DisplayAt(1, 1);
    DisplayAt(1, 2); // same number, other column
    DisplayAt(1, 3); // just before 34
    DisplayAt(1, 4);
    DisplayAt(1, 0); // back on 12
    EXPECT_EQ(port.notices,
              (std::vector<std::string>{NumberDisplayText("12"), NumberDisplayText("34"),
                                        NumberDisplayText("12")}));
    // Parts 1 and 2 go out after every input.
    EXPECT_EQ(port.others, 10);

    Open("a b");
    port.notices.clear();
    DisplayAt(1, 1); // cleared once
    DisplayAt(1, 3); // already clear
    EXPECT_EQ(port.notices, (std::vector<std::string>{""}));

    // A notice always goes out, and stays until the next update clears it.
    bar.ShowNotice(Notice::FileOpened, UiLanguage::English);
    bar.ShowNotice(Notice::FileOpened, UiLanguage::English);
    DisplayAt(1, 1);
    EXPECT_EQ(port.notices, (std::vector<std::string>{"", "File opened successfully",
                                                      "File opened successfully", ""}));
}

} // namespace
} // namespace stx
