#include "cube.h"

#include "shell/display.h"
#include "shell/sinetable.h"

#include <utility>

int32_t cubeAngle = 0;

// A full turn every four seconds of 1/15360-second ticks.
static const int64_t TICKS_PER_TURN = 61440;

// Corners are projected from a point EYE_OFFSET along the view axis. There is
// no near-plane clip: a corner nearer to that point than MIN_DEPTH would blow
// up under the division, so it drops its edges whole.
static const double EYE_OFFSET = 0.1;
static const double MIN_DEPTH = 0.001;

// Taken from ScreenRect every time, in 64 bits so that no rectangle overflows.
static double ScreenWidth() { return static_cast<double>(static_cast<int64_t>(ScreenRect.right) - ScreenRect.left); }

static double ScreenMiddle(LONG low, LONG high) { return static_cast<double>((static_cast<int64_t>(low) + high) / 2); }

// 1 with the corner's projection in units of the screen width, or 0 if the
// corner is too close to the eye.
static int ProjectCorner(const CubeCorner* corner, double* px, double* py)
{
    const double depth = corner->z - EYE_OFFSET;
    if (!(depth >= MIN_DEPTH)) return 0;
    *px = corner->x / depth;
    *py = -corner->y / depth;
    return 1;
}

void DrawWireCube(LPDIRECTDRAWSURFACE4 /*surface: always BackSurface*/, int32_t ticks)
{
    // Whole degrees only: the fraction of a degree is dropped, not carried to
    // the next frame. The product is formed in 64 bits so that no tick count
    // overflows it.
    const int64_t step = static_cast<int64_t>(ticks) * 360 / TICKS_PER_TURN;
    cubeAngle = static_cast<int32_t>((cubeAngle + step) % 360);

    // Built afresh every frame so that rotation error never accumulates.
    const double h = 100.0 / ScreenWidth();
    CubeCorner corners[8] = {
        {h, -h, -h}, {h, -h, h}, {-h, -h, h}, {-h, -h, -h},  // the lower ring
        {h, h, -h},  {h, h, h},  {-h, h, h},  {-h, h, -h},   // straight above it
    };

    const double s = SinDeg(cubeAngle);
    const double c = CosDeg(cubeAngle);
    for (CubeCorner& corner : corners) {
        const double x = c * corner.x - s * corner.z;
        const double z = c * corner.z + s * corner.x;
        corner.x = x;
        corner.z = z + 1.0;
    }

    // The lower ring, the upper ring, then the uprights.
    CubeEdge edges[12];
    for (int i = 0; i < 4; ++i) {
        edges[i] = {corners[i], corners[(i + 1) % 4]};
        edges[i + 4] = {corners[i + 4], corners[(i + 1) % 4 + 4]};
        edges[i + 8] = {corners[i], corners[i + 4]};
    }
    for (const CubeEdge& edge : edges) {
        DrawCubeEdge(edge);
    }
}

void DrawCubeEdge(const CubeEdge& edge)
{
    double px0, py0, px1, py1;
    if (!ProjectCorner(&edge.first, &px0, &py0)) return;
    if (!ProjectCorner(&edge.second, &px1, &py1)) return;

    const double w = ScreenWidth();
    const double cx = ScreenMiddle(ScreenRect.left, ScreenRect.right);
    const double cy = ScreenMiddle(ScreenRect.top, ScreenRect.bottom);
    ScreenSegment segment = {px0 * w + cx, py0 * w + cy, px1 * w + cx, py1 * w + cy};
    if (ClipSegmentToScreen(segment) == 1) {
        DrawLine(BackSurface, segment, WhitePixel);
    }
}

// Cuts a segment to lo..hi along one axis: a0, a1 are its ends' coordinates
// on that axis, b0, b1 on the other. Orders the ends along the axis first,
// and returns 0 when nothing is left. Each cut is taken from the ends as the
// previous one left them; the rejections before it ensure that the two ends
// lie on opposite sides of the edge being cut, so no divisor is zero.
static int32_t ClipAlongAxis(double* a0, double* b0, double* a1, double* b1, double lo, double hi)
{
    if (*a0 > *a1) {
        std::swap(*a0, *a1);
        std::swap(*b0, *b1);
    }
    if (*a0 > hi) return 0;
    if (*a1 < lo) return 0;
    if (*a0 < lo) {
        *b0 = *b0 + (*b1 - *b0) * ((lo - *a0) / (*a1 - *a0));
        *a0 = lo;
    }
    if (*a1 > hi) {
        *b1 = *b1 - (*b1 - *b0) * ((*a1 - hi) / (*a1 - *a0));
        *a1 = hi;
    }
    return 1;
}

int32_t ClipSegmentToScreen(ScreenSegment& s)
{
    // Rows first, then columns, which leaves the ends ordered left to right.
    if (!ClipAlongAxis(&s.y0, &s.x0, &s.y1, &s.x1, ScreenRect.top, ScreenRect.bottom)) return 0;
    return ClipAlongAxis(&s.x0, &s.y0, &s.x1, &s.y1, ScreenRect.left, ScreenRect.right);
}
