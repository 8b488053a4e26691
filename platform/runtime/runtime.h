// What the Windows and DirectDraw calls need from the running platform: the
// display that shows the frames and paces the flips, and the failures that tests
// and the command line script. The calls (platform/api) use these; the runtime
// and the display backends (platform/runtime, platform/headless, platform/sdl)
// provide them.
#ifndef PLATFORM_RUNTIME_RUNTIME_H
#define PLATFORM_RUNTIME_RUNTIME_H

#include <windows.h>

namespace platform {

// Fault injection: the result that the named call (its Windows name, such as
// "Lock" or "DirectDrawCreate") is scripted to fail with, or S_OK when it is
// to do its work.
HRESULT ScriptedFailure(const char* call);

// True when this call of Lock is to answer DDERR_WASSTILLDRAWING (a test asks
// for a number of such answers).
bool TakeStillDrawing();

// True while the display is taken away from the program (deactivated or
// minimised in full screen): surfaces are lost and cannot be restored.
bool DisplayAway();

// Shows a flipped front buffer through its palette (null: no palette attached)
// and waits for the next refresh of the emulated 60 Hz display.
void PresentFrame(const BYTE* pixels, LONG pitch, DWORD width, DWORD height, const PALETTEENTRY* palette);

// A colour fill or flip failed because the display is away: one refresh passes
// all the same, so that a program that keeps trying never stalls in time.
void MissedRefresh();

// The window has taken (true) or given back (false) the display in exclusive
// full-screen mode. While it holds it, minimising the window takes the display
// away (every surface is lost) and restoring the window gives it back.
void SetExclusiveMode(HWND window, bool exclusive);

// Provided by the DirectDraw implementation: marks every live surface lost,
// when the runtime takes the display away.
void LoseAllSurfaces();

}  // namespace platform

#endif
