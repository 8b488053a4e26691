// One row of a textured fill, as its per-pixel loop sees it, and the fast loops
// that draw the same bytes as the plain ones in the fills.
#ifndef DICE_SPANS_H
#define DICE_SPANS_H

#include <ddraw.h>

#include <cstddef>
#include <cstdint>

#include "dicetypes.h"
#include "fill.h"
#include "texel.h"

// Pixel i of n is sampled at screen offset offset + i from the centre (the
// plain loop's running sum) and takes the texel at fraction f along the 3-D
// segment between the span's ends.
struct PerspectiveSpan {
    BYTE* pixel;
    ptrdiff_t pixelSize;
    int32_t n;
    double offset;
    double scale;
    double k;
    double dX;
    double dZ;
    double eyeZ;
    double xLeft;
    double zLeft;
    int measureByDepth;
    double uL;
    double du;
    double vL;
    double dv;
};

// Pixels 0 to last take the texels at fractions k / last of the way across.
struct AffineSpan {
    BYTE* pixel;
    ptrdiff_t pixelSize;
    int32_t last;
    double uL;
    double du;
    double vL;
    double dv;
};

// What the rows of one perspective-correct triangle are made from: the
// triangle reordered, its plane, the projection, and where its pixels go.
struct PerspectiveRows {
    const ProjectedTriangle* projected;
    const ScanBox* box;
    const TexturedTriangle* ordered;
    TrianglePlane* plane;
    double centreX;
    double centreY;
    double scale;
    BYTE* rows;
    ptrdiff_t pitch;
    ptrdiff_t pixelSize;
    int nearest;
};

// Rows are made this many at a time.
constexpr int32_t ROW_BATCH = 16;

// 1 when arithmetic rounds to nearest, so that the hardware's conversion
// rounds as RoundHalfEven does. Read once per triangle.
int RoundsToNearest();

// 1 when the fast path can show that the perspective-correct span's running
// sum offset, offset + 1.0, ... never rounds in its n terms, so that term i is
// offset + i.
int RunningSumIsExact(double offset, int32_t n);

// How close the fast loop's quick fractions come to their bound: the largest
// share of it by which a texel coordinate they give lies from the plain loop's
// over the span's pixels, in every copy of the loops that this processor runs;
// infinity where a group that the loop keeps rounds otherwise than the plain
// loop; -1 where the span takes no quick fractions. single chooses those in
// double precision (0) or those in single precision (1), which a processor
// with AVX2 takes where it has no AVX-512.
double QuickFractionErrorShare(const PerspectiveSpan* span, int single);

// Draws the span and returns 1, or returns 0 having drawn nothing when it
// cannot show that it gives the plain loop's bytes; the plain loop then draws.
int DrawAffineSpanFast(const AffineSpan* span, const TexelSource* texels, int nearest);

// Makes and draws rows y to y + count - 1 (count at most ROW_BATCH) as the plain
// row code and loop would, except for the spans it cannot show it draws alike:
// those it puts in left, for the plain loop, and returns how many. Returns -1,
// doing nothing, for a triangle without a plane or where there is no fast path.
int32_t DrawPerspectiveRowsFast(const PerspectiveRows* rows, const TexelSource* texels, int32_t y, int32_t count,
                                PerspectiveSpan* left);

#endif
