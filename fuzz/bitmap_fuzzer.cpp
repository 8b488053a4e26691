// Arbitrary bytes as a bitmap file named by its path and, less the 14-byte file header, as a bitmap resource,
// through every way the surface utilities read bitmaps: nothing may crash, touch memory it does not own, or leave
// a surface, palette, bitmap or device context behind.
#include <api/gdi.h>
#include <api/palette.h>
#include <api/resources.h>
#include <api/surface.h>
#include <ddraw.h>
#include <surface/surface.h>
#include <sys/mman.h>
#include <unistd.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
namespace {
// Each input goes to a file in memory that a path opens anew (no disk to wait for, nothing left behind) and to a
// resource registered once.
int inputFile = -1;
char inputPath[32];
platform::ResourceEntry resource[1] = {{RT_BITMAP, "FUZZED", reinterpret_cast<const BYTE*>(""), 0}};
LPDIRECTDRAW4 directDraw = nullptr;
LPDIRECTDRAWSURFACE4 primary = nullptr, target = nullptr;  // the palette's holder; a small surface to refresh
[[noreturn]] void Fail(const char* what) { std::fprintf(stderr, "bitmap_fuzzer: %s\n", what), std::abort(); }
LPDIRECTDRAWSURFACE4 Create(DWORD flags, DWORD caps) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc, desc.dwFlags = flags, desc.ddsCaps.dwCaps = caps;
    desc.dwBackBufferCount = 1, desc.dwWidth = 5, desc.dwHeight = 3;
    LPDIRECTDRAWSURFACE4 surface = nullptr;
    if (directDraw->CreateSurface(&desc, &surface, nullptr) != DD_OK) Fail("no surface");
    return surface;
}
// The display as the programs have it, made once.
void OpenDisplay() {
    LPDIRECTDRAW first = nullptr;
    if (DirectDrawCreate(nullptr, &first, nullptr) != DD_OK ||
        first->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(&directDraw)) != DD_OK ||
        first->SetCooperativeLevel(reinterpret_cast<HWND>(0x1000), DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN) != DD_OK ||
        first->SetDisplayMode(640, 480, 8) != DD_OK)
        Fail("no display");
    first->Release();
    primary = Create(DDSD_CAPS | DDSD_BACKBUFFERCOUNT, DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX);
    target = Create(DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY);
    if (!platform::RegisterResources(resource, 1)) Fail("resource not registered");
    if ((inputFile = memfd_create("bitmap_fuzzer", MFD_CLOEXEC)) < 0) Fail("no file in memory");
    std::snprintf(inputPath, sizeof inputPath, "/proc/self/fd/%d", inputFile);
}
// The pixels the header claims: each costs time in the readers and in colour matching, and a few bytes of
// run-length code can claim millions. The readers' own limits have tests of their own.
int64_t ClaimedArea(const uint8_t* data, size_t size) {
    if (size < 26) return 0;
    auto field = [data](size_t at, size_t bytes) {
        int64_t value = 0;
        for (size_t i = bytes; i-- > 0;) value = value << 8 | data[at + i];
        return bytes == 4 ? static_cast<int64_t>(static_cast<int32_t>(value)) : value;
    };
    const size_t bytes = field(14, 4) == 12 ? 2 : 4;  // the core header's sides are 16-bit
    return std::llabs(field(18, bytes) * field(18 + bytes, bytes));
}
// The bitmap's palette shown while the bitmap loads into a new surface and, at its own size, into an existing one
// (a larger one would only be read again by the same code to show 15 pixels).
void ReadBitmap(LPCSTR name, int loadedSide) {
    LPDIRECTDRAWPALETTE palette = DDCreatePaletteFromBitmap(directDraw, name);
    if (!palette || primary->SetPalette(palette) != DD_OK) Fail("no palette");
    if (LPDIRECTDRAWSURFACE4 surface = DDLoadBitmap(directDraw, name, loadedSide, loadedSide)) {
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        if (surface->GetSurfaceDesc(&desc) != DD_OK) Fail("no description");
        DDReadPixel(surface, static_cast<int>(desc.dwWidth) - 1, static_cast<int>(desc.dwHeight) - 1);
        DDPixelForColor(surface, RGB(12, 34, 56));
        surface->Release();
    }
    if (loadedSide == 0) DDRefreshBitmap(target, name);
    primary->SetPalette(nullptr), palette->Release();
}
}  // namespace
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Past 2^17 pixels skipped; past 16 loaded shrunk to 4 x 4, which still reads every pixel.
    const int64_t area = ClaimedArea(data, size);
    if (area > int64_t{1} << 17) return -1;
    if (!directDraw) OpenDisplay();
    auto live = [] { return platform::LiveSurfaceCount() + platform::LivePaletteCount() + platform::LiveGdiObjectCount(); };
    const size_t before = live();
    if (ftruncate(inputFile, 0) != 0 || pwrite(inputFile, data, size, 0) != static_cast<ssize_t>(size))
        Fail("cannot write the input");
    ReadBitmap(inputPath, area > 16 ? 4 : 0);
    const size_t skipped = size < 14 ? size : 14;
    resource[0].data = size > skipped ? data + skipped : reinterpret_cast<const BYTE*>("");
    resource[0].size = static_cast<DWORD>(size - skipped);
    ReadBitmap("FUZZED", area > 16 ? 4 : 0);
    if (live() != before) Fail("platform objects left behind");
    return 0;
}
