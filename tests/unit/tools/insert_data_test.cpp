// The insert-data text compared whole, for every language and the rules of
// its dialog.
#include "tools/insert_data.h"

#include <gtest/gtest.h>

namespace stx {
namespace {

const std::string kLogo("\x42\x4D\x0A", 3);

std::string Format(const std::string& bytes, DataLanguage language, DataRadix radix,
                   DataWidth width = DataWidth::Byte, bool align = true, uint32_t perLine = 2,
                   const std::string& id = "logo_bm") {
    InsertDataOptions o;
    o.language = language;
    o.radix = radix;
    o.width = width;
    o.alignZeroes = align;
    o.valuesPerLine = perLine;
    const std::string text = FormatData(bytes, o, id);
    EXPECT_EQ(FormattedDataLength(bytes.size(), o, id.size()), text.size());
    return text;
}

TEST(InsertData, EveryLanguageOfTheWorkedExample) {
    const auto hex = DataRadix::Hexadecimal;
    EXPECT_EQ(Format(kLogo, DataLanguage::Assembler, hex),
              "\r\nlogo_bm\tdb\t042H,04DH\r\n\tdb\t00AH\r\n");
    EXPECT_EQ(Format(kLogo, DataLanguage::Pascal, hex),
              "\r\nlogo_bm: array[1..3] of byte=(\r\n$42,$4D,\r\n$0A);\r\n");
    EXPECT_EQ(Format(kLogo, DataLanguage::Basic, hex), "\r\n\tDATA\t&H42,&H4D\r\n\tDATA\t&H0A\r\n");
    EXPECT_EQ(Format(kLogo, DataLanguage::Undefined, hex), "\r\n42,4D\r\n0A\r\n");
    EXPECT_EQ(Format(kLogo, DataLanguage::Assembler, DataRadix::Decimal, DataWidth::Byte, false, 3),
              "\r\nlogo_bm\tdb\t 66, 77, 10\r\n");
}

TEST(InsertData, WidthsRadixesAndPadding) {
    const auto und = DataLanguage::Undefined;
    // A short last value is padded with zero bytes.
    EXPECT_EQ(Format("\x01\x02\x03", und, DataRadix::Hexadecimal, DataWidth::Word),
              "\r\n0201,0003\r\n");
    EXPECT_EQ(Format("\x01\x02\x03", und, DataRadix::Hexadecimal, DataWidth::Dword),
              "\r\n00030201\r\n");
    EXPECT_EQ(Format("\x78\x56\x34\x12", und, DataRadix::Octal, DataWidth::Dword),
              "\r\n02215053170\r\n");
    EXPECT_EQ(Format("\x05", DataLanguage::Assembler, DataRadix::Binary, DataWidth::Byte, false),
              "\r\nlogo_bm\tdb\t     101B\r\n");
    EXPECT_EQ(Format("\x07\x07", und, DataRadix::Decimal), "\r\n007,007\r\n");
    EXPECT_EQ(Format("\xFF\xFF", und, DataRadix::Decimal, DataWidth::Word, false), "\r\n65535\r\n");
}

TEST(InsertData, UnalignedHexadecimalStaysANumberOfItsLanguage) {
    const auto hex = DataRadix::Hexadecimal;
    const std::string bytes("\x0A\x42\x00\xFF", 4);
    EXPECT_EQ(Format(bytes, DataLanguage::Assembler, hex, DataWidth::Byte, false, 4),
              "\r\nlogo_bm\tdb\t 0AH, 42H,  0H,0FFH\r\n");
    EXPECT_EQ(Format(bytes, DataLanguage::C, hex, DataWidth::Byte, false, 4),
              "\r\nunsigned char logo_bm[]={\r\n 0xA,0x42, 0x0,0xFF};\r\n");
    EXPECT_EQ(Format(bytes, DataLanguage::Pascal, hex, DataWidth::Byte, false, 4),
              "\r\nlogo_bm: array[1..4] of byte=(\r\n $A,$42, $0,$FF);\r\n");
    EXPECT_EQ(Format(bytes, DataLanguage::Basic, hex, DataWidth::Byte, false, 4),
              "\r\n\tDATA\t &HA,&H42, &H0,&HFF\r\n");
    EXPECT_EQ(
        Format(std::string("\x0A\x00", 2), DataLanguage::Assembler, hex, DataWidth::Word, false),
        "\r\nlogo_bm\tdw\t   0AH\r\n");
}

TEST(InsertData, HeadersOfEveryWidthAndEmptyFilesStayComplete) {
    const auto hex = DataRadix::Hexadecimal;
    EXPECT_EQ(Format("\x01\x02\x03\x04\x05", DataLanguage::Pascal, hex, DataWidth::Dword),
              "\r\nlogo_bm: array[1..2] of longword=(\r\n$04030201,$00000005);\r\n");
    EXPECT_EQ(Format("\x01\x02\x03", DataLanguage::Pascal, hex, DataWidth::Word),
              "\r\nlogo_bm: array[1..2] of word=(\r\n$0201,$0003);\r\n");
    EXPECT_EQ(Format("", DataLanguage::C, hex, DataWidth::Word),
              "\r\nunsigned int logo_bm[]={\r\n};\r\n");
    EXPECT_EQ(Format("", DataLanguage::Assembler, hex), "\r\nlogo_bm\tlabel\tbyte\r\n");
    EXPECT_EQ(Format("", DataLanguage::Basic, hex), "\r\n");
}

TEST(InsertData, IdentifierValuesPerLineAndLanguageRules) {
    EXPECT_EQ(DataIdentifier("1.bin"), "_1_bin");
    EXPECT_EQ(DataIdentifier("d:/x/a b\xE9"), "a_b_");
    EXPECT_EQ(DataIdentifier(""), "_");

    EXPECT_EQ(ValuesPerLine("15"), 15u);
    EXPECT_EQ(ValuesPerLine(" 8 "), 8u);
    for (const char* refused : {"0", "12abc", ""})
        EXPECT_EQ(ValuesPerLine(refused), 1u) << refused;

    InsertDataOptions o;
    o.radix = DataRadix::Binary;
    o.width = DataWidth::Dword;
    ChooseLanguage(o, DataLanguage::Pascal);
    EXPECT_EQ(o.radix, DataRadix::Decimal);
    EXPECT_EQ(o.width, DataWidth::Word);
}

} // namespace
} // namespace stx
