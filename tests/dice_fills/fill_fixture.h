// Surfaces and module state for exercising the scan helpers and the textured
// fills: a 640 x 480 back buffer inside guard bands, and textures whose texels
// name their own column or row, so that every written pixel tells which texel
// it was copied from.
#ifndef TESTS_DICE_FILLS_FILL_FIXTURE_H
#define TESTS_DICE_FILLS_FILL_FIXTURE_H

#include <gtest/gtest.h>

#include <cfenv>
#include <cstdint>
#include <tuple>
#include <utility>
#include <vector>

#include "dice/dicetypes.h"
#include "dice/fill.h"
#include "dice/projection.h"
#include "shell/display.h"

namespace dice_fills_test {

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
constexpr BYTE kBlank = 0xFF;

// The back buffer: every byte around the 640 x 480 screen belongs to a guard
// band that the fills must never touch.
class Canvas {
public:
    static constexpr int kGuard = 48;
    static constexpr int kPitch = kScreenWidth + 2 * kGuard;
    static constexpr int kRows = kScreenHeight + 2 * kGuard;

    Canvas() : memory_(static_cast<size_t>(kPitch) * kRows, kBlank)
    {
        desc_.dwSize = sizeof desc_;
        desc_.dwWidth = kScreenWidth;
        desc_.dwHeight = kScreenHeight;
        desc_.lPitch = kPitch;
        desc_.ddpfPixelFormat.dwRGBBitCount = 8;
        desc_.lpSurface = &memory_[static_cast<size_t>(kGuard) * kPitch + kGuard];
    }

    const DDSURFACEDESC2* desc() const { return &desc_; }

    // x and y may lie in the guard bands: -kGuard <= x < kScreenWidth + kGuard.
    BYTE At(int x, int y) const { return memory_[static_cast<size_t>(y + kGuard) * kPitch + (x + kGuard)]; }
    bool Written(int x, int y) const { return At(x, y) != kBlank; }

    // Row y from the first guard byte to the last, kPitch bytes.
    BYTE* Line(int y) { return &memory_[static_cast<size_t>(y + kGuard) * kPitch]; }
    const BYTE* Line(int y) const { return &memory_[static_cast<size_t>(y + kGuard) * kPitch]; }

private:
    std::vector<BYTE> memory_;
    DDSURFACEDESC2 desc_ = {};
};

enum class TexelCode { Column, Row };

// An 8-bit texture whose every texel holds its own column or its own row
// (below kBlank, so a written pixel never looks unwritten). The pitch is wider
// than a row, and the memory ends exactly with the last row, so that a read
// beyond it is caught by the address sanitizer.
class Texture {
public:
    static constexpr int kWidth = 250;
    static constexpr int kHeight = 250;
    static constexpr int kPitch = 263;

    explicit Texture(TexelCode code) : memory_(static_cast<size_t>(kPitch) * (kHeight - 1) + kWidth, 0)
    {
        for (int row = 0; row < kHeight; ++row) {
            for (int column = 0; column < kWidth; ++column) {
                memory_[static_cast<size_t>(row) * kPitch + column] =
                    static_cast<BYTE>(code == TexelCode::Column ? column : row);
            }
        }
        desc_.dwSize = sizeof desc_;
        desc_.dwWidth = kWidth;
        desc_.dwHeight = kHeight;
        desc_.lPitch = kPitch;
        desc_.ddpfPixelFormat.dwRGBBitCount = 8;
        desc_.lpSurface = memory_.data();
    }

    const DDSURFACEDESC2* desc() const { return &desc_; }

private:
    std::vector<BYTE> memory_;
    DDSURFACEDESC2 desc_ = {};
};

using FillFunction = void (*)(const DDSURFACEDESC2*, const DDSURFACEDESC2*, const TexturedTriangle*,
                              const ProjectedTriangle*);

// One triangle drawn twice, once from the column texture and once from the row
// texture: together they tell, for every pixel, the texel it shows.
class Drawing {
public:
    Drawing(FillFunction fill, const TexturedTriangle& triangle, const ProjectedTriangle& projected)
    {
        static const Texture columnTexture(TexelCode::Column);
        static const Texture rowTexture(TexelCode::Row);
        fill(columns_.desc(), columnTexture.desc(), &triangle, &projected);
        fill(rows_.desc(), rowTexture.desc(), &triangle, &projected);
    }

    bool Written(int x, int y) const { return columns_.Written(x, y); }
    int Column(int x, int y) const { return columns_.At(x, y); }
    int Row(int x, int y) const { return rows_.At(x, y); }

    // Both passes must cover the same pixels.
    bool SameCoverage() const
    {
        for (int y = -Canvas::kGuard; y < kScreenHeight + Canvas::kGuard; ++y) {
            for (int x = -Canvas::kGuard; x < kScreenWidth + Canvas::kGuard; ++x) {
                if (columns_.Written(x, y) != rows_.Written(x, y)) return false;
            }
        }
        return true;
    }

    int CountWritten() const
    {
        int count = 0;
        for (int y = -Canvas::kGuard; y < kScreenHeight + Canvas::kGuard; ++y) {
            for (int x = -Canvas::kGuard; x < kScreenWidth + Canvas::kGuard; ++x) count += Written(x, y);
        }
        return count;
    }

    // The written columns of row y as [first, last], or {-1, -1} when none.
    std::pair<int, int> RowExtent(int y) const
    {
        int first = -1, last = -1;
        for (int x = -Canvas::kGuard; x < kScreenWidth + Canvas::kGuard; ++x) {
            if (!Written(x, y)) continue;
            if (first < 0) first = x;
            last = x;
        }
        return {first, last};
    }

private:
    Canvas columns_;
    Canvas rows_;
};

// The screen and projection of the 640 x 480 mode, which the helpers and the
// perspective-correct fill read from module state.
class ScreenTest : public testing::Test {
protected:
    void SetUp() override
    {
        ScreenRect = {0, 0, kScreenWidth, kScreenHeight};
        ProjectionScale = 320.0;
        ScreenCentreX = 320.0;
        ScreenCentreY = 240.0;
    }
};

// minX, minY, maxX, maxY, for comparing a whole box at once.
inline std::tuple<int, int, int, int> Bounds(const ScanBox& box) { return {box.minX, box.minY, box.maxX, box.maxY}; }

inline TexturedVertex Vertex(double x, double y, double z, double u, double v) { return {x, y, z, u, v}; }

inline ProjectedTriangle Points(double x0, double y0, double x1, double y1, double x2, double y2)
{
    return {{{x0, y0}, {x1, y1}, {x2, y2}}};
}

// Projects as the die's scene does, for triangles given in camera space.
inline ProjectedTriangle Project(const TexturedTriangle& triangle)
{
    ProjectedTriangle projected;
    for (int k = 0; k < 3; ++k) {
        const TexturedVertex& c = triangle.corner[k];
        projected.p[k].x = ScreenCentreX + ProjectionScale * (c.x / c.z);
        projected.p[k].y = ScreenCentreY - ProjectionScale * (c.y / c.z);
    }
    return projected;
}

// The camera-space point at the given depth that projects to (x, y).
inline TexturedVertex Unproject(double x, double y, double depth, double u, double v)
{
    return {(x - ScreenCentreX) / ProjectionScale * depth, (ScreenCentreY - y) / ProjectionScale * depth, depth, u, v};
}

// A triangle whose row 24 runs from xl (its vertical left edge, from corner 0
// at row 10 down to corner 2 at row 26) to xr (on the edge from corner 1, at
// row 10, to corner 2); both are exact when xl and xr are multiples of 1/8.
// Its left edge shows texel (0, 0); mapped affinely, the right end of row 24
// shows column 30 of row 0.
struct Wedge {
    TexturedTriangle triangle;
    ProjectedTriangle projected;
};

inline Wedge MakeWedge(double xl, double xr)
{
    const double x1 = 8 * xr - 7 * xl;
    Wedge wedge;
    wedge.projected = Points(xl, 10, x1, 10, xl, 26);
    wedge.triangle = {{Unproject(xl, 10, 2.0, 0, 0), Unproject(x1, 10, 2.6, 240, 0), Unproject(xl, 26, 2.3, 0, 0)}};
    return wedge;
}

// Every rounding mode a caller might have left set.
constexpr int kRoundingModes[] = {FE_TONEAREST, FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO};

// Sets a rounding mode for one scope and puts the nearest mode back after.
class RoundingMode {
public:
    explicit RoundingMode(int mode) { std::fesetround(mode); }
    ~RoundingMode() { std::fesetround(FE_TONEAREST); }
    RoundingMode(const RoundingMode&) = delete;
    RoundingMode& operator=(const RoundingMode&) = delete;
};

}  // namespace dice_fills_test

#endif
