// Which pixels a projected triangle covers: its clipped bounds and, row by row,
// the span between its edges. Shared by both textured fills.
#ifndef DICE_SCAN_H
#define DICE_SCAN_H

#include "dicetypes.h"

constexpr double MIN_TRIANGLE_HEIGHT = 0.1;
constexpr double MIN_SPAN_WIDTH = 0.1;

int ClipTriangleBounds(ScanBox* box, const ProjectedTriangle* projected);
void GetScanSpan(const ProjectedTriangle* projected, const ScanBox* box, double y, double* left, double* right);
int IsBetween(double value, double a, double b);
void ExtendSpanByEdge(double y, const ProjectedPoint* start, const ProjectedPoint* end, double* lo, double* hi);

#endif
