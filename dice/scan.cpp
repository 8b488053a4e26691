#include "scan.h"

#include <cmath>

#include "shell/display.h"

// A corner that is not a number compares false with everything, so the bounds
// below would never be decided for it; such a triangle has no place on the
// screen at all.
static int HasNanCorner(const ProjectedTriangle* projected)
{
    for (const ProjectedPoint& point : projected->p) {
        if (std::isnan(point.x) || std::isnan(point.y)) return 1;
    }
    return 0;
}

int ClipTriangleBounds(ScanBox* box, const ProjectedTriangle* projected)
{
    if (HasNanCorner(projected)) return 0;

    const ProjectedPoint* p = projected->p;
    double minX = p[0].x, maxX = p[0].x, minY = p[0].y, maxY = p[0].y;
    for (int k = 1; k < 3; ++k) {
        if (p[k].x < minX) minX = p[k].x;
        if (p[k].x > maxX) maxX = p[k].x;
        if (p[k].y < minY) minY = p[k].y;
        if (p[k].y > maxY) maxY = p[k].y;
    }

    // Every truncation below is of a value already known to lie within the
    // screen rectangle, so it always fits.
    if (minX > ScreenRect.right) return 0;
    box->minX = minX < ScreenRect.left ? ScreenRect.left : static_cast<int32_t>(minX);

    if (maxX < ScreenRect.left) return 0;
    box->maxX = maxX < ScreenRect.right ? static_cast<int32_t>(maxX) : ScreenRect.right - 1;

    if (minY > ScreenRect.bottom) return 0;
    double clippedTop;
    if (minY < ScreenRect.top) {
        box->minY = ScreenRect.top;
        clippedTop = ScreenRect.top;
    } else {
        box->minY = static_cast<int32_t>(minY);
        clippedTop = minY;
    }

    if (maxY < ScreenRect.top) return 0;
    double clippedBottom;
    if (maxY < ScreenRect.bottom) {
        box->maxY = static_cast<int32_t>(maxY);
        clippedBottom = maxY;
    } else {
        box->maxY = ScreenRect.bottom - 1;
        clippedBottom = ScreenRect.bottom - 1.0;
    }

    return std::fabs(clippedBottom - clippedTop) >= MIN_TRIANGLE_HEIGHT ? 1 : 0;
}

void GetScanSpan(const ProjectedTriangle* projected, const ScanBox* box, double y, double* left, double* right)
{
    // Start inverted, so that a line no edge crosses gives a span of no width.
    double lo = box->maxX;
    double hi = box->minX;

    const ProjectedPoint* p = projected->p;
    if (IsBetween(y, p[0].y, p[2].y)) ExtendSpanByEdge(y, &p[0], &p[2], &lo, &hi);
    if (IsBetween(y, p[0].y, p[1].y)) ExtendSpanByEdge(y, &p[0], &p[1], &lo, &hi);
    if (IsBetween(y, p[1].y, p[2].y)) ExtendSpanByEdge(y, &p[1], &p[2], &lo, &hi);

    *left = box->minX < lo ? lo : box->minX;
    *right = box->maxX > hi ? hi : box->maxX;
}

int IsBetween(double value, double a, double b)
{
    if (b > a) return a <= value && value <= b ? 1 : 0;
    return b <= value && value <= a ? 1 : 0;
}

void ExtendSpanByEdge(double y, const ProjectedPoint* start, const ProjectedPoint* end, double* lo, double* hi)
{
    if (start->y != end->y) {
        const double x = start->x + (y - start->y) / (end->y - start->y) * (end->x - start->x);
        if (x > *hi) *hi = x;
        if (x < *lo) *lo = x;
        return;
    }
    // A horizontal edge passes IsBetween only when it lies on the scan line;
    // then the whole edge is on the line.
    const double smaller = start->x < end->x ? start->x : end->x;
    const double larger = start->x < end->x ? end->x : start->x;
    if (smaller < *lo) *lo = smaller;
    if (larger > *hi) *hi = larger;
}
