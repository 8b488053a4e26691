// The two textured triangle fills: texels from the locked texture surface into
// the locked 8-bit back buffer.
#ifndef DICE_FILL_H
#define DICE_FILL_H

#include <ddraw.h>

#include "dicetypes.h"

constexpr double AFFINE_EPSILON = 0.00001;
constexpr double PLANE_EPSILON = 0.00001;

// 1: the fills take their fast path, which gives the same bytes; 0: the plain
// definition, kept for comparison; 2: the fast path without AVX2's
// instructions and 3 without AVX-512's, which a machine that has them would
// otherwise never run.
extern int FastFills;

// The plane of a triangle, reordered by OrderByDepthSpread, with what solving a
// viewing ray against it needs.
struct TrianglePlane {
    double e1x;
    double e2x;
    double e1y;
    double e2y;
    double e1z;
    double e2z;
    double detXZ;
    double detYZ;
    double detXY;
    double rayDen;
    double kX;
    double e2xDetYZ;
    double e2yDetXZ;
    double kY;
    double k0;
    double k0z;
    double rowTerm;
    double eyeZ;
    int32_t sAxis;
    int32_t tAxis;
    int32_t degenerate;
};

void FillTriangleAffine(const DDSURFACEDESC2* destination, const DDSURFACEDESC2* source,
                        const TexturedTriangle* triangle, const ProjectedTriangle* projected);
void InterpolateTexCoords(const TexturedTriangle* triangle, double* u, double* v, double s, double t);

void FillTrianglePerspective(const DDSURFACEDESC2* destination, const DDSURFACEDESC2* source,
                             const TexturedTriangle* triangle, const ProjectedTriangle* projected);
void OrderByDepthSpread(TexturedTriangle* ordered, const TexturedTriangle* triangle);
void BuildTrianglePlane(TrianglePlane* plane, const TexturedTriangle* triangle);
// Sets sAxis and tAxis: the components that the ray solve divides by.
void ChooseSolveAxes(TrianglePlane* plane);
void IntersectViewRay(const TexturedTriangle* triangle, double sx, double sy, double* s, double* t, double* X,
                      double* Y, double* Z, TrianglePlane* plane);

#endif
