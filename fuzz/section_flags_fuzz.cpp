// The section statement's flag editor on PE32 and PE32+ images changed byte
// by byte (or on the input taken as a whole file): a file it rejects comes
// back byte for byte unchanged, a file it edits differs only in the
// Characteristics fields of the section table its headers point at, and
// the same edit again changes nothing.
#include "compile/section_flags.h"
#include "fuzz/fuzz_check.h"
#include "tests/unit/compile/pe_image.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using namespace stx;

namespace {

std::uint32_t Read(const std::vector<std::uint8_t>& bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size; i-- > 0;)
        value = value << 8 | (at + i < bytes.size() ? bytes[at + i] : 0);
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    SectionRequest request;
    request.setMask = in.ConsumeIntegral<std::uint32_t>();
    request.keepMask = in.ConsumeBool() ? 0xFFFFFFFF : in.ConsumeIntegral<std::uint32_t>();
    const char* const kNames[] = {".text", ".rdata", ".data", "*", ".TEXT", ".text\x01"};
    for (int n = in.ConsumeIntegralInRange(0, 3); n > 0; --n)
        request.names.push_back(in.ConsumeBool() ? kNames[in.ConsumeIntegralInRange(0, 5)]
                                                 : in.ConsumeRandomLengthString(12));

    std::vector<std::uint8_t> file;
    if (in.ConsumeBool()) {
        file = test::BuildPeImage(in.ConsumeBool());
        const std::size_t length =
            in.ConsumeBool() ? file.size() : in.ConsumeIntegralInRange<std::size_t>(0, 0x500);
        file.resize(length);
        // Changes at offsets drawn mostly from the headers.
        while (in.remaining_bytes() >= 3 && !file.empty()) {
            const std::size_t at = in.ConsumeIntegralInRange<std::size_t>(0, file.size() - 1);
            file[at] = in.ConsumeIntegral<std::uint8_t>();
        }
    } else {
        file = in.ConsumeRemainingBytes<std::uint8_t>();
    }

    std::vector<std::uint8_t> edited = file;
    const SectionEditResult result = EditSectionFlags(edited, request);
    STX_FUZZ_CHECK(result != SectionEditResult::WriteFailed);
    if (result != SectionEditResult::Done) {
        STX_FUZZ_CHECK(edited == file);
        return 0;
    }
    STX_FUZZ_CHECK(edited.size() == file.size());
    const std::uint64_t pe = Read(file, 0x3C, 4);
    const std::uint64_t table = pe + 24 + Read(file, pe + 0x14, 2);
    const std::uint64_t count = Read(file, pe + 6, 2);
    for (std::size_t i = 0; i < file.size(); ++i) {
        if (edited[i] == file[i]) continue;
        STX_FUZZ_CHECK(i >= table && i < table + count * 40 && (i - table) % 40 >= 36);
    }
    // The flags are masked and set, so the same request again changes nothing.
    std::vector<std::uint8_t> again = edited;
    STX_FUZZ_CHECK(EditSectionFlags(again, request) == SectionEditResult::Done && again == edited);
    return 0;
}
