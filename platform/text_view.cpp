#include "platform/text_view.h"

#include <commctrl.h>
#include <richedit.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "app/command_ids.h"
#include "app/ui_texts.h"
#include "platform/clipboard.h"
#include "platform/editor_app.h"
#include "platform/gdi_surface.h"
#include "search/match_text.h"
#include "text/text_editor.h"
#include "view/caret_animation.h"
#include "view/paint_plan.h"
#include "view/plane_tables.h"

namespace stx {

const char kTextViewClass[] = "Stratext_View";

namespace {

constexpr UINT_PTR kDragTimer = 2;
constexpr UINT kDragPeriodMs = 50;
constexpr uint32_t kScrollMax = 0xFFFF;

// What the view keeps beside the editor: drawing state and window flags.
struct ViewWindow {
    HWND hwnd = nullptr;
    bool keysIgnored = false; // from WM_KILLFOCUS until WM_SETFOCUS
    bool caretPaused = false;
    PlaneTables planes;
    CaretAnimation animation;
    GdiObjects objects;
    OffscreenBuffer offscreen;
    HBITMAP patternBitmap = nullptr; // the built-in pattern or the chosen image
    HBRUSH backgroundBrush = nullptr;
    std::string droppedFile;
};

ViewWindow& View() {
    static ViewWindow view;
    return view;
}

TextEditor& Editor() {
    return ViewEditor();
}
const RenderSettings& Render() {
    return App().settings.render;
}

// --- scroll bars -----------------------------------------------------------------

// Scroll bars hold at most 0xFFFF: larger ranges are scaled.
int ToBar(uint32_t value, uint32_t range) {
    if (range <= kScrollMax) return static_cast<int>(value);
    return static_cast<int>(static_cast<uint64_t>(value) * kScrollMax / range);
}
uint32_t FromBar(uint32_t thumb, uint32_t range) {
    if (range <= kScrollMax) return thumb;
    return static_cast<uint32_t>(static_cast<uint64_t>(thumb) * range / kScrollMax);
}

// What a scroll bar was last given: the bars are only touched on a change,
// since every call repaints them and typing must stay cheap.
struct BarState {
    int min = -1, max = -1, pos = -1;
};

void SetBar(HWND hwnd, int bar, BarState& shown, int min, int max, int pos) {
    if (shown.min != min || shown.max != max) {
        SetScrollRange(hwnd, bar, min, max, FALSE);
        shown.min = min;
        shown.max = max;
        shown.pos = -1;
    }
    if (shown.pos != pos) {
        SetScrollPos(hwnd, bar, pos, TRUE);
        shown.pos = pos;
    }
}

BarState shownVertical, shownHorizontal;

void UpdateScrollBars() {
    HWND hwnd = View().hwnd;
    if (!hwnd) return;
    const TextEditor& e = Editor();
    const TopLine& top = e.GetTopLine();
    uint32_t vRange = e.VScrollRange();
    uint32_t hRange = e.HScrollRange();
    SetBar(hwnd, SB_VERT, shownVertical, 1, ToBar(std::max<uint32_t>(vRange, 1), vRange),
           ToBar(top.vScrollPos, vRange));
    SetBar(hwnd, SB_HORZ, shownHorizontal, 0, ToBar(hRange, hRange), ToBar(top.hScrollPos, hRange));
}

// --- repainting ----------------------------------------------------------------------

RECT ToRect(const Rect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}

void InvalidateCaret(const Caret& caret) {
    const TextEditor& e = Editor();
    RECT r = ToRect(CaretRepaintRect(caret, e.GetTopLine(), e.View(),
                                     static_cast<int>(e.Buffer().Widths().widest)));
    InvalidateRect(View().hwnd, &r, FALSE);
}

// Repaints what the last operations asked for and brings the scroll bars in step.
void ApplyRepaint() {
    HWND hwnd = View().hwnd;
    TextEditor& e = Editor();
    Caret before = e.CaretBeforeRepaint();
    switch (e.TakeRepaint()) {
    case Repaint::None:
        break;
    case Repaint::CaretRect:
        InvalidateCaret(before);
        InvalidateCaret(e.GetCaret());
        break;
    case Repaint::CaretBand: {
        InvalidateCaret(before);
        RECT band = ToRect(CaretBandRect(e.GetCaret(), e.View()));
        InvalidateRect(hwnd, &band, FALSE);
        break;
    }
    case Repaint::All:
        InvalidateRect(hwnd, nullptr, FALSE);
        break;
    }
    UpdateScrollBars();
}

// A full repaint; what the editor asked for is covered by it.
void RepaintAll() {
    Editor().TakeRepaint();
    InvalidateRect(View().hwnd, nullptr, FALSE);
    UpdateScrollBars();
}

// After every input: caret shown, repaint applied, status bar updated.
void AfterInput() {
    uint8_t flags = Editor().GetCaret().flags;
    ShowCaretNow(flags);
    Editor().SetCaretFlags(flags);
    ApplyRepaint();
    UpdateViewStatus();
}

// --- geometry --------------------------------------------------------------------------

// Brings plane tables and view metrics in line with the settings and the
// window; says what the plane tables recomputed.
PlaneTables::Change SyncGeometry() {
    ViewWindow& v = View();
    TextEditor& e = Editor();
    ViewGeometry geometry = e.View();
    PlaneTables::Change change =
        ApplyRenderSettings(Render(), v.planes, v.animation, geometry, e.Buffer().Widths());
    if (v.hwnd) {
        RECT client;
        GetClientRect(v.hwnd, &client);
        geometry.viewWidth = static_cast<uint32_t>(client.right);
        geometry.viewHeight = static_cast<uint32_t>(client.bottom);
    }
    geometry.hScrollBarHeight = static_cast<uint32_t>(GetSystemMetrics(SM_CYHSCROLL));
    geometry.vScrollBarWidth = static_cast<uint32_t>(GetSystemMetrics(SM_CXVSCROLL));
    e.SetView(geometry);
    return change;
}

// --- clipboard -------------------------------------------------------------------------

void CopySelection() {
    TextEditor& e = Editor();
    uint32_t length = e.SelectionLength();
    if (length == 0) return;
    std::string text(length + 1, '\0');
    e.CopySelection(text.data());
    text.resize(length);
    PutClipboardText(text);
}

void Paste() {
    std::optional<std::string> text = GetClipboardText();
    if (!text || text->empty()) return;
    Editor().InsertText(text->data(), text->size());
}

// --- messages ----------------------------------------------------------------------------

bool KeyFor(WPARAM vk, Key& key) {
    switch (vk) {
    case VK_LEFT:
        key = Key::Left;
        return true;
    case VK_RIGHT:
        key = Key::Right;
        return true;
    case VK_UP:
        key = Key::Up;
        return true;
    case VK_DOWN:
        key = Key::Down;
        return true;
    case VK_HOME:
        key = Key::Home;
        return true;
    case VK_END:
        key = Key::End;
        return true;
    case VK_PRIOR:
        key = Key::PageUp;
        return true;
    case VK_NEXT:
        key = Key::PageDown;
        return true;
    }
    return false;
}

void ShowContextMenu() {
    HMENU popup = CreatePopupMenu();
    for (const CommandTrilingualText& item : kViewPopupMenu) {
        if (item.command == 0)
            AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuA(popup, MF_STRING, static_cast<UINT_PTR>(item.command),
                        ChooseText(App().Language(), item.text));
    }
    POINT at;
    GetCursorPos(&at);
    TrackPopupMenu(popup, TPM_RIGHTBUTTON, at.x, at.y, 0, App().main, nullptr);
    DestroyMenu(popup);
}

// The bars never exceed 0xFFFF, so the thumb position in the message is exact.
void VerticalScroll(WORD code, WORD thumb) {
    TextEditor& e = Editor();
    const TopLine& top = e.GetTopLine();
    uint32_t pos = top.vScrollPos;
    uint32_t page = e.PageSize();
    uint32_t range = e.VScrollRange();
    switch (code) {
    case SB_LINEUP:
        pos = pos > 1 ? pos - 1 : 1;
        break;
    case SB_LINEDOWN:
        pos += 1;
        break;
    case SB_PAGEUP:
        pos = pos > page ? pos - page : 1;
        break;
    case SB_PAGEDOWN:
        pos += page;
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        pos = std::max<uint32_t>(FromBar(thumb, range), 1);
        break;
    case SB_BOTTOM:
        pos = range;
        break;
    default:
        return; // SB_TOP and SB_ENDSCROLL
    }
    e.SetTopLine(pos);
    ApplyRepaint();
}

void HorizontalScroll(WORD code, WORD thumb) {
    TextEditor& e = Editor();
    int64_t pos = e.GetTopLine().hScrollPos;
    uint32_t range = e.HScrollRange();
    int64_t pageStep = e.Buffer().Widths().TabWidth();
    switch (code) {
    case SB_LINELEFT:
        pos -= 1;
        break;
    case SB_LINERIGHT:
        pos += 1;
        break;
    case SB_PAGELEFT:
        pos -= pageStep;
        break;
    case SB_PAGERIGHT:
        pos += pageStep;
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        pos = FromBar(thumb, range);
        break;
    case SB_RIGHT:
        pos = range;
        break;
    default:
        return;
    }
    pos = std::clamp<int64_t>(pos, 0, range);
    e.SetHorizontalOffset(static_cast<uint32_t>(pos) * 16);
    ApplyRepaint();
}

LRESULT FindText(const FINDTEXTA* find, uint32_t flags) {
    if (!find || !find->lpstrText) return -1;
    const TextBuffer& buffer = Editor().Buffer();
    uint32_t total = buffer.TotalBytes();
    uint32_t start =
        std::min<uint32_t>(static_cast<uint32_t>(std::max<LONG>(find->chrg.cpMin, 0)), total);
    uint32_t end = find->chrg.cpMax < 0
                       ? total
                       : std::min<uint32_t>(static_cast<uint32_t>(find->chrg.cpMax), total);
    if (end < start) return -1;
    std::vector<char> range(end - start + 1);
    uint32_t got = buffer.ExtractRange(end - start, start, range.data());
    std::ptrdiff_t at = MatchText(std::string_view(range.data(), std::min(got, end - start)),
                                  find->lpstrText, flags);
    return at < 0 ? -1 : static_cast<LRESULT>(start + at);
}

// One paint of the view's area onto dc: the window's own paint, or a copy
// asked for with WM_PRINTCLIENT.
void PaintInto(HDC dc, const RECT& rect, bool useBuffer) {
    ViewWindow& v = View();
    TextEditor& e = Editor();
    const Caret& caret = e.GetCaret();
    PaintScene scene{e.Buffer(),
                     caret,
                     e.GetSelection(),
                     e.GetTopLine(),
                     e.View(),
                     Render(),
                     v.planes,
                     v.animation,
                     e.overwrite != 0,
                     e.CharUnderCaret(),
                     v.objects.ImageSize()};
    Rect area{rect.left, rect.top, rect.right, rect.bottom};
    PaintOnDc(dc, scene, area, v.objects, useBuffer ? &v.offscreen : nullptr);
}

void Paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    PaintInto(dc, ps.rcPaint, Render().doubleBuffering);
    EndPaint(hwnd, &ps);
}

void SetBackgroundColour(COLORREF colour) {
    RenderSettings& r = App().settings.render;
    r.backgroundColour = colour & 0xFFFFFF;
    r.backgroundKind = BackgroundKind::Colour;
    // A colour background starts tiled, as an image does; the placement
    // marks stay where they are until the next start.
    r.imagePlacement = ImagePlacement::Tile;
    WriteSetting(Setting::Color);
    WriteSetting(Setting::Background);
    ApplyBackground();
    if (App().main) InvalidateRect(App().main, nullptr, TRUE);
    if (App().menu) {
        CheckMenuItem(App().menu, IDM_BACKGROUND_IMAGE, MF_BYCOMMAND | MF_UNCHECKED);
        CheckMenuItem(App().menu, IDM_BACKGROUND_COLOR, MF_BYCOMMAND | MF_CHECKED);
    }
}

LRESULT EditMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);

} // namespace

TextEditor& ViewEditor() {
    static TextEditor editor;
    return editor;
}

const std::string& DroppedFileName() {
    return View().droppedFile;
}

void UpdateViewStatus() {
    if (App().status)
        Status().UpdateStatus(Editor().Buffer(), Editor().GetCaret(), App().Language());
}

void RefreshView() {
    if (!View().hwnd) return;
    SyncGeometry();
    Editor().ScrollCaretIntoView();
    RepaintAll();
    UpdateViewStatus();
}

void ViewSettingsChanged() {
    ViewWindow& v = View();
    if (SyncGeometry().tables) v.objects.ReleasePens();
    if (v.hwnd) RepaintAll();
}

void ViewFontChanged() {
    ViewWindow& v = View();
    if (!v.hwnd) return;
    TextEditor& e = Editor();
    HDC dc = GetDC(v.hwnd);
    uint8_t widths[256];
    int lineHeight = 16;
    bool measured = MeasureFont(dc, Render().font, v.objects, widths, lineHeight);
    ReleaseDC(v.hwnd, dc);
    if (measured) {
        ViewGeometry geometry = e.View();
        geometry.lineHeight = static_cast<uint32_t>(std::max(lineHeight, 1));
        e.SetView(geometry);
    }
    // Lays every line out again and keeps caret and anchor on their columns.
    e.SetCharWidths(measured ? widths : nullptr);
    RefreshView();
}

bool ApplyBackground() {
    ViewWindow& v = View();
    const RenderSettings& r = Render();
    HBITMAP bitmap = nullptr;
    bool ok = true;
    if (r.backgroundKind == BackgroundKind::Image && !r.imagePath.empty()) {
        bitmap = static_cast<HBITMAP>(
            LoadImageA(nullptr, r.imagePath.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
        ok = bitmap != nullptr;
    }
    if (!bitmap && r.backgroundKind != BackgroundKind::Colour)
        bitmap = LoadBitmapA(App().instance, MAKEINTRESOURCEA(IDB_BACKGROUND));
    HBRUSH brush = bitmap ? CreatePatternBrush(bitmap) : CreateSolidBrush(r.backgroundColour);
    if (!brush) {
        if (bitmap) DeleteObject(bitmap);
        return false;
    }
    v.objects.SetBackground(brush, bitmap);
    if (v.backgroundBrush) DeleteObject(v.backgroundBrush);
    if (v.patternBitmap) DeleteObject(v.patternBitmap);
    v.backgroundBrush = brush;
    v.patternBitmap = bitmap;
    if (v.hwnd) InvalidateRect(v.hwnd, nullptr, FALSE);
    return ok;
}

HBRUSH BackgroundBrush() {
    return View().backgroundBrush;
}

void CaretTick() {
    ViewWindow& v = View();
    if (v.caretPaused || !v.hwnd) return;
    uint8_t flags = Editor().GetCaret().flags;
    bool repaint = v.animation.Tick(Render().caretMode, v.planes.PlaneCount(), flags);
    Editor().SetCaretFlags(flags);
    if (repaint) InvalidateCaret(Editor().GetCaret());
}

void PauseCaret(bool paused) {
    View().caretPaused = paused;
    if (View().hwnd) InvalidateCaret(Editor().GetCaret());
}

bool RegisterTextViewClass(HINSTANCE instance) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_BYTEALIGNWINDOW;
    wc.lpfnWndProc = TextViewProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_IBEAM);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kTextViewClass;
    return RegisterClassExA(&wc) != 0;
}

void UnregisterTextViewClass(HINSTANCE instance) {
    UnregisterClassA(kTextViewClass, instance);
    ViewWindow& v = View();
    v.objects.SetBackground(nullptr, nullptr);
    if (v.backgroundBrush) DeleteObject(v.backgroundBrush);
    if (v.patternBitmap) DeleteObject(v.patternBitmap);
    v.backgroundBrush = nullptr;
    v.patternBitmap = nullptr;
    v.offscreen.Release();
    // The font and the plane pens go too; the next start makes them again.
    std::destroy_at(&v.objects);
    std::construct_at(&v.objects);
    v.hwnd = nullptr;
}

LRESULT CALLBACK TextViewProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    ViewWindow& v = View();
    TextEditor& e = Editor();
    switch (msg) {
    case WM_CREATE:
        v.hwnd = hwnd;
        shownVertical = shownHorizontal = BarState{};
        v.keysIgnored = false;
        return 0;
    case WM_DESTROY:
        KillTimer(hwnd, kDragTimer);
        v.hwnd = nullptr;
        return 0;
    case WM_SIZE:
        SyncGeometry();
        if (!e.Buffer().IsBusy()) e.ScrollCaretIntoView();
        RepaintAll();
        return 0;
    case WM_PAINT:
        Paint(hwnd);
        return 0;
    case WM_PRINTCLIENT: {
        RECT client;
        GetClientRect(hwnd, &client);
        PaintInto(reinterpret_cast<HDC>(wParam), client, false);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_SETFOCUS:
        v.keysIgnored = false;
        InvalidateCaret(e.GetCaret());
        return 0;
    case WM_KILLFOCUS:
        v.keysIgnored = true;
        return 0;
    case WM_KEYDOWN: {
        if (v.keysIgnored) return 0;
        Key key;
        if (KeyFor(wParam, key)) {
            e.KeyDown(key, GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_SHIFT) < 0);
        } else if (wParam == VK_DELETE) {
            e.DeleteKey();
        } else if (wParam == VK_APPS) {
            ShowContextMenu();
        }
        AfterInput();
        return 0;
    }
    case WM_CHAR: {
        if (v.keysIgnored) return 0;
        switch (e.Char(static_cast<uint8_t>(wParam))) {
        case CharAction::Copy:
            CopySelection();
            break;
        case CharAction::Cut:
            CopySelection();
            e.DeleteSelection();
            break;
        case CharAction::Paste:
            Paste();
            break;
        case CharAction::None:
            break;
        }
        e.FinishChar();
        AfterInput();
        return 0;
    }
    case WM_LBUTTONDOWN:
        e.MouseDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        SetCapture(hwnd);
        SetTimer(hwnd, kDragTimer, kDragPeriodMs, nullptr);
        AfterInput();
        return 0;
    case WM_MOUSEMOVE:
        e.MouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), (wParam & MK_LBUTTON) != 0);
        if (wParam & MK_LBUTTON) AfterInput();
        return 0;
    case WM_LBUTTONUP:
        ReleaseCapture();
        KillTimer(hwnd, kDragTimer);
        e.MouseUp();
        return 0;
    case WM_TIMER:
        if (wParam == kDragTimer && e.Dragging()) {
            POINT at;
            GetCursorPos(&at);
            ScreenToClient(hwnd, &at);
            e.DragTick(at.x, at.y);
            AfterInput();
        }
        return 0;
    case WM_RBUTTONDOWN:
        ShowContextMenu();
        return 0;
    case WM_MOUSEWHEEL: {
        int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
        int64_t pos = static_cast<int64_t>(e.GetTopLine().vScrollPos) - notches;
        e.SetTopLine(static_cast<uint32_t>(std::max<int64_t>(pos, 1)));
        ApplyRepaint();
        return 0;
    }
    case WM_VSCROLL:
        VerticalScroll(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_HSCROLL:
        HorizontalScroll(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_DROPFILES: {
        auto drop = reinterpret_cast<HDROP>(wParam);
        char name[8192];
        UINT n = DragQueryFileA(drop, 0, name, sizeof name);
        DragFinish(drop);
        if (n > 0 && n < sizeof name) {
            v.droppedFile.assign(name, n);
            PostMessageA(App().main, kDroppedFileMessage, 0, 0);
        }
        return 1;
    }
    }
    bool handled = false;
    LRESULT result = EditMessage(hwnd, msg, wParam, lParam, handled);
    return handled ? result : DefWindowProcA(hwnd, msg, wParam, lParam);
}

namespace {

LRESULT EditMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    TextEditor& e = Editor();
    TextBuffer& buffer = e.Buffer();
    handled = true;
    switch (msg) {
    case WM_SETTEXT:
        e.SetText(lParam ? reinterpret_cast<const char*>(lParam) : "");
        RepaintAll();
        UpdateViewStatus();
        return TRUE;
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(buffer.TotalBytes()) + 1;
    case WM_GETTEXT: {
        // Never more than the caller's wParam bytes, always terminated.
        if (wParam == 0 || lParam == 0) return 0;
        auto* out = reinterpret_cast<char*>(lParam);
        uint32_t n = static_cast<uint32_t>(std::min<uint64_t>(wParam - 1, buffer.TotalBytes()));
        // At most TotalBytes are asked for, so exactly n bytes come back.
        buffer.ExtractRange(n, 0, out);
        out[n] = '\0';
        return n;
    }
    case EM_GETMODIFY:
        return buffer.modified;
    case EM_SETMODIFY:
        buffer.modified = static_cast<uint32_t>(wParam);
        return 0;
    case EM_GETSELTEXT: {
        if (!lParam) return 0;
        auto* out = reinterpret_cast<char*>(lParam);
        uint32_t length = e.SelectionLength();
        if (length == 0) {
            *out = '\0';
            return 0;
        }
        return e.CopySelection(out);
    }
    case EM_GETLINE: {
        if (!lParam) return 0;
        auto* out = reinterpret_cast<char*>(lParam);
        // The buffer's size is in its first word, as for every edit control.
        WORD capacity = *reinterpret_cast<WORD*>(out);
        return buffer.ExtractLine(static_cast<uint32_t>(wParam) + 1, capacity, out);
    }
    case EM_LINEINDEX: {
        uint32_t line = wParam == static_cast<WPARAM>(-1) ? e.GetCaret().line
                                                          : static_cast<uint32_t>(wParam) + 1;
        if (line > buffer.LineCount()) return -1;
        return buffer.LineStartOffset(line);
    }
    case EM_LINESCROLL:
        e.SetHorizontalOffset(static_cast<uint32_t>(wParam) * 16);
        e.SetTopLine(std::max<uint32_t>(static_cast<uint32_t>(lParam), 1));
        ApplyRepaint();
        return TRUE;
    case EM_SCROLL: {
        uint32_t before = e.GetTopLine().line;
        VerticalScroll(LOWORD(wParam), HIWORD(wParam));
        uint32_t after = e.GetTopLine().line;
        return MAKELRESULT(static_cast<WORD>(static_cast<int>(after) - static_cast<int>(before)),
                           TRUE);
    }
    case EM_SCROLLCARET:
        e.ScrollCaretIntoView();
        ApplyRepaint();
        return 0;
    case EM_GETRECT:
        if (lParam) GetClientRect(hwnd, reinterpret_cast<RECT*>(lParam));
        return 0;
    case EM_GETSEL: {
        uint32_t start, end;
        e.GetSelectionRange(start, end);
        if (wParam) *reinterpret_cast<DWORD*>(wParam) = start;
        if (lParam) *reinterpret_cast<DWORD*>(lParam) = end;
        return start > 0xFFFF || end > 0xFFFF ? -1 : MAKELRESULT(start, end);
    }
    case EM_EXGETSEL: {
        uint32_t start, end;
        e.GetSelectionRange(start, end);
        if (auto* range = reinterpret_cast<CHARRANGE*>(lParam)) {
            range->cpMin = static_cast<LONG>(start);
            range->cpMax = static_cast<LONG>(end);
        }
        return 0;
    }
    case EM_SETSEL:
        e.SetSelection(static_cast<uint32_t>(wParam), static_cast<uint32_t>(lParam));
        ApplyRepaint();
        UpdateViewStatus();
        return 0;
    case EM_EXSETSEL: {
        const auto* range = reinterpret_cast<const CHARRANGE*>(lParam);
        if (range) {
            e.SetSelection(static_cast<uint32_t>(range->cpMin),
                           static_cast<uint32_t>(range->cpMax));
            ApplyRepaint();
            UpdateViewStatus();
        }
        uint32_t start, end;
        e.GetSelectionRange(start, end);
        return static_cast<LRESULT>(end);
    }
    case EM_SETBKGNDCOLOR:
        SetBackgroundColour(static_cast<COLORREF>(lParam));
        return 0;
    case WM_CTLCOLOREDIT:
        return reinterpret_cast<LRESULT>(BackgroundBrush());
    case WM_COPY:
        CopySelection();
        return 0;
    case WM_CUT:
        CopySelection();
        [[fallthrough]];
    case WM_CLEAR:
        if (e.GetSelection().Exists()) e.DeleteSelection();
        RepaintAll();
        UpdateViewStatus();
        return 0;
    case WM_PASTE:
        Paste();
        e.ScrollCaretIntoView();
        ApplyRepaint();
        UpdateViewStatus();
        return 0;
    case EM_REPLACESEL:
        if (lParam) e.InsertText(reinterpret_cast<const char*>(lParam));
        ApplyRepaint();
        UpdateViewStatus();
        return 0;
    case EM_FINDTEXT:
        return FindText(reinterpret_cast<const FINDTEXTA*>(lParam), static_cast<uint32_t>(wParam));
    case WM_UNDO:
    case EM_UNDO: {
        bool done = e.Undo();
        if (done) {
            ApplyRepaint();
            UpdateViewStatus();
        }
        return done ? 1 : 0;
    }
    case EM_CANUNDO:
        return e.CanUndo() ? 1 : 0;
    }
    handled = false;
    return 0;
}

} // namespace

} // namespace stx
