#include "session.h"

#include "recorder.h"

#include <ddraw.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <unistd.h>
#include <utility>

namespace platform {

namespace {

// The self-pipe that wakes a wait when a termination signal arrives. The
// handler only writes to it; polling the session reads it and asks the
// program to close. The request stands for the rest of the run, so that
// nothing the platform emulates keeps the program waiting after it.
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

// The display that the calls see: the backend's, with the scripted events,
// the signals, the trace, the recording and the frame count laid over it.
class Session final : public Display, public FaultScript {
public:
    Options options;
    std::unique_ptr<Display> backend;
    std::map<std::string, unsigned long, std::less<>> callCounts;
    unsigned long stillDrawing = 0;
    std::vector<ScriptedEvent> events;  // in the order of their times
    size_t nextEvent = 0;
    unsigned long framesCounted = 0;  // towards --frames
    bool displayAway = false;
    bool closeAsked = false;  // a termination signal has been delivered
    std::string lastCallAsked;
    FrameObserver observer;
    FILE* trace = nullptr;
    FILE* digests = nullptr;
    std::string writeFailure;  // the first write to the trace or the digests that failed
    std::unique_ptr<GifRecorder> recorder;

    ~Session() override { CloseFiles(); }

    LONGLONG Counter() override { return backend->Counter(); }
    void Present(const Frame& frame) override;
    void SkipRefresh() override;
    void Poll(std::vector<HostEvent>& due) override;
    void Wait(std::optional<LONGLONG> until, int wakeFd) override;
    void ShowMessage(const char* caption, const char* text) override;
    void ShowPointer(bool visible) override { backend->ShowPointer(visible); }
    void OpenWindow(const char* title, const Icon* icon) override { backend->OpenWindow(title, icon); }
    void CloseWindow() override { backend->CloseWindow(); }

    HRESULT Failure(const char* call) override;
    bool StillDrawing() override;
    void Note(std::string_view what) override;

    // A line of the trace: what happened and the clock when it happened.
    void TraceAt(std::string_view what);
    // A line of the trace without the clock.
    void TraceLine(std::string_view line);
    void CloseFiles();

private:
    void PollSignal(std::vector<HostEvent>& due);
    void CountFrame();
    void NoteWriteFailure(const std::string& path);
};

Session* current = nullptr;

Session& S() {
    if (!current) {
        std::fputs("the platform's run has not started\n", stderr);
        std::abort();
    }
    return *current;
}

void Session::NoteWriteFailure(const std::string& path) {
    if (writeFailure.empty()) writeFailure = "cannot write " + path + ": " + std::strerror(errno);
}

void Session::TraceAt(std::string_view what) {
    if (trace) TraceLine(std::string(what) + " " + std::to_string(backend->Counter()));
}

void Session::TraceLine(std::string_view line) {
    if (trace && std::fprintf(trace, "%.*s\n", static_cast<int>(line.size()), line.data()) < 0)
        NoteWriteFailure(options.trace);
}

// Closing writes out what the files still held, which may fail as well.
void Session::CloseFiles() {
    if (trace && std::fclose(trace) != 0) NoteWriteFailure(options.trace);
    if (digests && std::fclose(digests) != 0) NoteWriteFailure(options.digest);
    trace = digests = nullptr;
}

// A frame shown, or a refresh that passed while frames kept failing: what
// --frames counts.
void Session::CountFrame() {
    if (++framesCounted == options.frames)
        Schedule(ScriptedEvent{backend->Counter(), HostEvent{HostEvent::Kind::Key, VK_ESCAPE, 0}, "key=Escape"});
}

void Session::Present(const Frame& frame) {
    if (observer) observer(frame);
    if (recorder) recorder->Add(frame, backend->Counter());
    if (digests && std::fprintf(digests, "%016llx\n", static_cast<unsigned long long>(FrameDigest(frame))) < 0)
        NoteWriteFailure(options.digest);
    backend->Present(frame);
    TraceAt("flip");
    CountFrame();
}

// Refreshes missed while the display is away are not counted, as time
// minimised is not; any other is a frame the program tried and failed.
void Session::SkipRefresh() {
    backend->SkipRefresh();
    TraceAt("miss");
    if (!displayAway) CountFrame();
}

void Session::Note(std::string_view what) {
    displayAway = what == "away";
    TraceAt(what);
}

// A termination signal asks the program to close as a user would. Further
// signals are traced but change nothing: the program is already closing, and
// ending it at once would lose the end of the recording.
void Session::PollSignal(std::vector<HostEvent>& due) {
    if (!caughtSignal) return;
    int signal = caughtSignal;
    caughtSignal = 0;
    DrainWakePipe();
    TraceAt("signal " + std::to_string(signal));
    if (!std::exchange(closeAsked, true)) due.push_back(HostEvent{HostEvent::Kind::Terminate});
}

// One scripted event at a time: delivering it may move the clock or script
// more, and the calls poll again until nothing is left.
void Session::Poll(std::vector<HostEvent>& due) {
    PollSignal(due);
    backend->Poll(due);
    if (nextEvent < events.size() && events[nextEvent].at <= backend->Counter()) {
        const ScriptedEvent& event = events[nextEvent++];
        TraceAt("event " + event.name);
        due.push_back(event.event);
    }
}

void Session::Wait(std::optional<LONGLONG> until, int) {
    if (nextEvent < events.size() && (!until || events[nextEvent].at < *until)) until = events[nextEvent].at;
    TraceAt("wait");
    backend->Wait(until, wakePipe[0]);
}

void Session::ShowMessage(const char* caption, const char* text) {
    TraceLine(std::string("messagebox ") + (caption ? caption : "") + ": " + (text ? text : ""));
    backend->ShowMessage(caption, text);
}

HRESULT Session::Failure(const char* call) {
    lastCallAsked = call;
    if (options.failures.empty()) return S_OK;
    auto count = callCounts.find(std::string_view(call));
    bool scripted = false;
    for (const FailureRule& rule : options.failures) {
        if (rule.call != call) continue;
        if (!scripted) {
            scripted = true;
            if (count == callCounts.end()) count = callCounts.emplace(call, 0).first;
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

bool Session::StillDrawing() {
    if (stillDrawing == 0 || terminationRequested) return false;
    --stillDrawing;
    return true;
}

// Whoever follows the file while the program runs sees each line as it happens.
FILE* OpenLineFile(const std::string& path, std::string& error) {
    FILE* file = std::fopen(path.c_str(), "w");
    if (!file) {
        error = "cannot create " + path + ": " + std::strerror(errno);
        return nullptr;
    }
    std::setvbuf(file, nullptr, _IOLBF, BUFSIZ);
    return file;
}

}  // namespace

uint64_t FrameDigest(const Frame& frame) {
    uint64_t hash = 0xcbf29ce484222325u;
    for (DWORD y = 0; y < frame.height; ++y) {
        const BYTE* row = frame.pixels + static_cast<ptrdiff_t>(y) * frame.pitch;
        for (DWORD x = 0; x < frame.width; ++x) hash = (hash ^ row[x]) * 0x100000001b3u;
    }
    return hash;
}

bool StartSession(const Options& options, std::string& error) {
    RemoveHost();
    delete current;
    current = new Session;
    Session& session = *current;
    MakeWakePipe();
    terminationRequested = 0;
    session.options = options;
    session.backend = CreateDisplay(options);
    session.events = options.events;
    session.stillDrawing = options.stillDrawing;
    InstallHost(session, session);
    if (!options.trace.empty() && !(session.trace = OpenLineFile(options.trace, error))) return false;
    if (!options.digest.empty() && !(session.digests = OpenLineFile(options.digest, error))) return false;
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
    if (error.empty()) error = session.writeFailure;
    session.TraceLine("exit " + std::to_string(error.empty() ? programExitCode : 1));
    session.CloseFiles();
    if (error.empty()) error = session.writeFailure;
    int exitCode = error.empty() ? programExitCode : 1;
    // Gives the host's window and display back before the process ends.
    RemoveHost();
    delete current;
    current = nullptr;
    return exitCode;
}

void Schedule(ScriptedEvent event) {
    Session& session = S();
    auto later = std::find_if(session.events.begin() + static_cast<ptrdiff_t>(session.nextEvent), session.events.end(),
                              [&event](const ScriptedEvent& e) { return e.at > event.at; });
    session.events.insert(later, std::move(event));
}

void AddFailure(const FailureRule& rule) { S().options.failures.push_back(rule); }

void AddStillDrawing(unsigned long count) { S().stillDrawing += count; }

void ObservePresentedFrames(FrameObserver observer) { S().observer = std::move(observer); }

const std::string& LastCallAsked() { return S().lastCallAsked; }

}  // namespace platform
