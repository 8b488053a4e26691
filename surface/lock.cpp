#include "surface.h"

// A surface still busy with an earlier blit or flip says so; asking again at
// once is all it takes.
HRESULT DDLockWholeSurface(LPDIRECTDRAWSURFACE4 surface, DDSURFACEDESC2* desc)
{
    desc->dwSize = sizeof *desc;
    HRESULT result;
    do {
        result = surface->Lock(NULL, desc, 0, NULL);
    } while (result == DDERR_WASSTILLDRAWING);
    return result;
}
