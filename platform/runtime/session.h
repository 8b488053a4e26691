// One run of a program on the platform: the display it runs on, what the
// command line scripted, the trace and the recording. The calls of
// platform/api reach the display and the scripts only through here.
#ifndef PLATFORM_RUNTIME_SESSION_H
#define PLATFORM_RUNTIME_SESSION_H

#include "display.h"
#include "options.h"

#include <functional>
#include <string>
#include <string_view>

namespace platform {

// Starts a run with these options, replacing whatever ran before (a test may
// start many). False, with the reason, when the trace or the recording cannot
// be created. Without a call, the first use starts a headless run with no
// other options.
bool StartSession(const Options& options, std::string& error);

// Lets SIGINT, SIGTERM and SIGHUP ask the program to close, as its close
// button would, however often they come.
void CatchTerminationSignals();

// Ends the run: finishes the recording and the trace. Returns the exit code,
// which is the program's unless the recording or the trace could not be
// written: then 1, with the reason in `error`.
int FinishSession(int programExitCode, std::string& error);

// The clock of the display, in counts of kCountsPerSecond.
LONGLONG Counter();

// Delivers what has become due: a termination signal, the host's events and
// the scripted events the clock has reached. True when anything was delivered.
bool DeliverEvents();

// Blocks until DeliverEvents may have something: the next scripted event,
// an event of the host or a signal.
void WaitForEvents();

// The message loop looked for a message and found none: one turn of a
// drawing program's loop. When frames have failed twice in a row without
// the clock moving, the turn passes a refresh of its own.
void LoopFoundNoMessage();

// Scripts an event after those already scripted for the same time (one in
// the past is due at once), a failure, or more DDERR_WASSTILLDRAWING answers.
void Schedule(ScriptedEvent event);
void AddFailure(const FailureRule& rule);
void AddStillDrawing(unsigned long count);

void ShowPointer(bool visible);

// The program's main window has appeared on the screen with this title and
// icon, or has gone: the display shows frames in a window of the host's.
void OpenHostWindow(const char* title, HICON icon);
void CloseHostWindow();

// Shows a message box (and notes it in the trace).
void ShowMessageBox(const char* caption, const char* text);

// Full-screen exclusive mode: while the window owns the display, minimising
// it takes the display away and restoring it gives it back.
bool IsExclusiveWindow(HWND window);
void TakeDisplay();
void GiveDisplayBack();

// Hands every frame presented from now on in this run to the observer, which
// also learns whether a palette was attached (the frame shows through the
// default ramp otherwise). Tests watch the display through it.
using FrameObserver = std::function<void(const Frame& frame, bool paletteAttached)>;
void ObservePresentedFrames(FrameObserver observer);

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
// A line of the trace: what happened and the clock when it happened.
void TraceAt(std::string_view what);
// A line of the trace without the clock.
void TraceLine(std::string_view line);

}  // namespace platform

#endif
