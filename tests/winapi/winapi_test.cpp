// The calls as the programs use them, against our platform and, under Wine, the system's own.
#include <ddraw.h>
#include <gtest/gtest.h>
#include <vector>
#include "resource.h"
#ifndef _WIN32
#include "testing/memory_surface.h"
#include "testing/runtime_control.h"
#endif
namespace {
#ifndef _WIN32
// A program's main starts the platform on Linux: here the tests start it once, headless.
struct Headless : ::testing::Environment { void SetUp() override { platform::testing::ResetPlatform(); } };
const auto* const headless = ::testing::AddGlobalTestEnvironment(new Headless);
// A fill of whole rows lying end to end is one run of bytes; rows with padding between them, or cut short, keep the
// padding and the rest.
TEST(ColourFill, FillsExactlyTheRectangleWhateverThePitch) {
    for (const LONG pitch : {5, 7})
        for (RECT area : {RECT{0, 1, 5, 3}, RECT{1, 0, 5, 4}}) {
            std::vector<BYTE> bits(pitch * 4, 9);
            LPDIRECTDRAWSURFACE4 surface = platform::CreateMemorySurface(5, 4, 8, pitch, bits.data());
            DDBLTFX fill = {};
            fill.dwSize = sizeof fill, fill.dwFillColor = 0x1234;
            ASSERT_EQ(surface->Blt(&area, NULL, NULL, DDBLT_COLORFILL, &fill), DD_OK);
            surface->Release();
            for (LONG i = 0; i < pitch * 4; ++i) {
                const LONG x = i % pitch, y = i / pitch;
                const bool inside = x >= area.left && x < area.right && y >= area.top && y < area.bottom;
                ASSERT_EQ(bits[i], inside ? 0x34 : 9) << pitch << " " << x << "," << y;
            }
        }
}
#endif
using Messages = std::vector<UINT>;
std::vector<MSG> seen;  // the messages the programs' drawing and ending depend on
LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    for (UINT m : {WM_CREATE, WM_SIZE, WM_SHOWWINDOW, WM_ACTIVATEAPP, WM_ACTIVATE, WM_PAINT, WM_COMMAND, WM_CLOSE, WM_DESTROY})
        if (m == message) seen.push_back(MSG{window, message, wParam, lParam, 0, {0, 0}});
    if (message == WM_DESTROY) PostQuitMessage(3);
    return DefWindowProcA(window, message, wParam, lParam);
}
Messages Take() { Messages taken; for (const MSG& m : seen) taken.push_back(m.message); return seen.clear(), taken; }
// Of the first WM_SIZE seen.
WPARAM SizeKind() { for (const MSG& m : seen) if (m.message == WM_SIZE) return m.wParam; return ~WPARAM{0}; }
// Dispatches the queue as the programs' loop does; 1 once WM_QUIT came.
int Dispatch(HWND window, HACCEL keys = NULL, WPARAM* quitStatus = NULL) {
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) return (quitStatus ? *quitStatus = msg.wParam : 0), 1;
        if (!keys || !TranslateAcceleratorA(window, keys, &msg)) TranslateMessage(&msg), DispatchMessageA(&msg);
    }
    return 0;
}
// A pop-up window made as the programs make theirs, shown unless told not to.
struct Window {
    explicit Window(bool show = true) {
        static WNDCLASSA windowClass = {0, RecordingProc, 0, 0, GetModuleHandleA(NULL), 0, 0, 0, 0, "WinapiTest"};
        static const ATOM registered = RegisterClassA(&windowClass);
        EXPECT_NE(registered, 0);
        seen.clear();
        handle = CreateWindowExA(0, "WinapiTest", "", WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, NULL, NULL, GetModuleHandleA(NULL), NULL);
        if (show) ShowWindow(handle, SW_SHOWNORMAL), UpdateWindow(handle), Dispatch(handle), seen.clear();
    }
    ~Window() { DestroyWindow(handle), Dispatch(handle); }
    HWND handle;
};
TEST(Window, MessagesOnCreatingShowingMinimisingAndClosingThenNoBoxForIt) {
    Window window(false);
    ASSERT_TRUE(window.handle && SizeKind() == WPARAM{SIZE_RESTORED});
    EXPECT_EQ(Take(), (Messages{WM_CREATE, WM_SIZE}));
    ShowWindow(window.handle, SW_SHOWNORMAL), UpdateWindow(window.handle);
    // Its size does not change, and a window of no size has nothing to paint.
    EXPECT_EQ(Take(), (Messages{WM_SHOWWINDOW, WM_ACTIVATEAPP, WM_ACTIVATE}));
    for (const auto& [show, kind] : {std::pair{SW_MINIMIZE, SIZE_MINIMIZED}, {SW_RESTORE, SIZE_RESTORED}}) {
        seen.clear(), ShowWindow(window.handle, show);
        EXPECT_EQ(SizeKind(), WPARAM(kind)) << show;
    }
    seen.clear(), PostMessageA(window.handle, WM_CLOSE, 0, 0);
    WPARAM status = 0;
    EXPECT_TRUE(Dispatch(window.handle, NULL, &status) == 1 && status == WPARAM{3}) << status;
    EXPECT_EQ(Take(), (Messages{WM_CLOSE, WM_ACTIVATE, WM_ACTIVATEAPP, WM_DESTROY}));
    // A box whose owner is no longer a window shows nothing (Windows gives 0, Wine -1).
    EXPECT_LE(MessageBoxA(window.handle, "text", "caption", MB_ICONERROR), 0);
}
// Escape alone gives the close command, high word 1 for an accelerator; X without Alt, key-ups and others pass.
TEST(Accelerators, EscapeGivesTheCloseCommandAndOtherKeysPassThrough) {
    HACCEL keys = LoadAcceleratorsA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDR_ACCELERATORS));
    ASSERT_NE(keys, nullptr);
    const struct { UINT message; WPARAM key; bool command; } cases[] = {
        {WM_KEYDOWN, VK_ESCAPE, true}, {WM_KEYDOWN, 'X', false}, {WM_KEYUP, VK_ESCAPE, false}, {WM_KEYDOWN, 'A', false}};
    for (const auto& c : cases) {
        Window window;
        PostMessageA(window.handle, c.message, c.key, 1), Dispatch(window.handle, keys);
        ASSERT_EQ(seen.size(), c.command ? 1u : 0u) << "key " << c.key;
        EXPECT_TRUE(!c.command || seen[0].wParam == (WPARAM{ID_CLOSE} | WPARAM{1} << 16));
    }
}
// The exclusive 640 x 480 x 8 display with its flipping chain.
struct Display : ::testing::Test {
    void SetUp() override {
        LPDIRECTDRAW first = NULL;
        ASSERT_EQ(DirectDrawCreate(NULL, &first, NULL), DD_OK);
        const HRESULT got = first->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(&dd_));
        first->Release();
        ASSERT_TRUE(got == DD_OK && dd_->SetCooperativeLevel(window_.handle, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN) == DD_OK &&
                    dd_->SetDisplayMode(640, 480, 8, 0, 0) == DD_OK);
        DDSURFACEDESC2 desc = Described();
        desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX, desc.dwBackBufferCount = 1;
        ASSERT_TRUE(dd_->CreateSurface(&desc, &primary_, NULL) == DD_OK && primary_->GetAttachedSurface(&backCaps_, &back_) == DD_OK);
    }
    void TearDown() override {
        EXPECT_TRUE(!primary_ || primary_->Release() == 0u);
        EXPECT_TRUE(!dd_ || (dd_->RestoreDisplayMode(), dd_->Release() == 0u));
    }
    static DDSURFACEDESC2 Described() { DDSURFACEDESC2 desc = {}; return desc.dwSize = sizeof desc, desc; }
    static HRESULT Fill(LPDIRECTDRAWSURFACE4 surface, DWORD colour) {
        DDBLTFX fx = {};
        fx.dwSize = sizeof fx, fx.dwFillColor = colour;
        return surface->Blt(NULL, NULL, NULL, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    }
    // Row by row without the pitch's padding.
    static std::vector<BYTE> Pixels(LPDIRECTDRAWSURFACE4 surface) {
        DDSURFACEDESC2 desc = Described();
        if (surface->Lock(NULL, &desc, DDLOCK_WAIT, NULL) != DD_OK) return {};
        std::vector<BYTE> pixels;
        const BYTE* bits = static_cast<const BYTE*>(desc.lpSurface);
        for (DWORD y = 0; y < desc.dwHeight; ++y)
            pixels.insert(pixels.end(), bits + y * desc.lPitch, bits + y * desc.lPitch + desc.dwWidth);
        return surface->Unlock(NULL), pixels;
    }
    Window window_;
    DDSCAPS2 backCaps_ = {DDSCAPS_BACKBUFFER, 0, 0, {0}};
    LPDIRECTDRAW4 dd_ = NULL;
    LPDIRECTDRAWSURFACE4 primary_ = NULL, back_ = NULL;  // the back buffer goes with the primary
};
// The chain's own references differ (none here, one on Wine): the programs count on one more per request. The
// primary holds the palette it is given.
TEST_F(Display, TheChainIsTwoPalettisedScreensHoldingTheirReferencesAndThePalette) {
    for (LPDIRECTDRAWSURFACE4 surface : {primary_, back_}) {
        DDSURFACEDESC2 desc = Described();
        ASSERT_EQ(surface->GetSurfaceDesc(&desc), DD_OK);
        EXPECT_TRUE(desc.dwWidth == 640 && desc.dwHeight == 480 && desc.ddpfPixelFormat.dwRGBBitCount == 8 &&
                    (desc.ddpfPixelFormat.dwFlags & DDPF_PALETTEINDEXED8));
        EXPECT_EQ(desc.ddsCaps.dwCaps & (DDSCAPS_PRIMARYSURFACE | DDSCAPS_BACKBUFFER),
                  surface == primary_ ? DWORD{DDSCAPS_PRIMARYSURFACE} : DWORD{DDSCAPS_BACKBUFFER});
    }
    const ULONG held = back_->AddRef() - 1;
    LPDIRECTDRAWSURFACE4 again = NULL;
    ASSERT_TRUE(back_->Release() == held && primary_->GetAttachedSurface(&backCaps_, &again) == DD_OK && again == back_);
    EXPECT_EQ(again->Release(), held);
    PALETTEENTRY colours[256] = {};
    for (int i = 0; i < 256; ++i) colours[i] = {BYTE(i), BYTE(255 - i), BYTE(i / 2), 0};
    LPDIRECTDRAWPALETTE palette = NULL;
    ASSERT_EQ(dd_->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, colours, &palette, NULL), DD_OK);
    ASSERT_EQ(primary_->SetPalette(palette), DD_OK);
    EXPECT_TRUE(palette->AddRef() == 3u && palette->Release() == 2u);
    EXPECT_TRUE(primary_->SetPalette(NULL) == DD_OK && palette->Release() == 0u);
}
TEST_F(Display, FillLockAndFlipSeeTheSamePixels) {
    ASSERT_TRUE(Fill(primary_, 3) == DD_OK && Fill(back_, 0x24) == DD_OK);
    EXPECT_EQ(Pixels(back_), std::vector<BYTE>(640 * 480, 0x24));
    DDSURFACEDESC2 desc = Described();
    ASSERT_TRUE(back_->Lock(NULL, &desc, DDLOCK_WAIT, NULL) == DD_OK && desc.lPitch >= 640);
    static_cast<BYTE*>(desc.lpSurface)[desc.lPitch + 2] = 0x99;
    ASSERT_TRUE(back_->Unlock(NULL) == DD_OK && primary_->Flip(NULL, DDFLIP_WAIT) == DD_OK);
    std::vector<BYTE> shown(640 * 480, 0x24);
    shown[640 + 2] = 0x99;
    EXPECT_EQ(Pixels(primary_), shown);
}
// Minimising takes the surfaces on Windows, on Wine only once another program is
// active: either way restoring the primary, then the back buffer, brings them back.
TEST_F(Display, SurfacesLostWhileMinimisedComeBackByRestore) {
    ShowWindow(window_.handle, SW_MINIMIZE), Dispatch(window_.handle);
    if (Fill(back_, 1) == DDERR_SURFACELOST) {
        DDSURFACEDESC2 desc = Described();
        EXPECT_EQ(back_->Lock(NULL, &desc, DDLOCK_WAIT, NULL), DDERR_SURFACELOST);
        EXPECT_EQ(primary_->Flip(NULL, DDFLIP_WAIT), DDERR_SURFACELOST);
        EXPECT_EQ(primary_->Restore(), DDERR_WRONGMODE);
    }
    ShowWindow(window_.handle, SW_RESTORE), Dispatch(window_.handle);
    for (HRESULT result : {primary_->Restore(), back_->Restore(), Fill(back_, 1), primary_->Flip(NULL, DDFLIP_WAIT)})
        EXPECT_EQ(result, DD_OK);
}
}  // namespace
