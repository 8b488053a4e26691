// Shaped as the real programs, presenting straight through the runtime: pixel (x, y) at refresh r is index
// (x + 3y + r) mod 256 of a palette whose entry i is (i, 255 - i, i / 2). TINY_PROGRAM_LEAK makes it leak.
#include <windows.h>
#include <cstdlib>
#include "api/hosted.h"
namespace {
constexpr int kWidth = 64, kHeight = 48;
constexpr LONG kPitch = 80;
BYTE Screen[kHeight * kPitch];
PALETTEENTRY Palette[256];
bool AppActive = false;
void RenderFrame() {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    if (platform::DisplayAway()) return platform::MissedRefresh();
    const LONGLONG refresh = counter.QuadPart / 166'667;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) Screen[y * kPitch + x] = static_cast<BYTE>((x + 3 * y + refresh) & 0xFF);
    platform::PresentFrame(Screen, kPitch, kWidth, kHeight, Palette);
}
LRESULT CALLBACK TinyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) return platform::SetExclusiveMode(window, false), PostQuitMessage(0), 0;
    if (message == WM_SIZE) AppActive = wParam != SIZE_MINIMIZED && wParam != SIZE_MAXHIDE;
    if (message == WM_SETCURSOR) return SetCursor(nullptr), TRUE;
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) return PostMessageA(window, WM_CLOSE, 0, 0), 0;
    return DefWindowProcA(window, message, wParam, lParam);
}
void* volatile Block = nullptr;
[[gnu::noinline]] void LoseABlock() { Block = std::malloc(64); Block = nullptr; }
}  // namespace
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    for (int i = 0; i < 256; ++i) Palette[i] = PALETTEENTRY{BYTE(i), BYTE(255 - i), BYTE(i / 2), 0};
    WNDCLASSA windowClass{0, TinyWindowProc, 0, 0, instance, nullptr, nullptr, nullptr, nullptr, "Tiny"};
    HWND window = RegisterClassA(&windowClass) ? CreateWindowExA(0, "Tiny", "Tiny", WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT,
                                                                 CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr)
                                               : nullptr;
    if (!window) return 3;
    platform::SetExclusiveMode(window, true), ShowWindow(window, showCommand), UpdateWindow(window);
    if (std::getenv("TINY_PROGRAM_LEAK")) LoseABlock();
    MSG msg;
    for (;;) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!GetMessageA(&msg, nullptr, 0, 0)) return static_cast<int>(msg.wParam);
            TranslateMessage(&msg), DispatchMessageA(&msg);
        } else if (AppActive) RenderFrame();
        else WaitMessage();
    }
}
