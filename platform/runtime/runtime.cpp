#include "runtime.h"

#include "../api/palette.h"
#include "../api/user.h"
#include "recorder.h"
#include "session.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>

namespace platform {

namespace {

// The self-pipe that wakes a wait when a termination signal arrives. The
// handler only writes to it; the message pump reads it and asks the program
// to close.
volatile sig_atomic_t caughtSignal = 0;
int wakePipe[2] = {-1, -1};

extern "C" void OnTerminationSignal(int signal) {
    int saved = errno;
    caughtSignal = signal;
    [[maybe_unused]] ssize_t written = write(wakePipe[1], "", 1);
    errno = saved;
}

void MakeWakePipe() {
    if (wakePipe[0] >= 0) return;
    if (pipe(wakePipe) != 0) {
        std::perror("pipe");
        std::abort();
    }
    for (int fd : wakePipe) {
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
        fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
}

void DrainWakePipe() {
    char buffer[64];
    while (read(wakePipe[0], buffer, sizeof buffer) > 0) {
    }
}

struct Session {
    Options options;
    std::unique_ptr<Display> display;
    std::map<std::string, unsigned long, std::less<>> callCounts;
    unsigned long stillDrawing = 0;
    std::vector<ScriptedEvent> events;  // in the order of their times
    size_t nextEvent = 0;
    unsigned long framesPresented = 0;
    HWND exclusiveWindow = nullptr;
    bool displayAway = false;
    std::string lastCallAsked;
    FrameObserver observer;
    FILE* trace = nullptr;
    std::unique_ptr<GifRecorder> recorder;
};

Session* current = nullptr;

Session& S() {
    if (!current) {
        // Only a program's main() starts a run on the host's display.
        Options headless;
        headless.headless = true;
        std::string error;
        StartSession(headless, error);
    }
    return *current;
}

void CloseTrace(Session& session) {
    if (session.trace) std::fclose(session.trace);
    session.trace = nullptr;
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
    }
}

// A termination signal asks the program to close as a user would; a second
// one, should the program not listen, ends it (the handler is reset on entry).
bool DeliverSignal() {
    if (!caughtSignal) return false;
    int signal = caughtSignal;
    caughtSignal = 0;
    DrainWakePipe();
    TraceAt("signal " + std::to_string(signal));
    if (HWND window = MainWindow())
        PostMessageA(window, WM_CLOSE, 0, 0);
    else
        PostQuitMessage(0);
    return true;
}

}  // namespace

bool StartSession(const Options& options, std::string& error) {
    if (current) {
        CloseTrace(*current);
        delete current;
    }
    current = new Session;
    Session& session = *current;
    MakeWakePipe();
    session.options = options;
    session.display = CreateDisplay(options);
    session.events = options.events;
    session.stillDrawing = options.stillDrawing;
    if (!options.trace.empty()) {
        session.trace = std::fopen(options.trace.c_str(), "w");
        if (!session.trace) {
            error = "cannot create " + options.trace + ": " + std::strerror(errno);
            return false;
        }
        // Whoever follows the trace while the program runs sees each line as it happens.
        std::setvbuf(session.trace, nullptr, _IOLBF, BUFSIZ);
    }
    if (!options.record.empty()) {
        session.recorder = std::make_unique<GifRecorder>();
        if (!session.recorder->Open(options.record, error)) return false;
    }
    return true;
}

void CatchTerminationSignals() {
    MakeWakePipe();
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int FinishSession(int programExitCode) {
    Session& session = S();
    int exitCode = programExitCode;
    std::string error;
    if (session.recorder && !session.recorder->Finish(error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        exitCode = 1;
    }
    TraceLine("exit " + std::to_string(exitCode));
    CloseTrace(session);
    // Gives the host's window and display back before the process ends.
    delete current;
    current = nullptr;
    return exitCode;
}

LONGLONG Counter() { return S().display->Counter(); }

bool DeliverEvents() {
    Session& session = S();
    bool delivered = DeliverSignal();
    std::vector<HostEvent> host;
    session.display->Poll(host);
    for (const HostEvent& event : host) Deliver(event);
    delivered = delivered || !host.empty();
    // Delivering runs window procedures, which may come back here: take each
    // event off the script before delivering it.
    while (session.nextEvent < session.events.size() && session.events[session.nextEvent].at <= Counter()) {
        ScriptedEvent due = session.events[session.nextEvent++];
        TraceAt("event " + due.name);
        Deliver(due.event);
        delivered = true;
    }
    return delivered;
}

void WaitForEvents() {
    Session& session = S();
    std::optional<LONGLONG> until;
    if (session.nextEvent < session.events.size()) until = session.events[session.nextEvent].at;
    TraceAt("wait");
    session.display->Wait(until, wakePipe[0]);
}

void Schedule(ScriptedEvent event) {
    Session& session = S();
    auto later = std::find_if(session.events.begin() + static_cast<ptrdiff_t>(session.nextEvent), session.events.end(),
                              [&event](const ScriptedEvent& e) { return e.at > event.at; });
    session.events.insert(later, std::move(event));
}

void AddFailure(const FailureRule& rule) { S().options.failures.push_back(rule); }

void AddStillDrawing(unsigned long count) { S().stillDrawing += count; }

void ShowPointer(bool visible) { S().display->ShowPointer(visible); }

void OpenHostWindow(const char* title, HICON icon) { S().display->OpenWindow(title, icon); }

void CloseHostWindow() { S().display->CloseWindow(); }

void ShowMessageBox(const char* caption, const char* text) {
    TraceLine(std::string("messagebox ") + (caption ? caption : "") + ": " + (text ? text : ""));
    S().display->ShowMessage(caption, text);
}

bool IsExclusiveWindow(HWND window) { return window && S().exclusiveWindow == window; }

void TakeDisplay() {
    Session& session = S();
    if (session.displayAway) return;
    session.displayAway = true;
    TraceAt("away");
    LoseAllSurfaces();
}

void GiveDisplayBack() {
    Session& session = S();
    if (!session.displayAway) return;
    session.displayAway = false;
    TraceAt("back");
}

void ObservePresentedFrames(FrameObserver observer) { S().observer = std::move(observer); }

const std::string& LastCallAsked() { return S().lastCallAsked; }

void TraceAt(std::string_view what) {
    Session& session = S();
    if (!session.trace) return;
    std::fprintf(session.trace, "%.*s %lld\n", static_cast<int>(what.size()), what.data(),
                 static_cast<long long>(session.display->Counter()));
}

void TraceLine(std::string_view line) {
    Session& session = S();
    if (!session.trace) return;
    std::fprintf(session.trace, "%.*s\n", static_cast<int>(line.size()), line.data());
}

// The hooks that the DirectDraw implementation calls.

HRESULT ScriptedFailure(const char* call) {
    Session& session = S();
    session.lastCallAsked = call;
    if (session.options.failures.empty()) return S_OK;
    auto count = session.callCounts.find(std::string_view(call));
    bool scripted = false;
    for (const FailureRule& rule : session.options.failures) {
        if (rule.call != call) continue;
        if (!scripted) {
            scripted = true;
            if (count == session.callCounts.end()) count = session.callCounts.emplace(call, 0).first;
            ++count->second;
        }
        if (rule.nth == 0 || rule.nth == count->second) {
            char code[16];
            std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(rule.result));
            TraceAt(std::string("fail ") + call + " " + code);
            return rule.result;
        }
    }
    return S_OK;
}

bool TakeStillDrawing() {
    Session& session = S();
    if (session.stillDrawing == 0) return false;
    --session.stillDrawing;
    return true;
}

bool DisplayAway() { return S().displayAway; }

void PresentFrame(const BYTE* pixels, LONG pitch, DWORD width, DWORD height, const PALETTEENTRY* palette) {
    Session& session = S();
    Frame frame{pixels, pitch, width, height, palette ? palette : DefaultRamp()};
    if (session.observer) session.observer(frame, palette != nullptr);
    if (session.recorder) session.recorder->Add(frame, session.display->Counter());
    session.display->Present(frame);
    TraceAt("flip");
    if (++session.framesPresented == session.options.frames) {
        Schedule(ScriptedEvent{session.display->Counter(), HostEvent{HostEvent::Kind::Key, VK_ESCAPE, 0}, "key=Escape"});
    }
}

void MissedRefresh() {
    S().display->SkipRefresh();
    TraceAt("miss");
}

void SetExclusiveMode(HWND window, bool exclusive) {
    Session& session = S();
    if (exclusive) {
        session.exclusiveWindow = window;
    } else if (session.exclusiveWindow == window) {
        session.exclusiveWindow = nullptr;
    }
}

}  // namespace platform
