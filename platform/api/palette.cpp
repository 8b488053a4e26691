#include "palette.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <unordered_set>

namespace platform {
namespace {

std::unordered_set<Palette*>& LivePalettes() {
    static std::unordered_set<Palette*> live;
    return live;
}

// {6C14DB84-A733-11CE-A521-0020AF0BE560}
constexpr GUID kIDirectDrawPalette = {0x6C14DB84, 0xA733, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
constexpr GUID kIUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

}  // namespace

Palette::Palette(const PALETTEENTRY* entries) {
    std::memcpy(entries_, entries, sizeof entries_);
    LivePalettes().insert(this);
}

Palette::~Palette() { LivePalettes().erase(this); }

HRESULT Palette::Create(DWORD flags, const PALETTEENTRY* entries, Palette** palette) {
    if (!palette) return DDERR_INVALIDPARAMS;
    *palette = nullptr;
    if (!entries || !(flags & DDPCAPS_8BIT)) return DDERR_INVALIDPARAMS;
    *palette = new Palette(entries);
    return DD_OK;
}

Palette* Palette::FromInterface(IDirectDrawPalette* palette) {
    // Compared as addresses first: a stale pointer must not even be converted.
    for (Palette* live : LivePalettes())
        if (static_cast<IDirectDrawPalette*>(live) == palette) return live;
    return nullptr;
}

HRESULT Palette::QueryInterface(REFIID riid, void** ppvObject) {
    if (!ppvObject) return E_POINTER;
    *ppvObject = nullptr;
    if (riid != kIDirectDrawPalette && riid != kIUnknown) return E_NOINTERFACE;
    AddRef();
    *ppvObject = static_cast<IDirectDrawPalette*>(this);
    return S_OK;
}

ULONG Palette::AddRef() { return ++refs_; }

ULONG Palette::Release() {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

HRESULT Palette::GetEntries(DWORD, DWORD dwBase, DWORD dwNumEntries, LPPALETTEENTRY lpEntries) {
    if (!lpEntries || dwBase >= kEntries || dwNumEntries > kEntries - dwBase) return DDERR_INVALIDPARAMS;
    std::copy_n(entries_ + dwBase, dwNumEntries, lpEntries);
    return DD_OK;
}

HRESULT Palette::SetEntries(DWORD, DWORD dwStartingEntry, DWORD dwCount, LPPALETTEENTRY lpEntries) {
    if (!lpEntries || dwStartingEntry >= kEntries || dwCount > kEntries - dwStartingEntry)
        return DDERR_INVALIDPARAMS;
    std::copy_n(lpEntries, dwCount, entries_ + dwStartingEntry);
    return DD_OK;
}

size_t LivePaletteCount() { return LivePalettes().size(); }

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
