// Surfaces lost when the display is taken away, and their restoration.
#include <algorithm>

#include "display_test.h"

namespace {

using LostSurfaces = DisplayTest;

bool HoldsTheRestoredPattern(LPDIRECTDRAWSURFACE4 surface) {
    DDSURFACEDESC2 desc = SizedDescription();
    if (surface->Lock(nullptr, &desc, 0, nullptr) != DD_OK) return false;
    bool pattern = true;
    for (DWORD y = 0; y < desc.dwHeight; ++y) {
        const BYTE* row = static_cast<const BYTE*>(desc.lpSurface) + y * desc.lPitch;
        for (DWORD x = 0; x < desc.dwWidth; ++x) pattern = pattern && row[x] == platform::RestoredPatternByte(x, y);
    }
    surface->Unlock(nullptr);
    return pattern;
}

TEST(RestoredPattern, IsNeitherBlankNorUniform) {
    EXPECT_EQ(platform::RestoredPatternByte(0, 0), 0x55);
    EXPECT_EQ(platform::RestoredPatternByte(8, 0), 0xAA);
    EXPECT_EQ(platform::RestoredPatternByte(0, 8), 0xAA);
    EXPECT_EQ(platform::RestoredPatternByte(8, 8), 0x55);
}

TEST_F(LostSurfaces, RefuseTheirWorkUntilRestored) {
    OpenDisplay();
    LPDIRECTDRAWSURFACE4 texture = CreateOffScreen(40, 20);
    platform::LoseAllSurfaces();
    for (LPDIRECTDRAWSURFACE4 surface : {primary_, back_, texture}) {
        EXPECT_EQ(surface->IsLost(), DDERR_SURFACELOST);
        DDSURFACEDESC2 desc = SizedDescription();
        EXPECT_EQ(surface->Lock(nullptr, &desc, 0, nullptr), DDERR_SURFACELOST);
        HDC dc = nullptr;
        EXPECT_EQ(surface->GetDC(&dc), DDERR_SURFACELOST);
        EXPECT_EQ(ColourFill(surface, 1), DDERR_SURFACELOST);
        // What is still known of a lost surface can be asked.
        EXPECT_EQ(surface->GetSurfaceDesc(&desc), DD_OK);
    }
    EXPECT_EQ(primary_->Flip(nullptr, DDFLIP_WAIT), DDERR_SURFACELOST);
    // The display is back already: no refresh went by.
    EXPECT_EQ(Runtime().missedRefreshes, 0);
    EXPECT_TRUE(Runtime().frames.empty());
    EXPECT_EQ(texture->Release(), 0u);
}

TEST_F(LostSurfaces, FillsAndFlipsWhileAwayLetARefreshGoBy) {
    OpenDisplay();
    platform::LoseAllSurfaces();
    Runtime().away = true;
    EXPECT_EQ(ColourFill(back_, 1), DDERR_SURFACELOST);
    EXPECT_EQ(Runtime().missedRefreshes, 1);
    EXPECT_EQ(primary_->Flip(nullptr, DDFLIP_WAIT), DDERR_SURFACELOST);
    EXPECT_EQ(Runtime().missedRefreshes, 2);
    DDSURFACEDESC2 desc = SizedDescription();
    EXPECT_EQ(back_->Lock(nullptr, &desc, 0, nullptr), DDERR_SURFACELOST);
    EXPECT_EQ(Runtime().missedRefreshes, 2);
}

TEST_F(LostSurfaces, CannotBeRestoredWhileTheDisplayIsAway) {
    OpenDisplay();
    platform::LoseAllSurfaces();
    Runtime().away = true;
    EXPECT_EQ(primary_->Restore(), DDERR_WRONGMODE);
    EXPECT_EQ(back_->Restore(), DDERR_WRONGMODE);
    EXPECT_EQ(primary_->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(back_->IsLost(), DDERR_SURFACELOST);
}

TEST_F(LostSurfaces, ComeBackWithUndefinedContentsThatShow) {
    OpenDisplay();
    LPDIRECTDRAWSURFACE4 texture = CreateOffScreen(40, 20);
    for (LPDIRECTDRAWSURFACE4 surface : {primary_, back_, texture}) ASSERT_EQ(ColourFill(surface, 0), DD_OK);
    platform::LoseAllSurfaces();
    Runtime().away = true;
    EXPECT_EQ(primary_->Restore(), DDERR_WRONGMODE);
    Runtime().away = false;

    // The primary brings its back buffer along; other surfaces need their own.
    EXPECT_EQ(primary_->Restore(), DD_OK);
    EXPECT_EQ(back_->IsLost(), DD_OK);
    EXPECT_EQ(back_->Restore(), DD_OK);
    EXPECT_EQ(texture->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(texture->Restore(), DD_OK);
    for (LPDIRECTDRAWSURFACE4 surface : {primary_, back_, texture}) {
        EXPECT_EQ(surface->IsLost(), DD_OK);
        EXPECT_TRUE(HoldsTheRestoredPattern(surface));
    }
    EXPECT_EQ(ColourFill(back_, 1), DD_OK);
    EXPECT_EQ(primary_->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    EXPECT_EQ(texture->Release(), 0u);
}

TEST_F(LostSurfaces, RestoringASurfaceThatWasNotLostKeepsItsPixels) {
    OpenDisplay();
    ASSERT_EQ(ColourFill(back_, 9), DD_OK);
    EXPECT_EQ(back_->Restore(), DD_OK);
    EXPECT_EQ(SurfacePixels(back_), std::vector<BYTE>(640 * 480, 9));
}

TEST_F(LostSurfaces, SurfacesMadeAfterTheLossAreNotLost) {
    OpenDisplay();
    platform::LoseAllSurfaces();
    LPDIRECTDRAWSURFACE4 texture = CreateOffScreen(4, 4);
    EXPECT_EQ(texture->IsLost(), DD_OK);
    EXPECT_EQ(texture->Release(), 0u);
}

}  // namespace
