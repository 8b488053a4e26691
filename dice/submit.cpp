#include "submit.h"

#include <cmath>

#include "fill.h"
#include "projection.h"
#include "shell/display.h"
#include "surface/surface.h"

// Both triangles share the diagonal c0-c2 and keep the face's turning sense.
void DrawDieFace(const FaceQuad* face)
{
    const TexturedTriangle first = {{face->c1, face->c2, face->c0}};
    DrawTexturedTriangle(&first);
    const TexturedTriangle second = {{face->c3, face->c0, face->c2}};
    DrawTexturedTriangle(&second);
}

// Nothing is reported: a triangle whose surfaces cannot be locked, or are not
// one byte per pixel, is left out of this frame. A lost surface is noticed and
// restored by the frame routine.
void DrawTexturedTriangle(const TexturedTriangle* triangle)
{
    ProjectedTriangle projected;
    ProjectTriangle(triangle, &projected);

    DDSURFACEDESC2 texture = {};
    if (DDLockWholeSurface(TextureSurface, &texture) != DD_OK) return;
    DDSURFACEDESC2 back = {};
    if (DDLockWholeSurface(BackSurface, &back) != DD_OK) {
        TextureSurface->Unlock(NULL);
        return;
    }

    if (texture.ddpfPixelFormat.dwRGBBitCount / 8 == 1 && back.ddpfPixelFormat.dwRGBBitCount / 8 == 1) {
        // Depths are compared with corner 0 only; that is enough to tell a
        // triangle seen squarely from one seen at a slant.
        const double z0 = triangle->corner[0].z;
        if (std::fabs(triangle->corner[1].z - z0) < AFFINE_DEPTH_TOLERANCE &&
            std::fabs(triangle->corner[2].z - z0) < AFFINE_DEPTH_TOLERANCE) {
            FillTriangleAffine(&back, &texture, triangle, &projected);
        } else {
            FillTrianglePerspective(&back, &texture, triangle, &projected);
        }
    }

    TextureSurface->Unlock(NULL);
    BackSurface->Unlock(NULL);
}
