// Reading numbers typed by the user or found in the text, in decimal,
// hexadecimal, octal or binary notation, and writing numbers as decimal text.
//
// Passing a token: the notation is decided by looking at every character of
// the token (a "d" at its end means decimal, a letter anywhere means
// hexadecimal, ...), so a caller that finds a number inside a longer text
// must pass just that number's token, not the rest of the line. NumberToken()
// cuts a text at the first blank or line end for that purpose. A token ends at
// its size or at the first NUL inside it, whichever comes first; nothing
// beyond the view is ever read, so a view into a larger buffer is safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace stx {

// The value read and the number of characters taken: prefix, digits and a
// consumed suffix. Reading never fails: a token without digits gives 0.
struct NumberReading {
    std::uint32_t value = 0;
    std::size_t length = 0;

    friend bool operator==(const NumberReading&, const NumberReading&) = default;
};

// The notation a token's characters select (the first step of ParseNumber).
enum class Notation { Decimal, Hexadecimal, Octal, Binary };

// The start of text up to (not including) the first space, TAB, CR, LF or NUL.
std::string_view NumberToken(std::string_view text);

// Which notation ParseNumber reads the token in.
Notation DetectNotation(std::string_view token);

// Reads an unsigned 32-bit number; the value wraps modulo 2^32 and there is no
// sign (a leading "-" reads as no digits). Hexadecimal by a "0x" prefix, by an
// "h" or "x" suffix or by a hexadecimal letter; octal by an "o" or "q" suffix;
// binary by a "b" suffix on a text of 0 and 1 only; decimal otherwise.
NumberReading ParseNumber(std::string_view token);

// The hexadecimal form alone: an optional "0x" prefix, hexadecimal digits and
// an optional "h" or "x" suffix.
NumberReading ParseHex(std::string_view token);

// The most digits WriteDecimal produces (the largest 64-bit value).
inline constexpr std::size_t kMaxDecimalDigits = 20;

// Writes the value's decimal digits (at least one, no sign, separators or
// leading zeros, no terminator) at the start of output and returns how many
// were written. When output is too small nothing is written and 0 returned.
std::size_t WriteDecimal(std::uint64_t value, std::span<char> output);

// The same digits as a string.
std::string DecimalText(std::uint64_t value);

} // namespace stx
