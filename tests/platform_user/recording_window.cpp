#include "recording_window.h"

#include "testing/runtime_control.h"

std::vector<Seen> seen;
std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)> answer;

namespace {

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    seen.push_back(Seen{message, wParam, lParam});
    if (answer) {
        if (std::optional<LRESULT> result = answer(window, message, wParam, lParam)) return *result;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

void ResetWithRecorderClass(const platform::Options& options) {
    platform::testing::ResetPlatform(options);
    seen.clear();
    answer = nullptr;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = RecordingProc;
    windowClass.lpszClassName = "Recorder";
    RegisterClassA(&windowClass);
}

HWND MakeRecordedWindow(const platform::Options& options) {
    ResetWithRecorderClass(options);
    HWND window = CreateWindowExA(0, "Recorder", "Recorded", WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    seen.clear();
    return window;
}

std::vector<UINT> TakeMessages() {
    std::vector<UINT> messages;
    for (const Seen& s : seen) messages.push_back(s.message);
    seen.clear();
    return messages;
}

void DispatchAll() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) && msg.message != WM_QUIT) DispatchMessageA(&msg);
}
