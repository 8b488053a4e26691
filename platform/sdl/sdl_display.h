// The display on a desktop: the emulated screen in a window of the host's,
// through SDL, full screen on the desktop's current mode by default.
#ifndef PLATFORM_SDL_SDL_DISPLAY_H
#define PLATFORM_SDL_SDL_DISPLAY_H

#include "../api/host.h"

#include <memory>
#include <string>

namespace platform {

// The display for a host with a window system, full screen or in an ordinary
// window, or null, with the reason, when SDL cannot reach one.
std::unique_ptr<Display> CreateSdlDisplay(bool window, bool integerScale, std::string& error);

// The largest whole number by which a width x height picture fits an area of
// areaWidth x areaHeight, and at least 1.
int WholeScale(int areaWidth, int areaHeight, int width, int height);

struct PictureArea {
    int x;
    int y;
    int width;
    int height;
};

// Where a width x height picture goes in an output of outputWidth x
// outputHeight: in the middle, as large as it fits with its aspect kept (by a
// whole scale, when asked, which may overflow an output smaller than the
// picture). Nothing for an empty picture or output.
PictureArea FitPicture(int outputWidth, int outputHeight, int width, int height, bool wholeScale);

}  // namespace platform

#endif
