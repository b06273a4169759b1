#include "tests/support/view_scene.h"
#include "view/paint_plan.h"

#include "view/address_column.h"
#include "view/recording_surface.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace stx {
namespace {

using Op = RecordingSurface::Op;
using TextCall = RecordingSurface::TextCall;

// A view on a document in the built-in 8-pixel font (TAB 64), with 16-pixel lines.
class PaintPlanTest : public ::testing::Test, protected ViewScene {
  protected:
    PaintPlanTest() {
        caret.flags = kCaretHidden;
        view.lineHeight = 16;
        view.viewWidth = 640;
        view.viewHeight = 480;
    }

    void Load(const char* text) {
        ASSERT_EQ(buffer.Parse(text, nullptr), TextStatus::Ok);
        top = TopLine{};
        top.record = buffer.FindLine(1);
        top.pageSize = 30;
        MoveCaret(1, 0);
    }

    void Configure(int planes, int distance, FadeDirection direction) {
        settings.planeCount = planes;
        settings.distance = distance;
        settings.fadeDirection = direction;
    }

    void MoveCaret(std::uint32_t line, std::uint32_t column) {
        const std::uint8_t flags = caret.flags;
        caret = At(line, column);
        caret.flags = flags;
    }
    void Select(std::uint32_t line, std::uint32_t column) { selection.anchor = At(line, column); }
    void ScrollTo(std::uint32_t line, std::uint32_t offset) {
        top.line = line;
        top.record = buffer.FindLine(line);
        top.offset = offset;
    }

    RecordingSurface Paint(const Rect& area = Rect{0, 0, 640, 480}) {
        ApplyRenderSettings(settings, planes, animation, view, buffer.Widths());
        RecordingSurface surface;
        PaintView(surface, Scene(), area);
        return surface;
    }

    static std::vector<TextCall> TextsOf(const RecordingSurface& s, const std::string& text) {
        std::vector<TextCall> out;
        for (const TextCall& t : s.Texts())
            if (t.text == text) out.push_back(t);
        return out;
    }
    // The texts drawn, a selected (opaque) one marked with a star.
    static std::vector<std::string> Pieces(const RecordingSurface& s) {
        std::vector<std::string> out;
        for (const TextCall& t : s.Texts())
            out.push_back(t.text + (t.mode == BackMode::Opaque ? "*" : ""));
        return out;
    }
    static std::vector<RecordingSurface::Call> Lines(const RecordingSurface& s) {
        std::vector<RecordingSurface::Call> out;
        for (const auto& c : s.Calls())
            if (c.op == Op::Line) out.push_back(c);
        return out;
    }
};

TEST_F(PaintPlanTest, PlanesBackToFrontAtTheirOffsets) {
    Load("ab");
    RecordingSurface s = Paint();
    // Background, font, then each plane from the back, starting transparent.
    ASSERT_GE(s.Calls().size(), 3u);
    EXPECT_EQ(s.Calls()[0].op, Op::FillTiled);
    EXPECT_EQ(BoxOf(s.Calls()[0].rect), (Box{0, 0, 640, 480}));
    EXPECT_EQ(s.Calls()[1].op, Op::UseFont);
    EXPECT_EQ(s.Calls()[2].op, Op::BackMode);
    const auto texts = TextsOf(s, "ab");
    ASSERT_EQ(texts.size(), 8u);
    EXPECT_EQ(texts.front().x, 8 + 7);
    EXPECT_EQ(texts.front().y, 7);
    EXPECT_EQ(texts.back().colour, planes.PlaneColour(7));
    // Westward planes stand right of the margin.
    Configure(8, 0, FadeDirection::West);
    EXPECT_EQ(TextsOf(Paint(), "ab").front().x, 9);
}

TEST_F(PaintPlanTest, NumberColourOnTheFrontPlaneOnlyAndColoursSetOnChange) {
    Load("mov eax, -5");
    Configure(3, 0, FadeDirection::SouthEast);
    RecordingSurface s = Paint();
    const auto number = TextsOf(s, "-5");
    ASSERT_EQ(number.size(), 3u);
    EXPECT_EQ(number.at(1).colour, planes.PlaneColour(1));
    EXPECT_EQ(number.at(2).colour, kDefaultNumberColour);
    EXPECT_EQ(TextsOf(s, "mov eax, ").at(2).colour, 0u);
    int colourCalls = 0;
    for (const auto& c : s.Calls())
        colourCalls += c.op == Op::TextColour;
    EXPECT_EQ(colourCalls, 4); // one per back plane, two on the front plane

    settings.syntaxHighlight = false;
    EXPECT_EQ(TextsOf(Paint(), "-5").at(2).colour, 0u);
}

TEST_F(PaintPlanTest, ClippedToTheOffsetAndThePaintRectangle) {
    Load("aa\tbb\tcc\r\nl2\r\nl3"); // runs at x 0, 64 and 128
    Configure(2, 0, FadeDirection::SouthEast);
    top.hOffset = 16;
    RecordingSurface s = Paint();
    EXPECT_TRUE(TextsOf(s, "aa").empty()); // ends at the offset
    ASSERT_EQ(TextsOf(s, "bb").size(), 2u);
    EXPECT_EQ(TextsOf(s, "bb").at(0).x, 8 + 1 + 64 - 16);

    // The first run at or beyond the right edge ends the line, plane by plane.
    top.hOffset = 0;
    s = Paint(Rect{0, 0, 137, 32});
    ASSERT_EQ(TextsOf(s, "cc").size(), 1u); // the front copy at 136; the back one at 137
    EXPECT_EQ(TextsOf(s, "cc").at(0).x, 136);
    // A row is drawn on the planes whose copy reaches into the rectangle.
    s = Paint(Rect{0, 16, 640, 32});
    EXPECT_EQ(TextsOf(s, "aa").size(), 1u); // the back plane's copy, y 1..17
    EXPECT_EQ(TextsOf(s, "l2").size(), 2u);
    EXPECT_TRUE(TextsOf(s, "l3").empty());
}

TEST_F(PaintPlanTest, SelectedRunsInThreeInvertedPieces) {
    Load("abcdef");
    Configure(2, 0, FadeDirection::SouthEast);
    MoveCaret(1, 4);
    Select(1, 2);
    RecordingSurface s = Paint();
    ASSERT_EQ(Pieces(s), (std::vector<std::string>{"ab", "cd*", "ef", "ab", "cd*", "ef"}));
    for (int p = 0; p < 2; ++p) {
        const TextCall& cd = s.Texts()[3 * p + 1];
        EXPECT_EQ(cd.x, 8 + 1 - p + 16);
        EXPECT_EQ(cd.colour, ~planes.PlaneColour(p) & 0xFFFFFF);
        EXPECT_EQ(cd.back, planes.SelectionBackground(p));
        EXPECT_EQ(s.Texts()[3 * p + 2].x, 8 + 1 - p + 32);
    }
    // Front plane: the inverse of the text colour on the text colour.
    EXPECT_EQ(s.Texts().at(4).colour, 0xFFFFFFu);
    EXPECT_EQ(s.Texts().at(4).back, 0u);

    // Across lines, whichever end the caret is: the middle line whole, inverted from the
    // number colour.
    Load("abc\r\n12\r\nghi");
    Configure(1, 0, FadeDirection::SouthEast);
    for (bool caretFirst : {false, true}) {
        MoveCaret(caretFirst ? 1 : 3, caretFirst ? 1 : 2);
        Select(caretFirst ? 3 : 1, caretFirst ? 2 : 1);
        s = Paint();
        ASSERT_EQ(Pieces(s), (std::vector<std::string>{"a", "bc*", "12*", "gh*", "i"}));
        EXPECT_EQ(s.Texts().at(2).colour, ~kDefaultNumberColour & 0xFFFFFF);
    }
}

TEST_F(PaintPlanTest, CaretOnEveryPlaneAndTheAnchorMark) {
    Load("one\r\ntwo\r\nthree");
    caret.flags = 0;
    settings.overLetter = false;
    MoveCaret(3, 2);
    std::uint8_t flags = 0;
    for (int tick = 0; tick < 3; ++tick) {
        const auto lines = Lines(Paint());
        ASSERT_EQ(lines.size(), 8u);
        for (int p = 0; p < 8; ++p) {
            EXPECT_EQ(lines[p].x, 8 + 16 + 7 - p);
            EXPECT_EQ(lines[p].y, 32 + 7 - p);
            EXPECT_EQ(lines[p].y1, lines[p].y + 16);
            EXPECT_EQ(lines[p].colour, planes.PenColour((p + animation.Phase()) % 8)) << tick;
        }
        animation.Tick(CaretMode::FadeOut, 8, flags);
    }
    overwrite = true;
    auto lines = Lines(Paint());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].x, 8 + 16);
    overwrite = false;
    caret.y = kFarCaretY;
    EXPECT_TRUE(Lines(Paint()).empty());
    caret.y = 32;

    // With a selection each plane draws its caret, then the anchor mark in its own pen.
    Configure(2, 0, FadeDirection::SouthEast);
    Select(2, 1);
    lines = Lines(Paint());
    ASSERT_EQ(lines.size(), 4u);
    for (int p = 0; p < 2; ++p) {
        EXPECT_EQ(lines[2 * p + 1].x, 8 + 1 - p + 8);
        EXPECT_EQ(lines[2 * p + 1].y, 16 + 1 - p);
        EXPECT_EQ(lines[2 * p + 1].colour, planes.PenColour(p));
    }
    // The mark does not blink, and is not drawn for an anchor above the view.
    caret.flags = kCaretHidden;
    EXPECT_EQ(Lines(Paint()).size(), 2u);
    ScrollTo(3, 0);
    MoveCaret(3, 2);
    EXPECT_TRUE(Lines(Paint()).empty());
}

TEST_F(PaintPlanTest, OverLetterCaretShowsTheLetterInverted) {
    Load("ab\t12");
    Configure(2, 0, FadeDirection::SouthEast);
    caret.flags = 0;
    MoveCaret(1, 1);
    RecordingSurface s = Paint();
    const auto b = TextsOf(s, "b");
    ASSERT_EQ(b.size(), 2u);
    EXPECT_TRUE(Lines(s).empty());
    EXPECT_EQ(b.at(0).x, 8 + 1 + 8);
    EXPECT_EQ(b.at(0).mode, BackMode::Opaque);
    EXPECT_EQ(b.at(0).colour, ~planes.PlaneColour(0) & 0xFFFFFF);
    EXPECT_EQ(b.at(0).back, planes.SelectionBackground(0));
    // Inverted from the colour its plane draws that letter in, not from whatever the plane
    // drew last (the number at the line's end), which would change with the repainted area.
    EXPECT_EQ(b.at(1).colour, 0xFFFFFFu);
    EXPECT_EQ(b.at(1).back, planes.SelectionBackground(1));
    // The front plane's text is transparent again after the back plane's caret.
    EXPECT_EQ(TextsOf(s, "12").at(1).mode, BackMode::Transparent);
    MoveCaret(1, 3);
    EXPECT_EQ(TextsOf(Paint(Rect{0, 0, 40, 16}), "1").at(1).colour,
              ~kDefaultNumberColour & 0xFFFFFF);
    // A selected letter is drawn inverted, so the caret shows it in its own colour again.
    Select(1, 5);
    EXPECT_EQ(TextsOf(Paint(), "1").back().colour, kDefaultNumberColour);
    selection.Drop();
    // On a TAB and at the line's end the caret is the vertical line.
    for (std::uint32_t column : {2u, 5u}) {
        MoveCaret(1, column);
        EXPECT_EQ(Lines(Paint()).size(), 2u) << column;
    }
}

TEST_F(PaintPlanTest, HexViewAddresses) {
    Load("ab\r\nc\r\n");
    Configure(2, 0, FadeDirection::SouthEast);
    settings.showAddress = true;
    RecordingSurface s = Paint();
    ASSERT_EQ(view.addressColumnWidth, 72u);
    std::vector<std::string> addresses;
    for (const TextCall& t : s.Texts())
        if (t.text.size() == 9) addresses.push_back(t.text);
    // The row after the last line shows the total again; each plane draws them all.
    EXPECT_EQ(addresses,
              (std::vector<std::string>{"00000000:", "00000004:", "00000007:", "00000007:",
                                        "00000000:", "00000004:", "00000007:", "00000007:"}));
    const auto first = TextsOf(s, "00000000:");
    EXPECT_EQ(first.at(0).x, 8 + 1 + 72 - 4 - 72); // ends 4 pixels before the line's text
    EXPECT_EQ(first.at(1).colour, kAddressColour);

    // Scrolled down and right: the running offset starts at the top line's.
    ScrollTo(2, 4);
    top.hOffset = 16;
    s = Paint();
    const auto scrolled = TextsOf(s, "00000004:");
    ASSERT_EQ(scrolled.size(), 2u);
    EXPECT_EQ(scrolled.at(1).y, 0);
    EXPECT_EQ(scrolled.at(1).x, 4 - 16);
    EXPECT_EQ(TextsOf(s, "c").at(1).x, 8 + 72 - 16);
}

TEST_F(PaintPlanTest, RepaintRectanglesAndSettingChanges) {
    Load("abc\r\ndef");
    MoveCaret(2, 1);
    top.hOffset = 4;
    Configure(8, 1, FadeDirection::SouthEast);
    std::uint8_t flags = 0;
    animation.Tick(CaretMode::FadeOut, 8, flags);
    ApplyRenderSettings(settings, planes, animation, view, buffer.Widths());
    EXPECT_EQ(animation.Phase(), 0); // a new distance restarts the phase
    EXPECT_EQ(view.planeSpread, 16u);
    const int widest = static_cast<int>(buffer.Widths().widest);
    EXPECT_EQ(BoxOf(CaretRepaintRect(caret, top, view, widest)),
              (Box{12, 16, 12 + widest + 16, 48}));
    EXPECT_EQ(BoxOf(CaretBandRect(caret, view)), (Box{0, 16, 640, 48}));
    EXPECT_EQ(BoxOf(AddressColumnRect(72, 16, widest, 480)), (Box{0, 0, 96 + widest, 480}));

    animation.Tick(CaretMode::FadeOut, 8, flags);
    settings.firstPlaneColour = 0x101010;
    settings.fadeDirection = FadeDirection::NorthWest;
    settings.showAddress = true;
    ApplyRenderSettings(settings, planes, animation, view, buffer.Widths());
    EXPECT_EQ(animation.Phase(), 8); // colours and direction keep it
    EXPECT_EQ(view.fadeX, -1);
    EXPECT_EQ(view.fadeY, -1);
    EXPECT_EQ(CaretRepaintRect(caret, top, view, widest).left, 12 + 72);
}

TEST_F(PaintPlanTest, DegenerateInputsDrawSafely) {
    Load("abc");
    EXPECT_TRUE(Paint(Rect{10, 10, 10, 50}).Calls().empty());
    view.lineHeight = 0; // no font measured yet: the background only
    EXPECT_EQ(Paint().Calls().size(), 2u);
    view.lineHeight = 16;

    // Positions at the ends of their ranges neither overflow nor wrap around.
    caret.flags = 0;
    settings.overLetter = false;
    Select(1, 0);
    Configure(255, 255, FadeDirection::NorthWest);
    top.hOffset = 0xFFFFFFF0u;
    RecordingSurface s = Paint();
    EXPECT_TRUE(s.Texts().empty());
    EXPECT_EQ(Lines(s).size(), 2u * 255);
    for (const auto& line : Lines(s))
        EXPECT_LT(line.x, 0);
    top.hOffset = 0;
    caret.x = 0xFFFFFFFFu;
    for (const auto& line : Lines(Paint()))
        EXPECT_GT(line.x, 0);

    // A top line past the document draws nothing but the background.
    ScrollTo(99, 0);
    caret.flags = kCaretHidden;
    selection.Drop();
    EXPECT_EQ(Paint().Calls().size(), 2u + 255); // one background mode per plane
    EXPECT_TRUE(Paint().Texts().empty());
}

} // namespace
} // namespace stx
