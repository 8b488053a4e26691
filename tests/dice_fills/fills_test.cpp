// The coverage helpers and both textured fills, against worked examples, an exact inverse projection and random triangles.
#include <gtest/gtest.h>
#include <algorithm>
#include <cfenv>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include "dice/fill.h"
#include "dice/fillmath.h"
#include "dice/projection.h"
#include "dice/scan.h"
#include "screen.h"
#include "shell/display.h"
namespace {
using Fill = void (*)(const DDSURFACEDESC2*, const DDSURFACEDESC2*, const TexturedTriangle*, const ProjectedTriangle*);
constexpr int kSide = 250, kModes[] = {FE_TONEAREST, FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO};
const double kNan = std::numeric_limits<double>::quiet_NaN(), kInf = std::numeric_limits<double>::infinity();
// Texels holding their own column (or row), in wider rows; the memory ends with the last texel.
const DDSURFACEDESC2* Coded(bool rows) {
    static std::vector<BYTE> memory[2];
    static DDSURFACEDESC2 desc[2];
    const int pitch = kSide + 13;
    if (memory[rows].empty()) {
        memory[rows].resize(static_cast<size_t>(pitch) * (kSide - 1) + kSide);
        for (size_t i = 0; i < memory[rows].size(); ++i) memory[rows][i] = BYTE(rows ? i / pitch : i % pitch);
        desc[rows].dwSize = sizeof(DDSURFACEDESC2), desc[rows].dwWidth = desc[rows].dwHeight = kSide, desc[rows].lPitch = pitch;
        desc[rows].lpSurface = memory[rows].data(), desc[rows].ddpfPixelFormat.dwRGBBitCount = 8;
    }
    return &desc[rows];
}
// Drawn from both coded textures, which tell every pixel's texel, in the caller's rounding mode.
struct Drawing {
    Drawing(Fill fill, const TexturedTriangle& triangle, const ProjectedTriangle& projected, int mode = FE_TONEAREST) {
        std::fesetround(mode);
        fill(columns.Desc(), Coded(false), &triangle, &projected);
        fill(rows.Desc(), Coded(true), &triangle, &projected);
        EXPECT_EQ(std::fegetround(), mode);
        std::fesetround(FE_TONEAREST);
        EXPECT_TRUE(columns.GuardsIntact() && rows.GuardsIntact());
        EXPECT_EQ(columns.Drawn(), rows.Drawn());
    }
    int Column(int x, int y) const { return columns.At(x, y); }
    int Row(int x, int y) const { return rows.At(x, y); }
    std::pair<int, int> Extent(int y) const {  // first and last column drawn, or -1, -1
        int first = -1, last = -1;
        for (int x = 0; x < 640; ++x) if (columns.At(x, y) != kBlank) last = x, first = first < 0 ? x : first;
        return {first, last};
    }
    bool ShowsOnly(int column, int row, size_t atLeast) const {  // on every pixel drawn, of which there are enough
        const PixelSet drawn = columns.Drawn();
        return drawn.size() >= atLeast &&
               std::all_of(drawn.begin(), drawn.end(), [&](Pixel p) { return Column(p.first, p.second) == column && Row(p.first, p.second) == row; });
    }
    GuardedScreen columns, rows;
};
ProjectedTriangle Points(double x0, double y0, double x1, double y1, double x2, double y2) { return {{{x0, y0}, {x1, y1}, {x2, y2}}}; }
ProjectedTriangle Project(const TexturedTriangle& t) { ProjectedTriangle p; return ProjectTriangle(&t, &p), p; }
// The point at that depth seen at (x, y); a triangle of texels only.
TexturedVertex Unproject(double x, double y, double depth, double u, double v) { return {(x - 320) / 320 * depth, (240 - y) / 320 * depth, depth, u, v}; }
TexturedTriangle Flat(double u0, double v0, double u1, double v1, double u2, double v2) { return {{{0, 0, 1, u0, v0}, {0, 0, 1, u1, v1}, {0, 0, 1, u2, v2}}}; }
// The worked example of the perspective fill: a face receding to the right.
const TexturedTriangle kReceding = {{{-0.2, 0.2, 2.0, 0, 0}, {0.2, 0.2, 2.8, 99, 0}, {-0.2, -0.2, 2.0, 0, 99}}};
class Fills : public ::testing::Test {
protected:
    void SetUp() override { ScreenRect = {0, 0, 640, 480}, ProjectionScale = ScreenCentreX = 320.0, ScreenCentreY = 240.0; }
};
// Bounds refused off the screen, under 0.1 high or for a corner no number, empty touching x = 640 or y = 480; a row
// that misses comes out inverted, crossings far off cut to the box; a horizontal edge on the row counts both ends.
TEST_F(Fills, BoundsSpansAndEdges) {
    const struct { ProjectedTriangle triangle; int accepted, minX = 0, minY = 0, maxX = 0, maxY = 0;
                   double y = -1, left = 0, right = 0; } cases[] = {  // with a row, that row's span too
        {Points(12.7, 40.6, 80.9, 300.9, 30.2, 150.5), 1, 12, 40, 80, 300}, {Points(-30, -20, 640, 100, 100, 480), 1, 0, 0, 639, 479},
        {Points(-1e300, 5, 1e300, 6, 7, kInf), 1, 0, 5, 639, 479},
        {Points(640, 10, 700, 20, 650, 90), 1, 640, 10, 639, 90, 50, 640, 639},
        {Points(100, 100, 200, 150, 120, 200), 1, 100, 100, 200, 200, 150, 110, 200},
        {Points(50.5, 10.5, 90.25, 40, 20.75, 30), 1, 20, 10, 90, 40, 10, 90, 20},
        {Points(-5000, 0, 5000, 0, 0, 400), 1, 0, 0, 639, 400, 100, 0, 639},
        {Points(10, 480, 90, 500, 50, 600), 1, 10, 480, 90, 479},            {Points(10, 10, 90, 10.25, 50, 10.1), 1, 10, 10, 90, 10},
        {Points(10, -5, 90, 0.1, 50, -1), 1, 10, 0, 90, 0},  // exactly 0.1 high once clipped
        {Points(640.5, 10, 700, 20, 650, 90), 0}, {Points(-90, 10, -0.5, 20, -50, 90), 0}, {Points(10, 480.5, 90, 500, 50, 600), 0},
        {Points(10, -90, 90, -0.5, 50, -40), 0}, {Points(10, 10, 90, 10, 50, 10), 0}, {Points(10, 10, 90, 10.05, 50, 10.02), 0},
        {Points(kNan, 10, 90, 50, 50, 90), 0}, {Points(10, 10, 90, 50, 50, kNan), 0},
    };
    for (const auto& c : cases) {
        ScanBox box;
        double left = 0, right = 0;
        ASSERT_EQ(ClipTriangleBounds(&box, &c.triangle), c.accepted) << c.triangle.p[0].x << ", " << c.triangle.p[0].y;
        EXPECT_TRUE(!c.accepted || (box.minX == c.minX && box.minY == c.minY && box.maxX == c.maxX && box.maxY == c.maxY))
            << box.minX << " " << box.minY << " " << box.maxX << " " << box.maxY;
        if (c.y < 0) continue;
        GetScanSpan(&c.triangle, &box, c.y, &left, &right);
        EXPECT_TRUE(std::fabs(left - c.left) < 1e-12 && std::fabs(right - c.right) < 1e-12) << left << " " << right;
    }
    const ProjectedPoint a{140, 20}, b{100, 20};
    for (const auto& [from, to] : {std::pair{&a, &b}, std::pair{&b, &a}}) {
        double lo = 120, hi = 120;
        EXPECT_TRUE((ExtendSpanByEdge(20.0, from, to, &lo, &hi), lo == 100 && hi == 140)) << lo << " " << hi;
    }
    const double between[][4] = {{10, 10, 20, 1}, {20, 10, 20, 1}, {10, 20, 10, 1}, {15, 20, 10, 1},
                                 {7, 7, 7, 1},    {9.5, 10, 20, 0}, {20.5, 20, 10, 0}, {kNan, 10, 20, 0}};
    for (const auto& c : between) EXPECT_EQ(IsBetween(c[0], c[1], c[2]), c[3]) << c[0] << " " << c[1] << " " << c[2];
}
TEST_F(Fills, WorkedExamplesInEveryRoundingMode) {
    const ProjectedTriangle projected = Project(kReceding);
    ScanBox box;
    ASSERT_EQ(ClipTriangleBounds(&box, &projected), 1);
    EXPECT_TRUE(box.minX == 288 && box.minY == 208 && box.maxX == 342 && box.maxY == 272);
    TrianglePlane plane = {};
    BuildTrianglePlane(&plane, &kReceding), ChooseSolveAxes(&plane);
    EXPECT_TRUE(plane.sAxis == 1 && plane.tAxis == 2 && plane.degenerate == 0);
    double xl, xr, s, t, X, Y, Z, u, v;
    GetScanSpan(&projected, &box, 230.0, &xl, &xr);
    const double sy = (240.0 - 230.0) / 320.0;
    plane.rowTerm = sy * plane.kY + plane.k0;
    for (const auto& end : {std::array{xl, 0.34375, 0.0, 0.0, 34.03125}, std::array{xr, 1.0, 0.7, 69.3, 29.7}}) {
        IntersectViewRay(&kReceding, (end[0] - 320.0) / 320.0, sy, &s, &t, &X, &Y, &Z, &plane);
        InterpolateTexCoords(&kReceding, &u, &v, s, t);
        EXPECT_TRUE(std::fabs(s - end[1]) < 1e-12 && std::fabs(t - end[2]) < 1e-12 && std::fabs(u - end[3]) < 1e-9 &&
                    std::fabs(v - end[4]) < 1e-9) << s << " " << t << " " << u << " " << v;
    }
    const int texels[][3] = {{288, 0, 34}, {292, 5, 34}, {296, 11, 33}, {301, 18, 33}, {309, 30, 32}, {318, 46, 31}, {326, 61, 30}, {330, 69, 30}};
    for (int mode : kModes) {
        const Drawing drawing(FillTrianglePerspective, kReceding, projected, mode),
            affine(FillTriangleAffine, Flat(0, 0, 99, 99, 0, 99), Points(10, 10, 30, 30, 10, 30), mode);
        ASSERT_TRUE(drawing.Extent(230) == (std::pair{288, 330}) && affine.Extent(20) == (std::pair{10, 20})) << mode;
        for (const auto& [x, column, row] : texels) EXPECT_TRUE(drawing.Column(x, 230) == column && drawing.Row(x, 230) == row) << x;
        for (int k = 0; k <= 10; ++k) EXPECT_TRUE(affine.Column(10 + k, 20) == 5 * k && affine.Row(10 + k, 20) == 50);
        for (int y = 0; y < 480; ++y)
            EXPECT_TRUE(((y > 208 && y < 272) || drawing.Extent(y).first == -1) &&
                        ((y > 10 && y <= 30) || affine.Extent(y).first == -1)) << y;
    }
}
// Row 24 of a wedge runs from xl (texel 0) to xr (affine column 30); 0.1 or less is skipped.
TEST_F(Fills, SpanEndsAreTruncatedAffinelyAndRoundedInPerspective) {
    const struct { double xl, xr; std::pair<int, int> affine, perspective; } spans[] = {
        {100.35, 100.65, {100, 100}, {100, 101}}, {10.2, 20.9, {10, 20}, {10, 21}}, {100.5, 101.5, {100, 101}, {100, 102}},
        {100.5, 100.58, {-1, -1}, {-1, -1}}};
    for (const auto& span : spans) {
        const double x1 = 8 * span.xr - 7 * span.xl;
        const TexturedTriangle wedge = {{Unproject(span.xl, 10, 2.0, 0, 0), Unproject(x1, 10, 2.6, 240, 0), Unproject(span.xl, 26, 2.3, 0, 0)}};
        const ProjectedTriangle projected = Points(span.xl, 10, x1, 10, span.xl, 26);
        const Drawing affine(FillTriangleAffine, wedge, projected), perspective(FillTrianglePerspective, wedge, projected);
        EXPECT_EQ(affine.Extent(24), span.affine) << span.xl;
        EXPECT_EQ(perspective.Extent(24), span.perspective) << span.xl;
        if (span.affine.first < 0) continue;
        EXPECT_EQ(perspective.Column(span.perspective.first, 24), 0) << "the left end's texel";
        EXPECT_EQ(affine.Column(span.affine.second, 24), 30) << "the right end's texel";
        for (int k = 0; span.xl == 10.2 && k <= 10; ++k) EXPECT_EQ(affine.Column(10 + k, 24), 3 * k) << k;
    }
}
// Half-way texels go to the even one whatever rounding mode the caller left; texels outside clamp.
TEST_F(Fills, HalfWayTexelsGoToTheEvenNeighbourInEveryRoundingMode) {
    const std::pair<double, int32_t> cases[] = {
        {0.5, 0}, {1.5, 2}, {2.5, 2}, {99.5, 100}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2}, {0.49999999999999994, 0}, {2.5000000000000004, 3},
        {-7.25, -7}, {100.65, 101}, {-0.0, 0}, {kNan, 0}, {kInf, INT32_MAX}, {-kInf, INT32_MIN}, {1e300, INT32_MAX}, {2147483646.5, 2147483646},
        {2147483646.6, INT32_MAX}, {-2147483647.5, INT32_MIN}, {-2147483647.4, -2147483647}, {4503599627370495.5, INT32_MAX}};
    for (int mode : kModes) {
        for (const auto& [c, expected] : {std::pair{12.5, 12}, {13.5, 14}, {98.5, 98}, {99.5, 100}, {300.0, kSide - 1},
                                          {-20.0, 0}, {kNan, 0}}) {  // clamped to the texture
            const Drawing affine(FillTriangleAffine, Flat(c, c, c, c, c, c), Points(10, 10, 60, 20, 20, 50), mode);
            const TexturedTriangle tilted = {{{-0.3, 0.1, 1.5, c, c}, {0.4, 0.3, 2.5, c, c}, {0.0, -0.4, 2.0, c, c}}};
            const Drawing perspective(FillTrianglePerspective, tilted, Project(tilted), mode);
            for (const Drawing* drawing : {&affine, &perspective}) EXPECT_TRUE(drawing->ShowsOnly(expected, expected, 500)) << c << " " << mode;
        }
        std::fesetround(mode);
        for (const auto& [value, expected] : cases) {
            volatile double input = value;  // nothing worked out while compiling
            EXPECT_EQ(RoundHalfEven(input), expected) << value << " in mode " << mode;
        }
        std::fesetround(FE_TONEAREST);
    }
    for (const auto& [value, expected] : {std::pair{0.25, 0.25}, {-0.25, 0.0}, {1.25, 1.0}, {kNan, 1.0}, {-kInf, 0.0}})
        EXPECT_EQ(LimitToUnit(value), expected) << value;
}
// Either winding alike; a determinant within 0.00001 of zero or an empty texture draws nothing.
TEST_F(Fills, AffineWindingsFlatTrianglesAndTexturesEdges) {
    const TexturedTriangle triangle = Flat(0, 0, 99, 99, 0, 99);
    const TexturedTriangle swapped = {{triangle.corner[0], triangle.corner[2], triangle.corner[1]}};
    const Drawing one(FillTriangleAffine, triangle, Points(100, 100, 150, 200, 100, 300));
    EXPECT_GT(one.columns.Drawn().size(), 4000u);
    EXPECT_EQ(one.columns.Drawn(), Drawing(FillTriangleAffine, swapped, Points(100, 100, 100, 300, 150, 200)).columns.Drawn());
    const double offset = 0.000005 / 200;  // twice the area is -200 times corner 1's offset
    EXPECT_TRUE(Drawing(FillTriangleAffine, triangle, Points(100, 100, 100 + offset, 200, 100, 300)).columns.Drawn().empty());
    EXPECT_TRUE(Drawing(FillTriangleAffine, swapped, Points(100, 100, 100, 300, 100 + offset, 200)).columns.Drawn().empty());
    const ProjectedTriangle projected = Points(10, 10, 60, 20, 20, 50);
    DDSURFACEDESC2 empty = *Coded(false);
    GuardedScreen screen;
    empty.dwWidth = 0;
    for (Fill fill : {FillTriangleAffine, FillTrianglePerspective}) fill(screen.Desc(), &empty, &triangle, &projected);
    EXPECT_TRUE(screen.Drawn().empty());
}
// The last edge changes depth most; a triangle without a normal shows reordered corner A's texel throughout.
TEST_F(Fills, PerspectiveOrderAndTrianglesWithoutANormal) {
    for (const auto& c : {std::array{2.0, 2.5, 2.1, 2., 1., 0.}, {2.0, 2.5, 2.6, 1., 0., 2.}, {2.0, 2.1, 2.3, 0., 1., 2.},
                          {2.0, 2.5, 3.0, 0., 1., 2.}}) {
        TexturedTriangle triangle, ordered;
        for (int k = 0; k < 3; ++k) triangle.corner[k] = {double(k), double(k), c[k], double(k), double(k)};
        OrderByDepthSpread(&ordered, &triangle);
        for (const TexturedVertex& o : ordered.corner) {
            const double k = c[3 + (&o - ordered.corner)];
            EXPECT_TRUE(o.x == k && o.y == k && o.u == k && o.v == k && o.z == c[int(k)]);
        }
    }
    const TexturedTriangle sliver = {{{0, 0, 2.0, 10, 20}, {0, 0, 2.5, 30, 40}, {0, 0, 2.1, 50, 60}}};
    const TexturedTriangle speck = {{{0.1, 0.1, 2.0, 10, 20}, {0.1001, 0.1, 2.0005, 30, 40}, {0.1, 0.1001, 2.0001, 50, 60}}};
    for (const TexturedTriangle& triangle : {sliver, speck})
        EXPECT_TRUE(Drawing(FillTrianglePerspective, triangle, Points(100, 100, 200, 120, 150, 200)).ShowsOnly(50, 60, 3000));
}
// Nothing changes outside the box, both passes agree, texels stay within the corners'; where the mapping is well
// defined, rows run between their span's ends and perspective pixels show the exact mapping's texel at xl + i; and
// the fast copies draw what the plain loops draw.
class RandomFills : public Fills {
protected:
    enum Checks { kBoxOnly, kTexelRange, kExact };
    void Check(Fill fill, const TexturedTriangle& triangle, const ProjectedTriangle& projected, Checks checks) {
        fill(columns.Desc(), Coded(false), &triangle, &projected);
        fill(rows.Desc(), Coded(true), &triangle, &projected);
        ScanBox box = {0, 0, -1, -1};
        if (!ClipTriangleBounds(&box, &projected)) box = {0, 0, -1, -1};
        ASSERT_TRUE(box.minX >= 0 && box.minY >= 0 && box.maxX <= 639 && box.maxY <= 479);
        const TexturedVertex* c = triangle.corner;
        const bool perspective = fill == FillTrianglePerspective;
        auto near = [](double value) { return static_cast<int>(std::nearbyint(value)); };
        auto end = [&](double x) { return perspective ? near(x) : static_cast<int>(x); };
        const int lo[2] = {near(std::min({c[0].u, c[1].u, c[2].u})), near(std::min({c[0].v, c[1].v, c[2].v}))};
        const int hi[2] = {near(std::max({c[0].u, c[1].u, c[2].u})), near(std::max({c[0].v, c[1].v, c[2].v}))};
        const int band = GuardedScreen::kBand, pitch = columns.pitch;
        for (int y = -band; y < 480 + band; ++y) {
            const bool inBox = y >= box.minY && y <= box.maxY && box.minX <= box.maxX;
            const int from = inBox ? box.minX + band : pitch, to = inBox ? box.maxX + band + 1 : pitch;
            for (BYTE* line : {columns.Line(y), rows.Line(y)})
                ASSERT_TRUE(!std::memcmp(line, blank.data(), from) && !std::memcmp(line + to, blank.data(), pitch - to)) << y;
            double xl = 0, xr = 0;
            if (inBox) GetScanSpan(&projected, &box, y, &xl, &xr);
            const int first = end(xl), last = xr - xl > 0.1 ? end(xr) : first - 1;
            for (int x = from - band; x < to - band; ++x) {
                const BYTE u = columns.Line(y)[x + band], v = rows.Line(y)[x + band];
                ASSERT_EQ(u == kBlank, v == kBlank) << "one pass only at " << x << ", " << y;
                drawn += u != kBlank;
                ASSERT_TRUE(u == kBlank || checks == kBoxOnly || (u >= lo[0] && u <= hi[0] && v >= lo[1] && v <= hi[1]))
                    << "texel " << int(u) << ", " << int(v) << " at " << x << ", " << y;
                if (checks != kExact) continue;
                ASSERT_EQ(u != kBlank, x >= first && x <= last) << "span " << xl << " to " << xr << " at " << x << ", " << y;
                const auto [tu, tv] = TrueTexel(c[0], c[1], c[2], std::min(xl + (x - first), xr), y);
                ASSERT_TRUE(!perspective || u == kBlank || (std::fabs(u - tu) <= 0.5 + 1e-6 && std::fabs(v - tv) <= 0.5 + 1e-6))
                    << "texel " << int(u) << ", " << int(v) << " for " << tu << ", " << tv << " at " << x << ", " << y;
            }
            for (BYTE* line : {columns.Line(y), rows.Line(y)}) std::memset(line + from, kBlank, to - from);
        }
    }
    // Every fast copy draws the plain loops' bytes, from both coded textures.
    void SameInEveryCopy(Fill fill, const TexturedTriangle& triangle, const ProjectedTriangle& projected) {
        ScanBox box;
        if (!ClipTriangleBounds(&box, &projected)) return;
        for (const bool coded : {false, true}) {
            FastFills = 0, fill(plain.Desc(), Coded(coded), &triangle, &projected);
            for (const int copy : {1, 2, 3}) {
                FastFills = copy, fill(fast.Desc(), Coded(coded), &triangle, &projected);
                for (int y = box.minY; y <= box.maxY; ++y)
                    ASSERT_EQ(std::memcmp(plain.Line(y), fast.Line(y), plain.pitch), 0) << "copy " << copy << ", row " << y;
                for (int y = box.minY; y <= box.maxY; ++y) std::memset(fast.Line(y), kBlank, fast.pitch);
            }
            for (int y = box.minY; y <= box.maxY; ++y) std::memset(plain.Line(y), kBlank, plain.pitch);
        }
        FastFills = 1;
    }
    void TearDown() override { FastFills = 1; }
    double Uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); }
    GuardedScreen columns, rows, plain, fast;
    const std::vector<BYTE> blank = std::vector<BYTE>(640 + 2 * GuardedScreen::kBand, kBlank);
    long drawn = 0;
    std::mt19937 rng{1};
};
// Mostly face-sized triangles near the screen; also wide, far off, slivers, specks, square to the view, and hostile.
TEST_F(RandomFills, StayInTheirBoxAndFollowTheExactMapping) {
    const double huge = std::numeric_limits<double>::max();
    const double values[] = {kNan, kInf, -kInf, huge, -huge, 1e18, -1e18, 0.0, -0.0, 1e-300, 320.0, 479.99};
    auto any = [&](double scale, double offset) {
        return rng() % 3 == 0 ? values[rng() % std::size(values)] : offset + scale * Uniform(-1, 1);
    };
    std::discrete_distribution<int> kinds{50, 4, 4, 16, 16, 10, 25};
    for (int n = 0; n < 4000; ++n) {
        ProjectedPoint p[3];
        double depth[3], spread[] = {90, 520, 1e5, 0, 0, 120, 0};
        for (double& z : depth) z = Uniform(0.5, 50.0);
        const int kind = kinds(rng);
        const ProjectedPoint centre{Uniform(-100, 740), Uniform(-100, 580)};
        const double r = spread[kind];
        for (ProjectedPoint& q : p) q = {centre.x + Uniform(-r, r), centre.y + Uniform(-r, r)};
        if (kind == 3) {  // the third corner all but on the line through the others
            const double along = Uniform(-0.5, 1.5), off = std::pow(10.0, Uniform(-12, -1));
            p[2] = {p[0].x + along * (p[1].x - p[0].x) + off, p[0].y + along * (p[1].y - p[0].y) - off};
        } else if (kind == 4) {  // all three within a pixel or much less
            const double size = std::pow(10.0, Uniform(-9, 0));
            for (ProjectedPoint& q : p) q = {centre.x + Uniform(-size, size), centre.y + Uniform(-size, size)};
        } else if (kind == 5) {
            for (double& z : depth) z = depth[0] + Uniform(-0.01, 0.01);
        }
        TexturedTriangle triangle;
        for (int k = 0; k < 3; ++k)
            triangle.corner[k] = Unproject(p[k].x, p[k].y, depth[k], std::floor(Uniform(0, kSide)), std::floor(Uniform(0, kSide)));
        ProjectedTriangle projected = Project(triangle);
        for (int k = 0; kind == 6 && k < 3; ++k)
            triangle.corner[k] = {any(1, 0), any(1, 0), any(1, 2), any(400, 100), any(400, 100)},
            projected.p[k] = {any(60, 320), any(60, 240)};
        // Seen well away from edge-on, with a normal far from the fills' 0.00001, the mapping is well defined.
        const TexturedVertex* c = triangle.corner;
        const Vec a{c[0].x, c[0].y, c[0].z}, normal = Cross(Sub({c[1].x, c[1].y, c[1].z}, a), Sub({c[2].x, c[2].y, c[2].z}, a));
        const double squared = Dot(normal, normal);
        const bool clear = squared > 1e-6 && std::fabs(Dot(normal, a)) > 0.05 * std::sqrt(squared * Dot(a, a));
        const Checks checks = kind == 6 ? kBoxOnly : clear ? kExact : kTexelRange;
        for (Fill fill : {FillTriangleAffine, FillTrianglePerspective}) {
            ASSERT_NO_FATAL_FAILURE(Check(fill, triangle, projected, checks)) << n;
            ASSERT_NO_FATAL_FAILURE(SameInEveryCopy(fill, triangle, projected)) << n;
        }
    }
    EXPECT_GT(drawn, 10000000);
}
}  // namespace
