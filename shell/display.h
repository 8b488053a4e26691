// The display state that set-up creates and the frame routine and the scenes
// use: the flipping chain, the palette, the texture and the matched colours.
#ifndef SHELL_DISPLAY_H
#define SHELL_DISPLAY_H

#include <ddraw.h>

extern LPDIRECTDRAW4 DDObject;
extern LPDIRECTDRAWSURFACE4 PrimarySurface;
extern LPDIRECTDRAWSURFACE4 BackSurface;
extern LPDIRECTDRAWPALETTE ScreenPalette;
extern LPDIRECTDRAWSURFACE4 TextureSurface;

// left, top, right, bottom; right and bottom are one past the last column and row.
extern RECT ScreenRect;

extern DWORD BackgroundPixel;
extern DWORD WhitePixel;

// The exit status that the window's destruction hands to the message loop:
// 0, or 1 once set-up has failed.
extern int QuitStatus;

HRESULT InitDisplay(HWND window);
HRESULT ReportInitFailure(HWND window, HRESULT result, const char* format, ...);
void ReleaseDisplayObjects();
int RestoreSurfaces();

#endif
