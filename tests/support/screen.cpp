#include "screen.h"
#include "testing/memory_surface.h"
#include <algorithm>
GuardedScreen::GuardedScreen(int width, int height, DWORD bitCount, int band)
    : width(width), height(height), band(band), pitch(width * static_cast<int>(bitCount / 8) + 2 * band),
      memory_(static_cast<size_t>(pitch) * (height + 2 * band), kBlank) {
    BYTE* first = &memory_[band * pitch + band];
    surface_ = platform::CreateMemorySurface(width, height, bitCount, pitch, first);
    desc_.dwSize = sizeof desc_, desc_.dwWidth = width, desc_.dwHeight = height, desc_.lPitch = pitch, desc_.lpSurface = first;
    desc_.ddpfPixelFormat.dwRGBBitCount = bitCount;
}
GuardedScreen::~GuardedScreen() { surface_->Release(); }
PixelSet GuardedScreen::Drawn() const {
    PixelSet drawn;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < pitch - 2 * band; ++x)
            if (At(x, y) != kBlank) drawn.insert({x, y});
    return drawn;
}
bool GuardedScreen::GuardsIntact() const {  // every byte changed lies on the screen
    return static_cast<size_t>(memory_.size() - std::count(memory_.begin(), memory_.end(), kBlank)) == Drawn().size();
}
HRESULT LoggedSurface::Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD flags, HANDLE event) {
    const HRESULT result = screen_.Surface()->Lock(rect, desc, flags, event);
    const char* what = result == DD_OK ? "lock " : result == DDERR_WASSTILLDRAWING ? "busy " : "refused ";
    log_.push_back((rect || flags || event ? "misused " : what) + name_);
    return result;
}
HRESULT LoggedSurface::Unlock(LPRECT rect) {
    const HRESULT result = screen_.Surface()->Unlock(rect);
    log_.push_back((result == DD_OK ? "unlock " : "misused ") + name_);
    runs.push_back(screen_.Drawn());
    screen_.Clear();
    return result;
}
