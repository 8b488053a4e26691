// A screen inside guard bands and a surface that logs its locks; failures come from the platform's scripting.
#pragma once
#include <ddraw.h>
#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>
#include "testing/memory_surface.h"
using Pixel = std::pair<int, int>;  // column, row
using PixelSet = std::set<Pixel>;
constexpr BYTE kBlank = 0xFF;
// In a band of kBlank bytes nothing may change; without one the memory ends with the last pixel, for the sanitizer.
class GuardedScreen {
public:
    static constexpr int kBand = 48;
    explicit GuardedScreen(int width = 640, int height = 480, DWORD bitCount = 8, int band = kBand)
        : width(width), height(height), band(band), pitch(width * static_cast<int>(bitCount / 8) + 2 * band),
          memory_(static_cast<size_t>(pitch) * (height + 2 * band), kBlank) {
        BYTE* first = &memory_[band * pitch + band];
        surface_ = platform::CreateMemorySurface(width, height, bitCount, pitch, first);
        desc_.dwSize = sizeof desc_, desc_.dwWidth = width, desc_.dwHeight = height, desc_.lPitch = pitch, desc_.lpSurface = first;
        desc_.ddpfPixelFormat.dwRGBBitCount = bitCount;
    }
    ~GuardedScreen() { surface_->Release(); }
    GuardedScreen(const GuardedScreen&) = delete;  // the platform surface points into memory_
    const DDSURFACEDESC2* Desc() const { return &desc_; }  // as a lock fills it
    LPDIRECTDRAWSURFACE4 Surface() const { return surface_; }  // a platform surface over the same bytes
    BYTE At(int x, int y) const { return memory_[(band + y) * pitch + band + x]; }
    BYTE* Line(int y) { return &memory_[(band + y) * pitch]; }  // from the first band byte of row y
    void Clear() { memory_.assign(memory_.size(), kBlank); }
    PixelSet Drawn() const {  // bytes of the screen that are not kBlank
        PixelSet drawn;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < pitch - 2 * band; ++x) if (At(x, y) != kBlank) drawn.insert({x, y});
        return drawn;
    }
    bool GuardsIntact() const {  // every byte changed lies on the screen
        return static_cast<size_t>(memory_.size() - std::count(memory_.begin(), memory_.end(), kBlank)) == Drawn().size();
    }
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
    HRESULT STDMETHODCALLTYPE Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD flags, HANDLE event) override {
        const HRESULT result = screen_.Surface()->Lock(rect, desc, flags, event);
        const char* what = result == DD_OK ? "lock " : result == DDERR_WASSTILLDRAWING ? "busy " : "refused ";
        log_.push_back((rect || flags || event ? "misused " : what) + name_);
        return result;
    }
    HRESULT STDMETHODCALLTYPE Unlock(LPRECT rect) override {
        const HRESULT result = screen_.Surface()->Unlock(rect);
        log_.push_back((result == DD_OK ? "unlock " : "misused ") + name_);
        runs.push_back(screen_.Drawn());
        return screen_.Clear(), result;
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override { return *object = nullptr, E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE Blt(LPRECT, LPDIRECTDRAWSURFACE4, LPRECT, DWORD, LPDDBLTFX) override { return DDERR_UNSUPPORTED; }
    HRESULT STDMETHODCALLTYPE Flip(LPDIRECTDRAWSURFACE4, DWORD) override { return DDERR_UNSUPPORTED; }
    HRESULT STDMETHODCALLTYPE GetAttachedSurface(LPDDSCAPS2, LPDIRECTDRAWSURFACE4 FAR*) override { return DDERR_UNSUPPORTED; }
    HRESULT STDMETHODCALLTYPE GetDC(HDC FAR*) override { return DDERR_UNSUPPORTED; }
    HRESULT STDMETHODCALLTYPE GetSurfaceDesc(LPDDSURFACEDESC2 desc) override { return screen_.Surface()->GetSurfaceDesc(desc); }
    HRESULT STDMETHODCALLTYPE ReleaseDC(HDC) override { return DDERR_UNSUPPORTED; }
    HRESULT STDMETHODCALLTYPE Restore() override { return screen_.Surface()->Restore(); }
    HRESULT STDMETHODCALLTYPE SetColorKey(DWORD, LPDDCOLORKEY) override { return DDERR_UNSUPPORTED; }
    HRESULT STDMETHODCALLTYPE SetPalette(LPDIRECTDRAWPALETTE) override { return DDERR_UNSUPPORTED; }
private:
    std::string name_;
    GuardedScreen& screen_;
    std::vector<std::string>& log_;
};
// The texel the view ray through a screen point meets on a textured plane, worked out apart from the renderer.
struct Vec { double x, y, z; };
inline Vec Sub(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec Cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
inline double Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
// On a 640 x 480 screen at scale 320: the hit weighs the corners by the areas opposite them.
template <class Vertex>
std::pair<double, double> TrueTexel(const Vertex& c0, const Vertex& c1, const Vertex& c2, double x, double y) {
    const Vec a{c0.x, c0.y, c0.z}, b{c1.x, c1.y, c1.z}, d{c2.x, c2.y, c2.z};
    const Vec normal = Cross(Sub(b, a), Sub(d, a)), ray{(x - 320.0) / 320.0, (240.0 - y) / 320.0, 1.0};
    const double depth = Dot(normal, a) / Dot(normal, ray);
    const Vec p{ray.x * depth, ray.y * depth, depth};
    const double wa = Dot(normal, Cross(Sub(b, p), Sub(d, p))) / Dot(normal, normal);
    const double wb = Dot(normal, Cross(Sub(d, p), Sub(a, p))) / Dot(normal, normal);
    return {wa * c0.u + wb * c1.u + (1 - wa - wb) * c2.u, wa * c0.v + wb * c1.v + (1 - wa - wb) * c2.v};
}
