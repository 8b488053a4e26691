// What makes the shell the tumbling die.
#include "die.h"
#include "resources/resource.h"
#include "shell/program.h"

extern const char ProgramClassName[] = "Tumblor";
extern const char ProgramTitle[] = "Study for algorithm Sample";
extern const LPCSTR TextureName = MAKEINTRESOURCEA(IDB_TEXTURE);
// The die's first frame after an idle wait covers the whole wait.
extern const BOOL ResetClockAfterIdleWait = FALSE;
extern void (*const SceneRoutine)(LPDIRECTDRAWSURFACE4, int32_t) = DrawTexturedDie;
