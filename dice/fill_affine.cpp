#include <cmath>
#include <cstddef>

#include "fill.h"
#include "fillmath.h"
#include "scan.h"
#include "spans.h"
#include "texel.h"

// The projected triangle as the affine fill solves against it: corner 0, the
// edge e from corner 0 to corner 2, the edge f from corner 2 to corner 1, and
// twice the signed area.
struct AffineFrame {
    double x0;
    double y0;
    double ex;
    double ey;
    double fx;
    double fy;
    double det;
    // Solve t from x rather than y where the edge f runs more across than down,
    // so that the division is by the larger component.
    int tAlongX;
};

static void SetUpAffineFrame(AffineFrame* frame, const ProjectedTriangle* projected)
{
    const ProjectedPoint* p = projected->p;
    frame->x0 = p[0].x;
    frame->y0 = p[0].y;
    frame->ex = p[2].x - p[0].x;
    frame->ey = p[2].y - p[0].y;
    frame->fx = p[1].x - p[2].x;
    frame->fy = p[1].y - p[2].y;
    frame->det = frame->ex * frame->fy - frame->fx * frame->ey;
    frame->tAlongX = std::fabs(frame->fy) < std::fabs(frame->fx) ? 1 : 0;
}

// The screen point (x, y) as P0 + s * (e + t * f): s from corner 0 to the
// opposite edge, t along that edge from corner 2 to corner 1.
static void SolveAffineParameters(const AffineFrame* frame, double x, double y, double* s, double* t)
{
    const double rawS = ((x - frame->x0) * frame->fy - (y - frame->y0) * frame->fx) / frame->det;
    double rawT;
    if (-AFFINE_EPSILON < rawS && rawS < AFFINE_EPSILON) {
        // At corner 0 every t names the same point.
        rawT = 0.0;
    } else if (frame->tAlongX) {
        rawT = ((x - frame->x0) - rawS * frame->ex) / (rawS * frame->fx);
    } else {
        rawT = ((y - frame->y0) - rawS * frame->ey) / (rawS * frame->fy);
    }
    *s = LimitToUnit(rawS);
    *t = LimitToUnit(rawT);
}

void InterpolateTexCoords(const TexturedTriangle* triangle, double* u, double* v, double s, double t)
{
    const TexturedVertex& a = triangle->corner[0];
    const TexturedVertex& b = triangle->corner[1];
    const TexturedVertex& c = triangle->corner[2];
    const double ua = (c.u - a.u) * s + a.u;
    const double va = (c.v - a.v) * s + a.v;
    const double ub = (b.u - a.u) * s + a.u;
    const double vb = (b.v - a.v) * s + a.v;
    *u = (ub - ua) * t + ua;
    *v = (vb - va) * t + va;
}

// The readable definition of a row's pixels, which the fast loop must match
// byte for byte.
static void DrawAffineSpan(const AffineSpan* span, const TexelSource* texels)
{
    BYTE* pixel = span->pixel;
    const int32_t n = span->last;
    for (int32_t k = 0; k <= n; ++k) {
        // A single pixel (n = 0) makes the quotient not a number, and so
        // takes the right end's texel.
        const double f = LimitToUnit(static_cast<double>(k) / n);
        *pixel = FetchTexel(texels, span->uL + f * span->du, span->vL + f * span->dv);
        pixel += span->pixelSize;
    }
}

void FillTriangleAffine(const DDSURFACEDESC2* destination, const DDSURFACEDESC2* source,
                        const TexturedTriangle* triangle, const ProjectedTriangle* projected)
{
    TexelSource texels;
    if (!LocateTexels(&texels, source)) return;

    ScanBox box;
    if (!ClipTriangleBounds(&box, projected)) return;

    BYTE* const rows = static_cast<BYTE*>(destination->lpSurface);
    const ptrdiff_t pitch = destination->lPitch;
    const ptrdiff_t pixelSize = destination->ddpfPixelFormat.dwRGBBitCount / 8;

    AffineFrame frame;
    SetUpAffineFrame(&frame, projected);
    // Three corners nearly on one line; either winding is drawn.
    if (-AFFINE_EPSILON < frame.det && frame.det < AFFINE_EPSILON) return;
    const int nearest = RoundsToNearest();

    for (int32_t y = box.minY; y <= box.maxY; ++y) {
        double xl, xr;
        GetScanSpan(projected, &box, y, &xl, &xr);
        if (xr - xl <= MIN_SPAN_WIDTH) continue;

        // The span lies within the box, so both ends are small and not negative.
        const int32_t ixl = static_cast<int32_t>(xl);
        const int32_t ixr = static_cast<int32_t>(xr);

        // The ends are solved at the exact crossings, not at pixel centres.
        double s, t, uL, vL, uR, vR;
        SolveAffineParameters(&frame, xl, y, &s, &t);
        InterpolateTexCoords(triangle, &uL, &vL, s, t);
        SolveAffineParameters(&frame, xr, y, &s, &t);
        InterpolateTexCoords(triangle, &uR, &vR, s, t);

        const AffineSpan span = {rows + pitch * y + pixelSize * ixl, pixelSize, ixr - ixl, uL, uR - uL, vL, vR - vL};
        if (!FastFills || !DrawAffineSpanFast(&span, &texels, nearest)) DrawAffineSpan(&span, &texels);
    }
}
