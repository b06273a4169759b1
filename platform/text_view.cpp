#include "platform/text_view.h"

#include <commctrl.h>
#include <richedit.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <memory>

#include "app/command_ids.h"
#include "app/settings.h"
#include "app/ui_texts.h"
#include "platform/background_setting.h"
#include "platform/clipboard.h"
#include "platform/failure_guard.h"
#include "platform/gdi_surface.h"
#include "platform/ui_text.h"
#include "search/buffer_search.h"
#include "view/address_column.h"
#include "view/caret_animation.h"
#include "view/paint_plan.h"
#include "view/plane_tables.h"

namespace stx {

const char kTextViewClass[] = "Stratext_View";

namespace {

constexpr UINT_PTR kDragTimer = 2;
constexpr UINT kDragPeriodMs = 50;
constexpr uint32_t kScrollMax = 0xFFFF;
// The dropped file's name goes into a path buffer of this size.
constexpr UINT kDropNameCapacity = 8192;

// What a scroll bar was last given: the bars are only touched on a change,
// since every call repaints them and typing must stay cheap.
struct BarState {
    int min = -1, max = -1, pos = -1;
};

// What the view keeps beside its editor: drawing state and window flags. It
// lives from WM_NCCREATE to WM_NCDESTROY in the window's user data.
struct ViewWindow {
    explicit ViewWindow(EditorApp& owner) : app(owner) {}
    ~ViewWindow() {
        objects.SetBackground(nullptr, nullptr);
        if (backgroundBrush) DeleteObject(backgroundBrush);
        if (patternBitmap) DeleteObject(patternBitmap);
    }
    ViewWindow(const ViewWindow&) = delete;
    ViewWindow& operator=(const ViewWindow&) = delete;

    EditorApp& app;
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
    BarState shownVertical, shownHorizontal;

    TextEditor& Editor() { return app.editor; }
    const RenderSettings& Render() const { return app.settings.render; }
};

ViewWindow* ViewOf(HWND hwnd) {
    return hwnd ? reinterpret_cast<ViewWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)) : nullptr;
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

// Where the bar's thumb is drawn, in pixels; -1 when that cannot be told.
LONG ThumbTop(HWND hwnd, int bar) {
    SCROLLBARINFO info{};
    info.cbSize = sizeof info;
    if (!GetScrollBarInfo(hwnd, bar == SB_VERT ? OBJID_VSCROLL : OBJID_HSCROLL, &info)) return -1;
    return info.xyThumbTop;
}

void SetBar(HWND hwnd, int bar, BarState& shown, int min, int max, int pos) {
    const bool range = shown.min != min || shown.max != max;
    if (!range && shown.pos == pos) return;
    // Drawing a bar costs more than painting a page of text, and on a long
    // document most moves leave the thumb on the same pixel: the position is
    // always stored, the bar drawn again only when its thumb moves.
    const LONG before = shown.pos < 0 ? -1 : ThumbTop(hwnd, bar);
    if (range) SetScrollRange(hwnd, bar, min, max, FALSE);
    SetScrollPos(hwnd, bar, pos, FALSE);
    const LONG after = ThumbTop(hwnd, bar);
    if (before < 0 || after < 0 || before != after) {
        // The bar alone is drawn (not the whole frame) when the position
        // changes, so it is stepped away and back.
        SetScrollPos(hwnd, bar, pos > min ? pos - 1 : pos + 1, FALSE);
        SetScrollPos(hwnd, bar, pos, TRUE);
    }
    shown.min = min;
    shown.max = max;
    shown.pos = pos;
}

void UpdateScrollBars(ViewWindow& v) {
    const TextEditor& e = v.Editor();
    const TopLine& top = e.GetTopLine();
    uint32_t vRange = e.VScrollRange();
    uint32_t hRange = e.HScrollRange();
    SetBar(v.hwnd, SB_VERT, v.shownVertical, 1, ToBar(std::max<uint32_t>(vRange, 1), vRange),
           ToBar(top.vScrollPos, vRange));
    SetBar(v.hwnd, SB_HORZ, v.shownHorizontal, 0, ToBar(hRange, hRange),
           ToBar(top.hScrollPos, hRange));
}

// --- repainting ----------------------------------------------------------------------

RECT ToRect(const Rect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}

void InvalidateCaret(ViewWindow& v, const Caret& caret) {
    const TextEditor& e = v.Editor();
    RECT r = ToRect(CaretRepaintRect(caret, e.GetTopLine(), e.View(),
                                     static_cast<int>(e.Buffer().Widths().widest)));
    InvalidateRect(v.hwnd, &r, FALSE);
}

// Repaints what the last operations asked for and brings the scroll bars in step.
void ApplyRepaint(ViewWindow& v) {
    TextEditor& e = v.Editor();
    Caret before = e.CaretBeforeRepaint();
    switch (e.TakeRepaint()) {
    case Repaint::None:
        break;
    case Repaint::CaretRect:
        InvalidateCaret(v, before);
        InvalidateCaret(v, e.GetCaret());
        break;
    case Repaint::CaretBand: {
        InvalidateCaret(v, before);
        const ViewGeometry& view = e.View();
        RECT band = ToRect(CaretBandRect(e.GetCaret(), view));
        InvalidateRect(v.hwnd, &band, FALSE);
        if (view.hexView) {
            // Every later line's address moved with the edit.
            Rect column = AddressColumnRect(
                static_cast<int>(view.addressColumnWidth), static_cast<int>(view.planeSpread),
                static_cast<int>(e.Buffer().Widths().widest), static_cast<int>(view.viewHeight));
            column.top = std::max(column.top, e.GetCaret().y);
            RECT addresses = ToRect(column);
            InvalidateRect(v.hwnd, &addresses, FALSE);
        }
        break;
    }
    case Repaint::All:
        InvalidateRect(v.hwnd, nullptr, FALSE);
        break;
    }
    UpdateScrollBars(v);
}

// A full repaint; what the editor asked for is covered by it.
void RepaintAll(ViewWindow& v) {
    v.Editor().TakeRepaint();
    InvalidateRect(v.hwnd, nullptr, FALSE);
    UpdateScrollBars(v);
}

void UpdateStatus(ViewWindow& v) {
    v.app.UpdateCaretStatus();
}

// After every input: caret shown, repaint applied, status bar updated.
void AfterInput(ViewWindow& v) {
    uint8_t flags = v.Editor().GetCaret().flags;
    ShowCaretNow(flags);
    v.Editor().SetCaretFlags(flags);
    ApplyRepaint(v);
    UpdateStatus(v);
}

// --- geometry --------------------------------------------------------------------------

// Brings plane tables and view metrics in line with the settings and the
// window; says what the plane tables recomputed.
PlaneTables::Change SyncGeometry(ViewWindow& v) {
    TextEditor& e = v.Editor();
    ViewGeometry geometry = e.View();
    PlaneTables::Change change =
        ApplyRenderSettings(v.Render(), v.planes, v.animation, geometry, e.Buffer().Widths());
    RECT client;
    GetClientRect(v.hwnd, &client);
    geometry.viewWidth = static_cast<uint32_t>(client.right);
    geometry.viewHeight = static_cast<uint32_t>(client.bottom);
    geometry.hScrollBarHeight = static_cast<uint32_t>(GetSystemMetrics(SM_CYHSCROLL));
    geometry.vScrollBarWidth = static_cast<uint32_t>(GetSystemMetrics(SM_CXVSCROLL));
    e.SetView(geometry);
    return change;
}

// --- clipboard -------------------------------------------------------------------------

// The selection goes to the clipboard; a selection too large for memory is
// reported by the message edge before anything changed.
void CopySelection(ViewWindow& v) {
    TextEditor& e = v.Editor();
    uint32_t length = e.SelectionLength();
    if (length == 0) return;
    std::string text(size_t{length} + 1, '\0');
    e.CopySelection(text.data());
    text.resize(length);
    PutClipboardText(text);
}

TextStatus Paste(ViewWindow& v) {
    std::optional<std::string> text = GetClipboardText();
    if (!text || text->empty()) return TextStatus::Ok;
    return v.Editor().InsertText(text->data(), text->size());
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

void ShowContextMenu(ViewWindow& v) {
    HMENU popup = CreatePopupMenu();
    for (const CommandTrilingualText& item : kViewPopupMenu) {
        if (item.command == 0)
            AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
        else
            AppendUiMenuItem(popup, MF_STRING, static_cast<UINT_PTR>(item.command),
                             ChooseText(v.app.Language(), item.text));
    }
    POINT at;
    GetCursorPos(&at);
    TrackPopupMenu(popup, TPM_RIGHTBUTTON, at.x, at.y, 0, v.app.main, nullptr);
    DestroyMenu(popup);
}

// The bars never exceed 0xFFFF, so the thumb position in the message is exact.
void VerticalScroll(ViewWindow& v, WORD code, WORD thumb) {
    TextEditor& e = v.Editor();
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
    ApplyRepaint(v);
}

void HorizontalScroll(ViewWindow& v, WORD code, WORD thumb) {
    TextEditor& e = v.Editor();
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
    ApplyRepaint(v);
}

// Offsets are unsigned inside; the message's LONG bounds are read as such,
// so a start at 2 GiB or more is never taken for a negative one.
LRESULT FindText(ViewWindow& v, const FINDTEXTA* find, uint32_t flags) {
    if (!find || !find->lpstrText) return -1;
    const uint32_t start = static_cast<uint32_t>(find->chrg.cpMin);
    const uint32_t end =
        find->chrg.cpMax == -1 ? UINT32_MAX : static_cast<uint32_t>(find->chrg.cpMax);
    std::optional<uint32_t> at =
        FindInBuffer(v.Editor().Buffer(), start, end, find->lpstrText, flags);
    return at ? static_cast<LRESULT>(*at) : -1;
}

// One paint of the view's area onto dc: the window's own paint, or a copy
// asked for with WM_PRINTCLIENT.
void PaintInto(ViewWindow& v, HDC dc, const RECT& rect, bool useBuffer) {
    TextEditor& e = v.Editor();
    const Caret& caret = e.GetCaret();
    PaintScene scene{e.Buffer(),
                     caret,
                     e.GetSelection(),
                     e.GetTopLine(),
                     e.View(),
                     v.Render(),
                     v.planes,
                     v.animation,
                     e.overwrite != 0,
                     CharUnderCaret(e.Buffer(), caret),
                     v.objects.ImageSize()};
    Rect area{rect.left, rect.top, rect.right, rect.bottom};
    PaintOnDc(dc, scene, area, v.objects, useBuffer ? &v.offscreen : nullptr);
}

void Paint(ViewWindow& v) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(v.hwnd, &ps);
    PaintInto(v, dc, ps.rcPaint, v.Render().doubleBuffering);
    EndPaint(v.hwnd, &ps);
}

// A mouse selection: the caret goes to the point, the view takes the mouse
// and scrolls while the pointer stays outside it.
void StartDrag(ViewWindow& v, LPARAM point) {
    v.Editor().MouseDown(GET_X_LPARAM(point), GET_Y_LPARAM(point));
    SetCapture(v.hwnd);
    SetTimer(v.hwnd, kDragTimer, kDragPeriodMs, nullptr);
    AfterInput(v);
}

void EndDrag(ViewWindow& v) {
    KillTimer(v.hwnd, kDragTimer);
    v.Editor().MouseUp();
}

// Whether the (logical) left button is held now, whatever window got its messages.
bool LeftButtonHeld() {
    const int button = GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
    return (GetAsyncKeyState(button) & 0x8000) != 0;
}

// The first dropped file, when its name fits the path buffer; an over-long
// name is refused rather than cut into the name of another file.
void TakeDroppedFile(ViewWindow& v, HDROP drop) {
    const UINT needed = DragQueryFileA(drop, 0, nullptr, 0);
    std::string name;
    if (needed > 0 && needed < kDropNameCapacity) {
        name.resize(needed + 1);
        const UINT got = DragQueryFileA(drop, 0, name.data(), needed + 1);
        name.resize(got == needed ? got : 0);
    }
    DragFinish(drop);
    if (name.empty()) {
        if (needed > 0)
            ShowUiMessage(v.app.main, ChooseText(v.app.Language(), kDroppedNameTooLong),
                          kProductName, MB_OK | MB_ICONERROR);
        return;
    }
    v.droppedFile = std::move(name);
    PostMessageA(v.app.main, kDroppedFileMessage, 0, 0);
}

// The messages of the edit-control family; false for any other message.
bool EditMessage(ViewWindow& v, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

// The view's own messages; false leaves one to EditMessage and DefWindowProcA.
bool ViewMessage(ViewWindow& v, UINT msg, WPARAM wParam, LPARAM lParam) {
    TextEditor& e = v.Editor();
    switch (msg) {
    case WM_DESTROY:
        KillTimer(v.hwnd, kDragTimer);
        return true;
    case WM_SIZE:
        SyncGeometry(v);
        if (!e.Buffer().IsBusy()) e.ScrollCaretIntoView();
        RepaintAll(v);
        return true;
    case WM_PAINT:
        Paint(v);
        return true;
    case WM_PRINTCLIENT: {
        RECT client;
        GetClientRect(v.hwnd, &client);
        PaintInto(v, reinterpret_cast<HDC>(wParam), client, false);
        return true;
    }
    case WM_SETFOCUS:
        v.keysIgnored = false;
        InvalidateCaret(v, e.GetCaret());
        return true;
    case WM_KILLFOCUS:
        v.keysIgnored = true;
        return true;
    case WM_KEYDOWN: {
        if (v.keysIgnored) return true;
        Key key;
        TextStatus status = TextStatus::Ok;
        if (KeyFor(wParam, key))
            e.KeyDown(key, GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_SHIFT) < 0);
        else if (wParam == VK_DELETE)
            status = e.DeleteKey();
        else if (wParam == VK_APPS)
            ShowContextMenu(v);
        AfterInput(v);
        ReportTextStatus(v.hwnd, status);
        return true;
    }
    case WM_CHAR: {
        if (v.keysIgnored) return true;
        const CharResult done = e.Char(static_cast<uint8_t>(wParam));
        TextStatus status = done.status;
        switch (done.action) {
        case CharAction::Copy:
            CopySelection(v);
            break;
        case CharAction::Cut:
            CopySelection(v);
            status = e.DeleteSelection();
            break;
        case CharAction::Paste:
            status = Paste(v);
            break;
        case CharAction::None:
            break;
        }
        e.FinishChar();
        AfterInput(v);
        ReportTextStatus(v.hwnd, status);
        return true;
    }
    case WM_LBUTTONDOWN:
        StartDrag(v, lParam);
        return true;
    case WM_MOUSEMOVE:
        if (!(wParam & MK_LBUTTON)) {
            e.MouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), false);
        } else if (!e.Dragging()) {
            // The button went down elsewhere: this starts a drag like a press here.
            StartDrag(v, lParam);
        } else {
            e.MouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), true);
            AfterInput(v);
        }
        return true;
    case WM_LBUTTONUP:
        EndDrag(v);
        ReleaseCapture();
        return true;
    case WM_CAPTURECHANGED:
        // The button-up may go to whoever took the mouse: the drag ends here.
        if (reinterpret_cast<HWND>(lParam) != v.hwnd) EndDrag(v);
        return true;
    case WM_TIMER:
        if (wParam == kDragTimer) {
            if (!e.Dragging() || !LeftButtonHeld()) {
                EndDrag(v);
                if (GetCapture() == v.hwnd) ReleaseCapture();
                return true;
            }
            POINT at;
            GetCursorPos(&at);
            ScreenToClient(v.hwnd, &at);
            e.DragTick(at.x, at.y);
            AfterInput(v);
        }
        return true;
    case WM_RBUTTONDOWN:
        ShowContextMenu(v);
        return true;
    case WM_MOUSEWHEEL: {
        int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
        int64_t pos = static_cast<int64_t>(e.GetTopLine().vScrollPos) - notches;
        e.SetTopLine(static_cast<uint32_t>(std::clamp<int64_t>(pos, 1, UINT32_MAX)));
        ApplyRepaint(v);
        return true;
    }
    case WM_VSCROLL:
        VerticalScroll(v, LOWORD(wParam), HIWORD(wParam));
        return true;
    case WM_HSCROLL:
        HorizontalScroll(v, LOWORD(wParam), HIWORD(wParam));
        return true;
    case kBackgroundChangedMessage:
        ApplyBackground(v.app);
        return true;
    }
    return false;
}

bool EditMessage(ViewWindow& v, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    TextEditor& e = v.Editor();
    TextBuffer& buffer = e.Buffer();
    switch (msg) {
    case WM_SETTEXT: {
        const TextStatus status = e.SetText(lParam ? reinterpret_cast<const char*>(lParam) : "");
        RepaintAll(v);
        UpdateStatus(v);
        result = ReportTextStatus(v.hwnd, status) ? TRUE : FALSE;
        return true;
    }
    case WM_GETTEXTLENGTH:
        result = static_cast<LRESULT>(buffer.TotalBytes()) + 1;
        return true;
    case WM_GETTEXT: {
        // Never more than the caller's wParam bytes, always terminated.
        if (wParam == 0 || lParam == 0) return true;
        auto* out = reinterpret_cast<char*>(lParam);
        uint32_t n = static_cast<uint32_t>(std::min<uint64_t>(wParam - 1, buffer.TotalBytes()));
        // At most TotalBytes are asked for, so exactly n bytes come back.
        buffer.ExtractRange(n, 0, out);
        out[n] = '\0';
        result = n;
        return true;
    }
    case EM_GETMODIFY:
        result = buffer.modified;
        return true;
    case EM_SETMODIFY:
        buffer.modified = static_cast<uint32_t>(wParam);
        return true;
    case EM_GETSELTEXT: {
        if (!lParam) return true;
        auto* out = reinterpret_cast<char*>(lParam);
        if (e.SelectionLength() == 0)
            *out = '\0';
        else
            result = e.CopySelection(out);
        return true;
    }
    case EM_GETLINE: {
        if (!lParam) return true;
        auto* out = reinterpret_cast<char*>(lParam);
        // The buffer's size is in its first word, as for every edit control.
        WORD capacity = *reinterpret_cast<WORD*>(out);
        result = buffer.ExtractLine(static_cast<uint32_t>(wParam) + 1, capacity, out);
        return true;
    }
    case EM_LINEINDEX: {
        uint32_t line = wParam == static_cast<WPARAM>(-1) ? e.GetCaret().line
                                                          : static_cast<uint32_t>(wParam) + 1;
        result = line > buffer.LineCount() ? -1 : buffer.LineStartOffset(line);
        return true;
    }
    case EM_LINESCROLL:
        e.SetHorizontalOffset(static_cast<uint32_t>(wParam) * 16);
        e.SetTopLine(std::max<uint32_t>(static_cast<uint32_t>(lParam), 1));
        ApplyRepaint(v);
        result = TRUE;
        return true;
    case EM_SCROLL: {
        uint32_t before = e.GetTopLine().line;
        VerticalScroll(v, LOWORD(wParam), HIWORD(wParam));
        uint32_t after = e.GetTopLine().line;
        result = MAKELRESULT(static_cast<WORD>(static_cast<int>(after) - static_cast<int>(before)),
                             TRUE);
        return true;
    }
    case EM_SCROLLCARET:
        e.ScrollCaretIntoView();
        ApplyRepaint(v);
        return true;
    case EM_GETRECT:
        if (lParam) GetClientRect(v.hwnd, reinterpret_cast<RECT*>(lParam));
        return true;
    case EM_GETSEL: {
        uint32_t start, end;
        e.GetSelectionRange(start, end);
        if (wParam) *reinterpret_cast<DWORD*>(wParam) = start;
        if (lParam) *reinterpret_cast<DWORD*>(lParam) = end;
        result = start > 0xFFFF || end > 0xFFFF ? -1 : MAKELRESULT(start, end);
        return true;
    }
    case EM_EXGETSEL: {
        uint32_t start, end;
        e.GetSelectionRange(start, end);
        if (auto* range = reinterpret_cast<CHARRANGE*>(lParam)) {
            range->cpMin = static_cast<LONG>(start);
            range->cpMax = static_cast<LONG>(end);
        }
        return true;
    }
    case EM_SETSEL:
        e.SetSelection(static_cast<uint32_t>(wParam), static_cast<uint32_t>(lParam));
        ApplyRepaint(v);
        UpdateStatus(v);
        return true;
    case EM_EXSETSEL: {
        if (const auto* range = reinterpret_cast<const CHARRANGE*>(lParam)) {
            e.SetSelection(static_cast<uint32_t>(range->cpMin),
                           static_cast<uint32_t>(range->cpMax));
            ApplyRepaint(v);
            UpdateStatus(v);
        }
        uint32_t start, end;
        e.GetSelectionRange(start, end);
        result = static_cast<LRESULT>(end);
        return true;
    }
    case EM_SETBKGNDCOLOR:
        SetBackgroundColour(v.app, static_cast<COLORREF>(lParam));
        return true;
    case WM_CTLCOLOREDIT:
        result = reinterpret_cast<LRESULT>(v.backgroundBrush);
        return true;
    case WM_COPY:
        CopySelection(v);
        return true;
    case WM_CUT:
    case WM_CLEAR: {
        if (msg == WM_CUT) CopySelection(v);
        const TextStatus status = e.DeleteSelection();
        RepaintAll(v);
        UpdateStatus(v);
        ReportTextStatus(v.hwnd, status);
        return true;
    }
    case WM_PASTE: {
        const TextStatus status = Paste(v);
        e.ScrollCaretIntoView();
        ApplyRepaint(v);
        UpdateStatus(v);
        ReportTextStatus(v.hwnd, status);
        return true;
    }
    case EM_REPLACESEL: {
        const TextStatus status =
            lParam ? e.InsertText(reinterpret_cast<const char*>(lParam)) : TextStatus::Ok;
        ApplyRepaint(v);
        UpdateStatus(v);
        ReportTextStatus(v.hwnd, status);
        return true;
    }
    case EM_FINDTEXT:
        result =
            FindText(v, reinterpret_cast<const FINDTEXTA*>(lParam), static_cast<uint32_t>(wParam));
        return true;
    case WM_UNDO:
    case EM_UNDO: {
        const UndoOutcome undo = e.Undo();
        if (undo.done) {
            ApplyRepaint(v);
            UpdateStatus(v);
        }
        ReportTextStatus(v.hwnd, undo.status);
        result = undo.done ? 1 : 0;
        return true;
    }
    case EM_CANUNDO:
        result = e.CanUndo() ? 1 : 0;
        return true;
    }
    return false;
}

LRESULT CALLBACK TextViewProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* app =
            static_cast<EditorApp*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        auto* view = new (std::nothrow) ViewWindow(*app);
        if (!view) return FALSE;
        view->hwnd = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
    } else if (msg == WM_NCDESTROY) {
        delete ViewOf(hwnd);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    ViewWindow* view = ViewOf(hwnd);
    if (!view) return DefWindowProcA(hwnd, msg, wParam, lParam);
    if (msg == WM_ERASEBKGND) return 1;
    if (msg == WM_DROPFILES) {
        GuardWindowMessage(hwnd, msg,
                           [&] { TakeDroppedFile(*view, reinterpret_cast<HDROP>(wParam)); });
        return 1;
    }
    LRESULT result = 0;
    bool handled = false;
    if (!GuardWindowMessage(hwnd, msg, [&] {
            handled = ViewMessage(*view, msg, wParam, lParam) ||
                      EditMessage(*view, msg, wParam, lParam, result);
        }))
        return msg == EM_FINDTEXT ? -1 : 0; // a search that failed found nothing
    return handled ? result : DefWindowProcA(hwnd, msg, wParam, lParam);
}

} // namespace

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

HWND CreateTextView(EditorApp& app, int width, int height) {
    return CreateWindowExA(WS_EX_ACCEPTFILES, kTextViewClass, "",
                           WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | 0x200, 0,
                           app.toolbarHeight, width, height, app.main,
                           reinterpret_cast<HMENU>(IDC_TEXT_VIEW), app.instance, &app);
}

std::string DroppedFileName(EditorApp& app) {
    ViewWindow* v = ViewOf(app.view);
    return v ? v->droppedFile : std::string();
}

void RefreshView(EditorApp& app) {
    ViewWindow* v = ViewOf(app.view);
    if (!v) return;
    SyncGeometry(*v);
    app.editor.ScrollCaretIntoView();
    RepaintAll(*v);
    UpdateStatus(*v);
}

void ViewSettingsChanged(EditorApp& app) {
    ViewWindow* v = ViewOf(app.view);
    if (!v) return;
    if (SyncGeometry(*v).tables) v->objects.ReleasePens();
    RepaintAll(*v);
}

void ViewFontChanged(EditorApp& app) {
    ViewWindow* v = ViewOf(app.view);
    if (!v) return;
    TextEditor& e = app.editor;
    HDC dc = GetDC(v->hwnd);
    uint8_t widths[256];
    int lineHeight = LineHeightOf(v->Render().font); // until the font is measured
    bool measured = MeasureFont(dc, v->Render().font, v->objects, widths, lineHeight);
    ReleaseDC(v->hwnd, dc);
    if (measured) {
        ViewGeometry geometry = e.View();
        geometry.lineHeight = static_cast<uint32_t>(std::max(lineHeight, 1));
        e.SetView(geometry);
    }
    // Lays every line out again and keeps caret and anchor on their columns.
    e.SetCharWidths(measured ? widths : nullptr);
    RefreshView(app);
}

bool ApplyBackground(EditorApp& app) {
    ViewWindow* v = ViewOf(app.view);
    if (!v) return false;
    const RenderSettings& r = v->Render();
    HBITMAP bitmap = nullptr;
    bool ok = true;
    if (r.backgroundKind == BackgroundKind::Image && !r.imagePath.empty()) {
        bitmap = static_cast<HBITMAP>(
            LoadImageA(nullptr, r.imagePath.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
        ok = bitmap != nullptr;
    }
    if (!bitmap && r.backgroundKind != BackgroundKind::Colour)
        bitmap = LoadBitmapA(app.instance, MAKEINTRESOURCEA(IDB_BACKGROUND));
    HBRUSH brush = bitmap ? CreatePatternBrush(bitmap) : CreateSolidBrush(r.backgroundColour);
    if (!brush) {
        if (bitmap) DeleteObject(bitmap);
        return false;
    }
    v->objects.SetBackground(brush, bitmap);
    if (v->backgroundBrush) DeleteObject(v->backgroundBrush);
    if (v->patternBitmap) DeleteObject(v->patternBitmap);
    v->backgroundBrush = brush;
    v->patternBitmap = bitmap;
    InvalidateRect(v->hwnd, nullptr, FALSE);
    return ok;
}

void CaretTick(EditorApp& app) {
    ViewWindow* v = ViewOf(app.view);
    if (!v || v->caretPaused) return;
    uint8_t flags = app.editor.GetCaret().flags;
    bool repaint = v->animation.Tick(v->Render().caretMode, v->planes.PlaneCount(), flags);
    app.editor.SetCaretFlags(flags);
    if (repaint) InvalidateCaret(*v, app.editor.GetCaret());
}

void PauseCaret(EditorApp& app, bool paused) {
    ViewWindow* v = ViewOf(app.view);
    if (!v) return;
    v->caretPaused = paused;
    InvalidateCaret(*v, app.editor.GetCaret());
}

} // namespace stx
