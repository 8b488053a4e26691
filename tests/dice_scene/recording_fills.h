// Stand-ins for the two textured fills that record what reaches them.
#ifndef TESTS_DICE_SCENE_RECORDING_FILLS_H
#define TESTS_DICE_SCENE_RECORDING_FILLS_H

#include <ddraw.h>

#include <string>
#include <vector>

#include "dicetypes.h"

enum class FillKind { Affine, Perspective };

struct FillCall {
    FillKind kind;
    TexturedTriangle triangle;
    ProjectedTriangle projected;
    void* destination;
    DWORD destinationBits;
    void* source;
    DWORD sourceBits;
};

extern std::vector<FillCall> FillCalls;
// Surface locks and unlocks and fill calls, in the order they happen.
extern std::vector<std::string> SceneEvents;

#endif
