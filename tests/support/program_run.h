// Runs a program as a user would, as a child process whose standard output
// and error go to one file, and reads what the run left behind.
#ifndef TESTS_SUPPORT_PROGRAM_RUN_H
#define TESTS_SUPPORT_PROGRAM_RUN_H

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <vector>

// A file name of the running test's own, in the test scratch folder.
std::string TempPath(const std::string& name);

std::string ReadFile(const std::string& path);
std::vector<std::string> Lines(const std::string& text);

// Starts the program with the arguments, its output appended to outputPath.
// Leak detection stays on in a sanitized child whatever the environment says,
// so that a program that does not release everything cannot exit well.
pid_t Start(const std::string& program, const std::vector<std::string>& args, const std::string& outputPath);

// Waits for the child and returns its exit code; one that a signal ended
// fails the test and gives 128 + the signal.
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

#endif
