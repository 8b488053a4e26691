// The fills' per-pixel loops, four or eight pixels at a time, giving exactly
// the bytes of the plain loops in the fills. Every pixel goes through the same
// IEEE double operations in the same order (a division or a product rounds the
// same in a vector lane as on its own, and nothing is contracted or
// reordered), or, in the perspective-correct fill, through cheaper ones whose
// texel coordinates provably round as the plain loop's do (the quick fractions
// in spans_lanes.inc); and what the plain loops check pixel by pixel is
// settled once per span where it provably changes nothing. Where that cannot
// be shown the span is declined.
#include "spans.h"

#include <cfenv>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <type_traits>

#include "fill.h"
#include "fillmath.h"
#include "scan.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

int FastFills = 1;

// Everything the vector loops call is built into them, so that each is
// compiled for the instructions its loop uses.
#define ALWAYS_INLINE inline __attribute__((always_inline))
#define LAMBDA_INLINE __attribute__((always_inline))

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

// Values held in x87 registers carry more than double precision, by chance of
// register allocation, so there only the plain loops can promise their bytes.
#if FLT_EVAL_METHOD == 0

namespace {
namespace plain {
#include "spans_lanes.inc"
}  // namespace plain

#if defined(__x86_64__) || defined(__i386__)
#define CHOOSES_AVX2 1
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2,fma"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2,fma")
#endif
#define LANES_AVX2 1
namespace avx2 {
#include "spans_lanes.inc"
}  // namespace avx2
#undef LANES_AVX2
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

// Asked before any constructor of the runtime's may have looked.
const bool HAS_AVX2 = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
}();
#endif

// Eight lanes where the processor has AVX-512. Not for Windows, whose
// compilers cannot keep the stack aligned for 64-byte registers.
#if defined(__x86_64__) && !defined(_WIN32)
#define CHOOSES_AVX512 1
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2,fma,avx512f,avx512vl,avx512bw,avx512dq"))), \
                             apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2,fma,avx512f,avx512vl,avx512bw,avx512dq")
#endif
#define LANES_AVX512 1
namespace avx512 {
#include "spans_lanes.inc"
}  // namespace avx512
#undef LANES_AVX512
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

const bool HAS_AVX512 = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
           __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512dq");
}();
#endif

}  // namespace

int RunningSumIsExact(double offset, int32_t n)
{
    const double terms = n;
    plain::Masks exact = ~plain::Masks{};
    plain::SumNeverRounds(plain::Doubles{offset, offset, offset, offset}, plain::Doubles{terms, terms, terms, terms},
                          exact);
    return exact[0] != 0;
}

double QuickFractionErrorShare(const PerspectiveSpan* span, int single)
{
    double share = plain::QuickErrorShare(*span, single);
#ifdef CHOOSES_AVX2
    if (HAS_AVX2) share = std::fmax(share, avx2::QuickErrorShare(*span, single));
#endif
#ifdef CHOOSES_AVX512
    if (HAS_AVX512) share = std::fmax(share, avx512::QuickErrorShare(*span, single));
#endif
    return share;
}

int32_t DrawPerspectiveRowsFast(const PerspectiveRows* rows, const TexelSource* texels, int32_t y, int32_t count,
                                PerspectiveSpan* left)
{
    if (rows->plane->degenerate) return -1;
#ifdef CHOOSES_AVX512
    if (HAS_AVX512 && FastFills == 1) return avx512::DrawRowsHere(*rows, *texels, y, count, left);
#endif
#ifdef CHOOSES_AVX2
    if (HAS_AVX2 && FastFills != 2) return avx2::DrawRowsHere(*rows, *texels, y, count, left);
#endif
    return plain::DrawRowsHere(*rows, *texels, y, count, left);
}

int DrawAffineSpanFast(const AffineSpan* span, const TexelSource* texels, int nearest)
{
    if (!plain::TexelsInside(span->uL, span->du, span->vL, span->dv, *texels)) return 0;
#ifdef CHOOSES_AVX512
    if (HAS_AVX512 && FastFills == 1) {
        avx512::AffineLoopHere(*span, *texels, nearest);
        return 1;
    }
#endif
#ifdef CHOOSES_AVX2
    if (HAS_AVX2 && FastFills != 2) {
        avx2::AffineLoopHere(*span, *texels, nearest);
        return 1;
    }
#endif
    plain::AffineLoopHere(*span, *texels, nearest);
    return 1;
}

#else

// Without the fast loops nothing relies on the sum, and nothing is shown.
int RunningSumIsExact(double, int32_t) { return 0; }
double QuickFractionErrorShare(const PerspectiveSpan*, int) { return -1.0; }
int32_t DrawPerspectiveRowsFast(const PerspectiveRows*, const TexelSource*, int32_t, int32_t, PerspectiveSpan*)
{
    return -1;
}
int DrawAffineSpanFast(const AffineSpan*, const TexelSource*, int) { return 0; }

#endif
