// A small PE32 or PE32+ image with three sections, for the section statement.
#pragma once

#include <cstdint>
#include <vector>

namespace stx::test {

inline constexpr std::uint32_t kPeHeaderOffset = 0x80;
inline constexpr std::uint32_t kTextFlags = 0x60000020;  // code, execute, read
inline constexpr std::uint32_t kRdataFlags = 0x40000040; // initialized data, read
inline constexpr std::uint32_t kDataFlags = 0x40000040;

inline void PutLittleEndian(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value,
                            int size) {
    for (int i = 0; i < size; ++i)
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline std::uint32_t OptionalHeaderSize(bool pe32Plus) {
    return pe32Plus ? 0xF0 : 0xE0;
}

inline std::uint32_t SectionTableOffset(bool pe32Plus) {
    return kPeHeaderOffset + 24 + OptionalHeaderSize(pe32Plus);
}

// Sections .text at 0x1000 (holding the entry point 0x1010), .rdata at 0x2000
// and .data at 0x3000, each 0x200 bytes.
inline std::vector<std::uint8_t> BuildPeImage(bool pe32Plus) {
    std::vector<std::uint8_t> bytes(0x400, 0);
    bytes[0] = 'M';
    bytes[1] = 'Z';
    PutLittleEndian(bytes, 0x3C, kPeHeaderOffset, 4);
    const std::size_t pe = kPeHeaderOffset;
    bytes[pe] = 'P';
    bytes[pe + 1] = 'E';
    PutLittleEndian(bytes, pe + 4, pe32Plus ? 0x8664 : 0x14C, 2);
    PutLittleEndian(bytes, pe + 6, 3, 2);
    PutLittleEndian(bytes, pe + 0x14, OptionalHeaderSize(pe32Plus), 2);
    PutLittleEndian(bytes, pe + 0x18, pe32Plus ? 0x20B : 0x10B, 2);
    PutLittleEndian(bytes, pe + 0x28, 0x1010, 4);
    const char* names[3] = {".text", ".rdata", ".data"};
    const std::uint32_t flags[3] = {kTextFlags, kRdataFlags, kDataFlags};
    for (std::uint32_t i = 0; i < 3; ++i) {
        const std::size_t header = SectionTableOffset(pe32Plus) + 40 * i;
        for (std::size_t c = 0; names[i][c]; ++c)
            bytes[header + c] = static_cast<std::uint8_t>(names[i][c]);
        PutLittleEndian(bytes, header + 8, 0x200, 4);
        PutLittleEndian(bytes, header + 12, 0x1000 * (i + 1), 4);
        PutLittleEndian(bytes, header + 36, flags[i], 4);
    }
    return bytes;
}

// The Characteristics of section `index`.
inline std::uint32_t SectionFlags(const std::vector<std::uint8_t>& bytes, bool pe32Plus,
                                  int index) {
    const std::size_t at = SectionTableOffset(pe32Plus) + 40 * index + 36;
    return static_cast<std::uint32_t>(bytes[at]) | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

} // namespace stx::test
