// The coverage helpers: a triangle's clipped bounds and its span on a row.
#include <cmath>
#include <limits>

#include "dice/fill.h"
#include "dice/scan.h"
#include "fills.h"

namespace {

using Scan = FillTest;
const double kNan = std::numeric_limits<double>::quiet_NaN();

// Bounds are truncated, clipped to the screen, and a triangle wholly off it,
// less than 0.1 high or with a corner that is no number is refused. One
// touching x = 640 or y = 480 is accepted with a box that holds no pixel.
TEST_F(Scan, ClipTriangleBounds) {
    const struct {
        ProjectedTriangle triangle;
        int accepted, minX = 0, minY = 0, maxX = 0, maxY = 0;
    } cases[] = {
        {Points(12.7, 40.6, 80.9, 300.9, 30.2, 150.5), 1, 12, 40, 80, 300},
        {Points(-30, -20, 640, 100, 100, 480), 1, 0, 0, 639, 479},
        {Points(-1e300, 5, 1e300, 6, 7, INFINITY), 1, 0, 5, 639, 479},
        {Points(640, 10, 700, 20, 650, 90), 1, 640, 10, 639, 90},
        {Points(10, 480, 90, 500, 50, 600), 1, 10, 480, 90, 479},
        {Points(10, 10, 90, 10.25, 50, 10.1), 1, 10, 10, 90, 10},
        {Points(640.5, 10, 700, 20, 650, 90), 0},
        {Points(-90, 10, -0.5, 20, -50, 90), 0},
        {Points(10, 480.5, 90, 500, 50, 600), 0},
        {Points(10, -90, 90, -0.5, 50, -40), 0},
        {Points(10, 10, 90, 10, 50, 10), 0},
        {Points(10, 10, 90, 10.05, 50, 10.02), 0},
        {Points(kNan, 10, 90, 50, 50, 90), 0},
        {Points(10, 10, 90, 50, 50, kNan), 0},
    };
    for (const auto& c : cases) {
        ScanBox box;
        ASSERT_EQ(ClipTriangleBounds(&box, &c.triangle), c.accepted) << c.triangle.p[0].x << ", " << c.triangle.p[0].y;
        EXPECT_TRUE(!c.accepted || (box.minX == c.minX && box.minY == c.minY && box.maxX == c.maxX && box.maxY == c.maxY))
            << box.minX << " " << box.minY << " " << box.maxX << " " << box.maxY;
    }
}

// A row through the middle corner runs from it to the opposite edge; a row
// that misses the triangle comes out inverted (maxX to minX); crossings far
// off the screen are cut to the box.
TEST_F(Scan, GetScanSpan) {
    const struct {
        ProjectedTriangle triangle;
        double y, left, right;
    } cases[] = {
        {Points(100, 100, 200, 150, 120, 200), 150, 110, 200},
        {Points(50.5, 10.5, 90.25, 40, 20.75, 30), 10, 90, 20},
        {Points(-5000, 0, 5000, 0, 0, 400), 100, 0, 639},
        {Points(640, 10, 700, 20, 650, 90), 50, 640, 639},
    };
    for (const auto& c : cases) {
        ScanBox box;
        ASSERT_EQ(ClipTriangleBounds(&box, &c.triangle), 1);
        double left, right;
        GetScanSpan(&c.triangle, &box, c.y, &left, &right);
        EXPECT_NEAR(left, c.left, 1e-12) << c.triangle.p[0].x;
        EXPECT_NEAR(right, c.right, 1e-12) << c.triangle.p[0].x;
    }
}

// A horizontal edge on the row extends the span to both its ends, listed
// either way; a crossing only ever widens the span.
TEST_F(Scan, EdgesExtendTheSpan) {
    const ProjectedPoint a{140, 20}, b{100, 20}, top{100, 0}, bottom{200, 100};
    for (const auto& [from, to] : {std::make_pair(&a, &b), std::make_pair(&b, &a)}) {
        double lo = 120, hi = 120;
        ExtendSpanByEdge(20.0, from, to, &lo, &hi);
        EXPECT_TRUE(lo == 100 && hi == 140) << lo << " " << hi;
    }
    double lo = 120, hi = 160;
    for (double y : {50.0, 10.0, 90.0}) ExtendSpanByEdge(y, &top, &bottom, &lo, &hi);  // 150, 110, 190
    EXPECT_TRUE(lo == 110 && hi == 190) << lo << " " << hi;
    const double between[][4] = {{10, 10, 20, 1}, {20, 10, 20, 1}, {10, 20, 10, 1}, {15, 20, 10, 1}, {7, 7, 7, 1},
                                 {9.5, 10, 20, 0}, {20.5, 20, 10, 0}, {kNan, 10, 20, 0}};
    for (const auto& c : between) EXPECT_EQ(IsBetween(c[0], c[1], c[2]), c[3]) << c[0] << " " << c[1] << " " << c[2];
}

// Rows inside the box above a fractional top corner draw nothing, in
// either fill.
TEST_F(Scan, RowsAboveAFractionalTopCornerDrawNothing) {
    const TexturedTriangle triangle = {{Unproject(50.5, 10.5, 2.0, 0, 0), Unproject(90.25, 40, 2.4, 99, 0),
                                        Unproject(20.75, 30, 2.2, 0, 99)}};
    for (FillFunction fill : {FillTriangleAffine, FillTrianglePerspective}) {
        const Drawing drawing(fill, triangle, Points(50.5, 10.5, 90.25, 40, 20.75, 30));
        EXPECT_EQ(drawing.RowExtent(10).first, -1);
        EXPECT_NE(drawing.RowExtent(11).first, -1);
    }
}

}  // namespace
