// Test helpers for Romanian texts in Windows-1250.
#pragma once

#include <string>
#include <string_view>

namespace stx::test {

// The text with each Romanian letter with diacritics replaced by its plain
// letter: the texts with diacritics must read as the plain Romanian texts.
inline std::string FoldDiacritics(std::string_view text) {
    std::string plain;
    for (const char c : text) {
        switch (static_cast<unsigned char>(c)) {
        case 0xBA:
            plain += 's';
            break; // s-comma
        case 0xAA:
            plain += 'S';
            break; // S-comma
        case 0xFE:
            plain += 't';
            break; // t-comma
        case 0xE3:
            plain += 'a';
            break; // a-breve
        case 0xE2:
            plain += 'a';
            break; // a-circumflex
        case 0xEE:
            plain += 'i';
            break; // i-circumflex
        case 0xCE:
            plain += 'I';
            break; // I-circumflex
        default:
            plain += c;
            break;
        }
    }
    return plain;
}

// True when every byte is ASCII or one of the Romanian letters above.
inline bool OnlyKnownLetters(std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) continue;
        if (FoldDiacritics(std::string_view(&c, 1)) == std::string_view(&c, 1)) return false;
    }
    return true;
}

} // namespace stx::test
