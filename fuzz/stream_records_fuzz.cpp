// The stream-record parser over any bytes, fed whole, in pieces of any size,
// or with the streams' data skipped instead of read: every way lists the same
// streams, stops in the same state, never wants more than a record can hold,
// and keeps the list within its bounds. The first four input bytes choose the
// piece sizes; the rest are the records.
#include "files/stream_records.h"
#include "fuzz/fuzz_check.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

using namespace stx;

namespace {

bool Same(const std::vector<StreamRecord>& a, const std::vector<StreamRecord>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x.streamId == y.streamId && x.size == y.size && x.name == y.name;
    });
}

// Pieces of 1 to 64 bytes from a small generator; data skipped when asked.
StreamRecordParser FeedInPieces(std::span<const std::uint8_t> bytes, std::uint32_t seed,
                                bool skipData) {
    StreamRecordParser parser;
    std::size_t at = 0;
    while (at < bytes.size() && !parser.Stopped()) {
        const StreamRecordParser::Want want = parser.Next();
        STX_FUZZ_CHECK(want.bytes > 0);
        if (!want.data)
            STX_FUZZ_CHECK(want.bytes <=
                           std::max<std::size_t>(kStreamHeaderSize, kMaxStreamNameBytes));
        if (want.data && skipData) {
            const std::uint64_t skip = std::min<std::uint64_t>(want.bytes, bytes.size() - at);
            parser.Skipped(skip);
            at += static_cast<std::size_t>(skip);
            continue;
        }
        seed = seed * 1103515245u + 12345u;
        const std::size_t piece = std::min<std::size_t>(1 + (seed >> 16) % 64, bytes.size() - at);
        const std::size_t used = parser.Feed(bytes.data() + at, piece);
        STX_FUZZ_CHECK(used == piece || parser.Stopped());
        at += used;
    }
    return parser;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    const std::uint32_t seed =
        data[0] | data[1] << 8 | data[2] << 16 | std::uint32_t{data[3]} << 24;
    const std::span<const std::uint8_t> bytes(data + 4, size - 4);

    StreamRecordParser whole;
    const std::size_t used = whole.Feed(bytes.data(), bytes.size());
    STX_FUZZ_CHECK(used == bytes.size() || whole.Stopped());
    STX_FUZZ_CHECK(Same(whole.Records(), ParseStreamRecords(bytes)));
    STX_FUZZ_CHECK(whole.Records().size() <= kMaxStreamRecords);
    STX_FUZZ_CHECK((whole.Status() == StreamRecordParser::State::Full) ==
                   (whole.Records().size() == kMaxStreamRecords));
    for (const StreamRecord& r : whole.Records())
        STX_FUZZ_CHECK(r.name.size() * 2 <= kMaxStreamNameBytes);

    for (bool skip : {false, true}) {
        const StreamRecordParser pieces = FeedInPieces(bytes, seed, skip);
        STX_FUZZ_CHECK(Same(pieces.Records(), whole.Records()));
        STX_FUZZ_CHECK(pieces.Status() == whole.Status());
    }

    // The menu texts of the streams.
    for (std::size_t i = 0; i < whole.Records().size(); ++i) {
        STX_FUZZ_CHECK(StreamCounterText(i).size() == 14);
        std::string name;
        for (char16_t c : whole.Records()[i].name)
            name += static_cast<char>(c < 0x80 ? c : '?');
        const std::string file = StreamFileName("C:\\a.txt", name);
        STX_FUZZ_CHECK(file.empty() || file.rfind("C:\\a.txt:", 0) == 0);
    }
    return 0;
}
