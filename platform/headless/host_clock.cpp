#include "host_clock.h"

#include <algorithm>
#include <cerrno>

namespace platform {

namespace {

constexpr LONGLONG kNanosecondsPerSecond = 1'000'000'000;
constexpr LONGLONG kNanosecondsPerCount = kNanosecondsPerSecond / kCountsPerSecond;
constexpr LONGLONG kCountsPerMillisecond = kCountsPerSecond / 1000;

timespec Monotonic() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now;
}

}  // namespace

HostClock::HostClock() : start_(Monotonic()) {}

LONGLONG HostClock::Counter() const {
    timespec now = Monotonic();
    LONGLONG nanoseconds =
        (static_cast<LONGLONG>(now.tv_sec) - start_.tv_sec) * kNanosecondsPerSecond + (now.tv_nsec - start_.tv_nsec);
    return nanoseconds / kNanosecondsPerCount;
}

void HostClock::SleepToNextRefresh() const {
    LONGLONG next = (Counter() / kRefreshCounts + 1) * kRefreshCounts;
    LONGLONG nanoseconds = start_.tv_nsec + next * kNanosecondsPerCount;
    timespec at{};
    at.tv_sec = start_.tv_sec + static_cast<time_t>(nanoseconds / kNanosecondsPerSecond);
    at.tv_nsec = static_cast<long>(nanoseconds % kNanosecondsPerSecond);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
    }
}

int HostClock::MillisecondsUntil(LONGLONG counts, int longest) const {
    LONGLONG left = counts - Counter();
    if (left <= 0) return 0;
    return static_cast<int>(std::min<LONGLONG>((left + kCountsPerMillisecond - 1) / kCountsPerMillisecond, longest));
}

}  // namespace platform
