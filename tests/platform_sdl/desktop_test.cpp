// The programs on a desktop, as a user runs them: a virtual X server of
// 1280 x 720 (wider than 4:3, so that full screen shows bars) with a window
// manager, keys pressed and windows minimised through the X tools, and what
// the screen shows read back from screenshots.
#include "x_desktop.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <csignal>
#include <map>
#include <memory>
#include <thread>

namespace {

using desktop::Picture;
using desktop::ProgramRun;
using desktop::WaitUntil;
using desktop::XDesktop;

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
    int x;
    int y;
    int width;
    int height;
};

// Where a 640 x 480 screen goes on the whole 1280 x 720 screen: 1.5 times as
// large, centred between bars.
constexpr Area kFullScreen{160, 0, 960, 720};

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
            if (!inside && picture.At(x, y) != kBlack) ++lit;
        }
    return lit;
}

// The wire-frame cube as it must look in the area: the background with white
// lines, and nothing else (scaling by nearest neighbour mixes no colours),
// the lines around the middle.
void ExpectWireCube(const Picture& picture, const Area& area) {
    std::map<uint32_t, size_t> colours = Colours(picture, area);
    size_t all = static_cast<size_t>(area.width) * area.height;
    EXPECT_GT(colours[kWirecubeBackground], all * 9 / 10);
    EXPECT_GT(colours[kWhite], 200u);
    EXPECT_EQ(colours[kWirecubeBackground] + colours[kWhite], all) << colours.size() << " colours";
    long long sumX = 0;
    long long sumY = 0;
    for (int y = area.y; y < area.y + area.height; ++y)
        for (int x = area.x; x < area.x + area.width; ++x)
            if (picture.At(x, y) == kWhite) sumX += x, sumY += y;
    if (colours[kWhite] == 0) return;
    long long middleX = sumX / static_cast<long long>(colours[kWhite]);
    long long middleY = sumY / static_cast<long long>(colours[kWhite]);
    EXPECT_NEAR(middleX, area.x + area.width / 2, area.width / 8);
    EXPECT_NEAR(middleY, area.y + area.height / 2, area.height / 8);
}

class Desktop : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!desktop::Installed("Xvfb")) {
            skip_ = "Xvfb is not installed (scripts/deps.sh installs it): no desktop to run the programs on";
            return;
        }
        for (const char* tool : {"openbox", "xdotool", "xwd", "xwininfo", "xprop", "xlogo"})
            if (!desktop::Installed(tool)) {
                startError_ = std::string(tool) + " is not installed (scripts/deps.sh installs it)";
                return;
            }
        x_ = new XDesktop;
        x_->Start(kScreenWidth, kScreenHeight, startError_);
    }

    static void TearDownTestSuite() {
        delete x_;
        x_ = nullptr;
    }

    void SetUp() override {
        if (!skip_.empty()) GTEST_SKIP() << skip_;
        ASSERT_TRUE(startError_.empty()) << startError_;
    }

    // Starts a program and waits until it has shown a few frames.
    std::unique_ptr<ProgramRun> Start(const std::string& program, std::vector<std::string> args = {}) {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        auto run = std::make_unique<ProgramRun>(*x_, program, std::move(args), test->name());
        bool drawing = WaitUntil([&] { return run->Count("flip") >= 10 || !run->Running(); }, kStartSeconds);
        EXPECT_TRUE(drawing && run->Running()) << "no frames: " << run->Output();
        return run;
    }

    std::string Window(const std::string& title) {
        std::string window = x_->FindWindow(title, kReactSeconds);
        EXPECT_FALSE(window.empty()) << "no window titled " << title;
        return window;
    }

    void Press(const std::string& keys) { x_->Tool({"xdotool", "key", keys}); }

    Picture Screenshot() {
        Picture picture;
        std::string error;
        EXPECT_TRUE(x_->Screenshot(picture, error)) << error;
        if (picture.width != kScreenWidth || picture.height != kScreenHeight) {
            ADD_FAILURE() << "screenshot of " << picture.width << " x " << picture.height;
            picture = Picture{kScreenWidth, kScreenHeight, std::vector<uint32_t>(kScreenWidth * kScreenHeight)};
        }
        return picture;
    }

    // Waits until the flips go on beyond `after`.
    bool FramesResume(const ProgramRun& run, size_t after) {
        return WaitUntil([&] { return run.Count("flip") >= after + 10; }, kReactSeconds);
    }

    static inline XDesktop* x_ = nullptr;
    static inline std::string skip_;
    static inline std::string startError_;
};

TEST_F(Desktop, WirecubeFillsTheMiddleOfAWideScreenAndEndsOnEscape) {
    auto run = Start(WIRECUBE);
    Window("Skelvane No.1");
    Picture screen = Screenshot();
    EXPECT_EQ(LitOutside(screen, kFullScreen), 0u) << "the bars beside the 4:3 area are not black";
    ExpectWireCube(screen, kFullScreen);

    // The emulated display refreshes 60 times a second: never two flips in
    // one refresh, however fast the host could show them.
    std::vector<long long> flips = run->Times("flip");
    for (size_t i = 1; i < flips.size(); ++i)
        EXPECT_GT(flips[i] / kRefreshCounts, flips[i - 1] / kRefreshCounts) << "flip " << i;

    Press("Escape");
    EXPECT_EQ(run->WaitForExit(kExitSeconds), 0) << run->Output();
}

TEST_F(Desktop, DiceShowsTheDieOnItsBackgroundAndEndsOnAltX) {
    auto run = Start(DICE);
    Window("Study for algorithm Sample");
    Picture screen = Screenshot();
    EXPECT_EQ(LitOutside(screen, kFullScreen), 0u);
    std::map<uint32_t, size_t> colours = Colours(screen, kFullScreen);
    EXPECT_GT(colours[kDiceBackground], size_t{960 * 720} * 3 / 4);
    // The die's white face and black pips, in the middle of the screen.
    Area middle{kFullScreen.x + 240, 180, 480, 360};
    std::map<uint32_t, size_t> die = Colours(screen, middle);
    EXPECT_GT(die[kWhite], 1000u);
    EXPECT_GT(die[kBlack], 100u);

    Press("alt+x");
    EXPECT_EQ(run->WaitForExit(kExitSeconds), 0) << run->Output();
}

TEST_F(Desktop, IntegerScaleKeepsWholePixelsWithBarsAllRound) {
    auto run = Start(WIRECUBE, {"--integer-scale"});
    Window("Skelvane No.1");
    Area once{320, 120, 640, 480};
    Picture screen = Screenshot();
    EXPECT_EQ(LitOutside(screen, once), 0u);
    ExpectWireCube(screen, once);
    Press("Escape");
    EXPECT_EQ(run->WaitForExit(kExitSeconds), 0) << run->Output();
}

// The small test program draws a 64 x 48 frame whose pixel (x, y) is palette
// index (x + 3y + r) mod 256 at refresh r, through a palette whose entry i is
// red i, green 255 - i, blue i / 2: every pixel of the screen tells whether it
// went through the palette and the scaling as it should.
TEST_F(Desktop, EveryPixelGoesThroughThePaletteAndScalesByNearestNeighbour) {
    auto run = Start(TINY_PROGRAM);
    Window("Tiny");
    Picture screen = Screenshot();
    EXPECT_EQ(LitOutside(screen, kFullScreen), 0u);
    constexpr int kScale = 15;  // 720 / 48, and 960 / 64
    int refresh = static_cast<int>(screen.At(kFullScreen.x, 0) >> 16);
    int wrong = 0;
    for (int y = 0; y < kScreenHeight; ++y)
        for (int x = kFullScreen.x; x < kFullScreen.x + kFullScreen.width; ++x) {
            int index = ((x - kFullScreen.x) / kScale + 3 * (y / kScale) + refresh) & 0xFF;
            uint32_t expected = static_cast<uint32_t>(index) << 16 | static_cast<uint32_t>(255 - index) << 8 |
                                static_cast<uint32_t>(index / 2);
            if (screen.At(x, y) != expected && wrong++ < 5)
                ADD_FAILURE() << "pixel " << x << ", " << y << " is " << std::hex << screen.At(x, y) << " not "
                              << expected;
        }
    EXPECT_EQ(wrong, 0);
    Press("Escape");
    EXPECT_EQ(run->WaitForExit(kExitSeconds), 0) << run->Output();
}

TEST_F(Desktop, MinimisingStopsTheFramesAndActivatingResumesThem) {
    auto run = Start(WIRECUBE);
    std::string window = Window("Skelvane No.1");
    x_->Tool({"xdotool", "windowminimize", window});
    ASSERT_TRUE(WaitUntil([&] { return run->Count("away") == 1 && run->Count("wait") >= 1; }, kReactSeconds))
        << "the display was not taken away";
    size_t stopped = run->Count("flip");
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(run->Count("flip"), stopped) << "frames went on while minimised";

    x_->Tool({"xdotool", "windowactivate", window});
    EXPECT_TRUE(FramesResume(*run, stopped)) << "frames did not resume";
    EXPECT_EQ(run->Count("back"), 1u);
    Picture screen = Screenshot();
    ExpectWireCube(screen, kFullScreen);
    Press("Escape");
    EXPECT_EQ(run->WaitForExit(kExitSeconds), 0) << run->Output();
}

TEST_F(Desktop, AnotherWindowTakingTheFocusTakesTheFullScreenAway) {
    auto run = Start(WIRECUBE);
    std::string window = Window("Skelvane No.1");
    {
        ProgramRun other(*x_, "xlogo", {}, "xlogo", false);
        ASSERT_TRUE(WaitUntil([&] { return run->Count("away") == 1; }, kReactSeconds)) << "the display stayed";
    }
    size_t stopped = run->Count("flip");
    x_->Tool({"xdotool", "windowactivate", window});
    EXPECT_TRUE(FramesResume(*run, stopped)) << "frames did not resume";
    Press("Escape");
    EXPECT_EQ(run->WaitForExit(kExitSeconds), 0) << run->Output();
}

TEST_F(Desktop, AWindowAtAWholeScaleThatAltEnterSwitchesToFullScreenAndBack) {
    auto run = Start(WIRECUBE, {"--window"});
    std::string window = Window("Skelvane No.1");
    std::string icon;
    x_->Tool({"xprop", "-id", window, "_NET_WM_ICON"}, &icon);
    EXPECT_NE(icon.find("Icon (32 x 32)"), std::string::npos) << icon;

    auto placed = [&](int width, int height) {
        return WaitUntil(
            [&] {
                auto place = x_->Place(window);
                return place && place->width == width && place->height == height;
            },
            kReactSeconds);
    };
    // Twice 640 x 480 would not fit 720 rows.
    ASSERT_TRUE(placed(640, 480));
    auto place = x_->Place(window);
    ASSERT_TRUE(place);
    ASSERT_TRUE(WaitUntil([&] { return run->Count("flip") >= 30; }, kReactSeconds));
    ExpectWireCube(Screenshot(), Area{place->x, place->y, 640, 480});

    for (int round = 0; round < 3; ++round) {
        Press("alt+Return");
        ASSERT_TRUE(placed(kScreenWidth, kScreenHeight)) << "round " << round;
        size_t flips = run->Count("flip");
        ASSERT_TRUE(FramesResume(*run, flips));
        Picture screen = Screenshot();
        EXPECT_EQ(LitOutside(screen, kFullScreen), 0u) << "round " << round;
        ExpectWireCube(screen, kFullScreen);

        Press("alt+Return");
        ASSERT_TRUE(placed(640, 480)) << "round " << round;
        ASSERT_TRUE(FramesResume(*run, run->Count("flip")));
        place = x_->Place(window);
        ASSERT_TRUE(place);
        ExpectWireCube(Screenshot(), Area{place->x, place->y, 640, 480});
    }
    EXPECT_TRUE(run->Running());
    EXPECT_EQ(run->Count("away"), 0u) << "switching took the display away";
    Press("Escape");
    EXPECT_EQ(run->WaitForExit(kExitSeconds), 0) << run->Output();
}

TEST_F(Desktop, TheCloseButtonAndTerminationSignalsEndTheProgram) {
    {
        auto run = Start(WIRECUBE, {"--window"});
        Window("Skelvane No.1");
        // The window manager's close, as its button gives.
        Press("alt+F4");
        EXPECT_EQ(run->WaitForExit(kExitSeconds), 0) << run->Output();
    }
    for (int signal : {SIGINT, SIGTERM}) {
        auto run = Start(WIRECUBE);
        run->Signal(signal);
        EXPECT_EQ(run->WaitForExit(kExitSeconds), 0) << run->Output();
        EXPECT_EQ(run->Count("signal"), 1u) << signal;
    }
}

TEST_F(Desktop, MessageBoxesAppearOnTheDesktopUntilDismissed) {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    ProgramRun run(*x_, WIRECUBE, {"--fail", "CreateSurface"}, test->name());
    for (const char* caption : {"Direct Draw Miss", "DirectDraw Sample"}) {
        std::string box = Window(caption);
        ASSERT_FALSE(box.empty());
        EXPECT_TRUE(run.Running()) << "the program went on without waiting for the box";
        x_->Tool({"xdotool", "windowactivate", "--sync", box});
        Press("Return");
        ASSERT_TRUE(WaitUntil([&] { return x_->FindWindow(caption, 0).empty(); }, kReactSeconds)) << caption;
    }
    // The program ends once the boxes are gone, with whatever status it
    // gives a failed set-up.
    std::optional<int> exitCode = run.WaitForExit(kExitSeconds);
    ASSERT_TRUE(exitCode.has_value()) << run.Output();
    std::vector<std::string> trace = run.Trace();
    ASSERT_FALSE(trace.empty());
    EXPECT_EQ(trace.back(), "exit " + std::to_string(*exitCode));
    std::vector<std::string> boxes;
    for (const std::string& line : trace)
        if (line.rfind("messagebox ", 0) == 0) boxes.push_back(line);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0], "messagebox Direct Draw Miss: CreateSurface FAILED");
    EXPECT_EQ(boxes[1], "messagebox DirectDraw Sample: DirectDraw init failed. The sample will now exit. ");
}

TEST_F(Desktop, RecordingWorksOnTheDesktopToo) {
    std::string gif = ::testing::TempDir() + "desktop_recording.gif";
    std::remove(gif.c_str());
    auto run = Start(WIRECUBE, {"--frames", "30", "--record", gif});
    EXPECT_EQ(run->WaitForExit(kReactSeconds), 0) << run->Output();
    int error = 0;
    GifFileType* file = DGifOpenFileName(gif.c_str(), &error);
    ASSERT_NE(file, nullptr) << GifErrorString(error);
    EXPECT_EQ(DGifSlurp(file), GIF_OK);
    EXPECT_EQ(file->ImageCount, 30);
    EXPECT_EQ(file->SWidth, 640);
    EXPECT_EQ(file->SHeight, 480);
    DGifCloseFile(file, &error);
}

}  // namespace
