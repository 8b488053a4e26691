// The six faces of the die: which corners make each face and which cell of the
// texture it shows.
#ifndef DICE_FACES_H
#define DICE_FACES_H

#include <cstdint>

#include "dicetypes.h"
#include "shell/geometry.h"

constexpr int32_t DIE_FACE_COUNT = 6;

struct DieFaceCorner {
    int32_t corner;
    double u;
    double v;
};

// c0..c3 of every face, in drawing order.
extern const DieFaceCorner DIE_FACE_TABLE[DIE_FACE_COUNT][4];

int32_t AssembleDieFaces(const CubeCorner* corners, FaceQuad* faces);

#endif
