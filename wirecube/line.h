// One-pixel lines written straight into the memory of a locked 8-bit surface.
#ifndef WIRECUBE_LINE_H
#define WIRECUBE_LINE_H

#include <windows.h>
#include <ddraw.h>

// A line's two end points in back-buffer pixels; (x0, y0) is the first.
struct ScreenSegment {
    double x0;
    double y0;
    double x1;
    double y1;
};

// Locks the surface, writes the segment's pixels in the low 8 bits of colour
// if the surface has one byte per pixel, and unlocks it. A surface that cannot
// be locked drops the line.
void DrawLine(LPDIRECTDRAWSURFACE4 surface, const ScreenSegment& segment, DWORD colour);

// Writes the segment's pixels into a surface locked with desc. Pixels outside
// the surface's width and height are left out.
void RasterizeLine(const DDSURFACEDESC2& desc, const ScreenSegment& segment, DWORD colour);

#endif
