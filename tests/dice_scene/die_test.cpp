#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "faces.h"
#include "projection.h"
#include "scene_fixture.h"

namespace {

constexpr double H = 0.3125;  // the half-edge on a 640-pixel-wide screen
// The sine table's full turn is 1.07e-7 short of 2 pi, so its quarter turns
// are not exact: cos 90 is 5.4e-8.
constexpr double QUARTER_TURN_SLACK = 1e-7;

// The four corners of face f as the frame drew it, recovered from its two
// triangles (c1, c2, c0) and (c3, c0, c2).
std::array<TexturedVertex, 4> DrawnFace(int f) {
    const FillCall& first = FillCalls.at(2 * f);
    const FillCall& second = FillCalls.at(2 * f + 1);
    return {first.triangle.corner[2], first.triangle.corner[0], first.triangle.corner[1],
            second.triangle.corner[0]};
}

std::array<ProjectedPoint, 4> DrawnFaceOnScreen(int f) {
    const FillCall& first = FillCalls.at(2 * f);
    const FillCall& second = FillCalls.at(2 * f + 1);
    return {first.projected.p[2], first.projected.p[0], first.projected.p[1], second.projected.p[0]};
}

double MeanDepth(int f) {
    double sum = 0.0;
    for (const TexturedVertex& c : DrawnFace(f)) sum += c.z;
    return sum / 4.0;
}

class DieTest : public SceneTest {
protected:
    // Every camera-space position of a frame drawn at the given angles.
    std::vector<double> Picture(int32_t angleX, int32_t angleY) {
        DieAngleX = angleX;
        DieAngleY = angleY;
        FillCalls.clear();
        DrawTexturedDie(BackSurface, 0);
        std::vector<double> positions;
        for (const FillCall& call : FillCalls) {
            for (const TexturedVertex& c : call.triangle.corner) {
                positions.insert(positions.end(), {c.x, c.y, c.z});
            }
        }
        return positions;
    }

    void Advance(int32_t ticks) { DrawTexturedDie(BackSurface, ticks); }
};

TEST_F(DieTest, ProjectionFollowsTheScreenRectangleEveryFrame) {
    DrawTexturedDie(BackSurface, 0);
    EXPECT_EQ(ProjectionScale, 320.0);
    EXPECT_EQ(ScreenCentreX, 320.0);
    EXPECT_EQ(ScreenCentreY, 240.0);

    // Half the width, not the height; the centre truncated to whole pixels.
    ScreenRect = {10, 20, 111, 221};
    DrawTexturedDie(BackSurface, 0);
    EXPECT_EQ(ProjectionScale, 50.5);
    EXPECT_EQ(ScreenCentreX, 60.0);
    EXPECT_EQ(ScreenCentreY, 120.0);
}

TEST_F(DieTest, CornersAreTheCubeOfHalfEdgeHundredOverTheScale) {
    ProjectionScale = 320.0;
    CubeCorner corners[DIE_CORNER_COUNT];
    BuildDieCorners(corners);
    const double expected[8][3] = {{-H, -H, H}, {-H, -H, -H}, {H, -H, -H}, {H, -H, H},
                                   {-H, H, H},  {-H, H, -H},  {H, H, -H},  {H, H, H}};
    for (int i = 0; i < DIE_CORNER_COUNT; ++i) {
        EXPECT_EQ(corners[i].x, expected[i][0]) << "corner " << i;
        EXPECT_EQ(corners[i].y, expected[i][1]) << "corner " << i;
        EXPECT_EQ(corners[i].z, expected[i][2]) << "corner " << i;
    }
}

TEST_F(DieTest, AtTheStartTheThreePipFaceIsNearestAndTheFourPipFaceShowsOverIt) {
    DrawTexturedDie(BackSurface, 0);
    ASSERT_EQ(FillCalls.size(), 12u);

    // Face 4's c2 is corner 6, the second corner of its first triangle.
    const FillCall& nearFirst = FillCalls[8];
    EXPECT_NEAR(nearFirst.triangle.corner[1].x, H, 1e-12);
    EXPECT_NEAR(nearFirst.triangle.corner[1].y, H, 1e-12);
    EXPECT_NEAR(nearFirst.triangle.corner[1].z, 2.0875, 1e-12);
    EXPECT_NEAR(nearFirst.projected.p[1].x, 367.904, 0.0005);
    EXPECT_NEAR(nearFirst.projected.p[1].y, 192.096, 0.0005);

    for (const ProjectedPoint& p : DrawnFaceOnScreen(4)) {
        EXPECT_NEAR(std::fabs(p.x - 320.0), 47.904, 0.0005);
        EXPECT_NEAR(std::fabs(p.y - 240.0), 47.904, 0.0005);
    }
    for (const ProjectedPoint& p : DrawnFaceOnScreen(5)) {
        EXPECT_NEAR(std::fabs(p.x - 320.0), 36.866, 0.0005);
        EXPECT_NEAR(std::fabs(p.y - 240.0), 36.866, 0.0005);
    }
    // Faces are drawn in table order, so the far face comes last and covers
    // the middle of the near one.
    for (int f = 0; f < DIE_FACE_COUNT; ++f) {
        EXPECT_EQ(DrawnFace(f)[0].u, DIE_FACE_TABLE[f][0].u) << "face " << f;
        EXPECT_EQ(DrawnFace(f)[0].v, DIE_FACE_TABLE[f][0].v) << "face " << f;
    }
    EXPECT_LT(MeanDepth(4), MeanDepth(5));
}

TEST_F(DieTest, SquarelyFacingFacesGoToTheAffineFillAndSlantedOnesToThePerspectiveFill) {
    DrawTexturedDie(BackSurface, 0);
    ASSERT_EQ(FillCalls.size(), 12u);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(FillCalls[i].kind, FillKind::Perspective) << "triangle " << i;
    }
    for (int i = 8; i < 12; ++i) {
        EXPECT_EQ(FillCalls[i].kind, FillKind::Affine) << "triangle " << i;
    }
}

TEST_F(DieTest, TheDieCentreStaysOnTheScreenCentreWhateverTheAngles) {
    const std::pair<int32_t, int32_t> angles[] = {{0, 0}, {4000, -10000}, {50000, -77777}, {92159, -92159}};
    for (const auto& [x, y] : angles) {
        Picture(x, y);
        double sum[3] = {0.0, 0.0, 0.0};
        for (int f : {0, 1}) {  // the two faces opposite each other hold all eight corners
            for (const TexturedVertex& c : DrawnFace(f)) {
                sum[0] += c.x;
                sum[1] += c.y;
                sum[2] += c.z;
            }
        }
        EXPECT_NEAR(sum[0] / 8.0, 0.0, 1e-9);
        EXPECT_NEAR(sum[1] / 8.0, 0.0, 1e-9);
        EXPECT_NEAR(sum[2] / 8.0, DIE_DEPTH_OFFSET, 1e-9);
    }
}

TEST_F(DieTest, AQuarterTurnAboutYBringsTheFivePipFaceToTheViewer) {
    Picture(0, -23040);
    for (const TexturedVertex& c : DrawnFace(3)) EXPECT_NEAR(c.z, 2.4 - H, QUARTER_TURN_SLACK);
    for (int f = 0; f < DIE_FACE_COUNT; ++f) {
        if (f != 3) {
            EXPECT_GT(MeanDepth(f), MeanDepth(3) + 0.3) << "face " << f;
        }
    }
}

TEST_F(DieTest, AQuarterTurnAboutXBringsTheOnePipFaceToTheViewerWithThreeOnTop) {
    Picture(23040, 0);
    for (const TexturedVertex& c : DrawnFace(0)) EXPECT_NEAR(c.z, 2.4 - H, QUARTER_TURN_SLACK);
    for (int f = 1; f < DIE_FACE_COUNT; ++f) EXPECT_GT(MeanDepth(f), MeanDepth(0) + 0.3) << "face " << f;
    for (const TexturedVertex& c : DrawnFace(4)) EXPECT_NEAR(c.y, H, QUARTER_TURN_SLACK);
    for (const ProjectedPoint& p : DrawnFaceOnScreen(4)) EXPECT_LT(p.y, 240.0);
}

TEST_F(DieTest, FramesTurnBothAnglesByTheirRatesDroppingFractions) {
    Advance(0);
    EXPECT_EQ(DieAngleY, 0);
    EXPECT_EQ(DieAngleX, 0);
    Advance(1);  // 1.5 and 0.857 units
    EXPECT_EQ(DieAngleY, -1);
    EXPECT_EQ(DieAngleX, 0);
    Advance(1);  // the fractions are not carried
    EXPECT_EQ(DieAngleY, -2);
    EXPECT_EQ(DieAngleX, 0);

    DieAngleY = 0;
    DieAngleX = 0;
    Advance(256);  // one frame at 60 Hz
    EXPECT_EQ(DieAngleY, -384);
    EXPECT_EQ(DieAngleX, 219);
}

TEST_F(DieTest, AnglesWrapByTheRemainderOfAFullTurn) {
    DieAngleY = -92000;
    DieAngleX = 92000;
    Advance(256);
    EXPECT_EQ(DieAngleY, -224);
    EXPECT_EQ(DieAngleX, 59);

    DieAngleY = 0;
    DieAngleX = 0;
    Advance(DIE_Y_TURN_TICKS);
    EXPECT_EQ(DieAngleY, 0);
    EXPECT_EQ(DieAngleX, 52662);
}

TEST_F(DieTest, AnglesStayWithinOneTurnForAnyFrameTime) {
    for (int32_t ticks : {0, 1, 255, 256, 23301, 61440, 107520, 1000000, std::numeric_limits<int32_t>::max()}) {
        Advance(ticks);
        EXPECT_GE(DieAngleY, -92159) << ticks;
        EXPECT_LE(DieAngleY, 0) << ticks;
        EXPECT_GE(DieAngleX, 0) << ticks;
        EXPECT_LE(DieAngleX, 92159) << ticks;
    }
}

TEST_F(DieTest, LongFramesTurnAsIfTheProductHadRoom) {
    // The longest frame whose 32-bit product still fits.
    Advance(23301);
    EXPECT_EQ(DieAngleY, -34951);
    EXPECT_EQ(DieAngleX, 19972);

    DieAngleY = 0;
    DieAngleX = 0;
    Advance(std::numeric_limits<int32_t>::max());
    EXPECT_EQ(DieAngleY, -(3221225470 % 92160));
    EXPECT_EQ(DieAngleX, 1840700268 % 92160);
}

TEST_F(DieTest, NegativeFramesTurnBackwardsWithinOneTurn) {
    Advance(-256);
    EXPECT_EQ(DieAngleY, 384);
    EXPECT_EQ(DieAngleX, -219);

    DieAngleY = 0;
    DieAngleX = 0;
    Advance(std::numeric_limits<int32_t>::min());
    EXPECT_EQ(DieAngleY, 3221225472 % 92160);
    EXPECT_EQ(DieAngleX, -(1840700269 % 92160));
}

TEST_F(DieTest, RotationUsesWholeDegreesRoundedDown) {
    const std::vector<double> upright = Picture(0, 0);
    // -1 .. -256 are all degree -1, not 0.
    EXPECT_NE(Picture(0, -1), upright);
    EXPECT_EQ(Picture(0, -1), Picture(0, -256));
    EXPECT_NE(Picture(0, -257), Picture(0, -256));
    // -92159 is degree -360, which is degree 0 again.
    EXPECT_EQ(Picture(0, -92159), upright);
    EXPECT_EQ(Picture(255, 0), upright);
    EXPECT_NE(Picture(256, 0), upright);
}

}  // namespace
