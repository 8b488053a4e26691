// The fills' per-pixel loops, four pixels at a time, giving exactly the bytes
// of the plain loops in the fills: every pixel goes through the same IEEE
// double operations in the same order (a division or a product rounds the same
// in a vector lane as on its own, and nothing is contracted or reordered), and
// what the plain loops check pixel by pixel is settled once per span where it
// provably changes nothing. Where that cannot be shown the span is declined.
#include "spans.h"

#include <cfenv>
#include <cfloat>
#include <cmath>
#include <cstring>

#include "fill.h"
#include "fillmath.h"
#include "scan.h"

#if defined(__SSE2__)
#include <xmmintrin.h>
#endif

int FastFills = 1;

// Everything the vector loops call is built into them, so that each is
// compiled for the instructions its loop uses.
#define ALWAYS_INLINE inline __attribute__((always_inline))

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

// The bits of a value as another type of the same size: std::bit_cast, which
// the standard library of the web build lacks.
template <typename To, typename From>
static ALWAYS_INLINE To BitCast(From from)
{
    static_assert(sizeof(To) == sizeof(From));
    To to;
    std::memcpy(&to, &from, sizeof to);
    return to;
}

// The plain loop's running sum offset, offset + 1.0, ... never rounds, and so
// equals offset + i, when every term is a multiple of 2^(e - 53), the spacing
// of doubles just below 2^e, for some 2^e above every term's magnitude. No term
// is larger than the first or offset + n; and a whole step keeps a multiple of
// that spacing (at most 1) a multiple, so offset is the one to check.
static ALWAYS_INLINE int SumNeverRounds(double offset, int32_t n)
{
    const double first = std::fabs(offset);
    const double beyond = std::fabs(offset + n);
    if (n < 1 || !(first < 0x1p52 && beyond < 0x1p52)) return 0;
    // With n >= 1 the largest is at least 0.5, so its exponent field E lies in
    // 1022..1074, and offset * 2^(1075 - E) is exact and below 2^53.
    const uint64_t largest = BitCast<uint64_t>(first > beyond ? first : beyond) >> 52;
    const double scaled = offset * BitCast<double>((1023 + 1075 - largest) << 52);
    return scaled == static_cast<double>(static_cast<int64_t>(scaled));
}

int RunningSumIsExact(double offset, int32_t n)
{
    return SumNeverRounds(offset, n);
}

// Values held in x87 registers carry more than double precision, by chance of
// register allocation, so there only the plain loops can promise their bytes.
#if FLT_EVAL_METHOD == 0

namespace {

typedef double Doubles __attribute__((vector_size(32)));
typedef int32_t Ints __attribute__((vector_size(16)));
typedef int64_t Masks __attribute__((vector_size(32)));
constexpr int LANES = 4;
const Doubles LANE = {0.0, 1.0, 2.0, 3.0};
const Doubles ZERO = {0.0, 0.0, 0.0, 0.0};
const Doubles ONE = {1.0, 1.0, 1.0, 1.0};
// Added and taken away again, it leaves a value of magnitude below 2^51 at the
// nearest whole number, halves to even, when arithmetic rounds to nearest.
constexpr double ROUNDER = 0x1.8p52;

// start + f * delta moves steadily with f from 0 to 1 (every rounding step is
// monotonic), and so does its rounding: when the ends round to texels inside
// the texture, so does every pixel, and none needs the limits or meets a value
// that is not a number. Values from -0.5 to below last + 0.5 round inside.
ALWAYS_INLINE int EndsInside(double start, double delta, int32_t last)
{
    const double first = start + 0.0 * delta;
    const double final = start + 1.0 * delta;
    const double beyond = last + 0.5;
    return (first >= -0.5) & (first < beyond) & (final >= -0.5) & (final < beyond);
}

// Every texel offset within the texture, row * pitch + column * texel size,
// then lies below 2^31 in magnitude.
ALWAYS_INLINE int TexelOffsetsFit(const TexelSource& texels)
{
    const double farthest = std::fabs(static_cast<double>(texels.lastRow) * static_cast<double>(texels.pitch)) +
                            std::fabs(static_cast<double>(texels.lastColumn) * static_cast<double>(texels.texelSize));
    return farthest < 0x1p31;
}

ALWAYS_INLINE int TexelsInside(double uL, double du, double vL, double dv, const TexelSource& texels)
{
    return EndsInside(uL, du, texels.lastColumn) && EndsInside(vL, dv, texels.lastRow) && TexelOffsetsFit(texels);
}

// LimitToUnit, lane by lane: not less than 1 (or not a number) gives 1. (Vectors
// go by reference: by value they would pass differently with and without AVX.)
ALWAYS_INLINE void LimitLanesToUnit(Doubles& value)
{
    value = value < ONE ? value : ONE;
    value = value < ZERO ? ZERO : value;
}

// Pixels are worked out in runs of this many, their texels' offsets kept until
// the run's texels are copied: a run's arithmetic then waits for no memory, and
// four lanes' divisions overlap the next four's.
constexpr int64_t RUN = 64;

// The texels of a run of pixels, as offsets into the texture, and where they
// go. The texture's and the span's fields are copied out of their records so
// that the byte stores, which may alias anything, do not make them be read
// again.
struct Run {
    int32_t texel[RUN];
    const BYTE* bits;
    double pitch;
    double texelSize;
    BYTE* pixel;
    ptrdiff_t pixelSize;
};

ALWAYS_INLINE void StartRun(Run& run, const TexelSource& texels, BYTE* pixel, ptrdiff_t pixelSize)
{
    run.bits = texels.bits;
    run.pitch = static_cast<double>(texels.pitch);
    run.texelSize = static_cast<double>(texels.texelSize);
    run.pixel = pixel;
    run.pixelSize = pixelSize;
}

// RoundHalfEven, lane by lane, of values known to lie well within 32 bits.
template <int NEAREST>
ALWAYS_INLINE void RoundLanes(Doubles& value)
{
    if (NEAREST) {
        value = (value + ROUNDER) - ROUNDER;
    } else {
        for (int lane = 0; lane < LANES; ++lane) value[lane] = RoundHalfEven(value[lane]);
    }
}

// Rounds four pixels' texel coordinates and keeps their texels' offsets in the
// run from index j. The offsets are whole numbers below 2^31 in magnitude
// (TexelOffsetsFit), so their doubles are exact.
template <int NEAREST>
ALWAYS_INLINE void RoundTexels(const Doubles& uExact, const Doubles& vExact, Run& run, int64_t j)
{
    Doubles u = uExact, v = vExact;
    RoundLanes<NEAREST>(u);
    RoundLanes<NEAREST>(v);
    const Ints texel = __builtin_convertvector(v * run.pitch + u * run.texelSize, Ints);
    __builtin_memcpy(&run.texel[j], &texel, sizeof texel);
}

// Copies the texels of the run's first count pixels; the pixels start at
// pixel first of the span.
ALWAYS_INLINE void CopyTexels(const Run& run, int64_t first, int64_t count)
{
    BYTE* pixel = run.pixel + first * run.pixelSize;
    for (int64_t j = 0; j < count; ++j) pixel[j * run.pixelSize] = run.bits[run.texel[j]];
}

// Lanes past the span's end are worked like the others and not copied; their
// fractions too are limited to 0..1, so their texels lie inside as well.
template <int NEAREST>
ALWAYS_INLINE void PerspectiveLoop(const PerspectiveSpan& s, const TexelSource& texels)
{
    Run run;
    StartRun(run, texels, s.pixel, s.pixelSize);
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
            RoundTexels<NEAREST>(uL + f * du, vL + f * dv, run, j);
        }
        CopyTexels(run, first, n - first < RUN ? n - first : RUN);
    }
}

template <int NEAREST>
ALWAYS_INLINE void AffineLoop(const AffineSpan& s, const TexelSource& texels)
{
    Run run;
    StartRun(run, texels, s.pixel, s.pixelSize);
    const int64_t count = static_cast<int64_t>(s.last) + 1;
    const double n = s.last, uL = s.uL, du = s.du, vL = s.vL, dv = s.dv;
    for (int64_t first = 0; first < count; first += RUN) {
        for (int64_t j = 0; j < RUN && first + j < count; j += LANES) {
            Doubles f = (LANE + static_cast<double>(first + j)) / n;
            LimitLanesToUnit(f);
            RoundTexels<NEAREST>(uL + f * du, vL + f * dv, run, j);
        }
        CopyTexels(run, first, count - first < RUN ? count - first : RUN);
    }
}

// GetScanSpan's step for one edge, lane by lane: IsBetween, then
// ExtendSpanByEdge where it holds.
ALWAYS_INLINE void ExtendLanesByEdge(const Doubles& y, const ProjectedPoint& start, const ProjectedPoint& end,
                                     Doubles& lo, Doubles& hi)
{
    const double low = end.y > start.y ? start.y : end.y;
    const double high = end.y > start.y ? end.y : start.y;
    const Masks crosses = (low <= y) & (y <= high);
    if (start.y != end.y) {
        const Doubles x = start.x + (y - start.y) / (end.y - start.y) * (end.x - start.x);
        hi = (crosses & (x > hi)) ? x : hi;
        lo = (crosses & (x < lo)) ? x : lo;
    } else {
        const double smaller = start.x < end.x ? start.x : end.x;
        const double larger = start.x < end.x ? end.x : start.x;
        const Doubles smallerLanes = {smaller, smaller, smaller, smaller};
        const Doubles largerLanes = {larger, larger, larger, larger};
        lo = (crosses & (smaller < lo)) ? smallerLanes : lo;
        hi = (crosses & (larger > hi)) ? largerLanes : hi;
    }
}

// IntersectViewRay on a triangle with a plane, then InterpolateTexCoords,
// lane by lane: the point met at screen direction (sx, sy) and its texel
// coordinates.
ALWAYS_INLINE void SolveLanes(const Doubles& sx, const Doubles& sy, const Doubles& rowTerm,
                              const TexturedTriangle& triangle, const TrianglePlane& plane, Doubles& x, Doubles& z,
                              Doubles& u, Doubles& v)
{
    const TexturedVertex& a = triangle.corner[0];
    const TexturedVertex& b = triangle.corner[1];
    const TexturedVertex& c = triangle.corner[2];
    const Doubles rayDen = sx * plane.kX - rowTerm;
    const Doubles met =
        ((sx * plane.eyeZ + a.x) * plane.kX - plane.k0z - (sy * plane.eyeZ + a.y) * plane.kY) / rayDen;
    const double middle = (a.z + b.z + c.z) / 3.0;
    const Doubles middleLanes = {middle, middle, middle, middle};
    z = ((rayDen > PLANE_EPSILON) | (rayDen < -PLANE_EPSILON)) ? met : middleLanes;
    const Doubles w = z - plane.eyeZ;
    x = sx * w;
    const Doubles y = sy * w;

    Doubles s;
    switch (plane.sAxis) {
    case 0:
        s = ((x - a.x) * plane.e2z - (z - a.z) * plane.e2x) / plane.detXZ;
        break;
    case 1:
        s = ((y - a.y) * plane.e2z - (z - a.z) * plane.e2y) / plane.detYZ;
        break;
    default:
        s = ((x - a.x) * plane.e2y - (y - a.y) * plane.e2x) / plane.detXY;
        break;
    }
    LimitLanesToUnit(s);
    Doubles t;
    switch (plane.tAxis) {
    case 0:
        t = ((x - a.x) - s * plane.e1x) / (s * plane.e2x);
        break;
    case 1:
        t = ((y - a.y) - s * plane.e1y) / (s * plane.e2y);
        break;
    default:
        t = ((z - a.z) - s * plane.e1z) / (s * plane.e2z);
        break;
    }
    LimitLanesToUnit(t);

    const Doubles ua = (c.u - a.u) * s + a.u;
    const Doubles va = (c.v - a.v) * s + a.v;
    const Doubles ub = (b.u - a.u) * s + a.u;
    const Doubles vb = (b.v - a.v) * s + a.v;
    u = (ub - ua) * t + ua;
    v = (vb - va) * t + va;
}

// The plain row code for four rows at once; rows past count are worked and
// left out.
template <int NEAREST>
ALWAYS_INLINE void MakeFourSpans(const PerspectiveRows& r, int32_t y, int32_t count, PerspectiveSpan* spans,
                                 int* drawn)
{
    const Doubles row = LANE + static_cast<double>(y);
    const double minX = r.box->minX, maxX = r.box->maxX;
    const Doubles minXLanes = {minX, minX, minX, minX};
    const Doubles maxXLanes = {maxX, maxX, maxX, maxX};
    Doubles lo = maxXLanes, hi = minXLanes;
    const ProjectedPoint* p = r.projected->p;
    ExtendLanesByEdge(row, p[0], p[2], lo, hi);
    ExtendLanesByEdge(row, p[0], p[1], lo, hi);
    ExtendLanesByEdge(row, p[1], p[2], lo, hi);
    const Doubles xl = minXLanes < lo ? lo : minXLanes;
    const Doubles xr = maxXLanes > hi ? hi : maxXLanes;

    const Doubles sy = (r.centreY - row) / r.scale;
    const Doubles rowTerm = sy * r.plane->kY + r.plane->k0;
    Doubles xLeft, zLeft, uL, vL, xRight, zRight, uR, vR;
    SolveLanes((xl - r.centreX) / r.scale, sy, rowTerm, *r.ordered, *r.plane, xLeft, zLeft, uL, vL);
    SolveLanes((xr - r.centreX) / r.scale, sy, rowTerm, *r.ordered, *r.plane, xRight, zRight, uR, vR);
    const Doubles dX = xRight - xLeft;
    const Doubles dZ = zRight - zLeft;
    const Doubles k = dX * zLeft - dZ * xLeft;
    // Both ends lie within the box, so they round like any small value.
    Doubles wholeL = xl, wholeR = xr;
    RoundLanes<NEAREST>(wholeL);
    RoundLanes<NEAREST>(wholeR);
    const Ints ixl = __builtin_convertvector(wholeL, Ints);
    const Ints ixr = __builtin_convertvector(wholeR, Ints);

    for (int j = 0; j < count; ++j) {
        drawn[j] = !(xr[j] - xl[j] <= MIN_SPAN_WIDTH);
        if (!drawn[j]) continue;
        PerspectiveSpan& span = spans[j];
        span.pixel = r.rows + r.pitch * (y + j) + r.pixelSize * ixl[j];
        span.pixelSize = r.pixelSize;
        span.n = ixr[j] - ixl[j] + 1;
        span.offset = xl[j] - r.centreX;
        span.scale = r.scale;
        span.k = k[j];
        span.dX = dX[j];
        span.dZ = dZ[j];
        span.eyeZ = r.plane->eyeZ;
        span.xLeft = xLeft[j];
        span.zLeft = zLeft[j];
        span.measureByDepth = std::fabs(dX[j]) <= std::fabs(dZ[j]);
        span.uL = uL[j];
        span.du = uR[j] - uL[j];
        span.vL = vL[j];
        span.dv = vR[j] - vL[j];
    }
}

// A perspective-correct span that the vector loop draws as the plain one does.
ALWAYS_INLINE int SpanIsSure(const PerspectiveSpan& span, const TexelSource& texels)
{
    return SumNeverRounds(span.offset, span.n) && TexelsInside(span.uL, span.du, span.vL, span.dv, texels);
}

// Makes and draws rows y to y + count - 1, four at a time, and returns how
// many spans it leaves to the plain loop, in left.
template <int NEAREST>
ALWAYS_INLINE int32_t DrawRows(const PerspectiveRows& r, const TexelSource& texels, int32_t y, int32_t count,
                               PerspectiveSpan* left)
{
    int32_t declined = 0;
    for (int32_t first = 0; first < count; first += LANES) {
        PerspectiveSpan spans[LANES];
        int drawn[LANES];
        const int32_t rows = count - first < LANES ? count - first : LANES;
        MakeFourSpans<NEAREST>(r, y + first, rows, spans, drawn);
        for (int32_t j = 0; j < rows; ++j) {
            if (!drawn[j]) continue;
            if (SpanIsSure(spans[j], texels)) {
                PerspectiveLoop<NEAREST>(spans[j], texels);
            } else {
                left[declined++] = spans[j];
            }
        }
    }
    return declined;
}

int32_t DrawRowsBase(const PerspectiveRows& r, const TexelSource& texels, int32_t y, int32_t count,
                     PerspectiveSpan* left)
{
    return r.nearest ? DrawRows<1>(r, texels, y, count, left) : DrawRows<0>(r, texels, y, count, left);
}

void AffineLoopBase(const AffineSpan& s, const TexelSource& texels, int nearest)
{
    nearest ? AffineLoop<1>(s, texels) : AffineLoop<0>(s, texels);
}

#if defined(__x86_64__) || defined(__i386__)
#define CHOOSES_AVX2 1
__attribute__((target("avx2"))) int32_t DrawRowsAvx2(const PerspectiveRows& r, const TexelSource& texels, int32_t y,
                                                     int32_t count, PerspectiveSpan* left)
{
    return r.nearest ? DrawRows<1>(r, texels, y, count, left) : DrawRows<0>(r, texels, y, count, left);
}

__attribute__((target("avx2"))) void AffineLoopAvx2(const AffineSpan& s, const TexelSource& texels, int nearest)
{
    nearest ? AffineLoop<1>(s, texels) : AffineLoop<0>(s, texels);
}

// Asked before any constructor of the runtime's may have looked.
const bool HAS_AVX2 = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
}();
#endif

}  // namespace

int32_t DrawPerspectiveRowsFast(const PerspectiveRows* rows, const TexelSource* texels, int32_t y, int32_t count,
                                PerspectiveSpan* left)
{
    if (rows->plane->degenerate) return -1;
#ifdef CHOOSES_AVX2
    if (HAS_AVX2) return DrawRowsAvx2(*rows, *texels, y, count, left);
#endif
    return DrawRowsBase(*rows, *texels, y, count, left);
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

int32_t DrawPerspectiveRowsFast(const PerspectiveRows*, const TexelSource*, int32_t, int32_t, PerspectiveSpan*)
{
    return -1;
}
int DrawAffineSpanFast(const AffineSpan*, const TexelSource*, int) { return 0; }

#endif
