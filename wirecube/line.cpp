#include "line.h"

#include "surface/surface.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <utility>

// One axis of a line's walk: where the line starts on it, how many pixels the
// locked surface has along it, and how many bytes one pixel along it moves.
struct LineAxis {
    int64_t start;
    int64_t extent;
    ptrdiff_t stride;
};

// Truncation toward zero into the 32-bit range. Coordinates beyond it
// saturate and a NaN counts as 0: such points lie far off the surface, so
// they only steer which of its pixels the line crosses, and no double reaches
// an undefined conversion.
static int64_t TruncateToPixel(double v)
{
    if (std::isnan(v)) return 0;
    if (v <= static_cast<double>(INT32_MIN)) return INT32_MIN;
    if (v >= static_cast<double>(INT32_MAX)) return INT32_MAX;
    return static_cast<int32_t>(v);
}

static ptrdiff_t PixelOffset(const LineAxis* axis, int64_t position)
{
    return static_cast<ptrdiff_t>(position) * axis->stride;
}

// Writes the pixels major->start + i along the major axis, i from 0 to n, each
// at minor->start + (delta * i) / n along the minor axis, the quotient
// truncated toward zero. Only the steps that land on the surface are taken:
// a clipped end point may lie one past the last column or row, and the
// 32-bit span of a far-off line must not be walked pixel by pixel.
static void WriteRun(BYTE* origin, const LineAxis* major, const LineAxis* minor, int64_t n, int64_t delta, BYTE value)
{
    const int64_t first = std::max<int64_t>(0, -major->start);
    const int64_t last = std::min<int64_t>(n, major->extent - 1 - major->start);
    if (first > last) return;
    if (delta == 0) {
        if (minor->start < 0 || minor->start >= minor->extent) return;
        ptrdiff_t at = PixelOffset(major, major->start + first) + PixelOffset(minor, minor->start);
        for (int64_t i = first; i <= last; ++i) {
            origin[at] = value;
            at += major->stride;
        }
        return;
    }
    // Both magnitudes are below 2^32, so their product fits in 64 unsigned
    // bits where a signed product could not. The quotient for i is carried
    // from step to step with its remainder, which gives the same whole
    // numbers as dividing afresh for every pixel.
    const uint64_t rise = static_cast<uint64_t>(delta < 0 ? -delta : delta);
    const uint64_t steps = static_cast<uint64_t>(n);
    const uint64_t wholeStep = rise / steps;
    const uint64_t partStep = rise % steps;
    uint64_t offset = rise * static_cast<uint64_t>(first) / steps;
    uint64_t part = rise * static_cast<uint64_t>(first) % steps;
    for (int64_t i = first; i <= last; ++i) {
        const int64_t m = delta < 0 ? minor->start - static_cast<int64_t>(offset)
                                    : minor->start + static_cast<int64_t>(offset);
        if (m >= 0 && m < minor->extent) origin[PixelOffset(major, major->start + i) + PixelOffset(minor, m)] = value;
        offset += wholeStep;
        part += partStep;
        if (part >= steps) ++offset, part -= steps;
    }
}

void RasterizeLine(const DDSURFACEDESC2& desc, const ScreenSegment& segment, DWORD colour)
{
    int64_t x0 = TruncateToPixel(segment.x0);
    int64_t y0 = TruncateToPixel(segment.y0);
    int64_t x1 = TruncateToPixel(segment.x1);
    int64_t y1 = TruncateToPixel(segment.y1);
    const ptrdiff_t bytesPerPixel = desc.ddpfPixelFormat.dwRGBBitCount / 8;
    const int64_t width = desc.dwWidth;
    const int64_t height = desc.dwHeight;
    BYTE* origin = static_cast<BYTE*>(desc.lpSurface);
    const BYTE value = static_cast<BYTE>(colour);

    // Ordering along the major axis first makes the pixels independent of
    // which end point comes first.
    const int alongRows = std::llabs(x1 - x0) > std::llabs(y1 - y0);
    if (alongRows ? x1 < x0 : y1 < y0) {
        std::swap(x0, x1);
        std::swap(y0, y1);
    }
    const LineAxis across = {x0, width, bytesPerPixel};
    const LineAxis down = {y0, height, desc.lPitch};
    if (alongRows) {
        WriteRun(origin, &across, &down, x1 - x0, y1 - y0, value);
    } else {
        WriteRun(origin, &down, &across, y1 - y0, x1 - x0, value);
    }
}

void DrawLine(LPDIRECTDRAWSURFACE4 surface, const ScreenSegment& segment, DWORD colour)
{
    DDSURFACEDESC2 desc = {};
    if (DDLockWholeSurface(surface, &desc) != DD_OK) return;
    if (desc.ddpfPixelFormat.dwRGBBitCount / 8 == 1) {
        RasterizeLine(desc, segment, colour);
    }
    surface->Unlock(NULL);
}
