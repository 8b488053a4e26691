#include "../headless/headless_display.h"
#include "options.h"

namespace platform {

// Every run is headless until a backend for a window system exists; this is
// where one would be chosen when the host has a display and --headless is absent.
std::unique_ptr<Display> CreateDisplay(const Options& options) {
    return std::make_unique<HeadlessDisplay>(options.realtime);
}

}  // namespace platform
