#include "app/status_texts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace stx {
namespace {

struct PartText {
    int part;
    std::string text;
    friend bool operator==(const PartText&, const PartText&) = default;
};

class RecordingStatusBar : public StatusBarPort {
  public:
    void SetPartText(int part, const char* text) override { sent.push_back({part, text}); }
    std::vector<std::string> NoticePartTexts() const {
        std::vector<std::string> texts;
        for (const PartText& p : sent)
            if (p.part == kNoticePart) texts.push_back(p.text);
        return texts;
    }
    std::vector<PartText> sent;
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

std::string Ones(int n) {
    return std::string(static_cast<std::size_t>(n), '1');
}

TEST(NumberDisplay, FourRenderings) {
    EXPECT_EQ(NumberDisplayText("255"), "DEC: 255 / HEX: FF / BIN: 11111111 / OCT: 377");
    EXPECT_EQ(NumberDisplayText("0"), "DEC: 0 / HEX: 0 / BIN: 0 / OCT: 0");
    EXPECT_EQ(NumberDisplayText("-1"),
              "DEC: -1 / HEX: FFFFFFFF / BIN: " + Ones(32) + " / OCT: 37777777777");
    EXPECT_EQ(NumberDisplayText("+0FFh"), "DEC: 255 / HEX: FF / BIN: 11111111 / OCT: 377");
    EXPECT_EQ(NumberDisplayText("-12"),
              "DEC: -12 / HEX: FFFFFFF4 / BIN: 11111111111111111111111111110100 / OCT: "
              "37777777764");
    // Octal of a value with the top bit set: 2 bits, then ten groups of 3.
    EXPECT_EQ(NumberDisplayText("80000000h"), "DEC: 2147483648 / HEX: 80000000 / BIN: 1" +
                                                  std::string(31, '0') + " / OCT: 20000000000");
    // Only one sign is taken; the magnitude wraps like any number.
    EXPECT_EQ(NumberDisplayText("-4294967296"), "DEC: -0 / HEX: 0 / BIN: 0 / OCT: 0");
    EXPECT_EQ(NumberDisplayText("-"), "DEC: -0 / HEX: 0 / BIN: 0 / OCT: 0");
    EXPECT_EQ(NumberDisplayText(""), "DEC: 0 / HEX: 0 / BIN: 0 / OCT: 0");
}

TEST(NumberDisplay, LongestFormFitsItsBuffer) {
    const std::string longest = NumberDisplayText("-1000000000");
    EXPECT_EQ(longest, "DEC: -1000000000 / HEX: C4653600 / BIN: 11000100011001010011011000000000 "
                       "/ OCT: 30431233000");
    EXPECT_EQ(longest.size(), kMaxNumberDisplayLength);
    for (const char* text : {"-4294967295", "4294967295", "-2147483648", "-1", "11111111111b"})
        EXPECT_LE(NumberDisplayText(text).size(), kMaxNumberDisplayLength) << text;
}

// Tokens of a line as plain data, for the selection rule alone.
Token RunToken(TokenClass tokenClass, const char* chars) {
    Token t;
    t.kind = TokenKind::Run;
    t.tokenClass = tokenClass;
    t.chars = chars;
    t.count = static_cast<std::uint32_t>(std::char_traits<char>::length(chars));
    return t;
}
Token Single(TokenKind kind) {
    Token t;
    t.kind = kind;
    t.count = 1;
    return t;
}

const char* PickedAt(const std::vector<Token>& line, std::uint32_t column) {
    std::size_t next = 0;
    const Token t =
        TokenAtColumn([&] { return next < line.size() ? line[next++] : Token{}; }, column);
    if (t.kind == TokenKind::End) return "end";
    if (t.kind == TokenKind::Tab) return "tab";
    if (t.kind == TokenKind::Nul) return "nul";
    return t.chars;
}

TEST(TokenAtColumn, TakesTheTokenLeftOfTheCaret) {
    // "ab" TAB "12" NUL "cd" "34"
    const std::vector<Token> line = {
        RunToken(TokenClass::Plain, "ab"),  Single(TokenKind::Tab),
        RunToken(TokenClass::Number, "12"), Single(TokenKind::Nul),
        RunToken(TokenClass::Plain, "cd"),  RunToken(TokenClass::Number, "34")};
    EXPECT_STREQ(PickedAt(line, 0), "ab"); // column 0: the first token
    EXPECT_STREQ(PickedAt(line, 1), "ab");
    EXPECT_STREQ(PickedAt(line, 2), "tab"); // at the end of a Plain run: the token right of it
    EXPECT_STREQ(PickedAt(line, 3), "12");  // at the end of a TAB
    EXPECT_STREQ(PickedAt(line, 4), "12");
    EXPECT_STREQ(PickedAt(line, 5), "12"); // right after a number: still the number
    EXPECT_STREQ(PickedAt(line, 6), "cd"); // at the end of a NUL
    EXPECT_STREQ(PickedAt(line, 8), "34");
    EXPECT_STREQ(PickedAt(line, 10), "34");
    EXPECT_STREQ(PickedAt(line, 11), "end"); // beyond the line
    EXPECT_STREQ(PickedAt(line, UINT32_MAX), "end");
    EXPECT_STREQ(PickedAt({}, 0), "end");
    EXPECT_STREQ(PickedAt({RunToken(TokenClass::Plain, "x ")}, 2), "end"); // at the line end
}

TEST_F(StatusUpdate, EmptyDocument) {
    ASSERT_EQ(buffer.New(), TextStatus::Ok);
    EXPECT_EQ(DisplayAt(1, 0), "");
    EXPECT_EQ(port.sent,
              (std::vector<PartText>{{kLinePart, "Line: 1"}, {kColumnPart, "Column: 1"}}));
}

TEST_F(StatusUpdate, NumberUnderTheCaret) {
    Open("mov eax, 255\r\nx-12 abc\r\n\t0\r\n7 a 0FFh");
    EXPECT_EQ(DisplayAt(1, 12), "DEC: 255 / HEX: FF / BIN: 11111111 / OCT: 377"); // right after
    EXPECT_EQ(DisplayAt(1, 9), "DEC: 255 / HEX: FF / BIN: 11111111 / OCT: 377");  // just before
    EXPECT_EQ(DisplayAt(1, 4), "");                                               // in a word
    EXPECT_EQ(DisplayAt(2, 1), NumberDisplayText("-12")); // the sign belongs to the number
    EXPECT_EQ(DisplayAt(2, 5), "");
    EXPECT_EQ(DisplayAt(3, 1), "DEC: 0 / HEX: 0 / BIN: 0 / OCT: 0"); // after a TAB
    EXPECT_EQ(DisplayAt(4, 0), NumberDisplayText("7"));
    EXPECT_EQ(DisplayAt(4, 8), NumberDisplayText("0FFh"));
    EXPECT_EQ(DisplayAt(9, 0), ""); // no such line
}

TEST_F(StatusUpdate, NulBytesCountOneCharacter) {
    const char text[] = {'a', '\0', '5', '\0', ' ', '6'};
    Open(std::string_view(text, sizeof text));
    EXPECT_EQ(DisplayAt(1, 2), NumberDisplayText("5")); // just after the first NUL
    EXPECT_EQ(DisplayAt(1, 4), "");                     // after the second NUL: the space
    EXPECT_EQ(DisplayAt(1, 6), NumberDisplayText("6"));
}

TEST_F(StatusUpdate, SendsPartZeroOnlyWhenItChanges) {
    Open("12 34");
    DisplayAt(1, 1);
    DisplayAt(1, 2); // same number, other column
    DisplayAt(1, 3); // just before 34
    DisplayAt(1, 4);
    DisplayAt(1, 0); // back on 12
    EXPECT_EQ(port.NoticePartTexts(),
              (std::vector<std::string>{NumberDisplayText("12"), NumberDisplayText("34"),
                                        NumberDisplayText("12")}));
    // Parts 1 and 2 go out after every input.
    EXPECT_EQ(port.sent.size() - port.NoticePartTexts().size(), 10u);

    Open("a b");
    port.sent.clear();
    DisplayAt(1, 1); // cleared once
    DisplayAt(1, 3); // already clear
    EXPECT_EQ(port.NoticePartTexts(), (std::vector<std::string>{""}));
}

TEST_F(StatusUpdate, NoticeStaysUntilTheNextUpdate) {
    Open("x 5");
    bar.ShowNotice(Notice::FileOpened, UiLanguage::English);
    bar.ShowNotice(Notice::FileOpened, UiLanguage::English); // notices always go out
    EXPECT_EQ(bar.StatusNotice(), "File opened successfully");
    EXPECT_EQ(port.NoticePartTexts().size(), 2u);

    EXPECT_EQ(DisplayAt(1, 0), ""); // the notice is cleared
    bar.ShowNotice(Notice::FileWritten, UiLanguage::Romanian);
    EXPECT_EQ(bar.StatusNotice(), "Fisierul a fost salvat cu succes");
    EXPECT_EQ(DisplayAt(1, 3), NumberDisplayText("5")); // replaced by the number
    EXPECT_EQ(
        port.NoticePartTexts(),
        (std::vector<std::string>{"File opened successfully", "File opened successfully", "",
                                  "Fisierul a fost salvat cu succes", NumberDisplayText("5")}));
    bar.ShowNotice(nullptr);
    EXPECT_EQ(bar.StatusNotice(), "");
}

TEST_F(StatusUpdate, RomanianPositionTexts) {
    Open("1");
    Caret caret;
    caret.line = 1;
    caret.column = 1;
    bar.UpdateStatus(buffer, caret, UiLanguage::RomanianDiacritics);
    ASSERT_EQ(port.sent.size(), 3u);
    EXPECT_EQ(port.sent[0], (PartText{kLinePart, "Linia: 1"}));
    EXPECT_EQ(port.sent[1], (PartText{kColumnPart, "Coloana: 2"}));
    EXPECT_EQ(port.sent[2], (PartText{kNoticePart, NumberDisplayText("1")}));     // English only
    EXPECT_EQ(ColumnText(UINT32_MAX, UiLanguage::English), "Column: 4294967296"); // no wrap to 0
}

} // namespace
} // namespace stx
