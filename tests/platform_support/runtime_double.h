// A stand-in for the runtime behind platform/runtime/runtime.h, whose state the
// tests set and inspect.
#ifndef TESTS_PLATFORM_SUPPORT_RUNTIME_DOUBLE_H
#define TESTS_PLATFORM_SUPPORT_RUNTIME_DOUBLE_H

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace runtime_double {

struct PresentedFrame {
    std::vector<BYTE> pixels;  // height rows of width bytes
    LONG pitch = 0;
    DWORD width = 0;
    DWORD height = 0;
    bool hasPalette = false;
    std::vector<PALETTEENTRY> palette;  // 256 entries when hasPalette
};

struct State {
    std::map<std::string, HRESULT> failures;  // call name -> result it is to fail with
    std::vector<std::string> asked;           // every call name ScriptedFailure was asked about
    int stillDrawing = 0;                     // Locks still to answer DDERR_WASSTILLDRAWING
    bool away = false;
    HWND exclusiveWindow = nullptr;  // the window that holds the display in exclusive mode
    int missedRefreshes = 0;
    std::vector<PresentedFrame> frames;
};

// The state, fresh after Reset.
State& Runtime();
void Reset();

}  // namespace runtime_double

#endif
