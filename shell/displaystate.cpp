#include "display.h"

LPDIRECTDRAW4 DDObject = NULL;
LPDIRECTDRAWSURFACE4 PrimarySurface = NULL;
LPDIRECTDRAWSURFACE4 BackSurface = NULL;
LPDIRECTDRAWPALETTE ScreenPalette = NULL;
LPDIRECTDRAWSURFACE4 TextureSurface = NULL;

RECT ScreenRect = {0, 0, 0, 0};

DWORD BackgroundPixel = 0;
DWORD WhitePixel = 0;
