// The die's perspective: recomputed from the screen rectangle every frame, read
// by the projection and by the perspective-correct fill.
#ifndef DICE_PROJECTION_H
#define DICE_PROJECTION_H

#include "dicetypes.h"

extern double ProjectionScale;
extern double ScreenCentreX;
extern double ScreenCentreY;

void ProjectTriangle(const TexturedTriangle* triangle, ProjectedTriangle* projected);

#endif
