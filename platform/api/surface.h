// A DirectDraw surface held in ordinary memory: the pixels of every surface the
// platform hands out, whichever display shows them.
#ifndef PLATFORM_API_SURFACE_H
#define PLATFORM_API_SURFACE_H

#include <ddraw.h>

#include <vector>

namespace platform {

class Surface final : public IDirectDrawSurface4 {
public:
    // memory null: the surface owns rows of pitch bytes. Otherwise the
    // surface addresses the caller's memory, which must outlive it.
    Surface(DWORD width, DWORD height, DWORD bitCount, LONG pitch, BYTE* memory = nullptr);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE Blt(LPRECT lpDestRect, LPDIRECTDRAWSURFACE4 lpDDSrcSurface, LPRECT lpSrcRect,
                                  DWORD dwFlags, LPDDBLTFX lpDDBltFx) override;
    HRESULT STDMETHODCALLTYPE Flip(LPDIRECTDRAWSURFACE4 lpDDSurfaceTargetOverride, DWORD dwFlags) override;
    HRESULT STDMETHODCALLTYPE GetAttachedSurface(LPDDSCAPS2 lpDDSCaps,
                                                 LPDIRECTDRAWSURFACE4 FAR* lplpDDAttachedSurface) override;
    HRESULT STDMETHODCALLTYPE GetDC(HDC FAR* lphDC) override;
    HRESULT STDMETHODCALLTYPE GetPalette(LPDIRECTDRAWPALETTE FAR* lplpDDPalette) override;
    HRESULT STDMETHODCALLTYPE GetSurfaceDesc(LPDDSURFACEDESC2 lpDDSurfaceDesc) override;
    HRESULT STDMETHODCALLTYPE IsLost() override;
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

private:
    ~Surface();
    void Describe(DDSURFACEDESC2& desc) const;

    ULONG refs_ = 1;
    DWORD width_;
    DWORD height_;
    DWORD bitCount_;
    LONG pitch_;
    std::vector<BYTE> own_;
    BYTE* bits_;
    bool locked_ = false;
};

}  // namespace platform

#endif
