// How long the Windows error codes dialog takes from the command to a shown,
// filled list under Wine: the time until the dialog's message loop first goes
// idle (created, list filled, painted). Baseline, in the same run: the
// one-line input box, the smallest dialog of the program, measured the same way.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/command_ids.h"
#include "bench/win32/bench_clock.h"
#include "platform/error_codes_dialog.h"
#include "platform/input_box.h"
#include "tools/error_catalogue.h"

namespace {

using stx::bench::Now;

double idleAt = 0;
LRESULT listRows = -1;

// The owner learns that a modal dialog is idle through WM_ENTERIDLE: the time
// is taken there and the dialog closed.
LRESULT CALLBACK OwnerProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_ENTERIDLE && wParam == MSGF_DIALOGBOX) {
        auto dialog = reinterpret_cast<HWND>(lParam);
        if (idleAt == 0) {
            idleAt = Now();
            if (HWND list = GetDlgItem(dialog, IDC_ERRORS_LIST))
                listRows = SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
        }
        PostMessageA(dialog, WM_COMMAND, IDC_DIALOG_CANCEL, 0);
        return 0;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}

template <typename Open> std::vector<double> Measure(Open open, int rounds) {
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        idleAt = 0;
        const double start = Now();
        open();
        times.push_back((idleAt - start) * 1000);
    }
    return times;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main() {
    using namespace stx;
    WNDCLASSA wc{};
    wc.lpfnWndProc = OwnerProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "ErrorCodesBenchOwner";
    RegisterClassA(&wc);
    HWND owner = CreateWindowA(wc.lpszClassName, "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                               640, 480, nullptr, nullptr, wc.hInstance, nullptr);

    // The baseline goes first, so the dialog's first opening does not also pay
    // for the process's first dialog, as in the editor, which has its windows up.
    const int rounds = 20;
    auto box = Measure([&] { InputBox(owner, InputBoxRequest{}); }, rounds);
    auto dialog = Measure([&] { ShowErrorCodesDialog(owner); }, rounds);
    const double first = dialog.front();
    const LRESULT rows = listRows;
    dialog.erase(dialog.begin());
    box.erase(box.begin());

    const double opened = Median(dialog), baseline = Median(box);
    std::printf("rows in the list when idle: %ld of %zu records\n", static_cast<long>(rows),
                RecordCount(BuiltInErrorCatalog()));
    std::printf("error codes dialog, first opening: %8.2f ms\n", first);
    std::printf("error codes dialog, median:        %8.2f ms (target 150 ms)\n", opened);
    std::printf("input box (baseline), median:      %8.2f ms   ratio %.2f\n", baseline,
                baseline > 0 ? opened / baseline : 0.0);
    DestroyWindow(owner);
    return rows == static_cast<LRESULT>(RecordCount(BuiltInErrorCatalog())) ? 0 : 1;
}
