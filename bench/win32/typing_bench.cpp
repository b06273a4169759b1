// What one typed character costs in the real view under Wine: the edit and
// the repaint of the caret line's band, on a 1,000,000-line document with 8
// planes. Baseline, in the same run: repainting the same band with no edit.
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/editor_start.h"
#include "platform/text_view.h"
#include "text/text_editor.h"

namespace {

double Now() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

} // namespace

int main() {
    using namespace stx;
    EditorApp app;
    if (!StartEditor(app, GetModuleHandleA(nullptr), CommandLine{}, SW_SHOWNORMAL)) return 1;
    app.settings.render.planeCount = 8;
    ViewSettingsChanged(app);

    std::string text;
    text.reserve(30'000'000);
    for (int i = 0; i < 1'000'000; ++i)
        text += "\tmov\teax, 12345\t; line\r\n";
    SendMessageA(app.view, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    UpdateWindow(app.view);

    const int rounds = 300;
    std::printf("%-34s %12s %12s\n", "position", "WM_CHAR ms", "band ms");
    double worst = 0;
    for (int line : {1, 500'000, 1'000'000}) {
        WPARAM offset = static_cast<WPARAM>(SendMessageA(app.view, EM_LINEINDEX, line - 1, 0)) + 5;
        SendMessageA(app.view, EM_SETSEL, offset, offset);
        SendMessageA(app.view, EM_SCROLLCARET, 0, 0);
        UpdateWindow(app.view);

        double start = Now();
        for (int i = 0; i < rounds; ++i) {
            SendMessageA(app.view, WM_CHAR, 'x', 1);
            UpdateWindow(app.view);
        }
        double typing = (Now() - start) * 1000 / rounds;

        start = Now();
        for (int i = 0; i < rounds; ++i) {
            RECT band;
            GetClientRect(app.view, &band);
            band.top = app.editor.GetCaret().y;
            band.bottom = band.top + 40;
            InvalidateRect(app.view, &band, FALSE);
            UpdateWindow(app.view);
        }
        double paint = (Now() - start) * 1000 / rounds;
        worst = typing > worst ? typing : worst;
        std::printf("line %-29d %12.3f %12.3f   ratio %.2f\n", line, typing, paint,
                    paint > 0 ? typing / paint : 0.0);
    }
    std::printf("worst WM_CHAR: %.3f ms (target 5 ms)\n", worst);
    ShutdownEditor(app);
    return 0;
}
