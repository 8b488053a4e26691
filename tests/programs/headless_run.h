// One headless run of a program with its trace and recording, and what the
// tests ask of the frames it presented.
#ifndef TESTS_PROGRAMS_HEADLESS_RUN_H
#define TESTS_PROGRAMS_HEADLESS_RUN_H

#include <cstddef>
#include <string>
#include <vector>

#include "program_run.h"
#include "recording.h"

using Frame = std::vector<GifByteType>;

struct HeadlessRun {
    int exitCode = -1;
    std::string output;  // what the program wrote, message boxes included
    std::vector<std::string> trace;
    std::string recordingPath;
    Recording recording;
};

// Runs the program headless with the arguments, tracing and recording into
// files named after the test and `name`, and decodes the recording.
HeadlessRun RunHeadless(const std::string& program, const std::string& name, const std::vector<std::string>& args);

// How many frames were presented before the line of the trace: the index of
// the first recorded frame after it.
size_t FramesBefore(const std::vector<std::string>& trace, const std::string& line);

// The frames with every run of equal frames in a row cut down to one: what
// the viewer sees change, whatever the pace.
std::vector<Frame> DistinctFrames(const std::vector<Frame>& frames);

// Whether `part` is `whole` from its start on.
bool IsPrefix(const std::vector<Frame>& part, const std::vector<Frame>& whole);

// Colour index at column x, row y of a 640 x 480 frame.
GifByteType At(const Frame& frame, int x, int y);

#endif
