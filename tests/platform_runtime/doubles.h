#ifndef TESTS_PLATFORM_RUNTIME_DOUBLES_H
#define TESTS_PLATFORM_RUNTIME_DOUBLES_H

#include "runtime/runtime.h"

namespace platform {

// How often the stand-in LoseAllSurfaces was called.
extern int lostSurfaceCalls;

}  // namespace platform

#endif
