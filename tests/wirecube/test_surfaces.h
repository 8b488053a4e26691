// Surfaces for the line and cube tests: a 640 x 480 screen with a band of
// known bytes around it, and a surface that records what each lock wrote.
#ifndef TESTS_WIRECUBE_TEST_SURFACES_H
#define TESTS_WIRECUBE_TEST_SURFACES_H

#include <windows.h>
#include <ddraw.h>

#include <set>
#include <utility>
#include <vector>

namespace wirecube_test {

// (column, row)
using Pixel = std::pair<int, int>;
using PixelSet = std::set<Pixel>;

// Row y from column fromX to toX, column x from row fromY to toY, and n + 1
// pixels from (x, y) going one row down and dx columns across per pixel.
PixelSet Row(int y, int fromX, int toX);
PixelSet Column(int x, int fromY, int toY);
PixelSet Diagonal(int x, int y, int dx, int n);

constexpr int SCREEN_WIDTH = 640;
constexpr int SCREEN_HEIGHT = 480;
constexpr BYTE BACKGROUND = 0x10;
constexpr BYTE GUARD = 0xA5;
// The colour lines are drawn in; only its low byte may reach an 8-bit pixel.
constexpr DWORD WHITE = 0x123456C3;
constexpr BYTE WHITE_BYTE = 0xC3;

// 8-bit 640 x 480 memory surface inside a larger block: every byte outside
// the screen's own rows and columns is a guard byte.
class GuardedScreen {
public:
    static constexpr int BAND = 16;
    static constexpr int PITCH = SCREEN_WIDTH + 2 * BAND;

    GuardedScreen();
    ~GuardedScreen();
    GuardedScreen(const GuardedScreen&) = delete;
    GuardedScreen& operator=(const GuardedScreen&) = delete;

    LPDIRECTDRAWSURFACE4 Surface() const { return surface_; }
    void Clear();
    // Pixels of the screen that are not BACKGROUND.
    PixelSet Drawn() const;
    // Distinct values of the screen's pixels that are not BACKGROUND.
    std::set<BYTE> DrawnValues() const;
    int ChangedGuardBytes() const;

private:
    BYTE At(int x, int y) const { return memory_[(BAND + y) * PITCH + BAND + x]; }

    std::vector<BYTE> memory_;
    LPDIRECTDRAWSURFACE4 surface_;
};

// 640 x 480 surface that hands out fresh BACKGROUND memory on every lock and,
// on every unlock, records the pixels written while it was locked. It can
// answer a number of locks with DDERR_WASSTILLDRAWING, or fail them.
class RecordingSurface final : public IDirectDrawSurface4 {
public:
    explicit RecordingSurface(DWORD bitCount = 8);

    int busyReplies = 0;
    HRESULT lockFailure = DD_OK;
    int lockCalls = 0;
    int unlockCalls = 0;
    int misuses = 0;  // bad descriptions, double locks, unlocks without a lock
    std::vector<PixelSet> runs;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE Blt(LPRECT, LPDIRECTDRAWSURFACE4, LPRECT, DWORD, LPDDBLTFX) override;
    HRESULT STDMETHODCALLTYPE Flip(LPDIRECTDRAWSURFACE4, DWORD) override;
    HRESULT STDMETHODCALLTYPE GetAttachedSurface(LPDDSCAPS2, LPDIRECTDRAWSURFACE4 FAR*) override;
    HRESULT STDMETHODCALLTYPE GetDC(HDC FAR*) override;
    HRESULT STDMETHODCALLTYPE GetPalette(LPDIRECTDRAWPALETTE FAR*) override;
    HRESULT STDMETHODCALLTYPE GetSurfaceDesc(LPDDSURFACEDESC2) override;
    HRESULT STDMETHODCALLTYPE IsLost() override { return DD_OK; }
    HRESULT STDMETHODCALLTYPE Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD flags, HANDLE event) override;
    HRESULT STDMETHODCALLTYPE ReleaseDC(HDC) override;
    HRESULT STDMETHODCALLTYPE Restore() override { return DD_OK; }
    HRESULT STDMETHODCALLTYPE SetColorKey(DWORD, LPDDCOLORKEY) override;
    HRESULT STDMETHODCALLTYPE SetPalette(LPDIRECTDRAWPALETTE) override;
    HRESULT STDMETHODCALLTYPE Unlock(LPRECT) override;

private:
    DWORD bitCount_;
    LONG pitch_;
    std::vector<BYTE> memory_;
    bool locked_ = false;
};

}  // namespace wirecube_test

#endif
