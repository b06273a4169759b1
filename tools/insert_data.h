#pragma once
// Insert data: any file's bytes as source-code data declarations for an
// assembler, C, Pascal or Basic, built in one forward pass.
#include <cstdint>
#include <string>
#include <string_view>

namespace stx {

enum class DataWidth : uint8_t { Byte, Word, Dword };
enum class DataRadix : uint8_t { Binary, Octal, Decimal, Hexadecimal };
enum class DataLanguage : uint8_t { Assembler, C, Pascal, Basic, Undefined };

struct InsertDataOptions {
    DataWidth width = DataWidth::Byte;
    DataRadix radix = DataRadix::Hexadecimal;
    DataLanguage language = DataLanguage::Assembler;
    bool alignZeroes = true;
    uint32_t valuesPerLine = 15;
};

// Which choices a language leaves open in the dialog.
struct DataLanguageRules {
    bool binaryAndOctal;
    bool dword;
};
DataLanguageRules RulesFor(DataLanguage language);
// A new language chosen: a radix or width it does not allow becomes decimal
// or Word.
void ChooseLanguage(InsertDataOptions& options, DataLanguage language);

// The label made from the file name (the part after the last \, / or :):
// letters and digits kept, anything else "_", a leading "_" unless it starts
// with a letter, at most 7 characters.
std::string DataIdentifier(std::string_view fileName);

// The values-per-line field: a decimal number; 0, nothing or no number is 1.
uint32_t ValuesPerLine(std::string_view field);

// The exact length of FormatData's text for a file of fileSize bytes, to be
// checked before anything is allocated.
uint64_t FormattedDataLength(uint64_t fileSize, const InsertDataOptions& options,
                             size_t identifierLength);

// The declarations for the file's bytes, starting with a line break. Word and
// Dword values are read little-endian, a short last value padded with zeros.
// Unaligned values keep their width with spaces in front and stay valid
// numbers of the language.
std::string FormatData(std::string_view bytes, const InsertDataOptions& options,
                       std::string_view identifier);

} // namespace stx
