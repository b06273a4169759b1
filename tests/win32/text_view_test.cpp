// The text view's public interface: the messages other programs and our own
// dialogs drive it with, and the keys, characters and mouse of a user.
#include <windows.h>

#include <commdlg.h>
#include <richedit.h>

#include <cstring>
#include <thread>
#include <vector>

#include "app/command_ids.h"
#include "platform/clipboard.h"
#include "platform/text_view.h"
#include "text/text_editor.h"
#include "view/plane_tables.h"
#include "win32_test_support.h"

namespace stx::test {

using TextViewTest = EditorTest;

TEST_F(TextViewTest, TextAndSelectionMessagesRoundTripAndStayInBounds) {
    EXPECT_EQ(View(WM_GETTEXTLENGTH), 1);
    View(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("mov eax, 1\r\nret"));
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

    View(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("abc\r\ndef"));
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
    EXPECT_EQ(View(EM_CANUNDO), 1);
    EXPECT_EQ(View(EM_UNDO), 1);
    EXPECT_EQ(Text(), "ab");
    EXPECT_EQ(View(WM_UNDO), 1);
    EXPECT_EQ(Text(), "");
    EXPECT_EQ(View(EM_CANUNDO), 0);
    EXPECT_EQ(View(EM_UNDO), 0);

    // Overwrite mode from the Insert key's command.
    View(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("xyz"));
    Command(IDM_EDIT_OVERWRITE);
    Type("A");
    EXPECT_EQ(Text(), "Ayz");
    Command(IDM_EDIT_OVERWRITE);
    Type("B");
    EXPECT_EQ(Text(), "AByz");

    // Delete with and without a selection, EM_REPLACESEL.
    View(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("one two"));
    Select(0, 4);
    Key(VK_DELETE);
    EXPECT_EQ(Text(), "two");
    View(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("2\r\n"));
    EXPECT_EQ(Text(), "2\r\ntwo");
    EXPECT_EQ(View(EM_UNDO), 1);
    EXPECT_EQ(Text(), "two");
}

TEST_F(TextViewTest, KeysMoveAndExtendSelection) {
    View(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("mov eax, ebx\r\nret"));
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
    View(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("xabc abc"));
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
    View(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("first\r\nsecond"));
    Select(3, 9);
    View(WM_COPY);
    std::optional<std::string> clip = GetClipboardText();
    ASSERT_TRUE(clip.has_value());
    EXPECT_EQ(*clip, "st\r\nse");
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
    View(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
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
    View(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("abc\r\ndef"));
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
    View(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("one\r\ntwo\r\nthree\r\nfour"));
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
    DWORD uiThread = GetCurrentThreadId();
    std::thread helper([&] {
        DWORD start = GetTickCount();
        while (GetTickCount() - start < 10000) {
            HWND menuWindow = FindWindowA("#32768", nullptr);
            if (menuWindow && IsWindowVisible(menuWindow)) {
                auto menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
                for (int i = 0; i < GetMenuItemCount(menu); ++i) {
                    wchar_t text[64] = {};
                    GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
                    items.push_back(text);
                }
                PostThreadMessageA(uiThread, WM_NULL, 0, 0);
                PostMessageA(menuWindow, WM_KEYDOWN, VK_ESCAPE, 0);
                PostMessageA(menuWindow, WM_KEYDOWN, VK_ESCAPE, 0);
                return;
            }
            Sleep(10);
        }
    });
    Command(IDM_EDIT_CONTEXT_MENU);
    helper.join();
    ASSERT_EQ(items.size(), 9u);
    EXPECT_EQ(items[0], L"&Refacere");
    EXPECT_EQ(items[1], L"");
    EXPECT_EQ(items[6], L"\u015E&tergere");
    EXPECT_EQ(items[8], L"&Selecteaz\u0103 tot");
}

// The view painted into a DIB section through WM_PRINTCLIENT, the same routine
// as its WM_PAINT.
class ViewPixelsTest : public EditorTest {
  protected:
    // Pixels of a colour given as 0x00BBGGRR, in the DIB's 0x00RRGGBB order.
    static int Count(const std::vector<uint32_t>& pixels, uint32_t colour) {
        uint32_t rgb = ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
        int n = 0;
        for (uint32_t p : pixels)
            n += (p & 0xFFFFFF) == rgb;
        return n;
    }
};

TEST_F(ViewPixelsTest, TextStandsInPlanes) {
    RenderSettings& render = app->settings.render;
    render.planeCount = 8;
    render.distance = 0;
    render.fadeDirection = FadeDirection::SouthEast;
    ViewSettingsChanged(*app);
    View(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("MMMM WWWW"));
    View(EM_SETSEL, 9, 9); // caret away from the letters
    int width = 0, height = 0;
    std::vector<uint32_t> pixels = CaptureClient(app->view, width, height);
    ASSERT_GT(width, 0);
    // The front plane in the text colour and the deepest plane on the grey ramp.
    EXPECT_GT(Count(pixels, render.textColour), 20);
    EXPECT_GT(Count(pixels, RampColour(render.firstPlaneColour, render.lastPlaneColour, 0, 8)), 20);

    // One plane: the ramp's colours are gone.
    render.planeCount = 1;
    ViewSettingsChanged(*app);
    pixels = CaptureClient(app->view, width, height);
    EXPECT_GT(Count(pixels, render.textColour), 20);
    EXPECT_EQ(Count(pixels, RampColour(render.firstPlaneColour, render.lastPlaneColour, 0, 8)), 0);
}

} // namespace stx::test
