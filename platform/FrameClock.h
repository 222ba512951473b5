#pragma once

#include <cstdint>

// The high-resolution frame clock: a monotonic counter and its rate. Counter
// values only mean something as differences; they never go backwards.
class CFrameClock {
public:
    // Ticks since an arbitrary fixed point (nanoseconds of CLOCK_MONOTONIC).
    static int64_t QueryCounter();
    // Ticks per second.
    static int64_t QueryFrequency();
};
