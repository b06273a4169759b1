// The error catalogue's decoders on small made-up catalogues, the details text,
// and the built-in tables against the list they are generated from.
#include "tools/error_catalogue.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

namespace stx {
namespace {

// Word references in token lists: kWord + i refers to word i.
constexpr int kWord = 0x1000;
enum Words { disk = kWord, full, is, no, space, retry, later, in };
const char* const kWords[] = {"disk", "full", "is", "no", "space", "retry", "later", "[in]"};
constexpr int kLine = 0xFE, kEnd = 0xFF;

std::vector<std::uint8_t> Stream(std::initializer_list<int> tokens) {
    std::vector<std::uint8_t> bytes;
    for (int t : tokens) {
        if (t >= kWord) {
            bytes.push_back(static_cast<std::uint8_t>((t - kWord) >> 8));
            bytes.push_back(static_cast<std::uint8_t>(t - kWord));
        } else {
            bytes.push_back(static_cast<std::uint8_t>(t));
        }
    }
    return bytes;
}

// A catalogue over kWords with the records added to it.
struct TestCatalog {
    std::vector<std::uint8_t> dictionary;
    std::vector<std::uint32_t> starts;
    std::vector<std::uint8_t> records;
    std::vector<std::uint32_t> table;

    TestCatalog() {
        for (const char* w : kWords) {
            starts.push_back(static_cast<std::uint32_t>(dictionary.size()));
            dictionary.insert(dictionary.end(), w, w + std::char_traits<char>::length(w));
        }
        starts.push_back(static_cast<std::uint32_t>(dictionary.size()));
    }
    void Add(std::uint32_t code, std::initializer_list<int> names,
             std::initializer_list<int> message) {
        table.push_back(static_cast<std::uint32_t>(records.size()));
        for (int k = 0; k < 4; ++k)
            records.push_back(static_cast<std::uint8_t>(code >> (8 * k)));
        for (auto part : {Stream(names), Stream({kEnd}), Stream(message), Stream({kEnd})})
            records.insert(records.end(), part.begin(), part.end());
    }
    ErrorCatalog Tables() {
        table.push_back(static_cast<std::uint32_t>(records.size()));
        return {dictionary, starts, records, table};
    }
};

std::string Names(const ErrorCatalog& c, std::initializer_list<int> tokens) {
    std::string out;
    auto bytes = Stream(tokens);
    DecodeNames(c, bytes, out);
    return out;
}

std::string Message(const ErrorCatalog& c, std::initializer_list<int> tokens) {
    std::string out;
    auto bytes = Stream(tokens);
    DecodeMessage(c, bytes, out);
    return out;
}

TEST(ErrorCatalogDecode, DamagedInputStaysInBounds) {
    TestCatalog t;
    t.Add(1, {disk}, {full});
    ErrorCatalog c = t.Tables();
    // No terminator, a reference cut off by the end, a word index beyond the
    // dictionary: the decoders stop at the end of what they were given.
    EXPECT_EQ(Names(c, {disk, full}), "DISK_FULL");
    EXPECT_EQ(Names(c, {disk, 0x00}), "DISK");
    EXPECT_EQ(Names(c, {disk, kWord + 0x1DFF, full, kEnd}), "DISK_FULL");
    EXPECT_EQ(Message(c, {disk, 0x01}), "Disk.");
    std::string out;
    EXPECT_TRUE(DecodeMessage(c, {}, out).empty());

    EXPECT_FALSE(RecordAt(c, 1).has_value());
    const std::vector<std::uint32_t> beyond = {0, 4000};
    c.recordTable = beyond;
    EXPECT_FALSE(RecordAt(c, 0).has_value());
    EXPECT_FALSE(FindRecord(c, 1).has_value());
    const std::vector<std::uint32_t> shortRecord = {0, 3};
    c.recordTable = shortRecord;
    EXPECT_FALSE(RecordAt(c, 0).has_value());

    const std::vector<std::uint32_t> badStarts = {0, 4, 2, 900};
    c.wordStarts = badStarts;
    EXPECT_EQ(CatalogWord(c, 0), "disk");
    EXPECT_EQ(CatalogWord(c, 1), "");
    EXPECT_EQ(CatalogWord(c, 2), "");
    EXPECT_EQ(CatalogWord(c, 3), "");
}

TEST(ErrorDetails, LineSchemeAndLookup) {
    TestCatalog t;
    t.Add(0x00000005, {disk, full}, {disk, is, full});
    t.Add(0x00000005, {later}, {}); // a second record of a code is never shown
    t.Add(0x80020009, {no, space}, {});
    t.Add(0xE0000000, {retry}, {});
    t.Add(0x01230000, {later}, {});
    t.Add(0x50050001, {is}, {disk});
    t.Add(0x00060000, {in}, {full, kLine, space});
    const ErrorCatalog c = t.Tables();
    EXPECT_EQ(ErrorDetailsText(c, 5), "Error Code: 00000005 (5)\r\n"
                                      "Message ID: DISK_FULL\r\n"
                                      "Severity code: STATUS_SEVERITY_SUCCESS\r\n"
                                      "Facility code: FACILITY_NULL\r\n"
                                      "\r\n"
                                      "Disk is full.");
    // An empty message: the text ends with the facility line, no line break.
    EXPECT_EQ(ErrorDetailsText(c, 0x80020009), "Error Code: 80020009 (2147614729)\r\n"
                                               "Message ID: NO_SPACE\r\n"
                                               "Severity code: STATUS_SEVERITY_WARNING\r\n"
                                               "Facility code: FACILITY_DISPATCH | "
                                               "FACILITY_RPC_RUNTIME");
    // Facilities above 16, 5 and 6 have no line; what follows the severity
    // line is then started by a line break of its own.
    EXPECT_EQ(ErrorDetailsText(c, 0x01230000), "Error Code: 01230000 (19070976)\r\n"
                                               "Message ID: LATER\r\n"
                                               "Severity code: STATUS_SEVERITY_SUCCESS\r\n");
    EXPECT_EQ(ErrorDetailsText(c, 0x50050001), "Error Code: 50050001 (1342504961)\r\n"
                                               "Message ID: IS\r\n"
                                               "Severity code: STATUS_SEVERITY_INFORMATIONAL\r\n"
                                               "\r\n"
                                               "Reserved: True\r\n"
                                               "\r\n"
                                               "Disk.");
}

TEST(ReadHexCode, DialogRule) {
    EXPECT_EQ(ReadHexCode("c000"), 0xC000u);
    EXPECT_EQ(ReadHexCode("x"), 1u);  // 'x' folds to 'X', 0x51 after the letter step
    EXPECT_EQ(ReadHexCode("g"), 0u);  // 'G' - 7 = 0x40
    EXPECT_EQ(ReadHexCode(" 1"), 1u); // a space counts as a zero digit
    EXPECT_EQ(ReadHexCode("123456789"), 0x23456789u);
}

// The list the build turns into the tables: code, names, message per line.
struct ListLine {
    std::uint32_t code;
    std::string names, message;
};

std::vector<ListLine> ReadList() {
    // This file is tests/unit/tools/error_catalogue_test.cpp.
    const auto root =
        std::filesystem::path(__FILE__).parent_path().parent_path().parent_path().parent_path();
    std::ifstream in(root / "resources" / "error_codes.txt", std::ios::binary);
    std::vector<ListLine> lines;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        const auto tab = line.find('\t');
        const auto tab2 = line.find('\t', tab + 1);
        ListLine l{static_cast<std::uint32_t>(std::stoul(line.substr(0, tab), nullptr, 16)),
                   line.substr(tab + 1, tab2 - tab - 1),
                   tab2 == std::string::npos ? "" : line.substr(tab2 + 1)};
        for (char& ch : l.names)
            ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        // The list writes a line break as the two characters \n.
        for (std::size_t p; (p = l.message.find("\\n")) != std::string::npos;)
            l.message.replace(p, 2, "\r\n");
        lines.push_back(l);
    }
    return lines;
}

TEST(BuiltInErrorCatalog, EveryRecordReadsBackAsTheList) {
    const ErrorCatalog& c = BuiltInErrorCatalog();
    const auto list = ReadList();
    ASSERT_GT(list.size(), 2000u);
    ASSERT_EQ(RecordCount(c), list.size());
    ASSERT_LE(c.wordStarts.size() - 1, 0x1E00u);
    std::size_t messages = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const auto record = RecordAt(c, i);
        ASSERT_TRUE(record.has_value()) << i;
        EXPECT_EQ(record->code, list[i].code) << i;
        std::string names, message;
        const auto messageStream = DecodeNames(c, record->streams, names);
        EXPECT_EQ(names, list[i].names) << i;
        ASSERT_FALSE(messageStream.empty()) << i;
        if (messageStream[0] != kEnd) {
            ++messages;
            EXPECT_TRUE(DecodeMessage(c, messageStream, message).empty()) << i;
            EXPECT_EQ(message, list[i].message) << i;
        } else {
            EXPECT_EQ(messageStream.size(), 1u) << i;
            EXPECT_EQ(list[i].message, "") << i;
        }
    }
    EXPECT_GE(messages, 150u);
    // The code users meet most, found by the lookup the dialog makes.
    EXPECT_NE(ErrorDetailsText(c, 2).find("Message ID: ERROR_FILE_NOT_FOUND\r\n"),
              std::string::npos);
}

} // namespace
} // namespace stx
