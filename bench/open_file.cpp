// Opens a document as the editor does (reads and parses it, then everything
// the first paint of a 1280 x 1024 view needs: the page's lines laid out, the
// status bar's token, the paint of 8 planes onto a surface that only counts)
// and exits.
//
//   open_file FILE             one open, with what each part took
//   open_file --paired N FILE  N paired whole-process runs of this program and
//                              of the baseline "vim -u NONE -n -es +q FILE",
//                              their medians, the ratio, and the peak memory
//                              of the open against the file's size
//   open_file --make MB FILE   writes an assembler-like test file of MB MiB
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/status_texts.h"
#include "bench/text_bench_util.h"
#include "bench/view_document.h"
#include "text/text_editor.h"
#include "view/paint_plan.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// The file read with positional reads, so both halves can be read at once.
class FileSource final : public stx::ByteSource {
  public:
    explicit FileSource(int fd, uint64_t size) : fd_(fd), size_(size) {}
    uint64_t Size() const override { return size_; }
    bool Read(uint64_t offset, char* destination, size_t size) override {
        while (size > 0) {
            const ssize_t got = pread(fd_, destination, size, static_cast<off_t>(offset));
            if (got <= 0) return false;
            destination += got;
            offset += static_cast<uint64_t>(got);
            size -= static_cast<size_t>(got);
        }
        return true;
    }

  private:
    int fd_;
    uint64_t size_;
};

int OpenOnce(const char* path) {
    using namespace stx;
    const auto t0 = Clock::now();
    const int fd = open(path, O_RDONLY);
    struct stat st {};
    if (fd < 0 || fstat(fd, &st) != 0) {
        std::fprintf(stderr, "cannot open %s\n", path);
        return 1;
    }
    FileSource source(fd, static_cast<uint64_t>(st.st_size));

    RenderSettings settings;
    PlaneTables planes;
    CaretAnimation animation;
    TextEditor editor;
    ViewGeometry view = editor.View();
    ApplyRenderSettings(settings, planes, animation, view, editor.Buffer().Widths());
    view.viewWidth = 1280;
    view.viewHeight = 1024;
    editor.SetView(view);

    const TextStatus status = editor.Parse(source);
    close(fd);
    if (status != TextStatus::Ok) {
        std::fprintf(stderr, "open failed: %d\n", static_cast<int>(status));
        return 1;
    }
    const auto t1 = Clock::now();

    editor.ScrollCaretIntoView();
    const Token token = TokenAtCaret(editor.Buffer(), editor.GetCaret());
    CountingSurface surface;
    const PaintScene scene{editor.Buffer(),
                           editor.GetCaret(),
                           editor.GetSelection(),
                           editor.GetTopLine(),
                           editor.View(),
                           settings,
                           planes,
                           animation,
                           false,
                           CharUnderCaret(editor.Buffer(), editor.GetCaret()),
                           {}};
    PaintView(surface, scene,
              Rect{0, 0, static_cast<int>(view.viewWidth), static_cast<int>(view.viewHeight)});
    const auto t2 = Clock::now();

    const TextBuffer& b = editor.Buffer();
    std::printf("%s: %u lines, %u bytes; parse %.3f s, first paint %.3f ms (%llu characters, "
                "token %u), storage %.3f bytes per byte\n",
                path, b.LineCount(), b.TotalBytes(), Seconds(t1 - t0), Seconds(t2 - t1) * 1e3,
                static_cast<unsigned long long>(surface.characters), token.count,
                double(b.StorageBytes()) / double(std::max<uint64_t>(1, b.TotalBytes())));
    return 0;
}

// Wall time and peak resident memory of one whole child process.
struct Run {
    double seconds;
    double peakBytes;
};

Run RunChild(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const auto t0 = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    wait4(pid, &status, 0, &usage);
    const double seconds = Seconds(Clock::now() - t0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed\n", args[0].c_str());
        std::exit(1);
    }
    return Run{seconds, double(usage.ru_maxrss) * 1024.0};
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

int Paired(const char* self, int rounds, const char* path) {
    struct stat st {};
    if (stat(path, &st) != 0) {
        std::fprintf(stderr, "cannot open %s\n", path);
        return 1;
    }
    const std::vector<std::string> ours{self, path};
    const std::vector<std::string> vim{"vim", "-u", "NONE", "-n", "-es", "+q", path};
    // Both read the file once first, so both find it in the page cache.
    RunChild(ours);
    RunChild(vim);
    std::vector<double> a, b, ratios, peaks;
    for (int i = 0; i < rounds; ++i) {
        // Alternating which goes first evens out drifts of the machine.
        Run x, y;
        if (i % 2) {
            y = RunChild(vim);
            x = RunChild(ours);
        } else {
            x = RunChild(ours);
            y = RunChild(vim);
        }
        a.push_back(x.seconds);
        b.push_back(y.seconds);
        ratios.push_back(x.seconds / y.seconds);
        peaks.push_back(x.peakBytes);
    }
    const double size = double(st.st_size);
    std::printf("%d paired runs on %s (%.1f MB)\n", rounds, path, size / (1024.0 * 1024.0));
    std::printf("open_file median %.3f s, vim median %.3f s, ratio of medians %.2f, median of "
                "paired ratios %.2f (target 0.50 or less)\n",
                Median(a), Median(b), Median(a) / Median(b), Median(ratios));
    std::printf("peak memory of the open: %.0f MB, %.2f times the file (target 2 or less)\n",
                Median(peaks) / (1024.0 * 1024.0), Median(peaks) / size);
    return 0;
}

int Make(int megabytes, const char* path) {
    const std::string text = stx::bench::AssemblerText(size_t(megabytes) << 20);
    FILE* f = std::fopen(path, "wb");
    if (!f || std::fwrite(text.data(), 1, text.size(), f) != text.size() || std::fclose(f) != 0) {
        std::fprintf(stderr, "cannot write %s\n", path);
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2) return OpenOnce(argv[1]);
    if (argc == 4 && std::strcmp(argv[1], "--paired") == 0)
        return Paired(argv[0], std::max(1, std::atoi(argv[2])), argv[3]);
    if (argc == 4 && std::strcmp(argv[1], "--make") == 0)
        return Make(std::max(1, std::atoi(argv[2])), argv[3]);
    std::fprintf(stderr,
                 "usage: open_file FILE | open_file --paired N FILE | open_file --make MB FILE\n");
    return 2;
}
