#include "app/help_lookup.h"

#include "app/settings.h"

namespace stx {

namespace {

bool IsWordChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

bool Above(char c, char limit) {
    return static_cast<unsigned char>(c) > static_cast<unsigned char>(limit);
}

} // namespace

std::string HelpKeyword(std::string_view text, std::size_t caret) {
    if (caret > text.size()) caret = text.size();
    // The word that reaches the caret starts after the last non-word byte before it.
    std::size_t start = caret;
    while (start > 0 && IsWordChar(text[start - 1]))
        --start;

    // Between words: the next word, remembering where the last printable run began.
    std::size_t runStart = start;
    for (std::size_t i = start; i < text.size(); ++i) {
        const char c = text[i];
        if (IsWordChar(c)) {
            std::size_t end = i;
            while (end < text.size() && IsWordChar(text[end]))
                ++end;
            return std::string(text.substr(i, end - i));
        }
        if (Above(c, ' ') && (i == start || !Above(text[i - 1], ' '))) runStart = i;
    }
    std::size_t end = runStart;
    while (end < text.size() && Above(text[end], '!'))
        ++end;
    return std::string(text.substr(runStart, end - runStart));
}

std::string HelpKeywordAt(const TextBuffer& buffer, std::uint32_t caretOffset) {
    const std::uint32_t skip = caretOffset > kKeywordReach ? caretOffset - kKeywordReach : 0;
    char text[2 * kKeywordReach + 1];
    const std::uint32_t count = buffer.ExtractRange(2 * kKeywordReach, skip, text);
    return HelpKeyword(std::string_view(text, count), caretOffset - skip);
}

std::uint8_t HelpOptionsFromDialog(std::uint8_t options, bool closeOnExit, bool f1GoesToIndex) {
    options &= static_cast<std::uint8_t>(~(kHelpCloseOnExit | kHelpF1GoesToIndex));
    if (closeOnExit) options |= kHelpCloseOnExit;
    if (f1GoesToIndex) options |= kHelpF1GoesToIndex;
    return options;
}

bool ClosesHelpOnExit(std::uint8_t options) {
    return (options & kHelpCloseOnExit) && (options & kHelpUsed);
}

} // namespace stx
