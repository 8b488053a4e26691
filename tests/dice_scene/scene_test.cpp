// The die's frame routine and triangle submission, the fills replaced by stand-ins that log what reaches them.
#include <gtest/gtest.h>
#include <cmath>
#include <cstdint>
#include <cstring>
#include "dice/die.h"
#include "dice/fill.h"
#include "dice/projection.h"
#include "dice/submit.h"
#include "screen.h"
#include "shell/display.h"
#include "shell/sinetable.h"
#include "testing/runtime_control.h"
namespace {
struct FillCall { TexturedTriangle triangle; ProjectedTriangle projected; const void *destination, *source; };
std::vector<FillCall> fills;
std::vector<std::string> events;
}  // namespace
#define STAND_IN(name, what)                                                                                      \
    void name(const DDSURFACEDESC2* d, const DDSURFACEDESC2* s, const TexturedTriangle* t, const ProjectedTriangle* p) { \
        fills.push_back({*t, *p, d->lpSurface, s->lpSurface}), events.push_back(what);                         \
    }
STAND_IN(FillTriangleAffine, "fill affine")
STAND_IN(FillTrianglePerspective, "fill perspective")
namespace {
// Each corner on a fixed viewing ray, so that only the depths change.
TexturedTriangle AtDepths(double z0, double z1, double z2) {
    return {{{-0.25 * z0, -0.25 * z0, z0, 0, 0}, {0.25 * z1, -0.25 * z1, z1, 255, 0}, {-0.25 * z2, 0.25 * z2, z2, 0, 255}}};
}
class Scene : public ::testing::Test {
protected:
    void SetUp() override {
        platform::testing::ResetPlatform(), BuildSineTable(), UseSurfaces(8, 8);
        ScreenRect = {0, 0, 640, 480}, DieAngleX = DieAngleY = 0;
    }
    void TearDown() override { TextureSurface = BackSurface = NULL, fills.clear(), events.clear(); }
    void UseSurfaces(DWORD textureBits, DWORD backBits) {
        textureScreen = std::make_unique<GuardedScreen>(16, 16, textureBits);
        backScreen = std::make_unique<GuardedScreen>(640, 480, backBits);
        TextureSurface = (texture = std::make_unique<LoggedSurface>("texture", *textureScreen, events)).get();
        BackSurface = (back = std::make_unique<LoggedSurface>("back", *backScreen, events)).get();
    }
    // Every projected corner of a frame drawn at the given angles.
    std::vector<double> Picture(int32_t angleX, int32_t angleY) {
        std::vector<double> corners;
        DieAngleX = angleX, DieAngleY = angleY, fills.clear(), DrawTexturedDie(BackSurface, 0);
        for (const FillCall& call : fills) for (const ProjectedPoint& p : call.projected.p) corners.insert(corners.end(), {p.x, p.y});
        return corners;
    }
    std::unique_ptr<GuardedScreen> textureScreen, backScreen;
    std::unique_ptr<LoggedSurface> texture, back;
};
// Unturned, faces 4 (nearest, corners at 320 +- 47.904) and 5 (+- 36.866) go affine, last; a face is (c1, c2, c0),
// (c3, c0, c2). The projection follows the screen rectangle every frame: half its width, the centre truncated.
TEST_F(Scene, AtTheStartTheSquareFacesGoAffineAndTheOthersInPerspective) {
    DrawTexturedDie(BackSurface, 0);
    ASSERT_EQ(fills.size(), 12u);
    for (int i = 0; i < 12; ++i) EXPECT_EQ(events[5 * i + 2], i < 8 ? "fill perspective" : "fill affine") << i;
    for (int i = 8; i < 12; ++i)
        for (const ProjectedPoint& p : fills[i].projected.p)
            for (double offset : {p.x - 320, p.y - 240})
                EXPECT_NEAR(std::fabs(offset), i < 10 ? 47.904 : 36.866, 5e-4) << i;
    FaceQuad face;
    TexturedVertex* corners[4] = {&face.c0, &face.c1, &face.c2, &face.c3};
    for (int k = 0; k < 4; ++k) *corners[k] = {0.1 * k, 0.05 * k, 2.0 + 0.125 * k, 10.0 + k, 20.0 + k};
    fills.clear(), DrawDieFace(&face);
    ASSERT_EQ(fills.size(), 2u);
    const int order[6] = {1, 2, 0, 3, 0, 2};
    for (int k = 0; k < 6; ++k) EXPECT_EQ(fills[k / 3].triangle.corner[k % 3].u, corners[order[k]]->u) << k;
    ScreenRect = {10, 20, 111, 221}, fills.clear(), DrawTexturedDie(BackSurface, 0);
    EXPECT_TRUE(ProjectionScale == 50.5 && ScreenCentreX == 60.0 && ScreenCentreY == 120.0);
    for (const FillCall& call : fills)
        for (const TexturedVertex& c : call.triangle.corner) {
            const ProjectedPoint& p = call.projected.p[&c - call.triangle.corner];
            EXPECT_TRUE(std::fabs(p.x - 60 - 50.5 * c.x / c.z) < 1e-12 && std::fabs(p.y - 120 + 50.5 * c.y / c.z) < 1e-12);
        }
}
// (X, Y, ticks, X after, Y after): fractions dropped, wrapped within a turn; long or negative frames as if the product had room.
TEST_F(Scene, FramesTurnBothAnglesByWholeDegreesRoundedDown) {
    const int64_t cases[][5] = {
        {0, 0, 0, 0, 0}, {0, 0, 1, 0, -1}, {0, -1, 1, 0, -2}, {0, 0, 256, 219, -384}, {92000, -92000, 256, 59, -224},
        {0, 0, 61440, 52662, 0}, {0, 0, 23301, 19972, -34951}, {0, 0, -256, -219, 384},
        {0, 0, INT32_MAX, 1840700268 % 92160, -(3221225470 % 92160)},
        {0, 0, INT32_MIN, -(1840700269 % 92160), 3221225472 % 92160}};
    for (const auto& c : cases) {
        DieAngleX = static_cast<int32_t>(c[0]), DieAngleY = static_cast<int32_t>(c[1]);
        DrawTexturedDie(BackSurface, static_cast<int32_t>(c[2]));
        EXPECT_TRUE(DieAngleX == c[3] && DieAngleY == c[4]) << c[2] << " ticks gave " << DieAngleX << ", " << DieAngleY;
    }
    // -1 .. -256 are all degree -1, not 0; -92159 is degree -360, which is 0.
    const std::vector<double> upright = Picture(0, 0);
    EXPECT_TRUE(Picture(0, -1) != upright && Picture(0, -1) == Picture(0, -256) && Picture(0, -257) != Picture(0, -256));
    EXPECT_TRUE(Picture(0, -92159) == upright && Picture(255, 0) == upright && Picture(256, 0) != upright);
}
// Both depth differences against corner 0 choose the fill; exactly 0.02 is perspective.
TEST_F(Scene, TrianglesChooseTheirFillByDepthAndTakeLocksInOrderRetriedAndGivenBack) {
    const double cases[][4] = {{2.0, 2.0, 2.0, 0},   {0.02, 0.04, 0.02, 1}, {0.02, 0.02, 0.04, 1}, {0.04, 0.02, 0.04, 1},
                               {0.02, 0.04, 0.04, 1}, {0.1, 0.119, 0.081, 0}, {2.0, 2.019, 1.981, 0}};
    for (const auto& c : cases) {
        const TexturedTriangle triangle = AtDepths(c[0], c[1], c[2]);
        events.clear(), DrawTexturedTriangle(&triangle);
        EXPECT_TRUE(events.size() == 5u && events[2] == (c[3] ? "fill perspective" : "fill affine")) << c[0] << " " << c[1] << " " << c[2];
    }
    // Texture first, busy locks asked again; a refused lock or a wider pixel skips the triangle, unlocking what was locked.
    const std::vector<std::string> unwritten = {"lock texture", "lock back", "unlock texture", "unlock back"};
    const struct { const char* failure; DWORD textureBits, backBits; std::vector<std::string> expected; } locks[] = {
        {"", 8, 8, {"lock texture", "lock back", "fill affine", "unlock texture", "unlock back"}},
        {"Lock@1:DDERR_WASSTILLDRAWING", 8, 8, {"busy texture", "lock texture", "lock back", "fill affine", "unlock texture", "unlock back"}},
        {"Lock@2:DDERR_WASSTILLDRAWING", 8, 8, {"lock texture", "busy back", "lock back", "fill affine", "unlock texture", "unlock back"}},
        {"Lock@1:DDERR_SURFACELOST", 8, 8, {"refused texture"}}, {"Lock@2:DDERR_SURFACELOST", 8, 8, {"lock texture", "refused back", "unlock texture"}},
        {"", 16, 8, unwritten}, {"", 8, 16, unwritten}, {"", 16, 16, unwritten}, {"", 8, 32, unwritten}};
    const TexturedTriangle triangle = AtDepths(2.0, 2.0, 2.0);
    ProjectedTriangle projected;
    ProjectTriangle(&triangle, &projected);
    for (const auto& c : locks) {
        platform::testing::ResetPlatform(), UseSurfaces(c.textureBits, c.backBits), events.clear(), fills.clear();
        ASSERT_TRUE(!*c.failure || platform::testing::ScriptFailure(c.failure));
        DrawTexturedTriangle(&triangle);
        EXPECT_EQ(events, c.expected) << c.failure << " " << c.textureBits << " " << c.backBits;
        if (fills.empty()) continue;
        EXPECT_TRUE(fills[0].destination == backScreen->Desc()->lpSurface && fills[0].source == textureScreen->Desc()->lpSurface);
        EXPECT_EQ(std::memcmp(&fills[0].projected, &projected, sizeof projected), 0);
    }
}
}  // namespace
