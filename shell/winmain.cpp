#include "winmain.h"

#include <cstdint>

#include "display.h"
#include "frame.h"
#include "program.h"
#include "resources/resource.h"

int AppActive = 0;

// The loop serves every waiting message first, draws a frame whenever the
// queue is empty and the program is active, and otherwise sleeps until a
// message comes. A window that cannot be made, a set-up or a frame step that
// fails end the program with 1.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    HWND window;
    HACCEL accelerators;
    if (CreateMainWindow(instance, showCommand, &window, &accelerators) < 0) return 1;

    if (InitDisplay(window) < 0) {
        // The failed set-up has already destroyed the window, which posted the
        // quit message. A box owned by a window that is gone is refused, and
        // one that finds the quit message waiting closes at once: this one
        // goes without an owner, after the quit message is taken out.
        MSG quit;
        PeekMessageA(&quit, NULL, WM_QUIT, WM_QUIT, PM_REMOVE);
        MessageBoxA(NULL, "DirectDraw init failed. The sample will now exit. ", "DirectDraw Sample", MB_ICONERROR);
        return 1;
    }

    MSG message;
    for (;;) {
        if (PeekMessageA(&message, NULL, 0, 0, PM_NOREMOVE)) {
            if (!GetMessageA(&message, NULL, 0, 0)) return static_cast<int>(message.wParam);
            if (!TranslateAcceleratorA(window, accelerators, &message)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
        } else if (AppActive) {
            if (ShowNextFrame() < 0) {
                MessageBoxA(window, "Displaying the next frame failed. The sample will now exit. ", "DirectDraw Sample",
                            MB_ICONERROR);
                return 1;
            }
        } else {
            WaitMessage();
            if (ResetClockAfterIdleWait) ResetFrameClock();
        }
    }
}

HRESULT CreateMainWindow(HINSTANCE instance, int showCommand, HWND* window, HACCEL* accelerators)
{
    WNDCLASSA windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_MAIN));
    windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    windowClass.lpszMenuName = NULL;
    windowClass.lpszClassName = ProgramClassName;
    if (!RegisterClassA(&windowClass)) return E_FAIL;

    HACCEL table = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));

    HWND created = CreateWindowExA(0, ProgramClassName, ProgramTitle, WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, NULL, NULL, instance, NULL);
    if (!created) return E_FAIL;
    ShowWindow(created, showCommand);
    UpdateWindow(created);

    *window = created;
    *accelerators = table;
    return 0;
}

// System commands that would move, size or maximise the window or power the
// monitor down are refused; the whole wParam is compared, as the system sends it.
static int IsRefusedSystemCommand(WPARAM command)
{
    return command == SC_SIZE || command == SC_MOVE || command == SC_MAXIMIZE || command == SC_MONITORPOWER;
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        ReleaseDisplayObjects();
        PostQuitMessage(QuitStatus);
        return 0;
    case WM_SIZE:
        AppActive = !(wParam == SIZE_MINIMIZED || wParam == SIZE_MAXHIDE);
        break;
    case WM_SETCURSOR:
        SetCursor(NULL);
        return 1;
    case WM_COMMAND:
        if (LOWORD(wParam) == ID_CLOSE) {
            PostMessageA(window, WM_CLOSE, 0, 0);
            return 0;
        }
        break;
    case WM_SYSCOMMAND:
        if (IsRefusedSystemCommand(wParam)) return 1;
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// RenderFrame skips a frame it cannot draw and has no failure of its own.
int32_t ShowNextFrame()
{
    RenderFrame();
    return 0;
}
