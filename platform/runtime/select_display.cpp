#include "../headless/headless_display.h"
#include "../sdl/sdl_display.h"
#include "session.h"

#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {

bool HostHasDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value && *value) return true;
    }
    return false;
}

}  // namespace

// A window wherever the host has a display that SDL can open, unless the run
// asks for none.
std::unique_ptr<Display> CreateDisplay(const Options& options) {
    if (!options.headless && HostHasDisplay()) {
        std::string error;
        if (std::unique_ptr<Display> display = CreateSdlDisplay(options.window, options.integerScale, error)) return display;
        std::fprintf(stderr, "cannot open the display (%s): running headless\n", error.c_str());
    }
    return std::make_unique<HeadlessDisplay>(options.realtime);
}

}  // namespace platform
