#include "tools/insert_data.h"

#include <algorithm>

namespace stx {

namespace {

constexpr std::string_view kLineBreak = "\r\n";

unsigned UnitBytes(DataWidth width) {
    return width == DataWidth::Byte ? 1u : width == DataWidth::Word ? 2u : 4u;
}

// Digits per value, by width (rows) and radix (columns, binary first).
constexpr unsigned kDigits[3][4] = {{8, 3, 3, 2}, {16, 6, 5, 4}, {32, 11, 10, 8}};

unsigned DigitCount(const InsertDataOptions& o) {
    return kDigits[static_cast<unsigned>(o.width)][static_cast<unsigned>(o.radix)];
}

struct Affixes {
    std::string_view prefix;
    std::string_view suffix;
};

Affixes AffixesFor(DataLanguage language, DataRadix radix) {
    if (radix == DataRadix::Decimal) return {};
    if (language == DataLanguage::Assembler) {
        if (radix == DataRadix::Hexadecimal) return {"0", "H"};
        return {"", radix == DataRadix::Binary ? "B" : "O"};
    }
    if (radix != DataRadix::Hexadecimal) return {};
    switch (language) {
    case DataLanguage::C:
        return {"0x", ""};
    case DataLanguage::Pascal:
        return {"$", ""};
    case DataLanguage::Basic:
        return {"&H", ""};
    default:
        return {};
    }
}

std::string_view LineStart(const InsertDataOptions& o) {
    if (o.language == DataLanguage::Basic) return "\tDATA\t";
    if (o.language != DataLanguage::Assembler) return {};
    return o.width == DataWidth::Byte ? "\tdb\t" : o.width == DataWidth::Word ? "\tdw\t" : "\tdd\t";
}

std::string_view Closing(DataLanguage language) {
    return language == DataLanguage::C ? "};" : language == DataLanguage::Pascal ? ");" : "";
}

bool CommaAtLineEnd(DataLanguage language) {
    return language == DataLanguage::C || language == DataLanguage::Pascal;
}

std::string_view TypeName(const InsertDataOptions& o) {
    if (o.language == DataLanguage::C)
        return o.width == DataWidth::Byte   ? "unsigned char "
               : o.width == DataWidth::Word ? "unsigned int "
                                            : "unsigned long ";
    return o.width == DataWidth::Byte   ? " byte"
           : o.width == DataWidth::Word ? " word"
                                        : " longword";
}

std::string Header(const InsertDataOptions& o, std::string_view identifier, uint64_t values) {
    std::string h;
    switch (o.language) {
    case DataLanguage::Assembler:
        h = identifier;
        // Without values the label still gets a complete line of its own.
        if (values == 0) {
            h += "\tlabel\t";
            h += o.width == DataWidth::Byte   ? "byte"
                 : o.width == DataWidth::Word ? "word"
                                              : "dword";
            h += kLineBreak;
        }
        break;
    case DataLanguage::C:
        h = TypeName(o);
        h += identifier;
        h += "[]={";
        h += kLineBreak;
        break;
    case DataLanguage::Pascal:
        h = identifier;
        h += ": array[1..";
        h += std::to_string(values);
        h += "] of";
        h += TypeName(o);
        h += "=(";
        h += kLineBreak;
        break;
    default:
        break;
    }
    return h;
}

uint32_t PerLine(const InsertDataOptions& o) {
    return o.valuesPerLine == 0 ? 1 : o.valuesPerLine;
}

// Width of one value as written: prefix, digits and suffix.
size_t ValueLength(const InsertDataOptions& o) {
    const Affixes a = AffixesFor(o.language, o.radix);
    return a.prefix.size() + DigitCount(o) + a.suffix.size();
}

// Writes values of one kind, ValueLength characters each; set up once, as it
// runs once per value of the file.
class ValueWriter {
  public:
    explicit ValueWriter(const InsertDataOptions& o)
        : affixes_(AffixesFor(o.language, o.radix)), digits_(DigitCount(o)),
          bits_(o.radix == DataRadix::Binary    ? 1
                : o.radix == DataRadix::Octal   ? 3
                : o.radix == DataRadix::Decimal ? 0
                                                : 4),
          align_(o.alignZeroes),
          assemblerHex_(o.language == DataLanguage::Assembler && o.radix == DataRadix::Hexadecimal),
          width_(ValueLength(o)) {}

    char* Write(char* out, uint32_t value) const {
        if (align_) {
            out = Copy(out, affixes_.prefix);
            out = Digits(out, value);
            return Copy(out, affixes_.suffix);
        }
        char d[32];
        Digits(d, value);
        unsigned first = 0;
        while (first + 1 < digits_ && d[first] == '0')
            ++first;
        std::string_view prefix = affixes_.prefix;
        // An assembler hexadecimal number must start with a digit.
        if (assemblerHex_ && d[first] <= '9') prefix = {};
        const size_t length = prefix.size() + (digits_ - first) + affixes_.suffix.size();
        out = std::fill_n(out, width_ - length, ' ');
        out = Copy(out, prefix);
        out = std::copy(d + first, d + digits_, out);
        return Copy(out, affixes_.suffix);
    }

  private:
    static char* Copy(char* out, std::string_view text) {
        for (char c : text)
            *out++ = c;
        return out;
    }
    // Exactly digits_ digits with leading zeros; binary, octal and
    // hexadecimal digits are groups of 1, 3 or 4 bits.
    char* Digits(char* out, uint32_t value) const {
        static constexpr char kHex[] = "0123456789ABCDEF";
        char* const end = out + digits_;
        char* q = end;
        if (bits_ == 0) {
            while (q > out) {
                *--q = static_cast<char>('0' + value % 10);
                value /= 10;
            }
        } else {
            const uint32_t mask = (1u << bits_) - 1;
            while (q > out) {
                *--q = kHex[value & mask];
                value >>= bits_;
            }
        }
        return end;
    }

    Affixes affixes_;
    unsigned digits_;
    unsigned bits_; // 0: decimal
    bool align_;
    bool assemblerHex_;
    size_t width_;
};

} // namespace

DataLanguageRules RulesFor(DataLanguage language) {
    switch (language) {
    case DataLanguage::Assembler:
    case DataLanguage::Undefined:
        return {true, true};
    case DataLanguage::Pascal:
        return {false, false};
    default:
        return {false, true};
    }
}

void ChooseLanguage(InsertDataOptions& options, DataLanguage language) {
    options.language = language;
    const DataLanguageRules rules = RulesFor(language);
    if (!rules.binaryAndOctal &&
        (options.radix == DataRadix::Binary || options.radix == DataRadix::Octal))
        options.radix = DataRadix::Decimal;
    if (!rules.dword && options.width == DataWidth::Dword) options.width = DataWidth::Word;
}

std::string DataIdentifier(std::string_view fileName) {
    const size_t cut = fileName.find_last_of("\\/:");
    const std::string_view name =
        cut == std::string_view::npos ? fileName : fileName.substr(cut + 1);
    const auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    std::string id;
    if (name.empty() || !isLetter(name.front())) id = "_";
    for (char c : name) {
        if (id.size() == 7) break;
        id += isLetter(c) || (c >= '0' && c <= '9') ? c : '_';
    }
    return id;
}

uint32_t ValuesPerLine(std::string_view field) {
    size_t i = field.find_first_not_of(" \t");
    uint64_t value = 0;
    bool digits = false;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
        digits = true;
        value = std::min<uint64_t>(value * 10 + unsigned(field[i] - '0'), UINT32_MAX);
    }
    // Anything after the number means it is not one.
    if (i < field.size() && field.find_first_not_of(" \t", i) != std::string_view::npos) return 1;
    return digits && value > 0 ? static_cast<uint32_t>(value) : 1;
}

uint64_t FormattedDataLength(uint64_t fileSize, const InsertDataOptions& o,
                             size_t identifierLength) {
    const unsigned unit = UnitBytes(o.width);
    const uint64_t values = (fileSize + unit - 1) / unit;
    const uint64_t perLine = PerLine(o);
    const uint64_t lines = (values + perLine - 1) / perLine;
    uint64_t length = kLineBreak.size();
    // The header, its identifier counted apart.
    length += Header(o, "", values).size();
    if (o.language == DataLanguage::Assembler || o.language == DataLanguage::C ||
        o.language == DataLanguage::Pascal)
        length += identifierLength;
    length += lines * (LineStart(o).size() + kLineBreak.size());
    length += values * ValueLength(o);
    length += CommaAtLineEnd(o.language) ? (values > 0 ? values - 1 : 0) : values - lines;
    const std::string_view closing = Closing(o.language);
    if (!closing.empty()) length += closing.size() + (values == 0 ? kLineBreak.size() : 0);
    return length;
}

std::string FormatData(std::string_view bytes, const InsertDataOptions& options,
                       std::string_view identifier) {
    const InsertDataOptions& o = options;
    const unsigned unit = UnitBytes(o.width);
    const uint64_t values = (uint64_t{bytes.size()} + unit - 1) / unit;
    const uint32_t perLine = PerLine(o);
    const ValueWriter writer(o);
    const std::string_view lineStart = LineStart(o);
    const std::string_view closing = Closing(o.language);
    const bool commaAtLineEnd = CommaAtLineEnd(o.language);

    std::string text;
    text.reserve(static_cast<size_t>(FormattedDataLength(bytes.size(), o, identifier.size())));
    text += kLineBreak;
    text += Header(o, identifier, values);

    // Values are gathered in a block on the stack, which goes into the text
    // whenever it is nearly full.
    constexpr size_t kLongestValue = 64; // line start, value, comma, closing and line break
    char block[16 * 1024];
    size_t used = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t size = bytes.size();
    uint32_t onLine = 0;
    for (uint64_t v = 0; v < values; ++v) {
        if (sizeof block - used < kLongestValue) {
            text.append(block, used);
            used = 0;
        }
        char* const start = block + used;
        char* out = start;
        if (onLine == 0) out = std::copy(lineStart.begin(), lineStart.end(), out);
        const size_t at = static_cast<size_t>(v * unit);
        uint32_t number = 0;
        for (unsigned k = 0; k < unit && at + k < size; ++k)
            number |= uint32_t{p[at + k]} << (8 * k);
        out = writer.Write(out, number);
        const bool last = v + 1 == values;
        const bool lineFull = ++onLine == perLine;
        if (!last && (!lineFull || commaAtLineEnd)) *out++ = ',';
        if (last) out = std::copy(closing.begin(), closing.end(), out);
        if (last || lineFull) {
            *out++ = '\r';
            *out++ = '\n';
            onLine = 0;
        }
        used += static_cast<size_t>(out - start);
    }
    text.append(block, used);
    if (values == 0 && !closing.empty()) {
        text += closing;
        text += kLineBreak;
    }
    return text;
}

} // namespace stx
