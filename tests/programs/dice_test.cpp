// The tumbling die as a whole program: what it records, its first frame, and
// how it goes on after a lost display or a minimise.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "headless_run.h"

namespace {

HeadlessRun RunDie(const std::string& name, const std::vector<std::string>& args) {
    HeadlessRun run = RunHeadless(DICE_PROGRAM, name, args);
    EXPECT_EQ(run.exitCode, 0) << name << ": " << run.output;
    return run;
}

uint32_t Little32(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes.at(at + i))) << (8 * i);
    return value;
}

// The colour table of the texture bitmap, which is the screen's palette.
std::vector<GifColorType> TextureColours() {
    const std::string bitmap = ReadFile(DICE_TEXTURE);
    const size_t table = 14 + Little32(bitmap, 14);
    std::vector<GifColorType> colours;
    for (size_t i = 0; i < 256; ++i) {
        const size_t entry = table + 4 * i;
        colours.push_back(GifColorType{static_cast<GifByteType>(bitmap.at(entry + 2)),
                                       static_cast<GifByteType>(bitmap.at(entry + 1)),
                                       static_cast<GifByteType>(bitmap.at(entry))});
    }
    return colours;
}

bool SameColours(const std::vector<GifColorType>& a, const std::vector<GifColorType>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].Red != b[i].Red || a[i].Green != b[i].Green || a[i].Blue != b[i].Blue) return false;
    return true;
}

TEST(Dice, RecordsFourSecondsOfTheTumblingDieTheSameOnEveryRun) {
    HeadlessRun run = RecordTwice(DICE_PROGRAM, 240);
    const Recording& recording = run.recording;
    ASSERT_EQ(recording.frames.size(), 240u);
    EXPECT_TRUE(SameColours(recording.colors, TextureColours()));
    for (size_t k = 1; k < recording.frames.size(); ++k)
        EXPECT_NE(recording.frames[k], recording.frames[k - 1]) << "frame " << k << " turned";
}

// Before any time has passed the die is not turned: the three-pip face is
// nearest, a white square reaching 47.9 pixels from the centre each way, and
// the four-pip face at the back, reaching 36.9, is drawn after it and shows
// over its middle, the middle pip of the three included.
TEST(Dice, FirstFrameShowsTheStartingOrientation) {
    HeadlessRun run = RunDie("start", {"--frames", "1"});
    ASSERT_EQ(run.recording.frames.size(), 1u);
    const Frame& frame = run.recording.frames[0];
    const std::vector<GifColorType>& colours = run.recording.colors;
    ASSERT_EQ(colours.size(), 256u);
    auto isBackground = [&](int x, int y) { return At(frame, x, y) == At(frame, 0, 0); };
    auto isDark = [&](int x, int y) {
        const GifColorType& c = colours[At(frame, x, y)];
        return c.Red < 100 && c.Green < 100 && c.Blue < 100;
    };
    const GifColorType& background = colours[At(frame, 0, 0)];
    EXPECT_EQ(background.Red, 0x24);
    EXPECT_EQ(background.Green, 0x78);
    EXPECT_EQ(background.Blue, 0x78);
    const GifColorType& middle = colours[At(frame, 320, 240)];
    EXPECT_EQ(middle.Red + middle.Green + middle.Blue, 3 * 255) << "white";

    // The near face spans 47.9 pixels each way from the centre (320, 240).
    for (int along = -45; along <= 45; ++along) {
        for (int across : {-45, 45}) {
            EXPECT_FALSE(isBackground(320 + along, 240 + across)) << along << ", " << across;
            EXPECT_FALSE(isBackground(320 + across, 240 + along)) << across << ", " << along;
        }
        for (int across : {-50, 50}) {
            EXPECT_TRUE(isBackground(320 + along, 240 + across)) << along << ", " << across;
            EXPECT_TRUE(isBackground(320 + across, 240 + along)) << across << ", " << along;
        }
    }
    // The only pips to be seen are the four-pip face's, one in each quarter,
    // inside the far face's 283.1 to 356.9 across and 203.1 to 276.9 down.
    int pips[2][2] = {{0, 0}, {0, 0}};
    int elsewhere = 0;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            if (!isDark(x, y)) continue;
            if (x >= 283 && x <= 357 && y >= 203 && y <= 277)
                ++pips[y < 240][x < 320];
            else
                ++elsewhere;
        }
    }
    EXPECT_EQ(elsewhere, 0);
    for (auto& half : pips)
        for (int count : half) EXPECT_GT(count, 20);
}

// A lost display misses refreshes without drawing. Once it is back the
// surfaces are restored and the texture reloaded into them; the die goes on
// from where it stopped, the time while lost never reaching it, so its frames
// are those of a run that never lost the display.
TEST(Dice, ALostDisplayReloadsTheTextureAndGoesOnFromTheSameAngles) {
    HeadlessRun never = RunDie("never", {"--frames", "40"});
    HeadlessRun run = RunDie("lost", {"--events", "250:lose,750:regain", "--frames", "40"});
    ASSERT_EQ(run.recording.frames.size(), 40u);
    ExpectOnlyMissedRefreshesWhileLost(run, 30);
    ExpectGoesOnWhereItStopped(run, never, LineOf(run, "event regain"));
}

// Minimised, the program sleeps; the first frame after it is restored turns
// the die by the whole time it slept. The die comes back to the same place
// every 28 seconds (seven turns about one axis, four about the other), so a
// run that slept 28 seconds longer draws the very same frames.
TEST(Dice, MinimisedItDrawsNothingAndThenTurnsByTheWholeWait) {
    HeadlessRun never = RunDie("never", {"--frames", "30"});
    HeadlessRun run = RunDie("minimised", {"--events", "250:minimize,1250:restore", "--frames", "30"});
    HeadlessRun longer = RunDie("longer", {"--events", "250:minimize,29250:restore", "--frames", "30"});
    const std::string restore = LineOf(run, "event restore");
    ExpectAsleepBetween(run, LineOf(run, "event minimize"), restore);

    const std::vector<Frame>& frames = run.recording.frames;
    ASSERT_EQ(frames.size(), 30u);
    const size_t after = FramesBefore(run.trace, restore);
    ASSERT_GT(after, 0u);
    EXPECT_NE(frames[after], frames[after - 1]) << "the die turned while minimised";
    EXPECT_NE(frames[after], never.recording.frames.at(after)) << "by more than a frame's time";
    EXPECT_EQ(frames, longer.recording.frames);
}

}  // namespace
