// The wire-frame cube: turned about the vertical axis by whole degrees,
// projected, clipped to the screen and drawn edge by edge into BackSurface.
#ifndef WIRECUBE_CUBE_H
#define WIRECUBE_CUBE_H

#include <windows.h>
#include <ddraw.h>

#include <cstdint>

#include "shell/geometry.h"
#include "wirecube/line.h"

// One edge of the cube, its two corners held by value.
struct CubeEdge {
    CubeCorner first;
    CubeCorner second;
};

// The cube's turn in whole degrees. It carries over from frame to frame and is
// never reset; after a step by a non-negative tick count it lies in 0..359.
extern int32_t cubeAngle;

// The scene routine: advances cubeAngle by the elapsed ticks of 1/15360 second
// and draws the twelve edges into BackSurface, which is the surface passed.
void DrawWireCube(LPDIRECTDRAWSURFACE4 surface, int32_t ticks);

// Projects one edge of the turned cube, clips it and draws it in WhitePixel.
void DrawCubeEdge(const CubeEdge& edge);

// Cuts the segment down to its part within ScreenRect, taken as closed, and
// returns 1 with x0 <= x1; returns 0 when nothing of it is within.
int32_t ClipSegmentToScreen(ScreenSegment& segment);

#endif
