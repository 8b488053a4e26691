// The fills' per-pixel loops, four pixels at a time, giving exactly the bytes
// of the plain loops in the fills: every pixel goes through the same IEEE
// double operations in the same order (a division or a product rounds the same
// in a vector lane as on its own, and nothing is contracted or reordered), and
// what the plain loops check pixel by pixel is settled once per span where it
// provably changes nothing. Where that cannot be shown the span is declined.
#include "spans.h"

#include <bit>
#include <cfenv>
#include <cfloat>
#include <cmath>

#include "fill.h"
#include "fillmath.h"

#if defined(__SSE2__)
#include <xmmintrin.h>
#endif

int FastFills = 1;

int RoundsToNearest()
{
#if defined(__SSE2__)
    // Doubles are worked in the SSE unit, which rounds as its own control
    // register says; the x87 one that fegetround reads need not agree.
    return (_mm_getcsr() & _MM_ROUND_MASK) == _MM_ROUND_NEAREST;
#else
    return std::fegetround() == FE_TONEAREST;
#endif
}

// The plain loop's running sum offset, offset + 1.0, ... never rounds, and so
// equals offset + i, when every term is a multiple of 2^(e - 53), the spacing
// of doubles just below 2^e, for some 2^e above every term's magnitude. No term
// is larger than the first or offset + n; and a whole step keeps a multiple of
// that spacing (at most 1) a multiple, so offset is the one to check.
int RunningSumIsExact(double offset, int32_t n)
{
    const double first = std::fabs(offset);
    const double beyond = std::fabs(offset + n);
    if (n < 1 || !(first < 0x1p52 && beyond < 0x1p52)) return 0;
    // With n >= 1 the largest is at least 0.5, so its exponent field E lies in
    // 1022..1074, and offset * 2^(1075 - E) is exact and below 2^53.
    const uint64_t largest = std::bit_cast<uint64_t>(first > beyond ? first : beyond) >> 52;
    const double scaled = offset * std::bit_cast<double>((1023 + 1075 - largest) << 52);
    return scaled == static_cast<double>(static_cast<int64_t>(scaled));
}

// Values held in x87 registers carry more than double precision, by chance of
// register allocation, so there only the plain loops can promise their bytes.
#if FLT_EVAL_METHOD == 0

namespace {

typedef double Doubles __attribute__((vector_size(32)));
typedef int32_t Ints __attribute__((vector_size(16)));
constexpr int LANES = 4;
const Doubles LANE = {0.0, 1.0, 2.0, 3.0};
const Doubles ZERO = {0.0, 0.0, 0.0, 0.0};
const Doubles ONE = {1.0, 1.0, 1.0, 1.0};
// Added and taken away again, it leaves a value of magnitude below 2^51 at the
// nearest whole number, halves to even, when arithmetic rounds to nearest.
constexpr double ROUNDER = 0x1.8p52;

#define ALWAYS_INLINE inline __attribute__((always_inline))

// start + f * delta moves steadily with f from 0 to 1 (every rounding step is
// monotonic), and so does its rounding: when the ends round to texels inside
// the texture, so does every pixel, and none needs the limits or meets a value
// that is not a number. Values from -0.5 to below last + 0.5 round inside.
int EndsInside(double start, double delta, int32_t last)
{
    const double first = start + 0.0 * delta;
    const double final = start + 1.0 * delta;
    const double beyond = last + 0.5;
    return (first >= -0.5) & (first < beyond) & (final >= -0.5) & (final < beyond);
}

int TexelsInside(double uL, double du, double vL, double dv, const TexelSource& texels)
{
    return EndsInside(uL, du, texels.lastColumn) && EndsInside(vL, dv, texels.lastRow);
}

// LimitToUnit, lane by lane: not less than 1 (or not a number) gives 1. (Vectors
// go by reference: by value they would pass differently with and without AVX.)
ALWAYS_INLINE void LimitLanesToUnit(Doubles& value)
{
    value = value < ONE ? value : ONE;
    value = value < ZERO ? ZERO : value;
}

// Pixels are worked out in runs of this many, their texel columns and rows
// kept until the run's texels are copied: a run's arithmetic then has no
// memory traffic to wait for, and four lanes' divisions overlap the next four's.
constexpr int64_t RUN = 64;

// Texel columns and rows of a run of pixels, and where they go. The texture's
// and the span's fields are copied out of their records so that the byte
// stores, which may alias anything, do not make them be read again.
struct Run {
    int32_t column[RUN];
    int32_t row[RUN];
    const BYTE* bits;
    ptrdiff_t pitch;
    ptrdiff_t texelSize;
    BYTE* pixel;
    ptrdiff_t pixelSize;
    int nearest;
};

// Rounds four pixels' texel coordinates into the run from index j.
ALWAYS_INLINE void RoundTexels(const Doubles& u, const Doubles& v, Run& run, int64_t j)
{
    Ints column, row;
    if (run.nearest) {
        column = __builtin_convertvector((u + ROUNDER) - ROUNDER, Ints);
        row = __builtin_convertvector((v + ROUNDER) - ROUNDER, Ints);
    } else {
        for (int lane = 0; lane < LANES; ++lane) {
            column[lane] = RoundHalfEven(u[lane]);
            row[lane] = RoundHalfEven(v[lane]);
        }
    }
    __builtin_memcpy(&run.column[j], &column, sizeof column);
    __builtin_memcpy(&run.row[j], &row, sizeof row);
}

// Copies the texels of the run's first count pixels; the pixels start at
// pixel first of the span.
ALWAYS_INLINE void CopyTexels(const Run& run, int64_t first, int64_t count)
{
    BYTE* pixel = run.pixel + first * run.pixelSize;
    for (int64_t j = 0; j < count; ++j) {
        pixel[j * run.pixelSize] = run.bits[run.row[j] * run.pitch + run.column[j] * run.texelSize];
    }
}

// Lanes past the span's end are worked like the others and not copied; their
// fractions too are limited to 0..1, so their texels lie inside as well.
ALWAYS_INLINE void PerspectiveLoop(const PerspectiveSpan& s, const TexelSource& texels, int nearest)
{
    Run run;
    run.bits = texels.bits, run.pitch = texels.pitch, run.texelSize = texels.texelSize;
    run.pixel = s.pixel, run.pixelSize = s.pixelSize, run.nearest = nearest;
    const int64_t n = s.n;
    const double offset = s.offset, scale = s.scale, k = s.k, dX = s.dX, dZ = s.dZ, eyeZ = s.eyeZ;
    const double zLeft = s.zLeft, xLeft = s.xLeft, uL = s.uL, du = s.du, vL = s.vL, dv = s.dv;
    const int byDepth = s.measureByDepth;
    const double fDen = byDepth ? dZ : dX;
    for (int64_t first = 0; first < n; first += RUN) {
        for (int64_t j = 0; j < RUN && first + j < n; j += LANES) {
            const Doubles sx = (offset + (LANE + static_cast<double>(first + j))) / scale;
            // The plain loop's dZ * sx: a product does not depend on the order
            // of its factors.
            const Doubles along = sx * dZ;
            const Doubles zq = (k - along * eyeZ) / (dX - along);
            Doubles f = (byDepth ? zq - zLeft : (zq - eyeZ) * sx - xLeft) / fDen;
            LimitLanesToUnit(f);
            RoundTexels(uL + f * du, vL + f * dv, run, j);
        }
        CopyTexels(run, first, n - first < RUN ? n - first : RUN);
    }
}

ALWAYS_INLINE void AffineLoop(const AffineSpan& s, const TexelSource& texels, int nearest)
{
    Run run;
    run.bits = texels.bits, run.pitch = texels.pitch, run.texelSize = texels.texelSize;
    run.pixel = s.pixel, run.pixelSize = s.pixelSize, run.nearest = nearest;
    const int64_t count = static_cast<int64_t>(s.last) + 1;
    const double n = s.last, uL = s.uL, du = s.du, vL = s.vL, dv = s.dv;
    for (int64_t first = 0; first < count; first += RUN) {
        for (int64_t j = 0; j < RUN && first + j < count; j += LANES) {
            Doubles f = (LANE + static_cast<double>(first + j)) / n;
            LimitLanesToUnit(f);
            RoundTexels(uL + f * du, vL + f * dv, run, j);
        }
        CopyTexels(run, first, count - first < RUN ? count - first : RUN);
    }
}

void PerspectiveLoopBase(const PerspectiveSpan& s, const TexelSource& texels, int nearest)
{
    PerspectiveLoop(s, texels, nearest);
}

void AffineLoopBase(const AffineSpan& s, const TexelSource& texels, int nearest)
{
    AffineLoop(s, texels, nearest);
}

#if defined(__x86_64__) || defined(__i386__)
#define CHOOSES_AVX2 1
__attribute__((target("avx2"))) void PerspectiveLoopAvx2(const PerspectiveSpan& s, const TexelSource& texels,
                                                         int nearest)
{
    PerspectiveLoop(s, texels, nearest);
}

__attribute__((target("avx2"))) void AffineLoopAvx2(const AffineSpan& s, const TexelSource& texels, int nearest)
{
    AffineLoop(s, texels, nearest);
}

// Asked before any constructor of the runtime's may have looked.
const bool HAS_AVX2 = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
}();
#endif

}  // namespace

int DrawPerspectiveSpanFast(const PerspectiveSpan* span, const TexelSource* texels, int nearest)
{
    if (!RunningSumIsExact(span->offset, span->n) ||
        !TexelsInside(span->uL, span->du, span->vL, span->dv, *texels)) {
        return 0;
    }
#ifdef CHOOSES_AVX2
    if (HAS_AVX2) {
        PerspectiveLoopAvx2(*span, *texels, nearest);
        return 1;
    }
#endif
    PerspectiveLoopBase(*span, *texels, nearest);
    return 1;
}

int DrawAffineSpanFast(const AffineSpan* span, const TexelSource* texels, int nearest)
{
    if (!TexelsInside(span->uL, span->du, span->vL, span->dv, *texels)) return 0;
#ifdef CHOOSES_AVX2
    if (HAS_AVX2) {
        AffineLoopAvx2(*span, *texels, nearest);
        return 1;
    }
#endif
    AffineLoopBase(*span, *texels, nearest);
    return 1;
}

#else

int DrawPerspectiveSpanFast(const PerspectiveSpan*, const TexelSource*, int) { return 0; }
int DrawAffineSpanFast(const AffineSpan*, const TexelSource*, int) { return 0; }

#endif
