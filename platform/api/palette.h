// DirectDraw palettes: 256 entries that an 8-bit surface's pixel values index.
#ifndef PLATFORM_API_PALETTE_H
#define PLATFORM_API_PALETTE_H

#include <ddraw.h>

#include <cstddef>

namespace platform {

class Palette final : public IDirectDrawPalette {
public:
    static constexpr DWORD kEntries = 256;

    // DDPCAPS_8BIT with a 256-entry table is the only kind there is here.
    static HRESULT Create(DWORD flags, const PALETTEENTRY* entries, Palette** palette);

    // The palette behind an interface pointer, or null when it is none of ours
    // or no longer alive.
    static Palette* FromInterface(IDirectDrawPalette* palette);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    const PALETTEENTRY* Entries() const { return entries_; }

private:
    explicit Palette(const PALETTEENTRY* entries);
    ~Palette();

    ULONG refs_ = 1;
    PALETTEENTRY entries_[kEntries];
};

// Palettes alive now; tests use it to find leaks and double releases.
size_t LivePaletteCount();

// What an 8-bit surface shows when neither it nor the display has a palette:
// 3 bits of red, 3 of green and 2 of blue, entry i = RRRGGGBB.
const PALETTEENTRY* DefaultRamp();

}  // namespace platform

#endif
