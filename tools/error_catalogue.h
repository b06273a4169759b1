// The built-in catalogue of Windows error codes: for every code its symbolic
// names and, for the common ones, a message in our own words.
//
// Names and messages are token streams over a dictionary of lowercase words:
// a byte below 0x1E starts a two-byte word reference (high byte first); 0xFF
// ends a stream. Names join words with "_" and separate alternatives with a
// bar; messages use "." "," "{" "}" "_" and 0xFC (next word upper case), 0xFD
// (next word capitalised) and 0xFE (sentence end and line break).
//
// The decoders take byte ranges and never read outside them, so any record or
// stream, even a damaged one, gives a defined result.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace stx {

// The four read-only tables. Positions are offsets into `dictionary` and
// `records`; each position table ends with one entry more, the size of the
// table it points into.
struct ErrorCatalog {
    std::span<const std::uint8_t> dictionary;   // every word, lowercase, back to back
    std::span<const std::uint32_t> wordStarts;  // word i is [wordStarts[i], wordStarts[i + 1])
    std::span<const std::uint8_t> records;      // code (4 bytes LE), names, 0xFF, message, 0xFF
    std::span<const std::uint32_t> recordTable; // start of each record, in catalogue order
};

// The catalogue built into the program from resources/error_codes.txt.
const ErrorCatalog& BuiltInErrorCatalog();

inline constexpr std::uint8_t kStreamEnd = 0xFF;

// One record: its place in catalogue order, its code and the bytes behind the
// code (the name stream, its terminator, the message stream, its terminator).
struct CatalogRecord {
    std::size_t index = 0;
    std::uint32_t code = 0;
    std::span<const std::uint8_t> streams;
};

std::size_t RecordCount(const ErrorCatalog& catalog);

// The record at a catalogue index; nothing for an index out of range or a
// table entry that points outside the records.
std::optional<CatalogRecord> RecordAt(const ErrorCatalog& catalog, std::size_t index);

// The first record of the code in catalogue order (a linear scan).
std::optional<CatalogRecord> FindRecord(const ErrorCatalog& catalog, std::uint32_t code);

// Word i of the dictionary; empty for an index or positions out of range.
std::string_view CatalogWord(const ErrorCatalog& catalog, std::size_t index);

// Appends the symbolic names of a name stream, alternatives as " | ", and
// returns the bytes behind its terminator: the record's message stream.
std::span<const std::uint8_t> DecodeNames(const ErrorCatalog& catalog,
                                          std::span<const std::uint8_t> stream, std::string& out);

// Appends the text of a message stream, with the final period the stream
// leaves out, and returns the bytes behind its terminator.
std::span<const std::uint8_t> DecodeMessage(const ErrorCatalog& catalog,
                                            std::span<const std::uint8_t> stream, std::string& out);

// The bit fields of a code.
inline unsigned ErrorSeverity(std::uint32_t code) {
    return code >> 30;
}
inline bool ErrorCustomerFlag(std::uint32_t code) {
    return (code >> 29) & 1;
}
inline bool ErrorReservedFlag(std::uint32_t code) {
    return (code >> 28) & 1;
}
inline unsigned ErrorFacility(std::uint32_t code) {
    return (code >> 16) & 0xFFF;
}

// Names by severity (0-3) and by facility (0-16; facilities 5 and 6 have none,
// nullptr). A bar separates alternative names of one facility.
extern const std::array<const char*, 4> SeverityNames;
extern const std::array<const char*, 17> FacilityNames;

// The details of a code and its record: the code in hexadecimal and decimal,
// the names, severity, facility, customer and reserved flags, and the message.
std::string FormatErrorDetails(const ErrorCatalog& catalog, std::uint32_t code,
                               const CatalogRecord& record);

// FormatErrorDetails with the code's first record, or, for a code without a
// record, the "Error Code" line alone (without a line break).
std::string ErrorDetailsText(const ErrorCatalog& catalog, std::uint32_t code);

// The code as 8 upper-case hexadecimal digits.
std::string HexCodeText(std::uint32_t code);

// The error-code dialog's reading of its Hex field: the first 19 characters,
// each folded to a hexadecimal digit (letters of either case count from A,
// anything else by its low four bits), shifted in from the right, so the last
// 8 count.
std::uint32_t ReadHexCode(std::string_view text);

} // namespace stx
