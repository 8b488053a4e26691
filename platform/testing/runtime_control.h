// For tests that run platform code in their own process: a fresh run, and the
// same scripts of events and failures that the command line gives a program.
#ifndef PLATFORM_TESTING_RUNTIME_CONTROL_H
#define PLATFORM_TESTING_RUNTIME_CONTROL_H

#include "runtime/options.h"

#include <string_view>

namespace platform::testing {

// Forgets every window, class and message and starts a new run with these
// options: a headless display whose virtual clock reads 0.
void ResetPlatform(const Options& options = Options{});

// As --events: appends events at virtual milliseconds. False on a syntax error.
bool ScriptEvents(std::string_view list);

// As --fail CALL[@N][:RESULT]. False on a syntax error.
bool ScriptFailure(std::string_view failure);

// Lock answers DDERR_WASSTILLDRAWING this many more times.
void ScriptStillDrawing(unsigned long count);

}  // namespace platform::testing

#endif
