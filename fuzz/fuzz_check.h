// What the fuzz programs share: a check that stops the run with a message,
// so libFuzzer keeps the input as a crash.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace stx::fuzz {

[[noreturn]] inline void Fail(const char* what, const char* file, int line,
                              const std::string& detail = {}) {
    std::fprintf(stderr, "\n%s:%d: check failed: %s\n%s\n", file, line, what, detail.c_str());
    std::abort();
}

} // namespace stx::fuzz

#define STX_FUZZ_CHECK(cond) ((cond) ? (void)0 : ::stx::fuzz::Fail(#cond, __FILE__, __LINE__))
#define STX_FUZZ_CHECK_MSG(cond, detail)                                                           \
    ((cond) ? (void)0 : ::stx::fuzz::Fail(#cond, __FILE__, __LINE__, (detail)))
