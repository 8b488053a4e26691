// Every scene test starts from a 640 x 480 screen, a filled sine table and the
// die at its starting orientation.
#ifndef TESTS_DICE_SCENE_SCENE_START_H
#define TESTS_DICE_SCENE_SCENE_START_H

#include "dice/die.h"
#include "shell/display.h"
#include "shell/sinetable.h"

inline void StartScene() {
    BuildSineTable();
    ScreenRect = {0, 0, 640, 480};
    DieAngleX = 0;
    DieAngleY = 0;
}

#endif
