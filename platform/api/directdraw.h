// The DirectDraw object: the display's cooperative level and mode, and the
// maker of surfaces and palettes.
#ifndef PLATFORM_API_DIRECTDRAW_H
#define PLATFORM_API_DIRECTDRAW_H

#include <cstddef>

namespace platform {

// DirectDraw objects alive now; tests use it to find leaks and double releases.
size_t LiveDirectDrawCount();

}  // namespace platform

#endif
