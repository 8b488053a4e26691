// The programs on a desktop, as a user runs them: a virtual X server of
// 1280 x 720 (wider than 4:3, so that full screen shows bars) with a window
// manager, keys pressed and windows minimised through the X tools, and what
// the screen shows read back from screenshots. Every scenario runs through
// SDL's OpenGL renderer and through its software one, the two that hosts give.
#include <fcntl.h>
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <thread>

extern char** environ;

namespace {

constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 720;
constexpr long long kRefreshCounts = 166'667;
// Start-up under a sanitizer on a busy machine may be slow; the way out must not.
constexpr double kStartSeconds = 30;
constexpr double kExitSeconds = 2;
constexpr double kReactSeconds = 10;

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kWhite = 0xFFFFFF;
// The background 0x247878 as each program's palette holds it: the die's
// texture has the colour itself; the wire-frame cube's default ramp has none
// nearer than red 36, green 109, blue 85.
constexpr uint32_t kDiceBackground = 0x247878;
constexpr uint32_t kWirecubeBackground = 0x246D55;

struct Area {
    int x, y, width, height;
};
// A 640 x 480 screen on the whole 1280 x 720: 1.5 times as large between bars,
// or at a whole scale with bars all round.
constexpr Area kFullScreen{160, 0, 960, 720};
constexpr Area kWholeScale{320, 120, 640, 480};

bool WaitUntil(const std::function<bool()>& done, double seconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::vector<char*> Pointers(const std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (const std::string& s : strings) pointers.push_back(const_cast<char*>(s.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

// A process of the test's, found on the PATH, its output (and, unless told
// otherwise, its errors) in a file; `keepFd` stays open in it as descriptor 3.
// One that still runs at the end is asked to stop, then made to.
class Process {
public:
    Process(const std::vector<std::string>& argv, const std::vector<std::string>& env, const std::string& out,
            bool errorsToo = true, int keepFd = -1) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (errorsToo) posix_spawn_file_actions_adddup2(&actions, 1, 2);
        else posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        if (keepFd >= 0) posix_spawn_file_actions_adddup2(&actions, keepFd, 3);
        if (posix_spawnp(&pid_, argv[0].c_str(), &actions, nullptr, Pointers(argv).data(), Pointers(env).data()))
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Process() {
        Signal(SIGTERM);
        if (Running() && !WaitForExit(kExitSeconds)) {
            Signal(SIGKILL);
            WaitForExit(kExitSeconds);
        }
    }
    bool Running() {
        int status = 0;
        if (pid_ > 0 && waitpid(pid_, &status, WNOHANG) == pid_) {
            exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            pid_ = -1;
        }
        return pid_ > 0;
    }
    // The exit code if the process ends within `seconds`.
    std::optional<int> WaitForExit(double seconds) {
        WaitUntil([this] { return !Running(); }, seconds);
        return exitCode_;
    }
    void Signal(int signal) {
        if (Running()) kill(pid_, signal);
    }
    pid_t Id() const { return pid_; }

private:
    pid_t pid_ = -1;
    std::optional<int> exitCode_;
};

// A picture of the screen, each pixel 0xRRGGBB.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Reads the dump that xwd writes of a screen of 8-bit channels, in 24-bit
// pixels where windows of several depths show, 32-bit ones otherwise.
std::optional<Picture> DecodeXwd(const std::string& bytes) {
    auto word = [&bytes](size_t i) {
        uint32_t value = 0;
        for (size_t b = 0; b < 4 && i * 4 + 3 < bytes.size(); ++b) value = value << 8 | uint8_t(bytes[i * 4 + b]);
        return value;
    };
    enum { HeaderSize, Version, Width = 4, Height, ByteOrder = 7, BitsPerPixel = 11, BytesPerLine, RedMask = 14,
           GreenMask, BlueMask, Colours = 19 };
    Picture picture{static_cast<int>(word(Width)), static_cast<int>(word(Height)), {}};
    uint64_t start = uint64_t{word(HeaderSize)} + uint64_t{word(Colours)} * 12, pitch = word(BytesPerLine);
    uint64_t size = word(BitsPerPixel) / 8;
    if (word(Version) != 7 || (size != 3 && size != 4) || word(ByteOrder) != 0 || word(RedMask) != 0xFF0000 ||
        word(GreenMask) != 0xFF00 || word(BlueMask) != 0xFF || picture.width != kScreenWidth ||
        picture.height != kScreenHeight || pitch < size * kScreenWidth || start + pitch * kScreenHeight > bytes.size())
        return std::nullopt;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const char* p = bytes.data() + start + y * pitch + x * size;
            picture.pixels.push_back(uint8_t(p[2]) << 16 | uint8_t(p[1]) << 8 | uint8_t(p[0]));
        }
    return picture;
}

std::map<uint32_t, size_t> Colours(const Picture& picture, const Area& area) {
    std::map<uint32_t, size_t> colours;
    for (int y = area.y; y < area.y + area.height; ++y)
        for (int x = area.x; x < area.x + area.width; ++x) ++colours[picture.At(x, y)];
    return colours;
}

size_t LitOutside(const Picture& picture, const Area& area) {
    size_t lit = 0;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            bool inside = x >= area.x && x < area.x + area.width && y >= area.y && y < area.y + area.height;
            lit += !inside && picture.At(x, y) != kBlack;
        }
    return lit;
}

// The wire-frame cube as it must look in the area: the background with white
// lines around the middle, and nothing else (scaling by nearest neighbour
// mixes no colours).
void ExpectWireCube(const Picture& picture, const Area& area) {
    std::map<uint32_t, size_t> colours = Colours(picture, area);
    size_t all = size_t(area.width) * area.height, white = colours[kWhite];
    EXPECT_GT(colours[kWirecubeBackground], all * 9 / 10);
    ASSERT_GT(white, 200u);
    EXPECT_EQ(colours[kWirecubeBackground] + white, all) << colours.size() << " colours";
    long long sumX = 0, sumY = 0;
    for (int y = area.y; y < area.y + area.height; ++y)
        for (int x = area.x; x < area.x + area.width; ++x)
            if (picture.At(x, y) == kWhite) sumX += x, sumY += y;
    EXPECT_NEAR(sumX / double(white), area.x + area.width / 2, area.width / 8);
    EXPECT_NEAR(sumY / double(white), area.y + area.height / 2, area.height / 8);
}

// One of our programs on the desktop, with a trace of its flips and events.
struct ProgramRun {
    std::string trace, output;
    std::unique_ptr<Process> process;
    std::vector<long long> Times(const std::string& word) const {
        std::vector<long long> times;
        std::istringstream text(ReadFile(trace));
        for (std::string line; std::getline(text, line);)
            if (line.rfind(word + " ", 0) == 0) times.push_back(std::atoll(line.c_str() + line.rfind(' ') + 1));
        return times;
    }
    size_t Count(const std::string& word) const { return Times(word).size(); }
    std::string Output() const { return ReadFile(output); }
    // Whether the flips go on beyond `after`.
    bool FramesResume(size_t after) const {
        return WaitUntil([&] { return Count("flip") >= after + 10; }, kReactSeconds);
    }
};

class Desktop : public ::testing::TestWithParam<const char*> {
protected:
    // Display numbers of our own, away from the low ones that desktops and
    // other test runs on the machine take; the server writes its number once
    // it is ready, and ends at once when the number is taken.
    static void SetUpTestSuite() {
        std::string screen = std::to_string(kScreenWidth) + "x" + std::to_string(kScreenHeight) + "x24";
        for (int attempt = 0; attempt < 20 && !server_; ++attempt) {
            int ready[2];
            if (pipe2(ready, O_CLOEXEC) != 0) break;
            display_ = ":" + std::to_string(200 + (getpid() + attempt * 37) % 700);
            server_ = std::make_unique<Process>(
                std::vector<std::string>{"Xvfb", display_, "-displayfd", "3", "-screen", "0", screen, "-nolisten", "tcp"},
                Environment(), "/dev/null", true, ready[1]);
            close(ready[1]);
            // Read to the end of the line: a server that found the pipe closed would end.
            pollfd wait{ready[0], POLLIN, 0};
            char byte = 0;
            while (byte != '\n' && poll(&wait, 1, int(kStartSeconds * 1000)) > 0 && read(ready[0], &byte, 1) == 1) {
            }
            if (byte != '\n') server_.reset();
            close(ready[0]);
        }
        if (!server_) return void(startError_ = "Xvfb did not start (scripts/deps.sh installs it)");
        // A window that asks to be shown before openbox handles such requests
        // may never be shown, and SDL waits for that without end: the programs
        // start once a probe window is framed.
        std::string log = Scratch("openbox.log");
        manager_ = std::make_unique<Process>(std::vector<std::string>{"openbox"}, Environment(), log);
        if (!WaitUntil([] { return !manager_->Running() || ManagesAWindow(); }, kStartSeconds) || !manager_->Running())
            startError_ = "openbox did not start on " + display_ + ": " + ReadFile(log);
    }
    static void TearDownTestSuite() {
        manager_.reset();
        server_.reset();
    }
    void SetUp() override { ASSERT_TRUE(startError_.empty()) << startError_; }

    static std::string Scratch(const std::string& name) { return ::testing::TempDir() + "desktop_" + name; }

    // The environment of a program on this desktop; ours draw through the
    // renderer of the scenario.
    static std::vector<std::string> Environment(const char* renderer = nullptr) {
        std::vector<std::string> env{"DISPLAY=" + display_};
        if (renderer) env.push_back(std::string("SDL_RENDER_DRIVER=") + renderer);
#ifdef KEEP_MODULES
        // SDL's OpenGL driver is unloaded at exit, before the leak check, which
        // then cannot tell what the driver left from what we did. Loaded to the
        // end, what the driver still holds stays reachable from it.
        if (renderer) {
            const char* asan = std::getenv("ASAN_OPTIONS");
            env.push_back("LD_PRELOAD=" KEEP_MODULES);
            env.push_back(std::string("ASAN_OPTIONS=") + (asan ? asan : "") + ":verify_asan_link_order=0");
        }
#endif
        auto name = [](std::string_view entry) { return entry.substr(0, entry.find('=') + 1); };
        size_t set = env.size();
        for (char** entry = environ; *entry; ++entry)
            if (name(*entry) != "WAYLAND_DISPLAY=" &&
                std::none_of(env.begin(), env.begin() + set, [&](auto& s) { return name(s) == name(*entry); }))
                env.push_back(*entry);
        return env;
    }

    // Runs an X tool to its end: its exit code and its output.
    static int Tool(const std::vector<std::string>& argv, std::string* output = nullptr) {
        std::string out = Scratch("tool.out");
        std::optional<int> code = Process(argv, Environment(), out, false).WaitForExit(kReactSeconds);
        if (output) *output = ReadFile(out);
        return code.value_or(-1);
    }

    static bool ManagesAWindow() {
        Process probe({"xlogo"}, Environment(), "/dev/null");
        std::string window = FindWindow("xlogo", 2), state;
        return !window.empty() && WaitUntil([&] {
            return Tool({"xprop", "-id", window, "WM_STATE"}, &state) == 0 && state.find("Normal") != std::string::npos;
        }, 2);
    }

    // The first window with that title, as the tree lists it (0x800002
    // "Title": ...; xdotool's search misses the titles of SDL's message boxes).
    static std::string FindWindow(const std::string& title, double seconds) {
        std::string found, quoted = " \"" + title + "\":";
        WaitUntil([&] {
            std::string tree;
            size_t at = Tool({"xwininfo", "-root", "-tree"}, &tree) == 0 ? tree.find(quoted) : std::string::npos;
            if (at != std::string::npos) found = tree.substr(tree.rfind("0x", at), at - tree.rfind("0x", at));
            return at != std::string::npos;
        }, seconds);
        return found;
    }

    std::string Window(const std::string& title) {
        std::string window = FindWindow(title, kReactSeconds);
        EXPECT_FALSE(window.empty()) << "no window titled " << title;
        return window;
    }

    // Where a window's contents are on the screen.
    Area Place(const std::string& window) {
        std::string info;
        Tool({"xwininfo", "-id", window}, &info);
        auto field = [&info](const std::string& name) {
            size_t at = info.find(name);
            return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + name.size());
        };
        return {field("Absolute upper-left X:"), field("Absolute upper-left Y:"), field("Width:"), field("Height:")};
    }
    bool Placed(const std::string& window, int width, int height) {
        return WaitUntil([&] {
            Area place = Place(window);
            return place.width == width && place.height == height;
        }, kReactSeconds);
    }

    void Press(const std::string& keys) { Tool({"xdotool", "key", keys}); }

    Picture Screenshot() {
        std::string dump;
        Tool({"xwd", "-root", "-silent"}, &dump);
        std::optional<Picture> picture = DecodeXwd(dump);
        EXPECT_TRUE(picture) << "no screenshot of 1280 x 720 in 8-bit channels";
        return picture.value_or(Picture{kScreenWidth, kScreenHeight, std::vector<uint32_t>(kScreenWidth * kScreenHeight)});
    }

    // Starts one of our programs; with `frames`, waits until it shows some.
    ProgramRun Start(const std::string& program, std::vector<std::string> args = {}, bool frames = true,
              std::vector<std::string> env = {}) {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        name = name.substr(name.find('/') + 1) + GetParam();
        ProgramRun run{Scratch(name + ".trace"), Scratch(name + ".out"), nullptr};
        std::remove(run.trace.c_str());
        args.insert(args.begin(), program);
        args.insert(args.end(), {"--trace", run.trace});
        std::vector<std::string> desktop = Environment(GetParam());
        env.insert(env.end(), desktop.begin(), desktop.end());
        run.process = std::make_unique<Process>(args, env, run.output);
        if (frames) {
            bool drawing = WaitUntil([&] { return run.Count("flip") >= 10 || !run.process->Running(); }, kStartSeconds);
            EXPECT_TRUE(drawing && run.process->Running()) << "no frames: " << run.Output();
        }
        return run;
    }

    void ExpectExit(ProgramRun& run, int code, double seconds = kExitSeconds) {
        EXPECT_EQ(run.process->WaitForExit(seconds), code) << run.Output();
    }

    static inline std::unique_ptr<Process> server_, manager_;
    static inline std::string display_, startError_;
};

INSTANTIATE_TEST_SUITE_P(Renderers, Desktop, ::testing::Values("opengl", "software"));

TEST_P(Desktop, WirecubeFillsTheWideScreenBetweenBarsAndStopsWhileAway) {
    ProgramRun run = Start(WIRECUBE);
    std::string window = Window("Skelvane No.1");
    std::string maps = ReadFile("/proc/" + std::to_string(run.process->Id()) + "/maps");
    EXPECT_EQ(maps.find("libGLX") != std::string::npos, GetParam() == std::string("opengl")) << "not the renderer asked for";
    Picture screen = Screenshot();
    EXPECT_EQ(LitOutside(screen, kFullScreen), 0u) << "the bars beside the 4:3 area are not black";
    ExpectWireCube(screen, kFullScreen);
    // The emulated display refreshes 60 times a second: never two flips in
    // one refresh, however fast the host could show them.
    std::vector<long long> flips = run.Times("flip");
    for (size_t i = 1; i < flips.size(); ++i)
        EXPECT_GT(flips[i] / kRefreshCounts, flips[i - 1] / kRefreshCounts) << "flip " << i;

    Tool({"xdotool", "windowminimize", window});
    ASSERT_TRUE(WaitUntil([&] { return run.Count("away") == 1 && run.Count("wait") >= 1; }, kReactSeconds));
    size_t stopped = run.Count("flip");
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(run.Count("flip"), stopped) << "frames went on while minimised";
    Tool({"xdotool", "windowactivate", window});
    ASSERT_TRUE(run.FramesResume(stopped));
    EXPECT_EQ(run.Count("back"), 1u);
    ExpectWireCube(Screenshot(), kFullScreen);

    // Another window taking the focus takes the full screen away too.
    {
        Process other({"xlogo"}, Environment(), "/dev/null");
        ASSERT_TRUE(WaitUntil([&] { return run.Count("away") == 2; }, kReactSeconds)) << "the display stayed";
    }
    Tool({"xdotool", "windowactivate", window});
    ASSERT_TRUE(run.FramesResume(run.Count("flip")));
    Press("Escape");
    ExpectExit(run, 0);
}

TEST_P(Desktop, DiceAtAWholeScaleEndsOnAltX) {
    ProgramRun run = Start(DICE, {"--integer-scale"});
    Window("Study for algorithm Sample");
    Picture screen = Screenshot();
    EXPECT_EQ(LitOutside(screen, kWholeScale), 0u);
    EXPECT_GT(Colours(screen, kWholeScale)[kDiceBackground], size_t{640 * 480} * 3 / 4);
    // The die's white face and black pips, in the middle of the screen.
    std::map<uint32_t, size_t> die = Colours(screen, Area{480, 240, 320, 240});
    EXPECT_GT(die[kWhite], 1000u);
    EXPECT_GT(die[kBlack], 100u);
    Press("alt+x");
    ExpectExit(run, 0);
}

// The small test program draws a 64 x 48 frame whose pixel (x, y) is palette
// index (x + 3y + r) mod 256 at refresh r, through a palette whose entry i is
// red i, green 255 - i, blue i / 2: every pixel of the screen tells whether it
// went through the palette and the scaling as it should.
TEST_P(Desktop, EveryPixelGoesThroughThePaletteAndScalesByNearestNeighbour) {
    ProgramRun run = Start(TINY_PROGRAM);
    Window("Tiny");
    Picture screen = Screenshot();
    EXPECT_EQ(LitOutside(screen, kFullScreen), 0u);
    constexpr int kScale = 15;  // 720 / 48, and 960 / 64
    int refresh = static_cast<int>(screen.At(kFullScreen.x, 0) >> 16), wrong = 0;
    for (int y = 0; y < kScreenHeight; ++y)
        for (int x = kFullScreen.x; x < kFullScreen.x + kFullScreen.width; ++x) {
            uint32_t index = ((x - kFullScreen.x) / kScale + 3 * (y / kScale) + refresh) & 0xFF;
            uint32_t expected = index << 16 | (255 - index) << 8 | index / 2;
            if (screen.At(x, y) != expected && wrong++ < 5)
                ADD_FAILURE() << "pixel " << x << ", " << y << " is " << std::hex << screen.At(x, y) << " not " << expected;
        }
    EXPECT_EQ(wrong, 0);
    run.process->Signal(SIGTERM);
    ExpectExit(run, 0);
    EXPECT_EQ(run.Count("signal"), 1u);
}

TEST_P(Desktop, AWindowAtAWholeScaleThatAltEnterSwitchesAndTheCloseButtonEnds) {
    ProgramRun run = Start(WIRECUBE, {"--window"});
    std::string window = Window("Skelvane No.1"), icon;
    Tool({"xprop", "-id", window, "_NET_WM_ICON"}, &icon);
    EXPECT_NE(icon.find("Icon (32 x 32)"), std::string::npos) << icon;
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        // Twice 640 x 480 would not fit 720 rows.
        ASSERT_TRUE(Placed(window, 640, 480));
        ASSERT_TRUE(run.FramesResume(run.Count("flip")));
        Area place = Place(window);
        ASSERT_TRUE(place.x >= 0 && place.y >= 0 && place.x + 640 <= kScreenWidth && place.y + 480 <= kScreenHeight);
        ExpectWireCube(Screenshot(), place);
        Press("alt+Return");
        ASSERT_TRUE(Placed(window, kScreenWidth, kScreenHeight));
        ASSERT_TRUE(run.FramesResume(run.Count("flip")));
        Picture screen = Screenshot();
        EXPECT_EQ(LitOutside(screen, kFullScreen), 0u);
        ExpectWireCube(screen, kFullScreen);
        Press("alt+Return");
    }
    EXPECT_EQ(run.Count("away"), 0u) << "switching took the display away";
    Press("alt+F4");  // the window manager's close, as its button gives
    ExpectExit(run, 0);
}

// Every presented frame is in the recording, also when an interruption ends the run.
TEST_P(Desktop, RecordingWorksOnTheDesktopAndEndsCompleteOnAnInterrupt) {
    std::string gif = Scratch(std::string("recording_") + GetParam() + ".gif");
    ProgramRun run = Start(WIRECUBE, {"--record", gif});
    run.process->Signal(SIGINT);
    ExpectExit(run, 0);
    EXPECT_EQ(run.Count("signal"), 1u);
    int error = 0;
    GifFileType* file = DGifOpenFileName(gif.c_str(), &error);
    ASSERT_NE(file, nullptr) << GifErrorString(error);
    EXPECT_EQ(DGifSlurp(file), GIF_OK);
    EXPECT_EQ(size_t(file->ImageCount), run.Count("flip"));
    EXPECT_EQ(file->SWidth * 10000 + file->SHeight, 640 * 10000 + 480);
    DGifCloseFile(file, &error);
}

TEST_P(Desktop, AFailedSetUpShowsItsBoxesUntilDismissedAndEndsWithOne) {
    ProgramRun run = Start(WIRECUBE, {"--fail", "CreateSurface"}, false);
    for (const char* caption : {"Direct Draw Miss", "DirectDraw Sample"}) {
        std::string box = Window(caption);
        ASSERT_FALSE(box.empty());
        EXPECT_TRUE(run.process->Running()) << "the program went on without waiting for the box";
        Tool({"xdotool", "windowactivate", "--sync", box});
        Press("Return");
        ASSERT_TRUE(WaitUntil([&] { return FindWindow(caption, 0).empty(); }, kReactSeconds)) << caption;
    }
    ExpectExit(run, 1);
    EXPECT_EQ(run.Count("messagebox"), 2u);
    // Without a window there is nothing to own a box: the run just ends.
    ProgramRun windowless = Start(WIRECUBE, {"--fail", "CreateWindowExA"}, false);
    ExpectExit(windowless, 1, kStartSeconds);
    EXPECT_EQ(windowless.Count("messagebox"), 0u);
}

// Whatever keeps the desktop's libraries' leaks from failing a run must not
// hide one of ours.
TEST_P(Desktop, ALeakOfOursStillFailsTheRun) {
#ifndef CUBES_SANITIZE
    GTEST_SKIP() << "only a sanitized build checks for leaks";
#endif
    ProgramRun run = Start(TINY_PROGRAM, {}, true, {"TINY_PROGRAM_LEAK=1"});
    Press("Escape");
    EXPECT_NE(run.process->WaitForExit(kStartSeconds).value_or(0), 0);
    // Ours, and nothing else, is reported.
    std::string report = run.Output();
    size_t leaks = 0;
    for (size_t at = report.find("leak of"); at != std::string::npos; at = report.find("leak of", at + 1)) ++leaks;
    EXPECT_EQ(leaks, 1u) << report;
    EXPECT_NE(report.find("LoseABlock"), std::string::npos) << report;
}

}  // namespace
