#include "runtime/recorder.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <sys/stat.h>

namespace {

using platform::Frame;

std::array<PALETTEENTRY, 256> Ramp(BYTE blue) {
    std::array<PALETTEENTRY, 256> palette{};
    for (int i = 0; i < 256; ++i) palette[i] = PALETTEENTRY{BYTE(i), BYTE(i / 2), blue, 0};
    return palette;
}

TEST(Recorder, FramesKeepTheirIndicesPalettesAndTiming) {
    // Rows of 5 pixels with 3 bytes of padding the recording must leave out.
    constexpr LONG kPitch = 8;
    BYTE pixels[3 * kPitch];
    for (int i = 0; i < 3 * kPitch; ++i) pixels[i] = static_cast<BYTE>(i % kPitch < 5 ? i * 7 : 0xEE);
    const auto first = Ramp(9), second = Ramp(200);
    const std::string path = ::testing::TempDir() + "recorder_frames.gif";
    platform::GifRecorder recorder;
    std::string error;
    ASSERT_TRUE(recorder.Open(path, error)) << error;
    recorder.Add(Frame{pixels, kPitch, 5, 3, first.data()}, 0);
    recorder.Add(Frame{pixels, kPitch, 5, 3, first.data()}, 166'667);
    pixels[0] = 42;
    recorder.Add(Frame{pixels, kPitch, 5, 3, second.data()}, 333'334);
    recorder.Add(Frame{pixels, kPitch, 5, 3, first.data()}, 20'000'000);  // after a long pause, as while minimised
    ASSERT_TRUE(recorder.Finish(error)) << error;

    int status = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &status);
    ASSERT_NE(gif, nullptr) << GifErrorString(status);
    ASSERT_EQ(DGifSlurp(gif), GIF_OK) << GifErrorString(gif->Error);
    ASSERT_EQ(gif->ImageCount, 4);
    EXPECT_TRUE(gif->SWidth == 5 && gif->SHeight == 3);
    ASSERT_TRUE(gif->SColorMap && gif->SColorMap->ColorCount == 256);
    const GifColorType colour = gif->SColorMap->Colors[77];
    EXPECT_TRUE(colour.Red == 77 && colour.Green == 38 && colour.Blue == 9);
    // Only a frame whose palette differs from the screen's carries its own.
    for (int i : {0, 1, 3}) EXPECT_EQ(gif->SavedImages[i].ImageDesc.ColorMap, nullptr) << i;
    ASSERT_NE(gif->SavedImages[2].ImageDesc.ColorMap, nullptr);
    EXPECT_EQ(gif->SavedImages[2].ImageDesc.ColorMap->Colors[77].Blue, 200);
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 5; ++column)
            EXPECT_EQ(gif->SavedImages[1].RasterBits[row * 5 + column], BYTE((row * kPitch + column) * 7));
    EXPECT_EQ(gif->SavedImages[2].RasterBits[0], 42);
    // Whole centiseconds that add up to the time shown.
    const int delays[] = {1, 2, 197, 1};
    for (int i = 0; i < 4; ++i) {
        GraphicsControlBlock control;
        ASSERT_EQ(DGifSavedExtensionToGCB(gif, i, &control), GIF_OK);
        EXPECT_EQ(control.DelayTime, delays[i]) << i;
        EXPECT_EQ(control.TransparentColor, NO_TRANSPARENT_COLOR);
    }
    DGifCloseFile(gif, &status);
}

// An animation of no images: the trailer follows the screen. The file is
// made with 0666 less the umask.
TEST(Recorder, RunWithoutFramesLeavesAnEmptyAnimationForAll) {
    const std::string path = ::testing::TempDir() + "recorder_empty.gif";
    std::remove(path.c_str());
    const mode_t saved = umask(027);
    platform::GifRecorder recorder;
    std::string error;
    const bool opened = recorder.Open(path, error);
    umask(saved);
    ASSERT_TRUE(opened) << error;
    ASSERT_TRUE(recorder.Finish(error)) << error;
    struct stat status {};
    ASSERT_EQ(stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);
    int closeError = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &closeError);
    ASSERT_NE(gif, nullptr);
    GifRecordType record;
    ASSERT_EQ(DGifGetRecordType(gif, &record), GIF_OK);
    EXPECT_EQ(record, TERMINATE_RECORD_TYPE);
    DGifCloseFile(gif, &closeError);
}

TEST(Recorder, WriteFailureIsReported) {
    BYTE pixel = 0;
    const auto palette = Ramp(0);
    platform::GifRecorder recorder;
    std::string error;
    ASSERT_TRUE(recorder.Open("/dev/full", error)) << error;
    recorder.Add(Frame{&pixel, 1, 1, 1, palette.data()}, 0);
    EXPECT_FALSE(recorder.Finish(error));
    EXPECT_NE(error.find("cannot write /dev/full"), std::string::npos) << error;
}

}  // namespace
