#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "dice/fill.h"
#include "dice/scan.h"
#include "fill_fixture.h"

namespace dice_fills_test {
namespace {

// Draws triangles with both fills into guarded canvases and checks, for each,
// that nothing outside its ScanBox changed and that every texel it copied lies
// in the range its corners' texel coordinates span. The canvases are put back
// to blank after each triangle.
class FillChecker {
public:
    int drawnPixels = 0;

    void Check(FillFunction fill, const TexturedTriangle& triangle, const ProjectedTriangle& projected,
               bool checkTexels)
    {
        ScanBox box;
        const int accepted = ClipTriangleBounds(&box, &projected);
        fill(columns_.desc(), columnTexture_.desc(), &triangle, &projected);
        fill(rows_.desc(), rowTexture_.desc(), &triangle, &projected);

        int firstRow = 0, lastRow = -1, firstColumn = 0, lastColumn = -1;
        if (accepted) {
            ASSERT_GE(box.minX, 0);
            ASSERT_GE(box.minY, 0);
            ASSERT_LE(box.maxX, kScreenWidth - 1);
            ASSERT_LE(box.maxY, kScreenHeight - 1);
            firstRow = box.minY;
            lastRow = box.maxY;
            firstColumn = box.minX;
            lastColumn = box.maxX;
        }

        int uLo = 0, uHi = Texture::kWidth - 1, vLo = 0, vHi = Texture::kHeight - 1;
        if (checkTexels) {
            const TexturedVertex* c = triangle.corner;
            uLo = static_cast<int>(std::nearbyint(std::min({c[0].u, c[1].u, c[2].u})));
            uHi = static_cast<int>(std::nearbyint(std::max({c[0].u, c[1].u, c[2].u})));
            vLo = static_cast<int>(std::nearbyint(std::min({c[0].v, c[1].v, c[2].v})));
            vHi = static_cast<int>(std::nearbyint(std::max({c[0].v, c[1].v, c[2].v})));
        }

        for (int y = -Canvas::kGuard; y < kScreenHeight + Canvas::kGuard; ++y) {
            const bool inBox = y >= firstRow && y <= lastRow && firstColumn <= lastColumn;
            const int from = inBox ? firstColumn + Canvas::kGuard : Canvas::kPitch;
            const int to = inBox ? lastColumn + Canvas::kGuard + 1 : Canvas::kPitch;
            for (Canvas* canvas : {&columns_, &rows_}) {
                const BYTE* line = canvas->Line(y);
                ASSERT_EQ(0, std::memcmp(line, blank_, from)) << "row " << y << " left of the box";
                ASSERT_EQ(0, std::memcmp(line + to, blank_, Canvas::kPitch - to)) << "row " << y << " right of it";
            }
            if (!inBox) continue;

            BYTE* columnLine = columns_.Line(y);
            BYTE* rowLine = rows_.Line(y);
            for (int x = from; x < to; ++x) {
                const bool written = columnLine[x] != kBlank;
                if (written != (rowLine[x] != kBlank)) {
                    FAIL() << "one pass wrote " << x - Canvas::kGuard << ", " << y << " and the other did not";
                }
                if (!written) continue;
                ++drawnPixels;
                if (columnLine[x] < uLo || columnLine[x] > uHi || rowLine[x] < vLo || rowLine[x] > vHi) {
                    FAIL() << "texel " << int(columnLine[x]) << ", " << int(rowLine[x]) << " at "
                           << x - Canvas::kGuard << ", " << y << " is outside " << uLo << "-" << uHi << ", " << vLo
                           << "-" << vHi;
                }
            }
            std::memset(columnLine + from, kBlank, to - from);
            std::memset(rowLine + from, kBlank, to - from);
        }
    }

private:
    Canvas columns_;
    Canvas rows_;
    const Texture columnTexture_{TexelCode::Column};
    const Texture rowTexture_{TexelCode::Row};
    BYTE blank_[Canvas::kPitch] = {};

public:
    FillChecker() { std::memset(blank_, kBlank, sizeof blank_); }
};

class RandomTriangles {
public:
    explicit RandomTriangles(unsigned seed) : rng_(seed) {}

    // One triangle of a randomly chosen kind, with whole texel coordinates
    // inside the texture.
    TexturedTriangle Next()
    {
        ProjectedPoint screen[3];
        double depth[3];
        for (double& z : depth) z = Uniform(0.5, 50.0);
        switch (kinds_(rng_)) {
        case 0:  // about the size of a face of the die, anywhere near the screen
        {
            const ProjectedPoint centre{Uniform(-100, 740), Uniform(-100, 580)};
            for (ProjectedPoint& p : screen) p = {centre.x + Uniform(-90, 90), centre.y + Uniform(-90, 90)};
            break;
        }
        case 1:  // corners spread over and around the screen
            for (ProjectedPoint& p : screen) p = {Uniform(-200, 840), Uniform(-200, 680)};
            break;
        case 2:  // corners far off the screen
            for (ProjectedPoint& p : screen) p = {Uniform(-1e5, 1e5), Uniform(-1e5, 1e5)};
            break;
        case 3:  // a sliver: the third corner all but on the line through the others
        {
            screen[0] = {Uniform(-300, 940), Uniform(-300, 780)};
            screen[1] = {Uniform(-300, 940), Uniform(-300, 780)};
            const double along = Uniform(-0.5, 1.5);
            const double off = std::pow(10.0, Uniform(-12, -1));
            screen[2] = {screen[0].x + along * (screen[1].x - screen[0].x) + off,
                         screen[0].y + along * (screen[1].y - screen[0].y) - off};
            break;
        }
        case 4:  // a speck: all three corners within a pixel or much less
        {
            const ProjectedPoint centre{Uniform(-2, 642), Uniform(-2, 482)};
            const double size = std::pow(10.0, Uniform(-9, 0));
            for (ProjectedPoint& p : screen) p = {centre.x + Uniform(-size, size), centre.y + Uniform(-size, size)};
            break;
        }
        default:  // facing the viewer squarely, as the affine fill's triangles do
        {
            const double z = Uniform(0.5, 50.0);
            for (double& d : depth) d = z + Uniform(-0.01, 0.01);
            const ProjectedPoint centre{Uniform(-50, 690), Uniform(-50, 530)};
            for (ProjectedPoint& p : screen) p = {centre.x + Uniform(-120, 120), centre.y + Uniform(-120, 120)};
            break;
        }
        }
        TexturedTriangle triangle;
        for (int k = 0; k < 3; ++k) {
            triangle.corner[k] = Unproject(screen[k].x, screen[k].y, depth[k], Texel(Texture::kWidth),
                                           Texel(Texture::kHeight));
        }
        return triangle;
    }

private:
    double Uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng_); }
    double Texel(int size) { return std::uniform_int_distribution<int>(0, size - 1)(rng_); }

    std::mt19937 rng_;
    // Mostly triangles of about the size of a face of the die; large ones cost
    // the most time and add the least.
    std::discrete_distribution<int> kinds_{50, 4, 4, 16, 16, 10};
};

using RandomFillTest = ScreenTest;

TEST_F(RandomFillTest, BothFillsStayInTheirBoxAndReadOnlyTheCornersTexels)
{
    FillChecker checker;
    for (unsigned seed : {1u, 2u, 3u}) {
        RandomTriangles triangles(seed);
        for (int n = 0; n < 1000; ++n) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << ", triangle " << n);
            const TexturedTriangle triangle = triangles.Next();
            const ProjectedTriangle projected = Project(triangle);
            ASSERT_NO_FATAL_FAILURE(checker.Check(FillTriangleAffine, triangle, projected, true));
            ASSERT_NO_FATAL_FAILURE(checker.Check(FillTrianglePerspective, triangle, projected, true));
        }
    }
    // Enough of the triangles reach the screen for the checks to mean something.
    EXPECT_GT(checker.drawnPixels, 10000000);
}

TEST_F(RandomFillTest, HostileNumbersNeitherWriteOutsideTheScreenNorReadOutsideTheTexture)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const double huge = std::numeric_limits<double>::max();
    const double values[] = {nan, inf, -inf, huge, -huge, 1e18, -1e18, 0.0, -0.0, 1e-300, 320.0, 479.99};

    FillChecker checker;
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> pick(0, std::size(values) - 1);
    std::uniform_real_distribution<double> ordinary(-1.0, 1.0);
    for (int n = 0; n < 1000; ++n) {
        SCOPED_TRACE(testing::Message() << "triangle " << n);
        // Each number is either hostile or ordinary, at random.
        auto any = [&](double scale, double offset) {
            return rng() % 3 == 0 ? values[pick(rng)] : offset + scale * ordinary(rng);
        };
        TexturedTriangle triangle;
        ProjectedTriangle projected;
        for (int k = 0; k < 3; ++k) {
            triangle.corner[k] = {any(1, 0), any(1, 0), any(1, 2), any(400, 100), any(400, 100)};
            projected.p[k] = {any(60, 320), any(60, 240)};
        }
        ASSERT_NO_FATAL_FAILURE(checker.Check(FillTriangleAffine, triangle, projected, false));
        ASSERT_NO_FATAL_FAILURE(checker.Check(FillTrianglePerspective, triangle, projected, false));
    }
    EXPECT_GT(checker.drawnPixels, 100000);
}

}  // namespace
}  // namespace dice_fills_test
