// The document the paint benchmarks show: assembler-like lines of a fixed width, with words,
// numbers and punctuation, so each line has several runs of both colours; and a surface that
// only counts what a paint draws on it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "view/paint_plan.h"

namespace stx {

// Takes a paint's calls without drawing; the sums keep the calls from being optimised away.
class CountingSurface final : public Surface {
  public:
    void UseFont(const EditorFont&) override { ++calls; }
    void SetTextColour(Colour c) override { sink += c; }
    void SetBackColour(Colour c) override { sink += c; }
    void SetBackMode(BackMode m) override { sink += static_cast<unsigned>(m); }
    void WriteText(int x, int y, std::string_view chars) override {
        ++texts;
        characters += chars.size();
        sink +=
            static_cast<unsigned>(x + y) + static_cast<unsigned char>(chars.back()) + chars.size();
    }
    void FillSolid(const Rect&, Colour) override { ++calls; }
    void FillTiled(const Rect&) override { ++calls; }
    void DrawImage(const Rect&) override { ++calls; }
    void DrawLine(int x0, int, int, int, Colour) override { sink += static_cast<unsigned>(x0); }

    std::uint64_t calls = 0;
    std::uint64_t texts = 0;
    std::uint64_t characters = 0;
    std::uint64_t sink = 0;
};

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
