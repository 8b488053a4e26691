#include "headless_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace {

// The frames with every run of equal frames in a row cut down to one: what
// the viewer sees change, whatever the pace.
std::vector<Frame> DistinctFrames(const std::vector<Frame>& frames) {
    std::vector<Frame> distinct;
    for (const Frame& frame : frames)
        if (distinct.empty() || distinct.back() != frame) distinct.push_back(frame);
    return distinct;
}

}  // namespace

HeadlessRun RunHeadless(const std::string& program, const std::string& name, const std::vector<std::string>& args) {
    HeadlessRun run;
    const std::string tracePath = TempPath(name + ".trace");
    run.recordingPath = TempPath(name + ".gif");
    std::remove(tracePath.c_str());
    std::remove(run.recordingPath.c_str());
    std::vector<std::string> all{"--headless", "--trace", tracePath, "--record", run.recordingPath};
    all.insert(all.end(), args.begin(), args.end());
    RunResult result = RunToEnd(program, all);
    run.exitCode = result.exitCode;
    run.output = result.output;
    run.trace = Lines(ReadFile(tracePath));
    run.recording = Decode(run.recordingPath);
    for (const Frame& frame : run.recording.frames) {
        EXPECT_EQ(frame.size(), 640u * 480u);
        if (frame.size() != 640u * 480u) break;
    }
    return run;
}

HeadlessRun RecordTwice(const std::string& program, int frames) {
    const std::string count = std::to_string(frames);
    HeadlessRun run = RunHeadless(program, "first", {"--frames", count});
    EXPECT_EQ(run.exitCode, 0) << run.output;
    const std::string again = TempPath("again.gif");
    EXPECT_EQ(RunToEnd(program, {"--headless", "--frames", count, "--record", again}).exitCode, 0);
    const std::string bytes = ReadFile(run.recordingPath);
    EXPECT_FALSE(bytes.empty());
    EXPECT_EQ(bytes, ReadFile(again));

    const Recording& recording = run.recording;
    EXPECT_EQ(recording.frames.size(), static_cast<size_t>(frames));
    EXPECT_EQ(recording.width, 640);
    EXPECT_EQ(recording.height, 480);
    EXPECT_TRUE(recording.loops);
    EXPECT_FALSE(recording.framesHaveOwnColors);
    int shown = 0;
    for (int delay : recording.delays) shown += delay;
    EXPECT_EQ(shown, frames * 100 / 60) << "centiseconds";
    return run;
}

std::string LineOf(const HeadlessRun& run, const std::string& words) {
    std::vector<std::string> lines = Matching(run.trace, words);
    EXPECT_EQ(lines.size(), 1u) << words;
    return lines.empty() ? words : lines.front();
}

size_t FramesBefore(const std::vector<std::string>& trace, const std::string& line) {
    size_t end = IndexOf(trace, line);
    return Matching(std::vector<std::string>(trace.begin(), trace.begin() + static_cast<ptrdiff_t>(end)), "flip").size();
}

void ExpectAsleepBetween(const HeadlessRun& run, const std::string& first, const std::string& last) {
    std::vector<std::string> asleep = Between(run.trace, first, last);
    EXPECT_TRUE(Matching(asleep, "flip").empty());
    EXPECT_TRUE(Matching(asleep, "miss").empty());
    EXPECT_EQ(Matching(asleep, "wait").size(), 1u) << "one wait, no busy loop";
}

void ExpectOnlyMissedRefreshesWhileLost(const HeadlessRun& run, size_t refreshes) {
    std::vector<std::string> lost = Between(run.trace, LineOf(run, "away"), LineOf(run, "event regain"));
    EXPECT_EQ(Matching(lost, "miss").size(), lost.size()) << "nothing but missed refreshes";
    EXPECT_EQ(lost.size(), refreshes);
}

void ExpectGoesOnWhereItStopped(const HeadlessRun& run, const HeadlessRun& never, const std::string& line) {
    const std::vector<Frame>& frames = run.recording.frames;
    const size_t after = FramesBefore(run.trace, line);
    ASSERT_GT(after, 0u);
    ASSERT_LT(after, frames.size());
    EXPECT_EQ(frames[after], frames[after - 1]);
    std::vector<Frame> seen = DistinctFrames(frames);
    std::vector<Frame> unbroken = DistinctFrames(never.recording.frames);
    EXPECT_EQ(seen.size(), frames.size() - 1) << "one frame shown twice";
    ASSERT_LE(seen.size(), unbroken.size());
    EXPECT_TRUE(std::equal(seen.begin(), seen.end(), unbroken.begin()));
}

GifByteType At(const Frame& frame, int x, int y) { return frame.at(static_cast<size_t>(y) * 640 + static_cast<size_t>(x)); }
