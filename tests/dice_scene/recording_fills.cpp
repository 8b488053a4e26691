#include "recording_fills.h"

#include "fill.h"

std::vector<FillCall> FillCalls;
std::vector<std::string> SceneEvents;

static void Record(FillKind kind, const DDSURFACEDESC2* destination, const DDSURFACEDESC2* source,
                   const TexturedTriangle* triangle, const ProjectedTriangle* projected) {
    FillCalls.push_back({kind, *triangle, *projected, destination->lpSurface,
                         destination->ddpfPixelFormat.dwRGBBitCount, source->lpSurface,
                         source->ddpfPixelFormat.dwRGBBitCount});
    SceneEvents.push_back(kind == FillKind::Affine ? "fill affine" : "fill perspective");
}

void FillTriangleAffine(const DDSURFACEDESC2* destination, const DDSURFACEDESC2* source,
                        const TexturedTriangle* triangle, const ProjectedTriangle* projected) {
    Record(FillKind::Affine, destination, source, triangle, projected);
}

void FillTrianglePerspective(const DDSURFACEDESC2* destination, const DDSURFACEDESC2* source,
                             const TexturedTriangle* triangle, const ProjectedTriangle* projected) {
    Record(FillKind::Perspective, destination, source, triangle, projected);
}
