// Whole frames drawn with the real fills and the die's own texture.
#include <gtest/gtest.h>

#include <cstdlib>

#include "frame_fixture.h"

namespace {

TEST_F(FrameTest, AtTheStartTheFourPipFaceShowsOverTheMiddleOfTheThreePipFace) {
    DrawTexturedDie(BackSurface, 0);
    const BYTE white = TexelAt(file, 50, 50 + 100);
    const BYTE black = TexelAt(file, 25, 25 + 100);
    ASSERT_NE(white, black);

    // Nothing outside the near face, which spans 320 +- 47.9.
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            if (std::abs(x - 320) > 48 || std::abs(y - 240) > 48) {
                ASSERT_EQ(Pixel(x, y), cleared) << x << ", " << y;
            }
        }
    }
    // The far face, 320 +- 36.9, has its four pips a quarter of the way in
    // from its corners and nothing in the middle.
    EXPECT_EQ(Pixel(320, 240), white);
    EXPECT_EQ(Pixel(302, 222), black);
    EXPECT_EQ(Pixel(338, 222), black);
    EXPECT_EQ(Pixel(302, 258), black);
    EXPECT_EQ(Pixel(338, 258), black);
    // The near face's rim around it is white.
    EXPECT_EQ(Pixel(277, 240), white);
    EXPECT_EQ(Pixel(363, 240), white);
}

TEST_F(FrameTest, AQuarterTurnAboutYShowsTheFivePipFaceWithItsCentrePip) {
    DieAngleY = -23040;
    DrawTexturedDie(BackSurface, 0);
    EXPECT_EQ(Pixel(320, 240), TexelAt(file, 150, 150));
    EXPECT_EQ(Pixel(320, 240), TexelAt(file, 25, 125));  // black, like the four-pip face's pips
}

}  // namespace
