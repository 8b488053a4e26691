// The fills' tests draw each triangle twice, from a texture whose texels hold
// their own column and from one whose texels hold their own row: together
// the two screens tell, for every pixel, the texel it shows.
#ifndef TESTS_DICE_FILLS_FILLS_H
#define TESTS_DICE_FILLS_FILLS_H

#include <gtest/gtest.h>

#include <cfenv>
#include <memory>
#include <utility>

#include "dice/dicetypes.h"
#include "dice/projection.h"
#include "screen.h"
#include "shell/display.h"

using FillFunction = void (*)(const DDSURFACEDESC2*, const DDSURFACEDESC2*, const TexturedTriangle*,
                              const ProjectedTriangle*);

// 250 x 250 texels in rows wider than that; the memory ends with the last
// texel, so that a read past it is caught by the address sanitizer.
constexpr int kTextureSide = 250;
const DDSURFACEDESC2* CodedTexture(bool rows);

struct Drawing {
    Drawing(FillFunction fill, const TexturedTriangle& triangle, const ProjectedTriangle& projected);
    bool Written(int x, int y) const { return columns->At(x, y) != kBlank; }
    int Column(int x, int y) const { return columns->At(x, y); }
    int Row(int x, int y) const { return rows->At(x, y); }
    std::pair<int, int> RowExtent(int y) const;  // first and last written column, or -1, -1
    int Count() const;
    std::unique_ptr<GuardedScreen> columns = std::make_unique<GuardedScreen>();
    std::unique_ptr<GuardedScreen> rows = std::make_unique<GuardedScreen>();
};

// The 640 x 480 mode's screen and projection, which the fills read.
class FillTest : public ::testing::Test {
protected:
    void SetUp() override {
        ScreenRect = {0, 0, 640, 480};
        ProjectionScale = 320.0;
        ScreenCentreX = 320.0;
        ScreenCentreY = 240.0;
    }
};

inline ProjectedTriangle Points(double x0, double y0, double x1, double y1, double x2, double y2) {
    return {{{x0, y0}, {x1, y1}, {x2, y2}}};
}
ProjectedTriangle Project(const TexturedTriangle& triangle);
// The camera-space point at the given depth that projects to (x, y).
TexturedVertex Unproject(double x, double y, double depth, double u, double v);

constexpr int kRoundingModes[] = {FE_TONEAREST, FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO};

#endif
