#include "runtime_control.h"

#include "runtime/session.h"

#include <cstdio>
#include <cstdlib>

namespace platform::testing {

namespace {

std::vector<PresentedFrame> presented;

void KeepFrame(const Frame& frame) {
    PresentedFrame kept;
    kept.pitch = frame.pitch;
    kept.width = frame.width;
    kept.height = frame.height;
    for (DWORD y = 0; y < frame.height; ++y) {
        const BYTE* row = frame.pixels + static_cast<ptrdiff_t>(y) * frame.pitch;
        kept.pixels.insert(kept.pixels.end(), row, row + frame.width);
    }
    kept.hasPalette = frame.paletteAttached;
    if (frame.paletteAttached) kept.palette.assign(frame.palette, frame.palette + 256);
    presented.push_back(std::move(kept));
}

}  // namespace

void ResetPlatform(const Options& options) {
    // Whatever the host offers, a test in its own process keeps to the
    // virtual clock.
    Options headless = options;
    headless.headless = true;
    std::string error;
    if (!StartSession(headless, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        std::abort();
    }
    presented.clear();
    ObservePresentedFrames(KeepFrame);
}

bool ScriptEvents(std::string_view list) {
    std::vector<ScriptedEvent> events;
    std::string error;
    if (!ParseEvents(list, events, error)) return false;
    for (ScriptedEvent& event : events) Schedule(std::move(event));
    return true;
}

bool ScriptFailure(std::string_view failure) {
    FailureRule rule;
    std::string error;
    if (!ParseFailure(failure, rule, error)) return false;
    AddFailure(rule);
    return true;
}

void ScriptStillDrawing(unsigned long count) { AddStillDrawing(count); }

void SetDisplayAway(bool away) { platform::SetDisplayAway(away); }

std::string LastCallAsked() { return platform::LastCallAsked(); }

const std::vector<PresentedFrame>& PresentedFrames() { return presented; }

}  // namespace platform::testing
