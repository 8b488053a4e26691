// Both fills over thousands of random and hostile triangles: nothing changes
// outside the triangle's ScanBox, both passes cover the same pixels, and
// every texel copied lies within the corners' rounded coordinates.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "dice/fill.h"
#include "dice/scan.h"
#include "fills.h"

namespace {

class RandomFills : public FillTest {
protected:
    // The screens are blank again after every check, so only the box is cleared.
    void Check(FillFunction fill, const TexturedTriangle& triangle, const ProjectedTriangle& projected, bool texels) {
        fill(columns.Desc(), CodedTexture(false), &triangle, &projected);
        fill(rows.Desc(), CodedTexture(true), &triangle, &projected);
        ScanBox box = {0, 0, -1, -1};
        if (!ClipTriangleBounds(&box, &projected)) box = {0, 0, -1, -1};
        ASSERT_TRUE(box.minX >= 0 && box.minY >= 0 && box.maxX <= 639 && box.maxY <= 479);
        const TexturedVertex* c = triangle.corner;
        auto nearest = [](double value) { return static_cast<int>(std::nearbyint(value)); };
        const int lo[2] = {nearest(std::min({c[0].u, c[1].u, c[2].u})), nearest(std::min({c[0].v, c[1].v, c[2].v}))};
        const int hi[2] = {nearest(std::max({c[0].u, c[1].u, c[2].u})), nearest(std::max({c[0].v, c[1].v, c[2].v}))};
        const int band = GuardedScreen::kBand;
        for (int y = -band; y < 480 + band; ++y) {
            const bool inBox = y >= box.minY && y <= box.maxY && box.minX <= box.maxX;
            const int from = inBox ? box.minX + band : columns.pitch, to = inBox ? box.maxX + band + 1 : columns.pitch;
            for (GuardedScreen* screen : {&columns, &rows}) {
                ASSERT_EQ(std::memcmp(screen->Line(y), blank, from), 0) << "left of the box, row " << y;
                ASSERT_EQ(std::memcmp(screen->Line(y) + to, blank, columns.pitch - to), 0) << "right of it, row " << y;
            }
            for (int x = from; x < to; ++x) {
                const BYTE u = columns.Line(y)[x], v = rows.Line(y)[x];
                ASSERT_EQ(u == kBlank, v == kBlank) << "one pass only at " << x - band << ", " << y;
                if (u == kBlank) continue;
                ++drawn;
                ASSERT_TRUE(!texels || (u >= lo[0] && u <= hi[0] && v >= lo[1] && v <= hi[1]))
                    << "texel " << int(u) << ", " << int(v) << " at " << x - band << ", " << y;
            }
            if (inBox) {
                std::memset(columns.Line(y) + from, kBlank, to - from);
                std::memset(rows.Line(y) + from, kBlank, to - from);
            }
        }
    }
    void CheckBoth(const TexturedTriangle& triangle, const ProjectedTriangle& projected, bool texels) {
        ASSERT_NO_FATAL_FAILURE(Check(FillTriangleAffine, triangle, projected, texels));
        ASSERT_NO_FATAL_FAILURE(Check(FillTrianglePerspective, triangle, projected, texels));
    }

    GuardedScreen columns, rows;
    BYTE blank[640 + 2 * GuardedScreen::kBand];
    long drawn = 0;
    std::mt19937 rng{1};
    double Uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); }

public:
    RandomFills() { std::memset(blank, kBlank, sizeof blank); }
};

// Mostly triangles of about a face's size near the screen; also corners
// spread over and around it, far off it, slivers, specks, and triangles
// square to the view as the affine fill gets them.
TEST_F(RandomFills, StayInTheirBoxAndReadOnlyTheCornersTexels) {
    std::discrete_distribution<int> kinds{50, 4, 4, 16, 16, 10};
    for (int n = 0; n < 3000; ++n) {
        ProjectedPoint p[3];
        double depth[3];
        for (double& z : depth) z = Uniform(0.5, 50.0);
        const int kind = kinds(rng);
        const double spread[] = {90, 520, 1e5, 0, 0, 120};
        const ProjectedPoint centre{Uniform(-100, 740), Uniform(-100, 580)};
        for (ProjectedPoint& q : p) q = {centre.x + Uniform(-spread[kind], spread[kind]), centre.y + Uniform(-spread[kind], spread[kind])};
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
            triangle.corner[k] = Unproject(p[k].x, p[k].y, depth[k], std::floor(Uniform(0, kTextureSide)),
                                           std::floor(Uniform(0, kTextureSide)));
        SCOPED_TRACE(n);
        ASSERT_NO_FATAL_FAILURE(CheckBoth(triangle, Project(triangle), true));
    }
    EXPECT_GT(drawn, 10000000);
}

// Each number either hostile or ordinary, at random: nothing may be written
// outside the screen nor read outside the texture.
TEST_F(RandomFills, HostileNumbersStayInsideScreenAndTexture) {
    const double huge = std::numeric_limits<double>::max(), inf = std::numeric_limits<double>::infinity();
    const double values[] = {std::nan(""), inf, -inf, huge, -huge, 1e18, -1e18, 0.0, -0.0, 1e-300, 320.0, 479.99};
    auto any = [&](double scale, double offset) {
        return rng() % 3 == 0 ? values[rng() % std::size(values)] : offset + scale * Uniform(-1, 1);
    };
    for (int n = 0; n < 1000; ++n) {
        TexturedTriangle triangle;
        ProjectedTriangle projected;
        for (int k = 0; k < 3; ++k) {
            triangle.corner[k] = {any(1, 0), any(1, 0), any(1, 2), any(400, 100), any(400, 100)};
            projected.p[k] = {any(60, 320), any(60, 240)};
        }
        SCOPED_TRACE(n);
        ASSERT_NO_FATAL_FAILURE(CheckBoth(triangle, projected, false));
    }
    EXPECT_GT(drawn, 100000);
}

}  // namespace
