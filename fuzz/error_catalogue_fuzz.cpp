// The error catalogue's decoders over the built-in dictionary (or a damaged
// one) and records of any bytes: every record decodes to a defined text, each
// decoder returns the rest of the bytes it was given, and the details of any
// code come out whole. The Hex field's reading takes only its first 19
// characters and reads back any code it writes.
#include "fuzz/fuzz_check.h"
#include "tools/error_catalogue.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

using namespace stx;

namespace {

// `rest` is empty or lies at the end of `whole`.
bool IsTail(std::span<const std::uint8_t> rest, std::span<const std::uint8_t> whole) {
    return rest.empty() || (rest.size() <= whole.size() &&
                            rest.data() + rest.size() == whole.data() + whole.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const ErrorCatalog& builtIn = BuiltInErrorCatalog();

    const std::uint32_t code = in.ConsumeIntegral<std::uint32_t>();
    STX_FUZZ_CHECK(ReadHexCode(HexCodeText(code)) == code);
    const std::string details = ErrorDetailsText(builtIn, code);
    STX_FUZZ_CHECK(details.find(HexCodeText(code)) != std::string::npos);
    const std::string typed = in.ConsumeRandomLengthString(40);
    STX_FUZZ_CHECK(ReadHexCode(typed) == ReadHexCode(typed.substr(0, 19)));

    // A dictionary of its own, with word positions in any order, or the real one.
    std::vector<std::uint8_t> dictionary;
    std::vector<std::uint32_t> starts;
    ErrorCatalog catalog = builtIn;
    if (in.ConsumeBool()) {
        dictionary = in.ConsumeBytes<std::uint8_t>(in.ConsumeIntegralInRange(0, 64));
        for (int n = in.ConsumeIntegralInRange(0, 12); n > 0; --n)
            starts.push_back(in.ConsumeIntegralInRange<std::uint32_t>(0, 80));
        catalog.dictionary = dictionary;
        catalog.wordStarts = starts;
    }
    // Records of any bytes, with a table pointing anywhere near them.
    std::vector<std::uint32_t> table;
    for (int n = in.ConsumeIntegralInRange(0, 8); n > 0; --n)
        table.push_back(in.ConsumeIntegral<std::uint16_t>());
    const std::vector<std::uint8_t> records = in.ConsumeRemainingBytes<std::uint8_t>();
    catalog.records = records;
    catalog.recordTable = table;

    for (std::size_t i = 0; i <= RecordCount(catalog); ++i) {
        const auto record = RecordAt(catalog, i);
        if (!record) continue;
        std::string names, message;
        const auto rest = DecodeNames(catalog, record->streams, names);
        STX_FUZZ_CHECK(IsTail(rest, record->streams));
        STX_FUZZ_CHECK(IsTail(DecodeMessage(catalog, rest, message), rest));
        STX_FUZZ_CHECK(!FormatErrorDetails(catalog, record->code, *record).empty());
        const auto first = FindRecord(catalog, record->code);
        STX_FUZZ_CHECK(first && first->index <= i && first->code == record->code);
    }
    // The whole record bytes as one stream, with both decoders.
    std::string names, message;
    STX_FUZZ_CHECK(IsTail(DecodeNames(catalog, records, names), records));
    STX_FUZZ_CHECK(IsTail(DecodeMessage(catalog, records, message), records));
    return 0;
}
