// For tests that run platform code in their own process: a fresh run, the
// same scripts of events and failures that the command line gives a program,
// and a look at what the display was given.
#ifndef PLATFORM_TESTING_RUNTIME_CONTROL_H
#define PLATFORM_TESTING_RUNTIME_CONTROL_H

#include "runtime/options.h"

#include <string>
#include <string_view>
#include <vector>

namespace platform::testing {

// Forgets every window, class, message and presented frame and starts a new
// run with these options: a headless display whose virtual clock reads 0.
void ResetPlatform(const Options& options = Options{});

// As --events: appends events at virtual milliseconds. False on a syntax error.
bool ScriptEvents(std::string_view list);

// As --fail CALL[@N][:RESULT]. False on a syntax error.
bool ScriptFailure(std::string_view failure);

// Lock answers DDERR_WASSTILLDRAWING this many more times.
void ScriptStillDrawing(unsigned long count);

// Takes the display away at once (every surface is lost and cannot be
// restored) or gives it back, as the lose and regain events do.
void SetDisplayAway(bool away);

// The Windows name of the call that last asked whether it is scripted to fail.
std::string LastCallAsked();

// A frame as a flip presented it.
struct PresentedFrame {
    std::vector<BYTE> pixels;  // height rows of width bytes
    LONG pitch = 0;
    DWORD width = 0;
    DWORD height = 0;
    bool hasPalette = false;            // none attached: shown through the default ramp
    std::vector<PALETTEENTRY> palette;  // 256 entries when hasPalette
};

// The frames presented since ResetPlatform, oldest first.
const std::vector<PresentedFrame>& PresentedFrames();

}  // namespace platform::testing

#endif
