#include "files/number.h"

#include <array>

namespace stx {

namespace {

// The token up to its size or its first NUL: nothing past either is looked at.
std::string_view Bounded(std::string_view token) {
    const std::size_t nul = token.find('\0');
    return nul == std::string_view::npos ? token : token.substr(0, nul);
}

unsigned char FoldCase(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

bool HasHexPrefix(std::string_view text) {
    return text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
}

// Value of c as a digit of the given base, or -1.
int DigitValue(unsigned char c, unsigned base) {
    int value = -1;
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    return (value >= 0 && static_cast<unsigned>(value) < base) ? value : -1;
}

bool IsSuffixOf(unsigned char c, Notation notation) {
    switch (FoldCase(c)) {
    case 'h':
    case 'x':
        return notation == Notation::Hexadecimal;
    case 'd':
        return notation == Notation::Decimal;
    case 'o':
    case 'q':
        return notation == Notation::Octal;
    case 'b':
        return notation == Notation::Binary;
    default:
        return false;
    }
}

unsigned BaseOf(Notation notation) {
    switch (notation) {
    case Notation::Hexadecimal:
        return 16;
    case Notation::Octal:
        return 8;
    case Notation::Binary:
        return 2;
    case Notation::Decimal:
        break;
    }
    return 10;
}

// Reads digits of the notation from start, then its suffix if one stops them.
NumberReading ReadDigits(std::string_view text, std::size_t start, Notation notation) {
    const unsigned base = BaseOf(notation);
    NumberReading reading;
    std::size_t pos = start;
    for (; pos < text.size(); ++pos) {
        const int digit = DigitValue(static_cast<unsigned char>(text[pos]), base);
        if (digit < 0) break;
        // Unsigned arithmetic: wraps modulo 2^32 by design.
        reading.value = reading.value * base + static_cast<std::uint32_t>(digit);
    }
    if (pos < text.size() && IsSuffixOf(static_cast<unsigned char>(text[pos]), notation)) ++pos;
    reading.length = pos;
    return reading;
}

} // namespace

std::string_view NumberToken(std::string_view text) {
    const std::size_t end = text.find_first_of(std::string_view(" \t\r\n\0", 5));
    return end == std::string_view::npos ? text : text.substr(0, end);
}

Notation DetectNotation(std::string_view token) {
    const std::string_view text = Bounded(token);
    if (HasHexPrefix(text)) return Notation::Hexadecimal;

    bool notBinary = false;
    bool notOctal = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = FoldCase(static_cast<unsigned char>(text[i]));
        const bool last = i + 1 == text.size();
        if (c == '0' || c == '1') continue;
        if (c < '0' || (c >= '2' && c <= '7')) {
            notBinary = true;
        } else if (c == '8' || c == '9') {
            notBinary = true;
            notOctal = true;
        } else if (c == 'o' || c == 'q') {
            if (!notOctal) return Notation::Octal;
        } else if (c == 'h' || c == 'x') {
            if (last) return Notation::Hexadecimal;
        } else if (c == 'd') {
            return last ? Notation::Decimal : Notation::Hexadecimal;
        } else if (c == 'b') {
            if (!last) return Notation::Hexadecimal;
            if (!notBinary && !notOctal) return Notation::Binary;
        } else {
            // Any other letter or character above '9'.
            return Notation::Hexadecimal;
        }
    }
    return Notation::Decimal;
}

NumberReading ParseNumber(std::string_view token) {
    const std::string_view text = Bounded(token);
    const Notation notation = DetectNotation(text);
    const std::size_t start = (notation == Notation::Hexadecimal && HasHexPrefix(text)) ? 2 : 0;
    return ReadDigits(text, start, notation);
}

NumberReading ParseHex(std::string_view token) {
    const std::string_view text = Bounded(token);
    return ReadDigits(text, HasHexPrefix(text) ? 2 : 0, Notation::Hexadecimal);
}

std::size_t WriteDecimal(std::uint64_t value, std::span<char> output) {
    std::array<char, kMaxDecimalDigits> digits{};
    std::size_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    if (count > output.size()) return 0;
    for (std::size_t i = 0; i < count; ++i)
        output[i] = digits[count - 1 - i];
    return count;
}

std::string DecimalText(std::uint64_t value) {
    std::array<char, kMaxDecimalDigits> digits{};
    const std::size_t count = WriteDecimal(value, digits);
    return std::string(digits.data(), count);
}

} // namespace stx
