// The real clock of a display that keeps the host's time: the monotonic clock
// in counts since the display started, and the refreshes of the emulated 60 Hz
// display, which fall every kRefreshCounts from that start. Waiting for the next
// refresh on this fixed grid is what a flip on the real display does: the pace
// never drifts, and a program that falls behind waits for the next refresh to
// come instead of bursting to catch up.
#ifndef PLATFORM_HEADLESS_HOST_CLOCK_H
#define PLATFORM_HEADLESS_HOST_CLOCK_H

#include "../api/host.h"

#include <ctime>

namespace platform {

class HostClock {
public:
    HostClock();

    LONGLONG Counter() const;

    // Sleeps until the first refresh after now.
    void SleepToNextRefresh() const;

    // Milliseconds from now until the clock reaches `counts`, rounded up so that
    // a wait of that length does not end early, and at most `longest`.
    int MillisecondsUntil(LONGLONG counts, int longest) const;

private:
    timespec start_{};
};

}  // namespace platform

#endif
