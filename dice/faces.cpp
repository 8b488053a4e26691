#include "faces.h"

// Each face runs c0 -> c3 counter-clockwise seen from outside the die, and
// spans its cell from origin + 0 to origin + 99 so that no corner reaches into
// the neighbouring cell. Opposite faces add up to seven pips.
const DieFaceCorner DIE_FACE_TABLE[DIE_FACE_COUNT][4] = {
    {{3, 0, 0}, {2, 99, 0}, {1, 99, 99}, {0, 0, 99}},              // y = -h, one pip
    {{4, 200, 100}, {5, 299, 100}, {6, 299, 199}, {7, 200, 199}},  // y = +h, six pips
    {{0, 100, 0}, {1, 199, 0}, {5, 199, 99}, {4, 100, 99}},        // x = -h, two pips
    {{2, 100, 199}, {3, 199, 199}, {7, 199, 100}, {6, 100, 100}},  // x = +h, five pips
    {{1, 200, 99}, {2, 299, 99}, {6, 299, 0}, {5, 200, 0}},        // z = -h, three pips
    {{3, 0, 100}, {0, 99, 100}, {4, 99, 199}, {7, 0, 199}},        // z = +h, four pips
};

static TexturedVertex DieFaceVertex(const CubeCorner* corners, const DieFaceCorner* entry)
{
    const CubeCorner* corner = &corners[entry->corner];
    return {corner->x, corner->y, corner->z, entry->u, entry->v};
}

// Every face is written every frame, turned away or not: the picture is simply
// painted in table order.
int32_t AssembleDieFaces(const CubeCorner* corners, FaceQuad* faces)
{
    for (int32_t f = 0; f < DIE_FACE_COUNT; ++f) {
        const DieFaceCorner* entry = DIE_FACE_TABLE[f];
        faces[f] = {DieFaceVertex(corners, &entry[0]), DieFaceVertex(corners, &entry[1]),
                    DieFaceVertex(corners, &entry[2]), DieFaceVertex(corners, &entry[3])};
    }
    return DIE_FACE_COUNT;
}
