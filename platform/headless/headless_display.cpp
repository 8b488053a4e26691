#include "headless_display.h"

#include <cstdio>
#include <poll.h>

namespace platform {

namespace {

constexpr int kLongestPoll = 3'600'000;  // milliseconds; a longer wait is taken in steps

}  // namespace

HeadlessDisplay::HeadlessDisplay(bool realtime) : realtime_(realtime) {}

LONGLONG HeadlessDisplay::Counter() { return realtime_ ? clock_.Counter() : virtualCounter_; }

void HeadlessDisplay::Present(const Frame&) { NextRefresh(); }

void HeadlessDisplay::SkipRefresh() { NextRefresh(); }

void HeadlessDisplay::NextRefresh() {
    if (!realtime_) {
        virtualCounter_ += kRefreshCounts;
        return;
    }
    clock_.SleepToNextRefresh();
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
    for (int milliseconds; (milliseconds = clock_.MillisecondsUntil(*until, kLongestPoll)) > 0;)
        if (poll(&wake, 1, milliseconds) > 0) return;
}

void HeadlessDisplay::ShowMessage(const char* caption, const char* text) {
    std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
}

void HeadlessDisplay::ShowPointer(bool) {}

void HeadlessDisplay::OpenWindow(const char*, const Icon*) {}

void HeadlessDisplay::CloseWindow() {}

}  // namespace platform
