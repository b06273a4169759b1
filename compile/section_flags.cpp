#include "compile/section_flags.h"

#include "files/number.h"

#include <algorithm>
#include <array>

namespace stx {

namespace {

constexpr std::uint64_t kDosHeaderSize = 64;
constexpr std::uint64_t kNewHeaderOffset = 0x3C;
constexpr std::uint64_t kFileHeaderSize = 24; // "PE\0\0" and the COFF header
constexpr std::uint64_t kEntryPointOffset = 0x28;
constexpr std::uint64_t kSectionHeaderSize = 40;
constexpr std::uint64_t kCharacteristicsOffset = 36;

std::uint32_t FlagOf(char letter) {
    switch (LowerAscii(letter)) {
    case 'r':
        return 0x40000000;
    case 'w':
        return 0x80000000;
    case 'x':
        return 0x20000000;
    case 's':
        return 0x10000000;
    case 'c':
        return 0x00000020;
    case 'i':
        return 0x00000040;
    case 'u':
        return 0x00000080;
    case 'd':
        return 0x02000000;
    default:
        return 0; // other letters are accepted and add nothing
    }
}

std::uint32_t Dword(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint16_t Word(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

void PutDword(std::uint8_t* p, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// A section's 8-byte name against a word of the statement: equal without
// regard to case, one leading "." ignored on either side. A word longer than
// a section name can be never matches.
bool NameMatches(const std::uint8_t* header, std::string_view word) {
    std::size_t length = 0;
    while (length < 8 && header[length] != 0)
        ++length;
    std::string_view name(reinterpret_cast<const char*>(header), length);
    if (!name.empty() && name.front() == '.') name.remove_prefix(1);
    if (!word.empty() && word.front() == '.') word.remove_prefix(1);
    return EqualsIgnoringCase(name, word);
}

bool Selected(const std::uint8_t* header, const SectionRequest& request, std::uint32_t entryPoint) {
    if (request.names.empty()) {
        const std::uint64_t start = Dword(header + 12);
        const std::uint64_t size = Dword(header + 8);
        return entryPoint >= start && entryPoint < start + size;
    }
    for (const std::string& word : request.names)
        if (word == "*" || NameMatches(header, word)) return true;
    return false;
}

bool IsWordEnd(char c) {
    return IsSpaceOrControl(c) || c == '{' || c == '}';
}

} // namespace

SectionStatement ParseSectionStatement(std::string_view text, std::size_t pos,
                                       ScriptExpander& expander, BoundedText& fileName) {
    SectionStatement statement;
    SectionRequest& request = statement.request;

    // Flag groups: the letters right after the sign, up to a blank.
    bool groupSeen = false;
    for (char sign = CharAt(text, pos);
         (sign == '+' || sign == '-') && !IsSpaceOrControl(CharAt(text, pos + 1));
         sign = CharAt(text, pos)) {
        if (!groupSeen) request.setMask = 0;
        groupSeen = true;
        std::uint32_t flags = 0;
        for (++pos; static_cast<unsigned char>(CharAt(text, pos)) >= 'A'; ++pos)
            flags |= FlagOf(text[pos]);
        if (sign == '+')
            request.setMask |= flags;
        else
            request.keepMask &= ~flags;
        pos = SkipBlanks(text, pos);
    }

    // Masks, in hexadecimal; an operand that does not begin with a digit is
    // skipped and changes nothing.
    for (char op = CharAt(text, pos); op == '&' || op == '|'; op = CharAt(text, pos)) {
        pos = SkipBlanks(text, pos + 1);
        std::size_t end = pos;
        while (!IsWordEnd(CharAt(text, end)))
            ++end;
        if (CharAt(text, pos) >= '0' && CharAt(text, pos) <= '9') {
            const std::uint32_t mask = ParseHex(text.substr(pos, end - pos)).value;
            (op == '&' ? request.keepMask : request.setMask) = mask;
        }
        pos = SkipBlanks(text, end);
    }

    // Words: section names, then the file name.
    std::vector<std::pair<std::size_t, std::size_t>> words;
    for (;;) {
        // Words are separated by blanks and any other control characters.
        while (IsSpaceOrControl(CharAt(text, pos)) && !IsLineEnd(CharAt(text, pos)))
            ++pos;
        const char c = CharAt(text, pos);
        if (IsStatementEnd(c)) break;
        if (c == ';' || (c == '/' && CharAt(text, pos + 1) == '/')) {
            while (!IsLineEnd(CharAt(text, pos)))
                ++pos;
            break;
        }
        std::size_t end = pos;
        if (c == '"') {
            end = pos + 1;
            while (!IsLineEnd(CharAt(text, end)) && text[end] != '"')
                ++end;
            if (CharAt(text, end) == '"') ++end;
        } else {
            while (!IsWordEnd(CharAt(text, end)))
                ++end;
        }
        words.emplace_back(pos, end);
        pos = SkipBlanks(text, end);
    }
    statement.next = pos;
    if (words.empty()) return statement;
    const std::size_t lastWord = words.back().first;
    words.pop_back();
    for (const auto& [start, end] : words) {
        std::string_view word = text.substr(start, end - start);
        if (word.size() >= 2 && word.front() == '"' && word.back() == '"')
            word = word.substr(1, word.size() - 2);
        else if (!word.empty() && word.front() == '"')
            word.remove_prefix(1);
        request.names.emplace_back(word);
    }
    expander.ReadArgument(text, lastWord, fileName);
    return statement;
}

SectionEditResult EditSectionFlags(OpenedFile& file, const SectionRequest& request) {
    const std::uint64_t size = file.Size();
    std::array<std::uint8_t, kDosHeaderSize> dos{};
    if (size < kDosHeaderSize || !file.ReadAt(0, dos)) return SectionEditResult::NotPe;
    if (!((dos[0] == 'M' && dos[1] == 'Z') || (dos[0] == 'Z' && dos[1] == 'M')))
        return SectionEditResult::NotPe;

    const std::uint64_t peOffset = Dword(dos.data() + kNewHeaderOffset);
    std::array<std::uint8_t, kFileHeaderSize> pe{};
    if (peOffset + kFileHeaderSize > size || !file.ReadAt(peOffset, pe))
        return SectionEditResult::NotPe;
    if (pe[0] != 'P' || pe[1] != 'E') return SectionEditResult::NotPe;
    const std::uint64_t count = Word(pe.data() + 6);
    const std::uint64_t optionalSize = Word(pe.data() + 0x14);
    if (count == 0) return SectionEditResult::NoSections;

    const std::uint64_t table = peOffset + kFileHeaderSize + optionalSize;
    if (table + count * kSectionHeaderSize > size) return SectionEditResult::NotPe;
    std::uint32_t entryPoint = 0;
    if (request.names.empty()) {
        // Only the entry point selects; it must lie inside the optional header.
        std::array<std::uint8_t, 4> field{};
        if (kEntryPointOffset + 4 > kFileHeaderSize + optionalSize ||
            !file.ReadAt(peOffset + kEntryPointOffset, field))
            return SectionEditResult::NotPe;
        entryPoint = Dword(field.data());
    }

    std::vector<std::uint8_t> headers(static_cast<std::size_t>(count * kSectionHeaderSize));
    if (!file.ReadAt(table, headers)) return SectionEditResult::NotPe;
    for (std::uint64_t i = 0; i < count; ++i) {
        std::uint8_t* header = headers.data() + i * kSectionHeaderSize;
        if (!Selected(header, request, entryPoint)) continue;
        std::uint8_t* flags = header + kCharacteristicsOffset;
        PutDword(flags, (Dword(flags) & request.keepMask) | request.setMask);
        if (!file.WriteAt(table + i * kSectionHeaderSize + kCharacteristicsOffset,
                          std::span<const std::uint8_t>(flags, 4)))
            return SectionEditResult::WriteFailed;
    }
    return SectionEditResult::Done;
}

std::uint64_t BytesFile::Size() {
    return bytes_.size();
}

bool BytesFile::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) {
    if (offset > bytes_.size() || out.size() > bytes_.size() - offset) return false;
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), out.size(), out.begin());
    return true;
}

bool BytesFile::WriteAt(std::uint64_t offset, std::span<const std::uint8_t> in) {
    if (offset > bytes_.size() || in.size() > bytes_.size() - offset) return false;
    std::copy(in.begin(), in.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(offset));
    return true;
}

SectionEditResult EditSectionFlags(std::vector<std::uint8_t>& bytes,
                                   const SectionRequest& request) {
    BytesFile file(bytes);
    return EditSectionFlags(file, request);
}

SectionFileResult ApplySectionFlags(ScriptHost& host, const std::string& path,
                                    const SectionRequest& request) {
    const std::optional<std::uint32_t> attributes = host.GetAttributes(path);
    if (!attributes) return SectionFileResult::Missing;
    SectionEditResult result;
    {
        std::unique_ptr<OpenedFile> file = host.OpenForUpdate(path);
        if (!file) return SectionFileResult::NoAccess;
        result = EditSectionFlags(*file, request);
    } // closed before its attributes are put back
    host.SetAttributes(path, *attributes);
    switch (result) {
    case SectionEditResult::Done:
        return SectionFileResult::Done;
    case SectionEditResult::NoSections:
        return SectionFileResult::NoSections;
    case SectionEditResult::NotPe:
        return SectionFileResult::NotPe;
    case SectionEditResult::WriteFailed:
        break;
    }
    return SectionFileResult::WriteFailed;
}

} // namespace stx
