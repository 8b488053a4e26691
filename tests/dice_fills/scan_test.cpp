#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "dice/scan.h"
#include "fill_fixture.h"

namespace dice_fills_test {
namespace {

using ScanTest = ScreenTest;

int Clip(ScanBox* box, const ProjectedTriangle& projected) { return ClipTriangleBounds(box, &projected); }

TEST_F(ScanTest, RefusesTrianglesWhollyOffTheScreen)
{
    ScanBox box;
    EXPECT_EQ(0, Clip(&box, Points(640.5, 10, 700, 20, 650, 90)));
    EXPECT_EQ(0, Clip(&box, Points(-90, 10, -0.5, 20, -50, 90)));
    EXPECT_EQ(0, Clip(&box, Points(10, 480.5, 90, 500, 50, 600)));
    EXPECT_EQ(0, Clip(&box, Points(10, -90, 90, -0.5, 50, -40)));
}

TEST_F(ScanTest, AcceptsATriangleTouchingTheRightOrBottomEdgeWithAnEmptyBox)
{
    const ProjectedTriangle right = Points(640, 10, 700, 20, 650, 90);
    ScanBox box;
    ASSERT_EQ(1, ClipTriangleBounds(&box, &right));
    EXPECT_EQ(640, box.minX);
    EXPECT_EQ(639, box.maxX);
    for (int y = box.minY; y <= box.maxY; ++y) {
        double left, rightX;
        GetScanSpan(&right, &box, y, &left, &rightX);
        EXPECT_LE(rightX - left, 0.0) << "row " << y;
    }

    const ProjectedTriangle bottom = Points(10, 480, 90, 500, 50, 600);
    ASSERT_EQ(1, ClipTriangleBounds(&box, &bottom));
    EXPECT_EQ(480, box.minY);
    EXPECT_EQ(479, box.maxY);
}

TEST_F(ScanTest, ClipsCornersBeyondTheScreenToItsEdges)
{
    ScanBox box;
    ASSERT_EQ(1, Clip(&box, Points(-30, -20, 640, 100, 100, 480)));
    EXPECT_EQ(std::make_tuple(0, 0, 639, 479), Bounds(box));

    ASSERT_EQ(1, Clip(&box, Points(-1e300, 5, 1e300, 6, 7, INFINITY)));
    EXPECT_EQ(std::make_tuple(0, 5, 639, 479), Bounds(box));
}

TEST_F(ScanTest, TruncatesFractionalBounds)
{
    ScanBox box;
    ASSERT_EQ(1, Clip(&box, Points(12.7, 40.6, 80.9, 300.9, 30.2, 150.5)));
    EXPECT_EQ(std::make_tuple(12, 40, 80, 300), Bounds(box));
}

TEST_F(ScanTest, RefusesTrianglesLessThanATenthOfAPixelHigh)
{
    ScanBox box;
    EXPECT_EQ(0, Clip(&box, Points(10, 10, 90, 10, 50, 10)));
    EXPECT_EQ(0, Clip(&box, Points(10, 10, 90, 10.05, 50, 10.02)));
    EXPECT_EQ(1, Clip(&box, Points(10, 10, 90, 10.25, 50, 10.1)));
}

TEST_F(ScanTest, RefusesACornerThatIsNotANumber)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    ScanBox box;
    EXPECT_EQ(0, Clip(&box, Points(nan, 10, 90, 50, 50, 90)));
    EXPECT_EQ(0, Clip(&box, Points(10, 10, 90, nan, 50, 90)));
    EXPECT_EQ(0, Clip(&box, Points(10, 10, 90, 50, 50, nan)));
}

TEST_F(ScanTest, ALineThroughTheMiddleCornerRunsToTheOppositeEdge)
{
    const ProjectedTriangle triangle = Points(100, 100, 200, 150, 120, 200);
    ScanBox box;
    ASSERT_EQ(1, ClipTriangleBounds(&box, &triangle));
    double left, right;
    GetScanSpan(&triangle, &box, 150.0, &left, &right);
    EXPECT_DOUBLE_EQ(110.0, left);
    EXPECT_DOUBLE_EQ(200.0, right);
}

TEST_F(ScanTest, ALineMissingTheTriangleGivesAnInvertedSpan)
{
    // The top corner lies part-way down row 10, so row 10 is in the box but
    // above the triangle.
    const ProjectedTriangle triangle = Points(50.5, 10.5, 90.25, 40, 20.75, 30);
    ScanBox box;
    ASSERT_EQ(1, ClipTriangleBounds(&box, &triangle));
    ASSERT_EQ(10, box.minY);
    double left, right;
    GetScanSpan(&triangle, &box, 10.0, &left, &right);
    EXPECT_EQ(box.maxX, left);
    EXPECT_EQ(box.minX, right);
}

TEST_F(ScanTest, SpansStayWithinTheBoxForCrossingsFarOffTheScreen)
{
    const ProjectedTriangle triangle = Points(-5000, 0, 5000, 0, 0, 400);
    ScanBox box;
    ASSERT_EQ(1, ClipTriangleBounds(&box, &triangle));
    double left, right;
    GetScanSpan(&triangle, &box, 100.0, &left, &right);
    EXPECT_EQ(0.0, left);
    EXPECT_EQ(639.0, right);
}

TEST_F(ScanTest, AHorizontalEdgeOnTheLineExtendsBothWays)
{
    const ProjectedPoint from{140, 20};
    const ProjectedPoint to{100, 20};
    double lo = 120, hi = 120;
    ExtendSpanByEdge(20.0, &from, &to, &lo, &hi);
    EXPECT_EQ(100.0, lo);
    EXPECT_EQ(140.0, hi);

    lo = hi = 120;
    ExtendSpanByEdge(20.0, &to, &from, &lo, &hi);
    EXPECT_EQ(100.0, lo);
    EXPECT_EQ(140.0, hi);
}

TEST_F(ScanTest, ACrossingOnlyWidensTheSpan)
{
    const ProjectedPoint top{100, 0};
    const ProjectedPoint bottom{200, 100};
    double lo = 120, hi = 160;
    ExtendSpanByEdge(50.0, &top, &bottom, &lo, &hi);  // crosses at 150
    EXPECT_EQ(120.0, lo);
    EXPECT_EQ(160.0, hi);
    ExtendSpanByEdge(10.0, &top, &bottom, &lo, &hi);  // crosses at 110
    EXPECT_EQ(110.0, lo);
    ExtendSpanByEdge(90.0, &top, &bottom, &lo, &hi);  // crosses at 190
    EXPECT_EQ(190.0, hi);
}

TEST_F(ScanTest, IsBetweenIncludesBothEndsInEitherOrder)
{
    EXPECT_EQ(1, IsBetween(10, 10, 20));
    EXPECT_EQ(1, IsBetween(20, 10, 20));
    EXPECT_EQ(1, IsBetween(10, 20, 10));
    EXPECT_EQ(1, IsBetween(20, 20, 10));
    EXPECT_EQ(1, IsBetween(15, 20, 10));
    EXPECT_EQ(1, IsBetween(7, 7, 7));
    EXPECT_EQ(0, IsBetween(9.5, 10, 20));
    EXPECT_EQ(0, IsBetween(20.5, 20, 10));
    EXPECT_EQ(0, IsBetween(std::nan(""), 10, 20));
}

}  // namespace
}  // namespace dice_fills_test
