// Whole frames at fixed angles, compared pixel for pixel with reference frames
// kept in tests/data/dice_frames as 8-bit palette PNGs (the texture's colour
// table is their palette, so any viewer shows them as the screen would).
//
// How the references were made: by this test, drawing each frame with
// DrawTexturedDie (ticks 0) into a 640 x 480 memory screen cleared to the
// background colour, with the die's texture in TextureSurface. To make them
// afresh after a deliberate change of the picture, run
//     WRITE_DIE_REFERENCE_FRAMES=1 build/default/tests/dice_scene/dice_frame_tests
// which writes every frame into the source tree instead of reading it, and
// then checks what it wrote as below.
//
// How they were checked: every one was looked at (the pips of the face toward
// the viewer, the faces painted after it showing through it where they lie
// behind it; the one-pip face is painted first and so always painted over),
// and every run checks every pixel of every reference against a model of the
// picture worked out apart from the renderer (die_ray_model.h). A pixel whose
// viewing ray misses the die must show the background; one whose ray meets it
// must show a texel of the face painted last among those the ray meets, found
// through the ray's hit point on that face, give or take the rounding to a
// texel, where on its row the fills take the pixel's sample (from half a pixel
// left of it to a pixel right of it) and, on a face drawn affinely, how far an
// affine map can stray from the true one. Pixels within two pixels of a face's
// outline, where the fills' own edge rules decide, and pixels under which the
// face is too foreshortened to say much are left out: some 6000 to 9500 die
// pixels and all but a few hundred background pixels of each frame are
// checked, and the counts are printed. A drawn frame that differs from its
// reference is written next to the test as <name>-drawn.png.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>

#include "die_ray_model.h"
#include "frame_fixture.h"
#include "paletted_png.h"

namespace {

struct Angles {
    const char* name;
    int32_t x;  // DieAngleX
    int32_t y;  // DieAngleY
    bool squareFace;  // some face nearly square to the view, so drawn affinely
};

// Named by the whole degrees drawn, which come from the angles shifted right by
// 8 bits: -1 and -200 are -1 degree, 69000 is 269 and -78100 is -306. Within a
// degree or so of a quarter turn a face is nearly square to the view, and its
// triangles go to the affine fill; all others go to the perspective-correct one.
const Angles FRAMES[] = {
    {"X0_Y0", 0, 0, true},
    {"X90_Y0", 23040, 0, true},
    {"X0_Yminus90", 0, -23040, true},
    {"X0_Yminus1", 255, -1, true},
    {"X1_Yminus181", 256, -46336, true},
    {"X91_Yminus271", 23296, -69376, true},
    {"X269_Yminus91", 69000, -23200, true},
    {"X30_Yminus40", 7680, -10240, false},
    {"X200_Yminus306", 51300, -78100, false},
};

void PrintTo(const Angles& angles, std::ostream* out) {
    *out << angles.name << " (DieAngleX " << angles.x << ", DieAngleY " << angles.y << ")";
}

// Every frame must leave this much to check.
constexpr int LEAST_FACE_PIXELS = 3000;
constexpr int LEAST_BACKGROUND_PIXELS = 250000;

std::string ReferencePath(const Angles& angles) {
    return std::string(REFERENCE_FRAMES) + "/" + angles.name + ".png";
}

class ReferenceFrameTest : public FrameTest, public ::testing::WithParamInterface<Angles> {
protected:
    PalettedImage Frame() const {
        PalettedImage image = {640, 480, {}, backBits};
        for (int i = 0; i < 256; ++i) image.palette.push_back(TableColour(file, i));
        return image;
    }

    // Counts the pixels checked, and fails for each one the model rules out.
    void CheckAgainstModel(const PalettedImage& reference, int* facePixels, int* backgroundPixels) const {
        const DieRayModel model(GetParam().x, GetParam().y);
        int failures = 0;
        for (int y = 0; y < 480; ++y) {
            for (int x = 0; x < 640; ++x) {
                const BYTE shown = reference.indices[y * 640 + x];
                const PixelExpectation expected = model.At(x, y);
                if (expected.seen == Seen::Background) {
                    ++*backgroundPixels;
                    if (shown != cleared && ++failures <= 10) {
                        ADD_FAILURE() << "pixel " << x << ", " << y << " shows " << int(shown)
                                      << " where the ray misses the die";
                    }
                } else if (expected.seen == Seen::Face) {
                    ++*facePixels;
                    if (!InWindow(shown, expected.texels) && ++failures <= 10) {
                        const TexelWindow& w = expected.texels;
                        ADD_FAILURE() << "pixel " << x << ", " << y << " shows " << int(shown)
                                      << ", which face " << expected.face << " has nowhere in texels " << w.uMin
                                      << ".." << w.uMax << ", " << w.vMin << ".." << w.vMax;
                    }
                }
            }
        }
        EXPECT_EQ(failures, 0);
    }

    bool InWindow(BYTE index, const TexelWindow& window) const {
        for (int v = window.vMin; v <= window.vMax; ++v) {
            for (int u = window.uMin; u <= window.uMax; ++u) {
                if (u >= 0 && u < 400 && v >= 0 && v < 200 && Texel(u, v) == index) return true;
            }
        }
        return false;
    }
};

TEST_P(ReferenceFrameTest, MatchesItsReferenceWhichMatchesTheRayModel) {
    const Angles& angles = GetParam();
    DieAngleX = angles.x;
    DieAngleY = angles.y;
    DrawTexturedDie(BackSurface, 0);
    ASSERT_EQ(DieAngleX, angles.x);
    ASSERT_EQ(DieAngleY, angles.y);
    ASSERT_EQ(DieRayModel(angles.x, angles.y).NearlyFlatTriangles() > 0, angles.squareFace);

    const std::string path = ReferencePath(angles);
    if (std::getenv("WRITE_DIE_REFERENCE_FRAMES") != nullptr) {
        std::filesystem::create_directories(REFERENCE_FRAMES);
        ASSERT_TRUE(WritePalettedPng(path, Frame())) << path;
    }
    const std::optional<PalettedImage> reference = ReadPalettedPng(path);
    ASSERT_TRUE(reference.has_value()) << path << " is missing or not a palette PNG";
    ASSERT_EQ(reference->width, 640);
    ASSERT_EQ(reference->height, 480);
    ASSERT_EQ(reference->palette, Frame().palette) << "the reference's indices would not be the texture's";

    int differing = 0;
    std::ostringstream first;
    for (int i = 0; i < 640 * 480; ++i) {
        if (reference->indices[i] == backBits[i]) continue;
        if (differing++ == 0) {
            first << " first at " << i % 640 << ", " << i / 640 << ": drawn " << int(backBits[i]) << ", reference "
                  << int(reference->indices[i]);
        }
    }
    if (differing > 0) WritePalettedPng(std::string(angles.name) + "-drawn.png", Frame());
    EXPECT_EQ(differing, 0) << "pixels differ from " << path << first.str();

    int facePixels = 0;
    int backgroundPixels = 0;
    CheckAgainstModel(*reference, &facePixels, &backgroundPixels);
    RecordProperty("FacePixelsChecked", facePixels);
    RecordProperty("BackgroundPixelsChecked", backgroundPixels);
    std::cout << angles.name << ": " << facePixels << " die pixels and " << backgroundPixels
              << " background pixels checked against the model\n";
    EXPECT_GE(facePixels, LEAST_FACE_PIXELS);
    EXPECT_GE(backgroundPixels, LEAST_BACKGROUND_PIXELS);
}

INSTANTIATE_TEST_SUITE_P(Angles, ReferenceFrameTest, ::testing::ValuesIn(FRAMES),
                         [](const ::testing::TestParamInfo<Angles>& info) { return info.param.name; });

// The model's sense of rotation, from what is known of the die: three pips
// toward the viewer at the start, five after a quarter turn back about y, one
// after a quarter turn about x.
TEST(DieRayModelTest, TurnsTheDieAsItIsKnownToTurn) {
    EXPECT_EQ(DieRayModel(0, 0).NearestFaceAt(320, 240), 4);
    EXPECT_EQ(DieRayModel(0, -23040).NearestFaceAt(320, 240), 3);
    EXPECT_EQ(DieRayModel(23040, 0).NearestFaceAt(320, 240), 0);
    EXPECT_EQ(DieRayModel(0, 0).NearestFaceAt(100, 100), -1);
}

// Where the faces overlap, the later one is what shows: at the start the far
// face, four pips, covers the middle of the near one.
TEST(DieRayModelTest, ShowsTheFacePaintedLast) {
    const PixelExpectation middle = DieRayModel(0, 0).At(320, 240);
    EXPECT_EQ(middle.seen, Seen::Face);
    EXPECT_EQ(middle.face, 5);
    EXPECT_LE(middle.texels.uMin, 50);
    EXPECT_GE(middle.texels.uMax, 49);
    EXPECT_LE(middle.texels.vMin, 150);
    EXPECT_GE(middle.texels.vMax, 149);
    const PixelExpectation rim = DieRayModel(0, 0).At(277, 240);
    EXPECT_EQ(rim.face, 4);
    EXPECT_EQ(DieRayModel(0, 0).At(300, 100).seen, Seen::Background);
    EXPECT_EQ(DieRayModel(0, 0).At(320 + 37, 240).seen, Seen::Unsure);  // the far face's outline
}

}  // namespace
