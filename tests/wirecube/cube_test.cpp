#include "wirecube/cube.h"

#include "shell/display.h"
#include "shell/sinetable.h"
#include "test_surfaces.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace wirecube_test {
namespace {

class CubeTest : public ::testing::Test {
protected:
    void SetUp() override {
        BuildSineTable();
        ScreenRect = RECT{0, 0, SCREEN_WIDTH, SCREEN_HEIGHT};
        WhitePixel = WHITE;
        BackSurface = screen.Surface();
        cubeAngle = 0;
    }
    void TearDown() override { BackSurface = NULL; }

    int32_t AngleAfter(int32_t start, int32_t ticks) {
        cubeAngle = start;
        DrawWireCube(BackSurface, ticks);
        return cubeAngle;
    }

    PixelSet FrameAt(int32_t angle) {
        screen.Clear();
        cubeAngle = angle;
        DrawWireCube(BackSurface, 0);
        return screen.Drawn();
    }

    GuardedScreen screen;
};

// At angle 0 the near square (depth 1 - h) has its corners at about 454.45
// and 185.55 across, 374.45 and 105.55 down; the far square at about 414.67
// and 225.33 across, 334.67 and 145.33 down. Edges in drawing order.
std::vector<PixelSet> EdgesAtAngleZero() {
    return {
        Diagonal(414, 334, 1, 40),   // 0-1: lower right, near to far
        Row(334, 225, 414),          // 1-2: lower far
        Diagonal(225, 334, -1, 40),  // 2-3: lower left, far to near
        Row(374, 185, 454),          // 3-0: lower near
        Diagonal(454, 105, -1, 40),  // 4-5: upper right
        Row(145, 225, 414),          // 5-6: upper far
        Diagonal(185, 105, 1, 40),   // 6-7: upper left
        Row(105, 185, 454),          // 7-4: upper near
        Column(454, 105, 374),       // 0-4
        Column(414, 145, 334),       // 1-5
        Column(225, 145, 334),       // 2-6
        Column(185, 105, 374),       // 3-7
    };
}

TEST_F(CubeTest, AngleAdvancesByWholeDegreesOfTheElapsedTicks) {
    EXPECT_EQ(AngleAfter(0, 0), 0);
    EXPECT_EQ(AngleAfter(17, 0), 17);
    EXPECT_EQ(AngleAfter(0, 170), 0);    // 61200 / 61440
    EXPECT_EQ(AngleAfter(0, 171), 1);
    EXPECT_EQ(AngleAfter(0, 256), 1);    // not 1.5: the fraction is dropped
    EXPECT_EQ(AngleAfter(1, 256), 2);
    EXPECT_EQ(AngleAfter(37, 61440), 37);
    EXPECT_EQ(AngleAfter(0, 61439), 359);
    EXPECT_EQ(AngleAfter(359, 171), 0);
    EXPECT_EQ(AngleAfter(200, 30720), 20);
}

// 5965233 ticks is the first count whose product with 360 leaves 32 bits.
TEST_F(CubeTest, ExtremeTickCountsAdvanceWithoutOverflow) {
    const int32_t most = std::numeric_limits<int32_t>::max();
    const int32_t least = std::numeric_limits<int32_t>::min();
    EXPECT_EQ(AngleAfter(0, 5965232), 32);
    EXPECT_EQ(AngleAfter(0, 5965233), 32);
    EXPECT_EQ(AngleAfter(0, most), 191);  // step 12582911
    EXPECT_EQ(AngleAfter(5, most), 196);
    EXPECT_EQ(AngleAfter(0, least), -192);  // step -12582912
    EXPECT_EQ(AngleAfter(300, least), -252);
}

// A negative count turns the cube back; the angle keeps the sign of the
// remainder, and the picture is that of the same angle a turn on.
TEST_F(CubeTest, NegativeTicksTurnTheCubeBack) {
    EXPECT_EQ(AngleAfter(10, -171), 9);
    EXPECT_EQ(AngleAfter(0, -171), -1);
    EXPECT_EQ(AngleAfter(-1, 342), 1);
    EXPECT_EQ(FrameAt(-30), FrameAt(330));
    EXPECT_EQ(FrameAt(-359), FrameAt(1));
}

TEST_F(CubeTest, FrameAtAngleZeroDrawsTheTwelveEdgesInOrder) {
    RecordingSurface recorder;
    BackSurface = &recorder;
    DrawWireCube(BackSurface, 0);
    EXPECT_EQ(recorder.lockCalls, 12);
    EXPECT_EQ(recorder.unlockCalls, 12);
    EXPECT_EQ(recorder.misuses, 0);
    EXPECT_EQ(recorder.runs, EdgesAtAngleZero());
}

TEST_F(CubeTest, FrameAtAngleZeroIsWhiteOnTheBackground) {
    PixelSet expected;
    for (const PixelSet& edge : EdgesAtAngleZero()) expected.insert(edge.begin(), edge.end());
    EXPECT_EQ(FrameAt(0), expected);
    EXPECT_EQ(screen.DrawnValues(), std::set<BYTE>{WHITE_BYTE});
}

// Turned a quarter, corner 0 stands where corner 1 stood, corner 1 where
// corner 2 stood, and so on round each face.
TEST_F(CubeTest, QuarterTurnMovesEachCornerToTheNext) {
    const std::vector<PixelSet> atZero = EdgesAtAngleZero();
    RecordingSurface recorder;
    BackSurface = &recorder;
    cubeAngle = 90;
    DrawWireCube(BackSurface, 0);
    ASSERT_EQ(recorder.runs.size(), 12u);
    for (int ring = 0; ring < 8; ring += 4) {
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(recorder.runs[ring + i], atZero[ring + (i + 1) % 4]) << "edge " << ring + i;
        }
    }
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(recorder.runs[8 + i], atZero[8 + (i + 1) % 4]) << "edge " << 8 + i;
    }
}

TEST_F(CubeTest, EveryWholeAngleStaysInsideTheSurface) {
    const PixelSet atZero = FrameAt(0);
    cubeAngle = 0;
    for (int frame = 1; frame <= 360; ++frame) {
        screen.Clear();
        DrawWireCube(BackSurface, 171);
        ASSERT_EQ(cubeAngle, frame % 360);
        const PixelSet drawn = screen.Drawn();
        EXPECT_GT(drawn.size(), 700u) << "angle " << cubeAngle;
        EXPECT_EQ(screen.DrawnValues(), std::set<BYTE>{WHITE_BYTE}) << "angle " << cubeAngle;
        // Over a whole turn the corners keep well inside the screen.
        for (const Pixel& pixel : drawn) {
            EXPECT_TRUE(pixel.first >= 157 && pixel.first <= 482 && pixel.second >= 92 && pixel.second <= 387)
                << "angle " << cubeAngle << " pixel " << pixel.first << ", " << pixel.second;
        }
    }
    EXPECT_EQ(screen.Drawn(), atZero);
    EXPECT_EQ(screen.ChangedGuardBytes(), 0);
}

TEST_F(CubeTest, EdgeWithACornerTooCloseToTheEyeIsDroppedWhole) {
    RecordingSurface recorder;
    BackSurface = &recorder;
    const CubeCorner far = {0.05, 0.05, 1.0};
    DrawCubeEdge({far, {0.0, 0.0, 0.1005}});
    DrawCubeEdge({{0.0, 0.0, 0.05}, far});
    DrawCubeEdge({far, {0.0, 0.0, -3.0}});
    EXPECT_EQ(recorder.lockCalls, 0);
    DrawCubeEdge({far, {0.0, 0.0, 0.11}});
    EXPECT_EQ(recorder.lockCalls, 1);
}

TEST_F(CubeTest, EdgeOffTheScreenIsNotDrawn) {
    RecordingSurface recorder;
    BackSurface = &recorder;
    DrawCubeEdge({{5.0, 0.0, 1.1}, {6.0, 1.0, 1.1}});
    DrawCubeEdge({{-5.0, 0.0, 1.1}, {-1.0, 0.0, 1.1}});
    EXPECT_EQ(recorder.lockCalls, 0);
}

// One screen width per unit of x over depth, from the middle of ScreenRect.
TEST_F(CubeTest, EdgeProjectsFromTheMiddleOfTheScreenRectangle) {
    RecordingSurface recorder;
    BackSurface = &recorder;
    DrawCubeEdge({{0.0, 0.0, 2.1}, {0.25, -0.125, 2.1}});
    ScreenRect = RECT{0, 0, 320, 200};
    DrawCubeEdge({{0.0, 0.0, 1.1}, {0.0, 0.25, 1.1}});
    ASSERT_EQ(recorder.runs.size(), 2u);
    // (320, 240) to (400, 280).
    EXPECT_EQ(recorder.runs[0].size(), 81u);
    EXPECT_TRUE(recorder.runs[0].count({320, 240}));
    EXPECT_TRUE(recorder.runs[0].count({400, 280}));
    EXPECT_TRUE(recorder.runs[0].count({360, 260}));
    // (160, 100) up to (160, 20).
    EXPECT_EQ(recorder.runs[1], Column(160, 20, 100));
}

struct ClipCase {
    ScreenSegment in;
    int32_t result;
    ScreenSegment out;
};

TEST_F(CubeTest, ClipKeepsThePartWithinTheClosedScreen) {
    const ClipCase cases[] = {
        {{-50, 100, 50, 100}, 1, {0, 100, 50, 100}},
        {{700, 10, 600, 10}, 1, {600, 10, 640, 10}},
        {{10, 480, 300, 480}, 1, {10, 480, 300, 480}},
        {{640, 0, 640, 480}, 1, {640, 0, 640, 480}},
        {{300, 200, 100, 100}, 1, {100, 100, 300, 200}},
        {{0, -100, 200, 100}, 1, {100, 0, 200, 100}},
        {{0, 400, 160, 560}, 1, {0, 400, 80, 480}},
        {{-100, 0, 100, 200}, 1, {0, 100, 100, 200}},
        {{600, 0, 680, 80}, 1, {600, 0, 640, 40}},
        {{680, 80, 600, 0}, 1, {600, 0, 640, 40}},
        {{-100, -100, 740, 740}, 1, {0, 0, 480, 480}},
    };
    for (const ClipCase& c : cases) {
        ScreenSegment s = c.in;
        const int32_t result = ClipSegmentToScreen(s);
        SCOPED_TRACE(::testing::Message() << "(" << c.in.x0 << ", " << c.in.y0 << ")-(" << c.in.x1 << ", "
                                          << c.in.y1 << ")");
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(s.x0, c.out.x0);
        EXPECT_EQ(s.y0, c.out.y0);
        EXPECT_EQ(s.x1, c.out.x1);
        EXPECT_EQ(s.y1, c.out.y1);
    }
}

TEST_F(CubeTest, ClipRejectsSegmentsWhollyOutside) {
    const ScreenSegment outside[] = {
        {100, -20, 100, -1},    // above
        {5, 481, 6, 490},       // below
        {641, 10, 700, 20},     // right
        {-5, 10, -0.5, 470},    // left
        {700, -10, 800, 500},   // right once its rows are cut
        {-10, 600, -5, -100},   // left once its rows are cut
    };
    for (ScreenSegment s : outside) {
        EXPECT_EQ(ClipSegmentToScreen(s), 0) << s.x0 << ", " << s.y0;
    }
}

// A clipped end on the closed right or bottom edge stays off the surface.
TEST_F(CubeTest, SegmentsCutAtTheRightAndBottomEdgesStayInsideTheSurface) {
    struct EdgeCase {
        ScreenSegment segment;
        PixelSet drawn;
    } cases[] = {
        {{-50, 480, 700, 480}, {}},
        {{640, -10, 640, 500}, {}},
        {{600, 440, 700, 540}, Diagonal(600, 440, 1, 39)},
        {{100, 479.5, 900, 479.5}, Row(479, 100, 639)},
        {{639.5, 100, 639.9, 900}, Column(639, 100, 479)},
    };
    for (const EdgeCase& c : cases) {
        screen.Clear();
        ScreenSegment s = c.segment;
        ASSERT_EQ(ClipSegmentToScreen(s), 1);
        DrawLine(BackSurface, s, WhitePixel);
        EXPECT_EQ(screen.Drawn(), c.drawn) << c.segment.x0 << ", " << c.segment.y0;
    }
    screen.Clear();
    ScreenSegment whole = {-640, -480, 1280, 960};
    ASSERT_EQ(ClipSegmentToScreen(whole), 1);
    DrawLine(BackSurface, whole, WhitePixel);
    EXPECT_EQ(screen.Drawn().size(), 640u);
    EXPECT_EQ(screen.ChangedGuardBytes(), 0);
}

}  // namespace
}  // namespace wirecube_test
