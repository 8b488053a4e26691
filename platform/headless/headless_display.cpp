#include "headless_display.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <poll.h>

namespace platform {

namespace {

constexpr LONGLONG kNanosecondsPerCount = 1'000'000'000 / kCountsPerSecond;
constexpr LONGLONG kCountsPerMillisecond = kCountsPerSecond / 1000;
constexpr LONGLONG kLongestPoll = 3'600'000;  // milliseconds; a longer wait is taken in steps

timespec Monotonic() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now;
}

LONGLONG CountsBetween(const timespec& from, const timespec& to) {
    LONGLONG nanoseconds = (static_cast<LONGLONG>(to.tv_sec) - from.tv_sec) * 1'000'000'000 + (to.tv_nsec - from.tv_nsec);
    return nanoseconds / kNanosecondsPerCount;
}

timespec After(const timespec& start, LONGLONG counts) {
    LONGLONG nanoseconds = start.tv_nsec + counts * kNanosecondsPerCount;
    timespec at{};
    at.tv_sec = start.tv_sec + static_cast<time_t>(nanoseconds / 1'000'000'000);
    at.tv_nsec = static_cast<long>(nanoseconds % 1'000'000'000);
    return at;
}

}  // namespace

HeadlessDisplay::HeadlessDisplay(bool realtime) : realtime_(realtime), start_(Monotonic()) {}

LONGLONG HeadlessDisplay::Counter() { return realtime_ ? CountsBetween(start_, Monotonic()) : virtualCounter_; }

void HeadlessDisplay::Present(const Frame&) { NextRefresh(); }

void HeadlessDisplay::SkipRefresh() { NextRefresh(); }

void HeadlessDisplay::NextRefresh() {
    if (!realtime_) {
        virtualCounter_ += kRefreshCounts;
        return;
    }
    // Sleep to the next refresh of a display that started with the program.
    LONGLONG next = (Counter() / kRefreshCounts + 1) * kRefreshCounts;
    timespec at = After(start_, next);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
    }
}

void HeadlessDisplay::Poll(std::vector<HostEvent>&) {}

void HeadlessDisplay::Wait(std::optional<LONGLONG> until, int wakeFd) {
    if (until && !realtime_) {
        if (*until > virtualCounter_) virtualCounter_ = *until;
        return;
    }
    pollfd wake{wakeFd, POLLIN, 0};
    if (!until) {
        // Nothing scripted lies ahead: only a signal can end the wait.
        poll(&wake, 1, -1);
        return;
    }
    for (LONGLONG left; (left = *until - Counter()) > 0;) {
        LONGLONG milliseconds = std::min<LONGLONG>((left + kCountsPerMillisecond - 1) / kCountsPerMillisecond, kLongestPoll);
        if (poll(&wake, 1, static_cast<int>(milliseconds)) > 0) return;
    }
}

void HeadlessDisplay::ShowMessage(const char* caption, const char* text) {
    std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
}

void HeadlessDisplay::ShowPointer(bool) {}

}  // namespace platform
