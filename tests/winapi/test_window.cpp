#include "test_window.h"

std::vector<Seen> seen;

namespace {

bool ActedOn(UINT message) {
    switch (message) {
    case WM_CREATE:
    case WM_SIZE:
    case WM_SHOWWINDOW:
    case WM_ACTIVATEAPP:
    case WM_ACTIVATE:
    case WM_PAINT:
    case WM_COMMAND:
    case WM_CLOSE:
    case WM_DESTROY:
        return true;
    }
    return false;
}

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (ActedOn(message)) seen.push_back({message, wParam});
    if (message == WM_DESTROY) PostQuitMessage(3);
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

std::vector<UINT> TakeMessages() {
    std::vector<UINT> messages;
    for (const Seen& s : seen) messages.push_back(s.message);
    seen.clear();
    return messages;
}

HWND CreateTestWindow() {
    static ATOM registered = 0;
    if (!registered) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = RecordingProc;
        windowClass.hInstance = GetModuleHandleA(NULL);
        windowClass.lpszClassName = "WinapiTest";
        registered = RegisterClassA(&windowClass);
    }
    seen.clear();
    return CreateWindowExA(0, "WinapiTest", "", WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                           NULL, NULL, GetModuleHandleA(NULL), NULL);
}

int DispatchQueue(HWND window, HACCEL keys, WPARAM* quitStatus) {
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            if (quitStatus) *quitStatus = msg.wParam;
            return 1;
        }
        if (keys && TranslateAcceleratorA(window, keys, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
