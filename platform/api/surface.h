// A DirectDraw surface held in ordinary memory: the pixels of every surface the
// platform hands out, whichever display shows them.
#ifndef PLATFORM_API_SURFACE_H
#define PLATFORM_API_SURFACE_H

#include <ddraw.h>

#include <cstddef>
#include <vector>

namespace platform {

class Palette;

class Surface final : public IDirectDrawSurface4 {
public:
    // An off-screen surface. memory null: the surface owns rows of pitch
    // bytes. Otherwise the surface addresses the caller's memory, which must
    // outlive it.
    Surface(DWORD width, DWORD height, DWORD bitCount, LONG pitch, BYTE* memory = nullptr);

    // A primary surface with one back buffer behind it. The back buffer is
    // part of the primary: it goes when the primary goes, whatever references
    // to it are still held, and releasing those references never frees it.
    static Surface* CreateFlippingChain(DWORD width, DWORD height, DWORD bitCount);

    // The primary surface alive now, or null: there is one display.
    static Surface* Primary();

    // Rows of whole pixels padded to 4 bytes.
    static LONG AlignedPitch(DWORD width, DWORD bitCount);

    // The surface behind an interface pointer, or null when it is none of ours
    // or no longer alive.
    static Surface* FromInterface(IDirectDrawSurface4* surface);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE Blt(LPRECT lpDestRect, LPDIRECTDRAWSURFACE4 lpDDSrcSurface, LPRECT lpSrcRect,
                                  DWORD dwFlags, LPDDBLTFX lpDDBltFx) override;
    HRESULT STDMETHODCALLTYPE Flip(LPDIRECTDRAWSURFACE4 lpDDSurfaceTargetOverride, DWORD dwFlags) override;
    HRESULT STDMETHODCALLTYPE GetAttachedSurface(LPDDSCAPS2 lpDDSCaps,
                                                 LPDIRECTDRAWSURFACE4 FAR* lplpDDAttachedSurface) override;
    HRESULT STDMETHODCALLTYPE GetDC(HDC FAR* lphDC) override;
    HRESULT STDMETHODCALLTYPE GetSurfaceDesc(LPDDSURFACEDESC2 lpDDSurfaceDesc) override;
    HRESULT STDMETHODCALLTYPE Lock(LPRECT lpDestRect, LPDDSURFACEDESC2 lpDDSurfaceDesc, DWORD dwFlags,
                                   HANDLE hEvent) override;
    HRESULT STDMETHODCALLTYPE ReleaseDC(HDC hDC) override;
    HRESULT STDMETHODCALLTYPE Restore() override;
    HRESULT STDMETHODCALLTYPE SetColorKey(DWORD dwFlags, LPDDCOLORKEY lpDDColorKey) override;
    HRESULT STDMETHODCALLTYPE SetPalette(LPDIRECTDRAWPALETTE lpDDPalette) override;
    HRESULT STDMETHODCALLTYPE Unlock(LPRECT lpRect) override;

    DWORD Width() const { return width_; }
    DWORD Height() const { return height_; }
    DWORD BitCount() const { return bitCount_; }
    LONG Pitch() const { return pitch_; }
    BYTE* Bits() { return bits_; }

    // The colours that an 8-bit surface's pixel values stand for: its own
    // palette, else the palette of the display (the primary surface's), else
    // the default ramp.
    const PALETTEENTRY* Colours() const;

    // Marks the surface lost, as when the display is taken away.
    void Lose() { lost_ = true; }

private:
    enum class Role { OffScreen, Front, Back };

    ~Surface();
    void Describe(DDSURFACEDESC2& desc) const;
    DWORD Caps() const;
    bool Inside(const RECT& rect) const;
    bool Busy() const { return locked_ || dc_ != nullptr; }
    HRESULT LostResult() const;
    void FillPattern();

    Role role_ = Role::OffScreen;
    ULONG refs_ = 1;
    DWORD width_;
    DWORD height_;
    DWORD bitCount_;
    LONG pitch_;
    std::vector<BYTE> own_;
    BYTE* bits_;
    Surface* partner_ = nullptr;  // the other surface of a flipping chain
    Palette* palette_ = nullptr;  // a reference held
    HDC dc_ = nullptr;
    bool locked_ = false;
    bool lost_ = false;
    bool keyed_ = false;  // a source colour key is set
    DDCOLORKEY sourceKey_{};
};

// Surfaces alive now, back buffers included; tests use it to find leaks and
// double releases.
size_t LiveSurfaceCount();

// The byte that a restored surface holds at byte column x of row y: the
// contents after a restore are undefined, and an 8 x 8 checker of 0x55 and
// 0xAA makes a surface that was not reloaded stand out.
BYTE RestoredPatternByte(DWORD x, DWORD y);

}  // namespace platform

#endif
