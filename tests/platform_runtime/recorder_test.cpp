#include "runtime/recorder.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <sys/stat.h>
#include <vector>

namespace {

using platform::Frame;
using platform::GifRecorder;

std::string TempPath(const std::string& name) { return ::testing::TempDir() + "recorder_" + name; }

std::array<PALETTEENTRY, 256> Ramp(BYTE blue) {
    std::array<PALETTEENTRY, 256> palette{};
    for (int i = 0; i < 256; ++i) palette[i] = PALETTEENTRY{static_cast<BYTE>(i), static_cast<BYTE>(i / 2), blue, 0};
    return palette;
}

GifFileType* Slurp(const std::string& path) {
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    EXPECT_NE(gif, nullptr) << GifErrorString(error);
    if (gif) {
        EXPECT_EQ(DGifSlurp(gif), GIF_OK) << GifErrorString(gif->Error);
    }
    return gif;
}

TEST(Recorder, FramesKeepTheirIndicesPalettesAndTiming) {
    // Rows of 5 pixels with 3 bytes of padding the recording must leave out.
    constexpr LONG kPitch = 8;
    BYTE pixels[3 * kPitch];
    for (int i = 0; i < 3 * kPitch; ++i) pixels[i] = static_cast<BYTE>(i % kPitch < 5 ? i * 7 : 0xEE);
    std::array<PALETTEENTRY, 256> first = Ramp(9);
    std::array<PALETTEENTRY, 256> second = Ramp(200);

    std::string path = TempPath("frames.gif");
    GifRecorder recorder;
    std::string error;
    ASSERT_TRUE(recorder.Open(path, error)) << error;
    recorder.Add(Frame{pixels, kPitch, 5, 3, first.data()}, 0);
    recorder.Add(Frame{pixels, kPitch, 5, 3, first.data()}, 166'667);
    pixels[0] = 42;
    recorder.Add(Frame{pixels, kPitch, 5, 3, second.data()}, 333'334);
    // A long pause, as while minimised, shows as a long frame.
    recorder.Add(Frame{pixels, kPitch, 5, 3, first.data()}, 20'000'000);
    ASSERT_TRUE(recorder.Finish(error)) << error;

    GifFileType* gif = Slurp(path);
    ASSERT_NE(gif, nullptr);
    ASSERT_EQ(gif->ImageCount, 4);
    EXPECT_EQ(gif->SWidth, 5);
    EXPECT_EQ(gif->SHeight, 3);
    ASSERT_NE(gif->SColorMap, nullptr);
    EXPECT_EQ(gif->SColorMap->ColorCount, 256);
    EXPECT_EQ(gif->SColorMap->Colors[77].Red, 77);
    EXPECT_EQ(gif->SColorMap->Colors[77].Green, 38);
    EXPECT_EQ(gif->SColorMap->Colors[77].Blue, 9);
    EXPECT_EQ(gif->SavedImages[1].ImageDesc.ColorMap, nullptr) << "same colours as the screen";
    ASSERT_NE(gif->SavedImages[2].ImageDesc.ColorMap, nullptr) << "the palette changed";
    EXPECT_EQ(gif->SavedImages[2].ImageDesc.ColorMap->Colors[77].Blue, 200);
    EXPECT_EQ(gif->SavedImages[3].ImageDesc.ColorMap, nullptr);
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 5; ++column)
            EXPECT_EQ(gif->SavedImages[1].RasterBits[row * 5 + column], static_cast<BYTE>((row * kPitch + column) * 7));
    EXPECT_EQ(gif->SavedImages[2].RasterBits[0], 42);
    int expectedDelays[] = {1, 2, 197, 1};
    for (int i = 0; i < 4; ++i) {
        GraphicsControlBlock control;
        ASSERT_EQ(DGifSavedExtensionToGCB(gif, i, &control), GIF_OK);
        EXPECT_EQ(control.DelayTime, expectedDelays[i]) << i;
        EXPECT_EQ(control.TransparentColor, NO_TRANSPARENT_COLOR);
    }
    int error2 = 0;
    DGifCloseFile(gif, &error2);
}

TEST(Recorder, RunWithoutFramesLeavesAnEmptyAnimation) {
    std::string path = TempPath("empty.gif");
    GifRecorder recorder;
    std::string error;
    ASSERT_TRUE(recorder.Open(path, error)) << error;
    ASSERT_TRUE(recorder.Finish(error)) << error;
    int closeError = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &closeError);
    ASSERT_NE(gif, nullptr);
    // The format allows an animation of no images: the trailer follows the screen.
    GifRecordType record;
    ASSERT_EQ(DGifGetRecordType(gif, &record), GIF_OK);
    EXPECT_EQ(record, TERMINATE_RECORD_TYPE);
    DGifCloseFile(gif, &closeError);
}

TEST(Recorder, WriteFailureIsReported) {
    BYTE pixel = 0;
    std::array<PALETTEENTRY, 256> palette = Ramp(0);
    GifRecorder recorder;
    std::string error;
    ASSERT_TRUE(recorder.Open("/dev/full", error)) << error;
    recorder.Add(Frame{&pixel, 1, 1, 1, palette.data()}, 0);
    EXPECT_FALSE(recorder.Finish(error));
    EXPECT_NE(error.find("cannot write /dev/full"), std::string::npos) << error;
}

TEST(Recorder, FileIsCreatedWithTheUsualPermissions) {
    std::string path = TempPath("permissions.gif");
    std::remove(path.c_str());
    mode_t saved = umask(027);
    GifRecorder recorder;
    std::string error;
    bool opened = recorder.Open(path, error);
    umask(saved);
    ASSERT_TRUE(opened) << error;
    ASSERT_TRUE(recorder.Finish(error)) << error;
    struct stat status {};
    ASSERT_EQ(stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u) << "0666 less the umask";
}

}  // namespace
