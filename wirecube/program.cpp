// What makes the shell the wire-frame cube.
#include "cube.h"
#include "shell/program.h"

extern const char ProgramClassName[] = "Skelvane01";
extern const char ProgramTitle[] = "Skelvane No.1";
extern const LPCSTR TextureName = NULL;
extern const BOOL ResetClockAfterIdleWait = TRUE;
extern void (*const SceneRoutine)(LPDIRECTDRAWSURFACE4, int32_t) = DrawWireCube;
