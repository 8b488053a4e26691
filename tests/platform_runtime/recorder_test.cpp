#include "runtime/recorder.h"
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <array>
#include <cstdio>
#include <fstream>
#include "program_run.h"
namespace {
std::array<PALETTEENTRY, 256> Ramp(BYTE blue) {
    std::array<PALETTEENTRY, 256> palette{};
    for (int i = 0; i < 256; ++i) palette[i] = PALETTEENTRY{BYTE(i), BYTE(i / 2), blue, 0};
    return palette;
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
    EXPECT_EQ(Decode(path + ".cut").frames.size(), 3u);
    ASSERT_TRUE(recorder.Finish(error)) << error;
    struct stat status {};
    EXPECT_TRUE(stat(path.c_str(), &status) == 0 && (status.st_mode & 0777) == 0640u);
    const Recording recording = Decode(path);
    ASSERT_TRUE(recording.frames.size() == 4u && recording.width == 5 && recording.height == 3);
    const GifColorType c = recording.colors.size() == 256u ? recording.colors[77] : GifColorType{};
    EXPECT_TRUE(c.Red == 77 && c.Green == 38 && c.Blue == 9);
    int code = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &code);
    ASSERT_TRUE(gif && DGifSlurp(gif) == GIF_OK);
    for (int i : {0, 1, 3}) EXPECT_EQ(gif->SavedImages[i].ImageDesc.ColorMap, nullptr) << i;
    const ColorMapObject* own = gif->SavedImages[2].ImageDesc.ColorMap;
    EXPECT_TRUE(own && own->Colors[77].Blue == 200 && recording.frames[2][0] == 42);
    for (int at = 0; at < 15; ++at) EXPECT_EQ(recording.frames[1][at], BYTE((at / 5 * kPitch + at % 5) * 7)) << at;
    const int delays[] = {1, 2, 197, 1};
    for (int i = 0; i < 4; ++i) {
        GraphicsControlBlock control;
        ASSERT_EQ(DGifSavedExtensionToGCB(gif, i, &control), GIF_OK);
        EXPECT_TRUE(control.DelayTime == delays[i] && control.TransparentColor == NO_TRANSPARENT_COLOR) << i;
    }
    DGifCloseFile(gif, &code);
}
}  // namespace
