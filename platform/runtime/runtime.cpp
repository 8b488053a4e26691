#include "runtime.h"

#include <ddraw.h>

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
#include <utility>

namespace platform {

namespace {

// The self-pipe that wakes a wait when a termination signal arrives. The
// handler only writes to it; the message pump reads it and asks the program
// to close. The request stands for the rest of the run, so that nothing the
// platform emulates keeps the program waiting after it.
volatile sig_atomic_t caughtSignal = 0;
volatile sig_atomic_t terminationRequested = 0;
int wakePipe[2] = {-1, -1};

extern "C" void OnTerminationSignal(int signal) {
    int saved = errno;
    caughtSignal = signal;
    terminationRequested = 1;
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
    unsigned long framesCounted = 0;  // towards --frames
    int idleLooks = 0;                // at an empty queue since the clock last moved, up to 2
    bool closeAsked = false;          // a termination signal has been delivered
    HWND exclusiveWindow = nullptr;
    bool displayAway = false;
    std::string lastCallAsked;
    FrameObserver observer;
    FILE* trace = nullptr;
    std::string traceFailure;
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

void NoteTraceFailure(Session& session) {
    if (session.traceFailure.empty())
        session.traceFailure = "cannot write " + session.options.trace + ": " + std::strerror(errno);
}

void CloseTrace(Session& session) {
    if (session.trace && std::fclose(session.trace) != 0) NoteTraceFailure(session);
    session.trace = nullptr;
}

// A frame shown, or a refresh that passed while frames kept failing: what
// --frames counts. Refreshes missed while the display is away are not
// counted, as time minimised is not.
void CountFrame(Session& session) {
    if (++session.framesCounted == session.options.frames)
        Schedule(ScriptedEvent{session.display->Counter(), HostEvent{HostEvent::Kind::Key, VK_ESCAPE, 0}, "key=Escape"});
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

// A termination signal asks the program to close as a user would. Further
// signals are noted but change nothing: the program is already closing, and
// ending it at once would lose the end of the recording.
bool DeliverSignal(Session& session) {
    if (!caughtSignal) return false;
    int signal = caughtSignal;
    caughtSignal = 0;
    DrainWakePipe();
    TraceAt("signal " + std::to_string(signal));
    if (std::exchange(session.closeAsked, true)) return false;
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
    terminationRequested = 0;
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
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
}

int FinishSession(int programExitCode, std::string& error) {
    Session& session = S();
    error.clear();
    if (session.recorder) session.recorder->Finish(error);
    if (error.empty()) error = session.traceFailure;
    TraceLine("exit " + std::to_string(error.empty() ? programExitCode : 1));
    // Closing writes out what the trace still held, which may fail as well.
    CloseTrace(session);
    if (error.empty()) error = session.traceFailure;
    int exitCode = error.empty() ? programExitCode : 1;
    // Gives the host's window and display back before the process ends.
    delete current;
    current = nullptr;
    return exitCode;
}

LONGLONG Counter() { return S().display->Counter(); }

bool DeliverEvents() {
    Session& session = S();
    bool delivered = DeliverSignal(session);
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
    session.idleLooks = 0;
    session.display->Wait(until, wakePipe[0]);
}

// A program that draws presents, or misses, one refresh for each turn of its
// loop. A turn whose frame fails takes next to no time, as in real time, so
// the first such turn in a row is free; from the second on each takes a
// refresh, so that a program whose frames keep failing still sees the clock,
// the scripted events and --frames come.
void LoopFoundNoMessage() {
    Session& session = S();
    if (session.idleLooks < 2) {
        ++session.idleLooks;
        return;
    }
    session.display->SkipRefresh();
    TraceAt("miss");
    CountFrame(session);
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
    if (session.trace) TraceLine(std::string(what) + " " + std::to_string(session.display->Counter()));
}

void TraceLine(std::string_view line) {
    Session& session = S();
    if (session.trace && std::fprintf(session.trace, "%.*s\n", static_cast<int>(line.size()), line.data()) < 0)
        NoteTraceFailure(session);
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
        // A surface stays busy only until the program is asked to end.
        if (rule.result == DDERR_WASSTILLDRAWING && terminationRequested) continue;
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
    if (session.stillDrawing == 0 || terminationRequested) return false;
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
    session.idleLooks = 0;
    TraceAt("flip");
    CountFrame(session);
}

void MissedRefresh() {
    Session& session = S();
    session.display->SkipRefresh();
    session.idleLooks = 0;
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
