#include "scripted_surface.h"

#include "testing/memory_surface.h"

namespace {
constexpr DWORD SIDE = 16;
}

ScriptedSurface::ScriptedSurface(std::string name, DWORD bitCount, std::vector<std::string>* log)
    : name_(std::move(name)), log_(log), memory_(SIDE * SIDE * 4) {
    inner_ = platform::CreateMemorySurface(SIDE, SIDE, bitCount, static_cast<LONG>(SIDE * bitCount / 8),
                                           memory_.data());
}

ScriptedSurface::~ScriptedSurface() { inner_->Release(); }

BYTE* ScriptedSurface::Bits() { return memory_.data(); }

HRESULT ScriptedSurface::Lock(LPRECT lpDestRect, LPDDSURFACEDESC2 lpDDSurfaceDesc, DWORD dwFlags, HANDLE hEvent) {
    ++lockCalls;
    lockedWithRect = lpDestRect != NULL;
    lockFlags = dwFlags;
    if (stillDrawingAnswers > 0) {
        --stillDrawingAnswers;
        log_->push_back("still drawing " + name_);
        return DDERR_WASSTILLDRAWING;
    }
    if (lockFailure != DD_OK) {
        log_->push_back("refuse " + name_);
        return lockFailure;
    }
    const HRESULT result = inner_->Lock(lpDestRect, lpDDSurfaceDesc, dwFlags, hEvent);
    log_->push_back((result == DD_OK ? "lock " : "failed lock ") + name_);
    return result;
}

HRESULT ScriptedSurface::Unlock(LPRECT lpRect) {
    const HRESULT result = inner_->Unlock(lpRect);
    log_->push_back((result == DD_OK ? "unlock " : "failed unlock ") + name_);
    return result;
}

HRESULT ScriptedSurface::QueryInterface(REFIID, void** ppvObject) {
    if (ppvObject) *ppvObject = nullptr;
    return E_NOINTERFACE;
}
// Owned by the test that made it, not by reference counts.
ULONG ScriptedSurface::AddRef() { return 1; }
ULONG ScriptedSurface::Release() { return 1; }
HRESULT ScriptedSurface::Blt(LPRECT, LPDIRECTDRAWSURFACE4, LPRECT, DWORD, LPDDBLTFX) { return DDERR_UNSUPPORTED; }
HRESULT ScriptedSurface::Flip(LPDIRECTDRAWSURFACE4, DWORD) { return DDERR_UNSUPPORTED; }
HRESULT ScriptedSurface::GetAttachedSurface(LPDDSCAPS2, LPDIRECTDRAWSURFACE4 FAR*) { return DDERR_UNSUPPORTED; }
HRESULT ScriptedSurface::GetDC(HDC FAR*) { return DDERR_UNSUPPORTED; }
HRESULT ScriptedSurface::GetPalette(LPDIRECTDRAWPALETTE FAR*) { return DDERR_UNSUPPORTED; }
HRESULT ScriptedSurface::GetSurfaceDesc(LPDDSURFACEDESC2 desc) { return inner_->GetSurfaceDesc(desc); }
HRESULT ScriptedSurface::IsLost() { return DD_OK; }
HRESULT ScriptedSurface::ReleaseDC(HDC) { return DDERR_UNSUPPORTED; }
HRESULT ScriptedSurface::Restore() { return DD_OK; }
HRESULT ScriptedSurface::SetColorKey(DWORD, LPDDCOLORKEY) { return DDERR_UNSUPPORTED; }
HRESULT ScriptedSurface::SetPalette(LPDIRECTDRAWPALETTE) { return DDERR_UNSUPPORTED; }
