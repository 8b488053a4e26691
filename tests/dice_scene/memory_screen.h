// An 8-bit 640 x 480 back buffer and an 8-bit texture over memory that the test
// reads and writes directly, installed as BackSurface and TextureSurface.
#ifndef TESTS_DICE_SCENE_MEMORY_SCREEN_H
#define TESTS_DICE_SCENE_MEMORY_SCREEN_H

#include <gtest/gtest.h>

#include <vector>

#include "scene_start.h"
#include "testing/memory_surface.h"

class MemoryScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        StartScene();
        BackSurface = platform::CreateMemorySurface(640, 480, 8, 640, backBits.data());
    }

    void TearDown() override {
        BackSurface->Release();
        BackSurface = NULL;
        if (TextureSurface) TextureSurface->Release();
        TextureSurface = NULL;
    }

    // The texels are filled in afterwards, through textureBits.
    void UseTexture(DWORD width, DWORD height) {
        textureBits.assign(width * height, 0);
        TextureSurface = platform::CreateMemorySurface(width, height, 8, static_cast<LONG>(width), textureBits.data());
    }

    BYTE Pixel(int x, int y) const { return backBits[y * 640 + x]; }

    std::vector<BYTE> textureBits;
    std::vector<BYTE> backBits = std::vector<BYTE>(640 * 480);
};

#endif
