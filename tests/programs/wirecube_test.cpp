// The wire-frame cube as a whole program: what it records, and where the cube
// stands after a minimise, a lost display or a frame that could not be cleared.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "headless_run.h"

namespace {

HeadlessRun RunCube(const std::string& name, const std::vector<std::string>& args) {
    HeadlessRun run = RunHeadless(WIRECUBE_PROGRAM, name, args);
    EXPECT_EQ(run.exitCode, 0) << name << ": " << run.output;
    return run;
}

// At 60 frames a second each frame turns the cube by one whole degree (256
// ticks make 1.5 degrees, and the fraction is dropped), so a quarter turn,
// which looks the same, takes 90 frames.
TEST(Wirecube, RecordsTheWhiteCubeTurningTheSameOnEveryRun) {
    HeadlessRun run = RecordTwice(WIRECUBE_PROGRAM, 120);
    const Recording& recording = run.recording;
    ASSERT_EQ(recording.frames.size(), 120u);

    // The near face at angle 0 is a square from 185.55 to 454.45 across and
    // 105.55 to 374.45 down, the far face one from 225.33 to 414.67 and 145.33
    // to 334.67; between them lies only background.
    const Frame& first = recording.frames[0];
    const GifByteType background = At(first, 0, 0);
    const GifByteType white = At(first, 320, 374);
    ASSERT_EQ(recording.colors.size(), 256u);
    EXPECT_EQ(recording.colors[white].Red, 255);
    EXPECT_EQ(recording.colors[white].Green, 255);
    EXPECT_EQ(recording.colors[white].Blue, 255);
    // The colour ramp's nearest to the background colour (0x24, 0x78, 0x78).
    EXPECT_EQ(recording.colors[background].Red, 36);
    EXPECT_EQ(recording.colors[background].Green, 109);
    EXPECT_EQ(recording.colors[background].Blue, 85);
    for (auto [x, y] : std::vector<std::pair<int, int>>{{320, 105}, {185, 240}, {454, 240}, {320, 145}, {225, 240},
                                                         {414, 240}, {320, 334}, {185, 105}, {454, 374}})
        EXPECT_EQ(At(first, x, y), white) << x << ", " << y;
    for (auto [x, y] : std::vector<std::pair<int, int>>{
             {320, 240}, {320, 103}, {320, 376}, {183, 240}, {456, 240}, {320, 147}, {227, 240}, {320, 125}})
        EXPECT_EQ(At(first, x, y), background) << x << ", " << y;

    for (size_t k = 0; k < recording.frames.size(); ++k) {
        const Frame& frame = recording.frames[k];
        std::set<GifByteType> colours(frame.begin(), frame.end());
        EXPECT_EQ(colours, (std::set<GifByteType>{background, white})) << "frame " << k;
        if (k > 0) {
            EXPECT_NE(frame, recording.frames[k - 1]) << "frame " << k << " turned";
        }
    }
    EXPECT_NE(recording.frames[45], first);
    EXPECT_EQ(recording.frames[90], first) << "a quarter turn";
    EXPECT_EQ(recording.frames[119], recording.frames[29]);
}

// While minimised the program sleeps; restored, it goes on from the angle
// where it stopped, the time it slept never reaching the cube.
TEST(Wirecube, MinimisedItDrawsNothingAndGoesOnWhereItStopped) {
    HeadlessRun never = RunCube("never", {"--frames", "60"});
    HeadlessRun run = RunCube("minimised", {"--events", "250:minimize,1500:restore", "--frames", "60"});
    ASSERT_EQ(run.recording.frames.size(), 60u);
    const std::string restore = LineOf(run, "event restore");
    ExpectAsleepBetween(run, LineOf(run, "event minimize"), restore);
    ExpectGoesOnWhereItStopped(run, never, restore);
}

// A lost display misses refreshes without drawing; once it is back the
// surfaces are restored (which in this program reports no success, so that
// frame is left out), and the cube goes on from where it stopped, the time
// while lost never reaching it.
TEST(Wirecube, ALostDisplaySkipsDrawingUntilRegained) {
    HeadlessRun never = RunCube("never", {"--frames", "60"});
    HeadlessRun run = RunCube("lost", {"--events", "250:lose,750:regain", "--frames", "60"});
    ASSERT_EQ(run.recording.frames.size(), 60u);
    ExpectOnlyMissedRefreshesWhileLost(run, 30);
    ExpectGoesOnWhereItStopped(run, never, LineOf(run, "event regain"));
}

// A frame whose clear fails is dropped with its time: from then on the cube
// stands one frame's step behind a run where nothing failed.
TEST(Wirecube, AFrameThatEndsEarlyDropsItsTime) {
    HeadlessRun never = RunCube("never", {"--frames", "61"});
    HeadlessRun run = RunCube("failed", {"--fail", "Blt@30", "--frames", "60"});
    const size_t failed = FramesBefore(run.trace, LineOf(run, "fail Blt"));
    EXPECT_EQ(failed, 29u);
    const std::vector<Frame>& frames = run.recording.frames;
    ASSERT_EQ(frames.size(), 60u);
    ASSERT_EQ(never.recording.frames.size(), 61u);
    for (size_t k = 0; k < frames.size(); ++k)
        EXPECT_EQ(frames[k], never.recording.frames[k < failed ? k : k - 1]) << "frame " << k;
}

}  // namespace
