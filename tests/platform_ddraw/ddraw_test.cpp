// The DirectDraw object: interfaces and reference counts, cooperative level,
// display modes, the flipping chain and off-screen surfaces it creates, its
// palettes, and the failures the runtime can script.
#include <cstring>
#include <functional>
#include <string>

#include "display_test.h"

namespace {

using DirectDraw = DisplayTest;

TEST_F(DirectDraw, OneObjectAnswersForBothInterfacesWithOneCount) {
    ASSERT_EQ(DirectDrawCreate(nullptr, &first_, nullptr), DD_OK);
    EXPECT_EQ(platform::LiveDirectDrawCount(), 1u);
    EXPECT_EQ(first_->AddRef(), 2u);
    EXPECT_EQ(first_->Release(), 1u);
    ASSERT_EQ(first_->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(&dd_)), DD_OK);
    EXPECT_EQ(dd_->AddRef(), 3u);
    EXPECT_EQ(dd_->Release(), 2u);

    IUnknown* identity = nullptr;
    ASSERT_EQ(dd_->QueryInterface(IID_IDirectDraw, reinterpret_cast<void**>(&identity)), DD_OK);
    EXPECT_EQ(identity, static_cast<IUnknown*>(first_));
    EXPECT_EQ(identity->Release(), 2u);

    const GUID unknown = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
    void* nothing = &identity;
    EXPECT_EQ(first_->QueryInterface(unknown, &nothing), E_NOINTERFACE);
    EXPECT_EQ(nothing, nullptr);

    // The first interface may go at once; the object lives on in the second.
    EXPECT_EQ(first_->Release(), 1u);
    first_ = nullptr;
    EXPECT_EQ(platform::LiveDirectDrawCount(), 1u);
    EXPECT_EQ(dd_->Release(), 0u);
    dd_ = nullptr;
    EXPECT_EQ(platform::LiveDirectDrawCount(), 0u);
}

TEST_F(DirectDraw, CreateRefusesWhatItCannotGive) {
    GUID driver = IID_IDirectDraw4;
    EXPECT_EQ(DirectDrawCreate(&driver, &first_, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(first_, nullptr);
    EXPECT_EQ(DirectDrawCreate(nullptr, &first_, reinterpret_cast<IUnknown*>(&driver)), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(first_, nullptr);
    EXPECT_EQ(DirectDrawCreate(nullptr, nullptr, nullptr), DDERR_INVALIDPARAMS);
}

TEST_F(DirectDraw, CooperativeLevelIsNormalOrExclusiveFullScreen) {
    OpenDirectDraw();
    EXPECT_EQ(first_->SetCooperativeLevel(kAnyWindow, 0), DDERR_INVALIDPARAMS);
    EXPECT_EQ(first_->SetCooperativeLevel(kAnyWindow, DDSCL_EXCLUSIVE), DDERR_INVALIDPARAMS);
    EXPECT_EQ(first_->SetCooperativeLevel(kAnyWindow, DDSCL_FULLSCREEN), DDERR_INVALIDPARAMS);
    EXPECT_EQ(first_->SetCooperativeLevel(kAnyWindow, DDSCL_NORMAL | DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN),
              DDERR_INVALIDPARAMS);
    EXPECT_EQ(first_->SetCooperativeLevel(nullptr, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DDERR_INVALIDPARAMS);
    EXPECT_EQ(first_->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    EXPECT_EQ(dd_->SetCooperativeLevel(kAnyWindow, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
}

TEST_F(DirectDraw, OnlyPalettisedModesAreOffered) {
    OpenDirectDraw();
    EXPECT_EQ(first_->SetDisplayMode(640, 480, 8), DD_OK);
    EXPECT_EQ(first_->SetDisplayMode(640, 480, 16), DDERR_INVALIDMODE);
    EXPECT_EQ(first_->SetDisplayMode(640, 480, 32), DDERR_INVALIDMODE);
    EXPECT_EQ(first_->SetDisplayMode(641, 480, 8), DDERR_INVALIDMODE);
    EXPECT_EQ(first_->SetDisplayMode(0, 0, 0), DDERR_INVALIDMODE);

    // The mode is what the primary surface gets.
    EXPECT_EQ(dd_->SetDisplayMode(800, 600, 8, 0, 0), DD_OK);
    ASSERT_EQ(dd_->SetCooperativeLevel(kAnyWindow, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    DDSURFACEDESC2 desc = ChainDescription();
    ASSERT_EQ(dd_->CreateSurface(&desc, &primary_, nullptr), DD_OK);
    EXPECT_EQ(DescriptionOf(primary_).dwWidth, 800u);
    EXPECT_EQ(DescriptionOf(primary_).dwHeight, 600u);
    EXPECT_EQ(dd_->RestoreDisplayMode(), DD_OK);
}

TEST_F(DirectDraw, BuildsTheFlippingChainTheProgramsAskFor) {
    OpenDisplay();
    EXPECT_EQ(platform::LiveSurfaceCount(), 2u);
    DDSURFACEDESC2 desc = DescriptionOf(primary_);
    EXPECT_EQ(desc.dwWidth, 640u);
    EXPECT_EQ(desc.dwHeight, 480u);
    EXPECT_EQ(desc.lPitch, 640);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, 8u);
    EXPECT_TRUE(desc.ddpfPixelFormat.dwFlags & DDPF_PALETTEINDEXED8);
    const DWORD chain = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FRONTBUFFER | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    EXPECT_EQ(desc.ddsCaps.dwCaps & chain, chain);
    EXPECT_EQ(desc.dwBackBufferCount, 1u);

    desc = DescriptionOf(back_);
    EXPECT_EQ(desc.ddsCaps.dwCaps & (DDSCAPS_BACKBUFFER | DDSCAPS_PRIMARYSURFACE), DDSCAPS_BACKBUFFER);
    EXPECT_EQ(desc.dwWidth, 640u);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, 8u);

    // There is one display, so one primary.
    LPDIRECTDRAWSURFACE4 second = nullptr;
    DDSURFACEDESC2 again = ChainDescription();
    EXPECT_NE(dd_->CreateSurface(&again, &second, nullptr), DD_OK);
    EXPECT_EQ(second, nullptr);
}

TEST_F(DirectDraw, TheBackBufferBelongsToThePrimary) {
    OpenDisplay();
    // GetAttachedSurface gave a reference, and gives another each time.
    EXPECT_EQ(back_->AddRef(), 2u);
    EXPECT_EQ(back_->Release(), 1u);
    DDSCAPS2 caps{};
    caps.dwCaps = DDSCAPS_BACKBUFFER;
    LPDIRECTDRAWSURFACE4 again = nullptr;
    ASSERT_EQ(primary_->GetAttachedSurface(&caps, &again), DD_OK);
    EXPECT_EQ(again, back_);
    EXPECT_EQ(again->Release(), 1u);
    // Releasing every reference does not free it, nor does one too many...
    EXPECT_EQ(back_->Release(), 0u);
    EXPECT_EQ(back_->Release(), 0u);
    EXPECT_EQ(platform::LiveSurfaceCount(), 2u);
    EXPECT_EQ(ColourFill(back_, 1), DD_OK);
    // ...the primary takes it along, as it does when references are still held.
    ASSERT_EQ(primary_->GetAttachedSurface(&caps, &again), DD_OK);
    EXPECT_EQ(primary_->Release(), 0u);
    primary_ = back_ = nullptr;
    EXPECT_EQ(platform::LiveSurfaceCount(), 0u);
}

TEST_F(DirectDraw, TheChainLeadsBothWays) {
    OpenDisplay();
    DDSCAPS2 caps{};
    caps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    LPDIRECTDRAWSURFACE4 front = nullptr;
    ASSERT_EQ(back_->GetAttachedSurface(&caps, &front), DD_OK);
    EXPECT_EQ(front, primary_);
    EXPECT_EQ(front->Release(), 1u);

    caps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    EXPECT_EQ(primary_->GetAttachedSurface(&caps, &front), DDERR_NOTFOUND);
    EXPECT_EQ(front, nullptr);
    LPDIRECTDRAWSURFACE4 plain = CreateOffScreen(4, 4);
    caps.dwCaps = DDSCAPS_BACKBUFFER;
    EXPECT_EQ(plain->GetAttachedSurface(&caps, &front), DDERR_NOTFOUND);
    EXPECT_EQ(plain->Release(), 0u);
}

TEST_F(DirectDraw, CreateSurfaceChecksTheDescription) {
    OpenDirectDraw();
    ASSERT_EQ(first_->SetCooperativeLevel(kAnyWindow, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    auto refused = [&](DDSURFACEDESC2 desc, HRESULT expected) {
        LPDIRECTDRAWSURFACE4 surface = nullptr;
        EXPECT_EQ(dd_->CreateSurface(&desc, &surface, nullptr), expected);
        EXPECT_EQ(surface, nullptr);
    };
    DDSURFACEDESC2 desc = ChainDescription();
    for (DWORD size : {DWORD{0}, DWORD{sizeof desc - 4}, DWORD{sizeof desc + 4}, DWORD{108}}) {
        desc.dwSize = size;
        refused(desc, DDERR_INVALIDPARAMS);
    }
    desc = ChainDescription();
    desc.dwFlags = DDSD_BACKBUFFERCOUNT;
    refused(desc, DDERR_INVALIDPARAMS);
    desc = ChainDescription();
    desc.dwBackBufferCount = 2;
    refused(desc, DDERR_INVALIDPARAMS);
    desc = ChainDescription();
    desc.ddsCaps.dwCaps &= ~DDSCAPS_COMPLEX;
    refused(desc, DDERR_INVALIDCAPS);
    desc = ChainDescription();
    desc.ddsCaps.dwCaps = DDSCAPS_BACKBUFFER;
    refused(desc, DDERR_INVALIDCAPS);

    desc = OffScreenDescription(0, 10);
    refused(desc, DDERR_INVALIDPARAMS);
    desc = OffScreenDescription(10, 10);
    desc.dwFlags &= ~DDSD_HEIGHT;
    refused(desc, DDERR_INVALIDPARAMS);
    refused(OffScreenDescription(100000, 100000), DDERR_OUTOFMEMORY);
    desc = OffScreenDescription(10, 10);
    desc.dwFlags |= DDSD_PIXELFORMAT;
    desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
    desc.ddpfPixelFormat.dwFlags = DDPF_RGB;
    desc.ddpfPixelFormat.dwRGBBitCount = 16;
    refused(desc, DDERR_INVALIDPIXELFORMAT);

    LPDIRECTDRAWSURFACE4 surface = nullptr;
    desc = OffScreenDescription(10, 10);
    EXPECT_EQ(dd_->CreateSurface(&desc, &surface, reinterpret_cast<IUnknown*>(dd_)), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(surface, nullptr);
    EXPECT_EQ(platform::LiveSurfaceCount(), 0u);
}

TEST_F(DirectDraw, APrimaryNeedsExclusiveMode) {
    OpenDirectDraw();
    DDSURFACEDESC2 desc = ChainDescription();
    EXPECT_EQ(dd_->CreateSurface(&desc, &primary_, nullptr), DDERR_NOCOOPERATIVELEVELSET);
    ASSERT_EQ(first_->SetCooperativeLevel(kAnyWindow, DDSCL_NORMAL), DD_OK);
    EXPECT_EQ(dd_->CreateSurface(&desc, &primary_, nullptr), DDERR_NOEXCLUSIVEMODE);
    EXPECT_EQ(primary_, nullptr);
}

TEST_F(DirectDraw, OffScreenSurfacesLiveInSystemMemoryInThePrimaryFormat) {
    OpenDisplay();
    LPDIRECTDRAWSURFACE4 texture = CreateOffScreen(400, 200);
    ASSERT_NE(texture, nullptr);
    DDSURFACEDESC2 desc = DescriptionOf(texture);
    EXPECT_EQ(desc.dwWidth, 400u);
    EXPECT_EQ(desc.dwHeight, 200u);
    EXPECT_EQ(desc.lPitch, 400);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, 8u);
    EXPECT_EQ(desc.ddsCaps.dwCaps, static_cast<DWORD>(DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY));
    EXPECT_EQ(texture->Release(), 0u);

    // Rows are padded to whole 32-bit words.
    LPDIRECTDRAWSURFACE4 odd = CreateOffScreen(127, 3);
    ASSERT_NE(odd, nullptr);
    EXPECT_EQ(DescriptionOf(odd).lPitch, 128);
    EXPECT_EQ(odd->Release(), 0u);
}

TEST_F(DirectDraw, SurfacesHoldAReferenceToTheirPalette) {
    OpenDisplay();
    AttachPalette();
    EXPECT_EQ(palette_->AddRef(), 3u);  // ours, the surface's, this one
    EXPECT_EQ(palette_->Release(), 2u);

    LPDIRECTDRAWPALETTE attached = nullptr;
    ASSERT_EQ(primary_->GetPalette(&attached), DD_OK);
    EXPECT_EQ(attached, palette_);
    EXPECT_EQ(attached->Release(), 2u);
    PALETTEENTRY read[256];
    ASSERT_EQ(palette_->GetEntries(0, 0, 256, read), DD_OK);
    EXPECT_EQ(std::memcmp(read, entries_.data(), sizeof read), 0);

    EXPECT_EQ(back_->GetPalette(&attached), DDERR_NOPALETTEATTACHED);
    EXPECT_EQ(attached, nullptr);

    // Detaching gives the surface's reference back; attaching again takes one.
    ASSERT_EQ(primary_->SetPalette(nullptr), DD_OK);
    EXPECT_EQ(palette_->AddRef(), 2u);
    EXPECT_EQ(palette_->Release(), 1u);
    ASSERT_EQ(primary_->SetPalette(palette_), DD_OK);
    ASSERT_EQ(primary_->SetPalette(palette_), DD_OK);
    EXPECT_EQ(palette_->AddRef(), 3u);
    EXPECT_EQ(palette_->Release(), 2u);

    // A primary released with its palette still attached lets it go.
    EXPECT_EQ(palette_->Release(), 1u);
    palette_ = nullptr;
    EXPECT_EQ(primary_->Release(), 0u);
    primary_ = back_ = nullptr;
    EXPECT_EQ(platform::LivePaletteCount(), 0u);
}

TEST_F(DirectDraw, PalettesAreEightBitWith256Entries) {
    OpenDirectDraw();
    PALETTEENTRY entries[256] = {};
    LPDIRECTDRAWPALETTE palette = nullptr;
    EXPECT_EQ(dd_->CreatePalette(0, entries, &palette, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(palette, nullptr);
    EXPECT_EQ(dd_->CreatePalette(DDPCAPS_8BIT, nullptr, &palette, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(dd_->CreatePalette(DDPCAPS_8BIT, entries, &palette, reinterpret_cast<IUnknown*>(dd_)),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(palette, nullptr);

    ASSERT_EQ(dd_->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, &palette, nullptr), DD_OK);
    PALETTEENTRY red = {255, 0, 0, 0};
    EXPECT_EQ(palette->SetEntries(0, 255, 1, &red), DD_OK);
    EXPECT_EQ(palette->SetEntries(0, 255, 2, &red), DDERR_INVALIDPARAMS);
    PALETTEENTRY read = {};
    EXPECT_EQ(palette->GetEntries(0, 255, 1, &read), DD_OK);
    EXPECT_EQ(read.peRed, 255);
    EXPECT_EQ(palette->GetEntries(0, 256, 1, &read), DDERR_INVALIDPARAMS);
    EXPECT_EQ(palette->Release(), 0u);
}

// Every call the runtime can fail goes to it first, and a failed call leaves
// nothing behind.
struct ScriptedCall {
    const char* name;
    std::function<HRESULT(LPDIRECTDRAW, LPDIRECTDRAW4, LPDIRECTDRAWSURFACE4)> call;
};

void PrintTo(const ScriptedCall& call, std::ostream* out) { *out << call.name; }

class Scripted : public DisplayTest, public ::testing::WithParamInterface<ScriptedCall> {};

TEST_P(Scripted, FailsAsScriptedAndLeavesNothingBehind) {
    OpenDisplay();
    const HRESULT scripted = DDERR_OUTOFMEMORY;
    ASSERT_TRUE(platform::testing::ScriptFailure(std::string(GetParam().name) + ":DDERR_OUTOFMEMORY"));
    EXPECT_EQ(GetParam().call(first_, dd_, back_), scripted);
    EXPECT_EQ(platform::testing::LastCallAsked(), GetParam().name);
    EXPECT_EQ(platform::LiveSurfaceCount(), 2u);
    EXPECT_EQ(platform::LiveDirectDrawCount(), 1u);
    EXPECT_EQ(platform::LivePaletteCount(), 0u);
    EXPECT_EQ(platform::LiveGdiObjectCount(), 0u);
    EXPECT_TRUE(Frames().empty());
}

const ScriptedCall kScriptedCalls[] = {
    {"DirectDrawCreate",
     [](LPDIRECTDRAW, LPDIRECTDRAW4, LPDIRECTDRAWSURFACE4) {
         LPDIRECTDRAW made = reinterpret_cast<LPDIRECTDRAW>(8);
         const HRESULT result = DirectDrawCreate(nullptr, &made, nullptr);
         EXPECT_EQ(made, nullptr);
         return result;
     }},
    {"QueryInterface",
     [](LPDIRECTDRAW first, LPDIRECTDRAW4, LPDIRECTDRAWSURFACE4) {
         void* made = &made;
         const HRESULT result = first->QueryInterface(IID_IDirectDraw4, &made);
         EXPECT_EQ(made, nullptr);
         return result;
     }},
    {"SetCooperativeLevel",
     [](LPDIRECTDRAW first, LPDIRECTDRAW4, LPDIRECTDRAWSURFACE4) {
         return first->SetCooperativeLevel(kAnyWindow, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN);
     }},
    {"SetDisplayMode",
     [](LPDIRECTDRAW first, LPDIRECTDRAW4, LPDIRECTDRAWSURFACE4) {
         return first->SetDisplayMode(640, 480, 8);
     }},
    {"CreateSurface",
     [](LPDIRECTDRAW, LPDIRECTDRAW4 dd, LPDIRECTDRAWSURFACE4) {
         DDSURFACEDESC2 desc = OffScreenDescription(4, 4);
         LPDIRECTDRAWSURFACE4 made = nullptr;
         const HRESULT result = dd->CreateSurface(&desc, &made, nullptr);
         EXPECT_EQ(made, nullptr);
         return result;
     }},
    {"GetAttachedSurface",
     [](LPDIRECTDRAW, LPDIRECTDRAW4, LPDIRECTDRAWSURFACE4 back) {
         DDSCAPS2 caps{};
         caps.dwCaps = DDSCAPS_PRIMARYSURFACE;
         LPDIRECTDRAWSURFACE4 found = back;
         const HRESULT result = back->GetAttachedSurface(&caps, &found);
         EXPECT_EQ(found, nullptr);
         return result;
     }},
    {"CreatePalette",
     [](LPDIRECTDRAW, LPDIRECTDRAW4 dd, LPDIRECTDRAWSURFACE4) {
         PALETTEENTRY entries[256] = {};
         LPDIRECTDRAWPALETTE made = nullptr;
         const HRESULT result = dd->CreatePalette(DDPCAPS_8BIT, entries, &made, nullptr);
         EXPECT_EQ(made, nullptr);
         return result;
     }},
    {"GetDC",
     [](LPDIRECTDRAW, LPDIRECTDRAW4, LPDIRECTDRAWSURFACE4 back) {
         HDC dc = reinterpret_cast<HDC>(8);
         const HRESULT result = back->GetDC(&dc);
         EXPECT_EQ(dc, nullptr);
         return result;
     }},
    {"Lock",
     [](LPDIRECTDRAW, LPDIRECTDRAW4, LPDIRECTDRAWSURFACE4 back) {
         DDSURFACEDESC2 desc{};
         desc.dwSize = sizeof desc;
         const HRESULT result = back->Lock(nullptr, &desc, 0, nullptr);
         EXPECT_EQ(back->Unlock(nullptr), DDERR_NOTLOCKED);
         return result;
     }},
    {"Blt",
     [](LPDIRECTDRAW, LPDIRECTDRAW4, LPDIRECTDRAWSURFACE4 back) {
         return ColourFill(back, 0);
     }},
    {"Flip",
     [](LPDIRECTDRAW, LPDIRECTDRAW4, LPDIRECTDRAWSURFACE4 back) {
         DDSCAPS2 caps{};
         caps.dwCaps = DDSCAPS_PRIMARYSURFACE;
         LPDIRECTDRAWSURFACE4 front = nullptr;
         EXPECT_EQ(back->GetAttachedSurface(&caps, &front), DD_OK);
         const HRESULT result = front->Flip(nullptr, DDFLIP_WAIT);
         front->Release();
         return result;
     }},
    {"Restore",
     [](LPDIRECTDRAW, LPDIRECTDRAW4, LPDIRECTDRAWSURFACE4 back) {
         platform::LoseAllSurfaces();
         const HRESULT result = back->Restore();
         EXPECT_EQ(back->IsLost(), DDERR_SURFACELOST);
         return result;
     }},
};

INSTANTIATE_TEST_SUITE_P(Calls, Scripted, ::testing::ValuesIn(kScriptedCalls),
                         [](const ::testing::TestParamInfo<ScriptedCall>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
