// Arbitrary bytes as a bitmap, both as a file named by its path and (without
// the 14 bytes of a file header) as a bitmap resource, through every way the
// surface utilities read bitmaps. Nothing may crash, touch memory it does not
// own, or leave a surface, palette, bitmap or device context behind.
#include <api/gdi.h>
#include <api/palette.h>
#include <api/resources.h>
#include <api/surface.h>
#include <ddraw.h>
#include <surface/surface.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

namespace {

const char* const kResourceName = "FUZZED";

// The display as the programs have it, made once: the primary surface, which
// lends off-screen surfaces its palette, and a small surface to refresh.
struct Display {
    LPDIRECTDRAW4 directDraw = nullptr;
    LPDIRECTDRAWSURFACE4 primary = nullptr;
    LPDIRECTDRAWSURFACE4 target = nullptr;
};

// Each input is written to a file in memory, named by a path that opens it
// anew: no disk to wait for, and nothing left behind however the run ends.
int inputFile = -1;
char inputPath[32];

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "bitmap_fuzzer: %s\n", what);
    std::abort();
}

// Registered once; each input then points it at its own bytes.
platform::ResourceEntry resource[1] = {{RT_BITMAP, kResourceName, reinterpret_cast<const BYTE*>(""), 0}};

Display& OpenDisplay() {
    static Display display = [] {
        Display made;
        LPDIRECTDRAW first = nullptr;
        if (DirectDrawCreate(nullptr, &first, nullptr) != DD_OK ||
            first->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(&made.directDraw)) != DD_OK ||
            first->SetCooperativeLevel(reinterpret_cast<HWND>(0x1000), DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN) != DD_OK ||
            first->SetDisplayMode(640, 480, 8) != DD_OK)
            Fail("no display");
        first->Release();
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
        desc.dwBackBufferCount = 1;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
        if (made.directDraw->CreateSurface(&desc, &made.primary, nullptr) != DD_OK) Fail("no primary surface");
        desc = DDSURFACEDESC2{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
        desc.dwWidth = 5;
        desc.dwHeight = 3;
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
        if (made.directDraw->CreateSurface(&desc, &made.target, nullptr) != DD_OK) Fail("no off-screen surface");

        if (!platform::RegisterResources(resource, 1)) Fail("resource not registered");
        inputFile = memfd_create("bitmap_fuzzer", MFD_CLOEXEC);
        if (inputFile < 0) Fail("no file in memory");
        std::snprintf(inputPath, sizeof inputPath, "/proc/self/fd/%d", inputFile);
        return made;
    }();
    return display;
}

// Every pixel costs time in the readers and, loaded into a surface, in
// matching its colour, and a few bytes of run-length code can claim millions.
// So that each input takes little time, inputs past a sane size are skipped
// (the readers' own size limits have tests of their own), and bitmaps past a
// few pixels are loaded shrunk, which still reads every pixel.
constexpr int64_t kLargestArea = int64_t{1} << 17;
constexpr int64_t kLargestLoadedArea = 16;
constexpr int kShrunkSide = 4;

// The pixels that the header claims.
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

void WriteInputFile(const uint8_t* data, size_t size) {
    if (ftruncate(inputFile, 0) != 0 || pwrite(inputFile, data, size, 0) != static_cast<ssize_t>(size))
        Fail("cannot write the input");
}

size_t LiveObjects() {
    return platform::LiveSurfaceCount() + platform::LivePaletteCount() + platform::LiveGdiObjectCount();
}

// The palette from the bitmap shown on the display while the bitmap is loaded
// into a new surface and, if loaded at its own size, into an existing one: a
// larger one would only be read again by the same code to show 15 pixels.
void ReadBitmap(Display& display, LPCSTR name, int loadedSide) {
    LPDIRECTDRAWPALETTE palette = DDCreatePaletteFromBitmap(display.directDraw, name);
    if (!palette) Fail("no palette");
    if (display.primary->SetPalette(palette) != DD_OK) Fail("palette not attached");

    LPDIRECTDRAWSURFACE4 surface = DDLoadBitmap(display.directDraw, name, loadedSide, loadedSide);
    if (surface) {
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        if (surface->GetSurfaceDesc(&desc) != DD_OK) Fail("no description");
        DDReadPixel(surface, static_cast<int>(desc.dwWidth) - 1, static_cast<int>(desc.dwHeight) - 1);
        DDPixelForColor(surface, RGB(12, 34, 56));
        surface->Release();
    }
    if (loadedSide == 0) DDRefreshBitmap(display.target, name);

    display.primary->SetPalette(nullptr);
    palette->Release();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int64_t area = ClaimedArea(data, size);
    if (area > kLargestArea) return -1;
    const int loadedSide = area > kLargestLoadedArea ? kShrunkSide : 0;  // 0: the bitmap's own size
    Display& display = OpenDisplay();
    const size_t before = LiveObjects();

    WriteInputFile(data, size);
    ReadBitmap(display, inputPath, loadedSide);

    const size_t skipped = size < 14 ? size : 14;
    resource[0].data = size > skipped ? data + skipped : reinterpret_cast<const BYTE*>("");
    resource[0].size = static_cast<DWORD>(size - skipped);
    ReadBitmap(display, kResourceName, loadedSide);

    if (LiveObjects() != before) Fail("platform objects left behind");
    return 0;
}
