// The programs on a virtual 1280 x 720 desktop (wider than 4:3: full screen shows bars) worked through
// the X tools and read back from screenshots, with both of SDL's renderers.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <chrono>
#include <csignal>
#include <functional>
#include <map>
#include <optional>
#include <thread>
#include "program_run.h"
namespace {
constexpr int kWidth = 1280, kHeight = 720;
// Start-up under a sanitizer on a busy machine may be slow; the way out must not.
constexpr double kStart = 30, kExit = 2, kReact = 10;
constexpr uint32_t kBlack = 0x000000, kWhite = 0xFFFFFF;
// The background 0x247878 as each palette holds it: the cube's ramp has nothing nearer than 0x246D55.
constexpr uint32_t kDiceBackground = 0x247878, kCubeBackground = 0x246D55;
struct Area { int x, y, width, height; };
// 640 x 480 on the whole screen: 1.5 times as large between bars, or at a whole scale.
constexpr Area kFullScreen{160, 0, 960, 720}, kWholeScale{320, 120, 640, 480};
bool WaitUntil(const std::function<bool()>& done, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (; !done(); std::this_thread::sleep_for(std::chrono::milliseconds(20)))
        if (std::chrono::steady_clock::now() > deadline) return false;
    return true;
}
// A process from the PATH, its output in a file, asked then made to stop at the end; ours also trace.
struct Process {
    Process(const std::vector<std::string>& argv, const std::string& out) : out_(out), pid_(::Start("/usr/bin/env", argv, out)) {}
    ~Process() { Signal(SIGTERM), WaitForExit(kExit) || (Signal(SIGKILL), WaitForExit(kExit)); }
    bool Running() {
        int status = 0;
        if (pid_ > 0 && waitpid(pid_, &status, WNOHANG) == pid_)
            exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), pid_ = -1;
        return pid_ > 0;
    }
    std::optional<int> WaitForExit(double seconds) { return WaitUntil([this] { return !Running(); }, seconds), exitCode_; }
    void Signal(int signal) { (void)(Running() && kill(pid_, signal)); }
    std::string Output() const { return ReadFile(out_); }
    std::vector<std::string> Traced(const std::string& word) const { return Matching(Lines(ReadFile(trace)), word); }
    size_t Count(const std::string& word) const { return Traced(word).size(); }
    bool FramesResume() const { return WaitUntil([&, after = Count("flip")] { return Count("flip") >= after + 10; }, kReact); }
    std::string trace, out_;
    pid_t pid_ = -1;
    std::optional<int> exitCode_;
};
int Tool(const std::vector<std::string>& argv, std::string* output = nullptr) {
    std::remove(TempPath("tool.out").c_str());
    const std::optional<int> code = Process(argv, TempPath("tool.out")).WaitForExit(kReact);
    if (output) *output = ReadFile(TempPath("tool.out"));
    return code.value_or(-1);
}
struct Picture {  // each pixel 0xRRGGBB
    std::vector<uint32_t> pixels = std::vector<uint32_t>(kWidth * kHeight);
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * kWidth + x]; }
};
Picture Screenshot() {
    Tool({"import", "-silent", "-window", "root", "-depth", "8", "rgb:" + TempPath("screen.rgb")});
    const std::string bytes = ReadFile(TempPath("screen.rgb"));
    Picture picture;
    if (bytes.size() != picture.pixels.size() * 3) ADD_FAILURE() << "no screenshot of 1280 x 720";
    for (size_t i = 0; i < picture.pixels.size() && bytes.size() == picture.pixels.size() * 3; ++i)
        picture.pixels[i] = uint8_t(bytes[3 * i]) << 16 | uint8_t(bytes[3 * i + 1]) << 8 | uint8_t(bytes[3 * i + 2]);
    return picture;
}
// The colours in the area, and (under 0) how many pixels outside it are lit.
std::map<uint32_t, size_t> Colours(const Picture& picture, const Area& area) {
    std::map<uint32_t, size_t> colours;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const bool inside = x >= area.x && x < area.x + area.width && y >= area.y && y < area.y + area.height;
            if (inside || picture.At(x, y) != kBlack) ++colours[inside ? picture.At(x, y) : ~0u];
        }
    return colours;
}
// In the area, black bars around it unless windowed: the die's background, white face and black pips, or the
// cube's background with white lines and nothing else (nearest neighbour mixes none).
void ExpectScene(const Picture& picture, const Area& area, bool dice, bool bars = true) {
    std::map<uint32_t, size_t> colours = Colours(picture, area);
    const size_t all = size_t(area.width) * area.height, white = colours[kWhite];
    EXPECT_TRUE(!bars || colours[~0u] == 0u) << "lit outside the picture";
    EXPECT_GT(colours[dice ? kDiceBackground : kCubeBackground], all * (dice ? 6 : 9) / 10);
    EXPECT_GT(white, all / 1000);
    EXPECT_TRUE(dice ? colours[kBlack] > all / 3000 : colours[kCubeBackground] + white == all) << colours.size();
}
// The first window of that title in the tree (xdotool's search misses SDL's message boxes).
std::string FindWindow(const std::string& title, double seconds) {
    std::string found, tree;
    WaitUntil([&] {
        const size_t at = Tool({"xwininfo", "-root", "-tree"}, &tree) == 0 ? tree.find(" \"" + title + "\":") : tree.npos;
        if (at != tree.npos) found = tree.substr(tree.rfind("0x", at), at - tree.rfind("0x", at));
        return at != tree.npos;
    }, seconds);
    return found;
}
Area Place(const std::string& window) {
    std::string info;
    Area place{-1, -1, -1, -1};
    if (Tool({"xwininfo", "-id", window}, &info) == 0 && info.find("Absolute") != info.npos)
        std::sscanf(info.c_str() + info.find("Absolute"), "Absolute upper-left X: %d Absolute upper-left Y: %d "
                    "Relative upper-left X: %*d Relative upper-left Y: %*d Width: %d Height: %d",
                    &place.x, &place.y, &place.width, &place.height);
    return place;
}
struct Desktop : ::testing::TestWithParam<const char*> {
    // Display numbers away from the low ones others take (a server ends at once on a taken one); a window
    // shown before openbox handles such requests may stay hidden, so programs start once a probe is framed.
    static void StartDesktop(bool bare) {
#ifdef KEEP_MODULES
        // SDL unloads its OpenGL driver before the leak check, which then cannot tell its leftovers from ours. Set
        // before the first process starts: the runs take their sanitizer options from then on.
        setenv("LD_PRELOAD", KEEP_MODULES, 1);
        const char* asan = std::getenv("ASAN_OPTIONS");
        setenv("ASAN_OPTIONS", (std::string(asan ? asan : "") + ":verify_asan_link_order=0").c_str(), 1);
#endif
        for (int attempt = 0; attempt < 20 && !server_; ++attempt) {
            const std::string display = ":" + std::to_string(200 + (getpid() + attempt * 37) % 700);
            setenv("DISPLAY", display.c_str(), 1);
            server_ = std::make_unique<Process>(std::vector<std::string>{"Xvfb", display, "-screen", "0", "1280x720x24", "-nolisten", "tcp"}, "/dev/null");
            if (!WaitUntil([] { return !server_->Running() || Tool({"xprop", "-root"}) == 0; }, kStart) || !server_->Running())
                server_.reset();
        }
        startError_ = server_ ? "" : "Xvfb did not start (scripts/deps.sh installs it)";
        unsetenv("WAYLAND_DISPLAY");
        if (bare || !server_) return;
        manager_ = std::make_unique<Process>(std::vector<std::string>{"openbox"}, TempPath("openbox.log"));
        const bool framed = WaitUntil([] {
            Process probe({"xlogo"}, "/dev/null");
            std::string window = FindWindow("xlogo", 2), state;
            return !manager_->Running() || (!window.empty() && WaitUntil([&] {
                return Tool({"xprop", "-id", window, "WM_STATE"}, &state) == 0 && state.find("Normal") != state.npos;
            }, 2));
        }, kStart);
        if (!framed || !manager_->Running()) startError_ = "openbox did not start: " + manager_->Output();
    }
    static void SetUpTestSuite() { StartDesktop(false); }
    static void TearDownTestSuite() { manager_.reset(), server_.reset(); }
    void SetUp() override { ASSERT_EQ(startError_, ""); setenv("SDL_RENDER_DRIVER", GetParam(), 1); }
    std::string Window(const std::string& title) {
        const std::string window = FindWindow(title, kReact);
        EXPECT_FALSE(window.empty()) << "no window titled " << title;
        return window;
    }
    bool Placed(const std::string& window, const Area& area) {
        return WaitUntil([&] { const Area a = Place(window); return a.width == area.width && a.height == area.height; }, kReact);
    }
    void Press(const std::string& keys) { Tool({"xdotool", "key", keys}); }
    // One of our programs; with `frames`, once it shows some.
    std::unique_ptr<Process> Start(const std::string& program, std::vector<std::string> args = {}, bool frames = true) {
        const std::string name = TempPath(program.substr(program.rfind('/') + 1));
        std::remove((name + ".trace").c_str());
        args.insert(args.begin(), program), args.insert(args.end(), {"--trace", name + ".trace"});
        auto run = std::make_unique<Process>(args, name + ".out");
        run->trace = name + ".trace";
        if (frames && !WaitUntil([&] { return run->Count("flip") >= 10 || !run->Running(); }, kStart))
            ADD_FAILURE() << "no frames: " << run->Output();
        EXPECT_TRUE(!frames || run->Running()) << run->Output();
        return run;
    }
    void ExpectExit(Process& run, int code) { EXPECT_EQ(run.WaitForExit(kExit), code) << run.Output(); }
    static inline std::unique_ptr<Process> server_, manager_;
    static inline std::string startError_;
};
// A bare X server, as without a window manager: nobody grants full screen.
struct BareDesktop : Desktop { static void SetUpTestSuite() { StartDesktop(true); } };
INSTANTIATE_TEST_SUITE_P(Renderers, Desktop, ::testing::Values("opengl", "software"));
INSTANTIATE_TEST_SUITE_P(Renderers, BareDesktop, ::testing::Values("opengl", "software"));
// Full screen between bars; at most a flip a refresh of 60 Hz; no frames while minimised or while another
// window has the focus; the window manager's close ends it with 0.
TEST_P(Desktop, WirecubeFillsTheWideScreenBetweenBarsAndStopsWhileAway) {
    auto run = Start(WIRECUBE);
    const std::string window = Window("Skelvane No.1");
    const std::string maps = ReadFile("/proc/" + std::to_string(run->pid_) + "/maps");
    EXPECT_EQ(maps.find("libGLX") != maps.npos, GetParam() == std::string("opengl")) << "not the renderer asked for";
    ExpectScene(Screenshot(), kFullScreen, false);
    const std::vector<std::string> flips = run->Traced("flip");
    const auto refresh = [&](size_t i) { return std::atoll(flips[i].c_str() + flips[i].rfind(' ') + 1) / 166'667; };
    for (size_t i = 1; i < flips.size(); ++i) EXPECT_GT(refresh(i), refresh(i - 1)) << "flip " << i;
    Tool({"xdotool", "windowminimize", window});
    ASSERT_TRUE(WaitUntil([&] { return run->Count("away") == 1 && run->Count("wait") >= 1; }, kReact));
    const size_t stopped = run->Count("flip");
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(run->Count("flip"), stopped) << "frames went on while minimised";
    Tool({"xdotool", "windowactivate", window});
    ASSERT_TRUE(run->FramesResume() && run->Count("back") == 1u);
    ExpectScene(Screenshot(), kFullScreen, false);
    {
        Process other({"xlogo"}, "/dev/null");
        ASSERT_TRUE(WaitUntil([&] { return run->Count("away") == 2; }, kReact)) << "the display stayed";
    }
    Tool({"xdotool", "windowactivate", window});
    ASSERT_TRUE(run->FramesResume());
    Press("alt+F4");
    ExpectExit(*run, 0);
}
// A window at the largest whole scale that fits, with the icon; Alt+Enter switches to full screen (here whole
// scale, bars all round) and back without taking the display away.
TEST_P(Desktop, DiceInAWindowThatAltEnterSwitchesAndAltXEnds) {
    auto run = Start(DICE, {"--window", "--integer-scale"});
    const std::string window = Window("Study for algorithm Sample");
    std::string icon;
    Tool({"xprop", "-id", window, "_NET_WM_ICON"}, &icon);
    EXPECT_NE(icon.find("Icon (32 x 32)"), icon.npos) << icon;
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(Placed(window, {0, 0, 640, 480}) && run->FramesResume()) << round;
        const Area place = Place(window);
        ASSERT_TRUE(place.x >= 0 && place.y >= 0 && place.x + 640 <= kWidth && place.y + 480 <= kHeight);
        ExpectScene(Screenshot(), place, true, false);
        Press("alt+Return");
        ASSERT_TRUE(Placed(window, {0, 0, kWidth, kHeight}) && run->FramesResume()) << round;
        ExpectScene(Screenshot(), kWholeScale, true);
        Press("alt+Return");
    }
    ASSERT_TRUE(Placed(window, {0, 0, 640, 480}) && run->FramesResume() && run->Count("away") == 0u) << "display taken";
    Press("alt+x");
    ExpectExit(*run, 0);
}
// The tiny program's 64 x 48 frame shows at every pixel the palette and nearest neighbour scaling.
TEST_P(Desktop, EveryPixelGoesThroughThePaletteAndScalesByNearestNeighbour) {
    auto run = Start(TINY_PROGRAM);
    Window("Tiny");
    const Picture screen = Screenshot();
    EXPECT_EQ(Colours(screen, kFullScreen)[~0u], 0u);
    const int refresh = static_cast<int>(screen.At(kFullScreen.x, 0) >> 16);
    int wrong = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = kFullScreen.x; x < kFullScreen.x + kFullScreen.width; ++x) {
            const uint32_t index = ((x - kFullScreen.x) / 15 + 3 * (y / 15) + refresh) & 0xFF;  // 960 / 64, 720 / 48
            const uint32_t expected = index << 16 | (255 - index) << 8 | index / 2;
            if (screen.At(x, y) != expected && wrong++ < 5)
                ADD_FAILURE() << "pixel " << x << ", " << y << " is " << std::hex << screen.At(x, y) << " not " << expected;
        }
}
// A flip that changes a part of the picture shows one of the frames presented whole, nothing of older ones.
TEST_P(Desktop, TheWindowShowsExactlyOneOfTheFramesRecorded) {
    const std::string gif = TempPath("cube.gif");
    auto run = Start(WIRECUBE, {"--window", "--record", gif});
    const std::string window = Window("Skelvane No.1");
    ASSERT_TRUE(Placed(window, {0, 0, 640, 480}) && run->FramesResume());
    const Area place = Place(window);
    const Picture screen = Screenshot();
    run->Signal(SIGINT);
    ExpectExit(*run, 0);
    const Recording recording = Decode(gif);
    std::remove(gif.c_str());
    const auto shown = [&](const std::vector<GifByteType>& frame) {
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x) {
                const GifColorType c = recording.colors.at(frame.at(y * 640 + x));
                if (screen.At(place.x + x, place.y + y) != (uint32_t(c.Red) << 16 | c.Green << 8 | c.Blue)) return false;
            }
        return true;
    };
    EXPECT_TRUE(std::any_of(recording.frames.begin(), recording.frames.end(), shown)) << recording.frames.size();
}
// Each box waits until dismissed.
TEST_P(Desktop, AFailedSetUpShowsItsBoxesUntilDismissedAndEndsWithOne) {
    auto run = Start(WIRECUBE, {"--fail", "CreateSurface"}, false);
    for (const char* caption : {"Direct Draw Miss", "DirectDraw Sample"}) {
        const std::string box = Window(caption);
        ASSERT_TRUE(!box.empty() && run->Running()) << "the program went on without waiting for the box";
        Tool({"xdotool", "windowactivate", "--sync", box}), Press("Return");
        ASSERT_TRUE(WaitUntil([&] { return FindWindow(caption, 0).empty(); }, kReact)) << caption;
    }
    ExpectExit(*run, 1);
    EXPECT_EQ(run->Count("messagebox"), 2u);
}
// Full screen refused, the 4:3 picture fills the window: it reaches the middle of each edge.
TEST_P(BareDesktop, ThePictureFillsTheWindowThatFullScreenWasNotGrantedTo) {
    auto run = Start(DICE);
    const Area place = Place(Window("Study for algorithm Sample"));
    ASSERT_TRUE(place.width < kWidth && place.width * 3 == place.height * 4) << place.width << " x " << place.height;
    const Picture screen = Screenshot();
    const int left = place.x, top = place.y, right = left + place.width - 1, bottom = top + place.height - 1;
    for (auto [x, y] : {std::pair{left, (top + bottom) / 2}, {right, (top + bottom) / 2}, {(left + right) / 2, top},
                        {(left + right) / 2, bottom}})
        EXPECT_EQ(screen.At(x, y), kDiceBackground) << "at " << x << ", " << y;
    run->Signal(SIGTERM);
    ExpectExit(*run, 0);
}
// What keeps the desktop libraries' leaks from failing a run must not hide ours: that alone is reported.
TEST_P(Desktop, ALeakOfOursStillFailsTheRun) {
#ifndef CUBES_SANITIZE
    GTEST_SKIP() << "only a sanitized build checks for leaks";
#endif
    setenv("TINY_PROGRAM_LEAK", "1", 1);
    auto run = Start(TINY_PROGRAM);
    unsetenv("TINY_PROGRAM_LEAK");
    run->Signal(SIGTERM);
    EXPECT_TRUE(run->WaitForExit(kStart).value_or(0) != 0 && run->Count("signal") == 1u);
    const std::string report = run->Output();
    const size_t leak = report.find("leak of");
    EXPECT_TRUE(leak != report.npos && report.find("leak of", leak + 1) == report.npos &&
                report.find("LoseABlock") != report.npos) << report;
}
}  // namespace
