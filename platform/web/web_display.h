// The display in a web page: the emulated screen on the page's canvas, the
// page's keys, visibility and full screen as the host's events, and message
// boxes as an element of the page. The page side lives in web_display.js.
#ifndef PLATFORM_WEB_WEB_DISPLAY_H
#define PLATFORM_WEB_WEB_DISPLAY_H

#include "../api/host.h"

#include <memory>

namespace platform {

// With a virtual clock, the clock moves only by refreshes and scripted waits,
// as on the headless display, so that the page shows the same frames on every
// run; the frames still reach the canvas, one per browser frame.
std::unique_ptr<Display> CreateWebDisplay(bool virtualClock);

}  // namespace platform

#endif
