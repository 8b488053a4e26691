#include "headless_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

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

size_t FramesBefore(const std::vector<std::string>& trace, const std::string& line) {
    size_t end = IndexOf(trace, line);
    return Matching(std::vector<std::string>(trace.begin(), trace.begin() + static_cast<ptrdiff_t>(end)), "flip").size();
}

std::vector<Frame> DistinctFrames(const std::vector<Frame>& frames) {
    std::vector<Frame> distinct;
    for (const Frame& frame : frames)
        if (distinct.empty() || distinct.back() != frame) distinct.push_back(frame);
    return distinct;
}

bool IsPrefix(const std::vector<Frame>& part, const std::vector<Frame>& whole) {
    return part.size() <= whole.size() && std::equal(part.begin(), part.end(), whole.begin());
}

GifByteType At(const Frame& frame, int x, int y) { return frame.at(static_cast<size_t>(y) * 640 + static_cast<size_t>(x)); }
