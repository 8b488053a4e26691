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

// Records the given number of frames twice; the two files must be the same
// byte for byte, a looping 640 x 480 animation as long as the frames were
// shown at 60 Hz, in the screen's colours throughout. Gives the first run.
HeadlessRun RecordTwice(const std::string& program, int frames);

// The one line of the trace that starts with the words.
std::string LineOf(const HeadlessRun& run, const std::string& words);

// How many frames were presented before the line of the trace: the index of
// the first recorded frame after it.
size_t FramesBefore(const std::vector<std::string>& trace, const std::string& line);

// Between the two lines the program slept: one wait, no busy loop, and no
// frame presented or missed.
void ExpectAsleepBetween(const HeadlessRun& run, const std::string& first, const std::string& last);

// From the display going away until it was regained, every refresh passed
// without a frame, and there were that many of them.
void ExpectOnlyMissedRefreshesWhileLost(const HeadlessRun& run, size_t refreshes);

// The program went on after the line from where it stopped, as if no time had
// passed: the first frame after shows what the last one before did, and the
// frames are those of a run where nothing happened (`never`).
void ExpectGoesOnWhereItStopped(const HeadlessRun& run, const HeadlessRun& never, const std::string& line);

// Colour index at column x, row y of a 640 x 480 frame.
GifByteType At(const Frame& frame, int x, int y);

#endif
