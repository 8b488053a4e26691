// Runs a program as a child process, its output and errors to one file, and reads what the run left.
#pragma once
#include <sys/types.h>
#include <cstddef>
#include <string>
#include <vector>
#include "recording.h"
std::string TempPath(const std::string& name);  // a file name of the running test's own
std::string ReadFile(const std::string& path);
std::vector<std::string> Lines(const std::string& text);
// Output appended to outputPath; leak detection stays on, so a program that leaks cannot exit well.
pid_t Start(const std::string& program, const std::vector<std::string>& args, const std::string& outputPath);
int Finish(pid_t pid);  // the exit code; a signal fails the test
struct RunResult { int exitCode; std::string output; };
RunResult RunToEnd(const std::string& program, const std::vector<std::string>& args);
// Lines starting with the word; where a line stands (missing fails); the lines strictly between two.
std::vector<std::string> Matching(const std::vector<std::string>& lines, const std::string& word);
size_t IndexOf(const std::vector<std::string>& lines, const std::string& line);
std::vector<std::string> Between(const std::vector<std::string>& lines, const std::string& first, const std::string& last);
// One run on the headless display, traced and recorded into files named after the test and `name`.
struct HeadlessRun : RunResult {
    std::string recordingPath;
    std::vector<std::string> trace;
    Recording recording;
};
HeadlessRun RunHeadless(const std::string& program, const std::string& name, const std::vector<std::string>& args);
std::string LineOf(const HeadlessRun& run, const std::string& words);  // the one trace line starting so
size_t FramesBefore(const HeadlessRun& run, const std::string& line);  // frames presented before the line
