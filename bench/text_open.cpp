// Opening a large document: Parse (one pass that finds the lines and the
// widest of them; lines are laid out when first needed) and the layout of the
// first page, against memchr line counting over the same bytes in the same run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>

#include "bench/text_bench_util.h"
#include "text/text_buffer.h"

namespace {

constexpr size_t kTextBytes = 100u * 1024 * 1024;

const std::string& Text() {
    static const std::string text = stx::bench::AssemblerText(kTextBytes);
    return text;
}

size_t MemchrLines(const std::string& s) {
    size_t n = 1;
    const char* p = s.data();
    const char* e = p + s.size();
    while ((p = static_cast<const char*>(std::memchr(p, '\n', size_t(e - p))))) {
        ++n;
        ++p;
    }
    return n;
}

double MemchrSeconds(const std::string& s) {
    double best = 1e9;
    for (int i = 0; i < 5; ++i) {
        auto t0 = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(MemchrLines(s));
        best = std::min(best, stx::bench::Seconds(std::chrono::steady_clock::now() - t0));
    }
    return best;
}

void BM_MemchrLineCount(benchmark::State& state) {
    const std::string& text = Text();
    for (auto _ : state)
        benchmark::DoNotOptimize(MemchrLines(text));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_MemchrLineCount)->Unit(benchmark::kMillisecond);

// A proportional font: no two neighbouring byte values share a width.
const uint8_t* ProportionalWidths() {
    static uint8_t widths[256];
    for (int c = 0; c < 256; ++c)
        widths[c] = static_cast<uint8_t>(4 + c % 9);
    return widths;
}

// Parse and the first page's 60 lines laid out; storage is counted after both.
void Open(benchmark::State& state, const uint8_t* fontWidths) {
    const std::string& text = Text();
    const double memchrSeconds = MemchrSeconds(text);
    double best = 1e9, firstPage = 1e9;
    size_t storage = 0, peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        stx::bench::ResetPeakMemory();
        size_t before = stx::bench::ProcStatusBytes("VmRSS:");
        state.ResumeTiming();
        auto t0 = std::chrono::steady_clock::now();
        auto* buffer = new stx::TextBuffer();
        buffer->Widths().Fill(fontWidths);
        buffer->Parse(text.data(), text.data() + text.size());
        auto t1 = std::chrono::steady_clock::now();
        const stx::LineRecord* r = buffer->FindLine(1);
        for (int line = 1; r && line < 60; ++line)
            r = buffer->NextLine(r);
        benchmark::DoNotOptimize(r);
        auto t2 = std::chrono::steady_clock::now();
        best = std::min(best, stx::bench::Seconds(t2 - t0));
        firstPage = std::min(firstPage, stx::bench::Seconds(t2 - t1));
        state.PauseTiming();
        storage = buffer->StorageBytes();
        peak = stx::bench::ProcStatusBytes("VmHWM:") - before;
        delete buffer;
        state.ResumeTiming();
    }
    const double mb = double(text.size()) / (1024.0 * 1024.0);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
    state.counters["best_s"] = best;
    state.counters["MB_per_s"] = mb / best;
    state.counters["storage_B_per_B"] = double(storage) / double(text.size());
    state.counters["peak_B_per_B"] = double(peak) / double(text.size());
    state.counters["first_page_ms"] = firstPage * 1e3;
    state.counters["x_memchr"] = best / memchrSeconds;
    state.counters["memchr_s"] = memchrSeconds;
}
void BM_Open(benchmark::State& state) {
    Open(state, nullptr);
}
BENCHMARK(BM_Open)->Unit(benchmark::kMillisecond)->Iterations(5);
void BM_OpenProportionalFont(benchmark::State& state) {
    Open(state, ProportionalWidths());
}
BENCHMARK(BM_OpenProportionalFont)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_LayoutAll(benchmark::State& state) {
    const std::string& text = Text();
    stx::TextBuffer buffer;
    buffer.Parse(text.data(), text.data() + text.size());
    const double memchrSeconds = MemchrSeconds(text);
    double best = 1e9;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        buffer.LayoutAll();
        best = std::min(best, stx::bench::Seconds(std::chrono::steady_clock::now() - t0));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
    state.counters["x_memchr"] = best / memchrSeconds;
}
BENCHMARK(BM_LayoutAll)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
