// Insert data of a 10 MB file with the dialog's first choices: formatting and
// the insertion into a document, against parsing the same text as a new
// document in the same run. Figures are thread CPU time.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

#include "bench/text_bench_util.h"
#include "text/text_editor.h"
#include "tools/insert_data.h"

namespace {

void BM_InsertData(benchmark::State& state) {
    std::string file(10u * 1024 * 1024, '\0');
    std::mt19937 rng(3);
    for (char& c : file)
        c = static_cast<char>(rng());
    const stx::InsertDataOptions options;
    const std::string document = stx::bench::AssemblerText(64 * 1024);

    double parseBest = 1e9, formatBest = 1e9, totalBest = 1e9;
    size_t textBytes = 0;
    for (auto _ : state) {
        auto editor = std::make_unique<stx::TextEditor>();
        editor->Parse(document.data(), document.data() + document.size());
        editor->SetSelection(1000, 1000);
        const double t0 = stx::bench::ThreadSeconds();
        const std::string text = stx::FormatData(file, options, stx::DataIdentifier("data.bin"));
        const double t1 = stx::bench::ThreadSeconds();
        if (editor->InsertText(text.data(), text.size()) != stx::TextStatus::Ok)
            state.SkipWithError("insertion failed");
        const double t2 = stx::bench::ThreadSeconds();
        formatBest = std::min(formatBest, t1 - t0);
        totalBest = std::min(totalBest, t2 - t0);
        textBytes = text.size();

        stx::TextBuffer fresh;
        const double t3 = stx::bench::ThreadSeconds();
        fresh.Parse(text.data(), text.data() + text.size());
        parseBest = std::min(parseBest, stx::bench::ThreadSeconds() - t3);
    }
    state.counters["text_MB"] = double(textBytes) / 1e6;
    state.counters["format_s"] = formatBest;
    state.counters["insert_total_s"] = totalBest;
    state.counters["parse_same_text_s"] = parseBest;
    state.counters["x_parse"] = totalBest / parseBest;
}
BENCHMARK(BM_InsertData)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
