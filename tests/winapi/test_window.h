// A pop-up window made as the programs make theirs, whose procedure notes the
// messages whose order the programs' drawing and ending depend on.
#ifndef TESTS_WINAPI_TEST_WINDOW_H
#define TESTS_WINAPI_TEST_WINDOW_H

#include <windows.h>

#include <vector>

struct Seen {
    UINT message;
    WPARAM wParam;
};

// Those messages as the window got them, oldest first; a window destroyed
// posts WM_QUIT with status 3.
extern std::vector<Seen> seen;

// Takes and forgets the messages seen so far.
std::vector<UINT> TakeMessages();

// A new pop-up window made as the programs make theirs, not yet shown.
HWND CreateTestWindow();

// Dispatches what is in the queue, translating the accelerator table's keys
// first, as the programs' loop does; 1 once WM_QUIT came, with its status.
int DispatchQueue(HWND window, HACCEL keys, WPARAM* quitStatus = nullptr);

#endif
