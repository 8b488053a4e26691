// Draws both scenes with the programs' own routines in fixed orientations and the first frames of the 60 Hz
// animation, a line per frame with a digest of its pixels: every build on every system must write the same.
// Usage: crossframes TEXTURE.bmp OUTPUT
#include <ddraw.h>
#include <windows.h>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>
#include "dice/die.h"
#include "shell/display.h"
#include "shell/sinetable.h"
#include "wirecube/cube.h"
namespace {
constexpr int kWidth = 640, kHeight = 480;
constexpr DWORD kBackground = 1, kWhite = 255;
// Ticks of a frame at 60 Hz, and how many frames of the animation to write.
constexpr int32_t kFrameTicks = 256, kAnimationFrames = 120;
int Fail(const char* what, HRESULT result = S_OK) {
    std::fprintf(stderr, "crossframes: %s (0x%08lX)\n", what, static_cast<unsigned long>(result));
    return 1;
}
DDSURFACEDESC2 Described() {
    DDSURFACEDESC2 desc = {};
    return desc.dwSize = sizeof desc, desc;
}
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
int main(int argc, char** argv) {
    if (argc != 3) return std::fprintf(stderr, "usage: crossframes TEXTURE.bmp OUTPUT\n"), 2;
    LPDIRECTDRAW first = NULL;
    HRESULT result = DirectDrawCreate(NULL, &first, NULL);
    if (result != DD_OK) return Fail("DirectDrawCreate", result);
    result = first->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(&DDObject));
    first->Release();
    if (result != DD_OK || (result = DDObject->SetCooperativeLevel(NULL, DDSCL_NORMAL)) != DD_OK) return Fail("no IDirectDraw4", result);
    BuildSineTable();
    ScreenRect = {0, 0, kWidth, kHeight};
    BackgroundPixel = kBackground, WhitePixel = kWhite;
    BackSurface = CreateIndexedSurface(kWidth, kHeight);
    TextureSurface = LoadTexture(argv[1]);
    if (!BackSurface || !TextureSurface) return Fail("no surfaces to draw with");
    // In binary, so that every system writes the same line ends.
    FILE* out = std::fopen(argv[2], "wb");
    if (!out) return Fail("cannot open the output");
    WriteOrientations(out), WriteAnimation(out);
    TextureSurface->Release(), BackSurface->Release(), DDObject->Release();
    const bool written = !std::ferror(out);
    return std::fclose(out) == 0 && written ? 0 : Fail("cannot write the frames");
}
