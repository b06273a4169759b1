// Reading build-script text: character classes, and the fixed-size buffer
// that every expanded statement is built in.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace stx {

// The command buffer holds 8,192 bytes: 8,191 characters and the terminator.
inline constexpr std::size_t kCommandBufferCapacity = 8191;

// The character at pos, or NUL at and past the end: scripts end at a NUL, so
// every scan that stops at NUL also stops at the end of the text.
inline char CharAt(std::string_view text, std::size_t pos) {
    return pos < text.size() ? text[pos] : '\0';
}

inline bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// At or below 0x20: blanks, line breaks, other control characters and NUL.
inline bool IsSpaceOrControl(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

// Where a statement's text ends.
inline bool IsStatementEnd(char c) {
    return c == '\r' || c == '\n' || c == '\0' || c == '{' || c == '}';
}

inline bool IsLineEnd(char c) {
    return c == '\r' || c == '\n' || c == '\0';
}

// Letters, digits and ^ _ ` ~ make up variable names.
inline bool IsIdentifierChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '^' ||
           c == '_' || c == '`' || c == '~';
}

inline char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

inline std::size_t SkipBlanks(std::string_view text, std::size_t pos) {
    while (IsBlank(CharAt(text, pos)))
        ++pos;
    return pos;
}

// Text with a fixed capacity. What would pass it is dropped and remembered,
// so the statement that built it can refuse to run.
class BoundedText {
  public:
    explicit BoundedText(std::size_t capacity = kCommandBufferCapacity) : capacity_(capacity) {}

    void Append(char c) {
        if (text_.size() < capacity_)
            text_.push_back(c);
        else
            overflowed_ = true;
    }
    void Append(std::string_view s) {
        const std::size_t room = capacity_ - text_.size();
        if (s.size() > room) overflowed_ = true;
        text_.append(s.substr(0, room));
    }
    void MarkOverflowed() { overflowed_ = true; }
    void TrimTrailingBlanks() {
        while (!text_.empty() && IsBlank(text_.back()))
            text_.pop_back();
    }
    void Clear() {
        text_.clear();
        overflowed_ = false;
    }

    bool Overflowed() const { return overflowed_; }
    const std::string& Text() const { return text_; }
    std::size_t Size() const { return text_.size(); }

  private:
    std::size_t capacity_;
    std::string text_;
    bool overflowed_ = false;
};

} // namespace stx
