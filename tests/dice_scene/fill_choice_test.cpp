// Which fill draws a triangle, seen in the pixels: DrawTexturedTriangle must
// leave exactly what the chosen fill leaves when called directly.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "depth_triangle.h"
#include "dice/fill.h"
#include "dice/projection.h"
#include "dice/submit.h"
#include "memory_screen.h"

namespace {

using Fill = void (*)(const DDSURFACEDESC2*, const DDSURFACEDESC2*, const TexturedTriangle*,
                      const ProjectedTriangle*);

class FillChoiceTest : public MemoryScreenTest {
protected:
    void SetUp() override {
        MemoryScreenTest::SetUp();
        ProjectionScale = 320.0;
        ScreenCentreX = 320.0;
        ScreenCentreY = 240.0;
        UseTexture(256, 256);
        // Neighbouring texels always differ, so any change of texel shows.
        for (int v = 0; v < 256; ++v) {
            for (int u = 0; u < 256; ++u) textureBits[v * 256 + u] = static_cast<BYTE>(u + 37 * v);
        }
    }

    std::vector<BYTE> DrawnBySubmission(const TexturedTriangle& triangle) {
        std::fill(backBits.begin(), backBits.end(), 0);
        DrawTexturedTriangle(&triangle);
        return backBits;
    }

    std::vector<BYTE> DrawnBy(Fill fill, const TexturedTriangle& triangle) {
        std::fill(backBits.begin(), backBits.end(), 0);
        ProjectedTriangle projected;
        ProjectTriangle(&triangle, &projected);
        DDSURFACEDESC2 source = {};
        source.dwSize = sizeof source;
        DDSURFACEDESC2 destination = {};
        destination.dwSize = sizeof destination;
        EXPECT_EQ(TextureSurface->Lock(NULL, &source, 0, NULL), DD_OK);
        EXPECT_EQ(BackSurface->Lock(NULL, &destination, 0, NULL), DD_OK);
        fill(&destination, &source, &triangle, &projected);
        TextureSurface->Unlock(NULL);
        BackSurface->Unlock(NULL);
        return backBits;
    }

};

TEST_F(FillChoiceTest, ADepthDifferenceOfExactlyTheToleranceIsDrawnInPerspective) {
    ASSERT_EQ(0.04 - 0.02, AFFINE_DEPTH_TOLERANCE);
    const TexturedTriangle triangle = AtDepths(0.02, 0.04, 0.02);
    const std::vector<BYTE> perspective = DrawnBy(FillTrianglePerspective, triangle);
    ASSERT_NE(perspective, DrawnBy(FillTriangleAffine, triangle)) << "the fills must tell themselves apart";
    EXPECT_EQ(DrawnBySubmission(triangle), perspective);
}

TEST_F(FillChoiceTest, DepthsWithinTheToleranceOfCornerZeroAreDrawnAffinely) {
    const TexturedTriangle triangle = AtDepths(0.1, 0.119, 0.081);
    const std::vector<BYTE> affine = DrawnBy(FillTriangleAffine, triangle);
    ASSERT_NE(affine, DrawnBy(FillTrianglePerspective, triangle)) << "the fills must tell themselves apart";
    ASSERT_GT(std::count_if(affine.begin(), affine.end(), [](BYTE b) { return b != 0; }), 1000);
    EXPECT_EQ(DrawnBySubmission(triangle), affine);
}

}  // namespace
