#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <thread>

#include "tests/unit/text/text_test_util.h"
#include "text/text_buffer.h"
#include "text/text_editor.h"

using namespace stx;
using namespace stx::test;

namespace {

std::string RandomText(std::mt19937& rng, size_t size) {
    // Weighted towards the bytes the tokenizer decides on.
    static const char kAlphabet[] = "ab_~^`+-09 ,;.\t\r\n\r\n\x00\xe9\x7f";
    std::uniform_int_distribution<size_t> pick(0, sizeof kAlphabet - 2);
    std::uniform_int_distribution<int> longRun(0, 400);
    std::string s;
    while (s.size() < size) {
        if (longRun(rng) == 0)
            s.append(700 + pick(rng) * 40, "xq7"[pick(rng) % 3]);
        else
            s += kAlphabet[pick(rng)];
    }
    s.resize(size);
    return s;
}

using P = std::pair<uint32_t, uint32_t>;

CharWidthTable Widths(uint8_t space, uint8_t letters, uint8_t nul = 3) {
    uint8_t w[256];
    for (int i = 0; i < 256; ++i)
        w[i] = letters;
    w[' '] = space;
    w[0] = nul;
    w['W'] = 20;
    CharWidthTable t;
    t.Fill(w);
    return t;
}

std::vector<P> Positions(const TextBuffer& b, uint32_t line) {
    std::vector<P> out;
    TokenCursor c(b, b.FindLine(line));
    for (Token t = c.Next(); t.kind != TokenKind::End; t = c.Next())
        out.push_back({t.x, t.width});
    return out;
}

} // namespace

TEST(TextTokenizer, ClassDecisions) {
    struct Case {
        std::string text;
        std::string tokens;
    } const cases[] = {
        {"x-12", "P:x N:-12"},
        {"ab12", "P:ab12"},
        {"12ab", "N:12ab"},
        {"0FFh", "N:0FFh"},
        {"+5", "N:+5"},
        {"-x", "P:-x"},
        {"a+b", "P:a+b"},
        {"(5)", "P:( N:5 P:)"},
        {"abc+5,6", "P:abc N:+5 P:, N:6"},
        {"--5", "P:- N:-5"},
        // Word characters keep a digit in the run; others let a number start.
        {"~1 ^2 `3 _4 a.5", "P:~1 ^2 `3 _4 a. N:5"},
        {std::string(1, '\xe9') + '1', "P:\xe9 N:1"},
        {"5+", "N:5 P:+"},
        {"1.5e3", "N:1 P:. N:5e3"},
        {"x\t5\t", "P:x T N:5 T"},
        {"", ""},
        {std::string("a\0b\x01\r", 5), std::string("P:a Z P:b\x01\r")}, // NUL, lone CR
        // Runs are cut at 500 characters; a number goes on as a number run.
        {std::string(1200, 'q'), "P:" + std::string(500, 'q') + " P:" + std::string(500, 'q') +
                                     " P:" + std::string(200, 'q')},
        {std::string(600, '7') + " x",
         "N:" + std::string(500, '7') + " N:" + std::string(100, '7') + " P: x"},
    };
    for (const Case& c : cases) {
        TextBuffer b;
        ASSERT_EQ(Parse(b, c.text), TextStatus::Ok);
        EXPECT_EQ(Tokens(b, 1), c.tokens) << "text: " << Shown(c.text);
    }
}

TEST(TextOpen, OddTextsOpenWholeAndMeasureAsLaidOut) {
    // Small spans and a two-part scan from 4 KB on, so seams fall everywhere.
    std::mt19937 rng(31);
    const std::string kinds[] = {
        RandomText(rng, 50000),        std::string(60000, 'x') + "\t12",
        Repeat("\r\n", 20000),         std::string(30000, '\0'),
        std::string(30000, '\n'),      std::string(30000, '\r') + "a",
        Repeat("\r\r\n\n\tz\r", 6000),
    };
    uint8_t proportional[256];
    for (int c = 0; c < 256; ++c)
        proportional[c] = static_cast<uint8_t>(3 + c % 7);
    for (const std::string& text : kinds) {
        for (bool convert : {false, true}) {
            SCOPED_TRACE(std::to_string(&text - kinds) + (convert ? " converted" : ""));
            // Opened with one font, then laid out for the other.
            const uint8_t* widths = convert ? proportional : nullptr;
            TextBuffer b;
            b.grain.spanLines = 7;
            b.grain.spanBytes = 100;
            b.grain.parallelBytes = 4096;
            b.grain.pieceBytes = 1000;
            b.convertLineBreaks = convert;
            b.Widths().Fill(widths);
            ASSERT_EQ(Parse(b, text), TextStatus::Ok);
            const std::string saved = SavedForm(text, convert);
            ASSERT_TRUE(All(b) == saved);
            EXPECT_EQ(b.LineCount(), SplitLines(saved).size());
            EXPECT_TRUE(b.CheckConsistency());
            // The widest line found by the scan, and after a new font by
            // LayoutAll, is the one layout finds.
            for (int font = 0; font < 2; ++font) {
                if (font) {
                    ASSERT_EQ(Parse(b, text), TextStatus::Ok);
                    b.Widths().Fill(widths ? nullptr : proportional);
                    b.LayoutAll();
                }
                uint32_t widest = 0, lines = 0;
                for (const LineRecord* r = b.FindLine(1); r; r = b.NextLine(r), ++lines)
                    widest = std::max(widest, b.LineWidth(r));
                EXPECT_EQ(lines, b.LineCount());
                EXPECT_EQ(b.WidestLine(), widest);
            }
            EXPECT_TRUE(All(b) == saved);
        }
    }
}

TEST(TextLayout, PositionsWithTabsAndNuls) {
    TextBuffer b;
    b.Widths() = Widths(4, 5); // tab 32
    std::string s("ab\tW\t\t1\0x", 9);
    Parse(b, s);
    // ab 0..10, tab to 32, W 32..52, tab to 64, tab to 96 (strictly above),
    // 1 at 96, NUL 3 wide, x at 104.
    EXPECT_EQ(Positions(b, 1),
              (std::vector<P>{
                  {0, 10}, {10, 22}, {32, 20}, {52, 12}, {64, 32}, {96, 5}, {101, 3}, {104, 5}}));
    EXPECT_EQ(b.LineWidth(b.FindLine(1)), 109u);
    EXPECT_EQ(b.WidestLine(), 109u);
    EXPECT_EQ(b.Widths().widest, 20u);
    EXPECT_EQ(Widths(31, 5).TabWidth(), 248u);
    EXPECT_EQ(Widths(0, 5).TabWidth(), 1u); // never a zero modulus
}

TEST(TextLayout, UndoAfterANewFontLaysRestoredLinesOut) {
    // Line 2 stays a span of its own while lines 1 to 3 are replaced.
    TextBuffer b;
    b.grain.spanLines = 1;
    Parse(b, "ab\r\nab\tWWW\r\nx");
    PendingUndo pending;
    ASSERT_EQ(b.ReplaceLines(1, 3, "z", 1, BreakRule::CrLfOnly, true, pending), TextStatus::Ok);
    b.Widths() = Widths(4, 5); // tab 32
    b.LayoutAll();
    ASSERT_TRUE(b.Undo().done);
    EXPECT_EQ(Positions(b, 1), (std::vector<P>{{0, 10}}));
    EXPECT_EQ(b.WidestLine(), 92u);
    EXPECT_EQ(b.LineWidth(b.FindLine(2)), 92u);
}

TEST(TextLayout, ColourEntriesFollowTheTable) {
    TextBuffer b;
    Parse(b, "mov 12");
    TokenCursor c(b, b.FindLine(1));
    Token plain = c.Next(), number = c.Next();
    EXPECT_EQ(*plain.colour, kDefaultTextColour);
    EXPECT_EQ(*number.colour, kDefaultNumberColour);
    b.Colours().Number() = 0x0000FF;
    EXPECT_EQ(*number.colour, 0x0000FFu); // no re-tokenizing needed
}

TEST(TextVersions, UndoAndNewGiveBackBlocks) {
    TextBuffer b;
    Parse(b, "a\r\nb\r\nc");
    b.FindLine(1);
    const size_t blocks = b.BlockCount();
    const std::string big = Repeat("\tline 1234 of pasted text\r\n", 40000);
    ASSERT_EQ(
        b.ReplaceLines(2, 2, big.data(), big.size(), BreakRule::CrLfOnly, true, PendingUndo()),
        TextStatus::Ok);
    EXPECT_GT(b.BlockCount(), blocks);
    EXPECT_TRUE(b.Undo().done);
    EXPECT_EQ(b.BlockCount(), blocks);
    EXPECT_EQ(All(b), "a\r\nb\r\nc");
    EXPECT_TRUE(b.CheckConsistency());
    // New drops the history with its storage.
    ASSERT_EQ(
        b.ReplaceLines(1, 1, big.data(), big.size(), BreakRule::CrLfOnly, true, PendingUndo()),
        TextStatus::Ok);
    ASSERT_EQ(b.New(), TextStatus::Ok);
    EXPECT_EQ(b.LineCount(), 1u);
    EXPECT_EQ(b.TotalBytes(), 0u);
    EXPECT_FALSE(b.CanUndo());
    EXPECT_EQ(b.BlockCount(), 1u);
}

TEST(TextFailure, LargeParsesGoThroughWholeOrKeepTheDocument) {
    // Several storage blocks, and one line across blocks.
    std::mt19937 rng(5);
    const std::string text = RandomText(rng, 3u << 20) + std::string(2u << 20, 'w') + "\r\nend";
    for (long budget = 0; budget < 14; ++budget) {
        const bool convert = budget % 2;
        FailingAllocator alloc;
        TextBuffer b(&alloc);
        b.convertLineBreaks = convert;
        Parse(b, "keep\r\nme");
        alloc.SetBudget(budget < 12 ? budget : -1);
        TextStatus s = Parse(b, text);
        alloc.SetBudget(-1);
        EXPECT_TRUE(b.CheckConsistency());
        if (s != TextStatus::Ok) {
            EXPECT_EQ(s, TextStatus::OutOfMemory);
            EXPECT_EQ(All(b), "keep\r\nme");
            EXPECT_EQ(b.LineCount(), 2u);
            continue;
        }
        const std::string saved = SavedForm(text, convert);
        EXPECT_TRUE(All(b) == saved);
        EXPECT_EQ(b.LineCount(), SplitLines(saved).size());
        // Every run stays within its limit and holds no break, TAB or NUL.
        for (const LineRecord* r = b.FindLine(1); r; r = b.NextLine(r)) {
            TokenCursor c(b, r);
            uint32_t chars = 0;
            for (Token t = c.Next(); t.kind != TokenKind::End; t = c.Next()) {
                chars += t.count;
                if (t.kind != TokenKind::Run) continue;
                ASSERT_LE(t.count, 500u);
                ASSERT_EQ(std::string(t.chars, t.count).find_first_of(std::string("\t\0", 2)),
                          std::string::npos);
            }
            ASSERT_EQ(chars, b.LineChars(r));
        }
        EXPECT_GT(b.BlockCount(), 3u);
    }
}

TEST(TextFailure, EditsWithoutMemoryKeepTheDocument) {
    const std::string big = Repeat("mov eax, 1234h\r\n", 20000);
    std::string longLine(3u << 20, '+');
    int failures = 0;
    for (long budget = 0; budget < 8; ++budget) {
        FailingAllocator alloc;
        TextBuffer b(&alloc);
        Parse(b, "one\r\ntwo\r\nthree");
        PendingUndo pending;
        // Make line 2 the newest record, so the long edit goes in place.
        ASSERT_EQ(b.ReplaceLines(2, 1, "2", 1, BreakRule::CrLfOnly, false, pending),
                  TextStatus::Ok);
        const std::string before = All(b);
        alloc.SetBudget(budget);
        TextStatus s1 = b.ReplaceLines(2, 1, longLine.data(), longLine.size(), BreakRule::CrLfOnly,
                                       false, pending);
        TextStatus s2 =
            b.ReplaceLines(1, 1, big.data(), big.size(), BreakRule::CrLfOnly, true, pending);
        alloc.SetBudget(-1);
        std::string expect = before;
        if (s1 == TextStatus::Ok)
            expect = "one\r\n" + longLine + "\r\nthree";
        else
            ++failures;
        if (s2 == TextStatus::Ok)
            expect = big + expect.substr(3);
        else
            ++failures;
        EXPECT_TRUE(All(b) == expect) << budget;
        EXPECT_TRUE(b.CheckConsistency());
        while (b.CanUndo())
            ASSERT_TRUE(b.Undo().done);
        EXPECT_EQ(All(b), "one\r\ntwo\r\nthree");
    }
    EXPECT_GT(failures, 4);
}

TEST(TextFailure, ABufferBornWithoutMemoryIsEmptyUntilMemoryComes) {
    FailingAllocator alloc(0);
    TextEditor ed(&alloc);
    const TextBuffer& b = ed.Buffer();
    // Every reader sees one empty line; edits fail and change nothing.
    EXPECT_EQ(All(b), "");
    EXPECT_EQ(b.LineCount(), 1u);
    EXPECT_EQ(b.LineStartOffset(2), 2u);
    uint32_t line = 0, column = 9;
    b.OffsetToLineColumn(5, line, column);
    EXPECT_EQ(line * 10 + column, 10u);
    ed.KeyDown(Key::End, true, false);
    ed.Buffer().LayoutAll();
    EXPECT_EQ(ed.InsertChar('x'), TextStatus::OutOfMemory);
    EXPECT_EQ(ed.InsertText("pasted"), TextStatus::OutOfMemory);
    EXPECT_EQ(All(b), "");
    EXPECT_FALSE(ed.CanUndo());
    EXPECT_TRUE(b.CheckConsistency());
    // With memory the first edit gets its storage.
    alloc.SetBudget(-1);
    EXPECT_EQ(ed.InsertChar('x'), TextStatus::Ok);
    EXPECT_EQ(All(b), "x");
    EXPECT_TRUE(b.CheckConsistency());
    EXPECT_TRUE(ed.Undo().done);
    EXPECT_EQ(All(b), "");
}

TEST(TextFailure, OutOfRangeLinesAreRefused) {
    TextBuffer b;
    Parse(b, "a\r\nb");
    PendingUndo p;
    EXPECT_EQ(b.ReplaceLines(0, 1, "x", 1, BreakRule::CrLfOnly, true, p), TextStatus::BadArgument);
    EXPECT_EQ(b.ReplaceLines(2, 2, "x", 1, BreakRule::CrLfOnly, true, p), TextStatus::BadArgument);
    EXPECT_EQ(b.ReplaceLines(3, 1, "x", 1, BreakRule::CrLfOnly, true, p), TextStatus::BadArgument);
    EXPECT_EQ(All(b), "a\r\nb");
    EXPECT_EQ(b.LineStartOffset(3), 6u);
    char one[1];
    EXPECT_EQ(b.ExtractLine(3, 1, one), 0u);
    EXPECT_EQ(b.ExtractLine(0, 1, one), 0u);
}

TEST(TextBusy, TheHoldingThreadMayEditAndOthersWait) {
    TextBuffer b;
    Parse(b, "a\r\nb");
    PendingUndo p;
    std::atomic<int> finished{0};
    std::thread editor, opener;
    {
        BusyGuard guard(b); // a paste holding the flag across its steps, or the print thread
        ASSERT_EQ(b.ReplaceLines(1, 1, "x", 1, BreakRule::CrLfOnly, true, p), TextStatus::Ok);
        EXPECT_TRUE(b.IsBusy());
        editor = std::thread([&] {
            b.ReplaceLines(2, 1, "y", 1, BreakRule::CrLfOnly, true, p);
            ++finished;
        });
        opener = std::thread([&] {
            b.Parse("z", nullptr);
            ++finished;
        });
        auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(50);
        while (std::chrono::steady_clock::now() < until)
            ASSERT_EQ(finished.load(), 0);
        EXPECT_EQ(All(b), "x\r\nb");
    }
    editor.join();
    opener.join();
    EXPECT_EQ(All(b), "z"); // in either order: after the new text there is no line 2
    EXPECT_FALSE(b.IsBusy());
}

TEST(TextVersions, RandomLargeSplicesKeepIndexAndUndoExact) {
    // Replacing and removing hundreds of lines at a time crosses, splits and
    // merges index chunks; every undo must give back the exact earlier text.
    std::mt19937 rng(4242);
    auto pick = [&rng](uint32_t n) {
        return std::uniform_int_distribution<uint32_t>(0, n - 1)(rng);
    };
    // Where a line starts in a text; past the last line, 2 beyond its end.
    auto lineStart = [](const std::string& s, uint32_t line) {
        size_t offset = 0;
        for (uint32_t k = 1; k < line && offset <= s.size(); ++k)
            offset = std::min(s.find("\r\n", offset), s.size()) + 2;
        return offset;
    };
    // Enough lines for the index to sum its chunks in several groups; spans
    // of 100 lines, so chunks hold several of them.
    std::string text;
    for (int i = 0; i < 40000; ++i)
        text += "l" + std::to_string(i) + "\r\n";
    TextBuffer b;
    b.grain.spanLines = 100;
    Parse(b, text);
    std::vector<std::string> history{text};
    for (int step = 0; step < 300; ++step) {
        if (pick(4) == 0 && b.CanUndo()) {
            ASSERT_TRUE(b.Undo().done);
            history.pop_back();
        } else {
            uint32_t first = 1 + pick(b.LineCount());
            uint32_t remove = 1 + pick(std::min<uint32_t>(b.LineCount() - first + 1, 700));
            std::string block;
            for (uint32_t k = pick(3) == 0 ? pick(1500) : pick(5); k > 0; --k)
                block += "n" + std::to_string(step) + "\r\n";
            block += "t" + std::to_string(step);
            ASSERT_EQ(b.ReplaceLines(first, remove, block.data(), block.size(), BreakRule::CrLfOnly,
                                     true, PendingUndo()),
                      TextStatus::Ok);
            const std::string& h = history.back();
            history.push_back(h.substr(0, lineStart(h, first)) + block +
                              h.substr(lineStart(h, first + remove) - 2));
        }
        ASSERT_TRUE(b.CheckConsistency()) << step;
        ASSERT_TRUE(All(b) == history.back()) << step;
        uint32_t line = 1 + pick(b.LineCount());
        ASSERT_EQ(b.LineStartOffset(line), lineStart(history.back(), line)) << step;
    }
    while (b.CanUndo())
        b.Undo();
    EXPECT_EQ(All(b), text);
    EXPECT_TRUE(b.CheckConsistency());
}

TEST(TextVersions, LargeInsertionsHoldTheirLinesAsAnOpenedTextWould) {
    // A large insertion keeps most of its lines as spans, cut into pieces:
    // small pieces put CR LF pairs and long lines across their edges. The
    // document must read as the same text opened, before and after layout,
    // and undo must give back the old one.
    std::mt19937 rng(77);
    const std::string text =
        RandomText(rng, 200000) + std::string(5000, 'w') + "\r\n" + RandomText(rng, 3000);
    for (const bool convert : {false, true}) {
        for (const size_t piece : {size_t(64), size_t(97), size_t(1) << 20}) {
            SCOPED_TRACE(testing::Message() << convert << " " << piece);
            TextBuffer opened;
            opened.convertLineBreaks = convert;
            Parse(opened, text);
            TextBuffer b;
            b.grain.pieceBytes = piece;
            b.grain.spanLines = 3;
            Parse(b, "old\r\ntext");
            const BreakRule rule = convert ? BreakRule::ConvertLone : BreakRule::CrLfOnly;
            ASSERT_EQ(b.ReplaceLines(1, 2, text.data(), text.size(), rule, true, PendingUndo()),
                      TextStatus::Ok);
            ASSERT_TRUE(b.CheckConsistency());
            EXPECT_EQ(b.LineCount(), opened.LineCount());
            EXPECT_EQ(b.WidestLine(), opened.WidestLine());
            EXPECT_TRUE(All(b) == All(opened));
            b.LayoutAll();
            for (uint32_t line = 1; line <= b.LineCount(); line += 37)
                ASSERT_EQ(b.LineWidth(b.FindLine(line)), opened.LineWidth(opened.FindLine(line)));
            EXPECT_TRUE(All(b) == All(opened));
            ASSERT_TRUE(b.Undo().done);
            EXPECT_EQ(All(b), "old\r\ntext");
            EXPECT_TRUE(b.CheckConsistency());
        }
    }
}
