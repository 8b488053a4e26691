// Runs a program as a user would, as a child process whose standard output
// and error go to one file, and reads what the run left behind.
#ifndef TESTS_SUPPORT_PROGRAM_RUN_H
#define TESTS_SUPPORT_PROGRAM_RUN_H

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <vector>

#include "recording.h"

// A file name of the running test's own, in the test scratch folder.
std::string TempPath(const std::string& name);
std::string ReadFile(const std::string& path);
std::vector<std::string> Lines(const std::string& text);

// Starts the program with its output appended to outputPath. Leak detection
// stays on in a sanitized child, so that a program that does not release
// everything cannot exit well.
pid_t Start(const std::string& program, const std::vector<std::string>& args, const std::string& outputPath);
// The child's exit code; one that a signal ended fails the test.
int Finish(pid_t pid);

struct RunResult {
    int exitCode;
    std::string output;  // standard output and error together
};
RunResult RunToEnd(const std::string& program, const std::vector<std::string>& args);

// The lines of a trace that start with the word.
std::vector<std::string> Matching(const std::vector<std::string>& lines, const std::string& word);
// Where the line stands in the trace; a line that is missing fails the test.
size_t IndexOf(const std::vector<std::string>& lines, const std::string& line);
// The lines strictly between two lines of the trace.
std::vector<std::string> Between(const std::vector<std::string>& lines, const std::string& first,
                                 const std::string& last);

// One run on the headless display, traced and recorded into files named
// after the test and `name`.
struct HeadlessRun {
    int exitCode = -1;
    std::string output;
    std::vector<std::string> trace;
    std::string recordingPath;
    Recording recording;
};
HeadlessRun RunHeadless(const std::string& program, const std::string& name, const std::vector<std::string>& args);

// The one line of the trace that starts with the words.
std::string LineOf(const HeadlessRun& run, const std::string& words);
// How many frames were presented before the line.
size_t FramesBefore(const HeadlessRun& run, const std::string& line);

#endif
