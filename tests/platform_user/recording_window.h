// A window whose procedure notes every message it gets before default
// processing, and lets a test answer chosen messages itself.
#ifndef TESTS_PLATFORM_USER_RECORDING_WINDOW_H
#define TESTS_PLATFORM_USER_RECORDING_WINDOW_H

#include "runtime/options.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <vector>

struct Seen {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Every message so far, oldest first.
extern std::vector<Seen> seen;

// Answers a message instead of default processing when it returns a value.
extern std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)> answer;

// A fresh platform, and a registered class "Recorder" that records.
void ResetWithRecorderClass(const platform::Options& options = platform::Options{});

// ResetWithRecorderClass, then a pop-up window of that class; what creating it
// sent is forgotten.
HWND MakeRecordedWindow(const platform::Options& options = platform::Options{});

// The messages seen so far, without their parameters; forgets them.
std::vector<UINT> TakeMessages();

// Takes every message from the queue and dispatches it, as a program's loop.
void DispatchAll();

#endif
