// The platform's command-line options, which come before anything of the
// program's own, and the scripts of events and failures that they carry.
#ifndef PLATFORM_RUNTIME_OPTIONS_H
#define PLATFORM_RUNTIME_OPTIONS_H

#include "../api/host.h"

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// A host event that happens when the clock reaches `at`.
struct ScriptedEvent {
    LONGLONG at;  // counts
    HostEvent event;
    std::string name;  // as written, for the trace
};

// Calls of `call` fail with `result`: every call, or only call number `nth`.
struct FailureRule {
    std::string call;
    HRESULT result;
    unsigned long nth = 0;  // 1 for the first call; 0 for every call
};

struct Options {
    bool headless = false;
    bool realtime = false;
    unsigned long frames = 0;  // press Escape after this many frames; 0: never
    std::vector<ScriptedEvent> events;
    std::vector<FailureRule> failures;
    unsigned long stillDrawing = 0;
    std::string record;
    std::string trace;
    std::string digest;  // one line per presented frame: FrameDigest in hexadecimal
    bool window = false;        // an ordinary window instead of the full screen
    bool integerScale = false;  // scale the screen by whole numbers only
};

struct ParsedOptions {
    enum class Outcome { Run, Help, Version, Error };
    Outcome outcome = Outcome::Run;
    Options options;
    std::string error;  // for Error
};

ParsedOptions ParseOptions(int argc, const char* const* argv);

// "2000:minimize,5000:key=Alt+X": appends the events (milliseconds become
// counts), in the order of their times, keeping the written order for equal times.
bool ParseEvents(std::string_view list, std::vector<ScriptedEvent>& events, std::string& error);

// "Lock", "Flip:DDERR_SURFACELOST", "Blt@3:0x80004005".
bool ParseFailure(std::string_view text, FailureRule& rule, std::string& error);

// Whether the recording, the trace and the digests can be written, no two
// into one file, found before the run creates or truncates any. False, with
// the reason, when they cannot; the files are left as they were in any case.
bool CheckOutputFiles(const Options& options, std::string& error);

std::string HelpText(const char* program);

}  // namespace platform

#endif
