#include "files/number.h"

#include <gtest/gtest.h>

#include <string>

namespace stx {
namespace {

struct Case {
    const char* text;
    std::uint32_t value;
    std::size_t length;
};

TEST(ParseNumber, NotationTable) {
    const Case cases[] = {
        {"123", 123, 3},
        {"1a", 26, 2},        // a hexadecimal letter makes the whole number hexadecimal
        {"0x1F", 31, 4},      // prefix
        {"1Fh", 31, 3},       // suffix consumed
        {"777o", 511, 4},     // octal suffixes
        {"17q", 15, 3},       //
        {"101b", 5, 4},       // binary
        {"102b", 102, 3},     // not binary: decimal up to the b, which is not its suffix
        {"12d", 12, 3},       // decimal suffix consumed
        {"1e5", 485, 3},      // e is a hexadecimal letter
        {"89o", 89, 2},       // 8 and 9 refuse octal
        {"12x", 18, 3},       // x as the last character
        {"12h3", 12, 2},      // h not at the end: examination goes on, decimal
        {"1d2", 0x1d2, 3},    // d not at the end: hexadecimal
        {"0b101", 0xb101, 5}, // b not at the end: hexadecimal, not a binary prefix
        {"7o7", 7, 2},        // an o decides octal wherever it stands
        {"12:", 18, 2},       // characters above 9 select hexadecimal
        {"1_000", 1, 1},      //
        {"0x", 0, 2},         // prefix without digits
        {"", 0, 0},           // no digits at all
        {"-5", 0, 0},         // no sign
        {"zz", 0, 0},         //
        {"4294967295", 4294967295u, 10},
        {"4294967296", 0, 10}, // wraps modulo 2^32
        {"FFFFFFFFFh", 0xFFFFFFFFu, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const NumberReading r = ParseNumber(c.text);
        EXPECT_EQ(r.value, c.value);
        EXPECT_EQ(r.length, c.length);
    }
}

TEST(ParseNumber, StopsAtTheEndOfTheToken) {
    // A view into a longer text: the letters behind it must not make it hexadecimal.
    const std::string line = "12 abc";
    EXPECT_EQ(ParseNumber(std::string_view(line).substr(0, 2)), (NumberReading{12, 2}));
    EXPECT_EQ(ParseNumber(NumberToken(line)), (NumberReading{12, 2}));
    // The whole line would read differently, which is why tokens are cut.
    EXPECT_EQ(ParseNumber(line).value, 0x12u);
    // Reads past the end of a buffer and NULs inside it are the number fuzz target's to catch.
}

TEST(ParseHex, ReadsOnlyHexadecimal) {
    EXPECT_EQ(ParseHex("0x1F"), (NumberReading{31, 4}));
    EXPECT_EQ(ParseHex("1F"), (NumberReading{31, 2}));
    EXPECT_EQ(ParseHex("E0000020h"), (NumberReading{0xE0000020u, 9}));
    EXPECT_EQ(ParseHex("10x |"), (NumberReading{16, 3}));
    EXPECT_EQ(ParseHex("101b"), (NumberReading{0x101b, 4})); // no binary suffix here
    EXPECT_EQ(ParseHex("123d"), (NumberReading{0x123d, 4}));
    EXPECT_EQ(ParseHex("0x"), (NumberReading{0, 2}));
    EXPECT_EQ(ParseHex("g"), (NumberReading{0, 0}));
    EXPECT_EQ(ParseHex("100000000"), (NumberReading{0, 9})); // wraps
}

TEST(WriteDecimal, WritesDigitsOnlyAndNothingIntoAShortOutput) {
    char out[kMaxDecimalDigits + 2];
    std::fill(std::begin(out), std::end(out), '#');
    ASSERT_EQ(WriteDecimal(0, out), 1u);
    EXPECT_EQ(std::string(out, 2), "0#"); // no terminator
    ASSERT_EQ(WriteDecimal(UINT64_MAX, out), 20u);
    EXPECT_EQ(std::string(out, 20), "18446744073709551615");
    EXPECT_EQ(WriteDecimal(12345, std::span<char>(out, 4)), 0u);
    EXPECT_EQ(std::string(out, 4), "1844"); // nothing partial
    EXPECT_EQ(WriteDecimal(0, std::span<char>()), 0u);
}

} // namespace
} // namespace stx
