// A 640 x 480 screen with scripted 8-bit texture and back surfaces, the sine
// table filled, the die at its starting orientation and nothing recorded yet.
#ifndef TESTS_DICE_SCENE_SCENE_FIXTURE_H
#define TESTS_DICE_SCENE_SCENE_FIXTURE_H

#include <gtest/gtest.h>

#include <memory>

#include "recording_fills.h"
#include "scene_start.h"
#include "scripted_surface.h"

class SceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        StartScene();
        FillCalls.clear();
        SceneEvents.clear();
        UseSurfaces(8, 8);
    }

    void TearDown() override {
        TextureSurface = NULL;
        BackSurface = NULL;
    }

    void UseSurfaces(DWORD textureBits, DWORD backBits) {
        texture = std::make_unique<ScriptedSurface>("texture", textureBits, &SceneEvents);
        back = std::make_unique<ScriptedSurface>("back", backBits, &SceneEvents);
        TextureSurface = texture.get();
        BackSurface = back.get();
    }

    std::unique_ptr<ScriptedSurface> texture;
    std::unique_ptr<ScriptedSurface> back;
};

#endif
