#include "runtime_control.h"

#include "api/user.h"
#include "runtime/session.h"

#include <cstdio>
#include <cstdlib>

namespace platform::testing {

void ResetPlatform(const Options& options) {
    ResetWindows();
    ResetMessages();
    // Whatever the host offers, a test in its own process keeps to the
    // virtual clock.
    Options headless = options;
    headless.headless = true;
    std::string error;
    if (!StartSession(headless, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        std::abort();
    }
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

}  // namespace platform::testing
