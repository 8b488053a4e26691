#include "surface.h"

#include <cstring>

namespace platform {

Surface::Surface(DWORD width, DWORD height, DWORD bitCount, LONG pitch, BYTE* memory)
    : width_(width), height_(height), bitCount_(bitCount), pitch_(pitch), bits_(memory) {
    if (!bits_) {
        own_.assign(static_cast<size_t>(pitch_) * height_, 0);
        bits_ = own_.data();
    }
}

Surface::~Surface() = default;

HRESULT Surface::QueryInterface(REFIID, void** ppvObject) {
    if (ppvObject) *ppvObject = nullptr;
    return E_NOINTERFACE;
}

ULONG Surface::AddRef() { return ++refs_; }

ULONG Surface::Release() {
    ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

void Surface::Describe(DDSURFACEDESC2& desc) const {
    const DWORD size = desc.dwSize;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = size;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT;
    desc.dwWidth = width_;
    desc.dwHeight = height_;
    desc.lPitch = pitch_;
    desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
    desc.ddpfPixelFormat.dwRGBBitCount = bitCount_;
    if (bitCount_ == 8) {
        desc.ddpfPixelFormat.dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8;
    } else {
        desc.ddpfPixelFormat.dwFlags = DDPF_RGB;
        if (bitCount_ == 16) {
            desc.ddpfPixelFormat.dwRBitMask = 0xF800;
            desc.ddpfPixelFormat.dwGBitMask = 0x07E0;
            desc.ddpfPixelFormat.dwBBitMask = 0x001F;
        } else {
            desc.ddpfPixelFormat.dwRBitMask = 0xFF0000;
            desc.ddpfPixelFormat.dwGBitMask = 0x00FF00;
            desc.ddpfPixelFormat.dwBBitMask = 0x0000FF;
        }
    }
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
}

HRESULT Surface::Lock(LPRECT lpDestRect, LPDDSURFACEDESC2 lpDDSurfaceDesc, DWORD, HANDLE) {
    if (!lpDDSurfaceDesc || lpDDSurfaceDesc->dwSize != sizeof(DDSURFACEDESC2)) return DDERR_INVALIDPARAMS;
    if (lpDDSurfaceDesc && lpDestRect) return DDERR_UNSUPPORTED;
    if (locked_) return DDERR_SURFACEBUSY;
    locked_ = true;
    Describe(*lpDDSurfaceDesc);
    lpDDSurfaceDesc->dwFlags |= DDSD_LPSURFACE;
    lpDDSurfaceDesc->lpSurface = bits_;
    return DD_OK;
}

HRESULT Surface::Unlock(LPRECT) {
    if (!locked_) return DDERR_NOTLOCKED;
    locked_ = false;
    return DD_OK;
}

HRESULT Surface::GetSurfaceDesc(LPDDSURFACEDESC2 lpDDSurfaceDesc) {
    if (!lpDDSurfaceDesc || lpDDSurfaceDesc->dwSize != sizeof(DDSURFACEDESC2)) return DDERR_INVALIDPARAMS;
    Describe(*lpDDSurfaceDesc);
    return DD_OK;
}

// Not yet supported by the in-memory surface.
HRESULT Surface::Blt(LPRECT, LPDIRECTDRAWSURFACE4, LPRECT, DWORD, LPDDBLTFX) { return DDERR_UNSUPPORTED; }
HRESULT Surface::Flip(LPDIRECTDRAWSURFACE4, DWORD) { return DDERR_UNSUPPORTED; }
HRESULT Surface::GetAttachedSurface(LPDDSCAPS2, LPDIRECTDRAWSURFACE4 FAR*) { return DDERR_UNSUPPORTED; }
HRESULT Surface::GetDC(HDC FAR*) { return DDERR_UNSUPPORTED; }
HRESULT Surface::GetPalette(LPDIRECTDRAWPALETTE FAR*) { return DDERR_UNSUPPORTED; }
HRESULT Surface::IsLost() { return DD_OK; }
HRESULT Surface::ReleaseDC(HDC) { return DDERR_UNSUPPORTED; }
HRESULT Surface::Restore() { return DD_OK; }
HRESULT Surface::SetColorKey(DWORD, LPDDCOLORKEY) { return DDERR_UNSUPPORTED; }
HRESULT Surface::SetPalette(LPDIRECTDRAWPALETTE) { return DDERR_UNSUPPORTED; }

}  // namespace platform
