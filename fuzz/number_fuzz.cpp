// The number reader over any bytes: it reads nothing past the token or its
// first NUL, what it consumes lies inside the token, and the decimal writer's
// text reads back as the value it wrote.
#include "files/number.h"
#include "fuzz/fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using namespace stx;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t nul = input.find('\0');
    const std::size_t bounded = nul == std::string_view::npos ? size : nul;

    const NumberReading number = ParseNumber(input);
    STX_FUZZ_CHECK(number.length <= bounded);
    // Whatever follows the first NUL is not part of the token.
    STX_FUZZ_CHECK(ParseNumber(input.substr(0, bounded)) == number);
    const NumberReading hex = ParseHex(input);
    STX_FUZZ_CHECK(hex.length <= bounded);

    const std::string_view token = NumberToken(input);
    STX_FUZZ_CHECK(token == input.substr(0, token.size()));
    STX_FUZZ_CHECK(token.find_first_of(std::string_view(" \t\r\n\0", 5)) == token.npos);
    STX_FUZZ_CHECK(ParseNumber(token).length <= token.size());

    // Written digits read back as decimal, whole.
    const std::string text = DecimalText(number.value);
    STX_FUZZ_CHECK(DetectNotation(text) == Notation::Decimal);
    STX_FUZZ_CHECK((ParseNumber(text) == NumberReading{number.value, text.size()}));

    // Outputs of every size up to the digit count: too small writes nothing.
    for (std::size_t room = 0; room <= text.size(); ++room) {
        std::vector<char> out(room, '#');
        const std::size_t written = WriteDecimal(number.value, out);
        if (room < text.size()) {
            STX_FUZZ_CHECK(written == 0 &&
                           std::string(out.begin(), out.end()) == std::string(room, '#'));
        } else {
            STX_FUZZ_CHECK(written == text.size() && std::string(out.begin(), out.end()) == text);
        }
    }
    return 0;
}
