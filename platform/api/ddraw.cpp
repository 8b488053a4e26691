#include "directdraw.h"

#include <ddraw.h>

#include "com.h"
#include "gdi_bmp.h"
#include "hosted.h"
#include "palette.h"
#include "surface.h"

// {6C14DB80-A733-11CE-A521-0020AF0BE560}
extern "C" const GUID IID_IDirectDraw = {0x6C14DB80, 0xA733, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
// {9C59509A-39BD-11D1-8C4A-00C04FD930C5}
extern "C" const GUID IID_IDirectDraw4 = {0x9C59509A, 0x39BD, 0x11D1, {0x8C, 0x4A, 0x00, 0xC0, 0x4F, 0xD9, 0x30, 0xC5}};

namespace platform {
namespace {

size_t liveObjects = 0;

struct DisplayMode {
    DWORD width;
    DWORD height;
    DWORD bitCount;
};

// The emulated display has the one mode the programs ask for.
constexpr DisplayMode kDesktopMode = {640, 480, 8};

// One object answers for both interfaces, with one reference count, as COM
// identity asks.
class DirectDraw final : public IDirectDraw, public IDirectDraw4 {
public:
    DirectDraw() { ++liveObjects; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override {
        if (!ppvObject) return E_POINTER;
        *ppvObject = nullptr;
        if (HRESULT failure = ScriptedFailure("QueryInterface"); FAILED(failure)) return failure;
        if (riid == IID_IDirectDraw4) {
            *ppvObject = static_cast<IDirectDraw4*>(this);
        } else if (riid == IID_IDirectDraw || riid == kIUnknown) {
            *ppvObject = static_cast<IDirectDraw*>(this);
        } else {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }

    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }

    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND hWnd, DWORD dwFlags) override {
        if (HRESULT failure = ScriptedFailure("SetCooperativeLevel"); FAILED(failure)) return failure;
        const bool exclusive = dwFlags & DDSCL_EXCLUSIVE, fullScreen = dwFlags & DDSCL_FULLSCREEN;
        const bool normal = dwFlags & DDSCL_NORMAL;
        if (exclusive != fullScreen || exclusive == normal || (exclusive && !hWnd)) return DDERR_INVALIDPARAMS;
        LeaveExclusiveMode();
        if (exclusive) {
            exclusiveWindow_ = hWnd;
            SetExclusiveMode(hWnd, true);
        }
        levelSet_ = true;
        return DD_OK;
    }

    HRESULT STDMETHODCALLTYPE SetDisplayMode(DWORD dwWidth, DWORD dwHeight, DWORD dwBPP) override {
        if (HRESULT failure = ScriptedFailure("SetDisplayMode"); FAILED(failure)) return failure;
        if (dwWidth != kDesktopMode.width || dwHeight != kDesktopMode.height || dwBPP != kDesktopMode.bitCount)
            return DDERR_INVALIDMODE;
        return DD_OK;
    }

    HRESULT STDMETHODCALLTYPE SetDisplayMode(DWORD dwWidth, DWORD dwHeight, DWORD dwBPP, DWORD,
                                             DWORD) override {
        return SetDisplayMode(dwWidth, dwHeight, dwBPP);
    }

    HRESULT STDMETHODCALLTYPE RestoreDisplayMode() override { return DD_OK; }

    HRESULT STDMETHODCALLTYPE CreatePalette(DWORD dwFlags, LPPALETTEENTRY lpColorTable,
                                            LPDIRECTDRAWPALETTE FAR* lplpDDPalette,
                                            IUnknown FAR* pUnkOuter) override {
        if (!lplpDDPalette) return DDERR_INVALIDPARAMS;
        *lplpDDPalette = nullptr;
        if (HRESULT failure = ScriptedFailure("CreatePalette"); FAILED(failure)) return failure;
        if (pUnkOuter) return CLASS_E_NOAGGREGATION;
        Palette* palette = nullptr;
        const HRESULT result = Palette::Create(dwFlags, lpColorTable, &palette);
        *lplpDDPalette = palette;
        return result;
    }

    HRESULT STDMETHODCALLTYPE CreateSurface(LPDDSURFACEDESC2 lpDDSurfaceDesc2, LPDIRECTDRAWSURFACE4 FAR* lplpDDSurface,
                                            IUnknown FAR* pUnkOuter) override {
        if (!lplpDDSurface) return DDERR_INVALIDPARAMS;
        *lplpDDSurface = nullptr;
        if (HRESULT failure = ScriptedFailure("CreateSurface"); FAILED(failure)) return failure;
        if (pUnkOuter) return CLASS_E_NOAGGREGATION;
        if (!lpDDSurfaceDesc2 || lpDDSurfaceDesc2->dwSize != sizeof(DDSURFACEDESC2) ||
            !(lpDDSurfaceDesc2->dwFlags & DDSD_CAPS))
            return DDERR_INVALIDPARAMS;
        const DDSURFACEDESC2& desc = *lpDDSurfaceDesc2;
        if (desc.ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE) return CreatePrimary(desc, lplpDDSurface);
        if (desc.ddsCaps.dwCaps & DDSCAPS_OFFSCREENPLAIN) return CreateOffScreen(desc, lplpDDSurface);
        return DDERR_INVALIDCAPS;
    }

private:
    ~DirectDraw() {
        LeaveExclusiveMode();
        --liveObjects;
    }

    // The window gives the display back: minimising it no longer takes the
    // display away.
    void LeaveExclusiveMode() {
        if (exclusiveWindow_) SetExclusiveMode(exclusiveWindow_, false);
        exclusiveWindow_ = nullptr;
    }

    // A primary with exactly one back buffer, in the display mode.
    HRESULT CreatePrimary(const DDSURFACEDESC2& desc, LPDIRECTDRAWSURFACE4* surface) const {
        constexpr DWORD kChain = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
        if (!levelSet_) return DDERR_NOCOOPERATIVELEVELSET;
        if (desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT)) return DDERR_INVALIDPARAMS;
        if ((desc.ddsCaps.dwCaps & kChain) != kChain) return DDERR_INVALIDCAPS;
        if (!(desc.dwFlags & DDSD_BACKBUFFERCOUNT) || desc.dwBackBufferCount != 1) return DDERR_INVALIDPARAMS;
        if (!exclusiveWindow_) return DDERR_NOEXCLUSIVEMODE;
        if (Surface::Primary()) return DDERR_INVALIDCAPS;
        *surface = Surface::CreateFlippingChain(kDesktopMode.width, kDesktopMode.height, kDesktopMode.bitCount);
        return DD_OK;
    }

    // Off-screen surfaces live in system memory, in the display's pixel format.
    HRESULT CreateOffScreen(const DDSURFACEDESC2& desc, LPDIRECTDRAWSURFACE4* surface) const {
        constexpr DWORD kSize = DDSD_WIDTH | DDSD_HEIGHT;
        if ((desc.dwFlags & kSize) != kSize || desc.dwWidth == 0 || desc.dwHeight == 0) return DDERR_INVALIDPARAMS;
        if (desc.ddsCaps.dwCaps & ~(DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY)) return DDERR_INVALIDCAPS;
        if (desc.dwWidth > kMaxBitmapSide || desc.dwHeight > kMaxBitmapSide ||
            int64_t{desc.dwWidth} * desc.dwHeight > kMaxBitmapPixels)
            return DDERR_OUTOFMEMORY;
        if (desc.dwFlags & DDSD_PIXELFORMAT) {
            const DDPIXELFORMAT& format = desc.ddpfPixelFormat;
            if (format.dwRGBBitCount != kDesktopMode.bitCount || !(format.dwFlags & DDPF_PALETTEINDEXED8))
                return DDERR_INVALIDPIXELFORMAT;
        }
        *surface = new Surface(desc.dwWidth, desc.dwHeight, kDesktopMode.bitCount,
                               Surface::AlignedPitch(desc.dwWidth, kDesktopMode.bitCount));
        return DD_OK;
    }

    ULONG refs_ = 1;
    bool levelSet_ = false;
    HWND exclusiveWindow_ = nullptr;  // while in exclusive full-screen mode
};

}  // namespace

size_t LiveDirectDrawCount() { return liveObjects; }

}  // namespace platform

HRESULT WINAPI DirectDrawCreate(GUID FAR* lpGUID, LPDIRECTDRAW FAR* lplpDD, IUnknown FAR* pUnkOuter) {
    if (!lplpDD) return DDERR_INVALIDPARAMS;
    *lplpDD = nullptr;
    if (HRESULT failure = platform::ScriptedFailure("DirectDrawCreate"); FAILED(failure)) return failure;
    if (pUnkOuter) return CLASS_E_NOAGGREGATION;
    // Only the primary display driver is there.
    if (lpGUID) return DDERR_INVALIDPARAMS;
    *lplpDD = new platform::DirectDraw();
    return DD_OK;
}
