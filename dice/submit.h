// From a face of the die to textured triangles in the back buffer.
#ifndef DICE_SUBMIT_H
#define DICE_SUBMIT_H

#include "dicetypes.h"

// A triangle whose corners all lie this close in depth to its corner 0 looks
// the same with the cheaper affine mapping.
constexpr double AFFINE_DEPTH_TOLERANCE = 0.02;

void DrawDieFace(const FaceQuad* face);
void DrawTexturedTriangle(const TexturedTriangle* triangle);

#endif
