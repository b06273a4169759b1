// Find next over a 100 MB document with the only match at its end, against
// memmem over the same bytes in the same run; and Replace all of a frequent
// word in a 10 MB document.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>

#include "bench/text_bench_util.h"
#include "search/buffer_search.h"
#include "search/editor_search_target.h"
#include "search/match_text.h"
#include "text/text_editor.h"

namespace {

constexpr size_t kFindBytes = 100u * 1024 * 1024;
constexpr const char* kNeedle = "WaitForKey";

const std::string& FindText() {
    static const std::string text =
        stx::bench::AssemblerText(kFindBytes) + "\tcall\tWaitForKey\r\n";
    return text;
}

// Figures are thread CPU time, the same for the baseline.
template <typename F> double BestSeconds(int runs, F&& f) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        const double t0 = stx::bench::ThreadSeconds();
        f();
        best = std::min(best, stx::bench::ThreadSeconds() - t0);
    }
    return best;
}

double MemmemSeconds(const std::string& s) {
    return BestSeconds(5, [&] {
        benchmark::DoNotOptimize(memmem(s.data(), s.size(), kNeedle, std::strlen(kNeedle)));
    });
}

void Report(benchmark::State& state, size_t bytes, double best, double memmemSeconds) {
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
    state.counters["best_s"] = best;
    state.counters["GB_per_s"] = double(bytes) / best / 1e9;
    state.counters["memmem_GB_per_s"] = double(bytes) / memmemSeconds / 1e9;
    state.counters["x_memmem"] = best / memmemSeconds;
}

// Find next in the document as stored: the walk over the text buffer and
// the matcher together. flags 0 is the dialogs' default (case folded).
void BM_FindNextInDocument(benchmark::State& state) {
    const std::string& text = FindText();
    const auto flags = static_cast<uint32_t>(state.range(0));
    stx::TextBuffer buffer;
    buffer.Parse(text.data(), text.data() + text.size());
    const double memmemSeconds = MemmemSeconds(text);
    std::optional<uint32_t> at;
    double best = 1e9;
    for (auto _ : state) {
        best = std::min(best, BestSeconds(1, [&] {
                            at = stx::FindInBuffer(buffer, 0, UINT32_MAX, kNeedle, flags);
                        }));
    }
    if (at != text.size() - 12) state.SkipWithError("match not found at the end");
    Report(state, text.size(), best, memmemSeconds);
}
BENCHMARK(BM_FindNextInDocument)
    ->Arg(0)
    ->Arg(stx::kMatchCase)
    ->Arg(stx::kMatchWholeWord)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// The matcher alone over the same bytes held flat.
void BM_MatcherOverFlatBytes(benchmark::State& state) {
    const std::string& text = FindText();
    const auto flags = static_cast<uint32_t>(state.range(0));
    const stx::TextMatcher matcher(kNeedle, flags);
    const double memmemSeconds = MemmemSeconds(text);
    double best = 1e9;
    for (auto _ : state)
        best =
            std::min(best, BestSeconds(1, [&] { benchmark::DoNotOptimize(matcher.Find(text)); }));
    Report(state, text.size(), best, memmemSeconds);
}
BENCHMARK(BM_MatcherOverFlatBytes)
    ->Arg(0)
    ->Arg(stx::kMatchCase)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// Replace all next from the top, each replacement its own undo step, as the
// Replace dialog does it.
void BM_ReplaceAll(benchmark::State& state) {
    static const std::string text = stx::bench::AssemblerText(10u * 1024 * 1024);
    const char* word = "edx";
    size_t count = 0;
    for (const char* p = text.data();
         (p = static_cast<const char*>(memmem(p, size_t(text.data() + text.size() - p), word, 3)));
         ++p)
        ++count;
    double best = 1e9;
    int32_t replaced = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto editor = std::make_unique<stx::TextEditor>();
        editor->Parse(text.data(), text.data() + text.size());
        stx::EditorSearchTarget target(*editor);
        stx::SearchMemory memory;
        memory.flags = stx::kMatchCase;
        stx::ReplaceSession session(memory, target);
        state.ResumeTiming();
        best = std::min(best, BestSeconds(1, [&] { session.ReplaceAll(word, "EDX"); }));
        replaced = session.Count();
        state.PauseTiming();
        editor.reset();
        state.ResumeTiming();
    }
    if (size_t(replaced) != count) state.SkipWithError("not every match was replaced");
    state.counters["matches"] = double(replaced);
    state.counters["best_s"] = best;
    state.counters["per_100k_s"] = best * 100000.0 / double(replaced);
}
BENCHMARK(BM_ReplaceAll)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
