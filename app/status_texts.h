// The status bar's texts: short notices in part 0, the caret's line and column
// in parts 1 and 2, and in part 0 the value of the number under the caret in
// four bases.
#pragma once

#include "app/ui_language.h"
#include "text/caret.h"
#include "text/text_buffer.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

namespace stx {

inline constexpr int kNoticePart = 0;
inline constexpr int kLinePart = 1;
inline constexpr int kColumnPart = 2;

// The status bar as the core sees it; the Win32 layer sends SB_SETTEXTA.
class StatusBarPort {
  public:
    virtual ~StatusBarPort() = default;
    // text is NUL-terminated. A text set now is drawn at once, as a notice
    // before a long operation must be; others are drawn with the next paint.
    virtual void SetPartText(int part, const char* text, bool now) = 0;
};

// The notices owned by the status bar itself; other features pass their own
// texts to ShowNotice.
enum class Notice : std::uint8_t {
    OperationAborted,
    OperationCompleted,
    Printing,
    FileWritten,
    FileOpened,
    ErrorOpeningFile,
    ErrorWritingFile,
    CompilerTerminated,
};
const BilingualText& NoticeText(Notice notice);

// "Line: 12" and "Column: 5"; the column is shown 1-based.
std::string LineText(std::uint32_t line, UiLanguage language);
std::string ColumnText(std::uint32_t column, UiLanguage language);

// The longest number display ("DEC: -1000000000 / HEX: C4653600 / BIN: ..."),
// without its terminator.
inline constexpr std::size_t kMaxNumberDisplayLength = 91;

// The number display for the characters of a Number run: one leading sign is
// skipped and "-" makes the value negative; the rest is read with
// ParseNumber. Decimal shows the sign and the magnitude, the other bases the
// 32-bit two's complement value.
std::string NumberDisplayText(std::string_view runChars);

// The token the number display looks at on the caret line (End when the caret
// has no line): the token holding the character left of the caret, or the
// first token in column 0. When that token is a TAB, a Plain run or a NUL and
// the caret stands at its end, the token right of the caret is taken instead,
// so a caret just before a number shows it.
Token TokenAtCaret(const TextBuffer& buffer, const Caret& caret);

// Part 0 shows a notice until the next status update replaces it. Updates
// send a text only when it differs from the one shown; notices always go out.
// Notices may come from the print thread: the remembered text is guarded, and
// the port is never called with the guard held, so a port that waits for the
// user-interface thread cannot deadlock against it.
class StatusBar {
  public:
    explicit StatusBar(StatusBarPort& port) : port_(port) {}

    void ShowNotice(const char* text);
    void ShowNotice(Notice notice, UiLanguage language);

    // After each input in the text view: parts 1 and 2, then the number
    // display (or an empty part 0) for the given token at the caret.
    void UpdateStatus(std::uint32_t line, std::uint32_t column, const Token& tokenAtCaret,
                      UiLanguage language);
    void UpdateStatus(const TextBuffer& buffer, const Caret& caret, UiLanguage language);

    // The text part 0 shows now (the last notice, number display or nothing).
    std::string StatusNotice() const;

  private:
    // Sends text to part 0 unless it already shows it (or always, for notices).
    void SetNoticePart(std::string text, bool always);

    StatusBarPort& port_;
    mutable std::mutex mutex_;
    std::string shown_;
};

} // namespace stx
