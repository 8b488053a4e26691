// Both programs whole on the headless display: set-up failures, closing, recordings, going on after interruptions.
#include <gtest/gtest.h>
#include <algorithm>
#include <array>
#include <cstdio>
#include <set>
#include "program_run.h"
#include "runtime/session.h"
namespace {
using Frame = std::vector<GifByteType>;
using Trace = std::vector<std::string>;
const std::vector<std::string> kPrograms{WIRECUBE_PROGRAM, DICE_PROGRAM};
// One run on the headless display ending with exitCode, traced and recorded into files named after the test.
struct Headless : RunResult { std::string recordingPath; Trace trace; Recording recording; };
Headless RunHeadless(const std::string& program, const std::string& name, std::vector<std::string> args, int exitCode = 0) {
    Headless run;
    const std::string tracePath = TempPath(name + ".trace");
    args.insert(args.begin(), {"--headless", "--trace", tracePath, "--record", run.recordingPath = TempPath(name + ".gif")});
    static_cast<RunResult&>(run) = (std::remove(tracePath.c_str()), RunToEnd(program, args));
    EXPECT_EQ(run.exitCode, exitCode) << name << ": " << run.output;
    run.trace = Lines(ReadFile(tracePath));
    return run.recording = Decode(run.recordingPath), run;
}
// The first trace line that is or starts with the words (a missing one fails), the lines between, frames before.
Trace::const_iterator Where(const Headless& run, const std::string& words) {
    const auto found = std::find_if(run.trace.begin(), run.trace.end(),
                                    [&](const std::string& l) { return l == words || !l.rfind(words + " ", 0); });
    EXPECT_NE(found, run.trace.end()) << words;
    return found;
}
Trace Between(const Headless& run, const std::string& first, const std::string& last) {
    const auto from = Where(run, first), to = Where(run, last);
    return from < to ? Trace(from + 1, to) : Trace();
}
size_t FramesBefore(const Headless& run, const std::string& words) {
    return Matching(Trace(run.trace.begin(), Where(run, words)), "flip").size();
}
GifByteType At(const Frame& frame, int x, int y) { return frame.at(static_cast<size_t>(y) * 640 + x); }
std::array<int, 3> Colour(const Recording& r, int i) { return {r.colors.at(i).Red, r.colors.at(i).Green, r.colors.at(i).Blue}; }
// Each failing set-up step named in a box, then the program's, unless no window can own one; no frames, nothing
// left (a leak changes a sanitized exit).
TEST(Programs, AFailingSetUpStepIsNamedAndEndsTheRunWithOne) {
    for (const std::string& program : kPrograms)
        for (const std::string step : {"RegisterClassA", "CreateWindowExA", "DirectDrawCreate", "QueryInterface",
                                       "SetCooperativeLevel", "SetDisplayMode", "CreateSurface", "GetAttachedSurface"}) {
            const Headless run = RunHeadless(program, step, {"--fail", step}, 1);
            EXPECT_EQ(run.output, step.back() == 'A' ? "" : "Direct Draw Miss: " + step +
                      " FAILED\nDirectDraw Sample: DirectDraw init failed. The sample will now exit. \n") << step;
            EXPECT_TRUE(run.recording.frames.empty() && Matching(run.trace, "fail").size() == 1u)
                << program << " " << step << ": no frames, set-up stopped at the first failure";
        }
    const Headless texture = RunHeadless(DICE_PROGRAM, "texture", {"--fail", "LoadImageA"}, 1);
    EXPECT_TRUE(texture.output == "Direct Draw Miss: DDLoadBitmap FAILED\n" && texture.recording.frames.empty());
}
// Escape, Alt+X and the close button end the run at once with 0; another key does nothing.
TEST(Programs, EscapeAltXAndCloseEndTheRunWithZero) {
    for (const std::string& program : kPrograms)
        for (const std::string event : {"key=Escape", "key=Alt+X", "close"}) {
            const Headless run = RunHeadless(program, "close", {"--events", "50:key=X,100:" + event});
            EXPECT_TRUE(run.output.empty() && run.recording.frames.size() == 6u) << program << " " << event;
            EXPECT_EQ(run.trace.end() - Where(run, "event " + event + " 1000002"), 2) << "only the exit after";
        }
}
// Two runs give the same bytes, --digest names the frames: a looping 640 x 480 animation, each frame turned.
Recording RecordTwice(const std::string& program, int frames) {
    const std::string digests = TempPath("again.digest");
    const Headless run = RunHeadless(program, "first", {"--frames", std::to_string(frames)});
    const Headless again = RunHeadless(program, "again", {"--frames", std::to_string(frames), "--digest", digests});
    EXPECT_TRUE(!ReadFile(again.recordingPath).empty() && ReadFile(run.recordingPath) == ReadFile(again.recordingPath));
    const Recording& recording = run.recording;
    const std::vector<std::string> lines = Lines(ReadFile(digests));
    EXPECT_TRUE(recording.frames.size() == size_t(frames) && lines.size() == size_t(frames)) << lines.size();
    for (size_t k = 0; k < std::min(lines.size(), recording.frames.size()); ++k) {
        char digest[17];
        const platform::Frame shown{recording.frames[k].data(), 640, 640, 480, nullptr};
        EXPECT_EQ(lines[k], (std::snprintf(digest, sizeof digest, "%016llx", (unsigned long long)platform::FrameDigest(shown)), digest)) << k;
    }
    EXPECT_TRUE(recording.width == 640 && recording.height == 480 && recording.loops);
    for (size_t k = 1; k < recording.frames.size(); ++k) EXPECT_NE(recording.frames[k], recording.frames[k - 1]) << k;
    return recording;
}
// The cube turns a degree a frame, alike after 90, on the ramp's nearest to 0x787824, also without a palette; the
// die's screen takes the texture's colours, its white near face over the exact background.
TEST(Programs, RecordingsAreTheSameOnEveryRun) {
    const Recording cube = RecordTwice(WIRECUBE_PROGRAM, 120), die = RecordTwice(DICE_PROGRAM, 60);
    ASSERT_TRUE(cube.frames.size() == 120u && !die.frames.empty());
    const Headless bare = RunHeadless(WIRECUBE_PROGRAM, "nopalette", {"--fail", "CreatePalette", "--frames", "120"});
    EXPECT_EQ(bare.recording.frames, cube.frames);
    const GifByteType background = At(cube.frames[0], 0, 0), white = At(cube.frames[0], 320, 374);
    EXPECT_TRUE(Colour(cube, white) == (std::array{255, 255, 255}) && Colour(cube, background) == (std::array{36, 109, 85}));
    for (const Frame& frame : cube.frames)
        EXPECT_EQ(std::set<GifByteType>(frame.begin(), frame.end()), (std::set<GifByteType>{background, white}));
    EXPECT_TRUE(cube.frames[90] == cube.frames[0] && cube.frames[119] == cube.frames[29]);
    EXPECT_EQ(Colour(die, At(die.frames[0], 0, 0)), (std::array{0x24, 0x78, 0x78}));
    EXPECT_EQ(Colour(die, At(die.frames[0], 320, 240)), (std::array{255, 255, 255}));
}
// After the line the run goes on as if no time had passed: one frame repeats, then those of an unbroken run.
void ExpectGoesOnWhereItStopped(const Headless& run, const Headless& never, const std::string& line) {
    const std::vector<Frame>& frames = run.recording.frames;
    const size_t after = FramesBefore(run, line);
    ASSERT_TRUE(after > 0 && after < frames.size());
    EXPECT_EQ(frames[after], frames[after - 1]);
    auto distinct = [](std::vector<Frame> f) { return std::vector<Frame>(f.begin(), std::unique(f.begin(), f.end())); };
    const std::vector<Frame> seen = distinct(frames), unbroken = distinct(never.recording.frames);
    ASSERT_TRUE(seen.size() == frames.size() - 1 && seen.size() <= unbroken.size());
    EXPECT_TRUE(std::equal(seen.begin(), seen.end(), unbroken.begin()));
}
// A lost display misses every refresh; regained, the scene goes on. Minimised, a program sleeps in one wait; the
// cube goes on where it stopped, the die turns by the whole wait (alike every 28 seconds).
TEST(Programs, LostTheProgramsGoOnFromTheSameAngleMinimisedTheySleepThenTheDieCatchesUp) {
    for (const std::string& program : kPrograms) {
        const Headless never = RunHeadless(program, "never", {"--frames", "40"});
        const Headless run = RunHeadless(program, "lost", {"--events", "250:lose,750:regain", "--frames", "40"});
        const Trace lost = Between(run, "away", "event regain");
        EXPECT_TRUE(Matching(lost, "miss").size() == 30u && lost.size() == 30u) << program << ": only missed refreshes";
        ExpectGoesOnWhereItStopped(run, never, "event regain");
        const Headless asleep = RunHeadless(program, "minimised", {"--events", "250:minimize,1250:restore", "--frames", "30"});
        const Trace waiting = Between(asleep, "event minimize", "event restore");
        EXPECT_TRUE(Matching(waiting, "flip").empty() && Matching(waiting, "miss").empty());
        EXPECT_EQ(Matching(waiting, "wait").size(), 1u) << "one wait, no busy loop";
        if (program == WIRECUBE_PROGRAM) { ExpectGoesOnWhereItStopped(asleep, never, "event restore"); continue; }
        const size_t after = FramesBefore(asleep, "event restore");
        ASSERT_TRUE(after > 0 && after < 30);
        EXPECT_NE(asleep.recording.frames[after], asleep.recording.frames[after - 1]) << "the wait reaches the die";
        const Headless longer = RunHeadless(program, "longer", {"--events", "250:minimize,29250:restore", "--frames", "30"});
        EXPECT_EQ(asleep.recording.frames, longer.recording.frames);
    }
}
// A frame whose clear fails is dropped with its time: the cube then stands a frame behind an unbroken run. A flip
// that finds the display lost restores it at once: the die reloads its texture, whose scripted failure shows next.
TEST(Programs, AFrameThatEndsEarlyDropsItsTimeAndALostFlipRestores) {
    const Headless flip =
        RunHeadless(DICE_PROGRAM, "flip", {"--fail", "Flip@9:DDERR_SURFACELOST", "--fail", "LoadImageA@2", "--frames", "9"});
    EXPECT_EQ(Where(flip, "fail Flip") + 1, Where(flip, "fail LoadImageA"));
    const Headless never = RunHeadless(WIRECUBE_PROGRAM, "never", {"--frames", "61"});
    const Headless run = RunHeadless(WIRECUBE_PROGRAM, "failed", {"--fail", "Blt@30", "--frames", "60"});
    const size_t failed = FramesBefore(run, "fail Blt");
    ASSERT_TRUE(failed == 29u && run.recording.frames.size() == 60u && never.recording.frames.size() == 61u);
    for (size_t k = 0; k < 60; ++k) EXPECT_EQ(run.recording.frames[k], never.recording.frames[k < failed ? k : k - 1]) << "frame " << k;
}
}  // namespace
