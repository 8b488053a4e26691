#include "palette.h"

#include <array>
#include <cstring>

#include "com.h"

namespace platform {
namespace {

LiveObjects<Palette, IDirectDrawPalette>& LivePalettes() {
    static LiveObjects<Palette, IDirectDrawPalette> live;
    return live;
}

// {6C14DB84-A733-11CE-A521-0020AF0BE560}
constexpr GUID kIDirectDrawPalette = {0x6C14DB84, 0xA733, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};

}  // namespace

Palette::Palette(const PALETTEENTRY* entries) {
    std::memcpy(entries_, entries, sizeof entries_);
    LivePalettes().Add(this);
}

Palette::~Palette() { LivePalettes().Remove(this); }

HRESULT Palette::Create(DWORD flags, const PALETTEENTRY* entries, Palette** palette) {
    if (!palette) return DDERR_INVALIDPARAMS;
    *palette = nullptr;
    if (!entries || !(flags & DDPCAPS_8BIT)) return DDERR_INVALIDPARAMS;
    *palette = new Palette(entries);
    return DD_OK;
}

Palette* Palette::FromInterface(IDirectDrawPalette* palette) { return LivePalettes().Find(palette); }

HRESULT Palette::QueryInterface(REFIID riid, void** ppvObject) {
    return QueryOwnInterface<IDirectDrawPalette>(this, kIDirectDrawPalette, riid, ppvObject);
}

ULONG Palette::AddRef() { return ++refs_; }

ULONG Palette::Release() {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

size_t LivePaletteCount() { return LivePalettes().Count(); }

const PALETTEENTRY* DefaultRamp() {
    static const std::array<PALETTEENTRY, Palette::kEntries> ramp = [] {
        std::array<PALETTEENTRY, Palette::kEntries> entries{};
        for (unsigned i = 0; i < entries.size(); ++i) {
            entries[i].peRed = static_cast<BYTE>(((i >> 5) & 7) * 255 / 7);
            entries[i].peGreen = static_cast<BYTE>(((i >> 2) & 7) * 255 / 7);
            entries[i].peBlue = static_cast<BYTE>((i & 3) * 255 / 3);
        }
        return entries;
    }();
    return ramp.data();
}

}  // namespace platform
