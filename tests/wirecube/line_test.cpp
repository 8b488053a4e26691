#include "wirecube/line.h"

#include "test_surfaces.h"
#include "testing/memory_surface.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace wirecube_test {
namespace {

class LineTest : public ::testing::Test {
protected:
    PixelSet Draw(double x0, double y0, double x1, double y1) {
        screen.Clear();
        DrawLine(screen.Surface(), ScreenSegment{x0, y0, x1, y1}, WHITE);
        EXPECT_EQ(screen.ChangedGuardBytes(), 0);
        if (!screen.Drawn().empty()) {
            EXPECT_EQ(screen.DrawnValues(), std::set<BYTE>{WHITE_BYTE});
        }
        return screen.Drawn();
    }

    // The pixels must not depend on which end point comes first.
    void ExpectBothWays(double x0, double y0, double x1, double y1, const PixelSet& expected) {
        EXPECT_EQ(Draw(x0, y0, x1, y1), expected) << "(" << x0 << ", " << y0 << ")-(" << x1 << ", " << y1 << ")";
        EXPECT_EQ(Draw(x1, y1, x0, y0), expected) << "(" << x1 << ", " << y1 << ")-(" << x0 << ", " << y0 << ")";
    }

    GuardedScreen screen;
};

TEST_F(LineTest, SinglePointWritesOnePixel) {
    ExpectBothWays(7.5, 3.2, 7.9, 3.9, PixelSet{Pixel{7, 3}});
    ExpectBothWays(0, 0, 0, 0, PixelSet{Pixel{0, 0}});
}

TEST_F(LineTest, HorizontalAndVerticalRunsIncludeBothEnds) {
    ExpectBothWays(10, 5, 14, 5, Row(5, 10, 14));
    ExpectBothWays(10, 5, 10, 9, Column(10, 5, 9));
    ExpectBothWays(0, 479, 639, 479, Row(479, 0, 639));
    ExpectBothWays(639, 0, 639, 479, Column(639, 0, 479));
}

// The minor coordinate is the truncated quotient from the end with the
// smaller major coordinate, not the nearest pixel to the true line.
TEST_F(LineTest, ShallowLinesTruncateTheMinorStep) {
    ExpectBothWays(0, 0, 4, 1, PixelSet{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 1}});
    ExpectBothWays(0, 5, 4, 4, PixelSet{{0, 5}, {1, 5}, {2, 5}, {3, 5}, {4, 4}});
    ExpectBothWays(0, 0, 10, 3,
                   PixelSet{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 1}, {5, 1}, {6, 1}, {7, 2}, {8, 2}, {9, 2}, {10, 3}});
}

// A negative step truncates toward zero, not downward.
TEST_F(LineTest, SteepLinesTruncateTheMinorStepTowardZero) {
    ExpectBothWays(5, 0, 2, 7, PixelSet{{5, 0}, {5, 1}, {5, 2}, {4, 3}, {4, 4}, {3, 5}, {3, 6}, {2, 7}});
    ExpectBothWays(0, 0, 2, 5, PixelSet{{0, 0}, {0, 1}, {0, 2}, {1, 3}, {1, 4}, {2, 5}});
}

TEST_F(LineTest, DiagonalsAreWalkedAlongTheRows) {
    ExpectBothWays(0, 0, 3, 3, PixelSet{{0, 0}, {1, 1}, {2, 2}, {3, 3}});
    ExpectBothWays(0, 3, 3, 0, PixelSet{{3, 0}, {2, 1}, {1, 2}, {0, 3}});
}

TEST_F(LineTest, CoordinatesTruncateTowardZero) {
    ExpectBothWays(12.9, 3.2, 12.1, 7.99, Column(12, 3, 7));
    ExpectBothWays(3.99, 12.9, 6.5, 12.0, Row(12, 3, 6));
    // -0.9 becomes column 0; rounding down would start the line at -1 and
    // shift the step to row 1 one column earlier.
    ExpectBothWays(-0.9, 0, 5, 3, PixelSet{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 3}});
}

// Column 640 and row 480 lie on the closed edge of the clip rectangle but
// outside the surface: the pixels there are left out, the rest kept.
TEST_F(LineTest, PixelsOnePastTheLastColumnOrRowAreLeftOut) {
    PixelSet diagonal;
    for (int k = 0; k < 40; ++k) diagonal.insert({600 + k, 440 + k});
    ExpectBothWays(600, 440, 640, 480, diagonal);

    const PixelSet screenDiagonal = Draw(0, 0, 640, 480);
    EXPECT_EQ(screenDiagonal.size(), 640u);
    EXPECT_TRUE(screenDiagonal.count({639, 479}));
    EXPECT_TRUE(screenDiagonal.count({4, 3}));
    EXPECT_FALSE(screenDiagonal.count({4, 2}));

    // Only the last step reaches the edge along the minor axis.
    PixelSet shallow, steep;
    for (int i = 0; i < 100; ++i) {
        shallow.insert({i, 470 + i / 10});
        steep.insert({630 + i / 10, i});
    }
    ExpectBothWays(0, 470, 100, 480, shallow);
    ExpectBothWays(630, 0, 640, 100, steep);

    ExpectBothWays(0, 480, 640, 480, PixelSet{});
    ExpectBothWays(640, 0, 640, 480, PixelSet{});
    ExpectBothWays(100, 479.5, 640, 479.5, Row(479, 100, 639));
    ExpectBothWays(639.5, 100, 639.9, 480, Column(639, 100, 479));
}

TEST_F(LineTest, FarOffAndNonFiniteCoordinatesStayInsideTheSurface) {
    const double huge = 1e300;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    ExpectBothWays(-huge, 5, huge, 5, Row(5, 0, 639));
    ExpectBothWays(7, -inf, 7, inf, Column(7, 0, 479));

    // Saturated at the ends of the 32-bit range, the diagonal still passes
    // through the corner of the screen.
    PixelSet diagonal;
    for (int k = 0; k < 480; ++k) diagonal.insert({k, k});
    ExpectBothWays(-3e9, -3e9, 3e9, 3e9, diagonal);

    // Steep across the whole 32-bit range of rows: one pixel in every row.
    const PixelSet steep = Draw(-1.5e9, -3e9, 1.5e9, 3e9);
    EXPECT_EQ(steep.size(), 480u);
    EXPECT_TRUE(steep.count({0, 0}));
    EXPECT_TRUE(steep.count({1, 1}));
    EXPECT_TRUE(steep.count({334, 479}));

    ExpectBothWays(huge, huge, huge, huge, PixelSet{});
    ExpectBothWays(-huge, -huge, -1, -1, PixelSet{});
    ExpectBothWays(nan, nan, 3, 0, Row(0, 0, 3));
    ExpectBothWays(inf, nan, -inf, nan, Row(0, 0, 639));
}

TEST(LineSurfaceTest, RowsAreAddressedByThePitch) {
    constexpr int width = 16, height = 8, pitch = 24;
    std::vector<BYTE> memory(pitch * height, 0x55);
    LPDIRECTDRAWSURFACE4 surface = platform::CreateMemorySurface(width, height, 8, pitch, memory.data());
    DrawLine(surface, ScreenSegment{3, 1, 3, 5}, WHITE);
    DrawLine(surface, ScreenSegment{0, 7, 15, 6}, WHITE);
    DrawLine(surface, ScreenSegment{20, 2, 0, 2}, WHITE);
    surface->Release();

    std::vector<BYTE> expected(pitch * height, 0x55);
    for (int y = 1; y <= 5; ++y) expected[y * pitch + 3] = WHITE_BYTE;
    for (int x = 0; x < 15; ++x) expected[7 * pitch + x] = WHITE_BYTE;
    expected[6 * pitch + 15] = WHITE_BYTE;
    for (int x = 0; x < width; ++x) expected[2 * pitch + x] = WHITE_BYTE;
    EXPECT_EQ(memory, expected);
}

TEST(LineLockTest, EachLineTakesOneLockAndOneUnlock) {
    RecordingSurface surface;
    DrawLine(&surface, ScreenSegment{1, 1, 3, 1}, WHITE);
    DrawLine(&surface, ScreenSegment{2, 2, 2, 2}, WHITE);
    EXPECT_EQ(surface.lockCalls, 2);
    EXPECT_EQ(surface.unlockCalls, 2);
    EXPECT_EQ(surface.misuses, 0);
    ASSERT_EQ(surface.runs.size(), 2u);
    EXPECT_EQ(surface.runs[0], (PixelSet{{1, 1}, {2, 1}, {3, 1}}));
    EXPECT_EQ(surface.runs[1], (PixelSet{Pixel{2, 2}}));
}

TEST(LineLockTest, BusySurfaceIsAskedAgainUntilItLocks) {
    RecordingSurface surface;
    surface.busyReplies = 5;
    DrawLine(&surface, ScreenSegment{4, 0, 4, 2}, WHITE);
    EXPECT_EQ(surface.lockCalls, 6);
    EXPECT_EQ(surface.unlockCalls, 1);
    EXPECT_EQ(surface.misuses, 0);
    ASSERT_EQ(surface.runs.size(), 1u);
    EXPECT_EQ(surface.runs[0], Column(4, 0, 2));
}

TEST(LineLockTest, FailedLockDropsTheLineWithoutUnlocking) {
    RecordingSurface surface;
    surface.lockFailure = DDERR_SURFACELOST;
    DrawLine(&surface, ScreenSegment{4, 0, 4, 2}, WHITE);
    EXPECT_EQ(surface.lockCalls, 1);
    EXPECT_EQ(surface.unlockCalls, 0);
    EXPECT_TRUE(surface.runs.empty());
}

TEST(LineLockTest, SurfaceWithMoreThanOneBytePerPixelIsUnlockedUnwritten) {
    RecordingSurface surface(16);
    DrawLine(&surface, ScreenSegment{4, 0, 4, 2}, WHITE);
    EXPECT_EQ(surface.lockCalls, 1);
    EXPECT_EQ(surface.unlockCalls, 1);
    EXPECT_EQ(surface.misuses, 0);
    ASSERT_EQ(surface.runs.size(), 1u);
    EXPECT_TRUE(surface.runs[0].empty());
}

}  // namespace
}  // namespace wirecube_test
