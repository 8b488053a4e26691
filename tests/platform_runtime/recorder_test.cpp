#include "runtime/recorder.h"
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <array>
#include <cstdio>
#include <fstream>
namespace {
std::array<PALETTEENTRY, 256> Ramp(BYTE blue) {
    std::array<PALETTEENTRY, 256> palette{};
    for (int i = 0; i < 256; ++i) palette[i] = PALETTEENTRY{BYTE(i), BYTE(i / 2), blue, 0};
    return palette;
}
// The GIF in the file; it fails the test unless whole.
GifFileType* Slurped(const std::string& path) {
    int code = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &code);
    EXPECT_TRUE(gif && DGifSlurp(gif) == GIF_OK) << path;
    return gif;
}
// Rows of 5 pixels and 3 bytes of padding left out; only a frame whose palette differs carries its own; delays
// are whole centiseconds adding up to the time shown; the file is made with 0666 less the umask. A frame is on
// disk once the next comes, so that a run killed at any time leaves a recording of all but its last frame.
TEST(Recorder, FramesKeepTheirIndicesPalettesAndTimingAndReachTheDiskAsTheyCome) {
    constexpr LONG kPitch = 8;
    BYTE pixels[3 * kPitch];
    for (int i = 0; i < 3 * kPitch; ++i) pixels[i] = static_cast<BYTE>(i % kPitch < 5 ? i * 7 : 0xEE);
    const auto first = Ramp(9), second = Ramp(200);
    const std::string path = ::testing::TempDir() + "recorder_frames.gif";
    std::remove(path.c_str());
    const mode_t saved = umask(027);
    platform::GifRecorder recorder;
    std::string error;
    const bool opened = recorder.Open(path, error);
    umask(saved);
    ASSERT_TRUE(opened) << error;
    // The last after a pause, as while minimised.
    for (auto [palette, at] : {std::pair{&first, 0}, {&first, 166'667}, {&second, 333'334}, {&first, 20'000'000}}) {
        if (palette == &second) pixels[0] = 42;
        recorder.Add(platform::Frame{pixels, kPitch, 5, 3, palette->data()}, at);
    }
    std::ofstream(path + ".cut", std::ios::binary) << std::ifstream(path, std::ios::binary).rdbuf() << ';';  // the trailer
    GifFileType* gif = Slurped(path + ".cut");
    int code = 0;
    EXPECT_EQ(gif ? gif->ImageCount : 0, 3);
    DGifCloseFile(gif, &code);
    ASSERT_TRUE(recorder.Finish(error)) << error;
    struct stat status {};
    EXPECT_TRUE(stat(path.c_str(), &status) == 0 && (status.st_mode & 0777) == 0640u);
    ASSERT_TRUE((gif = Slurped(path)) && gif->ImageCount == 4 && gif->SWidth == 5 && gif->SHeight == 3);
    ASSERT_TRUE(gif->SColorMap && gif->SColorMap->ColorCount == 256);
    EXPECT_TRUE(gif->SColorMap->Colors[77].Red == 77 && gif->SColorMap->Colors[77].Green == 38 && gif->SColorMap->Colors[77].Blue == 9);
    for (int i : {0, 1, 3}) EXPECT_EQ(gif->SavedImages[i].ImageDesc.ColorMap, nullptr) << i;
    const ColorMapObject* own = gif->SavedImages[2].ImageDesc.ColorMap;
    EXPECT_TRUE(own && own->Colors[77].Blue == 200 && gif->SavedImages[2].RasterBits[0] == 42);
    for (int at = 0; at < 15; ++at)
        EXPECT_EQ(gif->SavedImages[1].RasterBits[at], BYTE((at / 5 * kPitch + at % 5) * 7)) << at;
    const int delays[] = {1, 2, 197, 1};
    for (int i = 0; i < 4; ++i) {
        GraphicsControlBlock control;
        ASSERT_EQ(DGifSavedExtensionToGCB(gif, i, &control), GIF_OK);
        EXPECT_TRUE(control.DelayTime == delays[i] && control.TransparentColor == NO_TRANSPARENT_COLOR) << i;
    }
    DGifCloseFile(gif, &code);
}
}  // namespace
