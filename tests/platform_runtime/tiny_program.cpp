// A small program on the platform, shaped as the real ones: a pop-up window
// that owns the display, a loop that draws whenever the queue is empty and the
// window is not minimised, and Escape or Alt+X to close. Each frame shows the
// performance counter, so that recordings tell whether the clock behaved.
// It presents frames straight through the runtime; a colour fill or flip on a
// display that is away is stood for by MissedRefresh. Asked to through
// TINY_PROGRAM_LEAK, it loses a block of memory, as a leak of ours would.
#include <windows.h>

#include <cstdlib>

#include "api/resources.h"
#include "api/hosted.h"

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;
constexpr LONG kPitch = 80;
constexpr WORD ID_CLOSE = 1001;

BYTE Screen[kHeight * kPitch];
PALETTEENTRY Palette[256];
bool AppActive = false;

platform::AcceleratorTable CloseKeys{{
    {FVIRTKEY | FNOINVERT, VK_ESCAPE, ID_CLOSE},
    {FVIRTKEY | FNOINVERT | FALT, 'X', ID_CLOSE},
}};

// Pixel (x, y) of the frame drawn at refresh r of the clock is (x + 3y + r) mod 256.
void RenderFrame() {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    if (platform::DisplayAway()) {
        platform::MissedRefresh();
        return;
    }
    LONGLONG refresh = counter.QuadPart / 166'667;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) Screen[y * kPitch + x] = static_cast<BYTE>((x + 3 * y + refresh) & 0xFF);
    platform::PresentFrame(Screen, kPitch, kWidth, kHeight, Palette);
}

LRESULT CALLBACK TinyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        platform::SetExclusiveMode(window, false);
        PostQuitMessage(0);
        return 0;
    case WM_SIZE:
        AppActive = wParam != SIZE_MINIMIZED && wParam != SIZE_MAXHIDE;
        break;
    case WM_SETCURSOR:
        SetCursor(nullptr);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == ID_CLOSE) {
            PostMessageA(window, WM_CLOSE, 0, 0);
            return 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void* volatile Block = nullptr;

[[gnu::noinline]] void LoseABlock() {
    Block = std::malloc(64);
    Block = nullptr;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    for (int i = 0; i < 256; ++i)
        Palette[i] = PALETTEENTRY{static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i / 2), 0};
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = TinyWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "Tiny";
    if (!RegisterClassA(&windowClass)) {
        MessageBoxA(nullptr, "RegisterClassA failed", "Tiny", MB_OK);
        return 3;
    }
    HWND window = CreateWindowExA(0, "Tiny", "Tiny", WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    if (!window) return 4;
    platform::SetExclusiveMode(window, true);
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    HACCEL accelerators = reinterpret_cast<HACCEL>(&CloseKeys);
    if (std::getenv("TINY_PROGRAM_LEAK")) LoseABlock();
    MSG msg;
    for (;;) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!GetMessageA(&msg, nullptr, 0, 0)) return static_cast<int>(msg.wParam);
            if (!TranslateAcceleratorA(window, accelerators, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        } else if (AppActive) {
            RenderFrame();
        } else {
            WaitMessage();
        }
    }
}
