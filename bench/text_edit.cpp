// Single edits and their undo in a 1,000,000-line document, at the first,
// middle and last line, against one memchr line count over the same bytes
// (a linear pass: an edit must cost a tiny fraction of it).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>

#include "bench/text_bench_util.h"
#include "text/text_editor.h"

namespace {

constexpr uint32_t kLines = 1000000;

const std::string& Document() {
    static const std::string text = [] {
        std::string s = stx::bench::AssemblerText(40u << 20);
        size_t pos = 0;
        for (uint32_t n = 1; n < kLines; ++n)
            pos = s.find("\r\n", pos) + 2;
        s.resize(s.find("\r\n", pos)); // exactly kLines lines
        return s;
    }();
    return text;
}

double MemchrSeconds() {
    const std::string& s = Document();
    double best = 1e9;
    for (int i = 0; i < 5; ++i) {
        auto t0 = std::chrono::steady_clock::now();
        size_t n = 1;
        const char* p = s.data();
        const char* e = p + s.size();
        while ((p = static_cast<const char*>(std::memchr(p, '\n', size_t(e - p)))))
            ++n, ++p;
        benchmark::DoNotOptimize(n);
        best = std::min(best, stx::bench::Seconds(std::chrono::steady_clock::now() - t0));
    }
    return best;
}

stx::TextEditor& Editor() {
    static stx::TextEditor* editor = [] {
        auto* ed = new stx::TextEditor();
        stx::ViewGeometry v;
        v.lineHeight = 16;
        v.viewHeight = 800;
        v.viewWidth = 1200;
        ed->SetView(v);
        const std::string& s = Document();
        ed->Parse(s.data(), s.data() + s.size());
        return ed;
    }();
    return *editor;
}

enum Op { kType, kEnter, kJoin, kPaste };
const char* const kOpNames[] = {"type", "enter", "backspace_join", "paste_10_lines"};

void BM_Edit(benchmark::State& state) {
    const Op op = static_cast<Op>(state.range(0));
    const uint32_t where = static_cast<uint32_t>(state.range(1)); // 0 first, 1 middle, 2 last
    stx::TextEditor& ed = Editor();
    const double linear = MemchrSeconds();
    std::string block;
    for (int i = 0; i < 10; ++i)
        block += "\tmov\teax, 1234h\t; pasted\r\n";
    uint32_t line = where == 0 ? 1 : where == 1 ? kLines / 2 : kLines;
    if (op == kJoin && line == 1) line = 2;
    const uint32_t offset = ed.Buffer().LineStartOffset(line) + (op == kJoin ? 0 : 3);
    const std::string before = std::to_string(ed.Buffer().TotalBytes());

    double opTotal = 0, undoTotal = 0, opMax = 0, undoMax = 0;
    for (auto _ : state) {
        ed.SetSelection(offset, offset);
        auto t0 = std::chrono::steady_clock::now();
        switch (op) {
        case kType:
            ed.Char('x');
            break;
        case kEnter:
            ed.Char('\r');
            break;
        case kJoin:
            ed.Char('\b');
            break;
        case kPaste:
            ed.InsertText(block.c_str());
            break;
        }
        auto t1 = std::chrono::steady_clock::now();
        ed.Undo();
        auto t2 = std::chrono::steady_clock::now();
        ed.TakeRepaint();
        double a = stx::bench::Seconds(t1 - t0), b = stx::bench::Seconds(t2 - t1);
        opTotal += a;
        undoTotal += b;
        opMax = std::max(opMax, a);
        undoMax = std::max(undoMax, b);
    }
    if (std::to_string(ed.Buffer().TotalBytes()) != before) state.SkipWithError("undo lost text");
    const double n = double(state.iterations());
    state.SetLabel(std::string(kOpNames[op]) + (where == 0   ? " @first"
                                                : where == 1 ? " @middle"
                                                             : " @last"));
    state.counters["op_us"] = opTotal / n * 1e6;
    state.counters["undo_us"] = undoTotal / n * 1e6;
    state.counters["op_max_us"] = opMax * 1e6;
    state.counters["undo_max_us"] = undoMax * 1e6;
    state.counters["x_memchr_pass"] = std::max(opMax, undoMax) / linear;
}
BENCHMARK(BM_Edit)->ArgsProduct({{kType, kEnter, kJoin, kPaste}, {0, 1, 2}})->Iterations(2000);

} // namespace

BENCHMARK_MAIN();
