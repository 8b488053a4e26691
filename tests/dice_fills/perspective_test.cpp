#include <gtest/gtest.h>

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <vector>

#include "dice/fill.h"
#include "dice/scan.h"
#include "fill_fixture.h"

namespace dice_fills_test {
namespace {

using PerspectiveFillTest = ScreenTest;

TexturedTriangle RecedingTriangle()
{
    return {{Vertex(-0.2, 0.2, 2.0, 0, 0), Vertex(0.2, 0.2, 2.8, 99, 0), Vertex(-0.2, -0.2, 2.0, 0, 99)}};
}

TexturedTriangle WithDepths(double z0, double z1, double z2)
{
    return {{Vertex(0, 0, z0, 0, 1), Vertex(1, 1, z1, 2, 3), Vertex(2, 2, z2, 4, 5)}};
}

// Which of WithDepths' corners, told apart by u, ended up where.
std::vector<double> OrderOf(const TexturedTriangle& triangle)
{
    TexturedTriangle ordered;
    OrderByDepthSpread(&ordered, &triangle);
    std::vector<double> order;
    for (const TexturedVertex& c : ordered.corner) {
        order.push_back(c.u / 2);
        // Every value of a corner travels with it.
        EXPECT_EQ(c.u + 1, c.v);
        EXPECT_EQ(c.u / 2, c.x);
        EXPECT_EQ(c.x, c.y);
    }
    return order;
}

TEST_F(PerspectiveFillTest, OrdersCornersSoTheLastEdgeChangesDepthMost)
{
    EXPECT_EQ((std::vector<double>{2, 1, 0}), OrderOf(WithDepths(2.0, 2.5, 2.1)));
    EXPECT_EQ((std::vector<double>{1, 0, 2}), OrderOf(WithDepths(2.0, 2.5, 2.6)));
    EXPECT_EQ((std::vector<double>{0, 1, 2}), OrderOf(WithDepths(2.0, 2.1, 2.3)));
}

TEST_F(PerspectiveFillTest, RecedingTrianglePlaneAxesAndSpanEnds)
{
    const TexturedTriangle triangle = RecedingTriangle();
    const ProjectedTriangle projected = Project(triangle);
    EXPECT_EQ(288.0, projected.p[0].x);
    EXPECT_EQ(208.0, projected.p[0].y);
    EXPECT_NEAR(342.857142857142, projected.p[1].x, 1e-9);
    EXPECT_NEAR(217.142857142857, projected.p[1].y, 1e-9);
    EXPECT_EQ(288.0, projected.p[2].x);
    EXPECT_EQ(272.0, projected.p[2].y);

    TexturedTriangle ordered;
    OrderByDepthSpread(&ordered, &triangle);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(triangle.corner[k].z, ordered.corner[k].z);

    ScanBox box;
    ASSERT_EQ(1, ClipTriangleBounds(&box, &projected));
    EXPECT_EQ(std::make_tuple(288, 208, 342, 272), Bounds(box));

    TrianglePlane plane = {};
    BuildTrianglePlane(&plane, &ordered);
    ChooseSolveAxes(&plane);
    EXPECT_NEAR(0.0, plane.detXZ, 1e-15);
    EXPECT_NEAR(0.32, std::fabs(plane.detYZ), 1e-15);
    EXPECT_NEAR(0.16, std::fabs(plane.detXY), 1e-15);
    EXPECT_EQ(0, plane.degenerate);
    EXPECT_EQ(1, plane.sAxis);
    EXPECT_EQ(2, plane.tAxis);

    double xl, xr;
    GetScanSpan(&projected, &box, 230.0, &xl, &xr);
    EXPECT_EQ(288.0, xl);
    EXPECT_NEAR(330.0, xr, 1e-9);

    const double sy = (ScreenCentreY - 230.0) / ProjectionScale;
    plane.rowTerm = sy * plane.kY + plane.k0;
    double s, t, x, y, z, u, v;
    IntersectViewRay(&ordered, (xl - ScreenCentreX) / ProjectionScale, sy, &s, &t, &x, &y, &z, &plane);
    InterpolateTexCoords(&ordered, &u, &v, s, t);
    EXPECT_NEAR(0.34375, s, 1e-12);
    EXPECT_NEAR(0.0, t, 1e-12);
    EXPECT_NEAR(0.0, u, 1e-9);
    EXPECT_NEAR(34.03125, v, 1e-9);

    IntersectViewRay(&ordered, (xr - ScreenCentreX) / ProjectionScale, sy, &s, &t, &x, &y, &z, &plane);
    InterpolateTexCoords(&ordered, &u, &v, s, t);
    EXPECT_NEAR(1.0, s, 1e-12);
    EXPECT_NEAR(0.7, t, 1e-12);
    EXPECT_NEAR(69.3, u, 1e-9);
    EXPECT_NEAR(29.7, v, 1e-9);
}

TEST_F(PerspectiveFillTest, RecedingTrianglePixelsInEveryRoundingMode)
{
    const TexturedTriangle triangle = RecedingTriangle();
    const ProjectedTriangle projected = Project(triangle);
    const int columns[] = {288, 292, 296, 301, 309, 318, 326, 330};
    const int texels[][2] = {{0, 34}, {5, 34}, {11, 33}, {18, 33}, {30, 32}, {46, 31}, {61, 30}, {69, 30}};

    for (int mode : kRoundingModes) {
        SCOPED_TRACE(mode);
        RoundingMode rounding(mode);
        const Drawing drawing(FillTrianglePerspective, triangle, projected);
        EXPECT_EQ(mode, std::fegetround());

        EXPECT_EQ(std::make_pair(-1, -1), drawing.RowExtent(208));
        EXPECT_EQ(std::make_pair(-1, -1), drawing.RowExtent(272));
        ASSERT_EQ(std::make_pair(288, 330), drawing.RowExtent(230));
        for (int k = 0; k < 8; ++k) {
            EXPECT_EQ(texels[k][0], drawing.Column(columns[k], 230)) << "pixel " << columns[k];
            EXPECT_EQ(texels[k][1], drawing.Row(columns[k], 230)) << "pixel " << columns[k];
        }
        for (int y = 0; y < kScreenHeight; ++y) {
            if (y <= 208 || y >= 272) {
                EXPECT_EQ(std::make_pair(-1, -1), drawing.RowExtent(y)) << "row " << y;
            }
        }
        EXPECT_TRUE(drawing.SameCoverage());
    }
}

TEST_F(PerspectiveFillTest, SpanEndsRoundHalfWayToEvenAndNarrowSpansAreSkipped)
{
    for (int mode : kRoundingModes) {
        SCOPED_TRACE(mode);
        RoundingMode rounding(mode);
        const Wedge halves = MakeWedge(100.5, 101.5);
        EXPECT_EQ(std::make_pair(100, 102),
                  Drawing(FillTrianglePerspective, halves.triangle, halves.projected).RowExtent(24));

        const Wedge narrow = MakeWedge(100.35, 100.65);
        const Drawing two(FillTrianglePerspective, narrow.triangle, narrow.projected);
        EXPECT_EQ(std::make_pair(100, 101), two.RowExtent(24));
        // The first pixel of the span takes the left end's texel.
        EXPECT_EQ(0, two.Column(100, 24));

        const Wedge thin = MakeWedge(100.5, 100.58);
        const Drawing none(FillTrianglePerspective, thin.triangle, thin.projected);
        EXPECT_EQ(std::make_pair(-1, -1), none.RowExtent(24));
        EXPECT_NE(std::make_pair(-1, -1), none.RowExtent(10));
        const Drawing affine(FillTriangleAffine, thin.triangle, thin.projected);
        EXPECT_EQ(std::make_pair(-1, -1), affine.RowExtent(24));
    }
}

TEST_F(PerspectiveFillTest, HalfWayTexelsGoToTheEvenNeighbourInEveryRoundingMode)
{
    const double coordinates[] = {12.5, 13.5, 98.5, 99.5};
    const int expected[] = {12, 14, 98, 100};
    for (int mode : kRoundingModes) {
        for (int k = 0; k < 4; ++k) {
            SCOPED_TRACE(testing::Message() << "mode " << mode << ", coordinate " << coordinates[k]);
            RoundingMode rounding(mode);
            const double c = coordinates[k];
            const TexturedTriangle triangle = {
                {Vertex(-0.3, 0.1, 1.5, c, c), Vertex(0.4, 0.3, 2.5, c, c), Vertex(0.0, -0.4, 2.0, c, c)}};
            const Drawing drawing(FillTrianglePerspective, triangle, Project(triangle));
            int drawn = 0;
            for (int y = 150; y < 330; ++y) {
                for (int x = 200; x < 420; ++x) {
                    if (!drawing.Written(x, y)) continue;
                    ++drawn;
                    ASSERT_EQ(expected[k], drawing.Column(x, y)) << x << ", " << y;
                    ASSERT_EQ(expected[k], drawing.Row(x, y)) << x << ", " << y;
                }
            }
            EXPECT_GT(drawn, 1000);
            EXPECT_EQ(drawn, drawing.CountWritten());
        }
    }
}

TEST_F(PerspectiveFillTest, ATriangleWithoutANormalShowsCornerATexelEverywhere)
{
    // Depths 2.0, 2.5, 2.1 put the given corner 2 first.
    const TexturedTriangle sliver = {
        {Vertex(0, 0, 2.0, 10, 20), Vertex(0, 0, 2.5, 30, 40), Vertex(0, 0, 2.1, 50, 60)}};
    const TexturedTriangle speck = {{Vertex(0.1, 0.1, 2.0, 10, 20), Vertex(0.1001, 0.1, 2.0005, 30, 40),
                                     Vertex(0.1, 0.1001, 2.0001, 50, 60)}};
    for (const TexturedTriangle& triangle : {sliver, speck}) {
        TexturedTriangle ordered;
        OrderByDepthSpread(&ordered, &triangle);
        TrianglePlane plane = {};
        BuildTrianglePlane(&plane, &ordered);
        ASSERT_EQ(1, plane.degenerate);

        const Drawing drawing(FillTrianglePerspective, triangle, Points(100, 100, 200, 120, 150, 200));
        int drawn = 0;
        for (int y = 100; y <= 200; ++y) {
            for (int x = 100; x <= 200; ++x) {
                if (!drawing.Written(x, y)) continue;
                ++drawn;
                ASSERT_EQ(50, drawing.Column(x, y)) << x << ", " << y;
                ASSERT_EQ(60, drawing.Row(x, y)) << x << ", " << y;
            }
        }
        EXPECT_GT(drawn, 3000);
        EXPECT_EQ(drawn, drawing.CountWritten());
    }
}

TEST_F(PerspectiveFillTest, RowsAboveAFractionalTopCornerDrawNothing)
{
    const ProjectedTriangle projected = Points(50.5, 10.5, 90.25, 40, 20.75, 30);
    const TexturedTriangle triangle = {{Unproject(50.5, 10.5, 2.0, 0, 0), Unproject(90.25, 40, 2.4, 99, 0),
                                        Unproject(20.75, 30, 2.2, 0, 99)}};
    const Drawing drawing(FillTrianglePerspective, triangle, projected);
    EXPECT_EQ(std::make_pair(-1, -1), drawing.RowExtent(10));
    EXPECT_NE(std::make_pair(-1, -1), drawing.RowExtent(11));
}

// The texel coordinates that exact inverse projection gives at the screen
// point (x, y): where the viewing ray meets the triangle's plane, weighted by
// the corners' barycentric shares.
struct Vec {
    double x, y, z;
};
Vec Sub(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec Cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

void TrueTexel(const TexturedTriangle& triangle, double x, double y, double* u, double* v)
{
    const TexturedVertex& ta = triangle.corner[0];
    const TexturedVertex& tb = triangle.corner[1];
    const TexturedVertex& tc = triangle.corner[2];
    const Vec a{ta.x, ta.y, ta.z}, b{tb.x, tb.y, tb.z}, c{tc.x, tc.y, tc.z};
    const Vec normal = Cross(Sub(b, a), Sub(c, a));
    const Vec ray{(x - ScreenCentreX) / ProjectionScale, (ScreenCentreY - y) / ProjectionScale, 1.0};
    const double depth = Dot(normal, a) / Dot(normal, ray);
    const Vec p{ray.x * depth, ray.y * depth, depth};
    const double area = Dot(normal, normal);
    const double wa = Dot(normal, Cross(Sub(b, p), Sub(c, p))) / area;
    const double wb = Dot(normal, Cross(Sub(c, p), Sub(a, p))) / area;
    const double wc = 1.0 - wa - wb;
    *u = wa * ta.u + wb * tb.u + wc * tc.u;
    *v = wa * ta.v + wb * tb.v + wc * tc.v;
}

// Every drawn pixel shows the texel nearest to the exact mapping at the point
// where it is sampled: x = xl + i along its span, no further than xr.
void ExpectExactMapping(const TexturedTriangle& triangle)
{
    const ProjectedTriangle projected = Project(triangle);
    const Drawing drawing(FillTrianglePerspective, triangle, projected);
    ScanBox box;
    ASSERT_EQ(1, ClipTriangleBounds(&box, &projected));
    int checked = 0;
    for (int y = box.minY; y <= box.maxY; ++y) {
        double xl, xr;
        GetScanSpan(&projected, &box, y, &xl, &xr);
        if (xr - xl <= MIN_SPAN_WIDTH) {
            ASSERT_EQ(std::make_pair(-1, -1), drawing.RowExtent(y)) << "row " << y;
            continue;
        }
        const int first = static_cast<int>(std::nearbyint(xl));
        const int last = static_cast<int>(std::nearbyint(xr));
        ASSERT_EQ(std::make_pair(first, last), drawing.RowExtent(y)) << "row " << y;
        for (int x = first; x <= last; ++x) {
            double u, v;
            TrueTexel(triangle, std::min(xl + (x - first), xr), y, &u, &v);
            ASSERT_LE(std::fabs(drawing.Column(x, y) - u), 0.5 + 1e-6) << x << ", " << y;
            ASSERT_LE(std::fabs(drawing.Row(x, y) - v), 0.5 + 1e-6) << x << ", " << y;
            ++checked;
        }
    }
    EXPECT_GT(checked, 1000);
}

TEST_F(PerspectiveFillTest, FollowsTheExactPerspectiveMappingInEitherWinding)
{
    const TexturedTriangle receding = RecedingTriangle();
    ExpectExactMapping(receding);
    ExpectExactMapping({{receding.corner[0], receding.corner[2], receding.corner[1]}});
    // A face of the die turned well away from the viewer.
    ExpectExactMapping({{Vertex(-0.3, 0.3, 2.1, 100, 99), Vertex(0.25, 0.3, 2.7, 199, 99),
                         Vertex(-0.3, -0.3, 2.1, 100, 0)}});
}

TEST_F(PerspectiveFillTest, ATriangleCutByTheLeftEdgeShowsWhatTheWholeTriangleWouldThere)
{
    const TexturedTriangle triangle = {
        {Vertex(-1.5, 0.3, 1.0, 0, 0), Vertex(0.5, 0.6, 3.0, 249, 10), Vertex(-0.4, -0.5, 1.6, 30, 249)}};
    ASSERT_LT(Project(triangle).p[0].x, -100.0);
    ExpectExactMapping(triangle);
    const Drawing drawing(FillTrianglePerspective, triangle, Project(triangle));
    EXPECT_EQ(0, drawing.RowExtent(200).first);
}

TEST_F(PerspectiveFillTest, ATriangleReachingPastEveryEdgeFillsTheWholeScreenOnly)
{
    const TexturedTriangle triangle = {
        {Vertex(-10, 10, 2, 0, 0), Vertex(20, 10, 5, 249, 0), Vertex(-10, -20, 3, 0, 249)}};
    const Drawing drawing(FillTrianglePerspective, triangle, Project(triangle));
    EXPECT_EQ(kScreenWidth * kScreenHeight, drawing.CountWritten());
    for (int y = 0; y < kScreenHeight; ++y) ASSERT_EQ(std::make_pair(0, kScreenWidth - 1), drawing.RowExtent(y));
    ExpectExactMapping(triangle);
}

}  // namespace
}  // namespace dice_fills_test
