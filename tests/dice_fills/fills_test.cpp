// The two textured fills: the worked examples to the texel under every
// rounding mode, their span and texel rounding, and the perspective fill
// against an exact inverse projection worked out apart from it.
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "dice/fill.h"
#include "dice/fillmath.h"
#include "dice/scan.h"
#include "fills.h"

const DDSURFACEDESC2* CodedTexture(bool rows) {
    static std::vector<BYTE> memory[2];
    static DDSURFACEDESC2 desc[2];
    const int pitch = kTextureSide + 13;
    if (memory[rows].empty()) {
        memory[rows].resize(static_cast<size_t>(pitch) * (kTextureSide - 1) + kTextureSide);
        for (size_t i = 0; i < memory[rows].size(); ++i) memory[rows][i] = static_cast<BYTE>(rows ? i / pitch : i % pitch);
        desc[rows] = {.dwSize = sizeof(DDSURFACEDESC2), .dwHeight = kTextureSide, .dwWidth = kTextureSide, .lPitch = pitch};
        desc[rows].lpSurface = memory[rows].data();
        desc[rows].ddpfPixelFormat.dwRGBBitCount = 8;
    }
    return &desc[rows];
}

Drawing::Drawing(FillFunction fill, const TexturedTriangle& triangle, const ProjectedTriangle& projected) {
    fill(columns->Desc(), CodedTexture(false), &triangle, &projected);
    fill(rows->Desc(), CodedTexture(true), &triangle, &projected);
    EXPECT_TRUE(columns->GuardsIntact() && rows->GuardsIntact());
    EXPECT_EQ(columns->Drawn(), rows->Drawn());
}

std::pair<int, int> Drawing::RowExtent(int y) const {
    int first = -1, last = -1;
    for (int x = 0; x < 640; ++x)
        if (Written(x, y)) (first < 0 ? first : last) = x, last = x;
    return {first, last};
}

int Drawing::Count() const { return static_cast<int>(columns->Drawn().size()); }

ProjectedTriangle Project(const TexturedTriangle& triangle) {
    ProjectedTriangle projected;
    ProjectTriangle(&triangle, &projected);
    return projected;
}

TexturedVertex Unproject(double x, double y, double depth, double u, double v) {
    return {(x - ScreenCentreX) / ProjectionScale * depth, (ScreenCentreY - y) / ProjectionScale * depth, depth, u, v};
}

namespace {

TexturedTriangle Flat(double u0, double v0, double u1, double v1, double u2, double v2) {
    return {{{0, 0, 1, u0, v0}, {0, 0, 1, u1, v1}, {0, 0, 1, u2, v2}}};
}

// Row 24 runs from xl, on the vertical left edge from corner 0 (row 10) to
// corner 2 (row 26), to xr on the edge from corner 1 (row 10) to corner 2.
// The left edge shows texel (0, 0); mapped affinely, row 24's right end
// shows column 30.
struct Wedge {
    TexturedTriangle triangle;
    ProjectedTriangle projected;
};
Wedge MakeWedge(double xl, double xr) {
    const double x1 = 8 * xr - 7 * xl;
    return {{{Unproject(xl, 10, 2.0, 0, 0), Unproject(x1, 10, 2.6, 240, 0), Unproject(xl, 26, 2.3, 0, 0)}},
            Points(xl, 10, x1, 10, xl, 26)};
}

// Its worked example: the die's face receding to the right.
const TexturedTriangle kReceding = {{{-0.2, 0.2, 2.0, 0, 0}, {0.2, 0.2, 2.8, 99, 0}, {-0.2, -0.2, 2.0, 0, 99}}};

using Fills = FillTest;

TEST_F(Fills, AffineWorkedExampleInEveryRoundingMode) {
    for (int mode : kRoundingModes) {
        std::fesetround(mode);
        const Drawing drawing(FillTriangleAffine, Flat(0, 0, 99, 99, 0, 99), Points(10, 10, 30, 30, 10, 30));
        EXPECT_EQ(std::fegetround(), mode);
        std::fesetround(FE_TONEAREST);
        ASSERT_EQ(drawing.RowExtent(20), std::make_pair(10, 20)) << mode;
        for (int k = 0; k <= 10; ++k) EXPECT_TRUE(drawing.Column(10 + k, 20) == 5 * k && drawing.Row(10 + k, 20) == 50) << k;
        for (int y = 0; y < 480; ++y)
            if (y <= 10 || y > 30) EXPECT_EQ(drawing.RowExtent(y).first, -1) << y;
    }
}

TEST_F(Fills, PerspectiveWorkedExampleInEveryRoundingMode) {
    const ProjectedTriangle projected = Project(kReceding);
    EXPECT_TRUE(projected.p[0].x == 288 && projected.p[0].y == 208 && projected.p[2].x == 288 && projected.p[2].y == 272);
    ScanBox box;
    ASSERT_EQ(ClipTriangleBounds(&box, &projected), 1);
    EXPECT_TRUE(box.minX == 288 && box.minY == 208 && box.maxX == 342 && box.maxY == 272);
    TrianglePlane plane = {};
    BuildTrianglePlane(&plane, &kReceding);
    ChooseSolveAxes(&plane);
    EXPECT_TRUE(plane.sAxis == 1 && plane.tAxis == 2 && plane.degenerate == 0);
    double xl, xr, s, t, X, Y, Z, u, v;
    GetScanSpan(&projected, &box, 230.0, &xl, &xr);
    const double sy = (240.0 - 230.0) / 320.0;
    plane.rowTerm = sy * plane.kY + plane.k0;
    const double ends[2][5] = {{xl, 0.34375, 0, 0, 34.03125}, {xr, 1, 0.7, 69.3, 29.7}};
    for (const auto& end : ends) {
        IntersectViewRay(&kReceding, (end[0] - 320.0) / 320.0, sy, &s, &t, &X, &Y, &Z, &plane);
        InterpolateTexCoords(&kReceding, &u, &v, s, t);
        EXPECT_TRUE(std::fabs(s - end[1]) < 1e-12 && std::fabs(t - end[2]) < 1e-12 && std::fabs(u - end[3]) < 1e-9 &&
                    std::fabs(v - end[4]) < 1e-9) << s << " " << t << " " << u << " " << v;
    }
    const int texels[][3] = {{288, 0, 34}, {292, 5, 34},  {296, 11, 33}, {301, 18, 33},
                             {309, 30, 32}, {318, 46, 31}, {326, 61, 30}, {330, 69, 30}};
    for (int mode : kRoundingModes) {
        std::fesetround(mode);
        const Drawing drawing(FillTrianglePerspective, kReceding, projected);
        EXPECT_EQ(std::fegetround(), mode);
        std::fesetround(FE_TONEAREST);
        ASSERT_EQ(drawing.RowExtent(230), std::make_pair(288, 330)) << mode;
        for (const auto& [x, column, row] : texels) EXPECT_TRUE(drawing.Column(x, 230) == column && drawing.Row(x, 230) == row) << x;
        for (int y = 0; y < 480; ++y)
            if (y <= 208 || y >= 272) EXPECT_EQ(drawing.RowExtent(y).first, -1) << y;
    }
}

// The affine fill truncates its span ends and takes each end's texel; the
// perspective fill rounds them, halves to even, and skips a span of 0.1 or less.
TEST_F(Fills, SpanEndsAreTruncatedAffinelyAndRoundedInPerspective) {
    const struct {
        double xl, xr;
        std::pair<int, int> affine, perspective;
    } spans[] = {{100.35, 100.65, {100, 100}, {100, 101}},
                 {10.2, 20.9, {10, 20}, {10, 21}},
                 {100.5, 101.5, {100, 101}, {100, 102}},
                 {100.5, 100.58, {-1, -1}, {-1, -1}}};
    for (const auto& span : spans) {
        const Wedge wedge = MakeWedge(span.xl, span.xr);
        const Drawing affine(FillTriangleAffine, wedge.triangle, wedge.projected);
        const Drawing perspective(FillTrianglePerspective, wedge.triangle, wedge.projected);
        EXPECT_EQ(affine.RowExtent(24), span.affine) << span.xl;
        EXPECT_EQ(perspective.RowExtent(24), span.perspective) << span.xl;
        if (span.affine.first < 0) continue;
        EXPECT_EQ(perspective.Column(span.perspective.first, 24), 0) << "the left end's texel";
        EXPECT_EQ(affine.Column(span.affine.second, 24), 30) << "the right end's texel";
    }
    const Wedge wide = MakeWedge(10.2, 20.9);
    const Drawing eleven(FillTriangleAffine, wide.triangle, wide.projected);
    for (int k = 0; k <= 10; ++k) EXPECT_EQ(eleven.Column(10 + k, 24), 3 * k) << k;
}

// Texel coordinates half-way between two texels go to the even one,
// whatever rounding mode the caller left set.
TEST_F(Fills, HalfWayTexelsGoToTheEvenNeighbourInEveryRoundingMode) {
    const std::pair<double, int> halves[] = {{12.5, 12}, {13.5, 14}, {98.5, 98}, {99.5, 100}};
    for (int mode : kRoundingModes) {
        for (const auto& [c, expected] : halves) {
            std::fesetround(mode);
            const Drawing affine(FillTriangleAffine, Flat(c, c, c, c, c, c), Points(10, 10, 60, 20, 20, 50));
            const TexturedTriangle tilted = {{{-0.3, 0.1, 1.5, c, c}, {0.4, 0.3, 2.5, c, c}, {0.0, -0.4, 2.0, c, c}}};
            const Drawing perspective(FillTrianglePerspective, tilted, Project(tilted));
            std::fesetround(FE_TONEAREST);
            for (const Drawing* drawing : {&affine, &perspective}) {
                const PixelSet drawn = drawing->columns->Drawn();
                EXPECT_GT(drawn.size(), 500u);
                for (const Pixel& p : drawn)
                    ASSERT_TRUE(drawing->Column(p.first, p.second) == expected && drawing->Row(p.first, p.second) == expected)
                        << c << " in mode " << mode << " at " << p.first << ", " << p.second;
            }
        }
    }
}

// Either winding draws the same pixels; a determinant within 0.00001 of
// zero draws nothing.
TEST_F(Fills, AffineDrawsBothWindingsButNoFlatTriangle) {
    const TexturedTriangle triangle = Flat(0, 0, 99, 99, 0, 99);
    const TexturedTriangle swapped = {{triangle.corner[0], triangle.corner[2], triangle.corner[1]}};
    const Drawing one(FillTriangleAffine, triangle, Points(100, 100, 150, 200, 100, 300));
    const Drawing other(FillTriangleAffine, swapped, Points(100, 100, 100, 300, 150, 200));
    EXPECT_GT(one.Count(), 4000);
    EXPECT_EQ(one.columns->Drawn(), other.columns->Drawn());
    const double offset = 0.000005 / 200;  // twice the area is -200 times corner 1's offset
    EXPECT_EQ(Drawing(FillTriangleAffine, triangle, Points(100, 100, 100 + offset, 200, 100, 300)).Count(), 0);
    EXPECT_EQ(Drawing(FillTriangleAffine, swapped, Points(100, 100, 100, 300, 100 + offset, 200)).Count(), 0);
}

// Texel coordinates beyond the texture read its nearest edge, and an empty
// texture draws nothing.
TEST_F(Fills, TexelsBeyondTheTextureReadItsEdge) {
    const ProjectedTriangle projected = Points(10, 10, 60, 20, 20, 50);
    const Drawing beyond(FillTriangleAffine, Flat(300, 400, 300, 400, 300, 400), projected);
    EXPECT_TRUE(beyond.Column(30, 30) == kTextureSide - 1 && beyond.Row(30, 30) == kTextureSide - 1);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Drawing before(FillTriangleAffine, Flat(-20, nan, -20, nan, -20, nan), projected);
    EXPECT_TRUE(before.Column(30, 30) == 0 && before.Row(30, 30) == 0);
    DDSURFACEDESC2 empty = *CodedTexture(false);
    empty.dwWidth = 0;
    GuardedScreen screen;
    const TexturedTriangle triangle = Flat(0, 0, 9, 0, 0, 9);
    FillTriangleAffine(screen.Desc(), &empty, &triangle, &projected);
    FillTrianglePerspective(screen.Desc(), &empty, &triangle, &projected);
    EXPECT_TRUE(screen.Drawn().empty());
}

TEST_F(Fills, PerspectiveOrdersCornersSoTheLastEdgeChangesDepthMost) {
    const double cases[][6] = {{2.0, 2.5, 2.1, 2, 1, 0}, {2.0, 2.5, 2.6, 1, 0, 2}, {2.0, 2.1, 2.3, 0, 1, 2}};
    for (const auto& c : cases) {
        TexturedTriangle triangle, ordered;
        for (int k = 0; k < 3; ++k) triangle.corner[k] = {double(k), double(k), c[k], double(k), double(k)};
        OrderByDepthSpread(&ordered, &triangle);
        for (int k = 0; k < 3; ++k) {
            const TexturedVertex& o = ordered.corner[k];
            EXPECT_TRUE(o.x == c[3 + k] && o.y == c[3 + k] && o.u == c[3 + k] && o.v == c[3 + k] && o.z == c[static_cast<int>(c[3 + k])]) << c[k];
        }
    }
}

// A triangle without a normal (a sliver or a speck in camera space) shows
// the texel of corner A, after reordering, in every pixel.
TEST_F(Fills, PerspectiveFlatTriangleShowsCornerAsTexel) {
    const TexturedTriangle sliver = {{{0, 0, 2.0, 10, 20}, {0, 0, 2.5, 30, 40}, {0, 0, 2.1, 50, 60}}};
    const TexturedTriangle speck = {{{0.1, 0.1, 2.0, 10, 20}, {0.1001, 0.1, 2.0005, 30, 40}, {0.1, 0.1001, 2.0001, 50, 60}}};
    for (const TexturedTriangle& triangle : {sliver, speck}) {
        const Drawing drawing(FillTrianglePerspective, triangle, Points(100, 100, 200, 120, 150, 200));
        EXPECT_GT(drawing.Count(), 3000);
        for (const Pixel& p : drawing.columns->Drawn())
            ASSERT_TRUE(drawing.Column(p.first, p.second) == 50 && drawing.Row(p.first, p.second) == 60);
    }
}

// The texel coordinates of exact inverse projection at screen point (x, y):
// where the viewing ray meets the triangle's plane, weighted by the corners'
// barycentric shares.
struct Vec {
    double x, y, z;
};
Vec Sub(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec Cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

void TrueTexel(const TexturedTriangle& triangle, double x, double y, double* u, double* v) {
    const TexturedVertex* c = triangle.corner;
    const Vec a{c[0].x, c[0].y, c[0].z}, b{c[1].x, c[1].y, c[1].z}, d{c[2].x, c[2].y, c[2].z};
    const Vec normal = Cross(Sub(b, a), Sub(d, a));
    const Vec ray{(x - 320.0) / 320.0, (240.0 - y) / 320.0, 1.0};
    const double depth = Dot(normal, a) / Dot(normal, ray);
    const Vec p{ray.x * depth, ray.y * depth, depth};
    const double wa = Dot(normal, Cross(Sub(b, p), Sub(d, p))) / Dot(normal, normal);
    const double wb = Dot(normal, Cross(Sub(d, p), Sub(a, p))) / Dot(normal, normal);
    *u = wa * c[0].u + wb * c[1].u + (1 - wa - wb) * c[2].u;
    *v = wa * c[0].v + wb * c[1].v + (1 - wa - wb) * c[2].v;
}

// Every pixel drawn shows the texel nearest the exact mapping at the point
// where it is sampled, x = xl + i along its span, no further than xr; a
// triangle cut by the screen's edge shows there what the whole one would.
TEST_F(Fills, PerspectiveFollowsTheExactMapping) {
    const TexturedTriangle triangles[] = {
        kReceding,
        {{kReceding.corner[0], kReceding.corner[2], kReceding.corner[1]}},
        {{{-0.3, 0.3, 2.1, 100, 99}, {0.25, 0.3, 2.7, 199, 99}, {-0.3, -0.3, 2.1, 100, 0}}},
        {{{-1.5, 0.3, 1.0, 0, 0}, {0.5, 0.6, 3.0, 249, 10}, {-0.4, -0.5, 1.6, 30, 249}}},  // past the left edge
        {{{-10, 10, 2, 0, 0}, {20, 10, 5, 249, 0}, {-10, -20, 3, 0, 249}}},               // past every edge
    };
    for (const TexturedTriangle& triangle : triangles) {
        const ProjectedTriangle projected = Project(triangle);
        const Drawing drawing(FillTrianglePerspective, triangle, projected);
        ScanBox box;
        ASSERT_EQ(ClipTriangleBounds(&box, &projected), 1);
        int checked = 0;
        for (int y = box.minY; y <= box.maxY; ++y) {
            double xl, xr, u, v;
            GetScanSpan(&projected, &box, y, &xl, &xr);
            const int first = static_cast<int>(std::nearbyint(xl)), last = static_cast<int>(std::nearbyint(xr));
            ASSERT_EQ(drawing.RowExtent(y), xr - xl > 0.1 ? std::make_pair(first, last) : std::make_pair(-1, -1)) << y;
            for (int x = first; xr - xl > 0.1 && x <= last; ++x, ++checked) {
                TrueTexel(triangle, std::min(xl + (x - first), xr), y, &u, &v);
                ASSERT_LE(std::fabs(drawing.Column(x, y) - u), 0.5 + 1e-6) << x << ", " << y;
                ASSERT_LE(std::fabs(drawing.Row(x, y) - v), 0.5 + 1e-6) << x << ", " << y;
            }
        }
        EXPECT_GT(checked, 1000);
    }
}

TEST(RoundHalfEven, NearestWithHalvesToEvenInEveryRoundingModeAndForEveryInput) {
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    const std::pair<double, int32_t> cases[] = {
        {0.5, 0},           {1.5, 2},          {2.5, 2},      {99.5, 100},   {-0.5, 0},          {-1.5, -2},
        {-2.5, -2},         {0.49999999999999994, 0},         {2.5000000000000004, 3},           {-7.25, -7},
        {100.65, 101},      {-0.0, 0},         {nan, 0},      {inf, INT32_MAX}, {-inf, INT32_MIN}, {1e300, INT32_MAX},
        {2147483646.5, 2147483646},            {2147483646.6, INT32_MAX},        {-2147483647.5, INT32_MIN},
        {-2147483647.4, -2147483647},          {4503599627370495.5, INT32_MAX},
    };
    for (int mode : kRoundingModes) {
        std::fesetround(mode);
        for (const auto& [value, expected] : cases) {
            volatile double input = value;  // nothing worked out while compiling
            EXPECT_EQ(RoundHalfEven(input), expected) << value << " in mode " << mode;
        }
        std::fesetround(FE_TONEAREST);
    }
    const std::pair<double, double> limits[] = {{0.25, 0.25}, {-0.25, 0}, {1.25, 1}, {nan, 1}, {-inf, 0}};
    for (const auto& [value, expected] : limits) EXPECT_EQ(LimitToUnit(value), expected) << value;
}

}  // namespace
