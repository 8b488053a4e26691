// The line drawer and the wire-frame cube, drawn into a guarded 640 x 480 screen.
#include <gtest/gtest.h>
#include <cstdint>
#include <limits>
#include <memory>
#include "screen.h"
#include "shell/display.h"
#include "shell/sinetable.h"
#include "testing/runtime_control.h"
#include "wirecube/cube.h"
namespace {
constexpr DWORD kWhite = 0x123456C3;  // only the low byte may reach a pixel
const double kNan = std::numeric_limits<double>::quiet_NaN(), kInf = std::numeric_limits<double>::infinity();
// n + 1 pixels from (x, y), dx columns and dy rows per step.
PixelSet Steps(int x, int y, int dx, int dy, int n) {
    PixelSet pixels;
    for (int k = 0; k <= n; ++k) pixels.insert({x + dx * k, y + dy * k});
    return pixels;
}
class Wirecube : public ::testing::Test {
protected:
    void SetUp() override {
        platform::testing::ResetPlatform(), BuildSineTable();
        ScreenRect = {0, 0, 640, 480}, WhitePixel = kWhite, BackSurface = &logged, cubeAngle = 0;
    }
    void TearDown() override { BackSurface = NULL; }
    // The pixels of one line, the same whichever end comes first.
    PixelSet Line(ScreenSegment s) {
        DrawLine(screen.Surface(), s, kWhite);
        const PixelSet drawn = screen.Drawn();
        for (const Pixel& p : drawn) EXPECT_EQ(screen.At(p.first, p.second), 0xC3);
        EXPECT_TRUE(screen.GuardsIntact());
        screen.Clear(), DrawLine(screen.Surface(), {s.x1, s.y1, s.x0, s.y0}, kWhite);
        EXPECT_EQ(screen.Drawn(), drawn) << "reversed";
        return screen.Clear(), drawn;
    }
    GuardedScreen screen;
    std::vector<std::string> log;
    LoggedSurface logged{"back", screen, log};
};
TEST_F(Wirecube, LinesWriteTruncatedPixelsBothEndsIncludedOnEightBitSurfacesOnlyLockingOnce) {
    const struct { ScreenSegment segment; PixelSet pixels; } cases[] = {
        {{7.5, 3.2, 7.9, 3.9}, {{7, 3}}}, {{10, 5, 14, 5}, Steps(10, 5, 1, 0, 4)}, {{10, 5, 10, 9}, Steps(10, 5, 0, 1, 4)},
        {{0, 0, 4, 1}, {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 1}}}, {{0, 5, 4, 4}, {{0, 5}, {1, 5}, {2, 5}, {3, 5}, {4, 4}}},
        {{0, 0, 10, 3}, {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 1}, {5, 1}, {6, 1}, {7, 2}, {8, 2}, {9, 2}, {10, 3}}},
        {{5, 0, 2, 7}, {{5, 0}, {5, 1}, {5, 2}, {4, 3}, {4, 4}, {3, 5}, {3, 6}, {2, 7}}},  // toward zero
        {{0, 0, 3, 3}, Steps(0, 0, 1, 1, 3)}, {{0, 3, 3, 0}, Steps(3, 0, -1, 1, 3)}, {{12.9, 3.2, 12.1, 7.99}, Steps(12, 3, 0, 1, 4)},
        {{-0.9, 0, 5, 3}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 3}}}, {{0, 479, 639, 479}, Steps(0, 479, 1, 0, 639)},
        {{-4, 0, 3, 3}, {{0, 1}, {1, 2}, {2, 2}, {3, 3}}},  // from off the surface: 12/7 at its first pixel
        // The closed clip edge lies one past the surface: those pixels are left out.
        {{600, 440, 640, 480}, Steps(600, 440, 1, 1, 39)}, {{0, 480, 640, 480}, {}}, {{640, 0, 640, 480}, {}},
        {{100, 479.5, 640, 479.5}, Steps(100, 479, 1, 0, 539)}, {{639.5, 100, 639.9, 480}, Steps(639, 100, 0, 1, 379)},
        // Hostile coordinates saturate and stay inside the surface.
        {{-1e300, 5, 1e300, 5}, Steps(0, 5, 1, 0, 639)}, {{7, -kInf, 7, kInf}, Steps(7, 0, 0, 1, 479)},
        {{-3e9, -3e9, 3e9, 3e9}, Steps(0, 0, 1, 1, 479)}, {{1e300, 1e300, 1e300, 1e300}, {}},
        {{kNan, kNan, 3, 0}, Steps(0, 0, 1, 0, 3)}, {{kInf, kNan, -kInf, kNan}, Steps(0, 0, 1, 0, 639)},
    };
    for (const auto& [s, pixels] : cases) EXPECT_EQ(Line(s), pixels) << s.x0 << ", " << s.y0 << " - " << s.x1 << ", " << s.y1;
    // A lock asked again while busy; a refused one drops the line; a surface of two bytes a pixel is unlocked unwritten.
    GuardedScreen wide(64, 8, 16);
    LoggedSurface loggedWide{"wide", wide, log};
    platform::testing::ScriptStillDrawing(2);
    DrawLine(BackSurface, {4, 0, 4, 2}, kWhite);
    ASSERT_TRUE(platform::testing::ScriptFailure("Lock@1:DDERR_SURFACELOST"));
    DrawLine(BackSurface, {4, 0, 4, 2}, kWhite), DrawLine(&loggedWide, {4, 0, 4, 2}, kWhite);
    EXPECT_EQ(log, (std::vector<std::string>{"busy back", "busy back", "lock back", "unlock back", "refused back",
                                             "lock wide", "unlock wide"}));
    EXPECT_TRUE(logged.runs == std::vector<PixelSet>{Steps(4, 0, 0, 1, 2)} && loggedWide.runs == std::vector<PixelSet>(1));
}
// (angle, ticks, angle after): whole degrees, the fraction dropped every frame.
TEST_F(Wirecube, AngleAdvancesByWholeDegreesOfTheTicks) {
    const int32_t cases[][3] = {{0, 0, 0}, {17, 0, 17}, {0, 170, 0}, {0, 171, 1}, {0, 256, 1}, {1, 256, 2}, {37, 61440, 37}, {0, 61439, 359},
                                {359, 171, 0}, {200, 30720, 20}, {0, 5965233, 32}, {0, INT32_MAX, 191}, {0, INT32_MIN, -192}, {10, -171, 9},
                                {0, -171, -1}, {-1, 342, 1}};
    for (const auto& c : cases) {
        cubeAngle = c[0], DrawWireCube(BackSurface, c[1]);
        EXPECT_EQ(cubeAngle, c[2]) << c[0] << " + " << c[1] << " ticks";
    }
}
// At angle 0 the near square spans about 185.55..454.45 by 105.55..374.45, the far one 225.33..414.67 by 145.33..334.67.
const std::vector<PixelSet> kEdgesAtZero = {
    Steps(414, 334, 1, 1, 40),  Steps(225, 334, 1, 0, 189), Steps(225, 334, -1, 1, 40), Steps(185, 374, 1, 0, 269),
    Steps(454, 105, -1, 1, 40), Steps(225, 145, 1, 0, 189), Steps(185, 105, 1, 1, 40),  Steps(185, 105, 1, 0, 269),
    Steps(454, 105, 0, 1, 269), Steps(414, 145, 0, 1, 189), Steps(225, 145, 0, 1, 189), Steps(185, 105, 0, 1, 269),
};
// Twelve edges in order, each with its own lock; a quarter turn puts each corner where the next one stood.
TEST_F(Wirecube, TwelveEdgesInOrderEachWithItsOwnLock) {
    DrawWireCube(BackSurface, 0);
    EXPECT_EQ(logged.runs, kEdgesAtZero);
    std::vector<std::string> pairs;
    for (int i = 0; i < 12; ++i) pairs.insert(pairs.end(), {"lock back", "unlock back"});
    EXPECT_EQ(log, pairs);
    logged.runs.clear(), cubeAngle = 90, DrawWireCube(BackSurface, 0);
    ASSERT_EQ(logged.runs.size(), 12u);
    for (int i = 0; i < 12; ++i) EXPECT_EQ(logged.runs[i], kEdgesAtZero[i / 4 * 4 + (i + 1) % 4]) << "edge " << i;
}
// Every whole angle of a turn in white well inside the screen, the guard band untouched.
TEST_F(Wirecube, EveryWholeAngleStaysWellInsideTheScreen) {
    BackSurface = screen.Surface();
    for (int frame = 1; frame <= 360; ++frame) {
        DrawWireCube(BackSurface, 171);
        ASSERT_EQ(cubeAngle, frame % 360);
        const PixelSet drawn = screen.Drawn();
        EXPECT_GT(drawn.size(), 700u) << cubeAngle;
        for (const Pixel& p : drawn)
            ASSERT_TRUE(p.first >= 157 && p.first <= 482 && p.second >= 92 && p.second <= 387 &&
                        screen.At(p.first, p.second) == 0xC3) << cubeAngle << ": " << p.first << ", " << p.second;
        ASSERT_TRUE(screen.GuardsIntact()) << cubeAngle;
        screen.Clear();
    }
}
// An edge with a corner nearer than 0.101 or off the screen is dropped whole; projected from ScreenRect's centre and width.
TEST_F(Wirecube, EdgesProjectFromTheScreenRectangleOrAreDropped) {
    const CubeCorner far = {0.05, 0.05, 1.0};
    for (const CubeEdge& edge : {CubeEdge{far, {0, 0, 0.1005}}, CubeEdge{{0, 0, 0.05}, far}, CubeEdge{far, {0, 0, -3}},
                                 CubeEdge{{5, 0, 1.1}, {6, 1, 1.1}}, CubeEdge{far, {0, 0, 0.11}},
                                 CubeEdge{{0, 0, 2.1}, {0.25, -0.125, 2.1}}})
        DrawCubeEdge(edge);
    ScreenRect = {0, 0, 320, 200};
    DrawCubeEdge({{0, 0, 1.1}, {0, 0.25, 1.1}});
    ASSERT_EQ(logged.runs.size(), 3u);
    EXPECT_EQ(logged.runs[1].size(), 81u);
    for (Pixel p : {Pixel{320, 240}, Pixel{360, 260}, Pixel{400, 280}}) EXPECT_TRUE(logged.runs[1].count(p));
    EXPECT_EQ(logged.runs[2], Steps(160, 20, 0, 1, 80));
}
TEST_F(Wirecube, ClipKeepsThePartWithinTheClosedScreen) {
    const struct { ScreenSegment in; int32_t result; ScreenSegment out; } cases[] = {
        {{-50, 100, 50, 100}, 1, {0, 100, 50, 100}}, {{700, 10, 600, 10}, 1, {600, 10, 640, 10}}, {{10, 480, 300, 480}, 1, {10, 480, 300, 480}},
        {{640, 0, 640, 480}, 1, {640, 0, 640, 480}}, {{300, 200, 100, 100}, 1, {100, 100, 300, 200}}, {{0, -100, 200, 100}, 1, {100, 0, 200, 100}},
        {{0, 400, 160, 560}, 1, {0, 400, 80, 480}}, {{-100, 0, 100, 200}, 1, {0, 100, 100, 200}}, {{680, 80, 600, 0}, 1, {600, 0, 640, 40}},
        {{-100, -100, 740, 740}, 1, {0, 0, 480, 480}}, {{100, -20, 100, -1}, 0, {}}, {{5, 481, 6, 490}, 0, {}}, {{641, 10, 700, 20}, 0, {}},
        {{-5, 10, -0.5, 470}, 0, {}}, {{700, -10, 800, 500}, 0, {}}, {{-10, 600, -5, -100}, 0, {}}};
    for (const auto& c : cases) {
        ScreenSegment s = c.in;
        ASSERT_EQ(ClipSegmentToScreen(s), c.result) << c.in.x0 << ", " << c.in.y0;
        EXPECT_TRUE(!c.result || (s.x0 == c.out.x0 && s.y0 == c.out.y0 && s.x1 == c.out.x1 && s.y1 == c.out.y1))
            << c.in.x0 << ", " << c.in.y0 << " gave " << s.x0 << ", " << s.y0 << " - " << s.x1 << ", " << s.y1;
    }
}
}  // namespace
