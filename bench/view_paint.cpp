// Painting one full view: 60 lines of 120 characters with 8 and with 255 planes, planned and
// drawn onto a surface that only counts (the core's whole share of a paint) and onto the
// recording surface. Each figure is also given as a ratio to copying the same characters
// with memcpy, measured in the same run, since the machines are noisy.
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

class CountingSurface final : public Surface {
  public:
    void UseFont(const EditorFont&) override { ++calls; }
    void SetTextColour(Colour c) override { sink += c; }
    void SetBackColour(Colour c) override { sink += c; }
    void SetBackMode(BackMode m) override { sink += static_cast<unsigned>(m); }
    void WriteText(int x, int y, std::string_view chars) override {
        ++texts;
        sink +=
            static_cast<unsigned>(x + y) + static_cast<unsigned char>(chars.back()) + chars.size();
    }
    void FillSolid(const Rect&, Colour) override { ++calls; }
    void FillTiled(const Rect&) override { ++calls; }
    void DrawImage(const Rect&) override { ++calls; }
    void DrawLine(int x0, int, int, int, Colour) override { sink += static_cast<unsigned>(x0); }

    std::uint64_t calls = 0;
    std::uint64_t texts = 0;
    std::uint64_t sink = 0;
};

// Assembler-like lines of exactly 120 characters: words, numbers and punctuation, so each
// line has several runs of both classes.
std::string Document() {
    static const char* const kWords[] = {"mov",     "eax,", "0FFh",    "push",      "ebx", "call",
                                         "[esi+4]", "-12",  "label1:", "; comment", "1e5"};
    std::string text;
    unsigned seed = 12345;
    for (int line = 0; line < kLines; ++line) {
        std::string l;
        while (l.size() < kColumns) {
            seed = seed * 1103515245u + 12345u;
            l += kWords[(seed >> 16) % 11];
            l += ' ';
        }
        l.resize(kColumns);
        text += l;
        if (line + 1 < kLines) text += "\r\n";
    }
    return text;
}

struct Fixture : ViewScene {
    explicit Fixture(int planeCount) {
        text = Document();
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

BENCHMARK(BM_PaintView_NullSurface)->Arg(8)->Arg(255)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintView_Recording)->Arg(8)->Arg(255)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace stx

BENCHMARK_MAIN();
