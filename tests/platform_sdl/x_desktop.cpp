#include "x_desktop.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace desktop {

namespace {

using Clock = std::chrono::steady_clock;

// How long the X server and the window manager may take to come up.
constexpr double kStartSeconds = 20;

std::vector<char*> Pointers(const std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (const std::string& s : strings) pointers.push_back(const_cast<char*>(s.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

// Starts a program found on the PATH with the environment, its standard
// output into `stdoutFd` (or nowhere) and its standard error into `stderrPath`
// (or nowhere); `keepFd` stays open in it as descriptor 3.
pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env, int stdoutFd,
            const std::string& stderrPath, int keepFd = -1) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (stdoutFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, stdoutFd, 1);
    else
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const char* errorPath = stderrPath.empty() ? "/dev/null" : stderrPath.c_str();
    posix_spawn_file_actions_addopen(&actions, 2, errorPath, O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (keepFd >= 0) posix_spawn_file_actions_adddup2(&actions, keepFd, 3);
    std::vector<char*> args = Pointers(argv);
    std::vector<char*> envp = Pointers(env);
    pid_t pid = -1;
    if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), envp.data()) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// Waits for a child: its exit code, or 128 + the signal that ended it.
int Reap(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void Terminate(pid_t& pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    Reap(pid);
    pid = -1;
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

uint32_t BigEndian32(const std::string& bytes, size_t at) {
    return static_cast<uint32_t>(static_cast<unsigned char>(bytes[at])) << 24 |
           static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 16 |
           static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 3]));
}

// The channel under an 8-bit-wide mask.
bool MaskShift(uint32_t mask, int& shift) {
    if (mask == 0) return false;
    shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    return (mask >> shift) == 0xFF;
}

}  // namespace

bool Installed(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "");
    for (std::string folder; std::getline(folders, folder, ':');)
        if (!folder.empty() && access((folder + "/" + program).c_str(), X_OK) == 0) return true;
    return false;
}

bool DecodeXwd(const std::string& bytes, Picture& picture, std::string& error) {
    constexpr size_t kHeaderWords = 25;
    if (bytes.size() < kHeaderWords * 4) {
        error = "shorter than a header";
        return false;
    }
    uint32_t header[kHeaderWords];
    for (size_t i = 0; i < kHeaderWords; ++i) header[i] = BigEndian32(bytes, i * 4);
    enum { HeaderSize, Version, Format, Depth, Width, Height, XOffset, ByteOrder, BitmapUnit, BitOrder, BitmapPad,
           BitsPerPixel, BytesPerLine, VisualClass, RedMask, GreenMask, BlueMask, BitsPerRgb, ColormapEntries, Colors };
    constexpr uint32_t kZPixmap = 2;
    constexpr uint32_t kTrueColor = 4;
    constexpr uint32_t kDirectColor = 5;
    if (header[Version] != 7 || header[Format] != kZPixmap ||
        (header[VisualClass] != kTrueColor && header[VisualClass] != kDirectColor)) {
        error = "not a true-colour pixmap dump";
        return false;
    }
    uint32_t bitsPerPixel = header[BitsPerPixel];
    int shifts[3];
    if ((bitsPerPixel != 24 && bitsPerPixel != 32) || !MaskShift(header[RedMask], shifts[0]) ||
        !MaskShift(header[GreenMask], shifts[1]) || !MaskShift(header[BlueMask], shifts[2])) {
        error = "pixels of " + std::to_string(bitsPerPixel) + " bits that are not 8 bits a channel";
        return false;
    }
    uint64_t width = header[Width];
    uint64_t height = header[Height];
    uint64_t pitch = header[BytesPerLine];
    uint64_t start = uint64_t{header[HeaderSize]} + uint64_t{header[Colors]} * 12;
    if (width == 0 || height == 0 || width > 16384 || height > 16384 || pitch < width * bitsPerPixel / 8 ||
        start + pitch * height > bytes.size()) {
        error = "sizes that do not fit the file";
        return false;
    }
    bool littleEndian = header[ByteOrder] == 0;
    size_t bytesPerPixel = bitsPerPixel / 8;
    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    picture.pixels.assign(width * height, 0);
    for (uint64_t y = 0; y < height; ++y) {
        for (uint64_t x = 0; x < width; ++x) {
            const auto* p =
                reinterpret_cast<const unsigned char*>(bytes.data() + start + y * pitch + x * bytesPerPixel);
            uint32_t value = 0;
            for (size_t b = 0; b < bytesPerPixel; ++b)
                value |= uint32_t{p[littleEndian ? b : bytesPerPixel - 1 - b]} << (8 * b);
            picture.pixels[y * width + x] = ((value >> shifts[0]) & 0xFF) << 16 | ((value >> shifts[1]) & 0xFF) << 8 |
                                            ((value >> shifts[2]) & 0xFF);
        }
    }
    return true;
}

bool WaitUntil(const std::function<bool()>& done, double seconds) {
    auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (Clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

XDesktop::~XDesktop() { Stop(); }

// Starts the X server on that display number; false when the number is taken
// or the server does not come up.
bool XDesktop::StartServer(int number, const std::string& screen) {
    // The server writes the number of its display once it is ready.
    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0) return false;
    server_ = Spawn({"Xvfb", ":" + std::to_string(number), "-displayfd", "3", "-screen", "0", screen, "-nolisten",
                     "tcp", "-br"},
                    {}, -1, "", ready[1]);
    close(ready[1]);
    std::string written;
    pollfd wait{ready[0], POLLIN, 0};
    auto deadline = Clock::now() + std::chrono::duration<double>(kStartSeconds);
    while (server_ > 0 && written.find('\n') == std::string::npos && Clock::now() < deadline) {
        if (poll(&wait, 1, 100) <= 0) continue;
        char buffer[16];
        ssize_t got = read(ready[0], buffer, sizeof buffer);
        if (got <= 0) break;  // the server ended: the display is someone else's
        written.append(buffer, static_cast<size_t>(got));
    }
    close(ready[0]);
    if (written.find('\n') == std::string::npos) {
        Terminate(server_);
        return false;
    }
    display_ = ":" + std::to_string(number);
    return true;
}

bool XDesktop::Start(int width, int height, std::string& error, bool windowManager) {
    // Display numbers of our own, away from the low ones that desktops and
    // other test runs on the machine take.
    std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    bool started = false;
    for (int attempt = 0; attempt < 20 && !started; ++attempt)
        started = StartServer(200 + (getpid() + attempt * 37) % 700, screen);
    if (!started) {
        error = "Xvfb did not start";
        return false;
    }
    if (!windowManager) return true;
    // Openbox names itself on the root before it handles the windows that
    // ask to be shown; a window asking before then may never be shown, and SDL
    // waits for that without end. Test windows show when it has begun.
    std::string managerLog = ::testing::TempDir() + "desktop_openbox" + display_.substr(1) + ".log";
    windowManager_ = Spawn({"openbox"}, Environment(), -1, managerLog);
    bool managed = false;
    WaitUntil(
        [&] {
            if (windowManager_ > 0 && waitpid(windowManager_, nullptr, WNOHANG) == windowManager_) windowManager_ = -1;
            if (windowManager_ <= 0) return true;
            managed = ManagesAWindow();
            return managed;
        },
        kStartSeconds);
    if (!managed) {
        error = "openbox did not start on " + display_ + ": " + ReadFile(managerLog);
        Stop();
        return false;
    }
    return true;
}

bool XDesktop::ManagesAWindow() const {
    constexpr double kProbeSeconds = 2;
    ProgramRun probe(*this, "xlogo", {}, "probe", false);
    std::string window = FindWindow("xlogo", kProbeSeconds);
    std::string state;
    return !window.empty() && WaitUntil(
                                  [&] {
                                      return Tool({"xprop", "-id", window, "WM_STATE"}, &state) == 0 &&
                                             state.find("Normal") != std::string::npos;
                                  },
                                  kProbeSeconds);
}

void XDesktop::Stop() {
    Terminate(windowManager_);
    Terminate(server_);
}

std::vector<std::string> XDesktop::Environment() const {
    std::vector<std::string> env;
    for (char** entry = environ; *entry; ++entry) {
        std::string variable = *entry;
        if (variable.rfind("DISPLAY=", 0) != 0 && variable.rfind("WAYLAND_DISPLAY=", 0) != 0) env.push_back(variable);
    }
    env.push_back("DISPLAY=" + display_);
    return env;
}

int XDesktop::Tool(const std::vector<std::string>& argv, std::string* output) const {
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) return -1;
    pid_t pid = Spawn(argv, Environment(), out[1], "");
    close(out[1]);
    std::string text;
    char buffer[65536];
    for (ssize_t got; (got = read(out[0], buffer, sizeof buffer)) != 0;) {
        if (got < 0) {
            if (errno == EINTR) continue;
            break;
        }
        text.append(buffer, static_cast<size_t>(got));
    }
    close(out[0]);
    if (output) *output = std::move(text);
    return pid > 0 ? Reap(pid) : -1;
}

bool XDesktop::Screenshot(Picture& picture, std::string& error) const {
    std::string dump;
    if (Tool({"xwd", "-root", "-silent"}, &dump) != 0) {
        error = "xwd failed";
        return false;
    }
    return DecodeXwd(dump, picture, error);
}

std::string XDesktop::FindWindow(const std::string& title, double seconds) const {
    // The tree lists each window as: 0x800002 "Title": ("class" "Class") ...
    // (the search of xdotool misses titles that are not plain strings, as SDL's
    // message boxes have).
    std::string found;
    std::string quoted = " \"" + title + "\":";
    WaitUntil(
        [&] {
            std::string tree;
            if (Tool({"xwininfo", "-root", "-tree"}, &tree) != 0) return false;
            size_t at = tree.find(quoted);
            if (at == std::string::npos) return false;
            size_t start = tree.rfind("0x", at);
            found = tree.substr(start, at - start);
            return true;
        },
        seconds);
    return found;
}

std::optional<WindowPlace> XDesktop::Place(const std::string& window) const {
    std::string info;
    if (Tool({"xwininfo", "-id", window}, &info) != 0) return std::nullopt;
    auto field = [&info](const std::string& name) {
        size_t at = info.find(name);
        return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + name.size());
    };
    WindowPlace place{field("Absolute upper-left X:"), field("Absolute upper-left Y:"), field("Width:"),
                      field("Height:")};
    if (place.width <= 0 || place.height <= 0) return std::nullopt;
    return place;
}

ProgramRun::ProgramRun(const XDesktop& desktop, const std::string& program, std::vector<std::string> args,
                       const std::string& name, bool traced) {
    trace_ = ::testing::TempDir() + "desktop_" + name + ".trace";
    output_ = ::testing::TempDir() + "desktop_" + name + ".out";
    std::remove(trace_.c_str());
    std::remove(output_.c_str());
    args.insert(args.begin(), program);
    if (traced) {
        args.push_back("--trace");
        args.push_back(trace_);
    }
    int out = open(output_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    pid_ = Spawn(args, desktop.Environment(), out, output_);
    if (out >= 0) close(out);
}

ProgramRun::~ProgramRun() {
    if (Running()) {
        kill(pid_, SIGKILL);
        Reap(pid_);
    }
}

std::vector<std::string> ProgramRun::Trace() const {
    std::vector<std::string> lines;
    std::istringstream text(ReadFile(trace_));
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines;
}

size_t ProgramRun::Count(const std::string& word) const { return Times(word).size(); }

std::vector<long long> ProgramRun::Times(const std::string& word) const {
    std::vector<long long> times;
    for (const std::string& line : Trace())
        if (line.rfind(word + " ", 0) == 0) times.push_back(std::atoll(line.c_str() + line.rfind(' ') + 1));
    return times;
}

std::string ProgramRun::Output() const { return ReadFile(output_); }

std::optional<int> ProgramRun::WaitForExit(double seconds) {
    WaitUntil([this] { return !Running(); }, seconds);
    return exitCode_;
}

void ProgramRun::Signal(int signal) {
    if (Running()) kill(pid_, signal);
}

bool ProgramRun::Running() {
    int status = 0;
    if (pid_ > 0 && waitpid(pid_, &status, WNOHANG) == pid_) {
        exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        pid_ = -1;
    }
    return pid_ > 0;
}

}  // namespace desktop
