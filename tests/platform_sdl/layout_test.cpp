// A bare X server, as a session started without a window manager has it:
// nobody grants full screen, and the picture must still fill the window that
// the program really has, centred and whole.
#include "x_desktop.h"

#include <gtest/gtest.h>

#include <csignal>
#include <utility>

namespace {

constexpr uint32_t kDiceBackground = 0x247878;

TEST(BareDesktop, ThePictureFillsTheWindowThatFullScreenWasNotGrantedTo) {
    for (const char* tool : {"Xvfb", "xwd", "xwininfo", "xprop"})
        if (!desktop::Installed(tool)) GTEST_SKIP() << tool << " is not installed (scripts/deps.sh installs it)";
    desktop::XDesktop x;
    std::string error;
    ASSERT_TRUE(x.Start(1920, 1080, error, false)) << error;
    desktop::ProgramRun run(x, DICE, {}, "bare");
    // Once frames come, the window is the one the renderer keeps.
    ASSERT_TRUE(desktop::WaitUntil([&] { return run.Count("flip") >= 10; }, 30)) << run.Output();
    const std::string window = x.FindWindow("Study for algorithm Sample", 10);
    const auto place = x.Place(window);
    ASSERT_TRUE(place) << "no window: " << run.Output();
    ASSERT_LT(place->width, 1920) << "the window covers the screen, as only a window manager would make it";
    ASSERT_EQ(place->width * 3, place->height * 4);
    desktop::Picture screen;
    ASSERT_TRUE(x.Screenshot(screen, error)) << error;
    // The 4:3 picture reaches the middle of each of the window's edges.
    const int left = place->x, top = place->y, right = left + place->width - 1, bottom = top + place->height - 1;
    for (const auto& [px, py] : {std::pair{left, (top + bottom) / 2}, std::pair{right, (top + bottom) / 2},
                                 std::pair{(left + right) / 2, top}, std::pair{(left + right) / 2, bottom}})
        EXPECT_EQ(screen.At(px, py), kDiceBackground) << "at " << px << ", " << py;
    run.Signal(SIGTERM);
    EXPECT_EQ(run.WaitForExit(10), 0) << run.Output();
}

}  // namespace
