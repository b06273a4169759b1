// The document the paint benchmarks show: assembler-like lines of a fixed width, with words,
// numbers and punctuation, so each line has several runs of both colours.
#pragma once

#include <string>

namespace stx {

inline std::string AssemblerLines(int lines, int columns) {
    static const char* const kWords[] = {"mov",     "eax,", "0FFh",    "push",      "ebx", "call",
                                         "[esi+4]", "-12",  "label1:", "; comment", "1e5"};
    std::string text;
    unsigned seed = 12345;
    for (int line = 0; line < lines; ++line) {
        std::string l;
        while (l.size() < static_cast<std::size_t>(columns)) {
            seed = seed * 1103515245u + 12345u;
            l += kWords[(seed >> 16) % 11];
            l += ' ';
        }
        l.resize(static_cast<std::size_t>(columns));
        text += l;
        if (line + 1 < lines) text += "\r\n";
    }
    return text;
}

} // namespace stx
