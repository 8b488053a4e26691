#include <cmath>
#include <cstddef>

#include "fill.h"
#include "fillmath.h"
#include "projection.h"
#include "scan.h"
#include "spans.h"
#include "texel.h"

void OrderByDepthSpread(TexturedTriangle* ordered, const TexturedTriangle* triangle)
{
    const TexturedTriangle given = *triangle;
    const TexturedVertex* c = given.corner;
    const double d01 = std::fabs(c[0].z - c[1].z);
    const double d12 = std::fabs(c[1].z - c[2].z);
    const double d02 = std::fabs(c[0].z - c[2].z);

    // The edge from corner 2 to corner 1 becomes the one that t is solved
    // along; it must not change depth less than the edge from corner 0 to 1.
    if (d12 >= d01) {
        *ordered = given;
    } else if (d02 >= d01) {
        ordered->corner[0] = c[1];
        ordered->corner[1] = c[0];
        ordered->corner[2] = c[2];
    } else {
        ordered->corner[0] = c[2];
        ordered->corner[1] = c[1];
        ordered->corner[2] = c[0];
    }
}

void BuildTrianglePlane(TrianglePlane* plane, const TexturedTriangle* triangle)
{
    const TexturedVertex& a = triangle->corner[0];
    const TexturedVertex& b = triangle->corner[1];
    const TexturedVertex& c = triangle->corner[2];

    plane->e1x = c.x - a.x;
    plane->e2x = b.x - c.x;
    plane->e1y = c.y - a.y;
    plane->e2y = b.y - c.y;
    plane->e1z = c.z - a.z;
    plane->e2z = b.z - c.z;

    plane->detXZ = plane->e1x * plane->e2z - plane->e2x * plane->e1z;
    plane->detYZ = plane->e1y * plane->e2z - plane->e2y * plane->e1z;
    plane->detXY = plane->e1x * plane->e2y - plane->e2x * plane->e1y;

    // The plane equation multiplied through by e2z, which the depth ordering
    // keeps away from zero whenever the depths differ at all.
    plane->kX = plane->e2z * plane->detYZ;
    plane->e2xDetYZ = plane->e2x * plane->detYZ;
    plane->e2yDetXZ = plane->e2y * plane->detXZ;
    plane->kY = plane->e2z * plane->detXZ;
    plane->k0 = plane->e2xDetYZ - plane->e2yDetXZ;
    plane->k0z = plane->k0 * a.z;
    plane->eyeZ = 0.0;

    plane->degenerate = std::fabs(plane->detXZ) < PLANE_EPSILON && std::fabs(plane->detYZ) < PLANE_EPSILON &&
                                std::fabs(plane->detXY) < PLANE_EPSILON
                            ? 1
                            : 0;
}

// Which of three values is largest in magnitude; ties go to the earlier one.
static int32_t LargestMagnitude(double first, double second, double third)
{
    first = std::fabs(first);
    second = std::fabs(second);
    third = std::fabs(third);
    if (first >= second && first >= third) return 0;
    if (second >= third) return 1;
    return 2;
}

void ChooseSolveAxes(TrianglePlane* plane)
{
    plane->sAxis = LargestMagnitude(plane->detXZ, plane->detYZ, plane->detXY);
    plane->tAxis = LargestMagnitude(plane->e2x, plane->e2y, plane->e2z);
}

void IntersectViewRay(const TexturedTriangle* triangle, double sx, double sy, double* s, double* t, double* X,
                      double* Y, double* Z, TrianglePlane* plane)
{
    const TexturedVertex& a = triangle->corner[0];
    const TexturedVertex& b = triangle->corner[1];
    const TexturedVertex& c = triangle->corner[2];

    // Without a normal there is no plane to meet: show corner A everywhere.
    if (plane->degenerate) {
        *s = 0.0;
        *t = 0.0;
        *X = (a.x + b.x + c.x) / 3.0;
        *Y = (a.y + b.y + c.y) / 3.0;
        *Z = (a.z + b.z + c.z) / 3.0;
        return;
    }

    plane->rayDen = sx * plane->kX - plane->rowTerm;
    double depth;
    if (std::fabs(plane->rayDen) > PLANE_EPSILON) {
        depth = ((sx * plane->eyeZ + a.x) * plane->kX - plane->k0z - (sy * plane->eyeZ + a.y) * plane->kY) /
                plane->rayDen;
    } else {
        // A ray grazing the plane: settle for the triangle's middle depth.
        depth = (a.z + b.z + c.z) / 3.0;
    }
    const double w = depth - plane->eyeZ;
    const double x = sx * w;
    const double y = sy * w;

    double rawS;
    switch (plane->sAxis) {
    case 0:
        rawS = ((x - a.x) * plane->e2z - (depth - a.z) * plane->e2x) / plane->detXZ;
        break;
    case 1:
        rawS = ((y - a.y) * plane->e2z - (depth - a.z) * plane->e2y) / plane->detYZ;
        break;
    default:
        rawS = ((x - a.x) * plane->e2y - (y - a.y) * plane->e2x) / plane->detXY;
        break;
    }
    const double limitedS = LimitToUnit(rawS);

    // At s = 0 the division below has no meaning, and needs none: every t
    // names corner A there.
    double rawT;
    switch (plane->tAxis) {
    case 0:
        rawT = ((x - a.x) - limitedS * plane->e1x) / (limitedS * plane->e2x);
        break;
    case 1:
        rawT = ((y - a.y) - limitedS * plane->e1y) / (limitedS * plane->e2y);
        break;
    default:
        rawT = ((depth - a.z) - limitedS * plane->e1z) / (limitedS * plane->e2z);
        break;
    }

    *s = limitedS;
    *t = LimitToUnit(rawT);
    *X = x;
    *Y = y;
    *Z = depth;
}

// The readable definition of a row's pixels, which the fast loop must match
// byte for byte.
static void DrawPerspectiveSpan(const PerspectiveSpan* span, const TexelSource* texels)
{
    const double scale = span->scale;
    const double k = span->k;
    const double dX = span->dX;
    const double dZ = span->dZ;
    const double eyeZ = span->eyeZ;
    BYTE* pixel = span->pixel;
    // Samples are taken at xl + i, not at the rounded columns.
    double offset = span->offset;
    for (int32_t i = 0; i < span->n; ++i) {
        const double sx = offset / scale;
        const double zq = (k - sx * dZ * eyeZ) / (dX - dZ * sx);
        const double f = span->measureByDepth ? (zq - span->zLeft) / dZ : ((zq - eyeZ) * sx - span->xLeft) / dX;
        const double limitedF = LimitToUnit(f);
        *pixel = FetchTexel(texels, span->uL + limitedF * span->du, span->vL + limitedF * span->dv);
        pixel += span->pixelSize;
        offset += 1.0;
    }
}

// The readable definition of a row's span: 0 for a row too narrow to draw.
static int MakePerspectiveSpan(const PerspectiveRows* rows, int32_t y, PerspectiveSpan* span)
{
    double xl, xr;
    GetScanSpan(rows->projected, rows->box, y, &xl, &xr);
    if (xr - xl <= MIN_SPAN_WIDTH) return 0;

    // The span lies within the box, so both ends round to columns in it.
    const int32_t ixl = RoundHalfEven(xl);
    const int32_t ixr = RoundHalfEven(xr);

    const double centreX = rows->centreX;
    const double scale = rows->scale;
    TrianglePlane* plane = rows->plane;
    const double sy = (rows->centreY - y) / scale;
    plane->rowTerm = sy * plane->kY + plane->k0;

    double s, t, xLeft, yLeft, zLeft, xRight, yRight, zRight, uL, vL, uR, vR;
    IntersectViewRay(rows->ordered, (xl - centreX) / scale, sy, &s, &t, &xLeft, &yLeft, &zLeft, plane);
    InterpolateTexCoords(rows->ordered, &uL, &vL, s, t);
    IntersectViewRay(rows->ordered, (xr - centreX) / scale, sy, &s, &t, &xRight, &yRight, &zRight, plane);
    InterpolateTexCoords(rows->ordered, &uR, &vR, s, t);

    // Each pixel's ray is met with the 3-D segment between the span's ends;
    // how far along it lies is what the texture follows.
    span->pixel = rows->rows + rows->pitch * y + rows->pixelSize * ixl;
    span->pixelSize = rows->pixelSize;
    span->n = ixr - ixl + 1;
    span->offset = xl - centreX;
    span->scale = scale;
    span->dX = xRight - xLeft;
    span->dZ = zRight - zLeft;
    span->k = span->dX * zLeft - span->dZ * xLeft;
    span->eyeZ = plane->eyeZ;
    span->xLeft = xLeft;
    span->zLeft = zLeft;
    span->measureByDepth = std::fabs(span->dX) <= std::fabs(span->dZ);
    span->uL = uL;
    span->du = uR - uL;
    span->vL = vL;
    span->dv = vR - vL;
    return 1;
}

void FillTrianglePerspective(const DDSURFACEDESC2* destination, const DDSURFACEDESC2* source,
                             const TexturedTriangle* triangle, const ProjectedTriangle* projected)
{
    TexelSource texels;
    if (!LocateTexels(&texels, source)) return;

    TexturedTriangle ordered;
    OrderByDepthSpread(&ordered, triangle);

    ScanBox box;
    if (!ClipTriangleBounds(&box, projected)) return;

    TrianglePlane plane = {};
    BuildTrianglePlane(&plane, &ordered);
    ChooseSolveAxes(&plane);

    PerspectiveRows rows = {.projected = projected,
                            .box = &box,
                            .ordered = &ordered,
                            .plane = &plane,
                            .centreX = ScreenCentreX,
                            .centreY = ScreenCentreY,
                            .scale = ProjectionScale,
                            .rows = static_cast<BYTE*>(destination->lpSurface),
                            .pitch = destination->lPitch,
                            .pixelSize = static_cast<ptrdiff_t>(destination->ddpfPixelFormat.dwRGBBitCount / 8),
                            .nearest = RoundsToNearest()};

    // Rows go in batches, so that the fast path can make several side by side.
    // The rows of one triangle never share a pixel, so a span it leaves to the
    // plain loop may be drawn after the others of its batch.
    for (int64_t first = box.minY; first <= box.maxY; first += ROW_BATCH) {
        const int32_t y = static_cast<int32_t>(first);
        const int32_t count = box.maxY - y < ROW_BATCH ? box.maxY - y + 1 : ROW_BATCH;
        PerspectiveSpan spans[ROW_BATCH];
        int32_t plain = FastFills ? DrawPerspectiveRowsFast(&rows, &texels, y, count, spans) : -1;
        if (plain < 0) {
            plain = 0;
            for (int32_t r = 0; r < count; ++r) plain += MakePerspectiveSpan(&rows, y + r, &spans[plain]);
        }
        for (int32_t r = 0; r < plain; ++r) DrawPerspectiveSpan(&spans[r], &texels);
    }
}
