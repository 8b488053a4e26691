#include "test_surfaces.h"

#include "testing/memory_surface.h"

#include <algorithm>

namespace wirecube_test {

PixelSet Row(int y, int fromX, int toX) {
    PixelSet pixels;
    for (int x = fromX; x <= toX; ++x) pixels.insert({x, y});
    return pixels;
}

PixelSet Column(int x, int fromY, int toY) {
    PixelSet pixels;
    for (int y = fromY; y <= toY; ++y) pixels.insert({x, y});
    return pixels;
}

PixelSet Diagonal(int x, int y, int dx, int n) {
    PixelSet pixels;
    for (int k = 0; k <= n; ++k) pixels.insert({x + dx * k, y + k});
    return pixels;
}

GuardedScreen::GuardedScreen()
    : memory_(static_cast<size_t>(PITCH) * (SCREEN_HEIGHT + 2 * BAND), GUARD),
      surface_(platform::CreateMemorySurface(SCREEN_WIDTH, SCREEN_HEIGHT, 8, PITCH,
                                             memory_.data() + BAND * PITCH + BAND)) {
    Clear();
}

GuardedScreen::~GuardedScreen() { surface_->Release(); }

void GuardedScreen::Clear() {
    for (int y = 0; y < SCREEN_HEIGHT; ++y) {
        std::fill_n(memory_.begin() + (BAND + y) * PITCH + BAND, SCREEN_WIDTH, BACKGROUND);
    }
}

PixelSet GuardedScreen::Drawn() const {
    PixelSet drawn;
    for (int y = 0; y < SCREEN_HEIGHT; ++y) {
        for (int x = 0; x < SCREEN_WIDTH; ++x) {
            if (At(x, y) != BACKGROUND) drawn.insert({x, y});
        }
    }
    return drawn;
}

std::set<BYTE> GuardedScreen::DrawnValues() const {
    std::set<BYTE> values;
    for (int y = 0; y < SCREEN_HEIGHT; ++y) {
        for (int x = 0; x < SCREEN_WIDTH; ++x) {
            if (At(x, y) != BACKGROUND) values.insert(At(x, y));
        }
    }
    return values;
}

int GuardedScreen::ChangedGuardBytes() const {
    int changed = 0;
    for (int row = 0; row < SCREEN_HEIGHT + 2 * BAND; ++row) {
        for (int column = 0; column < PITCH; ++column) {
            const bool onScreen = row >= BAND && row < BAND + SCREEN_HEIGHT && column >= BAND &&
                                  column < BAND + SCREEN_WIDTH;
            if (!onScreen && memory_[row * PITCH + column] != GUARD) ++changed;
        }
    }
    return changed;
}

RecordingSurface::RecordingSurface(DWORD bitCount)
    : bitCount_(bitCount),
      pitch_(static_cast<LONG>(SCREEN_WIDTH * std::max<DWORD>(1, bitCount / 8))),
      memory_(static_cast<size_t>(pitch_) * SCREEN_HEIGHT, BACKGROUND) {}

HRESULT RecordingSurface::Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD flags, HANDLE event) {
    ++lockCalls;
    if (!desc || desc->dwSize != sizeof(DDSURFACEDESC2) || rect || flags != 0 || event || locked_) {
        ++misuses;
        return DDERR_INVALIDPARAMS;
    }
    if (busyReplies > 0) {
        --busyReplies;
        return DDERR_WASSTILLDRAWING;
    }
    if (lockFailure != DD_OK) return lockFailure;
    locked_ = true;
    std::fill(memory_.begin(), memory_.end(), BACKGROUND);
    *desc = DDSURFACEDESC2{};
    desc->dwSize = sizeof(DDSURFACEDESC2);
    desc->dwFlags = DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT | DDSD_LPSURFACE;
    desc->dwWidth = SCREEN_WIDTH;
    desc->dwHeight = SCREEN_HEIGHT;
    desc->lPitch = pitch_;
    desc->lpSurface = memory_.data();
    desc->ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
    desc->ddpfPixelFormat.dwRGBBitCount = bitCount_;
    return DD_OK;
}

HRESULT RecordingSurface::Unlock(LPRECT) {
    ++unlockCalls;
    if (!locked_) {
        ++misuses;
        return DDERR_NOTLOCKED;
    }
    locked_ = false;
    PixelSet written;
    for (int y = 0; y < SCREEN_HEIGHT; ++y) {
        for (LONG byte = 0; byte < pitch_; ++byte) {
            if (memory_[y * pitch_ + byte] != BACKGROUND) written.insert({static_cast<int>(byte), y});
        }
    }
    runs.push_back(written);
    return DD_OK;
}

HRESULT RecordingSurface::QueryInterface(REFIID, void** object) {
    if (object) *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT RecordingSurface::Blt(LPRECT, LPDIRECTDRAWSURFACE4, LPRECT, DWORD, LPDDBLTFX) { return DDERR_UNSUPPORTED; }
HRESULT RecordingSurface::Flip(LPDIRECTDRAWSURFACE4, DWORD) { return DDERR_UNSUPPORTED; }
HRESULT RecordingSurface::GetAttachedSurface(LPDDSCAPS2, LPDIRECTDRAWSURFACE4 FAR*) { return DDERR_UNSUPPORTED; }
HRESULT RecordingSurface::GetDC(HDC FAR*) { return DDERR_UNSUPPORTED; }
HRESULT RecordingSurface::GetPalette(LPDIRECTDRAWPALETTE FAR*) { return DDERR_UNSUPPORTED; }
HRESULT RecordingSurface::GetSurfaceDesc(LPDDSURFACEDESC2) { return DDERR_UNSUPPORTED; }
HRESULT RecordingSurface::ReleaseDC(HDC) { return DDERR_UNSUPPORTED; }
HRESULT RecordingSurface::SetColorKey(DWORD, LPDDCOLORKEY) { return DDERR_UNSUPPORTED; }
HRESULT RecordingSurface::SetPalette(LPDIRECTDRAWPALETTE) { return DDERR_UNSUPPORTED; }

}  // namespace wirecube_test
