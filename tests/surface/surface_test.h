// A fresh platform run with a DirectDraw object for every test, and nothing
// of the platform left alive after it, so that whatever a call fails to
// delete shows in its own test. The die's texture is bitmap resource 103.
#ifndef TESTS_SURFACE_SURFACE_TEST_H
#define TESTS_SURFACE_SURFACE_TEST_H

#include <api/directdraw.h>
#include <api/gdi.h>
#include <api/palette.h>
#include <api/surface.h>
#include <gtest/gtest.h>
#include <surface/surface.h>
#include <testing/runtime_control.h>

#include <vector>

#include "bitmap.h"

inline const std::vector<BYTE>& Texture() {
    static const std::vector<BYTE> bytes = ReadBytes(DIE_TEXTURE);
    return bytes;
}

class SurfaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::testing::ResetPlatform();
        ASSERT_EQ(DirectDrawCreate(nullptr, &first_, nullptr), DD_OK);
        ASSERT_EQ(first_->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(&dd_)), DD_OK);
        AddBitmapResource(MAKEINTRESOURCEA(103), {Texture().begin() + 14, Texture().end()});
    }
    void TearDown() override {
        for (auto object = kept_.rbegin(); object != kept_.rend(); ++object) (*object)->Release();
        for (IUnknown* object : std::vector<IUnknown*>{primary_, dd_, first_})
            if (object) object->Release();
        EXPECT_EQ(platform::LiveSurfaceCount() + platform::LivePaletteCount() + platform::LiveGdiObjectCount() +
                      platform::LiveDirectDrawCount(), 0u) << "leaked";
    }
    size_t Live() const { return platform::LiveSurfaceCount() + platform::LivePaletteCount() + platform::LiveGdiObjectCount(); }

    static DDSURFACEDESC2 Blank() {
        DDSURFACEDESC2 desc = {};
        desc.dwSize = sizeof desc;
        return desc;
    }
    // The display as the programs take it: 640 x 480 x 8, one back buffer.
    void OpenDisplay() {
        ASSERT_EQ(first_->SetCooperativeLevel(reinterpret_cast<HWND>(0x1000), DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
        ASSERT_EQ(first_->SetDisplayMode(640, 480, 8), DD_OK);
        DDSURFACEDESC2 desc = Blank();
        desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
        desc.dwBackBufferCount = 1;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
        ASSERT_EQ(dd_->CreateSurface(&desc, &primary_, nullptr), DD_OK);
    }
    template <class Object>
    Object* Keep(Object* object) {  // released, last kept first, when the test ends
        if (object) kept_.push_back(object);
        return object;
    }
    LPDIRECTDRAWSURFACE4 OffScreen(DWORD width, DWORD height) {
        DDSURFACEDESC2 desc = Blank();
        desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
        desc.dwHeight = height;
        desc.dwWidth = width;
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
        LPDIRECTDRAWSURFACE4 surface = nullptr;
        EXPECT_EQ(dd_->CreateSurface(&desc, &surface, nullptr), DD_OK);
        return Keep(surface);
    }
    static DDSURFACEDESC2 DescriptionOf(LPDIRECTDRAWSURFACE4 surface) {
        DDSURFACEDESC2 desc = Blank();
        EXPECT_EQ(surface->GetSurfaceDesc(&desc), DD_OK);
        return desc;
    }
    // The surface's bytes, top row first, without row padding; empty when it cannot be locked.
    static std::vector<BYTE> PixelsOf(LPDIRECTDRAWSURFACE4 surface) {
        DDSURFACEDESC2 desc = Blank();
        std::vector<BYTE> pixels;
        if (surface->Lock(nullptr, &desc, 0, nullptr) != DD_OK) return pixels;
        for (DWORD y = 0; y < desc.dwHeight; ++y) {
            const BYTE* row = static_cast<const BYTE*>(desc.lpSurface) + static_cast<ptrdiff_t>(y) * desc.lPitch;
            pixels.insert(pixels.end(), row, row + desc.dwWidth * (desc.ddpfPixelFormat.dwRGBBitCount / 8));
        }
        surface->Unlock(nullptr);
        return pixels;
    }
    static void SetPixelByte(LPDIRECTDRAWSURFACE4 surface, DWORD x, DWORD y, BYTE value) {
        DDSURFACEDESC2 desc = Blank();
        ASSERT_EQ(surface->Lock(nullptr, &desc, 0, nullptr), DD_OK);
        static_cast<BYTE*>(desc.lpSurface)[static_cast<ptrdiff_t>(y) * desc.lPitch + x] = value;
        surface->Unlock(nullptr);
    }

    LPDIRECTDRAW first_ = nullptr;
    LPDIRECTDRAW4 dd_ = nullptr;
    LPDIRECTDRAWSURFACE4 primary_ = nullptr;

private:
    std::vector<IUnknown*> kept_;
};

#endif
