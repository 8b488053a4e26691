#include "cube.h"

#include "shell/display.h"
#include "shell/sinetable.h"

#include <utility>

int32_t cubeAngle = 0;

// A full turn every four seconds of 1/15360-second ticks.
static const int64_t TICKS_PER_TURN = 61440;

// The eye sits this far in front of the projection's origin; a corner closer
// to it than MIN_DEPTH cannot be projected and drops its edges whole.
static const double EYE_OFFSET = 0.1;
static const double MIN_DEPTH = 0.001;

// Taken from ScreenRect every time, in 64 bits so that no rectangle overflows.
static double ScreenWidth() { return static_cast<double>(static_cast<int64_t>(ScreenRect.right) - ScreenRect.left); }

static double ScreenMiddle(LONG low, LONG high) {
    return static_cast<double>((static_cast<int64_t>(low) + high) / 2);
}

// 1 with the corner's projection in units of the screen width, or 0 if the
// corner is too close to the eye.
static int ProjectCorner(const CubeCorner& corner, double& px, double& py) {
    const double depth = corner.z - EYE_OFFSET;
    if (!(depth >= MIN_DEPTH)) return 0;
    px = corner.x / depth;
    py = -corner.y / depth;
    return 1;
}

void DrawWireCube(LPDIRECTDRAWSURFACE4 /*surface: always BackSurface*/, int32_t ticks) {
    // Whole degrees only: the fraction of a degree is dropped, not carried to
    // the next frame. The product is formed in 64 bits so that no tick count
    // overflows it.
    const int64_t step = static_cast<int64_t>(ticks) * 360 / TICKS_PER_TURN;
    cubeAngle = static_cast<int32_t>((cubeAngle + step) % 360);

    // Built afresh every frame so that rotation error never accumulates.
    const double h = 100.0 / ScreenWidth();
    CubeCorner corners[8] = {
        {h, -h, -h}, {h, -h, h}, {-h, -h, h}, {-h, -h, -h},
        {h, h, -h},  {h, h, h},  {-h, h, h},  {-h, h, -h},
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

void DrawCubeEdge(const CubeEdge& edge) {
    double px0, py0, px1, py1;
    if (!ProjectCorner(edge.first, px0, py0)) return;
    if (!ProjectCorner(edge.second, px1, py1)) return;

    const double w = ScreenWidth();
    const double cx = ScreenMiddle(ScreenRect.left, ScreenRect.right);
    const double cy = ScreenMiddle(ScreenRect.top, ScreenRect.bottom);
    ScreenSegment segment = {px0 * w + cx, py0 * w + cy, px1 * w + cx, py1 * w + cy};
    if (ClipSegmentToScreen(segment) == 1) {
        DrawLine(BackSurface, segment, WhitePixel);
    }
}

static void SwapEnds(ScreenSegment& segment) {
    std::swap(segment.x0, segment.x1);
    std::swap(segment.y0, segment.y1);
}

int32_t ClipSegmentToScreen(ScreenSegment& s) {
    const double left = ScreenRect.left;
    const double top = ScreenRect.top;
    const double right = ScreenRect.right;
    const double bottom = ScreenRect.bottom;

    // Rows first, with the ends ordered top to bottom. Each cut is taken from
    // the ends as the previous cut left them; the rejections before it ensure
    // that the two ends lie on opposite sides of the edge being cut.
    if (s.y0 > s.y1) SwapEnds(s);
    if (s.y0 > bottom) return 0;
    if (s.y1 < top) return 0;
    if (s.y0 < top) {
        s.x0 = s.x0 + (s.x1 - s.x0) * ((top - s.y0) / (s.y1 - s.y0));
        s.y0 = top;
    }
    if (s.y1 > bottom) {
        s.x1 = s.x1 - (s.x1 - s.x0) * ((s.y1 - bottom) / (s.y1 - s.y0));
        s.y1 = bottom;
    }

    // Then columns, with the ends ordered left to right.
    if (s.x0 > s.x1) SwapEnds(s);
    if (s.x0 > right) return 0;
    if (s.x1 < left) return 0;
    if (s.x0 < left) {
        s.y0 = s.y0 + (s.y1 - s.y0) * ((left - s.x0) / (s.x1 - s.x0));
        s.x0 = left;
    }
    if (s.x1 > right) {
        s.y1 = s.y1 - (s.y1 - s.y0) * ((s.x1 - right) / (s.x1 - s.x0));
        s.x1 = right;
    }
    return 1;
}
