// The text view's public interface: the messages other programs and our own
// dialogs drive it with, the keys, characters and mouse of a user, and what
// it paints.
#include <windows.h>

#include <commdlg.h>
#include <richedit.h>

#include <cstring>
#include <thread>
#include <vector>

#include "app/command_ids.h"
#include "platform/clipboard.h"
#include "platform/gdi_surface.h"
#include "platform/text_view.h"
#include "tests/support/view_scene.h"
#include "text/text_editor.h"
#include "view/paint_plan.h"
#include "view/plane_tables.h"
#include "win32_test_support.h"

namespace stx::test {

using TextViewTest = EditorTest;

TEST_F(TextViewTest, TextAndSelectionMessagesRoundTripAndStayInBounds) {
    EXPECT_EQ(View(WM_GETTEXTLENGTH), 1);
    SetText("mov eax, 1\r\nret");
    EXPECT_EQ(View(EM_GETMODIFY), 1);
    EXPECT_EQ(View(WM_GETTEXTLENGTH), 16);
    EXPECT_EQ(Text(), "mov eax, 1\r\nret");

    // A small buffer gets at most wParam - 1 bytes and a terminator, nothing beyond.
    char small[8];
    std::memset(small, '#', sizeof small);
    EXPECT_EQ(View(WM_GETTEXT, 5, reinterpret_cast<LPARAM>(small)), 4);
    EXPECT_EQ(std::string(small, 5), std::string("mov \0", 5));
    EXPECT_EQ(small[5], '#');

    // EM_GETLINE takes its capacity from the buffer's first word.
    char line[16];
    std::memset(line, '#', sizeof line);
    *reinterpret_cast<WORD*>(line) = 3;
    EXPECT_EQ(View(EM_GETLINE, 0, reinterpret_cast<LPARAM>(line)), 3);
    EXPECT_EQ(std::string(line, 4), "mov#");
    *reinterpret_cast<WORD*>(line) = 15;
    EXPECT_EQ(View(EM_GETLINE, 1, reinterpret_cast<LPARAM>(line)), 3);
    EXPECT_EQ(View(EM_GETLINE, 2, reinterpret_cast<LPARAM>(line)), 0);
    EXPECT_EQ(View(EM_LINEINDEX, 1), 12);

    SetText("abc\r\ndef");
    Select(0, -1);
    EXPECT_EQ(Selection(), std::make_pair(DWORD{0}, DWORD{8}));
    char selected[16] = {};
    EXPECT_EQ(View(EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(selected)), 8);
    EXPECT_STREQ(selected, "abc\r\ndef");

    CHARRANGE range{6, 2};
    View(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    CHARRANGE back{};
    View(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&back));
    EXPECT_EQ(back.cpMin, 2);
    EXPECT_EQ(back.cpMax, 6);

    // Equal ends drop the selection and clamp the caret to the text.
    Select(100, 100);
    EXPECT_EQ(Selection(), std::make_pair(DWORD{8}, DWORD{8}));
    EXPECT_EQ(View(EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(selected)), 0);
}

TEST_F(TextViewTest, TypingEditingAndUndo) {
    Type("ab\rcd");
    EXPECT_EQ(Text(), "ab\r\ncd");
    EXPECT_EQ(StatusPart(1), "Line: 2");
    EXPECT_EQ(StatusPart(2), "Column: 3");
    Type("\b");
    EXPECT_EQ(Text(), "ab\r\nc");
    // Typing goes on in the new line's record, so the Enter and the typing
    // after it come back together; the first line's typing is a step of its own.
    EXPECT_EQ(View(EM_UNDO), 1);
    EXPECT_EQ(Text(), "ab");
    EXPECT_EQ(View(WM_UNDO), 1);
    EXPECT_EQ(Text(), "");
    EXPECT_EQ(View(EM_CANUNDO), 0);
    EXPECT_EQ(View(EM_UNDO), 0);

    // Overwrite mode from the Insert key's command.
    SetText("xyz");
    Command(IDM_EDIT_OVERWRITE);
    Type("A");
    EXPECT_EQ(Text(), "Ayz");
    Command(IDM_EDIT_OVERWRITE);
    Type("B");
    EXPECT_EQ(Text(), "AByz");

    // Delete with and without a selection, EM_REPLACESEL.
    SetText("one two");
    Select(0, 4);
    Key(VK_DELETE);
    EXPECT_EQ(Text(), "two");
    View(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("2\r\n"));
    EXPECT_EQ(Text(), "2\r\ntwo");
    EXPECT_EQ(View(EM_UNDO), 1);
    EXPECT_EQ(Text(), "two");
}

TEST_F(TextViewTest, KeysMoveAndExtendSelection) {
    SetText("mov eax, ebx\r\nret");
    Select(0, 0);
    Key(VK_RIGHT, false, true);
    EXPECT_EQ(Selection().second, 4u);
    Key(VK_RIGHT, true);
    Key(VK_RIGHT, true);
    EXPECT_EQ(Selection(), std::make_pair(DWORD{4}, DWORD{6}));
    Key(VK_RIGHT);
    EXPECT_EQ(Selection(), std::make_pair(DWORD{7}, DWORD{7}));
    Key(VK_END, false, true);
    EXPECT_EQ(Selection().second, 17u);
    Key(VK_HOME, false, true);
    EXPECT_EQ(Selection().second, 0u);

    // Keys are ignored while the view has lost the focus.
    View(WM_KILLFOCUS);
    Key(VK_RIGHT);
    Type("x");
    EXPECT_EQ(Selection().second, 0u);
    View(WM_SETFOCUS);
    Key(VK_RIGHT);
    EXPECT_EQ(Selection().second, 1u);
}

TEST_F(TextViewTest, FindTextUsesTheMatcher) {
    SetText("xabc abc");
    char what[] = "abc";
    FINDTEXTA find{{0, -1}, what};
    EXPECT_EQ(View(EM_FINDTEXT, FR_WHOLEWORD, reinterpret_cast<LPARAM>(&find)), 5);
    EXPECT_EQ(View(EM_FINDTEXT, 0, reinterpret_cast<LPARAM>(&find)), 1);
    find.chrg = {2, 7};
    EXPECT_EQ(View(EM_FINDTEXT, 0, reinterpret_cast<LPARAM>(&find)), -1);
    char upper[] = "ABC";
    find = {{0, -1}, upper};
    EXPECT_EQ(View(EM_FINDTEXT, FR_MATCHCASE, reinterpret_cast<LPARAM>(&find)), -1);
    // Offsets are unsigned: a start at 2 GiB lies beyond this text, it is not 0.
    find = {{static_cast<LONG>(0x80000000u), -1}, what};
    EXPECT_EQ(View(EM_FINDTEXT, 0, reinterpret_cast<LPARAM>(&find)), -1);
}

TEST_F(TextViewTest, ClipboardRoundTrip) {
    SetText("first\r\nsecond");
    Select(3, 9);
    View(WM_COPY);
    EXPECT_EQ(GetClipboardText().value_or("<none>"), "st\r\nse");
    View(WM_CUT);
    EXPECT_EQ(Text(), "fircond");
    Select(0, 0);
    View(WM_PASTE);
    EXPECT_EQ(Text(), "st\r\nsefircond");
    // One undo takes back the whole paste.
    View(EM_UNDO);
    EXPECT_EQ(Text(), "fircond");
    // Ctrl+C and Ctrl+V as characters.
    Select(0, 2);
    Type("\x03");
    Select(7, 7);
    Type("\x16");
    EXPECT_EQ(Text(), "fircondfi");
}

// The view's vertical scroll bar as it shows once everything waiting is painted.
std::vector<COLORREF> ShownBar(HWND view) {
    RedrawWindow(GetAncestor(view, GA_ROOT), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    SCROLLBARINFO bar{};
    bar.cbSize = sizeof bar;
    RECT window{};
    if (!GetScrollBarInfo(view, OBJID_VSCROLL, &bar) || !GetWindowRect(view, &window)) return {};
    std::vector<COLORREF> pixels;
    HDC dc = GetWindowDC(view);
    for (LONG y = bar.rcScrollBar.top; y < bar.rcScrollBar.bottom; ++y)
        for (LONG x = bar.rcScrollBar.left; x < bar.rcScrollBar.right; ++x)
            pixels.push_back(GetPixel(dc, x - window.left, y - window.top));
    ReleaseDC(view, dc);
    return pixels;
}

// A move that shifts the thumb must show it: the bar as shown equals the bar drawn afresh.
void ExpectBarDrawnAfresh(HWND view) {
    const std::vector<COLORREF> shown = ShownBar(view);
    RedrawWindow(view, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
    EXPECT_FALSE(shown.empty());
    EXPECT_TRUE(shown == ShownBar(view));
}

TEST_F(TextViewTest, ScrollingWithLargeDocument) {
    std::string text;
    for (int i = 1; i <= 200000; ++i)
        text += "line\r\n";
    SetText(text);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_POS;
    GetScrollInfo(app->view, SB_VERT, &info);
    EXPECT_EQ(info.nMax, 0xFFFF);

    const TextEditor& editor = app->editor;
    View(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(editor.GetTopLine().line, 2u);
    View(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA * 3), 0);
    EXPECT_EQ(editor.GetTopLine().line, 1u);
    View(WM_VSCROLL, SB_LINEDOWN);
    View(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(editor.GetTopLine().line, 2u + editor.PageSize());
    ExpectBarDrawnAfresh(app->view);
    View(WM_VSCROLL, SB_BOTTOM);
    // The last page is shown.
    EXPECT_GE(editor.GetTopLine().line + editor.PageSize(), 200001u);
    ExpectBarDrawnAfresh(app->view);
    // Dragging the thumb to the end of the scaled bar shows the last page.
    View(WM_VSCROLL, MAKEWPARAM(SB_TOP, 0));
    View(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0xFFFF));
    EXPECT_GE(editor.GetTopLine().line + editor.PageSize(), 200001u);
    EXPECT_LE(editor.GetTopLine().line, 200001u);
    View(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 0));
    EXPECT_EQ(editor.GetTopLine().line, 1u);
    ExpectBarDrawnAfresh(app->view);
    View(EM_LINESCROLL, 0, 10);
    EXPECT_EQ(editor.GetTopLine().line, 10u);
}

TEST_F(TextViewTest, MouseDragEndsWhenTheButtonIsLost) {
    SetText("abc\r\ndef");
    View(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 5));
    EXPECT_EQ(GetCapture(), app->view);
    EXPECT_TRUE(app->editor.Dragging());
    // Another window takes the mouse: the button-up will not come here.
    View(WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(app->main));
    EXPECT_FALSE(app->editor.Dragging());
    ReleaseCapture();

    // A move with the button held while no drag runs starts one, with the
    // mouse taken and the auto-scroll timer running.
    View(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, 5));
    EXPECT_TRUE(app->editor.Dragging());
    EXPECT_EQ(GetCapture(), app->view);
    // The timer finds the button up (no real button is held here): the drag ends.
    View(WM_TIMER, 2);
    EXPECT_FALSE(app->editor.Dragging());
    EXPECT_NE(GetCapture(), app->view);
}

TEST_F(TextViewTest, TypingRepaintsTheAddressesBelow) {
    Command(IDM_SHOW_ADDRESS);
    ASSERT_TRUE(app->settings.render.showAddress);
    SetText("one\r\ntwo\r\nthree\r\nfour");
    UpdateWindow(app->view);
    Type("x");
    // The third line's address (on its row, in the address column) changed.
    const int row = static_cast<int>(app->editor.View().lineHeight) * 2 + 2;
    HRGN update = CreateRectRgn(0, 0, 0, 0);
    GetUpdateRgn(app->view, update, FALSE);
    EXPECT_TRUE(PtInRegion(update, 12, row));
    DeleteObject(update);
}

TEST_F(TextViewTest, ContextMenuInCurrentLanguage) {
    // The letters with diacritics must come out right on a system whose code
    // page is not Windows-1250.
    ASSERT_NE(GetACP(), 1250u);
    Command(IDM_LANGUAGE_ROMANIAN_DIACRITICS);
    std::vector<std::wstring> items;
    std::thread helper([&, uiThread = GetCurrentThreadId()] {
        HWND menuWindow = nullptr;
        if (!WaitFor([&] {
                menuWindow = FindWindowA("#32768", nullptr);
                return menuWindow && IsWindowVisible(menuWindow);
            }))
            return;
        auto menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            wchar_t text[64] = {};
            GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
            items.push_back(text);
        }
        PostThreadMessageA(uiThread, WM_NULL, 0, 0);
        PostMessageA(menuWindow, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageA(menuWindow, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    Command(IDM_EDIT_CONTEXT_MENU);
    helper.join();
    ASSERT_EQ(items.size(), 9u);
    EXPECT_EQ(items[6], L"\u015E&tergere");
}

// The view painted into a DIB section through WM_PRINTCLIENT, the same routine
// as its WM_PAINT: the front plane in the text colour, the deepest on the grey
// ramp, which one plane does not draw.
TEST_F(TextViewTest, TextStandsInPlanes) {
    RenderSettings& render = app->settings.render;
    const COLORREF deepest = RampColour(render.firstPlaneColour, render.lastPlaneColour, 0, 8);
    auto count = [&](COLORREF colour) {
        int width = 0, height = 0;
        const uint32_t rgb =
            (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
        int n = 0;
        for (uint32_t p : CaptureClient(app->view, width, height))
            n += (p & 0xFFFFFF) == rgb;
        return n;
    };
    render.planeCount = 8;
    render.distance = 0;
    render.fadeDirection = FadeDirection::SouthEast;
    ViewSettingsChanged(*app);
    SetText("MMMM WWWW");
    Select(9, 9); // caret away from the letters
    EXPECT_GT(count(render.textColour), 20);
    EXPECT_GT(count(deepest), 20);

    render.planeCount = 1;
    ViewSettingsChanged(*app);
    EXPECT_GT(count(render.textColour), 20);
    EXPECT_EQ(count(deepest), 0);
}

constexpr int kWidth = 240;
constexpr int kHeight = 96;

// A small document through the paint plan and the GDI surface into DIB
// sections: the one-pass composition through the off-screen buffer must draw
// what the planes drawn one by one draw.
TEST(GdiSurfaceComposition, SamePixelsAsPlaneByPlane) {
    PixelContext reference, composed;
    ASSERT_TRUE(reference.Ensure(nullptr, kWidth, kHeight, false));
    ASSERT_TRUE(composed.Ensure(nullptr, kWidth, kHeight, false));
    ViewScene scene;
    scene.settings.backgroundKind = BackgroundKind::Colour;
    scene.settings.backgroundColour = 0xFCD6A3;
    // Exact colours need unsmoothed glyphs whatever the prefix's font smoothing says.
    scene.settings.font.quality = NONANTIALIASED_QUALITY;
    GdiObjects objects;
    std::uint8_t widths[256];
    int lineHeight = 0;
    ASSERT_TRUE(MeasureFont(reference.Dc(), scene.settings.font, objects, widths, lineHeight));
    scene.buffer.Widths().Fill(widths);
    scene.buffer.Parse("mov eax, 0FFh\r\n\tpush -12 ; x\r\nlabel1: 1e5 abc", nullptr);
    scene.view.lineHeight = static_cast<std::uint32_t>(lineHeight);
    scene.view.viewWidth = kWidth;
    scene.view.viewHeight = kHeight;
    scene.top.record = scene.buffer.FindLine(1);
    scene.top.pageSize = 4;
    // The caret after "label1", the selection back to line 1's "eax".
    scene.caret = scene.At(3, 6);
    scene.selection.anchor = scene.At(1, 4);
    OffscreenBuffer offscreen;
    auto differs = [&](const Rect& rect) -> std::string {
        scene.planes.Update(scene.settings);
        SyncViewGeometry(scene.view, scene.settings, scene.planes, scene.buffer.Widths());
        PaintOnDc(reference.Dc(), scene.Scene(), rect, objects, nullptr);
        PaintOnDc(composed.Dc(), scene.Scene(), rect, objects, &offscreen);
        GdiFlush();
        const std::uint32_t* a = reference.Pixels().bits;
        const std::uint32_t* b = composed.Pixels().bits;
        for (int y = rect.top; y < rect.bottom; ++y)
            for (int x = rect.left; x < rect.right; ++x)
                if ((a[y * kWidth + x] ^ b[y * kWidth + x]) & 0xFFFFFF)
                    return "at " + std::to_string(x) + "," + std::to_string(y);
        return {};
    };
    for (int n : {1, 2, 8, 255})
        for (int d = 0; d < kFadeDirectionCount; ++d)
            for (int distance : {0, 3}) {
                scene.settings.planeCount = n;
                scene.settings.distance = distance;
                scene.settings.fadeDirection = static_cast<FadeDirection>(d);
                const std::string where = std::to_string(n) + " planes, direction " +
                                          std::to_string(d) + ", distance " +
                                          std::to_string(distance);
                scene.settings.syntaxHighlight = true;
                scene.settings.overLetter = true;
                scene.top.hOffset = 0;
                EXPECT_EQ(differs(Rect{0, 0, kWidth, kHeight}), "") << where;
                // Scrolled sideways, a line caret, no highlighting, part of the view.
                scene.settings.syntaxHighlight = false;
                scene.settings.overLetter = false;
                scene.top.hOffset = 16;
                EXPECT_EQ(differs(Rect{30, 10, 170, 57}), "") << where << ", partial";
            }
}

} // namespace stx::test
