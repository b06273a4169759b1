// A document's bytes opened with and without the conversion of lone CR and LF:
// the saved form extracts whole, in slices and line by line as the bytes were
// (converted: with every break as CR LF), every line's tokens carry its
// characters at consistent positions, and the saved form opens again as itself.
// The same bytes read from a file that stops short leave the document before,
// as does memory running out while opening or converting. Spans and two-part
// scans are small, chosen from the input, so their seams fall everywhere.
#include "fuzz/fuzz_allocator.h"
#include "fuzz/fuzz_check.h"
#include "tests/unit/text/text_test_util.h"
#include "text/text_editor.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using namespace stx;
using test::All;

namespace {

// A font of irregular widths: zero-width and 255-pixel characters, and a
// space wide enough for the fixed 248-pixel tab.
const uint8_t* OddWidths() {
    static uint8_t widths[256];
    for (unsigned c = 0; c < 256; ++c)
        widths[c] = static_cast<uint8_t>(c * 37 % 41 * 6 + (c == 255 ? 15 : 0));
    return widths;
}

void CheckLineTokens(const TextBuffer& b, const LineRecord* record, const std::string& line,
                     uint64_t& widest) {
    TokenCursor cursor(b, record);
    std::string chars;
    uint64_t x = 0;
    const uint32_t tab = b.Widths().TabWidth();
    for (Token t = cursor.Next();; t = cursor.Next()) {
        STX_FUZZ_CHECK(t.x == x);
        if (t.kind == TokenKind::End) break;
        uint64_t width = 0;
        if (t.kind == TokenKind::Tab) {
            STX_FUZZ_CHECK(t.count == 1 && t.chars[0] == '\t');
            width = tab - x % tab;
        } else if (t.kind == TokenKind::Nul) {
            STX_FUZZ_CHECK(t.count == 1 && t.chars[0] == '\0');
            width = b.Widths()[0];
        } else {
            STX_FUZZ_CHECK(t.count >= 1 && t.count <= kMaxRunChars);
            STX_FUZZ_CHECK(t.tokenClass == TokenClass::Plain || t.tokenClass == TokenClass::Number);
            for (uint32_t i = 0; i < t.count; ++i) {
                const auto c = static_cast<unsigned char>(t.chars[i]);
                STX_FUZZ_CHECK(c != '\t' && c != '\0');
                width += b.Widths()[c];
            }
        }
        STX_FUZZ_CHECK(t.width == width);
        chars.append(t.chars, t.count);
        x += width;
    }
    STX_FUZZ_CHECK_MSG(chars == line, test::Shown(chars) + " for " + test::Shown(line));
    STX_FUZZ_CHECK(b.LineWidth(record) == x);
    widest = std::max(widest, x);
}

// Small spans and scan pieces, chosen from the input's bytes.
ParseGrain SmallGrain(const std::string& input) {
    uint32_t h = 2166136261u;
    for (char c : input)
        h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    ParseGrain grain;
    grain.spanLines = 1 + h % 5;
    grain.spanBytes = 4 + (h >> 3) % 60;
    grain.parallelBytes = 128 + (h >> 9) % 600;
    grain.pieceBytes = 64 + (h >> 19) % 100;
    return grain;
}

// Everything that reads the document agrees with the saved form it should have.
void CheckDocument(const TextEditor& ed, const std::string& saved) {
    const TextBuffer& b = ed.Buffer();
    STX_FUZZ_CHECK(b.CheckConsistency());
    STX_FUZZ_CHECK(b.TotalBytes() == saved.size());
    const std::string all = All(b);
    STX_FUZZ_CHECK_MSG(all == saved, "text  " + test::Shown(all) + "\nsaved " + test::Shown(saved));

    const std::vector<std::string> lines = test::SplitLines(saved);
    STX_FUZZ_CHECK(b.LineCount() == lines.size());
    uint32_t offset = 0;
    uint64_t widest = 0;
    const LineRecord* record = b.FindLine(1);
    for (uint32_t n = 1; n <= lines.size(); ++n) {
        const std::string& line = lines[n - 1];
        STX_FUZZ_CHECK(record != nullptr);
        STX_FUZZ_CHECK(TextBuffer::LineChars(record) == line.size());
        // Finding a line by number or offset, on a few lines spread over the
        // document, so the check stays linear in its size.
        if (n <= 2 || n + 2 > lines.size() || n % (lines.size() / 16 + 1) == 0) {
            STX_FUZZ_CHECK(record == b.FindLine(n));
            STX_FUZZ_CHECK(b.LineStartOffset(n) == offset);
            std::string copy(line.size() + 1, '\x7f');
            STX_FUZZ_CHECK(b.ExtractLine(n, uint32_t(copy.size()), copy.data()) == line.size());
            STX_FUZZ_CHECK(copy.compare(0, line.size(), line) == 0);
            uint32_t l = 0, c = 0;
            b.OffsetToLineColumn(offset + uint32_t(line.size()), l, c);
            STX_FUZZ_CHECK(l == n && c == line.size());
        }
        CheckLineTokens(b, record, line, widest);
        offset += uint32_t(line.size()) + 2;
        record = b.NextLine(record);
    }
    STX_FUZZ_CHECK(record == nullptr);
    STX_FUZZ_CHECK(b.WidestLine() == widest);

    // Slices: a count past the end stops at it and writes one 0x00 behind.
    const uint32_t total = b.TotalBytes();
    for (uint32_t skip : {0u, 1u, total / 3, total / 2, total, total + 1}) {
        const uint32_t rest = skip < total ? total - skip : 0;
        for (uint32_t count : {0u, 1u, 7u, rest / 2, rest, total + 1}) {
            std::string out(size_t{count} + 1, '\x7f');
            const uint32_t n = b.ExtractRange(count, skip, out.data());
            STX_FUZZ_CHECK(n == std::min(count, rest));
            STX_FUZZ_CHECK(out.compare(0, n, saved, std::min(skip, total), n) == 0);
            if (n < count) STX_FUZZ_CHECK(out[n] == '\0');
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzAllocator& memory = fuzz::Allocator();
    memory.FailAfter(-1);
    const std::string input(reinterpret_cast<const char*>(data), size);
    const ParseGrain grain = SmallGrain(input);
    for (bool convert : {false, true}) {
        TextEditor ed(&memory);
        ed.Buffer().grain = grain;
        ed.Buffer().convertLineBreaks = convert;
        if (convert) ed.SetCharWidths(OddWidths());
        const std::string saved = test::SavedForm(input, convert);

        // Opening, as the Open command does it.
        const TextStatus status =
            input.empty() ? ed.New() : ed.Parse(input.data(), input.data() + input.size());
        STX_FUZZ_CHECK(status == TextStatus::Ok);
        CheckDocument(ed, saved);
        STX_FUZZ_CHECK(ed.Buffer().ConvertedBreaks() == saved.size() - input.size());

        // Read from a file, whole and cut short.
        if (!input.empty()) {
            test::ShortSource whole(input, input.size());
            STX_FUZZ_CHECK(ed.Parse(whole) == TextStatus::Ok);
            CheckDocument(ed, saved);
            test::ShortSource cut(input, input.size() / 2);
            STX_FUZZ_CHECK(ed.Parse(cut) == TextStatus::ReadFailed);
            CheckDocument(ed, saved);
        }

        // The saved form opens again as itself.
        STX_FUZZ_CHECK(ed.Parse(saved.data(), saved.data() + saved.size()) == TextStatus::Ok);
        CheckDocument(ed, saved);
        STX_FUZZ_CHECK(ed.Buffer().ConvertedBreaks() == 0);

        // WM_SETTEXT: the first 0x00 ends the text.
        STX_FUZZ_CHECK(ed.SetText(input.c_str()) == TextStatus::Ok);
        CheckDocument(ed, test::SavedForm(input.substr(0, input.find('\0')), convert));

        // "Convert UNIX text" on the text opened without conversion.
        if (!convert) {
            STX_FUZZ_CHECK(ed.Parse(input.data(), input.data() + input.size()) == TextStatus::Ok);
            STX_FUZZ_CHECK(ed.ConvertUnixText() == TextStatus::Ok);
            CheckDocument(ed, test::SavedForm(input, true));
        }
    }

    // Memory running out part-way: each attempt either succeeds or changes nothing.
    const std::string before = "kept\r\ndocument\tx\r12";
    for (long grants : {0L, 1L, 2L, 3L}) {
        TextEditor ed(&memory);
        ed.Buffer().grain = grain;
        STX_FUZZ_CHECK(ed.Parse(before.data(), before.data() + before.size()) == TextStatus::Ok);
        memory.FailAfter(grants);
        const TextStatus opened = ed.Parse(input.data(), input.data() + input.size());
        memory.FailAfter(-1);
        STX_FUZZ_CHECK(opened == TextStatus::Ok || opened == TextStatus::OutOfMemory);
        CheckDocument(ed, opened == TextStatus::Ok ? input : before);
        if (opened != TextStatus::Ok) continue;

        memory.FailAfter(grants);
        const TextStatus converted = ed.ConvertUnixText();
        memory.FailAfter(-1);
        STX_FUZZ_CHECK(converted == TextStatus::Ok || converted == TextStatus::OutOfMemory);
        CheckDocument(ed, test::SavedForm(input, converted == TextStatus::Ok));
    }
    return 0;
}
