// Both programs run whole on the headless display: set-up failures, closing,
// recordings, and how each goes on after a minimise, a lost display or a
// frame that could not be cleared.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "program_run.h"
#include "runtime/session.h"

namespace {

using Frame = std::vector<GifByteType>;
const std::vector<std::string> kPrograms{WIRECUBE_PROGRAM, DICE_PROGRAM};

HeadlessRun RunWell(const std::string& program, const std::string& name, const std::vector<std::string>& args) {
    HeadlessRun run = RunHeadless(program, name, args);
    EXPECT_EQ(run.exitCode, 0) << name << ": " << run.output;
    return run;
}

GifByteType At(const Frame& frame, int x, int y) { return frame.at(static_cast<size_t>(y) * 640 + x); }

void ExpectColour(const Recording& recording, GifByteType index, int red, int green, int blue) {
    ASSERT_EQ(recording.colors.size(), 256u);
    const GifColorType& c = recording.colors[index];
    EXPECT_TRUE(c.Red == red && c.Green == green && c.Blue == blue) << int(c.Red) << ", " << int(c.Green) << ", " << int(c.Blue);
}

// Each set-up step that fails is named in its own box and then the
// program's, ends the run with 1 and leaves nothing behind (in a sanitized
// build a leak would change the exit code).
TEST(Programs, AFailingSetUpStepIsNamedAndEndsTheRunWithOne) {
    for (const std::string& program : kPrograms) {
        for (const std::string step : {"DirectDrawCreate", "QueryInterface", "SetCooperativeLevel", "SetDisplayMode",
                                       "CreateSurface", "GetAttachedSurface"}) {
            SCOPED_TRACE(program + " " + step);
            const HeadlessRun run = RunHeadless(program, step, {"--fail", step});
            const std::string first = "Direct Draw Miss: " + step + " FAILED";
            const std::string second = "DirectDraw Sample: DirectDraw init failed. The sample will now exit. ";
            EXPECT_EQ(run.exitCode, 1);
            EXPECT_EQ(run.output, first + "\n" + second + "\n");
            EXPECT_EQ(Matching(run.trace, "fail").size(), 1u) << "set-up stops at the first failure";
            EXPECT_TRUE(run.recording.frames.empty());
        }
        for (const std::string call : {"RegisterClassA", "CreateWindowExA"}) {
            const HeadlessRun run = RunHeadless(program, call, {"--fail", call});
            EXPECT_EQ(run.exitCode, 1) << program << " " << call;
            EXPECT_EQ(run.output, "") << "no window to own a box";
        }
    }
    const HeadlessRun texture = RunHeadless(DICE_PROGRAM, "texture", {"--fail", "LoadImageA"});
    EXPECT_EQ(texture.exitCode, 1);
    EXPECT_EQ(texture.output, "Direct Draw Miss: DDLoadBitmap FAILED\n");
    EXPECT_TRUE(texture.recording.frames.empty());
}

// Without a palette of its own the screen shows the colour ramp, which is
// the very palette the wire-frame cube asks for.
TEST(Programs, AMissingPaletteIsNoFailure) {
    const HeadlessRun plain = RunWell(WIRECUBE_PROGRAM, "plain", {"--frames", "20"});
    const HeadlessRun run = RunWell(WIRECUBE_PROGRAM, "nopalette", {"--fail", "CreatePalette", "--frames", "20"});
    EXPECT_EQ(run.recording.frames.size(), 20u);
    EXPECT_EQ(run.recording.frames, plain.recording.frames);
    for (int i : {0, 3, 28, 103, 224, 255})
        ExpectColour(run.recording, i, ((i >> 5) & 7) * 255 / 7, ((i >> 2) & 7) * 255 / 7, (i & 3) * 255 / 3);
}

// Escape, Alt+X and the close button end the run at once with 0; another
// key does nothing.
TEST(Programs, EscapeAltXAndCloseEndTheRunWithZero) {
    for (const std::string& program : kPrograms) {
        for (const std::string event : {"key=Escape", "key=Alt+X", "close"}) {
            SCOPED_TRACE(program + " " + event);
            const HeadlessRun run = RunWell(program, "close", {"--events", "50:key=X,100:" + event});
            EXPECT_EQ(run.output, "");
            const size_t closing = IndexOf(run.trace, "event " + event + " 1000002");
            EXPECT_EQ(run.trace.size(), closing + 2) << "nothing after the close but the exit";
            EXPECT_EQ(run.recording.frames.size(), 6u);
        }
    }
}

// Two runs give the same file byte for byte: a looping 640 x 480 animation
// at 60 Hz in the screen's colours, every frame turned from the last.
HeadlessRun RecordTwice(const std::string& program, int frames) {
    const HeadlessRun run = RunWell(program, "first", {"--frames", std::to_string(frames)});
    const std::string again = TempPath("again.gif");
    const std::string digests = TempPath("again.digest");
    EXPECT_EQ(RunToEnd(program, {"--headless", "--frames", std::to_string(frames), "--record", again, "--digest", digests})
                  .exitCode,
              0);
    EXPECT_FALSE(ReadFile(again).empty());
    EXPECT_EQ(ReadFile(run.recordingPath), ReadFile(again));
    const Recording& recording = run.recording;
    EXPECT_EQ(recording.frames.size(), static_cast<size_t>(frames));
    // --digest names the same frames, one line each.
    const std::vector<std::string> lines = Lines(ReadFile(digests));
    EXPECT_EQ(lines.size(), recording.frames.size());
    for (size_t k = 0; k < std::min(lines.size(), recording.frames.size()); ++k) {
        char digest[17];
        platform::Frame shown{recording.frames[k].data(), 640, 640, 480, nullptr};
        std::snprintf(digest, sizeof digest, "%016llx", static_cast<unsigned long long>(platform::FrameDigest(shown)));
        EXPECT_EQ(lines[k], digest) << k;
    }
    EXPECT_TRUE(recording.width == 640 && recording.height == 480 && recording.loops && !recording.framesHaveOwnColors);
    int shown = 0;
    for (int delay : recording.delays) shown += delay;
    EXPECT_EQ(shown, frames * 100 / 60) << "centiseconds";
    for (size_t k = 1; k < recording.frames.size(); ++k) EXPECT_NE(recording.frames[k], recording.frames[k - 1]) << k;
    return run;
}

// Each frame at 60 Hz turns the cube one whole degree (1.5 with the fraction
// dropped), so a quarter turn, which looks the same, takes 90 frames. The
// background is the ramp's nearest to 0x787824.
TEST(Programs, WirecubeRecordsTheWhiteCubeTheSameOnEveryRun) {
    const Recording recording = RecordTwice(WIRECUBE_PROGRAM, 120).recording;
    ASSERT_EQ(recording.frames.size(), 120u);
    const Frame& first = recording.frames[0];
    const GifByteType background = At(first, 0, 0), white = At(first, 320, 374);
    ExpectColour(recording, white, 255, 255, 255);
    ExpectColour(recording, background, 36, 109, 85);
    for (const Frame& frame : recording.frames)
        EXPECT_EQ(std::set<GifByteType>(frame.begin(), frame.end()), (std::set<GifByteType>{background, white}));
    EXPECT_EQ(recording.frames[90], first) << "a quarter turn";
    EXPECT_EQ(recording.frames[119], recording.frames[29]);
}

// The screen takes the texture's colour table; at the start the white near
// face covers the centre on the exact background colour.
TEST(Programs, DiceRecordsTheTumblingDieTheSameOnEveryRun) {
    const Recording recording = RecordTwice(DICE_PROGRAM, 60).recording;
    ASSERT_FALSE(recording.frames.empty());
    ExpectColour(recording, At(recording.frames[0], 0, 0), 0x24, 0x78, 0x78);
    ExpectColour(recording, At(recording.frames[0], 320, 240), 255, 255, 255);
    ExpectColour(recording, 1, 247, 247, 247);
}

// Frames with every run of equal frames cut down to one: what the viewer sees change.
std::vector<Frame> Distinct(const std::vector<Frame>& frames) {
    std::vector<Frame> distinct;
    for (const Frame& frame : frames)
        if (distinct.empty() || distinct.back() != frame) distinct.push_back(frame);
    return distinct;
}

// After the line the program went on as if no time had passed: the first
// frame after it repeats the last one before, and the frames are those of a
// run where nothing happened.
void ExpectGoesOnWhereItStopped(const HeadlessRun& run, const HeadlessRun& never, const std::string& line) {
    const std::vector<Frame>& frames = run.recording.frames;
    const size_t after = FramesBefore(run, line);
    ASSERT_TRUE(after > 0 && after < frames.size());
    EXPECT_EQ(frames[after], frames[after - 1]);
    const std::vector<Frame> seen = Distinct(frames), unbroken = Distinct(never.recording.frames);
    EXPECT_EQ(seen.size(), frames.size() - 1);
    ASSERT_LE(seen.size(), unbroken.size());
    EXPECT_TRUE(std::equal(seen.begin(), seen.end(), unbroken.begin()));
}

// A lost display misses every refresh without drawing; once regained, the
// surfaces are restored (the die's texture reloaded) and the scene goes on
// from where it stopped, the time while lost never reaching it.
TEST(Programs, ALostDisplayMissesRefreshesAndGoesOnFromTheSameAngle) {
    for (const std::string& program : kPrograms) {
        SCOPED_TRACE(program);
        const HeadlessRun never = RunWell(program, "never", {"--frames", "40"});
        const HeadlessRun run = RunWell(program, "lost", {"--events", "250:lose,750:regain", "--frames", "40"});
        const std::vector<std::string> lost = Between(run.trace, LineOf(run, "away"), LineOf(run, "event regain"));
        EXPECT_EQ(Matching(lost, "miss").size(), 30u);
        EXPECT_EQ(lost.size(), 30u) << "nothing but missed refreshes";
        ExpectGoesOnWhereItStopped(run, never, LineOf(run, "event regain"));
    }
}

// Minimised, a program sleeps in one wait. The cube goes on where it
// stopped; the die turns by the whole wait, and it comes back to the same
// place every 28 seconds, so a run that slept 28 seconds longer matches.
TEST(Programs, MinimisedTheProgramsSleepThenTheCubeGoesOnAndTheDieCatchesUp) {
    for (const std::string& program : kPrograms) {
        const HeadlessRun run = RunWell(program, "minimised", {"--events", "250:minimize,1250:restore", "--frames", "30"});
        const std::string restore = LineOf(run, "event restore");
        const std::vector<std::string> asleep = Between(run.trace, LineOf(run, "event minimize"), restore);
        EXPECT_TRUE(Matching(asleep, "flip").empty() && Matching(asleep, "miss").empty());
        EXPECT_EQ(Matching(asleep, "wait").size(), 1u) << "one wait, no busy loop";
        const HeadlessRun never = RunWell(program, "never", {"--frames", "30"});
        if (program == WIRECUBE_PROGRAM) {
            ExpectGoesOnWhereItStopped(run, never, restore);
            continue;
        }
        const size_t after = FramesBefore(run, restore);
        ASSERT_TRUE(after > 0 && after < 30);
        EXPECT_NE(run.recording.frames[after], never.recording.frames.at(after)) << "by more than a frame's time";
        const HeadlessRun longer = RunWell(program, "longer", {"--events", "250:minimize,29250:restore", "--frames", "30"});
        EXPECT_EQ(run.recording.frames, longer.recording.frames);
    }
}

// A frame whose clear fails is dropped with its time: from then on the cube
// stands one frame behind a run where nothing failed.
TEST(Programs, AFrameThatEndsEarlyDropsItsTime) {
    const HeadlessRun never = RunWell(WIRECUBE_PROGRAM, "never", {"--frames", "61"});
    const HeadlessRun run = RunWell(WIRECUBE_PROGRAM, "failed", {"--fail", "Blt@30", "--frames", "60"});
    const size_t failed = FramesBefore(run, LineOf(run, "fail Blt"));
    EXPECT_EQ(failed, 29u);
    ASSERT_EQ(run.recording.frames.size(), 60u);
    ASSERT_EQ(never.recording.frames.size(), 61u);
    for (size_t k = 0; k < 60; ++k)
        EXPECT_EQ(run.recording.frames[k], never.recording.frames[k < failed ? k : k - 1]) << "frame " << k;
}

}  // namespace
