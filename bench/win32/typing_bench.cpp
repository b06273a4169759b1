// What one typed character costs in the real view under Wine: the edit and
// the repaint of the caret line's band, on a 1,000,000-line document with 8
// planes. Baseline, in the same run: repainting the same band with no edit.
// Then the plane count: a full paint of a view of 120 x 60 characters with 8
// and with 255 planes, and the typed character's band with 255 planes.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/view_document.h"
#include "platform/editor_app.h"
#include "platform/text_view.h"
#include "text/text_editor.h"
#include "view/paint_plan.h"

namespace {

double Now() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// This thread's processor time in milliseconds: on a busy machine the wall-clock figures
// also hold other programs' time.
double CpuMs() {
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
    auto ms = [](const FILETIME& t) {
        return static_cast<double>(static_cast<ULONGLONG>(t.dwHighDateTime) << 32 |
                                   t.dwLowDateTime) /
               1e4;
    };
    return ms(kernel) + ms(user);
}

struct PaintTime {
    double wallMs; // median
    double cpuMs;  // mean
};

// Repainting area (null: the whole view) and waiting for the paint.
PaintTime PaintMs(HWND view, const RECT* area, int rounds) {
    std::vector<double> took;
    const double cpu = CpuMs();
    for (int i = 0; i < rounds; ++i) {
        const double start = Now();
        InvalidateRect(view, area, FALSE);
        UpdateWindow(view);
        took.push_back((Now() - start) * 1000);
    }
    std::sort(took.begin(), took.end());
    return {took[took.size() / 2], (CpuMs() - cpu) / rounds};
}

// Full paints with 8 and 255 planes on a view of 120 x 60 characters, and the band a typed
// character repaints with 255 planes. Prints the two figures the target is read from last.
void PlaneCountFigures() {
    using namespace stx;
    EditorApp& app = App();
    const std::string text = AssemblerLines(60, 120);
    SendMessageA(app.view, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    // Size the main window so the view holds exactly 120 x 60 characters.
    const ViewGeometry& geometry = ViewEditor().View();
    const int width = kLeftMargin + 120 * static_cast<int>(ViewEditor().Buffer().Widths()['m']);
    const int height = 60 * static_cast<int>(geometry.lineHeight);
    RECT frame, client;
    GetWindowRect(app.main, &frame);
    GetClientRect(app.view, &client);
    SetWindowPos(app.main, nullptr, 0, 0, frame.right - frame.left + width - client.right,
                 frame.bottom - frame.top + height - client.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetClientRect(app.view, &client);
    const WPARAM offset = static_cast<WPARAM>(SendMessageA(app.view, EM_LINEINDEX, 29, 0)) + 40;
    SendMessageA(app.view, EM_SETSEL, offset, offset);
    std::printf("\nview %ld x %ld pixels (120 x 60 characters wanted: %d x %d)\n", client.right,
                client.bottom, width, height);
    std::printf("%-8s %16s %16s %16s %16s\n", "planes", "full paint ms", "full paint cpu",
                "band ms", "band cpu");
    PaintTime full[2]{};
    PaintTime band{};
    const int counts[2] = {8, 255};
    for (int i = 0; i < 2; ++i) {
        app.settings.render.planeCount = counts[i];
        ViewSettingsChanged();
        UpdateWindow(app.view);
        full[i] = PaintMs(app.view, nullptr, 40);
        const Rect r = CaretBandRect(ViewEditor().GetCaret(), ViewEditor().View());
        const RECT bandRect{r.left, r.top, r.right, r.bottom};
        band = PaintMs(app.view, &bandRect, 100);
        std::printf("%-8d %16.3f %16.3f %16.3f %16.3f\n", counts[i], full[i].wallMs, full[i].cpuMs,
                    band.wallMs, band.cpuMs);
    }
    std::printf("full paint 255 vs 8 planes: %.2f\n",
                full[0].wallMs > 0 ? full[1].wallMs / full[0].wallMs : 0.0);
    std::printf("band 255 planes ms: %.3f\n", band.wallMs);
}

} // namespace

int main() {
    using namespace stx;
    if (!StartEditor(GetModuleHandleA(nullptr), CommandLine{}, SW_SHOWNORMAL)) return 1;
    EditorApp& app = App();
    app.settings.render.planeCount = 8;
    ViewSettingsChanged();

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
            band.top = ViewEditor().GetCaret().y;
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
    PlaneCountFigures();
    ShutdownEditor();
    return 0;
}
