// Reading texels of a locked texture surface at rounded texel coordinates.
#ifndef DICE_TEXEL_H
#define DICE_TEXEL_H

#include <ddraw.h>

#include <cstddef>
#include <cstdint>

#include "fillmath.h"

// Where the texels of a locked texture lie, and the last column and row that
// may be read.
struct TexelSource {
    const BYTE* bits;
    ptrdiff_t pitch;
    ptrdiff_t texelSize;
    int32_t lastColumn;
    int32_t lastRow;
};

// Returns 0 when the surface holds no texel at all.
inline int LocateTexels(TexelSource* texels, const DDSURFACEDESC2* source)
{
    if (source->dwWidth == 0 || source->dwHeight == 0) return 0;
    texels->bits = static_cast<const BYTE*>(source->lpSurface);
    texels->pitch = source->lPitch;
    texels->texelSize = source->ddpfPixelFormat.dwRGBBitCount / 8;
    texels->lastColumn = source->dwWidth > INT32_MAX ? INT32_MAX : static_cast<int32_t>(source->dwWidth - 1);
    texels->lastRow = source->dwHeight > INT32_MAX ? INT32_MAX : static_cast<int32_t>(source->dwHeight - 1);
    return 1;
}

// The texel nearest to (u, v), kept within the texture. A triangle's texel
// coordinates never leave the range of its corners', so for corners inside the
// texture the limits change nothing; corners outside it, or not numbers at
// all, read the texture's edge rather than memory that is not the texture's.
inline BYTE FetchTexel(const TexelSource* texels, double u, double v)
{
    int32_t column = RoundHalfEven(u);
    int32_t row = RoundHalfEven(v);
    if (column < 0) column = 0;
    if (column > texels->lastColumn) column = texels->lastColumn;
    if (row < 0) row = 0;
    if (row > texels->lastRow) row = texels->lastRow;
    return texels->bits[row * texels->pitch + column * texels->texelSize];
}

#endif
