// A triangle that covers the same pixels whatever the depths of its corners
// (each lies on a fixed viewing ray), so that only the depths, and with them
// the texture mapping, change. Its texels span 0 to 255.
#ifndef TESTS_DICE_SCENE_DEPTH_TRIANGLE_H
#define TESTS_DICE_SCENE_DEPTH_TRIANGLE_H

#include "dice/dicetypes.h"

inline TexturedTriangle AtDepths(double z0, double z1, double z2) {
    return {{{-0.25 * z0, -0.25 * z0, z0, 0, 0}, {0.25 * z1, -0.25 * z1, z1, 255, 0}, {-0.25 * z2, 0.25 * z2, z2, 0, 255}}};
}

#endif
