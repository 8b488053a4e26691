// What the host's keys and desktop mean to the programs, without a display.
#include "sdl/sdl_display.h"
#include "sdl/sdl_keys.h"
#include <gtest/gtest.h>
namespace {
using namespace platform;
TEST(SdlKeys, VirtualCodesModifiersAndTheScreenModeToggle) {
    const std::pair<SDL_Keycode, int> keys[] = {{SDLK_a, 'A'}, {SDLK_z, 'Z'}, {SDLK_0, '0'}, {SDLK_9, '9'}, {SDLK_F1, 0x70},
        {SDLK_F12, 0x7B}, {SDLK_ESCAPE, 0x1B}, {SDLK_RETURN, 0x0D}, {SDLK_KP_ENTER, 0x0D}, {SDLK_LALT, 0}, {SDLK_F13, 0},
        {SDLK_UNKNOWN, 0}, {'a' - 1, 0}, {'z' + 1, 0}};
    for (auto [key, code] : keys) EXPECT_EQ(VirtualKey(key), code) << key;
    const std::pair<int, int> held[] = {{KMOD_NONE, 0}, {KMOD_LALT, kAlt}, {KMOD_RALT, kAlt},
                                        {KMOD_LSHIFT | KMOD_RCTRL, kShift | kControl}, {KMOD_NUM | KMOD_CAPS, 0}};
    for (auto [mod, modifiers] : held) EXPECT_EQ(HeldModifiers(static_cast<Uint16>(mod)), modifiers) << mod;
    const std::tuple<SDL_Keycode, int, bool> toggles[] = {{SDLK_RETURN, KMOD_LALT, true}, {SDLK_KP_ENTER, KMOD_RALT | KMOD_NUM, true},
        {SDLK_RETURN, KMOD_NONE, false}, {SDLK_RETURN, KMOD_LALT | KMOD_LCTRL, false}, {SDLK_x, KMOD_LALT, false}};
    for (auto [sym, mod, toggle] : toggles)
        EXPECT_EQ(IsScreenModeToggle({SDL_SCANCODE_UNKNOWN, sym, static_cast<Uint16>(mod), 0}), toggle) << sym << " " << mod;
}
// Where the 640 x 480 picture goes on an output, at any scale or whole scales
// only, and the largest whole scale that fits (at least one).
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
