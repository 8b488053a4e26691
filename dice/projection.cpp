#include "projection.h"

double ProjectionScale = 0.0;
double ScreenCentreX = 0.0;
double ScreenCentreY = 0.0;

// The eye sits at depth 0; the perspective-correct fill inverts exactly these
// steps, so they are kept one rounding at a time.
static ProjectedPoint ProjectPoint(const TexturedVertex* corner)
{
    double qx = corner->x / (corner->z - 0.0);
    qx = ProjectionScale * qx;
    double qy = corner->y / (corner->z - 0.0);
    qy = ProjectionScale * qy;
    return {ScreenCentreX + qx, ScreenCentreY - qy};
}

void ProjectTriangle(const TexturedTriangle* triangle, ProjectedTriangle* projected)
{
    for (int k = 0; k < 3; ++k) {
        projected->p[k] = ProjectPoint(&triangle->corner[k]);
    }
}
