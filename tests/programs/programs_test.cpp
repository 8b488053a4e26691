// Both programs whole on the headless display: set-up failures, closing, recordings, going on after interruptions.
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdio>
#include <numeric>
#include <set>
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
// Each failing set-up step named in a box, then the program's, unless no window can own one; exit 1, no frames,
// set-up stopped at the first failure, nothing left (a leak changes a sanitized exit).
TEST(Programs, AFailingSetUpStepIsNamedAndEndsTheRunWithOne) {
    for (const std::string& program : kPrograms) {
        for (const std::string step : {"RegisterClassA", "CreateWindowExA", "DirectDrawCreate", "QueryInterface",
                                       "SetCooperativeLevel", "SetDisplayMode", "CreateSurface", "GetAttachedSurface"}) {
            const HeadlessRun run = RunHeadless(program, step, {"--fail", step});
            EXPECT_EQ(run.output, step.back() == 'A' ? "" : "Direct Draw Miss: " + step +
                      " FAILED\nDirectDraw Sample: DirectDraw init failed. The sample will now exit. \n") << step;
            EXPECT_TRUE(run.exitCode == 1 && run.recording.frames.empty() && Matching(run.trace, "fail").size() == 1u)
                << program << " " << step << ": exit 1, no frames, set-up stopped at the first failure";
        }
    }
    const HeadlessRun texture = RunHeadless(DICE_PROGRAM, "texture", {"--fail", "LoadImageA"});
    EXPECT_TRUE(texture.exitCode == 1 && texture.output == "Direct Draw Miss: DDLoadBitmap FAILED\n" && texture.recording.frames.empty());
}
// Without a palette of its own the screen shows the ramp the cube asks for.
TEST(Programs, AMissingPaletteIsNoFailure) {
    const HeadlessRun plain = RunWell(WIRECUBE_PROGRAM, "plain", {"--frames", "20"});
    const HeadlessRun run = RunWell(WIRECUBE_PROGRAM, "nopalette", {"--fail", "CreatePalette", "--frames", "20"});
    EXPECT_TRUE(run.recording.frames.size() == 20u && run.recording.frames == plain.recording.frames);
    for (int i : {0, 3, 28, 103, 224, 255}) ExpectColour(run.recording, i, ((i >> 5) & 7) * 255 / 7, ((i >> 2) & 7) * 255 / 7, (i & 3) * 255 / 3);
}
// Escape, Alt+X and the close button end the run at once with 0; another key does nothing.
TEST(Programs, EscapeAltXAndCloseEndTheRunWithZero) {
    for (const std::string& program : kPrograms) {
        for (const std::string event : {"key=Escape", "key=Alt+X", "close"}) {
            const HeadlessRun run = RunWell(program, "close", {"--events", "50:key=X,100:" + event});
            EXPECT_EQ(run.output, "");
            EXPECT_EQ(run.trace.size(), IndexOf(run.trace, "event " + event + " 1000002") + 2) << "only the exit after";
            EXPECT_EQ(run.recording.frames.size(), 6u) << program << " " << event;
        }
    }
}
// Two runs give the same bytes, --digest names the frames: a looping 640 x 480 animation at 60 Hz, each frame turned.
Recording RecordTwice(const std::string& program, int frames) {
    const HeadlessRun run = RunWell(program, "first", {"--frames", std::to_string(frames)});
    const std::string again = TempPath("again.gif"), digests = TempPath("again.digest");
    EXPECT_EQ(RunToEnd(program, {"--headless", "--frames", std::to_string(frames), "--record", again, "--digest", digests}).exitCode, 0);
    EXPECT_FALSE(ReadFile(again).empty());
    EXPECT_EQ(ReadFile(run.recordingPath), ReadFile(again));
    const Recording& recording = run.recording;
    const std::vector<std::string> lines = Lines(ReadFile(digests));
    EXPECT_TRUE(recording.frames.size() == size_t(frames) && lines.size() == size_t(frames)) << recording.frames.size() << " " << lines.size();
    for (size_t k = 0; k < std::min(lines.size(), recording.frames.size()); ++k) {
        char digest[17];
        const platform::Frame shown{recording.frames[k].data(), 640, 640, 480, nullptr};
        EXPECT_EQ(lines[k], (std::snprintf(digest, sizeof digest, "%016llx", (unsigned long long)platform::FrameDigest(shown)), digest)) << k;
    }
    EXPECT_TRUE(recording.width == 640 && recording.height == 480 && recording.loops && !recording.framesHaveOwnColors);
    EXPECT_EQ(std::accumulate(recording.delays.begin(), recording.delays.end(), 0), frames * 100 / 60) << "centiseconds";
    for (size_t k = 1; k < recording.frames.size(); ++k) EXPECT_NE(recording.frames[k], recording.frames[k - 1]) << k;
    return recording;
}
// The cube turns a degree a frame (1.5 less the fraction), alike after 90, on the ramp's nearest to 0x787824; the
// die's screen takes the texture's colours, its white near face over the exact background.
TEST(Programs, RecordingsAreTheSameOnEveryRun) {
    const Recording cube = RecordTwice(WIRECUBE_PROGRAM, 120);
    ASSERT_EQ(cube.frames.size(), 120u);
    const GifByteType background = At(cube.frames[0], 0, 0), white = At(cube.frames[0], 320, 374);
    ExpectColour(cube, white, 255, 255, 255);
    ExpectColour(cube, background, 36, 109, 85);
    for (const Frame& frame : cube.frames)
        EXPECT_EQ(std::set<GifByteType>(frame.begin(), frame.end()), (std::set<GifByteType>{background, white}));
    EXPECT_TRUE(cube.frames[90] == cube.frames[0] && cube.frames[119] == cube.frames[29]);
    const Recording die = RecordTwice(DICE_PROGRAM, 60);
    ASSERT_FALSE(die.frames.empty());
    ExpectColour(die, At(die.frames[0], 0, 0), 0x24, 0x78, 0x78);
    ExpectColour(die, At(die.frames[0], 320, 240), 255, 255, 255);
    ExpectColour(die, 1, 247, 247, 247);
}
// After the line the run goes on as if no time had passed: one frame repeats, then those of an unbroken run.
void ExpectGoesOnWhereItStopped(const HeadlessRun& run, const HeadlessRun& never, const std::string& line) {
    const std::vector<Frame>& frames = run.recording.frames;
    const size_t after = FramesBefore(run, line);
    ASSERT_TRUE(after > 0 && after < frames.size());
    EXPECT_EQ(frames[after], frames[after - 1]);
    auto distinct = [](std::vector<Frame> f) { return std::vector<Frame>(f.begin(), std::unique(f.begin(), f.end())); };
    const std::vector<Frame> seen = distinct(frames), unbroken = distinct(never.recording.frames);
    EXPECT_EQ(seen.size(), frames.size() - 1);
    ASSERT_LE(seen.size(), unbroken.size());
    EXPECT_TRUE(std::equal(seen.begin(), seen.end(), unbroken.begin()));
}
// A lost display misses every refresh undrawn; regained, surfaces restored and texture reloaded, the scene goes on.
// Minimised, a program sleeps in one wait; the cube goes on where it stopped, the die turns by the whole wait
// (alike every 28 seconds, so a run that slept 28 seconds longer matches).
TEST(Programs, LostTheProgramsGoOnFromTheSameAngleMinimisedTheySleepThenTheDieCatchesUp) {
    for (const std::string& program : kPrograms) {
        const HeadlessRun never = RunWell(program, "never", {"--frames", "40"});
        const HeadlessRun run = RunWell(program, "lost", {"--events", "250:lose,750:regain", "--frames", "40"});
        const std::vector<std::string> lost = Between(run.trace, LineOf(run, "away"), LineOf(run, "event regain"));
        EXPECT_TRUE(Matching(lost, "miss").size() == 30u && lost.size() == 30u) << program << ": only missed refreshes";
        ExpectGoesOnWhereItStopped(run, never, LineOf(run, "event regain"));
        const auto asleep = RunWell(program, "minimised", {"--events", "250:minimize,1250:restore", "--frames", "30"});
        const std::string restore = LineOf(asleep, "event restore");
        const std::vector<std::string> waiting = Between(asleep.trace, LineOf(asleep, "event minimize"), restore);
        EXPECT_TRUE(Matching(waiting, "flip").empty() && Matching(waiting, "miss").empty());
        EXPECT_EQ(Matching(waiting, "wait").size(), 1u) << "one wait, no busy loop";
        if (program == WIRECUBE_PROGRAM) {
            ExpectGoesOnWhereItStopped(asleep, never, restore);
            continue;
        }
        const size_t after = FramesBefore(asleep, restore);
        ASSERT_TRUE(after > 0 && after < 30);
        EXPECT_NE(asleep.recording.frames[after], asleep.recording.frames[after - 1]) << "the wait reaches the die";
        const auto longer = RunWell(program, "longer", {"--events", "250:minimize,29250:restore", "--frames", "30"});
        EXPECT_EQ(asleep.recording.frames, longer.recording.frames);
    }
}
// A frame whose clear fails is dropped with its time: the cube then stands a frame behind an unbroken run.
TEST(Programs, AFrameThatEndsEarlyDropsItsTime) {
    const HeadlessRun never = RunWell(WIRECUBE_PROGRAM, "never", {"--frames", "61"});
    const HeadlessRun run = RunWell(WIRECUBE_PROGRAM, "failed", {"--fail", "Blt@30", "--frames", "60"});
    const size_t failed = FramesBefore(run, LineOf(run, "fail Blt"));
    ASSERT_TRUE(failed == 29u && run.recording.frames.size() == 60u && never.recording.frames.size() == 61u);
    for (size_t k = 0; k < 60; ++k) EXPECT_EQ(run.recording.frames[k], never.recording.frames[k < failed ? k : k - 1]) << "frame " << k;
}
}  // namespace
