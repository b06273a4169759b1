#include "platform/text_view.h"

#include "app/command_ids.h"

namespace stx {

const char kTextViewClass[] = "Stratext_View";

namespace {
HBITMAP patternBitmap = nullptr;
HBRUSH patternBrush = nullptr;
} // namespace

bool RegisterTextViewClass(HINSTANCE instance) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_BYTEALIGNWINDOW;
    wc.lpfnWndProc = TextViewProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_IBEAM);
    patternBitmap = LoadBitmapA(instance, MAKEINTRESOURCEA(IDB_BACKGROUND));
    patternBrush = patternBitmap ? CreatePatternBrush(patternBitmap) : nullptr;
    wc.hbrBackground = patternBrush ? patternBrush : reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kTextViewClass;
    return RegisterClassExA(&wc) != 0;
}

void UnregisterTextViewClass(HINSTANCE instance) {
    UnregisterClassA(kTextViewClass, instance);
    if (patternBrush) DeleteObject(patternBrush);
    if (patternBitmap) DeleteObject(patternBitmap);
    patternBrush = nullptr;
    patternBitmap = nullptr;
}

LRESULT CALLBACK TextViewProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

} // namespace stx
