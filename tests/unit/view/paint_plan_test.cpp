#include "view/paint_plan.h"

#include "tests/unit/view/view_test_support.h"
#include "view/address_column.h"
#include "view/recording_surface.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace stx {
namespace {

using Op = RecordingSurface::Op;
using TextCall = RecordingSurface::TextCall;

// A view on a document in the built-in 8-pixel font (TAB 64), 16-pixel lines.
class PaintPlanTest : public ::testing::Test {
  protected:
    void Load(const char* text) {
        ASSERT_EQ(buffer.Parse(text, nullptr), TextStatus::Ok);
        top.line = 1;
        top.record = buffer.FindLine(1);
        top.offset = 0;
        top.pageSize = 30;
        MoveCaret(1, 0);
    }

    void Configure(int planes, int distance, FadeDirection direction) {
        settings.planeCount = planes;
        settings.distance = distance;
        settings.fadeDirection = direction;
    }

    // Caret (or anchor) at a line and column, with the pixel x the layout gives.
    Caret At(std::uint32_t line, std::uint32_t column) const {
        Caret c;
        c.line = line;
        c.column = column;
        c.record = buffer.FindLine(line);
        TokenCursor cursor(buffer, c.record);
        std::uint32_t col = 0;
        for (Token t = cursor.Next(); t.kind != TokenKind::End; t = cursor.Next()) {
            if (column < col + t.count) {
                c.x = t.x;
                if (t.kind == TokenKind::Run)
                    for (std::uint32_t i = 0; i < column - col; ++i)
                        c.x += buffer.Widths()[static_cast<unsigned char>(t.chars[i])];
                break;
            }
            col += t.count;
            c.x = t.x + t.width;
        }
        c.preferredX = c.x;
        c.y = static_cast<std::int32_t>((line - top.line) * view.lineHeight);
        return c;
    }

    void MoveCaret(std::uint32_t line, std::uint32_t column) {
        const std::uint8_t flags = caret.flags;
        caret = At(line, column);
        caret.flags = flags;
    }

    void Select(std::uint32_t anchorLine, std::uint32_t anchorColumn) {
        selection.anchor = At(anchorLine, anchorColumn);
    }

    void HideCaret() { caret.flags |= kCaretHidden; }

    RecordingSurface Paint() { return Paint(Rect{0, 0, 640, 480}); }
    RecordingSurface Paint(const Rect& area) {
        planes.Update(settings);
        SyncViewGeometry(view, settings, planes, buffer.Widths());
        RecordingSurface surface;
        PaintScene scene{.buffer = buffer,
                         .caret = caret,
                         .selection = selection,
                         .top = top,
                         .view = view,
                         .settings = settings,
                         .planes = planes,
                         .animation = animation,
                         .overwrite = overwrite,
                         .charUnderCaret = CharUnderCaret(buffer, caret)};
        PaintView(surface, scene, area);
        return surface;
    }

    static std::vector<TextCall> TextsOf(const RecordingSurface& s, const std::string& text) {
        std::vector<TextCall> out;
        for (const TextCall& t : s.Texts())
            if (t.text == text) out.push_back(t);
        return out;
    }

    static std::vector<RecordingSurface::Call> Lines(const RecordingSurface& s) {
        std::vector<RecordingSurface::Call> out;
        for (const auto& c : s.Calls())
            if (c.op == Op::Line) out.push_back(c);
        return out;
    }

    TextBuffer buffer;
    Caret caret;
    Selection selection;
    TopLine top;
    ViewGeometry view{.lineHeight = 16, .viewWidth = 640, .viewHeight = 480};
    RenderSettings settings;
    PlaneTables planes;
    CaretAnimation animation;
    bool overwrite = false;
};

TEST_F(PaintPlanTest, DefaultPlanesBackToFrontAtTheirOffsets) {
    Load("ab");
    HideCaret();
    const RecordingSurface s = Paint();
    const Colour ramp[] = {0xD0D0D0, 0xC2C2C2, 0xB4B4B4, 0xA6A6A6,
                           0x989898, 0x8A8A8A, 0x7C7C7C, 0x000000};
    const auto texts = TextsOf(s, "ab");
    ASSERT_EQ(texts.size(), 8u);
    for (int p = 0; p < 8; ++p) {
        EXPECT_EQ(texts[p].x, 8 + 7 - p) << p;
        EXPECT_EQ(texts[p].y, 7 - p) << p;
        EXPECT_EQ(texts[p].colour, ramp[p]) << p;
        EXPECT_EQ(texts[p].mode, BackMode::Transparent);
    }
    // The background comes first, then the font, then each plane starts
    // transparent.
    ASSERT_GE(s.Calls().size(), 3u);
    EXPECT_EQ(s.Calls()[0].op, Op::FillTiled);
    EXPECT_EQ(BoxOf(s.Calls()[0].rect), (Box{0, 0, 640, 480}));
    EXPECT_EQ(s.Calls()[1].op, Op::UseFont);
    EXPECT_EQ(s.Calls()[2].op, Op::BackMode);
}

TEST_F(PaintPlanTest, PlaneExamples) {
    Load("x");
    HideCaret();
    Configure(1, 0, FadeDirection::SouthEast);
    auto one = TextsOf(Paint(), "x");
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].x, 8);
    EXPECT_EQ(one[0].y, 0);
    EXPECT_EQ(one[0].colour, 0u);

    Configure(1, 0, FadeDirection::NorthWest);
    one = TextsOf(Paint(), "x");
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].x, 9);
    EXPECT_EQ(one[0].y, 1);

    Configure(8, 0, FadeDirection::West);
    auto west = TextsOf(Paint(), "x");
    ASSERT_EQ(west.size(), 8u);
    EXPECT_EQ(west.front().x, 9);
    EXPECT_EQ(west.back().x, 16);

    Configure(8, 3, FadeDirection::South);
    auto south = TextsOf(Paint(), "x");
    ASSERT_EQ(south.size(), 8u);
    EXPECT_EQ(south.front().y - south.back().y, 28);
    EXPECT_EQ(south.front().x, 8);
}

TEST_F(PaintPlanTest, SyntaxColoursOnTheFrontPlaneOnlyAndSetOnlyOnChange) {
    Load("mov eax, -5");
    HideCaret();
    Configure(3, 0, FadeDirection::SouthEast);
    RecordingSurface s = Paint();
    const auto number = TextsOf(s, "-5");
    ASSERT_EQ(number.size(), 3u);
    EXPECT_EQ(number[0].colour, planes.PlaneColour(0));
    EXPECT_EQ(number[1].colour, planes.PlaneColour(1));
    EXPECT_EQ(number[2].colour, kDefaultNumberColour);
    EXPECT_EQ(TextsOf(s, "mov eax, ")[2].colour, 0u);
    // One colour per back plane, two on the front plane.
    int colourCalls = 0;
    Colour previous = 0xFFFFFFFF;
    for (const auto& c : s.Calls()) {
        if (c.op != Op::TextColour) continue;
        EXPECT_NE(c.colour, previous) << "a colour set twice in a row";
        previous = c.colour;
        ++colourCalls;
    }
    EXPECT_EQ(colourCalls, 4);

    settings.syntaxHighlight = false;
    EXPECT_EQ(TextsOf(Paint(), "-5")[2].colour, 0u);
}

TEST_F(PaintPlanTest, HorizontalOffsetAndRightEdge) {
    Load("aa\tbb\tcc"); // runs at x 0, 64 and 128
    HideCaret();
    Configure(2, 0, FadeDirection::East);
    top.hOffset = 16;
    RecordingSurface s = Paint();
    EXPECT_TRUE(TextsOf(s, "aa").empty()); // ends at the offset
    auto bb = TextsOf(s, "bb");
    ASSERT_EQ(bb.size(), 2u);
    EXPECT_EQ(bb[0].x, 8 + 1 + 64 - 16);
    EXPECT_EQ(bb[1].x, 8 + 64 - 16);

    // A run that starts at or beyond the right edge ends the line, plane by
    // plane.
    top.hOffset = 0;
    s = Paint(Rect{0, 0, 137, 100});
    auto cc = TextsOf(s, "cc");
    ASSERT_EQ(cc.size(), 1u);
    EXPECT_EQ(cc[0].x,
              136); // front plane; the back plane's copy would start at 137
    EXPECT_EQ(TextsOf(s, "bb").size(), 2u);
}

TEST_F(PaintPlanTest, OnlyRowsInsideThePaintRectangle) {
    Load("l1\r\nl2\r\nl3\r\nl4\r\nl5");
    HideCaret();
    Configure(2, 0, FadeDirection::South); // back plane one pixel lower
    RecordingSurface s = Paint(Rect{0, 16, 640, 32});
    // Row 0 shows only through the back plane (y 1..17); row 2 starts at the
    // bottom edge.
    EXPECT_EQ(TextsOf(s, "l1").size(), 1u);
    EXPECT_EQ(TextsOf(s, "l2").size(), 2u);
    EXPECT_TRUE(TextsOf(s, "l3").empty());

    top.line = 4;
    top.record = buffer.FindLine(4);
    s = Paint();
    EXPECT_TRUE(TextsOf(s, "l3").empty());
    ASSERT_EQ(TextsOf(s, "l4").size(), 2u);
    EXPECT_EQ(TextsOf(s, "l4")[1].y, 0);
    EXPECT_EQ(TextsOf(s, "l5")[1].y, 16);
}

TEST_F(PaintPlanTest, SelectionOnOneLineInThreePieces) {
    Load("abcdef");
    HideCaret();
    Configure(2, 0, FadeDirection::SouthEast);
    MoveCaret(1, 4);
    Select(1, 2);
    const RecordingSurface s = Paint();
    const Colour back = planes.PlaneColour(0);
    for (int p = 0; p < 2; ++p) {
        const Colour c = p == 0 ? back : 0;
        const int dx = 1 - p;
        const auto ab = TextsOf(s, "ab");
        const auto cd = TextsOf(s, "cd");
        const auto ef = TextsOf(s, "ef");
        ASSERT_EQ(ab.size(), 2u);
        ASSERT_EQ(cd.size(), 2u);
        ASSERT_EQ(ef.size(), 2u);
        EXPECT_EQ(ab[p].x, 8 + dx);
        EXPECT_EQ(ab[p].colour, c);
        EXPECT_EQ(ab[p].mode, BackMode::Transparent);
        EXPECT_EQ(cd[p].x, 8 + dx + 16);
        EXPECT_EQ(cd[p].colour, ~c & 0xFFFFFF);
        EXPECT_EQ(cd[p].mode, BackMode::Opaque);
        EXPECT_EQ(cd[p].back, planes.SelectionBackground(p));
        EXPECT_EQ(ef[p].x, 8 + dx + 32);
        EXPECT_EQ(ef[p].colour, c);
        EXPECT_EQ(ef[p].mode, BackMode::Transparent);
    }
    // The front plane's selection shows the inverse of the text colour on the
    // text colour.
    EXPECT_EQ(TextsOf(s, "cd")[1].colour, 0xFFFFFFu);
    EXPECT_EQ(TextsOf(s, "cd")[1].back, 0u);
}

TEST_F(PaintPlanTest, SelectionAcrossLinesEitherWayRound) {
    Load("abc\r\n12\r\nghi");
    HideCaret();
    Configure(1, 0, FadeDirection::SouthEast);
    for (bool caretFirst : {false, true}) {
        if (caretFirst) {
            MoveCaret(1, 1);
            Select(3, 2);
        } else {
            MoveCaret(3, 2);
            Select(1, 1);
        }
        const RecordingSurface s = Paint();
        std::vector<std::string> got;
        for (const TextCall& t : s.Texts())
            got.push_back(t.text + (t.mode == BackMode::Opaque ? "*" : ""));
        // The number on the middle line is selected whole and inverted from the
        // number colour.
        EXPECT_EQ(got, (std::vector<std::string>{"a", "bc*", "12*", "gh*", "i"}));
        ASSERT_EQ(TextsOf(s, "12").size(), 1u);
        EXPECT_EQ(TextsOf(s, "12")[0].colour, ~kDefaultNumberColour & 0xFFFFFF);
    }
}

TEST_F(PaintPlanTest, CaretOnEveryPlaneRotatesPensWithThePhase) {
    Load("abc");
    settings.overLetter = false;
    MoveCaret(1, 1);
    std::uint8_t flags = 0;
    for (int ticks = 0; ticks < 3; ++ticks) {
        const auto lines = Lines(Paint());
        ASSERT_EQ(lines.size(), 8u);
        for (int p = 0; p < 8; ++p) {
            EXPECT_EQ(lines[p].x, 8 + 8 + 7 - p);
            EXPECT_EQ(lines[p].x1, lines[p].x);
            EXPECT_EQ(lines[p].y, 7 - p);
            EXPECT_EQ(lines[p].y1, 7 - p + 16);
            EXPECT_EQ(lines[p].colour, planes.PenColour((p + animation.Phase()) % 8)) << ticks;
        }
        animation.Tick(CaretMode::FadeOut, 8, flags);
    }

    overwrite = true;
    auto lines = Lines(Paint());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].x, 16);

    overwrite = false;
    HideCaret();
    EXPECT_TRUE(Lines(Paint()).empty());
    caret.flags = 0;
    caret.y = kFarCaretY;
    EXPECT_TRUE(Lines(Paint()).empty());
}

TEST_F(PaintPlanTest, OverLetterCaretShowsTheLetterInverted) {
    Load("ab\tc");
    Configure(2, 0, FadeDirection::SouthEast);
    MoveCaret(1, 1);
    RecordingSurface s = Paint();
    auto b = TextsOf(s, "b");
    ASSERT_EQ(b.size(), 2u);
    EXPECT_TRUE(Lines(s).empty());
    // Back plane: inverse of its own colour on the selection background of its
    // pen plane.
    EXPECT_EQ(b[0].x, 8 + 1 + 8);
    EXPECT_EQ(b[0].mode, BackMode::Opaque);
    EXPECT_EQ(b[0].colour, ~planes.PlaneColour(0) & 0xFFFFFF);
    EXPECT_EQ(b[0].back, planes.SelectionBackground(0));
    EXPECT_EQ(b[1].colour, 0xFFFFFFu);
    EXPECT_EQ(b[1].back, planes.SelectionBackground(1));

    // The next plane's text is transparent again.
    const auto c = TextsOf(s, "c");
    ASSERT_EQ(c.size(), 2u);
    EXPECT_EQ(c[1].mode, BackMode::Transparent);
    EXPECT_EQ(c[1].colour, 0u);

    // On a TAB and at the line's end the caret is the vertical line.
    for (std::uint32_t column : {2u, 4u}) {
        MoveCaret(1, column);
        s = Paint();
        EXPECT_EQ(Lines(s).size(), 2u) << column;
    }
}

TEST_F(PaintPlanTest, SelectionAnchorMark) {
    Load("one\r\ntwo\r\nthree");
    Configure(2, 0, FadeDirection::SouthEast);
    settings.overLetter = false;
    MoveCaret(3, 2);
    Select(2, 1);
    auto lines = Lines(Paint());
    ASSERT_EQ(lines.size(), 4u); // per plane: the caret, then the anchor
    for (int p = 0; p < 2; ++p) {
        const auto& anchor = lines[2 * p + 1];
        EXPECT_EQ(anchor.x, 8 + (1 - p) + 8);
        EXPECT_EQ(anchor.y, 16 + (1 - p));
        EXPECT_EQ(anchor.y1, anchor.y + 16);
        EXPECT_EQ(anchor.colour, planes.PenColour(p));
    }

    // The mark neither blinks nor shows for an anchor above the view.
    HideCaret();
    EXPECT_EQ(Lines(Paint()).size(), 2u);
    top.line = 3;
    top.record = buffer.FindLine(3);
    MoveCaret(3, 2);
    EXPECT_TRUE(Lines(Paint()).empty());
}

TEST_F(PaintPlanTest, HexViewAddressColumn) {
    Load("ab\r\nc\r\n");
    HideCaret();
    Configure(2, 0, FadeDirection::SouthEast);
    settings.showAddress = true;
    RecordingSurface s = Paint();
    ASSERT_EQ(view.addressColumnWidth, 72u);
    std::vector<std::string> addresses;
    for (const TextCall& t : s.Texts())
        if (t.text.size() == 9 && t.text[8] == ':') addresses.push_back(t.text);
    EXPECT_EQ(addresses,
              (std::vector<std::string>{"00000000:", "00000004:", "00000007:", "00000007:",
                                        "00000000:", "00000004:", "00000007:", "00000007:"}));
    const auto first = TextsOf(s, "00000000:");
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[0].x, 8 + 1 + 72 - 4 - 72);
    EXPECT_EQ(first[0].colour, planes.PlaneColour(0));
    EXPECT_EQ(first[1].x, 4);
    EXPECT_EQ(first[1].colour, kAddressColour);
    EXPECT_EQ(first[1].mode, BackMode::Transparent);
    // The text moves right by the column.
    EXPECT_EQ(TextsOf(s, "ab")[1].x, 8 + 72);

    // Scrolled: the addresses start at the top line's offset.
    top.line = 2;
    top.record = buffer.FindLine(2);
    top.offset = 4;
    top.hOffset = 16;
    s = Paint();
    const auto scrolled = TextsOf(s, "00000004:");
    ASSERT_EQ(scrolled.size(), 2u);
    EXPECT_EQ(scrolled[1].y, 0);
    EXPECT_EQ(scrolled[1].x, 4 - 16);
    EXPECT_EQ(TextsOf(s, "c")[1].x, 8 + 72 - 16);
}

TEST_F(PaintPlanTest, RepaintRectangles) {
    Load("abc\r\ndef");
    MoveCaret(2, 1);
    top.hOffset = 4;
    Configure(8, 1, FadeDirection::SouthEast);
    planes.Update(settings);
    SyncViewGeometry(view, settings, planes, buffer.Widths());
    EXPECT_EQ(view.planeSpread, 16u);
    const int widest = static_cast<int>(buffer.Widths().widest);
    EXPECT_EQ(BoxOf(CaretRepaintRect(caret, top, view, widest)),
              (Box{8 + 8 - 4, 16, 8 + 8 - 4 + widest + 16, 16 + 16 + 16}));
    EXPECT_EQ(BoxOf(CaretBandRect(caret, view)), (Box{0, 16, 640, 48}));
    EXPECT_EQ(BoxOf(AddressColumnRect(72, 16, widest, 480)),
              (Box{0, 0, 72 + 8 + 16 + widest, 480}));

    settings.showAddress = true;
    SyncViewGeometry(view, settings, planes, buffer.Widths());
    EXPECT_EQ(CaretRepaintRect(caret, top, view, widest).left, 8 + 8 - 4 + 72);
}

TEST_F(PaintPlanTest, CharUnderCaret) {
    Load("a\tb");
    const std::uint8_t expected[] = {'a', 0, 'b', 0};
    for (std::uint32_t column = 0; column < 4; ++column) {
        MoveCaret(1, column);
        EXPECT_EQ(CharUnderCaret(buffer, caret), expected[column]) << column;
    }
    caret.record = nullptr;
    EXPECT_EQ(CharUnderCaret(buffer, caret), 0);
}

TEST_F(PaintPlanTest, DegenerateInputsDrawSafely) {
    Load("abc");
    EXPECT_TRUE(Paint(Rect{10, 10, 10, 50}).Calls().empty());

    // No font measured yet: the background only.
    view.lineHeight = 0;
    RecordingSurface s = Paint();
    EXPECT_TRUE(s.Texts().empty());
    EXPECT_TRUE(Lines(s).empty());
    view.lineHeight = 16;

    // Offsets and positions at the ends of their ranges neither overflow nor wrap
    // around.
    top.hOffset = 0xFFFFFFF0u;
    settings.overLetter = false;
    Select(1, 0);
    Configure(255, 255, FadeDirection::NorthWest);
    s = Paint();
    EXPECT_TRUE(s.Texts().empty());
    EXPECT_EQ(Lines(s).size(), 2u * 255);
    for (const auto& line : Lines(s))
        EXPECT_LT(line.x, 0);
    caret.x = 0xFFFFFFFFu;
    top.hOffset = 0;
    for (const auto& line : Lines(Paint()))
        EXPECT_GT(line.x, 0);

    // A top line past the document draws nothing but the background.
    top = TopLine{};
    top.line = 99;
    caret.flags = kCaretHidden;
    selection.Drop();
    s = Paint();
    EXPECT_TRUE(s.Texts().empty());
}

} // namespace
} // namespace stx

namespace stx {
namespace {

TEST(AddressColumn, WidthRuleAndText) {
    std::uint8_t widths[256];
    for (int c = 0; c < 256; ++c)
        widths[c] = c >= 'A' && c <= 'F' ? 9 : c >= '0' && c <= '9' ? 6 : 30;
    CharWidthTable table;
    table.Fill(widths);
    // Narrowest 6, widest 9: 9 x (15 / 2), the mean truncated.
    EXPECT_EQ(AddressColumnWidth(table), 63);

    char text[kAddressChars];
    FormatAddress(0xDEADBEEF, text);
    EXPECT_EQ(std::string(text, kAddressChars), "DEADBEEF:");
    FormatAddress(7, text);
    EXPECT_EQ(std::string(text, kAddressChars), "00000007:");
    EXPECT_EQ(AddressTextWidth(text, table), 8 * 6 + 30);
}

TEST(PlaneSettings, ApplyingSettingsRestartsThePhaseOnlyForGeometry) {
    RenderSettings settings;
    PlaneTables planes;
    CaretAnimation animation;
    ViewGeometry view;
    CharWidthTable widths;
    std::uint8_t flags = 0;
    animation.Tick(CaretMode::FadeOut, 8, flags);
    settings.firstPlaneColour = 0x101010;
    ApplyRenderSettings(settings, planes, animation, view, widths);
    EXPECT_EQ(animation.Phase(), 8);
    EXPECT_EQ(planes.PlaneColour(1), RampColour(0x101010, 0xD0D0D0, 1, 8));
    settings.distance = 1;
    settings.fadeDirection = FadeDirection::NorthWest;
    settings.showAddress = true;
    ApplyRenderSettings(settings, planes, animation, view, widths);
    EXPECT_EQ(animation.Phase(), 0);
    EXPECT_EQ(view.planeSpread, 16u);
    EXPECT_EQ(view.fadeX, -1);
    EXPECT_EQ(view.fadeY, -1);
    EXPECT_TRUE(view.hexView);
    EXPECT_EQ(view.addressColumnWidth, 72u);
}

} // namespace
} // namespace stx
