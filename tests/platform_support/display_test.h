// A fixture with the display set up as the programs set it up: the DirectDraw
// object, exclusive full-screen 640 x 480 x 8, a primary surface and its back
// buffer; and released as they release it.
#ifndef TESTS_PLATFORM_SUPPORT_DISPLAY_TEST_H
#define TESTS_PLATFORM_SUPPORT_DISPLAY_TEST_H

#include <ddraw.h>

#include <vector>

#include "platform_test.h"

// Any window will do: the calls only keep it.
inline const HWND kAnyWindow = reinterpret_cast<HWND>(0x1000);

// What the programs ask for: a primary surface with one back buffer.
inline DDSURFACEDESC2 ChainDescription() {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.dwBackBufferCount = 1;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    return desc;
}

// An off-screen surface in system memory.
inline DDSURFACEDESC2 OffScreenDescription(DWORD width, DWORD height) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    return desc;
}

// A description with its size set, as Lock and GetSurfaceDesc want it.
inline DDSURFACEDESC2 SizedDescription() {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    return desc;
}

// What GetSurfaceDesc says of the surface.
inline DDSURFACEDESC2 DescriptionOf(LPDIRECTDRAWSURFACE4 surface) {
    DDSURFACEDESC2 desc = SizedDescription();
    EXPECT_EQ(surface->GetSurfaceDesc(&desc), DD_OK);
    return desc;
}

// The surface's pixels as bytes, row after row, without the padding; empty
// when it cannot be locked.
inline std::vector<BYTE> SurfacePixels(LPDIRECTDRAWSURFACE4 surface) {
    DDSURFACEDESC2 desc = SizedDescription();
    std::vector<BYTE> pixels;
    if (surface->Lock(nullptr, &desc, 0, nullptr) != DD_OK) return pixels;
    const DWORD rowBytes = desc.dwWidth * desc.ddpfPixelFormat.dwRGBBitCount / 8;
    for (DWORD y = 0; y < desc.dwHeight; ++y) {
        const BYTE* row = static_cast<BYTE*>(desc.lpSurface) + y * desc.lPitch;
        pixels.insert(pixels.end(), row, row + rowBytes);
    }
    surface->Unlock(nullptr);
    return pixels;
}

// A blocking colour fill of the whole surface.
inline HRESULT ColourFill(LPDIRECTDRAWSURFACE4 surface, DWORD colour) {
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = colour;
    return surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
}

class DisplayTest : public PlatformTest {
protected:
    void OpenDirectDraw() {
        ASSERT_EQ(DirectDrawCreate(nullptr, &first_, nullptr), DD_OK);
        ASSERT_EQ(first_->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(&dd_)), DD_OK);
    }

    void OpenDisplay() {
        OpenDirectDraw();
        ASSERT_EQ(first_->SetCooperativeLevel(kAnyWindow, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
        ASSERT_EQ(first_->SetDisplayMode(640, 480, 8), DD_OK);
        DDSURFACEDESC2 desc = ChainDescription();
        ASSERT_EQ(dd_->CreateSurface(&desc, &primary_, nullptr), DD_OK);
        DDSCAPS2 caps{};
        caps.dwCaps = DDSCAPS_BACKBUFFER;
        ASSERT_EQ(primary_->GetAttachedSurface(&caps, &back_), DD_OK);
    }

    LPDIRECTDRAWSURFACE4 CreateOffScreen(DWORD width, DWORD height) {
        DDSURFACEDESC2 desc = OffScreenDescription(width, height);
        LPDIRECTDRAWSURFACE4 surface = nullptr;
        EXPECT_EQ(dd_->CreateSurface(&desc, &surface, nullptr), DD_OK);
        return surface;
    }

    // A palette attached to the primary surface, entry i = (i, 255 - i, i / 2).
    void AttachPalette() {
        entries_.resize(256);
        for (int i = 0; i < 256; ++i)
            entries_[i] = PALETTEENTRY{static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i / 2), 0};
        ASSERT_EQ(dd_->CreatePalette(DDPCAPS_8BIT, entries_.data(), &palette_, nullptr), DD_OK);
        ASSERT_EQ(primary_->SetPalette(palette_), DD_OK);
    }

    // As the programs release: mode, palette, primary (with its back
    // buffer), DirectDraw.
    void CloseDisplay() {
        if (first_) first_->Release();
        first_ = nullptr;
        if (!dd_) return;
        dd_->RestoreDisplayMode();
        if (palette_) palette_->Release();
        palette_ = nullptr;
        if (primary_) {
            primary_->SetPalette(nullptr);
            primary_->Release();
        }
        primary_ = back_ = nullptr;
        dd_->Release();
        dd_ = nullptr;
    }

    void TearDown() override {
        CloseDisplay();
        PlatformTest::TearDown();
    }

    LPDIRECTDRAW first_ = nullptr;
    LPDIRECTDRAW4 dd_ = nullptr;
    LPDIRECTDRAWSURFACE4 primary_ = nullptr;
    LPDIRECTDRAWSURFACE4 back_ = nullptr;
    LPDIRECTDRAWPALETTE palette_ = nullptr;
    std::vector<PALETTEENTRY> entries_;
};

#endif
