// A screen inside guard bands and a surface that logs its locks; failures come from the platform's scripting.
#pragma once
#include <ddraw.h>
#include <set>
#include <string>
#include <utility>
#include <vector>
using Pixel = std::pair<int, int>;  // column, row
using PixelSet = std::set<Pixel>;
constexpr BYTE kBlank = 0xFF;
// In a band of kBlank bytes nothing may change; without one the memory ends with the last pixel, for the sanitizer.
class GuardedScreen {
public:
    static constexpr int kBand = 48;
    explicit GuardedScreen(int width = 640, int height = 480, DWORD bitCount = 8, int band = kBand);
    ~GuardedScreen();
    GuardedScreen(const GuardedScreen&) = delete;  // the platform surface points into memory_
    const DDSURFACEDESC2* Desc() const { return &desc_; }  // as a lock fills it
    LPDIRECTDRAWSURFACE4 Surface() const { return surface_; }  // a platform surface over the same bytes
    BYTE At(int x, int y) const { return memory_[(band + y) * pitch + band + x]; }
    BYTE* Line(int y) { return &memory_[(band + y) * pitch]; }  // from the first band byte of row y
    void Clear() { memory_.assign(memory_.size(), kBlank); }
    PixelSet Drawn() const;  // bytes of the screen that are not kBlank
    bool GuardsIntact() const;
    const int width, height, band, pitch;
private:
    std::vector<BYTE> memory_;
    DDSURFACEDESC2 desc_ = {};
    LPDIRECTDRAWSURFACE4 surface_;
};
// Logs "lock/busy/refused/unlock NAME" ("misused" for a partial lock, flags or an event); each unlock keeps
// what was drawn since the lock and clears the screen.
class LoggedSurface final : public IDirectDrawSurface4 {
public:
    LoggedSurface(std::string name, GuardedScreen& screen, std::vector<std::string>& log)
        : name_(std::move(name)), screen_(screen), log_(log) {}
    std::vector<PixelSet> runs;
    HRESULT STDMETHODCALLTYPE Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD flags, HANDLE event) override;
    HRESULT STDMETHODCALLTYPE Unlock(LPRECT rect) override;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override { return *object = nullptr, E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE Blt(LPRECT, LPDIRECTDRAWSURFACE4, LPRECT, DWORD, LPDDBLTFX) override { return DDERR_UNSUPPORTED; }
    HRESULT STDMETHODCALLTYPE Flip(LPDIRECTDRAWSURFACE4, DWORD) override { return DDERR_UNSUPPORTED; }
    HRESULT STDMETHODCALLTYPE GetAttachedSurface(LPDDSCAPS2, LPDIRECTDRAWSURFACE4 FAR*) override { return DDERR_UNSUPPORTED; }
    HRESULT STDMETHODCALLTYPE GetDC(HDC FAR*) override { return DDERR_UNSUPPORTED; }
    HRESULT STDMETHODCALLTYPE GetSurfaceDesc(LPDDSURFACEDESC2 desc) override { return screen_.Surface()->GetSurfaceDesc(desc); }
    HRESULT STDMETHODCALLTYPE IsLost() override { return screen_.Surface()->IsLost(); }
    HRESULT STDMETHODCALLTYPE ReleaseDC(HDC) override { return DDERR_UNSUPPORTED; }
    HRESULT STDMETHODCALLTYPE Restore() override { return screen_.Surface()->Restore(); }
    HRESULT STDMETHODCALLTYPE SetColorKey(DWORD, LPDDCOLORKEY) override { return DDERR_UNSUPPORTED; }
    HRESULT STDMETHODCALLTYPE SetPalette(LPDIRECTDRAWPALETTE) override { return DDERR_UNSUPPORTED; }
private:
    std::string name_;
    GuardedScreen& screen_;
    std::vector<std::string>& log_;
};
