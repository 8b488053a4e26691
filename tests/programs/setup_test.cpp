// What both programs do at the start and at the end: a set-up step that fails
// is named and ends the run with 1 after releasing what was made; the keys and
// the close button end a run with 0.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "headless_run.h"

namespace {

const std::vector<std::string> kPrograms{WIRECUBE_PROGRAM, DICE_PROGRAM};

// A run that showed nothing: no frame presented, an empty recording.
void ExpectNoFrame(const HeadlessRun& run) {
    EXPECT_TRUE(Matching(run.trace, "flip").empty());
    EXPECT_TRUE(run.recording.frames.empty());
}

// Steps of the display set-up in their order; each failure is reported by its
// own box, then by the program's, and nothing made before it is left behind
// (in a sanitized build a leak would change the exit code).
TEST(SetUp, AFailingStepIsNamedAndEndsTheRunWithOne) {
    const std::vector<std::string> steps{"DirectDrawCreate", "QueryInterface", "SetCooperativeLevel",
                                         "SetDisplayMode",   "CreateSurface",  "GetAttachedSurface"};
    for (const std::string& program : kPrograms) {
        for (const std::string& step : steps) {
            SCOPED_TRACE(program + " " + step);
            HeadlessRun run = RunHeadless(program, step, {"--fail", step});
            EXPECT_EQ(run.exitCode, 1);
            const std::string first = "Direct Draw Miss: " + step + " FAILED";
            const std::string second = "DirectDraw Sample: DirectDraw init failed. The sample will now exit. ";
            EXPECT_EQ(run.output, first + "\n" + second + "\n");
            EXPECT_EQ(Matching(run.trace, "messagebox"),
                      (std::vector<std::string>{"messagebox " + first, "messagebox " + second}));
            EXPECT_EQ(Matching(run.trace, "fail").size(), 1u) << "set-up stops at the first failure";
            ExpectNoFrame(run);
            ASSERT_FALSE(run.trace.empty());
            EXPECT_EQ(run.trace.back(), "exit 1");
        }
    }
}

// Without a window there is nothing to own a message box: the run just ends.
TEST(SetUp, AWindowThatCannotBeMadeEndsTheRunWithOneSilently) {
    for (const std::string& program : kPrograms) {
        for (const std::string call : {"RegisterClassA", "CreateWindowExA"}) {
            SCOPED_TRACE(program + " " + call);
            HeadlessRun run = RunHeadless(program, call, {"--fail", call});
            EXPECT_EQ(run.exitCode, 1);
            EXPECT_EQ(run.output, "");
            EXPECT_TRUE(Matching(run.trace, "messagebox").empty());
            ExpectNoFrame(run);
        }
    }
}

TEST(SetUp, ATextureThatCannotBeLoadedIsNamedOnceAndEndsTheRunWithOne) {
    HeadlessRun run = RunHeadless(DICE_PROGRAM, "texture", {"--fail", "LoadImageA"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.output, "Direct Draw Miss: DDLoadBitmap FAILED\n");
    EXPECT_EQ(Matching(run.trace, "messagebox"), std::vector<std::string>{"messagebox Direct Draw Miss: DDLoadBitmap FAILED"});
    ExpectNoFrame(run);
}

// Without a palette of its own the screen shows the colour ramp, which is the
// very palette the wire-frame cube asks for: the frames come out the same.
TEST(SetUp, AMissingPaletteIsNoFailure) {
    HeadlessRun plain = RunHeadless(WIRECUBE_PROGRAM, "plain", {"--frames", "20"});
    HeadlessRun run = RunHeadless(WIRECUBE_PROGRAM, "nopalette", {"--fail", "CreatePalette", "--frames", "20"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(Matching(run.trace, "fail").size(), 1u);
    ASSERT_EQ(run.recording.frames.size(), 20u);
    EXPECT_EQ(run.recording.frames, plain.recording.frames);
    ASSERT_EQ(run.recording.colors.size(), 256u);
    // The ramp: 3 bits of red, 3 of green, 2 of blue.
    for (int i : {0, 3, 28, 45, 103, 224, 255}) {
        EXPECT_EQ(run.recording.colors[i].Red, ((i >> 5) & 7) * 255 / 7) << i;
        EXPECT_EQ(run.recording.colors[i].Green, ((i >> 2) & 7) * 255 / 7) << i;
        EXPECT_EQ(run.recording.colors[i].Blue, (i & 3) * 255 / 3) << i;
    }
}

// Escape, Alt+X and the close button end the run at once with 0; another key
// does nothing.
TEST(Closing, EscapeAltXAndCloseEndTheRunWithZero) {
    for (const std::string& program : kPrograms) {
        for (const std::string event : {"key=Escape", "key=Alt+X", "close"}) {
            SCOPED_TRACE(program + " " + event);
            HeadlessRun run = RunHeadless(program, "close", {"--events", "50:key=X,100:" + event});
            EXPECT_EQ(run.exitCode, 0);
            EXPECT_EQ(run.output, "");
            const size_t other = IndexOf(run.trace, "event key=X 500001");
            const size_t closing = IndexOf(run.trace, "event " + event + " 1000002");
            EXPECT_EQ(Matching(Between(run.trace, run.trace[other], run.trace[closing]), "flip").size(), 3u)
                << "frames go on after another key";
            EXPECT_EQ(run.trace.size(), closing + 2) << "nothing after the close but the exit";
            ASSERT_FALSE(run.trace.empty());
            EXPECT_EQ(run.trace.back(), "exit 0");
            EXPECT_EQ(run.recording.frames.size(), 6u);
        }
    }
}

}  // namespace
