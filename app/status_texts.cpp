#include "app/status_texts.h"

#include "app/ui_texts.h"
#include "files/number.h"

#include <array>

namespace stx {

namespace {

// Digits of value in base 2, 8 or 16, upper case, no leading zeros.
std::string Digits(std::uint32_t value, unsigned base) {
    std::array<char, 32> reversed{};
    std::size_t count = 0;
    do {
        reversed[count++] = "0123456789ABCDEF"[value % base];
        value /= base;
    } while (value != 0);
    return std::string(reversed.rend() - static_cast<std::ptrdiff_t>(count), reversed.rend());
}

} // namespace

const BilingualText& NoticeText(Notice notice) {
    switch (notice) {
    case Notice::OperationAborted:
        return kNoticeAborted;
    case Notice::OperationCompleted:
        return kNoticeCompleted;
    case Notice::Printing:
        return kNoticePrinting;
    case Notice::FileWritten:
        return kNoticeFileWritten;
    case Notice::FileOpened:
        return kNoticeFileOpened;
    case Notice::ErrorOpeningFile:
        return kErrorOpeningFile;
    case Notice::ErrorWritingFile:
        return kErrorWritingFile;
    case Notice::CompilerTerminated:
        break;
    }
    return kCompilerTerminated;
}

std::string LineText(std::uint32_t line, UiLanguage language) {
    return ChooseText(language, kLineLabel) + DecimalText(line);
}

std::string ColumnText(std::uint32_t column, UiLanguage language) {
    // 64-bit so the last column does not wrap to 0.
    return ChooseText(language, kColumnLabel) + DecimalText(std::uint64_t{column} + 1);
}

std::string NumberDisplayText(std::string_view runChars) {
    bool negative = false;
    if (!runChars.empty() && (runChars.front() == '-' || runChars.front() == '+')) {
        negative = runChars.front() == '-';
        runChars.remove_prefix(1);
    }
    const std::uint32_t magnitude = ParseNumber(runChars).value;
    const std::uint32_t value = negative ? 0u - magnitude : magnitude;

    std::string text = "DEC: ";
    if (negative) text += '-';
    text += DecimalText(magnitude);
    text += " / HEX: ";
    text += Digits(value, 16);
    text += " / BIN: ";
    text += Digits(value, 2);
    text += " / OCT: ";
    text += Digits(value, 8);
    return text;
}

Token TokenAtCaret(const TextBuffer& buffer, const Caret& caret) {
    const LineRecord* record = caret.record ? caret.record : buffer.FindLine(caret.line);
    if (record == nullptr) return Token{};
    // Characters are counted along the line: a TAB and a NUL count one, a run
    // its characters.
    TokenCursor cursor(buffer, record);
    Token token = cursor.Next();
    if (caret.column == 0) return token;
    std::uint64_t counted = 0;
    while (token.kind != TokenKind::End) {
        counted += token.count;
        if (counted >= caret.column) {
            const bool passesOn =
                token.kind == TokenKind::Tab || token.kind == TokenKind::Nul ||
                (token.kind == TokenKind::Run && token.tokenClass == TokenClass::Plain);
            return (passesOn && counted == caret.column) ? cursor.Next() : token;
        }
        token = cursor.Next();
    }
    return token; // the column lies beyond the line
}

void StatusBar::ShowNotice(const char* text) {
    SetNoticePart(text ? text : "", true);
}

void StatusBar::ShowNotice(Notice notice, UiLanguage language) {
    ShowNotice(ChooseText(language, NoticeText(notice)));
}

void StatusBar::UpdateStatus(std::uint32_t line, std::uint32_t column, const Token& tokenAtCaret,
                             UiLanguage language) {
    port_.SetPartText(kLinePart, LineText(line, language).c_str(), false);
    port_.SetPartText(kColumnPart, ColumnText(column, language).c_str(), false);

    std::string display;
    if (tokenAtCaret.kind == TokenKind::Run && tokenAtCaret.tokenClass == TokenClass::Number &&
        tokenAtCaret.chars != nullptr)
        display = NumberDisplayText(std::string_view(tokenAtCaret.chars, tokenAtCaret.count));
    SetNoticePart(std::move(display), false);
}

void StatusBar::UpdateStatus(const TextBuffer& buffer, const Caret& caret, UiLanguage language) {
    UpdateStatus(caret.line, caret.column, TokenAtCaret(buffer, caret), language);
}

std::string StatusBar::StatusNotice() const {
    std::lock_guard lock(mutex_);
    return shown_;
}

void StatusBar::SetNoticePart(std::string text, bool always) {
    {
        std::lock_guard lock(mutex_);
        if (!always && text == shown_) return;
        shown_ = text;
    }
    port_.SetPartText(kNoticePart, text.c_str(), always);
}

} // namespace stx
