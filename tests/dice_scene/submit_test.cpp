#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "depth_triangle.h"
#include "projection.h"
#include "scene_fixture.h"
#include "submit.h"
#include "testing/memory_surface.h"

namespace {

using Events = std::vector<std::string>;

void ExpectSameVertex(const TexturedVertex& actual, const TexturedVertex& expected) {
    EXPECT_EQ(actual.x, expected.x);
    EXPECT_EQ(actual.y, expected.y);
    EXPECT_EQ(actual.z, expected.z);
    EXPECT_EQ(actual.u, expected.u);
    EXPECT_EQ(actual.v, expected.v);
}

class SubmitTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        ProjectionScale = 320.0;
        ScreenCentreX = 320.0;
        ScreenCentreY = 240.0;
    }

    FillKind FillChosenFor(const TexturedTriangle& triangle) {
        FillCalls.clear();
        DrawTexturedTriangle(&triangle);
        EXPECT_EQ(FillCalls.size(), 1u);
        return FillCalls.empty() ? FillKind::Affine : FillCalls[0].kind;
    }
};

TEST_F(SubmitTest, ProjectionDividesByDepthScalesAndCentres) {
    const TexturedTriangle triangle = {{{0.3125, 0.3125, 2.0875, 0, 0}, {0, 0, 2.4, 0, 0}, {-0.5, -1.0, 2.0, 0, 0}}};
    ProjectedTriangle projected;
    ProjectTriangle(&triangle, &projected);
    EXPECT_NEAR(projected.p[0].x, 367.904, 0.0005);
    EXPECT_NEAR(projected.p[0].y, 192.096, 0.0005);
    EXPECT_EQ(projected.p[1].x, 320.0);
    EXPECT_EQ(projected.p[1].y, 240.0);
    // Camera y grows upward, screen y downward.
    EXPECT_EQ(projected.p[2].x, 240.0);
    EXPECT_EQ(projected.p[2].y, 400.0);
}

TEST_F(SubmitTest, AFaceIsSplitAlongC0C2IntoC1C2C0ThenC3C0C2) {
    FaceQuad face;
    TexturedVertex* corners[4] = {&face.c0, &face.c1, &face.c2, &face.c3};
    for (int k = 0; k < 4; ++k) {
        *corners[k] = {0.1 * (k - 1.5), 0.05 * k, 2.0 + 0.125 * k, 10.0 + k, 20.0 + k};
    }
    DrawDieFace(&face);
    ASSERT_EQ(FillCalls.size(), 2u);
    const int expected[2][3] = {{1, 2, 0}, {3, 0, 2}};
    for (int t = 0; t < 2; ++t) {
        for (int k = 0; k < 3; ++k) {
            SCOPED_TRACE("triangle " + std::to_string(t) + " corner " + std::to_string(k));
            ExpectSameVertex(FillCalls[t].triangle.corner[k], *corners[expected[t][k]]);
        }
    }
}

TEST_F(SubmitTest, TheFillGetsTheBackBufferTheTextureAndTheProjectedTriangle) {
    const TexturedTriangle triangle = AtDepths(2.0, 2.0, 2.0);
    DrawTexturedTriangle(&triangle);
    ASSERT_EQ(FillCalls.size(), 1u);
    const FillCall& call = FillCalls[0];
    EXPECT_EQ(call.destination, back->Bits());
    EXPECT_EQ(call.source, texture->Bits());
    EXPECT_EQ(call.destinationBits, 8u);
    EXPECT_EQ(call.sourceBits, 8u);
    ProjectedTriangle projected;
    ProjectTriangle(&triangle, &projected);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(call.projected.p[k].x, projected.p[k].x);
        EXPECT_EQ(call.projected.p[k].y, projected.p[k].y);
    }
    // The whole surface, flags 0.
    EXPECT_FALSE(texture->lockedWithRect);
    EXPECT_FALSE(back->lockedWithRect);
    EXPECT_EQ(texture->lockFlags, 0u);
    EXPECT_EQ(back->lockFlags, 0u);
}

TEST_F(SubmitTest, DepthDifferencesAgainstCornerZeroChooseTheFill) {
    // 0.04 - 0.02 is exactly the tolerance.
    ASSERT_EQ(0.04 - 0.02, AFFINE_DEPTH_TOLERANCE);
    EXPECT_EQ(FillChosenFor(AtDepths(2.0, 2.0, 2.0)), FillKind::Affine);
    EXPECT_EQ(FillChosenFor(AtDepths(0.02, 0.04, 0.02)), FillKind::Perspective);
    EXPECT_EQ(FillChosenFor(AtDepths(0.02, 0.02, 0.04)), FillKind::Perspective);
    EXPECT_EQ(FillChosenFor(AtDepths(0.04, 0.02, 0.04)), FillKind::Perspective);
    // Corners 1 and 2 agree, but both are the tolerance away from corner 0.
    EXPECT_EQ(FillChosenFor(AtDepths(0.02, 0.04, 0.04)), FillKind::Perspective);
    // 0.038 apart from each other, but each within 0.019 of corner 0.
    EXPECT_EQ(FillChosenFor(AtDepths(0.1, 0.119, 0.081)), FillKind::Affine);
    EXPECT_EQ(FillChosenFor(AtDepths(2.0, 2.019, 1.981)), FillKind::Affine);
}

TEST_F(SubmitTest, TheTextureIsLockedFirstAndUnlockedFirst) {
    const TexturedTriangle triangle = AtDepths(2.0, 2.0, 2.0);
    DrawTexturedTriangle(&triangle);
    EXPECT_EQ(SceneEvents, (Events{"lock texture", "lock back", "fill affine", "unlock texture", "unlock back"}));
}

TEST_F(SubmitTest, SurfacesStillDrawingAreAskedAgainUntilTheyLock) {
    texture->stillDrawingAnswers = 3;
    back->stillDrawingAnswers = 2;
    const TexturedTriangle triangle = AtDepths(2.0, 2.5, 2.0);
    DrawTexturedTriangle(&triangle);
    EXPECT_EQ(texture->lockCalls, 4);
    EXPECT_EQ(back->lockCalls, 3);
    EXPECT_EQ(SceneEvents, (Events{"still drawing texture", "still drawing texture", "still drawing texture",
                                   "lock texture", "still drawing back", "still drawing back", "lock back",
                                   "fill perspective", "unlock texture", "unlock back"}));
}

TEST_F(SubmitTest, ATextureThatWillNotLockSkipsTheTriangleWithoutTouchingTheBackBuffer) {
    texture->lockFailure = DDERR_SURFACELOST;
    const TexturedTriangle triangle = AtDepths(2.0, 2.0, 2.0);
    DrawTexturedTriangle(&triangle);
    EXPECT_TRUE(FillCalls.empty());
    EXPECT_EQ(SceneEvents, (Events{"refuse texture"}));
}

TEST_F(SubmitTest, ABackBufferThatWillNotLockReleasesTheTexture) {
    back->lockFailure = DDERR_SURFACELOST;
    const TexturedTriangle triangle = AtDepths(2.0, 2.0, 2.0);
    DrawTexturedTriangle(&triangle);
    EXPECT_TRUE(FillCalls.empty());
    EXPECT_EQ(SceneEvents, (Events{"lock texture", "refuse back", "unlock texture"}));
}

TEST_F(SubmitTest, SurfacesOfOtherThanOneBytePerPixelDrawNothingAndAreUnlocked) {
    const TexturedTriangle triangle = AtDepths(2.0, 2.0, 2.0);
    const std::pair<DWORD, DWORD> bitCounts[] = {{16, 8}, {8, 16}, {16, 16}, {8, 32}};
    for (const auto& [textureBits, backBits] : bitCounts) {
        SCOPED_TRACE(std::to_string(textureBits) + " / " + std::to_string(backBits));
        UseSurfaces(textureBits, backBits);
        SceneEvents.clear();
        DrawTexturedTriangle(&triangle);
        EXPECT_TRUE(FillCalls.empty());
        EXPECT_EQ(SceneEvents, (Events{"lock texture", "lock back", "unlock texture", "unlock back"}));
    }
}

// The same with plain in-memory surfaces: what a lock refused because the
// surface is busy, or a 16-bit surface, leaves behind is two lockable surfaces.
class SubmitLockTest : public SubmitTest {
protected:
    void UseMemorySurfaces(DWORD textureBits, DWORD backBits) {
        Release();
        memoryTexture = platform::CreateMemorySurface(16, 16, textureBits, 16 * textureBits / 8);
        memoryBack = platform::CreateMemorySurface(16, 16, backBits, 16 * backBits / 8);
        TextureSurface = memoryTexture;
        BackSurface = memoryBack;
    }

    void TearDown() override {
        Release();
        SubmitTest::TearDown();
    }

    void Release() {
        if (memoryTexture) memoryTexture->Release();
        if (memoryBack) memoryBack->Release();
        memoryTexture = NULL;
        memoryBack = NULL;
    }

    static HRESULT LockAndUnlock(LPDIRECTDRAWSURFACE4 surface) {
        DDSURFACEDESC2 desc = {};
        desc.dwSize = sizeof desc;
        const HRESULT result = surface->Lock(NULL, &desc, 0, NULL);
        if (result == DD_OK) surface->Unlock(NULL);
        return result;
    }

    LPDIRECTDRAWSURFACE4 memoryTexture = NULL;
    LPDIRECTDRAWSURFACE4 memoryBack = NULL;
};

TEST_F(SubmitLockTest, ABusyBackBufferLeavesTheTextureUnlocked) {
    UseMemorySurfaces(8, 8);
    DDSURFACEDESC2 held = {};
    held.dwSize = sizeof held;
    ASSERT_EQ(memoryBack->Lock(NULL, &held, 0, NULL), DD_OK);

    const TexturedTriangle triangle = AtDepths(2.0, 2.0, 2.0);
    DrawTexturedTriangle(&triangle);
    EXPECT_TRUE(FillCalls.empty());
    EXPECT_EQ(LockAndUnlock(memoryTexture), DD_OK);
    // Still the test's lock, not released by the renderer.
    EXPECT_EQ(LockAndUnlock(memoryBack), DDERR_SURFACEBUSY);
    memoryBack->Unlock(NULL);
}

TEST_F(SubmitLockTest, SixteenBitSurfacesAreLeftUnlocked) {
    UseMemorySurfaces(16, 16);
    const TexturedTriangle triangle = AtDepths(2.0, 2.0, 2.0);
    DrawTexturedTriangle(&triangle);
    EXPECT_TRUE(FillCalls.empty());
    EXPECT_EQ(LockAndUnlock(memoryTexture), DD_OK);
    EXPECT_EQ(LockAndUnlock(memoryBack), DD_OK);
}

TEST_F(SubmitLockTest, AWholeFrameOnSixteenBitSurfacesDrawsNothing) {
    UseMemorySurfaces(8, 16);
    DrawTexturedDie(BackSurface, 256);
    EXPECT_TRUE(FillCalls.empty());
    EXPECT_EQ(LockAndUnlock(memoryTexture), DD_OK);
    EXPECT_EQ(LockAndUnlock(memoryBack), DD_OK);
}

}  // namespace
