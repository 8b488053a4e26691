// Program entry, the main window and the message loop.
#ifndef SHELL_WINMAIN_H
#define SHELL_WINMAIN_H

#include <windows.h>

#include <cstdint>

// Nonzero while frames are to be drawn; kept by the window procedure.
extern int AppActive;

HRESULT CreateMainWindow(HINSTANCE instance, int showCommand, HWND* window, HACCEL* accelerators);
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int32_t ShowNextFrame();

#endif
