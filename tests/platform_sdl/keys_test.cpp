// What the host's keys and desktop mean to the programs, without a display.
#include "sdl/sdl_display.h"
#include "sdl/sdl_keys.h"
#include <gtest/gtest.h>
namespace {
using namespace platform;
// Escape, which no desktop test presses, and the edges of the ranges; Alt+Enter toggles whatever the lock keys.
TEST(SdlKeys, VirtualCodesModifiersAndTheScreenModeToggle) {
    for (auto [key, code] : {std::pair<SDL_Keycode, int>{SDLK_ESCAPE, 0x1B}, {SDLK_a, 'A'}, {SDLK_z, 'Z'}, {SDLK_0, '0'},
                             {SDLK_F12, 0x7B}, {SDLK_F13, 0}, {SDLK_LALT, 0}, {'a' - 1, 0}, {'z' + 1, 0}})
        EXPECT_EQ(VirtualKey(key), code) << key;
    EXPECT_EQ(HeldModifiers(KMOD_RALT | KMOD_LSHIFT | KMOD_RCTRL | KMOD_NUM | KMOD_CAPS), kAlt | kShift | kControl);
    EXPECT_TRUE(IsScreenModeToggle({SDL_SCANCODE_UNKNOWN, SDLK_KP_ENTER, KMOD_RALT | KMOD_NUM, 0}) &&
                !IsScreenModeToggle({SDL_SCANCODE_UNKNOWN, SDLK_RETURN, KMOD_LALT | KMOD_LCTRL, 0}));
}
// Where the 640 x 480 picture goes on an output, at any scale or whole scales only; the largest whole scale that fits.
TEST(FitPicture, KeepsTheAspectWithBarsInTheMiddle) {
    const std::tuple<int, int, bool, PictureArea> cases[] = {
        {1280, 720, false, {160, 0, 960, 720}}, {1024, 768, false, {0, 0, 1024, 768}},
        {1280, 1024, false, {0, 32, 1280, 960}}, {1000, 701, false, {32, 0, 935, 701}},  // 934.67 rounded
        {1000, 1000, false, {0, 125, 1000, 750}}, {1280, 720, true, {320, 120, 640, 480}},
        {3840, 2160, true, {640, 120, 2560, 1920}}, {320, 240, true, {-160, -120, 640, 480}}, {0, 720, true, {0, 0, 0, 0}}};
    for (auto [width, height, whole, want] : cases) {
        const PictureArea area = FitPicture(width, height, 640, 480, whole);
        EXPECT_EQ(std::tie(area.x, area.y, area.width, area.height), std::tie(want.x, want.y, want.width, want.height))
            << width << " x " << height << (whole ? " whole" : "");
    }
    const int scales[][3] = {{1920, 1080, 2}, {1280, 960, 2}, {1279, 960, 1}, {2560, 1440, 3}, {320, 200, 1}, {0, 0, 1}};
    for (auto& c : scales) EXPECT_EQ(WholeScale(c[0], c[1], 640, 480), c[2]) << c[0] << " x " << c[1];
}
}  // namespace
