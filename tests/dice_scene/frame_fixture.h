// A memory screen cleared to the background colour, with the die's own texture
// in TextureSurface. The texture's colour table is also the screen palette, and
// its 256 colours are all different, so loading it onto the screen keeps every
// texel's index: the texels go into the surface unchanged.
#ifndef TESTS_DICE_SCENE_FRAME_FIXTURE_H
#define TESTS_DICE_SCENE_FRAME_FIXTURE_H

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "bitmap_file.h"
#include "memory_screen.h"

class FrameTest : public MemoryScreenTest {
protected:
    // The frame's clear colour, 0x787824, as an entry of the colour table.
    static constexpr Rgb BACKGROUND = {0x24, 0x78, 0x78};

    void SetUp() override {
        MemoryScreenTest::SetUp();
        file = ReadWholeFile(DIE_TEXTURE);
        ASSERT_EQ(file.size(), 14u + 40u + 1024u + 400u * 200u);
        UseTexture(400, 200);
        for (int y = 0; y < 200; ++y) {
            for (int x = 0; x < 400; ++x) textureBits[y * 400 + x] = TexelAt(file, x, y);
        }
        int index = 0;
        while (index < 256 && !(TableColour(file, index) == BACKGROUND)) ++index;
        ASSERT_LT(index, 256) << "the texture's colour table lacks the background colour";
        cleared = static_cast<BYTE>(index);
        std::fill(backBits.begin(), backBits.end(), cleared);
    }

    BYTE Texel(int u, int v) const { return textureBits[v * 400 + u]; }

    std::vector<uint8_t> file;
    BYTE cleared = 0;
};

#endif
