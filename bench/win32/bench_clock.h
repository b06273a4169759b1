#pragma once
// The clock of the Win32 benchmarks.
#include <windows.h>

namespace stx::bench {

// Seconds from the performance counter.
inline double Now() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

} // namespace stx::bench
