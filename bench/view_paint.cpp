// Painting one full view: 60 lines of 120 characters with 8 and with 255 planes, planned and
// drawn onto a surface that only counts (the core's whole share of a paint) and onto the
// recording surface. Each figure is also given as a ratio to copying the same characters
// with memcpy, measured in the same run, since the machines are noisy.
// Then the planes composed in one pass into pixels, with a made-up font drawn in software:
// the figure for 255 planes also as a ratio to 8 planes, measured in the same run.
#include "bench/view_document.h"
#include "tests/support/soft_canvas.h"
#include "tests/support/view_scene.h"
#include "text/text_buffer.h"
#include "view/paint_plan.h"
#include "view/recording_surface.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

namespace stx {
namespace {

constexpr int kLines = 60;
constexpr int kColumns = 120;

struct Fixture : ViewScene {
    explicit Fixture(int planeCount) {
        text = AssemblerLines(kLines, kColumns);
        buffer.Parse(text.c_str(), nullptr);
        settings.planeCount = planeCount;
        settings.overLetter = true;
        planes.Update(settings);
        view.lineHeight = 16;
        view.viewWidth = kColumns * 8 + 64;
        view.viewHeight = kLines * 16;
        SyncViewGeometry(view, settings, planes, buffer.Widths());
        top.record = buffer.FindLine(1);
        top.pageSize = kLines;
        caret.line = 30;
        caret.column = 40;
        caret.x = 320;
        caret.y = 29 * 16;
        caret.record = buffer.FindLine(30);
        selection.anchor = caret;
        selection.anchor.line = 28;
        selection.anchor.record = buffer.FindLine(28);
        selection.anchor.x = 80;
        selection.anchor.y = 27 * 16;
    }

    std::string text;
};

// Nanoseconds to copy the view's characters line by line, best of several rounds.
double BaselineNs(const std::string& text) {
    std::vector<char> out(text.size());
    double best = 1e30;
    for (int round = 0; round < 7; ++round) {
        constexpr int kReps = 2000;
        const auto start = std::chrono::steady_clock::now();
        for (int rep = 0; rep < kReps; ++rep) {
            const char* src = text.data();
            char* dst = out.data();
            for (int line = 0; line < kLines; ++line) {
                std::memcpy(dst, src, kColumns);
                src += kColumns + 2;
                dst += kColumns;
            }
            benchmark::DoNotOptimize(out.data());
            benchmark::ClobberMemory();
        }
        const std::chrono::duration<double, std::nano> took =
            std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count() / kReps);
    }
    return best;
}

template <typename SurfaceType> void PaintFullView(benchmark::State& state) {
    Fixture f(static_cast<int>(state.range(0)));
    const double baseline = BaselineNs(f.text);
    const PaintScene scene = f.Scene();
    const Rect full = f.Full();
    SurfaceType surface;
    std::uint64_t paints = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        if constexpr (std::is_same_v<SurfaceType, RecordingSurface>) surface.Clear();
        PaintView(surface, scene, full);
        benchmark::ClobberMemory();
        ++paints;
    }
    const std::chrono::duration<double, std::nano> took = std::chrono::steady_clock::now() - start;
    const double perPaint = took.count() / static_cast<double>(paints ? paints : 1);
    state.counters["us_per_paint"] = perPaint / 1000.0;
    state.counters["memcpy_ns"] = baseline;
    state.counters["x_memcpy"] = perPaint / baseline;
}

void BM_PaintView_NullSurface(benchmark::State& state) {
    PaintFullView<CountingSurface>(state);
}
void BM_PaintView_Recording(benchmark::State& state) {
    PaintFullView<RecordingSurface>(state);
}

// Microseconds of one composed paint of the whole view, best of a few rounds.
double ComposedUs(Fixture& f, SoftCanvas& canvas, SoftCompositor& compositor) {
    double best = 1e30;
    for (int round = 0; round < 5; ++round) {
        const auto start = std::chrono::steady_clock::now();
        PaintView(canvas, f.Scene(), f.Full(), &compositor);
        const std::chrono::duration<double, std::micro> took =
            std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

void BM_PaintView_Composed(benchmark::State& state) {
    Fixture f(static_cast<int>(state.range(0)));
    const Rect full = f.Full();
    SoftCanvas canvas(full.right, full.bottom, f.buffer.Widths(), 16, false);
    SoftCompositor compositor(canvas, f.buffer.Widths(), 16, false);
    Fixture eight(8);
    const double baseline = ComposedUs(eight, canvas, compositor);
    std::uint64_t paints = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        PaintView(canvas, f.Scene(), full, &compositor);
        benchmark::DoNotOptimize(canvas.All().data());
        ++paints;
    }
    const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
    const double perPaint = took.count() / static_cast<double>(paints ? paints : 1);
    state.counters["us_per_paint"] = perPaint;
    state.counters["x_8_planes"] = perPaint / baseline;
}

BENCHMARK(BM_PaintView_NullSurface)->Arg(8)->Arg(255)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintView_Recording)->Arg(8)->Arg(255)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintView_Composed)->Arg(8)->Arg(255)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace stx

BENCHMARK_MAIN();
