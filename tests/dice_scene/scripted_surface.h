// A surface that writes every Lock and Unlock into a shared log and can be told
// to answer "still drawing" a number of times, or to fail, before it locks. The
// pixels live in an in-memory surface.
#ifndef TESTS_DICE_SCENE_SCRIPTED_SURFACE_H
#define TESTS_DICE_SCENE_SCRIPTED_SURFACE_H

#include <ddraw.h>

#include <string>
#include <vector>

class ScriptedSurface final : public IDirectDrawSurface4 {
public:
    ScriptedSurface(std::string name, DWORD bitCount, std::vector<std::string>* log);
    ~ScriptedSurface();
    ScriptedSurface(const ScriptedSurface&) = delete;
    ScriptedSurface& operator=(const ScriptedSurface&) = delete;

    int stillDrawingAnswers = 0;  // answered before the lock is granted
    HRESULT lockFailure = DD_OK;  // answered instead of locking when not DD_OK
    int lockCalls = 0;
    bool lockedWithRect = false;
    DWORD lockFlags = 0;

    BYTE* Bits();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE Blt(LPRECT, LPDIRECTDRAWSURFACE4, LPRECT, DWORD, LPDDBLTFX) override;
    HRESULT STDMETHODCALLTYPE Flip(LPDIRECTDRAWSURFACE4, DWORD) override;
    HRESULT STDMETHODCALLTYPE GetAttachedSurface(LPDDSCAPS2, LPDIRECTDRAWSURFACE4 FAR*) override;
    HRESULT STDMETHODCALLTYPE GetDC(HDC FAR*) override;
    HRESULT STDMETHODCALLTYPE GetPalette(LPDIRECTDRAWPALETTE FAR*) override;
    HRESULT STDMETHODCALLTYPE GetSurfaceDesc(LPDDSURFACEDESC2) override;
    HRESULT STDMETHODCALLTYPE IsLost() override;
    HRESULT STDMETHODCALLTYPE Lock(LPRECT lpDestRect, LPDDSURFACEDESC2 lpDDSurfaceDesc, DWORD dwFlags,
                                   HANDLE hEvent) override;
    HRESULT STDMETHODCALLTYPE ReleaseDC(HDC) override;
    HRESULT STDMETHODCALLTYPE Restore() override;
    HRESULT STDMETHODCALLTYPE SetColorKey(DWORD, LPDDCOLORKEY) override;
    HRESULT STDMETHODCALLTYPE SetPalette(LPDIRECTDRAWPALETTE) override;
    HRESULT STDMETHODCALLTYPE Unlock(LPRECT lpRect) override;

private:
    std::string name_;
    std::vector<std::string>* log_;
    std::vector<BYTE> memory_;
    LPDIRECTDRAWSURFACE4 inner_;
};

#endif
