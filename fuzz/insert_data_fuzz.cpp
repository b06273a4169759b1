// Insert data over any file bytes, name and options (also combinations the
// dialog would not offer): the text has exactly the length computed before
// it is built, starts with a line break, and holds only printable characters,
// TABs and CR LF pairs; the label and the values-per-line field stay in range.
#include "fuzz/fuzz_check.h"
#include "tools/insert_data.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

using namespace stx;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    InsertDataOptions o;
    o.width = static_cast<DataWidth>(in.ConsumeIntegralInRange(0, 2));
    o.radix = static_cast<DataRadix>(in.ConsumeIntegralInRange(0, 3));
    const auto language = static_cast<DataLanguage>(in.ConsumeIntegralInRange(0, 4));
    if (in.ConsumeBool()) {
        ChooseLanguage(o, language);
        const DataLanguageRules rules = RulesFor(language);
        STX_FUZZ_CHECK(rules.binaryAndOctal ||
                       (o.radix != DataRadix::Binary && o.radix != DataRadix::Octal));
        STX_FUZZ_CHECK(rules.dword || o.width != DataWidth::Dword);
    } else {
        o.language = language;
    }
    o.alignZeroes = in.ConsumeBool();
    const std::string perLine = in.ConsumeRandomLengthString(12);
    o.valuesPerLine = ValuesPerLine(perLine);
    STX_FUZZ_CHECK(o.valuesPerLine >= 1);
    if (in.ConsumeBool()) o.valuesPerLine = in.ConsumeIntegral<std::uint32_t>();

    const std::string identifier = DataIdentifier(in.ConsumeRandomLengthString(40));
    STX_FUZZ_CHECK(!identifier.empty() && identifier.size() <= 7);
    for (char c : identifier)
        STX_FUZZ_CHECK((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                       c == '_');

    const std::string bytes = in.ConsumeRemainingBytesAsString();
    const std::string text = FormatData(bytes, o, identifier);
    STX_FUZZ_CHECK(text.size() == FormattedDataLength(bytes.size(), o, identifier.size()));
    STX_FUZZ_CHECK(text.rfind("\r\n", 0) == 0);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\r')
            STX_FUZZ_CHECK(i + 1 < text.size() && text[i + 1] == '\n');
        else if (c == '\n')
            STX_FUZZ_CHECK(i > 0 && text[i - 1] == '\r');
        else
            STX_FUZZ_CHECK_MSG(c == '\t' || (c >= ' ' && c < 0x7F),
                               "byte " + std::to_string(c) + " at " + std::to_string(i));
    }
    return 0;
}
