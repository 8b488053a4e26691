// A desktop of its own for running the programs as a user would: a virtual X
// server with a window manager, the X tools that press keys and minimise
// windows, screenshots, and runs of a program with its trace.
#ifndef TESTS_PLATFORM_SDL_X_DESKTOP_H
#define TESTS_PLATFORM_SDL_X_DESKTOP_H

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace desktop {

// Whether a program of that name is on the PATH.
bool Installed(const std::string& program);

// A picture of the screen, each pixel 0xRRGGBB.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Reads an X window dump (the format that xwd writes) of a true-colour
// screen. False, with the reason, for anything else.
bool DecodeXwd(const std::string& bytes, Picture& picture, std::string& error);

// Calls `done` every few milliseconds until it says yes or `seconds` pass.
bool WaitUntil(const std::function<bool()>& done, double seconds);

struct WindowPlace {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

class XDesktop {
public:
    ~XDesktop();

    // Starts the X server with a screen of width x height and, unless told
    // not to, the window manager on it. False, with the reason, when either
    // does not come up.
    bool Start(int width, int height, std::string& error, bool windowManager = true);
    void Stop();

    // The environment of a program that runs on this desktop.
    std::vector<std::string> Environment() const;

    // Runs an X tool to its end on this desktop: its exit code, and its
    // standard output when asked for.
    int Tool(const std::vector<std::string>& argv, std::string* output = nullptr) const;

    bool Screenshot(Picture& picture, std::string& error) const;

    // The first window with that title, waiting for it to appear: its X
    // identifier, or empty.
    std::string FindWindow(const std::string& title, double seconds) const;

    // Where a window's contents are on the screen.
    std::optional<WindowPlace> Place(const std::string& window) const;

private:
    bool StartServer(int number, const std::string& screen);
    // Whether the window manager frames a window that asks to be shown.
    bool ManagesAWindow() const;

    std::string display_;
    pid_t server_ = -1;
    pid_t windowManager_ = -1;
};

// A program running on a desktop; one of ours with a trace of its flips and
// events (--trace).
class ProgramRun {
public:
    ProgramRun(const XDesktop& desktop, const std::string& program, std::vector<std::string> args,
               const std::string& name, bool traced = true);
    ~ProgramRun();

    std::vector<std::string> Trace() const;
    // The number of lines of the trace that start with the word.
    size_t Count(const std::string& word) const;
    // The clock's counts at the end of every trace line that starts with the word.
    std::vector<long long> Times(const std::string& word) const;
    std::string Output() const;

    // The exit code if the program ends within `seconds`; otherwise nothing,
    // and the program goes on running.
    std::optional<int> WaitForExit(double seconds);
    bool Running();
    void Signal(int signal);

private:
    pid_t pid_ = -1;
    std::optional<int> exitCode_;
    std::string trace_;
    std::string output_;
};

}  // namespace desktop

#endif
