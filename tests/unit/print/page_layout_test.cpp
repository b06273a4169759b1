#include "print/page_layout.h"
#include "print/print_job.h"
#include "tests/unit/view/view_test_support.h"
#include "view/recording_surface.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace stx {
namespace {

// Every byte 10 units wide, so the tab step is 80.
CharWidthTable TenUnitWidths() {
    std::uint8_t widths[256];
    for (auto& w : widths)
        w = 10;
    CharWidthTable table;
    table.Fill(widths);
    return table;
}

// The page as text lines, indexed by y / line height; "|" marks a gap in x.
std::vector<std::string> Lines(const PageLayout& page, int lineHeight = 20) {
    std::vector<std::string> lines;
    std::vector<int> nextX;
    for (const PlacedChar& c : page.chars) {
        const auto row = static_cast<std::size_t>(c.y / lineHeight);
        if (lines.size() <= row) {
            lines.resize(row + 1);
            nextX.resize(row + 1, 0);
        }
        if (c.x != nextX[row]) lines[row] += '|';
        lines[row] += c.c;
        nextX[row] = c.x + 10;
    }
    return lines;
}

PageLayout Lay(const std::string& text, int width, int bottom = 1000, std::size_t start = 0) {
    return LayOutPage(text, start, TenUnitWidths(), PageFrame{width, bottom, 20});
}

using Rows = std::vector<std::string>;

TEST(PageLayout, LinesWrapAndPagesFollow) {
    // One line without a break is one line on one page.
    PageLayout page = Lay("hello", 1000);
    EXPECT_EQ(Lines(page), Rows{"hello"});
    EXPECT_EQ(page.end, 5u);

    // A word that would reach the edge starts the next line; the space stays behind.
    EXPECT_EQ(Lines(Lay("aaa bbbb cc", 80)), (Rows{"aaa ", "bbbb cc"}));
    // A word longer than a line is broken at the edge, character by character:
    // a byte that would reach the edge waits for the next line.
    EXPECT_EQ(Lines(Lay("x abcdefghijkl", 80)), (Rows{"x ", "abcdefg", "hijkl"}));

    // CR LF ends a line; a page holds the lines that start above its bottom,
    // and the next page starts where this one stopped.
    const std::string text = "one\r\ntwo\r\nthree\r\nfour";
    page = Lay(text, 1000, 40);
    EXPECT_EQ(Lines(page), (Rows{"one", "two"}));
    page = Lay(text, 1000, 40, page.end);
    EXPECT_EQ(Lines(page), (Rows{"three", "four"}));
    EXPECT_EQ(page.end, text.size());
    // A lone LF is no line break: it is printed as a character.
    EXPECT_EQ(Lines(Lay("a\nb", 1000)), Rows{"a\nb"});
}

TEST(PageLayout, TabsStopEveryStepAndMoveOnNearTheEdge) {
    // Far from the edge a tab advances to the next stop.
    EXPECT_EQ(Lines(Lay("ab\tc", 1000)), Rows{"ab|c"});
    EXPECT_EQ(Lay("ab\tc", 1000).chars.back().x, 80);
    // With less than 256 units left after it, the tab moves to the next line.
    const std::string long17 = "abcdefghijklmnopq";
    EXPECT_EQ(Lines(Lay(long17 + "\tc", 400)), (Rows{long17, "|c"}));
    EXPECT_EQ(Lay(long17 + "\tc", 400).chars.back().x, 80);
}

TEST(PageLayout, EveryLineAndPageMakesProgress) {
    // A page narrower than any character still takes one byte per line.
    const std::string text = "abc";
    PageLayout page = Lay(text, 5);
    EXPECT_EQ(Lines(page), (Rows{"a", "b", "c"}));
    // A page with no width at all (a plane spread beyond the margin) too.
    EXPECT_EQ(Lines(Lay(text, -40)), (Rows{"a", "b", "c"}));
    // A tab refused on every line (the room after it always below 256) is
    // taken at the start of a line instead of forever moving on.
    page = Lay("\t\tx", 300);
    EXPECT_EQ(page.end, 3u);
    // A page shorter than a line still holds one line.
    page = Lay("a\r\nb", 1000, 0);
    EXPECT_EQ(Lines(page), Rows{"a"});
    EXPECT_EQ(page.end, 3u);
    // Starting past the end lays out nothing.
    EXPECT_TRUE(Lay(text, 100, 100, 99).chars.empty());
}

// A printer that records what its pages show.
class RecordingPrinter final : public PrintDevice {
  public:
    bool StartPage() override { return true; }
    bool EndPage() override { return true; }
    Surface& Page() override { return surface; }

    RecordingSurface surface;
};

PrintJob JobOf(const std::string& text, PrintMode mode) {
    PrintJob job;
    job.text = text;
    job.mode = mode;
    job.widths = TenUnitWidths();
    job.pageWidth = 1000;
    job.pageBottom = 20; // one line per page
    job.lineHeight = 20;
    job.sheet = {-5, -5, 1100, 1500};
    return job;
}

TEST(PrintPages, ThreeDDrawsEveryPlaneBackToFrontOverTheBackground) {
    const std::string text = "ab";
    PrintJob job = JobOf(text, PrintMode::ThreeD);
    job.settings.planeCount = 3;
    job.settings.distance = 1;
    job.settings.textColour = 0x0000FF;
    job.settings.backgroundKind = BackgroundKind::Colour;
    job.settings.fadeDirection = FadeDirection::SouthEast;
    RecordingPrinter printer;
    std::atomic<bool> printing{true};
    ASSERT_EQ(PrintPages(printer, job, printing), PrintOutcome::Completed);

    const auto& calls = printer.surface.Calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls[0].op, RecordingSurface::Op::FillSolid);
    EXPECT_EQ(calls[0].colour, job.settings.backgroundColour);
    EXPECT_EQ(BoxOf(calls[0].rect), (Box{-5, -5, 1100, 1500}));
    const auto& texts = printer.surface.Texts();
    ASSERT_EQ(texts.size(), 6u);
    // Back plane first, two steps of 2 out; the front plane in the text colour at the origin.
    const Colour colours[] = {0xD0D0D0, 0xABABAB, 0x0000FF};
    for (int p = 0; p < 3; ++p) {
        const int offset = (2 - p) * 2;
        for (int i = 0; i < 2; ++i) {
            const auto& t = texts[static_cast<std::size_t>(p * 2 + i)];
            EXPECT_EQ(t.colour, colours[p]) << p;
            EXPECT_EQ(t.mode, BackMode::Transparent);
            EXPECT_EQ(t.x, offset + i * 10) << p;
            EXPECT_EQ(t.y, offset) << p;
        }
    }

    // One plane: one pass in the text colour.
    job.settings.planeCount = 1;
    RecordingPrinter flat;
    ASSERT_EQ(PrintPages(flat, job, printing), PrintOutcome::Completed);
    ASSERT_EQ(flat.surface.Texts().size(), 2u);
    EXPECT_EQ(flat.surface.Texts()[0].colour, 0x0000FFu);
    EXPECT_EQ(flat.surface.Texts()[0].x, 0);
}

} // namespace
} // namespace stx
