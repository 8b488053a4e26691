// DirectDraw as the programs use it: the exclusive 640 x 480 x 8 display, its
// flipping chain, locks, colour fills, palettes, and surfaces lost while the
// window is minimised.
#include <ddraw.h>
#include <gtest/gtest.h>

#include <vector>

#include "test_window.h"

namespace {

class Display : public ::testing::Test {
protected:
    void SetUp() override {
        window_ = CreateTestWindow();
        ShowWindow(window_, SW_SHOWNORMAL);
        UpdateWindow(window_);
        DispatchQueue(window_, NULL);
        LPDIRECTDRAW first = NULL;
        ASSERT_EQ(DirectDrawCreate(NULL, &first, NULL), DD_OK);
        ASSERT_EQ(first->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(&dd_)), DD_OK);
        first->Release();
        ASSERT_EQ(dd_->SetCooperativeLevel(window_, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
        ASSERT_EQ(dd_->SetDisplayMode(640, 480, 8, 0, 0), DD_OK);
        DDSURFACEDESC2 desc = Described();
        desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
        desc.dwBackBufferCount = 1;
        ASSERT_EQ(dd_->CreateSurface(&desc, &primary_, NULL), DD_OK);
        DDSCAPS2 caps = {};
        caps.dwCaps = DDSCAPS_BACKBUFFER;
        ASSERT_EQ(primary_->GetAttachedSurface(&caps, &back_), DD_OK);
    }

    void TearDown() override {
        if (primary_) {
            EXPECT_EQ(primary_->Release(), 0u);
        }
        if (dd_) {
            dd_->RestoreDisplayMode();
            EXPECT_EQ(dd_->Release(), 0u);
        }
        DestroyWindow(window_);
        DispatchQueue(window_, NULL);
    }

    static DDSURFACEDESC2 Described() {
        DDSURFACEDESC2 desc = {};
        desc.dwSize = sizeof desc;
        return desc;
    }

    static HRESULT Fill(LPDIRECTDRAWSURFACE4 surface, DWORD colour) {
        DDBLTFX fx = {};
        fx.dwSize = sizeof fx;
        fx.dwFillColor = colour;
        return surface->Blt(NULL, NULL, NULL, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    }

    // The surface's pixels, row by row without the pitch's padding.
    static std::vector<BYTE> Pixels(LPDIRECTDRAWSURFACE4 surface) {
        DDSURFACEDESC2 desc = Described();
        if (surface->Lock(NULL, &desc, DDLOCK_WAIT, NULL) != DD_OK) return {};
        std::vector<BYTE> pixels;
        for (DWORD y = 0; y < desc.dwHeight; ++y) {
            const BYTE* row = static_cast<const BYTE*>(desc.lpSurface) + y * desc.lPitch;
            pixels.insert(pixels.end(), row, row + desc.dwWidth);
        }
        surface->Unlock(NULL);
        return pixels;
    }

    HWND window_ = NULL;
    LPDIRECTDRAW4 dd_ = NULL;
    LPDIRECTDRAWSURFACE4 primary_ = NULL;
    LPDIRECTDRAWSURFACE4 back_ = NULL;  // the chain's: it goes with the primary
};

TEST_F(Display, TheChainIsTwoPalettisedSurfacesOfTheScreensSize) {
    for (LPDIRECTDRAWSURFACE4 surface : {primary_, back_}) {
        DDSURFACEDESC2 desc = Described();
        ASSERT_EQ(surface->GetSurfaceDesc(&desc), DD_OK);
        EXPECT_EQ(desc.dwWidth, 640u);
        EXPECT_EQ(desc.dwHeight, 480u);
        EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, 8u);
        EXPECT_TRUE(desc.ddpfPixelFormat.dwFlags & DDPF_PALETTEINDEXED8);
        EXPECT_EQ(desc.ddsCaps.dwCaps & (DDSCAPS_PRIMARYSURFACE | DDSCAPS_BACKBUFFER),
                  surface == primary_ ? DWORD{DDSCAPS_PRIMARYSURFACE} : DWORD{DDSCAPS_BACKBUFFER});
    }
}

// How many references the chain itself holds is its own affair (none here,
// one on Wine): the programs count only on getting one more each time.
TEST_F(Display, AskingForTheBackBufferAgainGivesItAnotherReference) {
    const ULONG held = back_->AddRef() - 1;
    back_->Release();
    DDSCAPS2 caps = {};
    caps.dwCaps = DDSCAPS_BACKBUFFER;
    LPDIRECTDRAWSURFACE4 again = NULL;
    ASSERT_EQ(primary_->GetAttachedSurface(&caps, &again), DD_OK);
    EXPECT_EQ(again, back_);
    EXPECT_EQ(again->Release(), held);
}

TEST_F(Display, ColourFillAndLockSeeTheSamePixels) {
    ASSERT_EQ(Fill(back_, 0x24), DD_OK);
    EXPECT_EQ(Pixels(back_), std::vector<BYTE>(640 * 480, 0x24));
    DDSURFACEDESC2 desc = Described();
    ASSERT_EQ(back_->Lock(NULL, &desc, DDLOCK_WAIT, NULL), DD_OK);
    EXPECT_GE(desc.lPitch, 640);
    static_cast<BYTE*>(desc.lpSurface)[desc.lPitch + 2] = 0x99;
    ASSERT_EQ(back_->Unlock(NULL), DD_OK);
    EXPECT_EQ(Pixels(back_)[640 + 2], 0x99);
}

TEST_F(Display, FlippingShowsTheBackBuffer) {
    ASSERT_EQ(Fill(primary_, 3), DD_OK);
    ASSERT_EQ(Fill(back_, 7), DD_OK);
    ASSERT_EQ(primary_->Flip(NULL, DDFLIP_WAIT), DD_OK);
    EXPECT_EQ(Pixels(primary_), std::vector<BYTE>(640 * 480, 7));
}

TEST_F(Display, ThePaletteKeepsItsColoursAndIsHeldByThePrimary) {
    PALETTEENTRY colours[256] = {};
    for (int i = 0; i < 256; ++i) colours[i] = {BYTE(i), BYTE(255 - i), BYTE(i / 2), 0};
    LPDIRECTDRAWPALETTE palette = NULL;
    ASSERT_EQ(dd_->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, colours, &palette, NULL), DD_OK);
    ASSERT_EQ(primary_->SetPalette(palette), DD_OK);
    EXPECT_EQ(palette->AddRef(), 3u);
    EXPECT_EQ(palette->Release(), 2u);
    PALETTEENTRY read[256] = {};
    ASSERT_EQ(palette->GetEntries(0, 0, 256, read), DD_OK);
    for (int i : {0, 1, 128, 255}) {
        EXPECT_EQ(read[i].peRed, colours[i].peRed) << i;
        EXPECT_EQ(read[i].peGreen, colours[i].peGreen) << i;
        EXPECT_EQ(read[i].peBlue, colours[i].peBlue) << i;
    }
    ASSERT_EQ(primary_->SetPalette(NULL), DD_OK);
    EXPECT_EQ(palette->Release(), 0u);
}

// Minimising takes the display from a full-screen program on Windows, and
// with it the surfaces; Wine keeps them until another program is activated.
// Either way, the programs' way back works: Restore the primary, then the back
// buffer, and draw on.
TEST_F(Display, SurfacesLostWhileMinimisedComeBackByRestore) {
    ShowWindow(window_, SW_MINIMIZE);
    DispatchQueue(window_, NULL);
    if (primary_->IsLost() == DDERR_SURFACELOST) {
        EXPECT_EQ(Fill(back_, 1), DDERR_SURFACELOST);
        EXPECT_EQ(primary_->Flip(NULL, DDFLIP_WAIT), DDERR_SURFACELOST);
        EXPECT_EQ(primary_->Restore(), DDERR_WRONGMODE);
    }
    ShowWindow(window_, SW_RESTORE);
    DispatchQueue(window_, NULL);
    EXPECT_EQ(primary_->Restore(), DD_OK);
    EXPECT_EQ(back_->Restore(), DD_OK);
    EXPECT_EQ(back_->IsLost(), DD_OK);
    EXPECT_EQ(Fill(back_, 1), DD_OK);
    EXPECT_EQ(primary_->Flip(NULL, DDFLIP_WAIT), DD_OK);
}

}  // namespace
