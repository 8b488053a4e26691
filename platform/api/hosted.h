// The calls' side of the host: the installed display and fault script, the
// display's state (taken away or not, owned in exclusive mode) and the
// delivery of host events as window messages.
#ifndef PLATFORM_API_HOSTED_H
#define PLATFORM_API_HOSTED_H

#include "host.h"

namespace platform {

// The result that the named call is scripted to fail with, or S_OK.
HRESULT ScriptedFailure(const char* call);

// True when this call of Lock is to answer DDERR_WASSTILLDRAWING.
bool TakeStillDrawing();

// True while the display is taken away from the program (deactivated or
// minimised in full screen): surfaces are lost and cannot be restored.
bool DisplayAway();

// The clock of the display, in counts of kCountsPerSecond.
LONGLONG Counter();

// Shows a flipped front buffer through its palette (null: none attached, the
// default ramp) and waits for the next refresh of the emulated 60 Hz display.
void PresentFrame(const BYTE* pixels, LONG pitch, DWORD width, DWORD height, const PALETTEENTRY* palette);

// A colour fill or flip failed because the display is away: one refresh passes
// all the same, so that a program that keeps trying never stalls in time.
void MissedRefresh();

// The message loop looked for a message and found none: one turn of a
// drawing program's loop. When frames have failed twice in a row without
// the clock moving, the turn lets a refresh pass.
void LoopFoundNoMessage();

// Delivers what the host has made due as window messages. True when anything
// was delivered.
bool DeliverEvents();

// Blocks until DeliverEvents may have something.
void WaitForEvents();

void ShowPointer(bool visible);
void ShowMessageBox(const char* caption, const char* text);

// The program's main window has appeared on the screen with this title and
// icon, or has gone.
void OpenHostWindow(const char* title, HICON icon);
void CloseHostWindow();

// Full-screen exclusive mode: while the window owns the display, minimising
// it takes the display away and restoring it gives it back.
void SetExclusiveMode(HWND window, bool exclusive);
bool IsExclusiveWindow(HWND window);
void TakeDisplay();
void GiveDisplayBack();

// Marks every live surface lost, when the display is taken away.
void LoseAllSurfaces();

}  // namespace platform

#endif
