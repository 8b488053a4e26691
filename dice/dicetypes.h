// The records that pass between the die's scene, its triangle submission and
// the two textured fills.
#ifndef DICE_DICETYPES_H
#define DICE_DICETYPES_H

#include <cstdint>

// A camera-space position (z > 0) and the texel it shows: u the column, v the
// row of the texture surface, in texels from its top left.
struct TexturedVertex {
    double x;
    double y;
    double z;
    double u;
    double v;
};

// Four corners in order round one face of the die, counter-clockwise seen from
// outside; c0-c2 is the diagonal along which the face is split.
struct FaceQuad {
    TexturedVertex c0;
    TexturedVertex c1;
    TexturedVertex c2;
    TexturedVertex c3;
};

struct TexturedTriangle {
    TexturedVertex corner[3];
};

struct ProjectedPoint {
    double x;
    double y;
};

// The screen positions of a triangle's corners, in pixels, in corner order.
struct ProjectedTriangle {
    ProjectedPoint p[3];
};

// Inclusive pixel bounds of a triangle clipped to the screen.
struct ScanBox {
    int32_t minX;
    int32_t minY;
    int32_t maxX;
    int32_t maxY;
};

#endif
