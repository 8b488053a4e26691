// Draws both scenes with the programs' own routines in fixed orientations and the first frames of the 60 Hz
// animation, a line per frame with a digest of its pixels: every build on every system must write the same.
// Built against our headers and the system's, it also fails one of the two builds where a value, size or layout
// of what the programs use differs (signatures need no check: the programs build on both).
// Usage: crossframes TEXTURE.bmp OUTPUT
#include <ddraw.h>
#include <windows.h>
#include <cinttypes>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <type_traits>
#include <vector>
#include "dice/die.h"
#include "shell/display.h"
#include "shell/sinetable.h"
#include "wirecube/cube.h"
#if defined(_WIN32) && (defined(PLATFORM_WINDOWS_H) || defined(PLATFORM_DDRAW_H))
#error "the Windows build found the platform's own windows.h or ddraw.h"
#endif
namespace {
constexpr bool WIDE = sizeof(void*) == 8;
template <typename T, std::size_t n> constexpr bool U = std::is_unsigned_v<T> && sizeof(T) == n;
template <typename T, std::size_t n> constexpr bool S = std::is_signed_v<T> && sizeof(T) == n;
constexpr int kWidth = 640, kHeight = 480;
constexpr DWORD kBackground = 1, kWhite = 255;
// Ticks of a frame at 60 Hz, and how many frames of the animation to write.
constexpr int32_t kFrameTicks = 256, kAnimationFrames = 120;
int Fail(const char* what, HRESULT result = S_OK) {
    return std::fprintf(stderr, "crossframes: %s (0x%08lX)\n", what, static_cast<unsigned long>(result)), 1;
}
DDSURFACEDESC2 Described() { DDSURFACEDESC2 desc = {}; return desc.dwSize = sizeof desc, desc; }
// In system memory with a palette index per pixel whatever the desktop's format: no display mode is needed.
LPDIRECTDRAWSURFACE4 CreateIndexedSurface(DWORD width, DWORD height) {
    DDSURFACEDESC2 desc = Described();
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    desc.dwWidth = width, desc.dwHeight = height;
    desc.ddpfPixelFormat.dwSize = sizeof desc.ddpfPixelFormat;
    desc.ddpfPixelFormat.dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8, desc.ddpfPixelFormat.dwRGBBitCount = 8;
    LPDIRECTDRAWSURFACE4 surface = NULL;
    const HRESULT result = DDObject->CreateSurface(&desc, &surface, NULL);
    if (result != DD_OK) Fail("CreateSurface", result);
    return surface;
}
// Straight from the texture's file: 400 x 200 pixels of 8 bits, uncompressed, bottom-up, behind 1078 bytes of headers.
LPDIRECTDRAWSURFACE4 LoadTexture(const char* path) {
    const DWORD width = 400, height = 200, offset = 14 + 40 + 256 * 4;
    std::ifstream file(path, std::ios::binary);
    const std::vector<BYTE> bytes{std::istreambuf_iterator<char>(file), {}};
    if (bytes.size() != offset + width * height || bytes[18] != width % 256 || bytes[22] != height || bytes[28] != 8) return NULL;
    LPDIRECTDRAWSURFACE4 texture = CreateIndexedSurface(width, height);
    DDSURFACEDESC2 desc = Described();
    if (!texture || texture->Lock(NULL, &desc, DDLOCK_WAIT, NULL) != DD_OK) return NULL;
    for (DWORD y = 0; y < height; ++y)
        std::memcpy(static_cast<BYTE*>(desc.lpSurface) + y * desc.lPitch, &bytes[offset + (height - 1 - y) * width], width);
    return texture->Unlock(NULL), texture;
}
// FNV-1a over the visible pixels, without the pitch's padding.
uint64_t Digest(LPDIRECTDRAWSURFACE4 surface) {
    DDSURFACEDESC2 desc = Described();
    if (surface->Lock(NULL, &desc, DDLOCK_WAIT, NULL) != DD_OK) return 0;
    uint64_t hash = 14695981039346656037ull;
    for (int y = 0; y < kHeight; ++y) {
        const BYTE* row = static_cast<const BYTE*>(desc.lpSurface) + y * desc.lPitch;
        for (int x = 0; x < kWidth; ++x) hash = (hash ^ row[x]) * 1099511628211ull;
    }
    return surface->Unlock(NULL), hash;
}
// One frame as the frame routine makes it: the colour fill, then the scene.
void WriteFrame(FILE* out, const char* scene, void (*draw)(LPDIRECTDRAWSURFACE4, int32_t), int32_t ticks, int a, int b) {
    DDBLTFX fill = {};
    fill.dwSize = sizeof fill, fill.dwFillColor = BackgroundPixel;
    const HRESULT result = BackSurface->Blt(NULL, NULL, NULL, DDBLT_COLORFILL | DDBLT_WAIT, &fill);
    if (result != DD_OK) Fail("Blt", result);
    draw(BackSurface, ticks);
    std::fprintf(out, "%s %d %d %016" PRIx64 "\n", scene, a, b, Digest(BackSurface));
}
// Every 15 degrees, and a degree either side of each quarter turn (a face seen squarely takes the affine fill).
std::vector<int> Degrees() {
    std::vector<int> degrees;
    for (int d = 0; d < 360; ++d)
        if (d % 15 == 0 || (d + 1) % 90 == 0 || (d - 1) % 90 == 0) degrees.push_back(d);
    return degrees;
}
void WriteOrientations(FILE* out) {
    for (int x : Degrees())
        for (int y : Degrees()) DieAngleX = x * 256, DieAngleY = -y * 256, WriteFrame(out, "dice", DrawTexturedDie, 0, x, y);
    for (int angle = 0; angle < 360; ++angle) cubeAngle = angle, WriteFrame(out, "wirecube", DrawWireCube, 0, angle, 0);
}
void WriteAnimation(FILE* out) {
    DieAngleX = DieAngleY = cubeAngle = 0;
    for (int frame = 0; frame < kAnimationFrames; ++frame) WriteFrame(out, "dice-60Hz", DrawTexturedDie, kFrameTicks, frame, 0);
    for (int frame = 0; frame < kAnimationFrames; ++frame) WriteFrame(out, "wirecube-60Hz", DrawWireCube, kFrameTicks, frame, 0);
}
}  // namespace
static_assert(U<BYTE, 1> && U<WORD, 2> && U<DWORD, 4> && U<UINT, 4> && U<ULONG, 4> && U<COLORREF, 4> && S<LONG, 4>);
static_assert(S<BOOL, 4> && S<HRESULT, 4> && S<LONGLONG, 8> && S<HFILE, 4> && std::is_same_v<ATOM, WORD> && std::is_same_v<HMODULE, HINSTANCE>);
static_assert(U<WPARAM, sizeof(void*)> && S<LPARAM, sizeof(void*)> && S<LRESULT, sizeof(void*)>);
static_assert(std::is_pointer_v<HWND> && !std::is_same_v<HWND, HDC> && !std::is_same_v<HDC, HBITMAP> && std::is_same_v<HGDIOBJ, void*>);
// The values the programs use, and those of the resource compiler's and the bitmaps' files.
static_assert(E_FAIL == (HRESULT)0x80004005 && DDERR_SURFACELOST == (HRESULT)0x887601C2);
static_assert(DDERR_WASSTILLDRAWING == (HRESULT)0x8876021C && DDSCL_FULLSCREEN == 0x1 && DDSCL_EXCLUSIVE == 0x10);
static_assert(DDSD_CAPS == 0x1 && DDSD_HEIGHT == 0x2 && DDSD_WIDTH == 0x4 && DDSD_BACKBUFFERCOUNT == 0x20);
static_assert(DDSCAPS_BACKBUFFER == 0x4 && DDSCAPS_COMPLEX == 0x8 && DDSCAPS_FLIP == 0x10);
static_assert(DDSCAPS_OFFSCREENPLAIN == 0x40 && DDSCAPS_PRIMARYSURFACE == 0x200 && DDSCAPS_SYSTEMMEMORY == 0x800);
static_assert((DDBLT_COLORFILL | DDBLT_WAIT) == 0x1000400 && DDFLIP_WAIT == 0x1 && DDPCAPS_8BIT == 0x4);
static_assert(DDCKEY_SRCBLT == 0x8 && WM_DESTROY == 0x2 && WM_SIZE == 0x5 && WM_CLOSE == 0x10 && WM_QUIT == 0x12);
static_assert(WM_SETCURSOR == 0x20 && WM_COMMAND == 0x111 && WM_SYSCOMMAND == 0x112 && SIZE_MINIMIZED == 1);
static_assert(SIZE_MAXHIDE == 4 && SC_SIZE == 0xF000 && SC_MOVE == 0xF010 && SC_MAXIMIZE == 0xF030);
static_assert(SC_MONITORPOWER == 0xF170 && VK_ESCAPE == 0x1B && FVIRTKEY == 0x1 && FNOINVERT == 0x2 && FSHIFT == 0x4);
static_assert(FCONTROL == 0x8 && FALT == 0x10 && CS_VREDRAW == 0x1 && CS_HREDRAW == 0x2 && WS_POPUP == 0x80000000);
static_assert(COLOR_WINDOW == 5 && MB_OK == 0x0 && MB_ICONERROR == 0x10 && PM_NOREMOVE == 0x0 && PM_REMOVE == 0x1);
static_assert(IMAGE_BITMAP == 0 && LR_LOADFROMFILE == 0x10 && LR_CREATEDIBSECTION == 0x2000 && OF_READ == 0x0);
static_assert(HFILE_ERROR == -1 && CLR_INVALID == 0xFFFFFFFF && SRCCOPY == 0x00CC0020 && BI_RGB == 0 && BI_RLE8 == 1);
static_assert(BI_RLE4 == 2 && BI_BITFIELDS == 3 && RGB(1, 2, 3) == 0x030201 && LOWORD(0x12345678) == 0x5678);
static_assert(IS_INTRESOURCE(0xFFFF) && !IS_INTRESOURCE(0x10000));
// Pointers no constant expression may look into: a call the compiler cannot fold away fails the build.
void ResourceIdentifierDiffers() __attribute__((error("a resource type or name has another value")));
void CheckResourceIdentifiers() {
    if ((ULONG_PTR)RT_BITMAP != 2 || (ULONG_PTR)RT_ICON != 3 || (ULONG_PTR)RT_ACCELERATOR != 9 ||
        (ULONG_PTR)RT_GROUP_ICON != 14 || (ULONG_PTR)IDC_ARROW != 32512 || (ULONG_PTR)MAKEINTRESOURCEA(0x12345) != 0x2345)
        ResourceIdentifierDiffers();
}
static_assert(sizeof(RECT) == 16 && offsetof(RECT, right) == 8 && sizeof(LARGE_INTEGER) == 8);
static_assert(sizeof(PALETTEENTRY) == 4 && offsetof(PALETTEENTRY, peBlue) == 2);  // a file's table is read over them
static_assert(offsetof(BITMAP, bmWidthBytes) == 12 && offsetof(BITMAP, bmBitsPixel) == 18);
static_assert(offsetof(BITMAP, bmBits) == (WIDE ? 24 : 20) && sizeof(BITMAP) == (WIDE ? 32 : 24) && sizeof(ACCEL) == 6);
static_assert(offsetof(ACCEL, key) == 2 && offsetof(ACCEL, cmd) == 4 && offsetof(MSG, wParam) == 2 * sizeof(void*));
static_assert(offsetof(MSG, lParam) == 3 * sizeof(void*) && sizeof(WNDCLASSA) == (WIDE ? 72 : 40));
static_assert(offsetof(WNDCLASSA, lpszClassName) == (WIDE ? 64 : 36) && sizeof(DDCOLORKEY) == 8);
static_assert(sizeof(DDSCAPS2) == 16 && sizeof(DDPIXELFORMAT) == 32 && offsetof(DDPIXELFORMAT, dwFlags) == 4);
static_assert(offsetof(DDPIXELFORMAT, dwRGBBitCount) == 12 && sizeof(DDSURFACEDESC2) == (WIDE ? 136 : 124));
using SD = DDSURFACEDESC2;
static_assert(offsetof(SD, dwHeight) == 8 && offsetof(SD, lPitch) == 16 && offsetof(SD, dwBackBufferCount) == 20);
static_assert(offsetof(SD, lpSurface) == (WIDE ? 40 : 36) && offsetof(SD, ddsCaps) == offsetof(SD, ddpfPixelFormat) + 32);
static_assert(offsetof(SD, ddckCKSrcBlt) + 8 == offsetof(SD, ddpfPixelFormat) && offsetof(SD, ddpfPixelFormat) == (WIDE ? 80 : 72));
static_assert(sizeof(DDBLTFX) == (WIDE ? 128 : 100) && offsetof(DDBLTFX, dwFillColor) == (WIDE ? 104 : 80));
int main(int argc, char** argv) {
    if (argc != 3) return std::fprintf(stderr, "usage: crossframes TEXTURE.bmp OUTPUT\n"), 2;
    LPDIRECTDRAW first = NULL;
    HRESULT result = DirectDrawCreate(NULL, &first, NULL);
    if (result != DD_OK) return Fail("DirectDrawCreate", result);
    result = first->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(&DDObject));
    first->Release();
    if (result != DD_OK || (result = DDObject->SetCooperativeLevel(NULL, DDSCL_NORMAL)) != DD_OK)
        return Fail("no IDirectDraw4", result);
    BuildSineTable(), ScreenRect = {0, 0, kWidth, kHeight};
    BackgroundPixel = kBackground, WhitePixel = kWhite;
    BackSurface = CreateIndexedSurface(kWidth, kHeight), TextureSurface = LoadTexture(argv[1]);
    if (!BackSurface || !TextureSurface) return Fail("no surfaces to draw with");
    // In binary, so that every system writes the same line ends.
    FILE* out = std::fopen(argv[2], "wb");
    if (!out) return Fail("cannot open the output");
    WriteOrientations(out), WriteAnimation(out);
    TextureSurface->Release(), BackSurface->Release(), DDObject->Release();
    const bool written = !std::ferror(out);
    return std::fclose(out) == 0 && written ? 0 : Fail("cannot write the frames");
}
