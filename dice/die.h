// The die's scene: its two turning angles, its corners, and the frame routine
// that draws it.
#ifndef DICE_DIE_H
#define DICE_DIE_H

#include <ddraw.h>

#include <cstdint>

#include "shell/geometry.h"

// Angles are kept in 1/256 degree so that short frames still turn the die.
constexpr int32_t ANGLE_FULL_TURN = 92160;
// Ticks (1/15360 s) per full turn: 4 s about y, 7 s about x.
constexpr int32_t DIE_Y_TURN_TICKS = 61440;
constexpr int32_t DIE_X_TURN_TICKS = 107520;

constexpr int32_t DIE_CORNER_COUNT = 8;
// In pixels at depth 1: dividing by the projection scale keeps the die the same
// size on screen whatever the screen width.
constexpr double DIE_HALF_EDGE = 100.0;
constexpr double DIE_DEPTH_OFFSET = 2.4;

// DieAngleY only ever decreases and stays in -92159..0; DieAngleX increases and
// stays in 0..92159.
extern int32_t DieAngleX;
extern int32_t DieAngleY;

void DrawTexturedDie(LPDIRECTDRAWSURFACE4 target, int32_t ticks);
void BuildDieCorners(CubeCorner* corners);
// Turns the corners by the current whole degrees of both angles and moves them
// in front of the viewer.
void TurnAndPlaceCorners(CubeCorner* corners);

#endif
