// Shared by the text benchmarks: generated documents and memory figures.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

namespace stx::bench {

// Deterministic assembler-like source: labels, instructions with tabs,
// decimal and hex numbers, comments, data lines, blank lines, CR LF.
inline std::string AssemblerText(size_t bytes, uint32_t seed = 12345) {
    static const char* const kOps[] = {"mov", "add", "sub", "cmp", "push", "pop",  "lea",
                                       "xor", "and", "or",  "shl", "jnz",  "call", "inc"};
    static const char* const kRegs[] = {"eax", "ebx", "ecx", "edx", "esi", "edi", "ebp", "esp"};
    static const char* const kWords[] = {"load",  "the",  "next",  "value", "into", "buffer",
                                         "count", "loop", "until", "done",  "save", "result"};
    std::string s;
    s.reserve(bytes + 256);
    uint32_t x = seed;
    auto rnd = [&x](uint32_t n) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        return x % n;
    };
    char buf[256];
    uint32_t label = 0;
    while (s.size() < bytes) {
        uint32_t kind = rnd(20);
        if (kind == 0) {
            s += "\r\n";
        } else if (kind == 1) {
            std::snprintf(buf, sizeof buf, "label_%u:\r\n", label++);
            s += buf;
        } else if (kind == 2) {
            std::snprintf(buf, sizeof buf, "; ---- %s %s %u ----\r\n", kWords[rnd(12)],
                          kWords[rnd(12)], rnd(1000));
            s += buf;
        } else if (kind == 3) {
            std::snprintf(buf, sizeof buf, "msg%u\tdb\t\"%s %s\", %u, %u, 0\r\n", rnd(500),
                          kWords[rnd(12)], kWords[rnd(12)], 13, 10);
            s += buf;
        } else {
            const char* op = kOps[rnd(14)];
            const char* r1 = kRegs[rnd(8)];
            switch (rnd(4)) {
            case 0:
                std::snprintf(buf, sizeof buf, "\t%s\t%s, %s\r\n", op, r1, kRegs[rnd(8)]);
                break;
            case 1:
                std::snprintf(buf, sizeof buf, "\t%s\t%s, 0%Xh\t\t; %s %s\r\n", op, r1, rnd(65536),
                              kWords[rnd(12)], kWords[rnd(12)]);
                break;
            case 2:
                std::snprintf(buf, sizeof buf, "\t%s\t%s, [%s+%u]\r\n", op, r1, kRegs[rnd(8)],
                              rnd(64) * 4);
                break;
            default:
                std::snprintf(buf, sizeof buf, "\t%s\t%s, %u\t; %s %s %s\r\n", op, r1, rnd(1000),
                              kWords[rnd(12)], kWords[rnd(12)], kWords[rnd(12)]);
                break;
            }
            s += buf;
        }
    }
    return s;
}

// Resident and peak resident memory in bytes (Linux).
inline size_t ProcStatusBytes(const char* field) {
    FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return 0;
    char line[256];
    size_t kb = 0;
    size_t len = std::strlen(field);
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, field, len) == 0) kb = std::strtoull(line + len + 1, nullptr, 10);
    std::fclose(f);
    return kb * 1024;
}
inline void ResetPeakMemory() {
    if (FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", f);
        std::fclose(f);
    }
}

inline double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// CPU time of the calling thread in seconds: on a machine shared with other
// work the wall clock measures the neighbours too.
inline double ThreadSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

} // namespace stx::bench
