// Runs a program as a child process, its output and errors to one file, and reads what the run left.
#pragma once
#include <gif_lib.h>
#include <sys/types.h>
#include <string>
#include <vector>
std::string TempPath(const std::string& name);  // a file name of the running test's own (of the run's, outside a test)
std::string ReadFile(const std::string& path);
std::vector<std::string> Lines(const std::string& text);
// Output appended to outputPath; leak detection stays on, so a program that leaks cannot exit well.
pid_t Start(const std::string& program, const std::vector<std::string>& args, const std::string& outputPath);
int Finish(pid_t pid);  // the exit code; a signal fails the test
struct RunResult { int exitCode; std::string output; };
RunResult RunToEnd(const std::string& program, const std::vector<std::string>& args);
std::vector<std::string> Matching(const std::vector<std::string>& lines, const std::string& word);  // starting so
// A recording (--record) decoded: the frames' palette indices and the screen's colours.
struct Recording {
    int width = 0, height = 0;
    std::vector<std::vector<GifByteType>> frames;  // rows of width indices
    std::vector<GifColorType> colors;               // of the screen
    bool loops = false;
};
// A file that cannot be read as a GIF fails the test and gives no frames.
Recording Decode(const std::string& path);
