#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "die.h"
#include "faces.h"

namespace {

// Die-space corners with h = 1.
const CubeCorner UNIT_CUBE[DIE_CORNER_COUNT] = {{-1, -1, 1}, {-1, -1, -1}, {1, -1, -1}, {1, -1, 1},
                                                {-1, 1, 1},  {-1, 1, -1},  {1, 1, -1},  {1, 1, 1}};

TEST(FaceTable, EachFaceCoversOneWholeCellOfTheLeftThreeHundredColumns) {
    // Pips shown by the cell at (column / 100, row / 100), and by each face.
    const int pipsOfCell[2][3] = {{1, 2, 3}, {4, 5, 6}};
    const int pipsOfFace[DIE_FACE_COUNT] = {1, 6, 2, 5, 3, 4};
    std::set<std::pair<int, int>> cells;
    for (int f = 0; f < DIE_FACE_COUNT; ++f) {
        const DieFaceCorner* face = DIE_FACE_TABLE[f];
        const int cellColumn = static_cast<int>(face[0].u) / 100;
        const int cellRow = static_cast<int>(face[0].v) / 100;
        ASSERT_LT(cellColumn, 3) << "face " << f;
        ASSERT_LT(cellRow, 2) << "face " << f;
        cells.insert({cellColumn, cellRow});
        EXPECT_EQ(pipsOfCell[cellRow][cellColumn], pipsOfFace[f]) << "face " << f;
        std::set<std::pair<double, double>> cellCorners;
        for (int c = 0; c < 4; ++c) {
            const double u = face[c].u - cellColumn * 100;
            const double v = face[c].v - cellRow * 100;
            EXPECT_TRUE(u == 0 || u == 99) << "face " << f << " corner " << c;
            EXPECT_TRUE(v == 0 || v == 99) << "face " << f << " corner " << c;
            EXPECT_LT(face[c].u, 300) << "face " << f << " corner " << c;
            cellCorners.insert({u, v});
        }
        EXPECT_EQ(cellCorners.size(), 4u) << "face " << f;
        // c0 and c2 sit on opposite corners of the cell.
        EXPECT_EQ(face[0].u + face[2].u, 2 * cellColumn * 100 + 99) << "face " << f;
        EXPECT_EQ(face[0].v + face[2].v, 2 * cellRow * 100 + 99) << "face " << f;
    }
    EXPECT_EQ(cells.size(), 6u);
}

TEST(FaceTable, FacesLieInTheirPlanesAndRunCounterClockwiseSeenFromOutside) {
    // Outward normal of each face's plane: y = -h, y = +h, x = -h, x = +h, z = -h, z = +h.
    const double normal[DIE_FACE_COUNT][3] = {{0, -1, 0}, {0, 1, 0}, {-1, 0, 0}, {1, 0, 0}, {0, 0, -1}, {0, 0, 1}};
    for (int f = 0; f < DIE_FACE_COUNT; ++f) {
        const CubeCorner* c[4];
        for (int k = 0; k < 4; ++k) {
            c[k] = &UNIT_CUBE[DIE_FACE_TABLE[f][k].corner];
            EXPECT_EQ(c[k]->x * normal[f][0] + c[k]->y * normal[f][1] + c[k]->z * normal[f][2], 1.0)
                << "face " << f << " corner " << k;
        }
        // Camera space is left-handed (x right, y up, z away from the eye), so
        // a turn that looks counter-clockwise from outside has (c1 - c0) x
        // (c2 - c1) pointing into the die.
        for (int k = 0; k < 4; ++k) {
            const CubeCorner* a = c[k];
            const CubeCorner* b = c[(k + 1) % 4];
            const CubeCorner* d = c[(k + 2) % 4];
            const double e[3] = {b->x - a->x, b->y - a->y, b->z - a->z};
            const double g[3] = {d->x - b->x, d->y - b->y, d->z - b->z};
            const double cross[3] = {e[1] * g[2] - e[2] * g[1], e[2] * g[0] - e[0] * g[2], e[0] * g[1] - e[1] * g[0]};
            EXPECT_LT(cross[0] * normal[f][0] + cross[1] * normal[f][1] + cross[2] * normal[f][2], 0.0)
                << "face " << f << " at corner " << k;
        }
    }
}

TEST(AssembleDieFaces, WritesSixFacesFromTheCornersInTableOrder) {
    CubeCorner corners[DIE_CORNER_COUNT];
    for (int i = 0; i < DIE_CORNER_COUNT; ++i) corners[i] = {1.0 + i, 10.5 + i, 100.25 + i};
    FaceQuad faces[DIE_FACE_COUNT + 1];
    const TexturedVertex untouched = {-7, -7, -7, -7, -7};
    faces[DIE_FACE_COUNT] = {untouched, untouched, untouched, untouched};

    ASSERT_EQ(AssembleDieFaces(corners, faces), 6);
    for (int f = 0; f < DIE_FACE_COUNT; ++f) {
        const TexturedVertex* written[4] = {&faces[f].c0, &faces[f].c1, &faces[f].c2, &faces[f].c3};
        for (int k = 0; k < 4; ++k) {
            const DieFaceCorner& entry = DIE_FACE_TABLE[f][k];
            EXPECT_EQ(written[k]->x, corners[entry.corner].x) << "face " << f << " corner " << k;
            EXPECT_EQ(written[k]->y, corners[entry.corner].y) << "face " << f << " corner " << k;
            EXPECT_EQ(written[k]->z, corners[entry.corner].z) << "face " << f << " corner " << k;
            EXPECT_EQ(written[k]->u, entry.u) << "face " << f << " corner " << k;
            EXPECT_EQ(written[k]->v, entry.v) << "face " << f << " corner " << k;
        }
    }
    EXPECT_EQ(faces[DIE_FACE_COUNT].c3.x, -7);
    EXPECT_EQ(faces[DIE_FACE_COUNT].c0.v, -7);
}

}  // namespace
