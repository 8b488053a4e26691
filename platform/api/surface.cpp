#include "surface.h"

#include <cstring>
#include <utility>

#include "hosted.h"
#include "com.h"
#include "gdi.h"
#include "gdi_colour.h"
#include "palette.h"

namespace platform {
namespace {

LiveObjects<Surface, IDirectDrawSurface4>& LiveSurfaces() {
    static LiveObjects<Surface, IDirectDrawSurface4> live;
    return live;
}

Surface* primary = nullptr;

// {0B2B8630-AD35-11D0-8EA6-00609797EA5B}
constexpr GUID kIDirectDrawSurface4 = {0x0B2B8630, 0xAD35, 0x11D0, {0x8E, 0xA6, 0x00, 0x60, 0x97, 0x97, 0xEA, 0x5B}};

}  // namespace

Surface::Surface(DWORD width, DWORD height, DWORD bitCount, LONG pitch, BYTE* memory)
    : width_(width), height_(height), bitCount_(bitCount), pitch_(pitch), bits_(memory) {
    if (!bits_) {
        own_.assign(static_cast<size_t>(pitch_) * height_, 0);
        bits_ = own_.data();
    }
    LiveSurfaces().Add(this);
}

Surface::~Surface() {
    if (dc_) DestroySurfaceDC(dc_);
    if (palette_) palette_->Release();
    if (role_ == Role::Front) {
        delete partner_;
        primary = nullptr;
    }
    LiveSurfaces().Remove(this);
}

Surface* Surface::CreateFlippingChain(DWORD width, DWORD height, DWORD bitCount) {
    const LONG pitch = AlignedPitch(width, bitCount);
    auto* front = new Surface(width, height, bitCount, pitch);
    auto* back = new Surface(width, height, bitCount, pitch);
    front->role_ = Role::Front;
    back->role_ = Role::Back;
    back->refs_ = 0;  // owned by the chain; references come from GetAttachedSurface
    front->partner_ = back;
    back->partner_ = front;
    primary = front;
    return front;
}

Surface* Surface::Primary() { return primary; }

LONG Surface::AlignedPitch(DWORD width, DWORD bitCount) {
    return static_cast<LONG>((static_cast<size_t>(width) * (bitCount / 8) + 3) & ~size_t{3});
}

Surface* Surface::FromInterface(IDirectDrawSurface4* surface) { return LiveSurfaces().Find(surface); }

const PALETTEENTRY* Surface::Colours() const {
    if (palette_) return palette_->Entries();
    if (primary && primary->palette_) return primary->palette_->Entries();
    return DefaultRamp();
}

HRESULT Surface::QueryInterface(REFIID riid, void** ppvObject) {
    return QueryOwnInterface<IDirectDrawSurface4>(this, kIDirectDrawSurface4, riid, ppvObject);
}

ULONG Surface::AddRef() { return ++refs_; }

ULONG Surface::Release() {
    if (role_ == Role::Back) {
        if (refs_ > 0) --refs_;
        return refs_;
    }
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

DWORD Surface::Caps() const {
    switch (role_) {
    case Role::Front:
        return DDSCAPS_PRIMARYSURFACE | DDSCAPS_FRONTBUFFER | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_VISIBLE;
    case Role::Back:
        return DDSCAPS_BACKBUFFER | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    default:
        return DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    }
}

bool Surface::Inside(const RECT& rect) const {
    return rect.left >= 0 && rect.top >= 0 && rect.left < rect.right && rect.top < rect.bottom &&
           rect.right <= static_cast<LONG>(width_) && rect.bottom <= static_cast<LONG>(height_);
}

HRESULT Surface::LostResult() const {
    if (DisplayAway()) MissedRefresh();
    return DDERR_SURFACELOST;
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
    desc.ddsCaps.dwCaps = Caps();
    if (role_ == Role::Front) {
        desc.dwFlags |= DDSD_BACKBUFFERCOUNT;
        desc.dwBackBufferCount = 1;
    }
    if (keyed_) {
        desc.dwFlags |= DDSD_CKSRCBLT;
        desc.ddckCKSrcBlt = sourceKey_;
    }
}

HRESULT Surface::Lock(LPRECT lpDestRect, LPDDSURFACEDESC2 lpDDSurfaceDesc, DWORD dwFlags, HANDLE) {
    if (HRESULT failure = ScriptedFailure("Lock"); FAILED(failure)) return failure;
    if (!lpDDSurfaceDesc || lpDDSurfaceDesc->dwSize != sizeof(DDSURFACEDESC2)) return DDERR_INVALIDPARAMS;
    RECT area = {0, 0, static_cast<LONG>(width_), static_cast<LONG>(height_)};
    if (lpDestRect) {
        if (!Inside(*lpDestRect)) return DDERR_INVALIDRECT;
        area = *lpDestRect;
    }
    if (lost_) return DDERR_SURFACELOST;
    if (!(dwFlags & DDLOCK_WAIT) && TakeStillDrawing()) return DDERR_WASSTILLDRAWING;
    if (Busy()) return DDERR_SURFACEBUSY;
    locked_ = true;
    Describe(*lpDDSurfaceDesc);
    lpDDSurfaceDesc->dwFlags |= DDSD_LPSURFACE;
    lpDDSurfaceDesc->lpSurface =
        bits_ + static_cast<ptrdiff_t>(area.top) * pitch_ + static_cast<ptrdiff_t>(area.left) * (bitCount_ / 8);
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

HRESULT Surface::Blt(LPRECT lpDestRect, LPDIRECTDRAWSURFACE4 lpDDSrcSurface, LPRECT lpSrcRect, DWORD dwFlags,
                     LPDDBLTFX lpDDBltFx) {
    if (HRESULT failure = ScriptedFailure("Blt"); FAILED(failure)) return failure;
    // Colour fills are the only blits there are.
    if (!(dwFlags & DDBLT_COLORFILL) || (dwFlags & ~(DDBLT_COLORFILL | DDBLT_WAIT)) || lpDDSrcSurface || lpSrcRect)
        return DDERR_UNSUPPORTED;
    if (!lpDDBltFx || lpDDBltFx->dwSize != sizeof(DDBLTFX)) return DDERR_INVALIDPARAMS;
    RECT area = {0, 0, static_cast<LONG>(width_), static_cast<LONG>(height_)};
    if (lpDestRect) {
        if (!Inside(*lpDestRect)) return DDERR_INVALIDRECT;
        area = *lpDestRect;
    }
    if (lost_) return LostResult();
    if (Busy()) return DDERR_SURFACEBUSY;
    const DWORD bytes = bitCount_ / 8;
    const DWORD colour = lpDDBltFx->dwFillColor;
    // Rows that lie end to end are filled as one: every frame begins with a
    // fill of the whole screen.
    LONG rows = area.bottom - area.top;
    size_t run = static_cast<size_t>(area.right - area.left);
    if (area.left == 0 && run == width_ && static_cast<size_t>(pitch_) == run * bytes) run *= rows, rows = 1;
    for (LONG i = 0; i < rows; ++i) {
        BYTE* pixel = bits_ + static_cast<ptrdiff_t>(area.top + i) * pitch_ + static_cast<ptrdiff_t>(area.left) * bytes;
        if (bytes == 1) {
            std::memset(pixel, static_cast<BYTE>(colour), run);
            continue;
        }
        for (size_t x = 0; x < run; ++x) WritePixel(pixel + x * bytes, bytes, colour);
    }
    return DD_OK;
}

HRESULT Surface::Flip(LPDIRECTDRAWSURFACE4 lpDDSurfaceTargetOverride, DWORD) {
    if (HRESULT failure = ScriptedFailure("Flip"); FAILED(failure)) return failure;
    if (role_ != Role::Front) return DDERR_NOTFLIPPABLE;
    if (lpDDSurfaceTargetOverride && FromInterface(lpDDSurfaceTargetOverride) != partner_)
        return DDERR_INVALIDPARAMS;
    if (lost_ || partner_->lost_) return LostResult();
    if (Busy() || partner_->Busy()) return DDERR_SURFACEBUSY;
    std::swap(own_, partner_->own_);
    bits_ = own_.data();
    partner_->bits_ = partner_->own_.data();
    PresentFrame(bits_, pitch_, width_, height_, palette_ ? palette_->Entries() : nullptr);
    return DD_OK;
}

HRESULT Surface::GetAttachedSurface(LPDDSCAPS2 lpDDSCaps, LPDIRECTDRAWSURFACE4 FAR* lplpDDAttachedSurface) {
    if (!lpDDSCaps || !lplpDDAttachedSurface) return DDERR_INVALIDPARAMS;
    *lplpDDAttachedSurface = nullptr;
    if (HRESULT failure = ScriptedFailure("GetAttachedSurface"); FAILED(failure)) return failure;
    if (!partner_ || (partner_->Caps() & lpDDSCaps->dwCaps) != lpDDSCaps->dwCaps) return DDERR_NOTFOUND;
    partner_->AddRef();
    *lplpDDAttachedSurface = partner_;
    return DD_OK;
}

HRESULT Surface::GetDC(HDC FAR* lphDC) {
    if (!lphDC) return DDERR_INVALIDPARAMS;
    *lphDC = nullptr;
    if (HRESULT failure = ScriptedFailure("GetDC"); FAILED(failure)) return failure;
    if (lost_) return DDERR_SURFACELOST;
    if (dc_) return DDERR_DCALREADYCREATED;
    if (locked_) return DDERR_SURFACEBUSY;
    dc_ = CreateSurfaceDC(this);
    *lphDC = dc_;
    return DD_OK;
}

HRESULT Surface::ReleaseDC(HDC hDC) {
    if (!dc_) return DDERR_NODC;
    if (hDC != dc_) return DDERR_INVALIDPARAMS;
    DestroySurfaceDC(dc_);
    dc_ = nullptr;
    return DD_OK;
}

HRESULT Surface::SetPalette(LPDIRECTDRAWPALETTE lpDDPalette) {
    if (bitCount_ != 8) return DDERR_NOTPALETTIZED;
    Palette* next = nullptr;
    if (lpDDPalette) {
        next = Palette::FromInterface(lpDDPalette);
        if (!next) return DDERR_INVALIDOBJECT;
        next->AddRef();
    }
    if (palette_) palette_->Release();
    palette_ = next;
    return DD_OK;
}

HRESULT Surface::Restore() {
    if (HRESULT failure = ScriptedFailure("Restore"); FAILED(failure)) return failure;
    if (!lost_ && !(partner_ && partner_->lost_)) return DD_OK;
    if (DisplayAway()) return DDERR_WRONGMODE;
    // A flipping chain comes back whole.
    for (Surface* surface : {this, partner_}) {
        if (surface && surface->lost_) {
            surface->lost_ = false;
            surface->FillPattern();
        }
    }
    return DD_OK;
}

void Surface::FillPattern() {
    const DWORD rowBytes = width_ * (bitCount_ / 8);
    for (DWORD y = 0; y < height_; ++y) {
        BYTE* row = bits_ + static_cast<ptrdiff_t>(y) * pitch_;
        for (DWORD x = 0; x < rowBytes; ++x) row[x] = RestoredPatternByte(x, y);
    }
}

// The surface utilities set source keys only.
HRESULT Surface::SetColorKey(DWORD dwFlags, LPDDCOLORKEY lpDDColorKey) {
    if (dwFlags != DDCKEY_SRCBLT) return DDERR_INVALIDPARAMS;
    keyed_ = lpDDColorKey != nullptr;
    if (keyed_) sourceKey_ = *lpDDColorKey;
    return DD_OK;
}

size_t LiveSurfaceCount() { return LiveSurfaces().Count(); }

BYTE RestoredPatternByte(DWORD x, DWORD y) { return ((x >> 3) ^ (y >> 3)) & 1 ? 0xAA : 0x55; }

void LoseAllSurfaces() {
    for (Surface* surface : LiveSurfaces().All()) surface->Lose();
}

}  // namespace platform
