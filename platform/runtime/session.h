// One run of a program on the platform: the display it runs on, what the
// command line scripted, the trace and the recording. The run installs itself
// into the calls as their display and fault script, passing the chosen
// backend's work through and adding the scripts, the trace and the recording.
#ifndef PLATFORM_RUNTIME_SESSION_H
#define PLATFORM_RUNTIME_SESSION_H

#include "../api/host.h"
#include "options.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

// The one place that chooses a backend for the options and the host
// (select_display.cpp; select_web_display.cpp in the web build).
std::unique_ptr<Display> CreateDisplay(const Options& options);

// Starts a run with these options, replacing whatever ran before (a test may
// start many). False, with the reason, when the trace or the recording cannot
// be created.
bool StartSession(const Options& options, std::string& error);

// Lets SIGINT, SIGTERM and SIGHUP ask the program to close, as its close
// button would, however often they come.
void CatchTerminationSignals();

// Ends the run: finishes the recording and the trace. Returns the exit code,
// which is the program's unless the recording or the trace could not be
// written: then 1, with the reason in `error`.
int FinishSession(int programExitCode, std::string& error);

// Scripts an event after those already scripted for the same time (one in
// the past is due at once), a failure, or more DDERR_WASSTILLDRAWING answers.
void Schedule(ScriptedEvent event);
void AddFailure(const FailureRule& rule);
void AddStillDrawing(unsigned long count);

// Hands every frame presented from now on in this run to the observer. Tests
// watch the display through it.
using FrameObserver = std::function<void(const Frame& frame)>;
void ObservePresentedFrames(FrameObserver observer);

// What --digest writes of a frame: FNV-1a (64 bits) over its palette indices,
// row by row without the padding of the pitch. The palette is left out: two
// builds agree on a frame when they drew the same indices.
uint64_t FrameDigest(const Frame& frame);

// The Windows name of the call that last asked whether it is scripted to fail.
const std::string& LastCallAsked();

// The trace (--trace) has a line for each notable event, most with the
// clock's counts at the end:
//   flip C                  a frame was presented; C is after its refresh
//   miss C                  a refresh passed without a frame (display away,
//                           or frames that keep failing)
//   wait C                  the program began waiting for events
//   event NAME C            a scripted event (as written, e.g. key=Alt+X)
//   away C, back C          the display was taken away, given back
//   signal N C              a termination signal asked the program to close
//   fail CALL 0xRESULT C    a scripted failure was returned
//   messagebox CAPTION: TEXT
//   exit N
}  // namespace platform

#endif
