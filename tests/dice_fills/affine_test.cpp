#include <gtest/gtest.h>

#include <cfenv>
#include <limits>

#include "dice/fill.h"
#include "dice/scan.h"
#include "fill_fixture.h"

namespace dice_fills_test {
namespace {

using AffineFillTest = ScreenTest;

TexturedTriangle FlatTriangle(double u0, double v0, double u1, double v1, double u2, double v2)
{
    return {{Vertex(0, 0, 1, u0, v0), Vertex(0, 0, 1, u1, v1), Vertex(0, 0, 1, u2, v2)}};
}

TEST_F(AffineFillTest, RightTriangleMiddleRowInEveryRoundingMode)
{
    const TexturedTriangle triangle = FlatTriangle(0, 0, 99, 99, 0, 99);
    const ProjectedTriangle projected = Points(10, 10, 30, 30, 10, 30);
    ScanBox box;
    ASSERT_EQ(1, ClipTriangleBounds(&box, &projected));
    EXPECT_EQ(10, box.minY);
    EXPECT_EQ(30, box.maxY);

    for (int mode : kRoundingModes) {
        SCOPED_TRACE(mode);
        RoundingMode rounding(mode);
        const Drawing drawing(FillTriangleAffine, triangle, projected);
        EXPECT_EQ(mode, std::fegetround());

        EXPECT_EQ(std::make_pair(-1, -1), drawing.RowExtent(10));
        ASSERT_EQ(std::make_pair(10, 20), drawing.RowExtent(20));
        for (int k = 0; k <= 10; ++k) {
            EXPECT_EQ(5 * k, drawing.Column(10 + k, 20)) << "pixel " << 10 + k;
            EXPECT_EQ(50, drawing.Row(10 + k, 20)) << "pixel " << 10 + k;
        }
        for (int y = 0; y < kScreenHeight; ++y) {
            if (y <= 10 || y > 30) {
                EXPECT_EQ(std::make_pair(-1, -1), drawing.RowExtent(y)) << "row " << y;
            }
        }
        EXPECT_TRUE(drawing.SameCoverage());
    }
}

TEST_F(AffineFillTest, BothWindingsDrawTheSamePixelsButANearZeroDeterminantDrawsNothing)
{
    const TexturedTriangle triangle = FlatTriangle(0, 0, 99, 99, 0, 99);
    const TexturedTriangle swapped = {{triangle.corner[0], triangle.corner[2], triangle.corner[1]}};

    const Drawing clockwise(FillTriangleAffine, triangle, Points(100, 100, 150, 200, 100, 300));
    const Drawing counter(FillTriangleAffine, swapped, Points(100, 100, 100, 300, 150, 200));
    EXPECT_GT(clockwise.CountWritten(), 4000);
    for (int y = 90; y < 310; ++y) EXPECT_EQ(clockwise.RowExtent(y), counter.RowExtent(y)) << "row " << y;

    // Twice the area is -200 times the offset of corner 1 from the line
    // through corners 0 and 2: +-0.000005 here.
    const double offset = 0.000005 / 200;
    const Drawing negative(FillTriangleAffine, triangle, Points(100, 100, 100 + offset, 200, 100, 300));
    const Drawing positive(FillTriangleAffine, swapped, Points(100, 100, 100, 300, 100 + offset, 200));
    EXPECT_EQ(0, negative.CountWritten());
    EXPECT_EQ(0, positive.CountWritten());
}

TEST_F(AffineFillTest, SpanEndsAreTruncatedAndTakeTheirEndsTexels)
{
    // A span narrower than a pixel draws one pixel, with the right end's texel.
    const Wedge narrow = MakeWedge(100.35, 100.65);
    const Drawing single(FillTriangleAffine, narrow.triangle, narrow.projected);
    ASSERT_EQ(std::make_pair(100, 100), single.RowExtent(24));
    EXPECT_EQ(30, single.Column(100, 24));

    const Wedge wide = MakeWedge(10.2, 20.9);
    const Drawing eleven(FillTriangleAffine, wide.triangle, wide.projected);
    ASSERT_EQ(std::make_pair(10, 20), eleven.RowExtent(24));
    for (int k = 0; k <= 10; ++k) EXPECT_EQ(3 * k, eleven.Column(10 + k, 24)) << "pixel " << 10 + k;

    const Wedge halves = MakeWedge(100.5, 101.5);
    const Drawing two(FillTriangleAffine, halves.triangle, halves.projected);
    EXPECT_EQ(std::make_pair(100, 101), two.RowExtent(24));
}

TEST_F(AffineFillTest, HalfWayTexelsGoToTheEvenNeighbourInEveryRoundingMode)
{
    const ProjectedTriangle projected = Points(10, 10, 60, 20, 20, 50);
    for (int mode : kRoundingModes) {
        SCOPED_TRACE(mode);
        RoundingMode rounding(mode);
        const Drawing low(FillTriangleAffine, FlatTriangle(98.5, 12.5, 98.5, 12.5, 98.5, 12.5), projected);
        const Drawing high(FillTriangleAffine, FlatTriangle(99.5, 13.5, 99.5, 13.5, 99.5, 13.5), projected);
        ASSERT_TRUE(low.Written(30, 30));
        EXPECT_EQ(98, low.Column(30, 30));
        EXPECT_EQ(12, low.Row(30, 30));
        EXPECT_EQ(100, high.Column(30, 30));
        EXPECT_EQ(14, high.Row(30, 30));
        EXPECT_EQ(mode, std::fegetround());
    }
}

TEST_F(AffineFillTest, RowsAboveAFractionalTopCornerDrawNothing)
{
    const Drawing drawing(FillTriangleAffine, FlatTriangle(0, 0, 99, 0, 0, 99), Points(50.5, 10.5, 90.25, 40, 20.75, 30));
    EXPECT_EQ(std::make_pair(-1, -1), drawing.RowExtent(10));
    EXPECT_NE(std::make_pair(-1, -1), drawing.RowExtent(11));
}

TEST_F(AffineFillTest, ATriangleReachingPastEveryEdgeFillsTheWholeScreenOnly)
{
    const Drawing drawing(FillTriangleAffine, FlatTriangle(0, 0, 99, 0, 0, 99),
                          Points(-2000, -2000, 4000, -2000, -2000, 4000));
    EXPECT_EQ(kScreenWidth * kScreenHeight, drawing.CountWritten());
    for (int y = 0; y < kScreenHeight; ++y) ASSERT_EQ(std::make_pair(0, kScreenWidth - 1), drawing.RowExtent(y));
    for (int y = 0; y < kScreenHeight; y += 7) {
        for (int x = 0; x < kScreenWidth; x += 5) {
            ASSERT_LE(drawing.Column(x, y), 99);
            ASSERT_LE(drawing.Row(x, y), 99);
        }
    }
}

TEST_F(AffineFillTest, TexelCoordinatesOutsideTheTextureReadItsNearestEdge)
{
    const ProjectedTriangle projected = Points(10, 10, 60, 20, 20, 50);
    const Drawing beyond(FillTriangleAffine, FlatTriangle(300, 400, 300, 400, 300, 400), projected);
    ASSERT_TRUE(beyond.Written(30, 30));
    EXPECT_EQ(Texture::kWidth - 1, beyond.Column(30, 30));
    EXPECT_EQ(Texture::kHeight - 1, beyond.Row(30, 30));

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Drawing before(FillTriangleAffine, FlatTriangle(-20, nan, -20, nan, -20, nan), projected);
    ASSERT_TRUE(before.Written(30, 30));
    EXPECT_EQ(0, before.Column(30, 30));
    EXPECT_EQ(0, before.Row(30, 30));

    const Texture texture(TexelCode::Column);
    DDSURFACEDESC2 empty = *texture.desc();
    empty.dwWidth = 0;
    Canvas canvas;
    const TexturedTriangle triangle = FlatTriangle(0, 0, 9, 0, 0, 9);
    FillTriangleAffine(canvas.desc(), &empty, &triangle, &projected);
    EXPECT_FALSE(canvas.Written(30, 30));
}

}  // namespace
}  // namespace dice_fills_test
