#include "hosted.h"

#include "palette.h"
#include "resources.h"
#include "user.h"

#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {

struct Host {
    Display* display = nullptr;
    FaultScript* faults = nullptr;
    HWND exclusiveWindow = nullptr;
    bool displayAway = false;
    int idleLooks = 0;  // at an empty queue since the clock last moved, up to 2
};

Host host;

Display& D() {
    if (!host.display) {
        std::fputs("a platform call needs a display, and none is installed\n", stderr);
        std::abort();
    }
    return *host.display;
}

// Without a script nothing fails: surfaces and bitmaps work on their own.
class NoFaults final : public FaultScript {
public:
    HRESULT Failure(const char*) override { return S_OK; }
    bool StillDrawing() override { return false; }
    void Note(std::string_view) override {}
};

FaultScript& F() {
    static NoFaults none;
    return host.faults ? *host.faults : none;
}

void Deliver(const HostEvent& event) {
    HWND window = MainWindow();
    switch (event.kind) {
    case HostEvent::Kind::Key:
        PressKey(event.key, event.modifiers);
        break;
    case HostEvent::Kind::Close:
        // As the close button does: the system command, whose default is WM_CLOSE.
        if (window) PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    case HostEvent::Kind::Minimize:
        if (window) ShowWindow(window, SW_MINIMIZE);
        break;
    case HostEvent::Kind::Restore:
        if (window) ShowWindow(window, SW_RESTORE);
        break;
    case HostEvent::Kind::Lose:
        TakeDisplay();
        break;
    case HostEvent::Kind::Regain:
        GiveDisplayBack();
        break;
    case HostEvent::Kind::Pointer: {
        constexpr WORD kClientArea = 1;
        constexpr WORD kMouseMove = 0x0200;
        if (window)
            SendToWindow(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELONG(kClientArea, kMouseMove));
        break;
    }
    case HostEvent::Kind::Terminate:
        // Asked as a user would; a program without a window just ends.
        if (window)
            PostMessageA(window, WM_CLOSE, 0, 0);
        else
            PostQuitMessage(0);
        break;
    }
}

}  // namespace

void InstallHost(Display& display, FaultScript& faults) {
    ResetWindows();
    ResetMessages();
    host = Host{&display, &faults};
}

void RemoveHost() { host = Host{}; }

void SetDisplayAway(bool away) {
    if (away) {
        TakeDisplay();
    } else {
        GiveDisplayBack();
    }
}

HRESULT ScriptedFailure(const char* call) { return F().Failure(call); }

bool TakeStillDrawing() { return F().StillDrawing(); }

bool DisplayAway() { return host.displayAway; }

LONGLONG Counter() { return D().Counter(); }

void PresentFrame(const BYTE* pixels, LONG pitch, DWORD width, DWORD height, const PALETTEENTRY* palette) {
    D().Present(Frame{pixels, pitch, width, height, palette ? palette : DefaultRamp(), palette != nullptr});
    host.idleLooks = 0;
}

void MissedRefresh() {
    D().SkipRefresh();
    host.idleLooks = 0;
}

// A program that draws presents, or misses, one refresh for each turn of its
// loop. A turn whose frame fails takes next to no time, as in real time, so
// the first such turn in a row is free; from the second on each takes a
// refresh, so that a program whose frames keep failing still sees the clock
// and its events come.
void LoopFoundNoMessage() {
    if (host.idleLooks < 2) {
        ++host.idleLooks;
        return;
    }
    D().SkipRefresh();
}

// Delivering runs window procedures, which may come back here: the display
// hands over what is due a batch at a time, each taken off before delivery.
bool DeliverEvents() {
    bool delivered = false;
    for (std::vector<HostEvent> events;; events.clear()) {
        D().Poll(events);
        if (events.empty()) return delivered;
        for (const HostEvent& event : events) Deliver(event);
        delivered = true;
    }
}

void WaitForEvents() {
    host.idleLooks = 0;
    D().Wait(std::nullopt, -1);
}

void ShowPointer(bool visible) { D().ShowPointer(visible); }

void ShowMessageBox(const char* caption, const char* text) { D().ShowMessage(caption, text); }

void OpenHostWindow(const char* title, HICON icon) {
    Icon picture;
    bool hasIcon = icon && IconPixels(icon, &picture.rgba, &picture.width, &picture.height);
    D().OpenWindow(title, hasIcon ? &picture : nullptr);
}

void CloseHostWindow() { D().CloseWindow(); }

void SetExclusiveMode(HWND window, bool exclusive) {
    if (exclusive) {
        host.exclusiveWindow = window;
    } else if (host.exclusiveWindow == window) {
        host.exclusiveWindow = nullptr;
    }
}

bool IsExclusiveWindow(HWND window) { return window && host.exclusiveWindow == window; }

void TakeDisplay() {
    if (host.displayAway) return;
    host.displayAway = true;
    F().Note("away");
    LoseAllSurfaces();
}

void GiveDisplayBack() {
    if (!host.displayAway) return;
    host.displayAway = false;
    F().Note("back");
}

}  // namespace platform

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* lpFrequency) {
    if (!lpFrequency) return FALSE;
    lpFrequency->QuadPart = platform::kCountsPerSecond;
    return TRUE;
}

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* lpPerformanceCount) {
    if (!lpPerformanceCount) return FALSE;
    lpPerformanceCount->QuadPart = platform::Counter();
    return TRUE;
}
