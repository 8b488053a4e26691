// The fixture of the surface utilities' tests: a fresh platform run with a
// DirectDraw object for every test, and nothing of the platform left alive
// after it, so that whatever a call fails to delete shows in its own test.
#ifndef TESTS_SURFACE_SURFACE_TEST_H
#define TESTS_SURFACE_SURFACE_TEST_H

#include <gtest/gtest.h>

#include <api/directdraw.h>
#include <api/gdi.h>
#include <api/palette.h>
#include <api/surface.h>
#include <ddraw.h>
#include <surface/surface.h>
#include <testing/runtime_control.h>

#include <ostream>
#include <vector>

inline bool operator==(const PALETTEENTRY& a, const PALETTEENTRY& b) {
    return a.peRed == b.peRed && a.peGreen == b.peGreen && a.peBlue == b.peBlue && a.peFlags == b.peFlags;
}

inline void PrintTo(const PALETTEENTRY& entry, std::ostream* out) {
    *out << "(" << int{entry.peRed} << ", " << int{entry.peGreen} << ", " << int{entry.peBlue} << "; "
         << int{entry.peFlags} << ")";
}

inline PALETTEENTRY Entry(BYTE red, BYTE green, BYTE blue, BYTE flags = 0) { return {red, green, blue, flags}; }

// Objects alive in the platform, all kinds at once, to compare before and after a call.
struct LiveObjects {
    size_t surfaces = platform::LiveSurfaceCount();
    size_t palettes = platform::LivePaletteCount();
    size_t gdiObjects = platform::LiveGdiObjectCount();
    bool operator==(const LiveObjects&) const = default;
};

inline void PrintTo(const LiveObjects& live, std::ostream* out) {
    *out << live.surfaces << " surfaces, " << live.palettes << " palettes, " << live.gdiObjects << " GDI objects";
}

class SurfaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::testing::ResetPlatform();
        ASSERT_EQ(DirectDrawCreate(nullptr, &first_, nullptr), DD_OK);
        ASSERT_EQ(first_->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(&dd_)), DD_OK);
    }

    void TearDown() override {
        for (auto object = kept_.rbegin(); object != kept_.rend(); ++object) (*object)->Release();
        kept_.clear();
        if (primary_) primary_->Release();
        if (dd_) dd_->Release();
        if (first_) first_->Release();
        EXPECT_EQ(platform::LiveSurfaceCount(), 0u) << "surfaces leaked";
        EXPECT_EQ(platform::LivePaletteCount(), 0u) << "palettes leaked";
        EXPECT_EQ(platform::LiveGdiObjectCount(), 0u) << "bitmaps or device contexts leaked";
        EXPECT_EQ(platform::LiveDirectDrawCount(), 0u) << "DirectDraw objects leaked";
    }

    // The display as the programs take it: exclusive, 640 x 480 x 8, a
    // primary surface with one back buffer.
    void OpenDisplay() {
        ASSERT_EQ(first_->SetCooperativeLevel(reinterpret_cast<HWND>(0x1000), DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN),
                  DD_OK);
        ASSERT_EQ(first_->SetDisplayMode(640, 480, 8), DD_OK);
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
        desc.dwBackBufferCount = 1;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
        ASSERT_EQ(dd_->CreateSurface(&desc, &primary_, nullptr), DD_OK);
    }

    // Released, last kept first, when the test ends.
    template <class Object>
    Object* Keep(Object* object) {
        if (object) kept_.push_back(object);
        return object;
    }

    // A system-memory surface in the display's format, kept.
    LPDIRECTDRAWSURFACE4 OffScreen(DWORD width, DWORD height) {
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
        desc.dwWidth = width;
        desc.dwHeight = height;
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
        LPDIRECTDRAWSURFACE4 surface = nullptr;
        EXPECT_EQ(dd_->CreateSurface(&desc, &surface, nullptr), DD_OK);
        return Keep(surface);
    }

    // A palette of these 256 entries, kept.
    LPDIRECTDRAWPALETTE MakePalette(std::vector<PALETTEENTRY> entries) {
        LPDIRECTDRAWPALETTE palette = nullptr;
        EXPECT_EQ(dd_->CreatePalette(DDPCAPS_8BIT, entries.data(), &palette, nullptr), DD_OK);
        return Keep(palette);
    }

    static std::vector<PALETTEENTRY> EntriesOf(LPDIRECTDRAWPALETTE palette) {
        std::vector<PALETTEENTRY> entries(256);
        EXPECT_EQ(palette->GetEntries(0, 0, 256, entries.data()), DD_OK);
        return entries;
    }

    static DDSURFACEDESC2 DescriptionOf(LPDIRECTDRAWSURFACE4 surface) {
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        EXPECT_EQ(surface->GetSurfaceDesc(&desc), DD_OK);
        return desc;
    }

    // The bytes of the surface's pixels, top row first, without row padding;
    // empty when it cannot be locked.
    static std::vector<BYTE> PixelsOf(LPDIRECTDRAWSURFACE4 surface) {
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        std::vector<BYTE> pixels;
        if (surface->Lock(nullptr, &desc, 0, nullptr) != DD_OK) return pixels;
        const DWORD rowBytes = desc.dwWidth * (desc.ddpfPixelFormat.dwRGBBitCount / 8);
        for (DWORD y = 0; y < desc.dwHeight; ++y) {
            const BYTE* row = static_cast<const BYTE*>(desc.lpSurface) + static_cast<ptrdiff_t>(y) * desc.lPitch;
            pixels.insert(pixels.end(), row, row + rowBytes);
        }
        surface->Unlock(nullptr);
        return pixels;
    }

    static void SetPixelByte(LPDIRECTDRAWSURFACE4 surface, DWORD x, DWORD y, BYTE value) {
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
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
