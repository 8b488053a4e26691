// What each program hands the shell: the one place where the two programs
// differ as far as the shell is concerned.
#ifndef SHELL_PROGRAM_H
#define SHELL_PROGRAM_H

#include <ddraw.h>

#include <cstdint>

extern const char ProgramClassName[];
extern const char ProgramTitle[];

// The bitmap resource that holds the texture and whose colour table becomes
// the screen palette; NULL for a program without one.
extern const LPCSTR TextureName;

// Whether the frame clock restarts after every idle wait, so that the time
// spent minimised never reaches the scene.
extern const BOOL ResetClockAfterIdleWait;

// Draws one frame into the back buffer, given the ticks since the last one.
extern void (*const SceneRoutine)(LPDIRECTDRAWSURFACE4 target, int32_t ticks);

#endif
