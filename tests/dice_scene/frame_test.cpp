// Whole frames of the die with the real fills and texture, against a model worked out apart from the renderer:
// corners turned with the maths library, each pixel's ray met with the faces, the last painted of those shown.
#include <gtest/gtest.h>
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include "bitmap.h"
#include "dice/dicetypes.h"
#include "dice/die.h"
#include "screen.h"
#include "shell/display.h"
#include "shell/sinetable.h"
namespace {
// Faces in painting order (one, six, two, five, three, four pips): corners as signs of x, y, z and their texels.
constexpr int kFaces[6][4][5] = {
    {{+1, -1, +1, 0, 0}, {+1, -1, -1, 99, 0}, {-1, -1, -1, 99, 99}, {-1, -1, +1, 0, 99}},
    {{-1, +1, +1, 200, 100}, {-1, +1, -1, 299, 100}, {+1, +1, -1, 299, 199}, {+1, +1, +1, 200, 199}},
    {{-1, -1, +1, 100, 0}, {-1, -1, -1, 199, 0}, {-1, +1, -1, 199, 99}, {-1, +1, +1, 100, 99}},
    {{+1, -1, -1, 100, 199}, {+1, -1, +1, 199, 199}, {+1, +1, +1, 199, 100}, {+1, +1, -1, 100, 100}},
    {{-1, -1, -1, 200, 99}, {+1, -1, -1, 299, 99}, {+1, +1, -1, 299, 0}, {-1, +1, -1, 200, 0}},
    {{+1, -1, +1, 0, 100}, {-1, -1, +1, 99, 100}, {-1, +1, +1, 99, 199}, {+1, +1, +1, 0, 199}},
};
struct Face {
    std::array<TexturedVertex, 4> corners;  // camera space, with their texels
    std::array<double, 8> screen;
    double stray;  // how far, in texels, an affine map may stray from the true one
};
// Turned about x (-z toward +y), then y (+x toward -z), by whole degrees toward minus infinity; then to depth 2.4.
std::array<Face, 6> Model(int32_t angleX, int32_t angleY) {
    const double ax = std::floor(angleX / 256.0) * std::numbers::pi / 180, ay = std::floor(angleY / 256.0) * std::numbers::pi / 180;
    std::array<Face, 6> faces;
    for (int f = 0; f < 6; ++f) {
        double nearest = INFINITY, farthest = 0;
        for (int k = 0; k < 4; ++k) {
            const int* sign = kFaces[f][k];
            const Vec d = {sign[0] * 0.3125, sign[1] * 0.3125, sign[2] * 0.3125};
            const Vec r = {d.x, std::cos(ax) * d.y - std::sin(ax) * d.z, std::sin(ax) * d.y + std::cos(ax) * d.z};
            const Vec c = {std::cos(ay) * r.x - std::sin(ay) * r.z, r.y, std::sin(ay) * r.x + std::cos(ay) * r.z + 2.4};
            faces[f].corners[k] = {c.x, c.y, c.z, double(sign[3]), double(sign[4])};
            faces[f].screen[2 * k] = 320 + 320 * c.x / c.z, faces[f].screen[2 * k + 1] = 240 - 320 * c.y / c.z;
            nearest = std::min(nearest, c.z), farthest = std::max(farthest, c.z);
        }
        // An affine fill of a face nearly square to the view errs by at most a quarter cell times its depth spread.
        faces[f].stray = farthest - nearest < 0.04 ? 0.25 * 99 * (farthest - nearest) / nearest : 0;
    }
    return faces;
}
// Whether the point lies inside the face's outline, seen from either side, and how near the outline.
bool Inside(const Face& face, double x, double y, double* margin) {
    int positive = 0, negative = 0;
    *margin = INFINITY;
    for (int k = 0; k < 4; ++k) {
        const double ax = face.screen[2 * k], ay = face.screen[2 * k + 1];
        const double dx = face.screen[(2 * k + 2) % 8] - ax, dy = face.screen[(2 * k + 3) % 8] - ay;
        const double along = std::clamp(((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
        *margin = std::min(*margin, std::hypot(x - ax - along * dx, y - ay - along * dy));
        const double cross = dx * (y - ay) - dy * (x - ax);
        positive += cross > 0, negative += cross < 0;
    }
    return positive == 4 || negative == 4;
}
class Frames : public ::testing::TestWithParam<std::pair<int32_t, int32_t>> {
protected:
    void SetUp() override {
        ASSERT_EQ(file.size(), 14u + 40 + 1024 + 400 * 200);
        ASSERT_EQ(file, ReadBytes(GENERATED_TEXTURE)) << "the committed texture is not what its generator makes";
        for (int y = 0; y < 200; ++y) std::copy_n(&file[1078 + (199 - y) * 400], 400, &textureScreen.Line(y)[GuardedScreen::kBand]);
        while (cleared < 256 && !(file[54 + 4 * cleared] == 0x78 && file[55 + 4 * cleared] == 0x78 && file[56 + 4 * cleared] == 0x24)) ++cleared;
        ASSERT_LT(cleared, 256) << "the texture's colour table lacks the background colour";
        BuildSineTable();
        ScreenRect = {0, 0, 640, 480}, TextureSurface = textureScreen.Surface(), BackSurface = screen.Surface();
    }
    void TearDown() override { TextureSurface = BackSurface = NULL; }
    // Whether one of the texels u0..u1, v0..v1 (with slack) holds the index.
    bool Shows(BYTE index, double u0, double u1, double v0, double v1, double slack) const {
        for (int v = static_cast<int>(std::ceil(std::min(v0, v1) - slack)); v <= std::floor(std::max(v0, v1) + slack); ++v)
            for (int u = static_cast<int>(std::ceil(std::min(u0, u1) - slack)); u <= std::floor(std::max(u0, u1) + slack); ++u)
                if (u >= 0 && u < 400 && v >= 0 && v < 200 && textureScreen.At(u, v) == index) return true;
        return false;
    }
    const std::vector<BYTE> file = ReadBytes(DIE_TEXTURE);
    int cleared = 0;
    GuardedScreen textureScreen{400, 200}, screen;
};
// A ray that misses shows the background, one that meets the texel of the last painted face there (from half a pixel
// left to a pixel right); pixels within two of an outline or on a face seen nearly edge-on are left out.
TEST_P(Frames, MatchTheRayModel) {
    DieAngleX = GetParam().first, DieAngleY = GetParam().second;
    for (int y = 0; y < 480; ++y) std::fill_n(&screen.Line(y)[GuardedScreen::kBand], 640, static_cast<BYTE>(cleared));
    DrawTexturedDie(BackSurface, 0);
    const std::array<Face, 6> faces = Model(DieAngleX, DieAngleY);
    int checked[2] = {0, 0}, failures = 0;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            int shown = -1;
            double margin = INFINITY, near;
            for (int f = 0; f < 6; ++f) shown = Inside(faces[f], x, y, &near) ? f : shown, margin = std::min(margin, near);
            if (margin < 2) continue;
            const BYTE pixel = screen.At(x, y);
            double u0, v0, u1, v1;
            if (shown >= 0) {
                const std::array<TexturedVertex, 4>& c = faces[shown].corners;  // square: three corners tell the map
                std::tie(u0, v0) = TrueTexel(c[0], c[1], c[3], x - 0.5, y);
                std::tie(u1, v1) = TrueTexel(c[0], c[1], c[3], x + 1.0, y);
                if (std::fabs(u1 - u0) > 3 || std::fabs(v1 - v0) > 3) continue;
            }
            ++checked[shown >= 0];
            const bool right = shown < 0 ? pixel == cleared : Shows(pixel, u0, u1, v0, v1, 0.5 + 1e-6 + faces[shown].stray);
            if (!right && ++failures <= 10) ADD_FAILURE() << "pixel " << x << ", " << y << " shows " << int(pixel) << ", face " << shown;
        }
    }
    EXPECT_EQ(failures, 0);
    EXPECT_TRUE(checked[1] > 3000 && checked[0] > 250000) << "die and background pixels checked";
    EXPECT_TRUE(screen.GuardsIntact() && textureScreen.GuardsIntact());
}
// Within a degree of a quarter turn a face goes to the affine fill; otherwise all go to the perspective one.
INSTANTIATE_TEST_SUITE_P(Angles, Frames,
                         ::testing::Values(std::pair{0, 0}, std::pair{23040, 0}, std::pair{0, -23040}, std::pair{255, -1}, std::pair{256, -46336},
                                           std::pair{23296, -69376}, std::pair{69000, -23200}, std::pair{7680, -10240}, std::pair{51300, -78100}));
}  // namespace
