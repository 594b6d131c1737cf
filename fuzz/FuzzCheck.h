#pragma once
// What the fuzz targets share: a check that stops the run with its reason
// (libFuzzer then keeps the input that broke it), and the fixed moment and
// time zone they work in, so that a run depends on its input alone.

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "model/Calendar.h"

namespace almanary::fuzz {

// 2026-12-01 00:00 UTC.
inline constexpr DateTime kNow = 1796083200;

inline void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

// A zone with summer time, so that skipped and repeated hours are reached.
inline void useFixedZone() {
    ::setenv("TZ", "Europe/Berlin", 1);
    ::tzset();
}

}  // namespace almanary::fuzz
