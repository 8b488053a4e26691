#include "session.h"

#include "recorder.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <unistd.h>

namespace platform {

namespace {

// The self-pipe that wakes a wait when a termination signal arrives. The
// handler only writes to it; polling the session reads it and asks the
// program to close.
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
    unsigned long framesPresented = 0;
    std::string lastCallAsked;
    FrameObserver observer;
    FILE* trace = nullptr;
    FILE* digests = nullptr;
    std::unique_ptr<GifRecorder> recorder;

    ~Session() override {
        if (trace) std::fclose(trace);
        if (digests) std::fclose(digests);
    }

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
    void Note(std::string_view what) override { TraceAt(what); }

    // A line of the trace: what happened and the clock when it happened.
    void TraceAt(std::string_view what);
    // A line of the trace without the clock.
    void TraceLine(std::string_view line);

private:
    bool PollSignal(std::vector<HostEvent>& due);
};

Session* current = nullptr;

Session& S() {
    if (!current) {
        std::fputs("the platform's run has not started\n", stderr);
        std::abort();
    }
    return *current;
}

void Session::TraceAt(std::string_view what) {
    if (!trace) return;
    std::fprintf(trace, "%.*s %lld\n", static_cast<int>(what.size()), what.data(),
                 static_cast<long long>(backend->Counter()));
}

void Session::TraceLine(std::string_view line) {
    if (!trace) return;
    std::fprintf(trace, "%.*s\n", static_cast<int>(line.size()), line.data());
}

void Session::Present(const Frame& frame) {
    if (observer) observer(frame);
    if (recorder) recorder->Add(frame, backend->Counter());
    if (digests) std::fprintf(digests, "%016llx\n", static_cast<unsigned long long>(FrameDigest(frame)));
    backend->Present(frame);
    TraceAt("flip");
    if (++framesPresented == options.frames) {
        Schedule(ScriptedEvent{backend->Counter(), HostEvent{HostEvent::Kind::Key, VK_ESCAPE, 0}, "key=Escape"});
    }
}

void Session::SkipRefresh() {
    backend->SkipRefresh();
    TraceAt("miss");
}

// A termination signal asks the program to close as a user would; a second
// one, should the program not listen, ends it (the handler is reset on entry).
bool Session::PollSignal(std::vector<HostEvent>& due) {
    if (!caughtSignal) return false;
    int signal = caughtSignal;
    caughtSignal = 0;
    DrainWakePipe();
    TraceAt("signal " + std::to_string(signal));
    due.push_back(HostEvent{HostEvent::Kind::Terminate});
    return true;
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
    if (stillDrawing == 0) return false;
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
    session.TraceLine("exit " + std::to_string(exitCode));
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
