#include "tools/error_catalogue.h"

#include "files/number.h"

namespace stx {

namespace {

constexpr std::uint8_t kWordRefLimit = 0x1E;
constexpr std::uint8_t kBar = 0x7C;
constexpr std::uint8_t kUpperNext = 0xFC;
constexpr std::uint8_t kCapitalNext = 0xFD;
constexpr std::uint8_t kLineEnd = 0xFE;
constexpr std::size_t kCodeBytes = 4;

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The word a reference at stream[i] names; advances i past it. A reference cut
// off by the end of the stream ends the stream.
std::optional<std::string_view> ReadWord(const ErrorCatalog& catalog,
                                         std::span<const std::uint8_t> stream, std::size_t& i) {
    if (i + 1 >= stream.size()) {
        i = stream.size();
        return std::nullopt;
    }
    const std::size_t index = stream[i] * 256u + stream[i + 1];
    i += 2;
    return CatalogWord(catalog, index);
}

} // namespace

const std::array<const char*, 4> SeverityNames = {"SUCCESS", "INFORMATIONAL", "WARNING", "ERROR"};

const std::array<const char*, 17> FacilityNames = {"NULL",
                                                   "RPC",
                                                   "DISPATCH|RPC_RUNTIME",
                                                   "STORAGE|RPC_STUBS",
                                                   "ITF|IO_ERROR_CODE",
                                                   nullptr,
                                                   nullptr,
                                                   "WIN32",
                                                   "WINDOWS",
                                                   "SSPI",
                                                   "CONTROL",
                                                   "CERT",
                                                   "INTERNET",
                                                   "MEDIASERVER",
                                                   "MSMQ",
                                                   "SETUPAPI",
                                                   "SCARD"};

std::size_t RecordCount(const ErrorCatalog& catalog) {
    return catalog.recordTable.empty() ? 0 : catalog.recordTable.size() - 1;
}

std::optional<CatalogRecord> RecordAt(const ErrorCatalog& catalog, std::size_t index) {
    if (index >= RecordCount(catalog)) return std::nullopt;
    const std::size_t begin = catalog.recordTable[index];
    const std::size_t end = catalog.recordTable[index + 1];
    if (begin > end || end > catalog.records.size() || end - begin < kCodeBytes)
        return std::nullopt;
    const auto bytes = catalog.records.subspan(begin, end - begin);
    const std::uint32_t code =
        bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
    return CatalogRecord{index, code, bytes.subspan(kCodeBytes)};
}

std::optional<CatalogRecord> FindRecord(const ErrorCatalog& catalog, std::uint32_t code) {
    for (std::size_t i = 0, n = RecordCount(catalog); i < n; ++i) {
        auto record = RecordAt(catalog, i);
        if (record && record->code == code) return record;
    }
    return std::nullopt;
}

std::string_view CatalogWord(const ErrorCatalog& catalog, std::size_t index) {
    if (index + 1 >= catalog.wordStarts.size()) return {};
    const std::size_t begin = catalog.wordStarts[index];
    const std::size_t end = catalog.wordStarts[index + 1];
    if (begin >= end || end > catalog.dictionary.size()) return {};
    return {reinterpret_cast<const char*>(catalog.dictionary.data()) + begin, end - begin};
}

std::span<const std::uint8_t> DecodeNames(const ErrorCatalog& catalog,
                                          std::span<const std::uint8_t> stream, std::string& out) {
    bool afterWord = false;
    std::size_t i = 0;
    while (i < stream.size() && stream[i] != kStreamEnd) {
        const std::uint8_t b = stream[i];
        if (b < kWordRefLimit) {
            const auto word = ReadWord(catalog, stream, i);
            if (!word || word->empty()) continue; // a damaged reference names nothing
            if (afterWord) out += '_';
            for (char c : *word)
                out += Upper(c);
            afterWord = true;
            continue;
        }
        if (b == kBar) {
            out += " | ";
            afterWord = false;
        } else {
            out += static_cast<char>(b);
        }
        ++i;
    }
    return stream.subspan(i < stream.size() ? i + 1 : i);
}

std::span<const std::uint8_t>
DecodeMessage(const ErrorCatalog& catalog, std::span<const std::uint8_t> stream, std::string& out) {
    enum class Case { Capitalise, Upper, AsStored };
    bool spaceBefore = false;
    Case mode = Case::Capitalise;
    std::size_t i = 0;
    while (i < stream.size() && stream[i] != kStreamEnd) {
        const std::uint8_t b = stream[i];
        if (b < kWordRefLimit) {
            const auto word = ReadWord(catalog, stream, i);
            if (!word || word->empty()) continue;
            if (spaceBefore) out += ' ';
            for (std::size_t k = 0; k < word->size(); ++k) {
                const char c = (*word)[k];
                const bool upper = mode == Case::Upper || (mode == Case::Capitalise && k == 0);
                out += upper ? Upper(c) : c;
            }
            spaceBefore = true;
            mode = Case::AsStored;
            continue;
        }
        switch (b) {
        case kCapitalNext:
            mode = Case::Capitalise;
            break;
        case kUpperNext:
            mode = Case::Upper;
            break;
        case '.':
            out += '.';
            mode = Case::Capitalise;
            spaceBefore = true;
            break;
        case ',':
        case '}':
            out += static_cast<char>(b);
            spaceBefore = true;
            break;
        case '{':
        case '_':
            out += static_cast<char>(b);
            spaceBefore = false;
            break;
        case kLineEnd:
            out += ".\r\n";
            mode = Case::Capitalise;
            spaceBefore = false;
            break;
        default:
            if (spaceBefore) out += ' ';
            out += static_cast<char>(b);
            spaceBefore = true;
        }
        ++i;
    }
    out += '.';
    return stream.subspan(i < stream.size() ? i + 1 : i);
}

std::string HexCodeText(std::uint32_t code) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text(8, '0');
    for (int k = 7; k >= 0; --k, code >>= 4)
        text[k] = kDigits[code & 0xF];
    return text;
}

namespace {

std::string CodeLine(std::uint32_t code) {
    return "Error Code: " + HexCodeText(code) + " (" + DecimalText(code) + ")";
}

} // namespace

std::string FormatErrorDetails(const ErrorCatalog& catalog, std::uint32_t code,
                               const CatalogRecord& record) {
    std::string text = CodeLine(code);
    text += "\r\nMessage ID: ";
    const auto message = DecodeNames(catalog, record.streams, text);
    text += "\r\nSeverity code: STATUS_SEVERITY_";
    text += SeverityNames[ErrorSeverity(code)];
    text += "\r\n";
    const unsigned facility = ErrorFacility(code);
    if (facility < FacilityNames.size() && FacilityNames[facility]) {
        text += "Facility code: FACILITY_";
        for (const char* c = FacilityNames[facility]; *c; ++c) {
            if (*c == '|')
                text += " | FACILITY_";
            else
                text += *c;
        }
    }
    if (ErrorCustomerFlag(code)) text += "\r\nCustomer code: True";
    if (ErrorReservedFlag(code)) text += "\r\nReserved: True";
    if (!message.empty() && message[0] != kStreamEnd) {
        text += "\r\n\r\n";
        DecodeMessage(catalog, message, text);
    }
    return text;
}

std::string ErrorDetailsText(const ErrorCatalog& catalog, std::uint32_t code) {
    if (auto record = FindRecord(catalog, code)) return FormatErrorDetails(catalog, code, *record);
    return CodeLine(code);
}

std::uint32_t ReadHexCode(std::string_view text) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < text.size() && i < 19; ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c > 'Z') c -= 0x20;
        if (c >= 'A') c -= 7;
        value = value * 16 + (c & 0xF);
    }
    return value;
}

} // namespace stx
