#include "platform/FrameClock.h"

#include <time.h>

namespace {

constexpr int64_t nanosecondsPerSecond = 1000000000;

} // namespace

int64_t CFrameClock::QueryCounter() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * nanosecondsPerSecond + now.tv_nsec;
}

int64_t CFrameClock::QueryFrequency() {
    return nanosecondsPerSecond;
}
