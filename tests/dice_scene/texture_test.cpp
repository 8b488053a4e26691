#include <gtest/gtest.h>

#include <set>
#include <tuple>
#include <vector>

#include "bitmap_file.h"

namespace {

constexpr Rgb WHITE = {255, 255, 255};
constexpr Rgb LIGHT_GREY = {247, 247, 247};
constexpr Rgb BACKGROUND = {0x24, 0x78, 0x78};
constexpr Rgb BLACK = {0, 0, 0};

class TextureTest : public ::testing::Test {
protected:
    void SetUp() override {
        file = ReadWholeFile(DIE_TEXTURE);
        ASSERT_EQ(file.size(), 14u + 40u + 1024u + 400u * 200u);
    }

    Rgb Colour(int x, int y) const { return TableColour(file, TexelAt(file, x, y)); }

    // The pips of a cell, each as the darkest colour it holds: texels that
    // are not white, inside the border, joined edge to edge.
    std::vector<Rgb> Pips(int cellX, int cellY) const {
        std::vector<Rgb> pips;
        std::vector<bool> seen(100 * 100, false);
        for (int y = 1; y < 99; ++y) {
            for (int x = 1; x < 99; ++x) {
                if (seen[y * 100 + x] || Colour(cellX + x, cellY + y) == WHITE) continue;
                Rgb darkest = WHITE;
                std::vector<std::pair<int, int>> open = {{x, y}};
                seen[y * 100 + x] = true;
                while (!open.empty()) {
                    const auto [px, py] = open.back();
                    open.pop_back();
                    const Rgb colour = Colour(cellX + px, cellY + py);
                    if (colour.r + colour.g + colour.b < darkest.r + darkest.g + darkest.b) darkest = colour;
                    const std::pair<int, int> next[4] = {{px + 1, py}, {px - 1, py}, {px, py + 1}, {px, py - 1}};
                    for (const auto& [nx, ny] : next) {
                        if (nx < 1 || ny < 1 || nx > 98 || ny > 98 || seen[ny * 100 + nx]) continue;
                        if (Colour(cellX + nx, cellY + ny) == WHITE) continue;
                        seen[ny * 100 + nx] = true;
                        open.push_back({nx, ny});
                    }
                }
                pips.push_back(darkest);
            }
        }
        return pips;
    }

    std::vector<uint8_t> file;
};

TEST_F(TextureTest, TheCommittedBitmapIsWhatTheGeneratorMakes) {
    const std::vector<uint8_t> generated = ReadWholeFile(GENERATED_TEXTURE);
    ASSERT_FALSE(generated.empty());
    EXPECT_TRUE(generated == file) << "run make_texture dice/texture.bmp and commit the result";
}

TEST_F(TextureTest, IsA400By200BitmapOfOneBytePerPixelWith256Colours) {
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(ReadU32(file, 2), file.size());
    EXPECT_EQ(ReadU32(file, 10), 14u + 40u + 1024u);
    EXPECT_EQ(ReadU32(file, 14), 40u);
    EXPECT_EQ(ReadU32(file, 18), 400u);
    EXPECT_EQ(ReadU32(file, 22), 200u);  // positive: rows bottom-up
    EXPECT_EQ(ReadU16(file, 26), 1u);
    EXPECT_EQ(ReadU16(file, 28), 8u);
    EXPECT_EQ(ReadU32(file, 30), 0u);  // uncompressed
    const uint32_t coloursUsed = ReadU32(file, 46);
    EXPECT_TRUE(coloursUsed == 0 || coloursUsed == 256) << coloursUsed;
}

TEST_F(TextureTest, TheColourTableHas256DistinctEntriesStartingWithWhite) {
    std::set<std::tuple<int, int, int>> colours;
    bool hasBackground = false;
    for (int i = 0; i < 256; ++i) {
        const Rgb colour = TableColour(file, i);
        colours.insert({colour.r, colour.g, colour.b});
        hasBackground = hasBackground || colour == BACKGROUND;
    }
    EXPECT_EQ(colours.size(), 256u);
    EXPECT_EQ(TableColour(file, 0), WHITE);
    EXPECT_EQ(TableColour(file, 1), LIGHT_GREY);
    EXPECT_TRUE(hasBackground);
}

TEST_F(TextureTest, EveryCellIsFramedByALightGreyBorder) {
    for (int cellY = 0; cellY < 200; cellY += 100) {
        for (int cellX = 0; cellX < 300; cellX += 100) {
            for (int i = 0; i < 100; ++i) {
                EXPECT_EQ(Colour(cellX + i, cellY), LIGHT_GREY) << cellX + i << ", " << cellY;
                EXPECT_EQ(Colour(cellX + i, cellY + 99), LIGHT_GREY) << cellX + i << ", " << cellY + 99;
                EXPECT_EQ(Colour(cellX, cellY + i), LIGHT_GREY) << cellX << ", " << cellY + i;
                EXPECT_EQ(Colour(cellX + 99, cellY + i), LIGHT_GREY) << cellX + 99 << ", " << cellY + i;
            }
            // White just inside the border.
            EXPECT_EQ(Colour(cellX + 1, cellY + 1), WHITE);
            EXPECT_EQ(Colour(cellX + 98, cellY + 98), WHITE);
        }
    }
}

TEST_F(TextureTest, CellsShowOneToSixPipsTheSingleOneRedTheOthersBlack) {
    const std::vector<Rgb> one = Pips(0, 0);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_GT(one[0].r, 150);
    EXPECT_LT(one[0].g, 64);
    EXPECT_LT(one[0].b, 64);
    const int cells[5][2] = {{100, 0}, {200, 0}, {0, 100}, {100, 100}, {200, 100}};
    for (int n = 2; n <= 6; ++n) {
        const std::vector<Rgb> pips = Pips(cells[n - 2][0], cells[n - 2][1]);
        EXPECT_EQ(pips.size(), static_cast<size_t>(n)) << n << " pips";
        for (const Rgb& pip : pips) EXPECT_EQ(pip, BLACK) << n << " pips";
    }
}

TEST_F(TextureTest, OddCountsHaveAPipAtTheCentre) {
    EXPECT_EQ(Colour(50, 50), TableColour(file, TexelAt(file, 45, 50)));
    EXPECT_GT(Colour(50, 50).r, 150);
    EXPECT_LT(Colour(50, 50).g, 64);
    EXPECT_EQ(Colour(250, 50), BLACK);
    EXPECT_EQ(Colour(150, 150), BLACK);
    // Even counts leave it white.
    EXPECT_EQ(Colour(150, 50), WHITE);
    EXPECT_EQ(Colour(50, 150), WHITE);
    EXPECT_EQ(Colour(250, 150), WHITE);
}

TEST_F(TextureTest, PipEdgesAreSmoothedWithIntermediateColours) {
    // A pip of radius 10 or more has a rim of well over 40 partly covered
    // texels, in several shades.
    const int cells[2][2] = {{0, 0}, {100, 100}};
    for (const auto& [cellX, cellY] : cells) {
        std::set<std::tuple<int, int, int>> shades;
        int rim = 0;
        for (int y = 1; y < 99; ++y) {
            for (int x = 1; x < 99; ++x) {
                const Rgb colour = Colour(cellX + x, cellY + y);
                if (colour == WHITE || colour == BLACK || colour == TableColour(file, TexelAt(file, 50, 50))) continue;
                ++rim;
                shades.insert({colour.r, colour.g, colour.b});
            }
        }
        EXPECT_GE(rim, 40) << "cell " << cellX << ", " << cellY;
        EXPECT_GE(shades.size(), 5u) << "cell " << cellX << ", " << cellY;
    }
}

}  // namespace
