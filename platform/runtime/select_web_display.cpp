#include "../web/web_display.h"
#include "session.h"

namespace platform {

// In a web page the canvas is the only display; --headless keeps it and only
// puts it on the virtual clock, so that a page can show a deterministic run.
std::unique_ptr<Display> CreateDisplay(const Options& options) {
    return CreateWebDisplay(options.headless && !options.realtime);
}

}  // namespace platform
