// The die's frame as the program draws it (clear the 640 x 480 8-bit back
// buffer, then the twelve triangles through the surfaces and their locks, no
// flip), next to SDL2's software renderer drawing the same twelve triangles of
// the same die (one SDL_RenderGeometry of 36 vertices into a 640 x 480 ARGB8888
// surface, nearest sampling; its clear is not timed) and a memset of the 8-bit
// frame. The contenders take turns round by round in one process, so that a
// busy machine slows them alike; each median and the ratios are printed.
//     build/default/bench/bench_frame [rounds]
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <functional>
#include <iterator>
#include <vector>

#include "dice/die.h"
#include "dice/faces.h"
#include "dice/fill.h"
#include "dice/projection.h"
#include "shell/display.h"
#include "shell/sinetable.h"
#include "testing/memory_surface.h"

namespace {

constexpr int W = 640, H = 480, TW = 400, TH = 200;
constexpr int FIXED_X = 30 * 256, FIXED_Y = -50 * 256;
constexpr int FIXED_FRAMES = 100, ANIMATION_FRAMES = 240, FRAME_TICKS = 256;

std::vector<BYTE> screen(W * H), texels(TW * TH);
std::vector<Uint32> colours(256);

// The 8-bit texture bitmap: its colour table and its rows, stored bottom up.
bool LoadTexture() {
    std::ifstream file(DIE_TEXTURE, std::ios::binary);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(file), {}};
    if (bytes.size() != 14 + 40 + 1024 + TW * TH) return false;
    for (int i = 0; i < 256; ++i) {
        const unsigned char* q = &bytes[54 + 4 * i];
        colours[i] = 0xFF000000u | q[2] << 16 | q[1] << 8 | q[0];
    }
    for (int y = 0; y < TH; ++y) std::memcpy(&texels[y * TW], &bytes[1078 + (TH - 1 - y) * TW], TW);
    return true;
}

void DrawDieFrame(int ticks) {
    DDBLTFX fill = {};
    fill.dwSize = sizeof fill;
    BackSurface->Blt(NULL, NULL, NULL, DDBLT_COLORFILL | DDBLT_WAIT, &fill);
    DrawTexturedDie(BackSurface, ticks);
}

// The 36 vertices that the die's frame just drawn handed to its fills, split
// as the program splits each face.
std::vector<SDL_Vertex> DieVertices() {
    CubeCorner corners[DIE_CORNER_COUNT];
    BuildDieCorners(corners);
    TurnAndPlaceCorners(corners);
    FaceQuad faces[DIE_FACE_COUNT];
    AssembleDieFaces(corners, faces);
    std::vector<SDL_Vertex> vertices;
    for (const FaceQuad& f : faces) {
        for (const TexturedTriangle& t : {TexturedTriangle{{f.c1, f.c2, f.c0}}, TexturedTriangle{{f.c3, f.c0, f.c2}}}) {
            ProjectedTriangle p;
            ProjectTriangle(&t, &p);
            for (int k = 0; k < 3; ++k) {
                vertices.push_back({{float(p.p[k].x), float(p.p[k].y)}, {255, 255, 255, 255},
                                    {float(t.corner[k].u / TW), float(t.corner[k].v / TH)}});
            }
        }
    }
    return vertices;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// Processor time of the process, in microseconds: unlike the wall clock, it
// does not count the time that other programs on a busy machine take.
double ProcessMicroseconds() {
    timespec now;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e6 + now.tv_nsec / 1e3;
}

// Microseconds a frame, over a batch of frames.
double TimePerFrame(int frames, const std::function<void(int)>& draw) {
    const double start = ProcessMicroseconds();
    for (int i = 0; i < frames; ++i) draw(i);
    return (ProcessMicroseconds() - start) / frames;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 15;
    if (rounds < 1 || !LoadTexture()) {
        std::fprintf(stderr, "usage: bench_frame [rounds >= 1]; needs %s\n", DIE_TEXTURE);
        return 1;
    }
    BuildSineTable();
    ScreenRect = {0, 0, W, H};
    BackSurface = platform::CreateMemorySurface(W, H, 8, W, screen.data());
    TextureSurface = platform::CreateMemorySurface(TW, TH, 8, TW, texels.data());

    SDL_Surface* target = SDL_CreateRGBSurfaceWithFormat(0, W, H, 32, SDL_PIXELFORMAT_ARGB8888);
    SDL_Renderer* renderer = target ? SDL_CreateSoftwareRenderer(target) : nullptr;
    SDL_Texture* texture =
        renderer ? SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, TW, TH) : nullptr;
    if (!texture) {
        std::fprintf(stderr, "SDL2's software renderer: %s\n", SDL_GetError());
        return 1;
    }
    std::vector<Uint32> argb(TW * TH);
    for (int i = 0; i < TW * TH; ++i) argb[i] = colours[texels[i]];
    SDL_UpdateTexture(texture, nullptr, argb.data(), TW * 4);
    SDL_SetTextureScaleMode(texture, SDL_ScaleModeNearest);

    // The same frames for every contender: one still, and four seconds of the
    // die turning at 60 frames a second from the start.
    DieAngleX = FIXED_X, DieAngleY = FIXED_Y;
    DrawTexturedDie(BackSurface, 0);
    const std::vector<SDL_Vertex> still = DieVertices();
    std::vector<std::vector<SDL_Vertex>> turning;
    DieAngleX = DieAngleY = 0;
    for (int i = 0; i < ANIMATION_FRAMES; ++i) {
        DrawTexturedDie(BackSurface, FRAME_TICKS);
        turning.push_back(DieVertices());
    }
    const auto sdl = [&](const std::vector<SDL_Vertex>& v) {
        return SDL_RenderGeometry(renderer, texture, v.data(), int(v.size()), nullptr, 0) | SDL_RenderFlush(renderer);
    };
    // A peer that draws nothing would make every ratio meaningless.
    const Uint32* argbFrame = static_cast<const Uint32*>(target->pixels);
    if (sdl(still) != 0 || std::count(argbFrame, argbFrame + W * H, 0u) > W * H - 5000) {
        std::fprintf(stderr, "SDL2's software renderer drew no die: %s\n", SDL_GetError());
        return 1;
    }

    struct Contender {
        const char* name;
        std::function<void(int)> still, turning;
        std::vector<double> times[2];
    };
    const auto dieStill = [](int) { DieAngleX = FIXED_X, DieAngleY = FIXED_Y, DrawDieFrame(0); };
    const auto dieTurning = [](int i) {
        if (i == 0) DieAngleX = DieAngleY = 0;
        DrawDieFrame(FRAME_TICKS);
    };
    const auto plain = [](const std::function<void(int)>& draw) {
        return [draw](int i) { FastFills = 0, draw(i), FastFills = 1; };
    };
    const auto clearOnly = [](int) {
        std::memset(screen.data(), 0, screen.size());
        asm volatile("" ::: "memory");  // keep the stores, which nothing reads
    };
    Contender contenders[] = {
        {"dice", dieStill, dieTurning, {}},
        {"dice, plain fills", plain(dieStill), plain(dieTurning), {}},
        {"SDL2 software renderer", [&](int) { sdl(still); }, [&](int i) { sdl(turning[i]); }, {}},
        {"memset of the 8-bit frame", clearOnly, clearOnly, {}},
    };
    for (int r = 0; r < rounds; ++r) {
        for (Contender& c : contenders) {
            c.times[0].push_back(TimePerFrame(FIXED_FRAMES, c.still));
            c.times[1].push_back(TimePerFrame(ANIMATION_FRAMES, c.turning));
        }
    }

    std::printf("processor us a frame, median of %d rounds   fixed (30, -50)   60 Hz animation\n", rounds);
    double m[4][2];
    for (int k = 0; k < 4; ++k) {
        for (int j = 0; j < 2; ++j) m[k][j] = Median(contenders[k].times[j]);
        std::printf("%-32s %16.1f %17.1f\n", contenders[k].name, m[k][0], m[k][1]);
    }
    std::printf("%-32s %16.2f %17.2f\n", "dice / SDL2 software", m[0][0] / m[2][0], m[0][1] / m[2][1]);
    std::printf("%-32s %16.2f %17.2f\n", "dice / dice with plain fills", m[0][0] / m[1][0], m[0][1] / m[1][1]);

    SDL_DestroyTexture(texture);
    SDL_DestroyRenderer(renderer);
    SDL_FreeSurface(target);
    BackSurface->Release();
    TextureSurface->Release();
    return 0;
}
