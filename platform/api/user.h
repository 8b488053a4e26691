// What the window manager, the message queue and the runtime need of one
// another: the window that host events go to, pressing keys and sending
// messages on the host's behalf, and painting.
#ifndef PLATFORM_API_USER_H
#define PLATFORM_API_USER_H

#include <windows.h>

namespace platform {

// The first top-level window still alive: the one that has the keyboard and
// that closing, minimising and restoring act on. Null when there is none.
HWND MainWindow();

bool IsLiveWindow(HWND window);

// Calls the window procedure at once, as the real SendMessage does; 0 when
// the window is gone.
LRESULT SendToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Queues the keyboard messages of a key pressed and released with the
// modifiers (kAlt, kShift, kControl) held, for the main window.
void PressKey(WORD key, BYTE modifiers);

// A visible window whose contents need painting, or null.
HWND WindowNeedingPaint();
void ValidateWindow(HWND window);

// Removes what is queued for a window that is going away.
void DropMessagesFor(HWND window);

// Forget every class and window, and every queued message and key state.
void ResetWindows();
void ResetMessages();

}  // namespace platform

#endif
