// Pixels per second of each textured fill on a triangle the size of half a
// face of the die at its centre depth (about 83 x 83 pixels).
#include <benchmark/benchmark.h>

#include <ddraw.h>

#include <algorithm>
#include <vector>

#include "dice/fill.h"
#include "dice/projection.h"
#include "shell/display.h"

namespace {

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
constexpr int kTextureWidth = 400;
constexpr int kTextureHeight = 200;

DDSURFACEDESC2 Describe(std::vector<BYTE>& memory, int width, int height)
{
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof desc;
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.lPitch = width;
    desc.ddpfPixelFormat.dwRGBBitCount = 8;
    desc.lpSurface = memory.data();
    return desc;
}

void BenchmarkFill(benchmark::State& state, decltype(&FillTriangleAffine) fill, const TexturedTriangle& triangle)
{
    ScreenRect = {0, 0, kScreenWidth, kScreenHeight};
    ProjectionScale = 320.0;
    ScreenCentreX = 320.0;
    ScreenCentreY = 240.0;

    std::vector<BYTE> texels(kTextureWidth * kTextureHeight);
    for (size_t i = 0; i < texels.size(); ++i) texels[i] = static_cast<BYTE>(1 + i % 255);
    std::vector<BYTE> screen(kScreenWidth * kScreenHeight, 0);
    const DDSURFACEDESC2 source = Describe(texels, kTextureWidth, kTextureHeight);
    const DDSURFACEDESC2 destination = Describe(screen, kScreenWidth, kScreenHeight);

    ProjectedTriangle projected;
    for (int k = 0; k < 3; ++k) {
        const TexturedVertex& c = triangle.corner[k];
        projected.p[k] = {ScreenCentreX + ProjectionScale * (c.x / c.z), ScreenCentreY - ProjectionScale * (c.y / c.z)};
    }

    // No texel is 0, so the pixels drawn are those left non-zero.
    fill(&destination, &source, &triangle, &projected);
    const int64_t pixels = std::count_if(screen.begin(), screen.end(), [](BYTE b) { return b != 0; });

    for (auto _ : state) {
        fill(&destination, &source, &triangle, &projected);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * pixels);
    state.counters["pixels"] = static_cast<double>(pixels);
}

// Half of the face nearest the viewer at the start, square to the view.
void BM_FillAffine(benchmark::State& state)
{
    const double h = 0.3125;
    const TexturedTriangle triangle = {{{-h, h, 2.4, 200, 0}, {h, h, 2.4, 299, 0}, {-h, -h, 2.4, 200, 99}}};
    BenchmarkFill(state, FillTriangleAffine, triangle);
}
BENCHMARK(BM_FillAffine);

// The same half face turned so that its right side recedes.
void BM_FillPerspective(benchmark::State& state)
{
    const double h = 0.3125;
    const TexturedTriangle triangle = {{{-h, h, 2.2, 200, 0}, {h, h, 2.6, 299, 0}, {-h, -h, 2.2, 200, 99}}};
    BenchmarkFill(state, FillTrianglePerspective, triangle);
}
BENCHMARK(BM_FillPerspective);

}  // namespace
