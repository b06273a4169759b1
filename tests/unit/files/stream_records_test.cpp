#include "files/stream_records.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace stx {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Put32(Bytes& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// One record as the backup interface writes it: header, UTF-16 name, data.
void AddStream(Bytes& out, std::uint32_t id, const std::u16string& name, const std::string& data,
               std::optional<std::uint64_t> declaredSize = {},
               std::optional<std::uint32_t> nameBytes = {}) {
    const std::uint64_t size = declaredSize.value_or(data.size());
    Put32(out, id);
    Put32(out, 0);
    Put32(out, static_cast<std::uint32_t>(size));
    Put32(out, static_cast<std::uint32_t>(size >> 32));
    Put32(out, nameBytes.value_or(static_cast<std::uint32_t>(name.size() * 2)));
    for (char16_t u : name) {
        out.push_back(static_cast<std::uint8_t>(u));
        out.push_back(static_cast<std::uint8_t>(u >> 8));
    }
    out.insert(out.end(), data.begin(), data.end());
}

Bytes ThreeStreams() {
    Bytes bytes;
    AddStream(bytes, 1, u"", "default contents");
    AddStream(bytes, 4, u":a:$DATA", "alpha");
    AddStream(bytes, 4, u":b\u0163:$DATA", "");
    return bytes;
}

// Fed in pieces or with the data skipped, the parser lists the same streams: the
// stream records fuzz target checks that over its inputs.
TEST(StreamRecords, ListsEveryStream) {
    StreamRecordParser parser;
    const Bytes bytes = ThreeStreams();
    parser.Feed(bytes.data(), bytes.size());
    const std::vector<StreamRecord>& records = parser.Records();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].name, u"");
    EXPECT_EQ(records[0].size, 16u);
    EXPECT_EQ(records[1].name, u":a:$DATA");
    EXPECT_EQ(records[1].streamId, 4u);
    EXPECT_EQ(records[2].name, u":b\u0163:$DATA");
    EXPECT_EQ(parser.Status(), StreamRecordParser::State::Reading);
}

TEST(StreamRecords, AnUntrustworthyRecordEndsTheList) {
    const Bytes good = ThreeStreams();
    // Cut inside the last header and inside the last name: the streams before stay.
    Bytes cut(good.begin(), good.end() - 30);
    EXPECT_EQ(ParseStreamRecords(cut).size(), 2u);
    Bytes header(good.begin(), good.begin() + 36 + 10);
    EXPECT_EQ(ParseStreamRecords(header).size(), 1u);

    // A huge declared size lists the stream, and nothing after it is read as a header.
    Bytes huge;
    AddStream(huge, 1, u":x", "abc", UINT64_MAX - 1);
    AddStream(huge, 4, u":y", "");
    StreamRecordParser parser;
    parser.Feed(huge.data(), huge.size());
    ASSERT_EQ(parser.Records().size(), 1u);
    EXPECT_EQ(parser.Records()[0].size, UINT64_MAX - 1);
    EXPECT_TRUE(parser.Next().data);

    // An odd or enormous name size cannot be a name: the list stops there.
    for (std::uint32_t nameBytes : {3u, kMaxStreamNameBytes + 2, 0xFFFFFFFFu}) {
        Bytes bad;
        AddStream(bad, 1, u"", "x");
        AddStream(bad, 4, u":n", "", 0, nameBytes);
        AddStream(bad, 4, u":m", "");
        StreamRecordParser p;
        p.Feed(bad.data(), bad.size());
        EXPECT_EQ(p.Records().size(), 1u) << nameBytes;
        EXPECT_EQ(p.Status(), StreamRecordParser::State::Malformed);
        EXPECT_EQ(p.Next().bytes, 0u);
    }

    // A file claiming endless streams lists as many as a menu can hold.
    Bytes many;
    for (std::size_t i = 0; i < kMaxStreamRecords + 5; ++i)
        AddStream(many, 4, u":s", "");
    StreamRecordParser full;
    EXPECT_LT(full.Feed(many.data(), many.size()), many.size());
    EXPECT_EQ(full.Records().size(), kMaxStreamRecords);
    EXPECT_EQ(full.Status(), StreamRecordParser::State::Full);
}

TEST(StreamRecords, MenuTextsAndStreamNames) {
    EXPECT_EQ(StreamCounterText(0), "*Stream #00000");
    EXPECT_EQ(StreamCounterText(12), "*Stream #00012");
    EXPECT_EQ(StreamCounterText(100001), "*Stream #00001");
    EXPECT_EQ(StreamFileName("C:\\a.txt", ":"), "");
    EXPECT_EQ(StreamFileName("C:\\a.txt", ""), "");
}

} // namespace
} // namespace stx
