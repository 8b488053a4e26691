// Runs a program as a user would, as a child process whose standard output
// and error go to one file, and reads what the run left behind.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <vector>

#include "recording.h"

std::string TempPath(const std::string& name);  // a file name of the running test's own
std::string ReadFile(const std::string& path);
std::vector<std::string> Lines(const std::string& text);

// Starts the program with its output appended to outputPath. Leak detection
// stays on in a sanitized child, so a program that leaks cannot exit well.
pid_t Start(const std::string& program, const std::vector<std::string>& args, const std::string& outputPath);
int Finish(pid_t pid);  // the exit code; a signal fails the test

struct RunResult {
    int exitCode;
    std::string output;  // standard output and error together
};
RunResult RunToEnd(const std::string& program, const std::vector<std::string>& args);

// The lines of a trace that start with the word; where a line stands (a
// missing one fails the test); the lines strictly between two lines.
std::vector<std::string> Matching(const std::vector<std::string>& lines, const std::string& word);
size_t IndexOf(const std::vector<std::string>& lines, const std::string& line);
std::vector<std::string> Between(const std::vector<std::string>& lines, const std::string& first, const std::string& last);

// One run on the headless display, traced and recorded into files named after the test and `name`.
struct HeadlessRun {
    int exitCode = -1;
    std::string output;
    std::vector<std::string> trace;
    std::string recordingPath;
    Recording recording;
};
HeadlessRun RunHeadless(const std::string& program, const std::string& name, const std::vector<std::string>& args);
std::string LineOf(const HeadlessRun& run, const std::string& words);  // the one trace line starting so
size_t FramesBefore(const HeadlessRun& run, const std::string& line);  // frames presented before the line
