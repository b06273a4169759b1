// What the randomized model test (text_model.h) cannot reach: paging,
// scrolling, the mouse, view metrics, fonts, repaint requests, the copy keys,
// the modified flag and memory running out. Plain moves, typing, deleting,
// selections and undo are compared against the model there.
#include <gtest/gtest.h>

#include <string>

#include "tests/unit/text/text_test_util.h"
#include "text/text_editor.h"

using namespace stx;
using namespace stx::test;

namespace {

// Every character 8 pixels wide, TAB 64; lines 16 pixels high.
struct Editor {
    explicit Editor(const std::string& text, uint32_t page = 30, BlockAllocator* alloc = nullptr)
        : ed(alloc) {
        ViewGeometry v;
        v.lineHeight = 16;
        v.viewHeight = page * 16 - 1;
        v.viewWidth = 100000; // no horizontal scroll range unless a test wants one
        ed.SetView(v);
        ed.Parse(text.data(), text.data() + text.size());
        ed.TakeRepaint();
    }
    std::string Text() const { return All(ed.Buffer()); }
    std::pair<uint32_t, uint32_t> At() const { return {ed.GetCaret().line, ed.GetCaret().column}; }
    void Key(stx::Key k, int times = 1, bool ctrl = false, bool shift = false) {
        while (times-- > 0)
            ed.KeyDown(k, ctrl, shift);
    }
    void Type(const std::string& s) {
        for (char c : s)
            ed.Char(static_cast<uint8_t>(c));
    }
    void Go(uint32_t line, uint32_t column) {
        uint32_t offset = ed.Buffer().LineStartOffset(line) + column;
        ed.SetSelection(offset, offset);
    }
    TextEditor ed;
};

using P = std::pair<uint32_t, uint32_t>;

std::string Lines(int n) {
    std::string s;
    for (int i = 1; i <= n; ++i)
        s += "line " + std::to_string(i) + (i < n ? "\r\n" : "");
    return s;
}

} // namespace

TEST(TextCaret, PagesAndTheEndOfText) {
    Editor e(Lines(100), 30);
    EXPECT_EQ(e.ed.PageSize(), 30u);
    EXPECT_EQ(e.ed.VScrollRange(), 72u);
    e.Go(70, 2);
    e.ed.SetTopLine(61);
    e.Key(Key::PageDown);
    EXPECT_EQ(e.ed.GetTopLine().line, 71u);
    EXPECT_EQ(e.At(), P(100, 8));

    e.Key(Key::PageUp);
    EXPECT_EQ(e.ed.GetTopLine().line, 41u);
    EXPECT_EQ(e.At().first, 70u);
    e.Key(Key::PageDown);
    EXPECT_EQ(e.ed.GetTopLine().line, 71u); // 41 + 60 > 100: end of text
    e.Go(25, 0);
    e.ed.SetTopLine(20);
    e.Key(Key::PageUp);
    EXPECT_EQ(e.At(), P(1, 0)); // top not above a page: start of text
    EXPECT_EQ(e.ed.GetTopLine().line, 1u);

    e.Key(Key::PageDown);
    EXPECT_EQ(e.ed.GetTopLine().line, 31u);
    EXPECT_EQ(e.At().first, 31u);

    Editor shortText("x\r\nyy", 30);
    shortText.Key(Key::End, 1, true);
    EXPECT_EQ(shortText.ed.GetTopLine().line, 1u);
    EXPECT_EQ(shortText.ed.VScrollRange(), 1u);
}

TEST(TextCaret, TheViewFollowsTheCaret) {
    Editor e(Lines(50), 10);
    e.Key(Key::Down, 9);
    EXPECT_EQ(e.ed.GetTopLine().line, 1u);
    e.Key(Key::Down);
    EXPECT_EQ(e.ed.GetTopLine().line, 2u);
    EXPECT_EQ(e.ed.GetCaret().y, 9 * 16);
    e.Key(Key::End);
    e.Key(Key::Right); // past the end on the last row
    EXPECT_EQ(e.ed.GetTopLine().line, 3u);
    e.Key(Key::Up, 9);
    EXPECT_EQ(e.ed.GetTopLine().line, 3u);
    e.Key(Key::Home);
    e.Key(Key::Left); // to the previous line from the top row
    EXPECT_EQ(e.ed.GetTopLine().line, 2u);

    // A key first brings a caret scrolled out of the view back.
    e.Go(5, 0);
    e.ed.SetTopLine(50); // scroll bar moved, caret above the view
    e.Key(Key::Right);
    EXPECT_EQ(e.ed.GetTopLine().line, 5u);
    e.Go(40, 0);
    e.ed.SetTopLine(1); // caret below the view
    e.Key(Key::Right);
    EXPECT_EQ(e.ed.GetTopLine().line, 31u); // caret on the last visible row

    // Dragging outside the view scrolls.
    e.ed.SetTopLine(20);
    e.ed.MouseDown(8, 0);
    e.ed.MouseMove(8, -5, true);
    EXPECT_EQ(e.ed.GetTopLine().line, 19u);
    e.ed.DragTick(8, -5);
    EXPECT_EQ(e.ed.GetTopLine().line, 18u);
    e.ed.DragTick(8, 400);
    EXPECT_EQ(e.ed.GetTopLine().line, 19u);
    e.ed.MouseMove(8, 400, false); // button released elsewhere
    EXPECT_FALSE(e.ed.Dragging());
}

TEST(TextCaret, ClicksAndDrags) {
    Editor e("abcdefgh\r\n\tx\r\nz", 10);
    e.ed.MouseDown(8 + 8 * 3 + 3, 2); // within the 4th character, before its midpoint
    EXPECT_EQ(e.At(), P(1, 3));
    e.ed.MouseDown(8 + 8 * 3 + 4, 2);
    EXPECT_EQ(e.At(), P(1, 4));
    e.ed.MouseDown(5, 17); // the left margin
    EXPECT_EQ(e.At(), P(2, 0));
    e.ed.MouseDown(40, 100); // below the last line: nothing
    EXPECT_EQ(e.At(), P(2, 0));

    // Dragging selects; coming back to the anchor point drops it.
    e.ed.MouseDown(8, 2);
    e.ed.MouseMove(8 + 40, 2, true);
    ASSERT_TRUE(e.ed.GetSelection().Exists());
    EXPECT_EQ(e.At(), P(1, 5));
    e.ed.MouseMove(8, 2, true);
    EXPECT_FALSE(e.ed.GetSelection().Exists());
    e.ed.MouseMove(8 + 16, 18, true);
    EXPECT_EQ(e.ed.GetSelection().anchor.column, 0u);
    EXPECT_EQ(e.At(), P(2, 0));
    e.ed.MouseUp();
    EXPECT_FALSE(e.ed.Dragging());
    e.ed.DragTick(0, 0); // no drag: nothing
    EXPECT_EQ(e.At(), P(2, 0));

    // Clicks left of the planes' spread, and past the hex view's addresses.
    ViewGeometry v = e.ed.View();
    v.planeSpread = 6;
    v.fadeX = -1;
    e.ed.SetView(v);
    e.ed.MouseDown(3, 2); // left of the spread: ignored
    EXPECT_EQ(e.At(), P(2, 0));
    e.ed.MouseDown(6 + 8 + 16, 2);
    EXPECT_EQ(e.At(), P(1, 2));
    v.fadeX = 1;
    v.hexView = true;
    v.addressColumnWidth = 80;
    e.ed.SetView(v);
    e.ed.MouseDown(80 + 8 + 24, 2);
    EXPECT_EQ(e.At(), P(1, 3));
}

TEST(TextCaret, HorizontalScrollFollowsTheCaret) {
    Editor e(std::string(300, 'w'));
    ViewGeometry v = e.ed.View();
    v.viewWidth = 640;
    v.vScrollBarWidth = 16;
    e.ed.SetView(v);
    EXPECT_GT(e.ed.HScrollRange(), 0u);
    e.Key(Key::End); // x 2400
    const TopLine& t = e.ed.GetTopLine();
    EXPECT_EQ(t.hOffset % 64, 0u);
    EXPECT_LT(2400 + 128 - int(t.hOffset), 640);
    EXPECT_GE(2400 + 128 - int(t.hOffset), 640 - 64);
    EXPECT_EQ(t.hScrollPos, t.hOffset / 16);
    e.Key(Key::Home);
    EXPECT_EQ(e.ed.GetTopLine().hOffset, 0u);
}

TEST(TextCaret, ANewFontMovesTheCaretToItsNewPixels) {
    Editor e("ab\tc\r\nxyz");
    e.ed.SetSelection(e.ed.Buffer().LineStartOffset(2) + 3, e.ed.Buffer().LineStartOffset(1) + 4);
    uint8_t w[256];
    for (int i = 0; i < 256; ++i)
        w[i] = 10;
    w[' '] = 4; // tab 32
    e.ed.SetCharWidths(w);
    EXPECT_EQ(e.ed.GetCaret().x, 42u);
    EXPECT_EQ(e.ed.GetSelection().anchor.x, 30u);
    EXPECT_EQ(e.ed.Buffer().WidestLine(), 42u);
    EXPECT_EQ(e.ed.TakeRepaint(), Repaint::All);
}

TEST(TextCaret, RowsFarFromTheTopClampInsteadOfWrapping) {
    Editor e(Lines(10), 30);
    ViewGeometry v = e.ed.View();
    v.lineHeight = 0x40000000; // a font height nothing limits
    e.ed.SetView(v);
    e.Go(9, 0);
    e.ed.SetTopLine(5);
    EXPECT_EQ(e.ed.GetCaret().y, INT32_MAX);
    e.Go(1, 0);
    e.ed.SetTopLine(5);
    EXPECT_EQ(e.ed.GetCaret().y, INT32_MIN);
}

TEST(TextEditing, OnlyChangesMarkTheDocumentModified) {
    Editor e("ab\r\ncd");
    e.Type("\b");
    e.Key(Key::End, 1, true);
    e.ed.DeleteKey();
    e.ed.InsertText("");
    EXPECT_EQ(e.ed.Buffer().modified, 0u);
    e.ed.SetSelection(0, 2);
    e.ed.InsertText(""); // EM_REPLACESEL with nothing deletes the selection
    EXPECT_EQ(e.ed.Buffer().modified, 1u);

    // Converting the document changes it, not the setting.
    Editor unix(std::string("a\nb\0", 4));
    ASSERT_EQ(unix.ed.ConvertUnixText(), TextStatus::Ok);
    EXPECT_EQ(unix.Text(), std::string("a\r\nb\0", 5));
    EXPECT_FALSE(unix.ed.Buffer().convertLineBreaks);
    EXPECT_EQ(unix.ed.Buffer().modified, 1u);
}

TEST(TextEditing, CharCodesThatAreNotInserted) {
    Editor e("abc");
    e.ed.SetSelection(0, 2);
    EXPECT_EQ(e.ed.Char(0x03).action, CharAction::Copy);
    EXPECT_TRUE(e.ed.GetSelection().Exists()); // the window copies first
    e.ed.FinishChar();
    EXPECT_FALSE(e.ed.GetSelection().Exists());
    EXPECT_EQ(e.ed.Char(0x18).action, CharAction::Cut);
    for (uint8_t c : {0x0A, 0x7F}) {
        e.ed.SetSelection(0, 2);
        EXPECT_EQ(e.ed.Char(c).action, CharAction::None);
        EXPECT_FALSE(e.ed.GetSelection().Exists());
    }
    EXPECT_EQ(e.Text(), "abc");
    EXPECT_FALSE(e.ed.CanUndo());
}

TEST(TextEditing, RepaintRequests) {
    Editor e("abc\r\ndef");
    // Dropping a selection repaints everything; a plain move only the caret.
    e.Key(Key::Right, 1, false, true);
    e.ed.TakeRepaint();
    e.Key(Key::Left);
    EXPECT_EQ(e.ed.TakeRepaint(), Repaint::All);
    e.Key(Key::Right);
    EXPECT_EQ(e.ed.TakeRepaint(), Repaint::CaretRect);
    e.Key(Key::Left);
    e.ed.TakeRepaint();
    e.Type("x");
    EXPECT_EQ(e.ed.TakeRepaint(), Repaint::CaretBand);
    EXPECT_EQ(e.ed.CaretBeforeRepaint().column, 0u);
    e.Type("\r");
    EXPECT_EQ(e.ed.TakeRepaint(), Repaint::All);
    EXPECT_EQ(e.ed.TakeRepaint(), Repaint::None);
}

TEST(TextUndo, PasteRestoresTheScroll) {
    Editor e(Lines(40), 10);
    e.Go(15, 0);
    e.ed.SetTopLine(12);
    e.ed.InsertText(Lines(30).c_str());
    EXPECT_NE(e.ed.GetTopLine().line, 12u);
    e.ed.Undo();
    EXPECT_EQ(e.ed.GetTopLine().line, 12u);
}

TEST(TextEditingFailure, EditsWithoutMemoryLeaveEverythingAsItWas) {
    const std::string paste = Repeat("\tpush\teax\r\n", 30000);
    int failed = 0;
    for (long budget = 0; budget < 10; ++budget) {
        FailingAllocator alloc;
        Editor e("alpha beta\r\ngamma delta\r\nepsilon", 30, &alloc);
        e.ed.SetSelection(3, 15);
        const std::string text = e.Text();
        const uint32_t undo = e.ed.Buffer().UndoCount();
        alloc.SetBudget(budget);
        TextStatus s = budget % 2 ? e.ed.InsertText(paste.c_str()) : e.ed.SplitLine();
        alloc.SetBudget(-1);
        if (s == TextStatus::Ok) continue;
        ++failed;
        EXPECT_EQ(s, TextStatus::OutOfMemory);
        EXPECT_EQ(e.Text(), text);
        EXPECT_EQ(e.ed.Buffer().UndoCount(), undo);
        uint32_t a, b;
        e.ed.GetSelectionRange(a, b);
        EXPECT_EQ(P(a, b), P(3, 15));
        EXPECT_TRUE(e.ed.Buffer().CheckConsistency());
    }
    EXPECT_GT(failed, 2);
}

TEST(TextEditingFailure, ALineThatCannotBeLaidOutIsNeverEdited) {
    // Line 3 is laid out only when reached, and needs a storage block then;
    // small allocations still succeed.
    FailingAllocator alloc;
    TextEditor ed(&alloc);
    ed.Buffer().grain.spanLines = 2;
    const std::string text = "one\r\ntwo\r\n" + std::string(3u << 20, 'q') + "\r\nfour";
    ed.Parse(text.data(), text.data() + text.size());
    alloc.largest = 100000;
    ed.KeyDown(Key::Down, false, false);
    ed.KeyDown(Key::Down, false, false);
    ASSERT_EQ(ed.GetCaret().line, 3u);
    ASSERT_EQ(ed.GetCaret().record, nullptr);
    EXPECT_EQ(ed.InsertChar('x'), TextStatus::OutOfMemory);
    EXPECT_EQ(ed.InsertText("y"), TextStatus::OutOfMemory);
    EXPECT_EQ(ed.DeleteLeft(), TextStatus::OutOfMemory); // a join with line 2
    ed.SetSelection(2, 12);                              // from line 1 into line 3
    EXPECT_EQ(ed.DeleteSelection(), TextStatus::OutOfMemory);
    EXPECT_TRUE(All(ed.Buffer()) == text);
    EXPECT_TRUE(ed.Buffer().CheckConsistency());
    // Memory is back, but caret and anchor hold no layout of line 3 until
    // they move: an edit must not replace the line by what it could not read.
    alloc.largest = ~size_t{0};
    EXPECT_EQ(ed.InsertChar('x'), TextStatus::OutOfMemory); // over the selection
    ed.DropSelection();
    EXPECT_EQ(ed.InsertChar('x'), TextStatus::OutOfMemory);
    EXPECT_EQ(ed.InsertText("y"), TextStatus::OutOfMemory);
    EXPECT_TRUE(All(ed.Buffer()) == text);
    ed.SetSelection(10, 10);
    ed.Char('x');
    EXPECT_TRUE(All(ed.Buffer()) == "one\r\ntwo\r\nx" + text.substr(10));
}
