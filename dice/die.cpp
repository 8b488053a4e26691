#include "die.h"

#include "faces.h"
#include "projection.h"
#include "shell/display.h"
#include "shell/sinetable.h"
#include "submit.h"

int32_t DieAngleX = 0;
int32_t DieAngleY = 0;

// The projection follows the screen rectangle, worked out afresh every frame.
// Formed in 64 bits so that no rectangle overflows the sums.
static void SetProjection()
{
    const int64_t left = ScreenRect.left;
    const int64_t top = ScreenRect.top;
    const int64_t right = ScreenRect.right;
    const int64_t bottom = ScreenRect.bottom;
    ProjectionScale = static_cast<double>(right - left) / 2.0;
    ScreenCentreX = static_cast<double>((left + right) / 2);
    ScreenCentreY = static_cast<double>((top + bottom) / 2);
}

// Corners 0-3 go round the face at y = -h; corner i + 4 lies straight above
// corner i.
void BuildDieCorners(CubeCorner* corners)
{
    const double lo = -DIE_HALF_EDGE / ProjectionScale;
    const double hi = DIE_HALF_EDGE / ProjectionScale;
    corners[0] = {lo, lo, hi};
    corners[1] = {lo, lo, lo};
    corners[2] = {hi, lo, lo};
    corners[3] = {hi, lo, hi};
    corners[4] = {lo, hi, hi};
    corners[5] = {lo, hi, lo};
    corners[6] = {hi, hi, lo};
    corners[7] = {hi, hi, hi};
}

// How far a frame turns an angle whose full turn takes turnTicks; the fraction
// of a unit is dropped, not carried. The product is formed in 64 bits, so a
// frame of any length (even one that a stalled clock makes very long) turns
// the die without overflow.
static int64_t AngleStep(int32_t ticks, int32_t turnTicks)
{
    return static_cast<int64_t>(ticks) * ANGLE_FULL_TURN / turnTicks;
}

static void AdvanceDieAngles(int32_t ticks)
{
    DieAngleY = static_cast<int32_t>((DieAngleY - AngleStep(ticks, DIE_Y_TURN_TICKS)) % ANGLE_FULL_TURN);
    DieAngleX = static_cast<int32_t>((DieAngleX + AngleStep(ticks, DIE_X_TURN_TICKS)) % ANGLE_FULL_TURN);
}

// Turn about x, then about y, then push the die away from the eye. The corners
// are rebuilt every frame, so no rounding error builds up from frame to frame.
void TurnAndPlaceCorners(CubeCorner* corners)
{
    // Whole degrees, rounded toward minus infinity: -1 in 1/256 degree is -1 degree.
    const int32_t degreesY = DieAngleY >> 8;
    const int32_t degreesX = DieAngleX >> 8;
    const double sY = SinDeg(degreesY);
    const double cY = CosDeg(degreesY);
    const double sX = SinDeg(degreesX);
    const double cX = CosDeg(degreesX);

    for (int32_t i = 0; i < DIE_CORNER_COUNT; ++i) {
        const double x = corners[i].x;
        const double y = corners[i].y;
        const double z = corners[i].z;
        const double y1 = cX * y - sX * z;
        const double z1 = cX * z + sX * y;
        const double x2 = cY * x - sY * z1;
        const double z2 = cY * z1 + sY * x;
        corners[i] = {x2, y1, z2 + DIE_DEPTH_OFFSET};
    }
}

// Everything is drawn into BackSurface, which is what the frame routine passes
// as target. No face is culled or sorted: later faces cover earlier ones.
void DrawTexturedDie(LPDIRECTDRAWSURFACE4 /*target*/, int32_t ticks)
{
    SetProjection();
    CubeCorner corners[DIE_CORNER_COUNT];
    BuildDieCorners(corners);
    AdvanceDieAngles(ticks);
    TurnAndPlaceCorners(corners);

    FaceQuad faces[DIE_FACE_COUNT];
    const int32_t count = AssembleDieFaces(corners, faces);
    for (int32_t f = 0; f < count; ++f) {
        DrawDieFace(&faces[f]);
    }
}
