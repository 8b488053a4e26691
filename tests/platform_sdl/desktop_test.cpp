// The programs on a desktop, as a user runs them: a virtual X server of
// 1280 x 720 (wider than 4:3, so that full screen shows bars) with a window
// manager (one scenario without), keys pressed and windows minimised through
// the X tools, and what the screen shows read back from screenshots. Every scenario runs through
// SDL's OpenGL renderer and through its software one, the two that hosts give.
#include <fcntl.h>
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <functional>
#include <map>
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
    for (; !done(); std::this_thread::sleep_for(std::chrono::milliseconds(20)))
        if (std::chrono::steady_clock::now() > deadline) return false;
    return true;
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Files of this run's own: other runs may share the folder.
std::string Scratch(const std::string& name) {
    return ::testing::TempDir() + "desktop" + std::to_string(getpid()) + "_" + name;
}

// A process of the test's, found on the PATH, its output (and errors, unless
// told otherwise) in a file. One that still runs at the end is asked to stop,
// then made to. Our programs also write a trace of their flips and events.
class Process {
public:
    Process(std::vector<std::string> argv, const std::string& out, bool errorsToo = true) : out_(out) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (errorsToo) posix_spawn_file_actions_adddup2(&actions, 1, 2);
        else posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        std::vector<char*> args;
        for (std::string& arg : argv) args.push_back(arg.data());
        args.push_back(nullptr);
        if (posix_spawnp(&pid_, args[0], &actions, nullptr, args.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Process() {
        Signal(SIGTERM);
        if (Running() && !WaitForExit(kExitSeconds)) Signal(SIGKILL), WaitForExit(kExitSeconds);
    }
    bool Running() {
        int status = 0;
        if (pid_ > 0 && waitpid(pid_, &status, WNOHANG) == pid_)
            exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), pid_ = -1;
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
    std::string Output() const { return ReadFile(out_); }

    std::string trace;
    std::vector<long long> Times(const std::string& word) const {
        std::vector<long long> times;
        std::istringstream text(ReadFile(trace));
        for (std::string line; std::getline(text, line);)
            if (line.rfind(word + " ", 0) == 0) times.push_back(std::atoll(line.c_str() + line.rfind(' ') + 1));
        return times;
    }
    size_t Count(const std::string& word) const { return Times(word).size(); }
    // Whether the flips go on beyond `after`.
    bool FramesResume(size_t after) const {
        return WaitUntil([&] { return Count("flip") >= after + 10; }, kReactSeconds);
    }

private:
    pid_t pid_ = -1;
    std::optional<int> exitCode_;
    std::string out_;
};

// Runs an X tool to its end: its exit code and its output.
int Tool(const std::vector<std::string>& argv, std::string* output = nullptr) {
    std::optional<int> code = Process(argv, Scratch("tool.out"), false).WaitForExit(kReactSeconds);
    if (output) *output = ReadFile(Scratch("tool.out"));
    std::remove(Scratch("tool.out").c_str());
    return code.value_or(-1);
}

// The screen, each pixel 0xRRGGBB, from the dump that xwd writes of 8-bit
// channels: 24-bit pixels where windows of several depths show, else 32-bit.
struct Picture {
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * kScreenWidth + x]; }
};

Picture Screenshot() {
    std::string bytes;
    Tool({"xwd", "-root", "-silent"}, &bytes);
    auto word = [&bytes](size_t i) {
        uint32_t value = 0;
        for (size_t b = 0; b < 4 && i * 4 + 3 < bytes.size(); ++b) value = value << 8 | uint8_t(bytes[i * 4 + b]);
        return value;
    };
    uint64_t start = uint64_t{word(0)} + uint64_t{word(19)} * 12, size = word(11) / 8, pitch = word(12);
    if (word(1) != 7 || word(4) != kScreenWidth || word(5) != kScreenHeight || word(7) != 0 || (size != 3 && size != 4) ||
        word(14) != 0xFF0000 || word(15) != 0xFF00 || word(16) != 0xFF || pitch < size * kScreenWidth ||
        start + pitch * kScreenHeight > bytes.size()) {
        ADD_FAILURE() << "no screenshot of 1280 x 720 in 8-bit channels";
        return Picture{std::vector<uint32_t>(kScreenWidth * kScreenHeight)};
    }
    Picture picture;
    for (uint64_t y = 0; y < kScreenHeight; ++y)
        for (uint64_t x = 0; x < kScreenWidth; ++x) {
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
    for (int y = 0; y < kScreenHeight; ++y)
        for (int x = 0; x < kScreenWidth; ++x)
            lit += (x < area.x || x >= area.x + area.width || y < area.y || y >= area.y + area.height) &&
                   picture.At(x, y) != kBlack;
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

// The first window with that title, as the tree lists it (0x800002
// "Title": ...; xdotool's search misses the titles of SDL's message boxes).
std::string FindWindow(const std::string& title, double seconds) {
    std::string found, tree;
    WaitUntil([&] {
        size_t at = Tool({"xwininfo", "-root", "-tree"}, &tree) == 0 ? tree.find(" \"" + title + "\":") : tree.npos;
        if (at != tree.npos) found = tree.substr(tree.rfind("0x", at), at - tree.rfind("0x", at));
        return at != tree.npos;
    }, seconds);
    return found;
}

// Where a window's contents are on the screen.
Area Place(const std::string& window) {
    std::string info;
    Area place{-1, -1, -1, -1};
    if (Tool({"xwininfo", "-id", window}, &info) == 0 && info.find("Absolute") != info.npos)
        std::sscanf(info.c_str() + info.find("Absolute"), "Absolute upper-left X: %d Absolute upper-left Y: %d "
                    "Relative upper-left X: %*d Relative upper-left Y: %*d Width: %d Height: %d",
                    &place.x, &place.y, &place.width, &place.height);
    return place;
}

bool ManagesAWindow() {
    Process probe({"xlogo"}, "/dev/null");
    std::string window = FindWindow("xlogo", 2), state;
    return !window.empty() && WaitUntil([&] {
        return Tool({"xprop", "-id", window, "WM_STATE"}, &state) == 0 && state.find("Normal") != state.npos;
    }, 2);
}

class Desktop : public ::testing::TestWithParam<const char*> {
protected:
    static void SetUpTestSuite() {
        StartServer();
        if (startError_.empty()) StartWindowManager();
    }
    // Display numbers of our own, away from the low ones that desktops and
    // other test runs on the machine take; a server ends at once when its
    // number is taken.
    static void StartServer() {
        startError_.clear();
        for (int attempt = 0; attempt < 20 && !server_; ++attempt) {
            std::string display = ":" + std::to_string(200 + (getpid() + attempt * 37) % 700);
            setenv("DISPLAY", display.c_str(), 1);
            server_ = std::make_unique<Process>(
                std::vector<std::string>{"Xvfb", display, "-screen", "0", "1280x720x24", "-nolisten", "tcp"}, "/dev/null");
            if (!WaitUntil([] { return !server_->Running() || Tool({"xprop", "-root"}) == 0; }, kStartSeconds) ||
                !server_->Running())
                server_.reset();
        }
        if (!server_) return void(startError_ = "Xvfb did not start (scripts/deps.sh installs it)");
        unsetenv("WAYLAND_DISPLAY");
#ifdef KEEP_MODULES
        // SDL's OpenGL driver is unloaded at exit, before the leak check, which
        // then cannot tell what the driver left from what we did. Loaded to the
        // end, what the driver still holds stays reachable from it.
        setenv("LD_PRELOAD", KEEP_MODULES, 1);
        const char* asan = std::getenv("ASAN_OPTIONS");
        setenv("ASAN_OPTIONS", (std::string(asan ? asan : "") + ":verify_asan_link_order=0").c_str(), 1);
#endif
    }
    static void StartWindowManager() {
        // A window that asks to be shown before openbox handles such requests
        // may never be shown, and SDL waits for that without end: the programs
        // start once a probe window is framed.
        manager_ = std::make_unique<Process>(std::vector<std::string>{"openbox"}, Scratch("openbox.log"));
        if (!WaitUntil([] { return !manager_->Running() || ManagesAWindow(); }, kStartSeconds) || !manager_->Running())
            startError_ = "openbox did not start: " + manager_->Output();
    }
    static void TearDownTestSuite() {
        manager_.reset();
        server_.reset();
    }
    void SetUp() override {
        ASSERT_TRUE(startError_.empty()) << startError_;
        setenv("SDL_RENDER_DRIVER", GetParam(), 1);
    }

    std::string Window(const std::string& title) {
        std::string window = FindWindow(title, kReactSeconds);
        EXPECT_FALSE(window.empty()) << "no window titled " << title;
        return window;
    }
    bool Placed(const std::string& window, int width, int height) {
        return WaitUntil([&] { return Place(window).width == width && Place(window).height == height; }, kReactSeconds);
    }
    void Press(const std::string& keys) { Tool({"xdotool", "key", keys}); }

    // Starts one of our programs; with `frames`, waits until it shows some.
    std::unique_ptr<Process> Start(const std::string& program, std::vector<std::string> args = {}, bool frames = true) {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        name = Scratch(name.substr(0, name.find('/')) + "_" + GetParam());
        std::remove((name + ".trace").c_str());
        args.insert(args.begin(), program);
        args.insert(args.end(), {"--trace", name + ".trace"});
        auto run = std::make_unique<Process>(args, name + ".out");
        run->trace = name + ".trace";
        if (frames && !WaitUntil([&] { return run->Count("flip") >= 10 || !run->Running(); }, kStartSeconds))
            ADD_FAILURE() << "no frames: " << run->Output();
        EXPECT_TRUE(!frames || run->Running()) << run->Output();
        return run;
    }
    void ExpectExit(Process& run, int code, double seconds = kExitSeconds) {
        EXPECT_EQ(run.WaitForExit(seconds), code) << run.Output();
    }

    static inline std::unique_ptr<Process> server_, manager_;
    static inline std::string startError_;
};

// A bare X server, as a session started without a window manager has it:
// nobody grants full screen.
class BareDesktop : public Desktop {
protected:
    static void SetUpTestSuite() { StartServer(); }
};

INSTANTIATE_TEST_SUITE_P(Renderers, Desktop, ::testing::Values("opengl", "software"));
INSTANTIATE_TEST_SUITE_P(Renderers, BareDesktop, ::testing::Values("opengl", "software"));

TEST_P(Desktop, WirecubeFillsTheWideScreenBetweenBarsAndStopsWhileAway) {
    auto run = Start(WIRECUBE);
    std::string window = Window("Skelvane No.1");
    std::string maps = ReadFile("/proc/" + std::to_string(run->Id()) + "/maps");
    EXPECT_EQ(maps.find("libGLX") != maps.npos, GetParam() == std::string("opengl")) << "not the renderer asked for";
    Picture screen = Screenshot();
    EXPECT_EQ(LitOutside(screen, kFullScreen), 0u) << "the bars beside the 4:3 area are not black";
    ExpectWireCube(screen, kFullScreen);
    // The emulated display refreshes 60 times a second: never two flips in
    // one refresh, however fast the host could show them.
    std::vector<long long> flips = run->Times("flip");
    for (size_t i = 1; i < flips.size(); ++i)
        EXPECT_GT(flips[i] / kRefreshCounts, flips[i - 1] / kRefreshCounts) << "flip " << i;

    Tool({"xdotool", "windowminimize", window});
    ASSERT_TRUE(WaitUntil([&] { return run->Count("away") == 1 && run->Count("wait") >= 1; }, kReactSeconds));
    size_t stopped = run->Count("flip");
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(run->Count("flip"), stopped) << "frames went on while minimised";
    Tool({"xdotool", "windowactivate", window});
    ASSERT_TRUE(run->FramesResume(stopped));
    EXPECT_EQ(run->Count("back"), 1u);
    ExpectWireCube(Screenshot(), kFullScreen);
    {  // another window taking the focus takes the full screen away too
        Process other({"xlogo"}, "/dev/null");
        ASSERT_TRUE(WaitUntil([&] { return run->Count("away") == 2; }, kReactSeconds)) << "the display stayed";
    }
    Tool({"xdotool", "windowactivate", window});
    ASSERT_TRUE(run->FramesResume(run->Count("flip")));
    Press("Escape");
    ExpectExit(*run, 0);
}

TEST_P(Desktop, DiceAtAWholeScaleEndsOnAltX) {
    auto run = Start(DICE, {"--integer-scale"});
    Window("Study for algorithm Sample");
    Picture screen = Screenshot();
    EXPECT_EQ(LitOutside(screen, kWholeScale), 0u);
    EXPECT_GT(Colours(screen, kWholeScale)[kDiceBackground], size_t{640 * 480} * 3 / 4);
    // The die's white face and black pips, in the middle of the screen.
    std::map<uint32_t, size_t> die = Colours(screen, Area{480, 240, 320, 240});
    EXPECT_GT(die[kWhite], 1000u);
    EXPECT_GT(die[kBlack], 100u);
    Press("alt+x");
    ExpectExit(*run, 0);
}

// The small test program draws a 64 x 48 frame whose pixel (x, y) is palette
// index (x + 3y + r) mod 256 at refresh r, through a palette whose entry i is
// red i, green 255 - i, blue i / 2: every pixel of the screen tells whether it
// went through the palette and the scaling as it should.
// Every presented frame is in the recording, also when an interruption ends the run.
TEST_P(Desktop, EveryPixelGoesThroughThePaletteAndScalesByNearestNeighbourAndIsRecorded) {
    std::string gif = Scratch(std::string("recording_") + GetParam() + ".gif");
    auto run = Start(TINY_PROGRAM, {"--record", gif});
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
    run->Signal(SIGINT);
    ExpectExit(*run, 0);
    EXPECT_EQ(run->Count("signal"), 1u);
    int error = 0;
    GifFileType* file = DGifOpenFileName(gif.c_str(), &error);
    ASSERT_NE(file, nullptr) << GifErrorString(error);
    EXPECT_EQ(DGifSlurp(file), GIF_OK);
    EXPECT_EQ(size_t(file->ImageCount), run->Count("flip"));
    EXPECT_EQ(std::make_pair(file->SWidth, file->SHeight), std::make_pair(64, 48));
    DGifCloseFile(file, &error);
    std::remove(gif.c_str());
}

TEST_P(Desktop, AWindowAtAWholeScaleThatAltEnterSwitchesAndTheCloseButtonEnds) {
    auto run = Start(WIRECUBE, {"--window"});
    std::string window = Window("Skelvane No.1"), icon;
    Tool({"xprop", "-id", window, "_NET_WM_ICON"}, &icon);
    EXPECT_NE(icon.find("Icon (32 x 32)"), icon.npos) << icon;
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(Placed(window, 640, 480));  // twice as large would not fit 720 rows
        ASSERT_TRUE(run->FramesResume(run->Count("flip")));
        Area place = Place(window);
        ASSERT_TRUE(place.x >= 0 && place.y >= 0 && place.x + 640 <= kScreenWidth && place.y + 480 <= kScreenHeight);
        ExpectWireCube(Screenshot(), place);
        Press("alt+Return");
        ASSERT_TRUE(Placed(window, kScreenWidth, kScreenHeight));
        ASSERT_TRUE(run->FramesResume(run->Count("flip")));
        Picture screen = Screenshot();
        EXPECT_EQ(LitOutside(screen, kFullScreen), 0u);
        ExpectWireCube(screen, kFullScreen);
        Press("alt+Return");
    }
    EXPECT_EQ(run->Count("away"), 0u) << "switching took the display away";
    Press("alt+F4");  // the window manager's close, as its button gives
    ExpectExit(*run, 0);
}

TEST_P(Desktop, AFailedSetUpShowsItsBoxesUntilDismissedAndEndsWithOne) {
    auto run = Start(WIRECUBE, {"--fail", "CreateSurface"}, false);
    for (const char* caption : {"Direct Draw Miss", "DirectDraw Sample"}) {
        std::string box = Window(caption);
        ASSERT_FALSE(box.empty());
        EXPECT_TRUE(run->Running()) << "the program went on without waiting for the box";
        Tool({"xdotool", "windowactivate", "--sync", box});
        Press("Return");
        ASSERT_TRUE(WaitUntil([&] { return FindWindow(caption, 0).empty(); }, kReactSeconds)) << caption;
    }
    ExpectExit(*run, 1);
    EXPECT_EQ(run->Count("messagebox"), 2u);
    // Without a window there is nothing to own a box: the run just ends.
    auto windowless = Start(WIRECUBE, {"--fail", "CreateWindowExA"}, false);
    ExpectExit(*windowless, 1, kStartSeconds);
    EXPECT_EQ(windowless->Count("messagebox"), 0u);
}

// Full screen refused, the window keeps its size, and the picture must fill
// that window, centred and whole, not be laid out for the whole screen.
TEST_P(BareDesktop, ThePictureFillsTheWindowThatFullScreenWasNotGrantedTo) {
    auto run = Start(DICE);
    const Area place = Place(Window("Study for algorithm Sample"));
    ASSERT_LT(place.width, kScreenWidth) << "the window covers the screen, as only a window manager would make it";
    ASSERT_EQ(place.width * 3, place.height * 4);
    Picture screen = Screenshot();
    // The 4:3 picture reaches the middle of each of the window's edges.
    const int left = place.x, top = place.y, right = left + place.width - 1, bottom = top + place.height - 1;
    for (auto [x, y] : {std::pair{left, (top + bottom) / 2}, std::pair{right, (top + bottom) / 2},
                        std::pair{(left + right) / 2, top}, std::pair{(left + right) / 2, bottom}})
        EXPECT_EQ(screen.At(x, y), kDiceBackground) << "at " << x << ", " << y;
    run->Signal(SIGTERM);
    ExpectExit(*run, 0);
}

// Whatever keeps the desktop's libraries' leaks from failing a run must not
// hide one of ours: that one, and nothing else, is reported.
TEST_P(Desktop, ALeakOfOursStillFailsTheRun) {
#ifndef CUBES_SANITIZE
    GTEST_SKIP() << "only a sanitized build checks for leaks";
#endif
    setenv("TINY_PROGRAM_LEAK", "1", 1);
    auto run = Start(TINY_PROGRAM);
    unsetenv("TINY_PROGRAM_LEAK");
    run->Signal(SIGTERM);
    EXPECT_NE(run->WaitForExit(kStartSeconds).value_or(0), 0);
    EXPECT_EQ(run->Count("signal"), 1u);
    std::string report = run->Output();
    size_t leaks = 0;
    for (size_t at = report.find("leak of"); at != report.npos; at = report.find("leak of", at + 1)) ++leaks;
    EXPECT_EQ(leaks, 1u) << report;
    EXPECT_NE(report.find("LoseABlock"), report.npos) << report;
}

}  // namespace
