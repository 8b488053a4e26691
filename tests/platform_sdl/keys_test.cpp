// What the host's keys and desktop mean to the programs, without a display.
#include "sdl/sdl_display.h"
#include "sdl/sdl_keys.h"

#include <gtest/gtest.h>

namespace {

using namespace platform;

TEST(SdlKeys, KeysHaveTheirVirtualCodesAndModifiersNone) {
    const std::pair<SDL_Keycode, int> keys[] = {
        {SDLK_a, 'A'},         {SDLK_x, 'X'},       {SDLK_z, 'Z'},        {SDLK_0, '0'},          {SDLK_9, '9'},
        {SDLK_F1, 0x70},       {SDLK_F4, VK_F4},    {SDLK_F12, 0x7B},     {SDLK_ESCAPE, 0x1B},    {SDLK_RETURN, 0x0D},
        {SDLK_KP_ENTER, 0x0D}, {SDLK_SPACE, 0x20},  {SDLK_TAB, 0x09},     {SDLK_BACKSPACE, 8},    {SDLK_LEFT, 0x25},
        {SDLK_UP, 0x26},       {SDLK_RIGHT, 0x27},  {SDLK_DOWN, 0x28},    {SDLK_PAGEUP, 0x21},    {SDLK_PAGEDOWN, 0x22},
        {SDLK_DELETE, 0x2E},   {SDLK_LALT, 0},      {SDLK_RALT, 0},       {SDLK_LSHIFT, 0},       {SDLK_RCTRL, 0},
        {SDLK_F13, 0},         {SDLK_CAPSLOCK, 0},  {SDLK_UNKNOWN, 0},    {SDLK_AUDIOPLAY, 0},    {'a' - 1, 0},
        {'z' + 1, 0}};
    for (auto [key, code] : keys) EXPECT_EQ(VirtualKey(key), code) << key;
}

TEST(SdlKeys, EitherSideOfAModifierCountsAndOnlyAltEnterSwitchesTheMode) {
    EXPECT_EQ(HeldModifiers(KMOD_NONE), 0);
    EXPECT_EQ(HeldModifiers(KMOD_LALT), kAlt);
    EXPECT_EQ(HeldModifiers(KMOD_RALT), kAlt);
    EXPECT_EQ(HeldModifiers(KMOD_LSHIFT | KMOD_RCTRL), kShift | kControl);
    EXPECT_EQ(HeldModifiers(KMOD_NUM | KMOD_CAPS), 0);
    const std::tuple<SDL_Keycode, int, bool> toggles[] = {{SDLK_RETURN, KMOD_LALT, true},
        {SDLK_KP_ENTER, KMOD_RALT | KMOD_NUM, true}, {SDLK_RETURN, KMOD_NONE, false},
        {SDLK_RETURN, KMOD_LALT | KMOD_LCTRL, false}, {SDLK_x, KMOD_LALT, false}};
    for (auto [sym, mod, toggle] : toggles) {
        SDL_Keysym keysym{};
        keysym.sym = sym;
        keysym.mod = static_cast<Uint16>(mod);
        EXPECT_EQ(IsScreenModeToggle(keysym), toggle) << sym << " " << mod;
    }
}

// Where the 640 x 480 picture goes on an output, at any scale or whole scales only.
TEST(FitPicture, KeepsTheAspectWithBarsInTheMiddle) {
    const std::tuple<int, int, bool, PictureArea> cases[] = {
        {1280, 720, false, {160, 0, 960, 720}}, {1920, 1080, false, {240, 0, 1440, 1080}},
        {1024, 768, false, {0, 0, 1024, 768}},  {640, 480, false, {0, 0, 640, 480}},
        {1280, 1024, false, {0, 32, 1280, 960}},  // taller than 4:3: bars above and below
        {1366, 768, false, {171, 0, 1024, 768}},  // rounded to the nearest pixel
        {1000, 1000, false, {0, 125, 1000, 750}}, {1280, 720, true, {320, 120, 640, 480}},
        {1920, 1080, true, {320, 60, 1280, 960}}, {3840, 2160, true, {640, 120, 2560, 1920}},
        {320, 240, true, {-160, -120, 640, 480}},  // smaller than the picture: its middle
        {0, 720, true, {0, 0, 0, 0}}};
    for (auto [width, height, whole, want] : cases) {
        PictureArea area = FitPicture(width, height, 640, 480, whole);
        EXPECT_EQ(std::tie(area.x, area.y, area.width, area.height), std::tie(want.x, want.y, want.width, want.height))
            << width << " x " << height << (whole ? " whole" : "");
    }
    PictureArea none = FitPicture(1280, 720, 0, 480, false);
    EXPECT_EQ(std::tie(none.x, none.y, none.width, none.height), std::make_tuple(0, 0, 0, 0));
}

TEST(WholeScale, TheLargestWholeScaleThatFitsAndAtLeastOne) {
    const int cases[][3] = {{1920, 1080, 2}, {1280, 960, 2}, {1279, 960, 1}, {3840, 2160, 4}, {2560, 1440, 3},
                            {800, 600, 1},   {320, 200, 1},  {0, 0, 1}};
    for (auto& c : cases) EXPECT_EQ(WholeScale(c[0], c[1], 640, 480), c[2]) << c[0] << " x " << c[1];
    EXPECT_EQ(WholeScale(1920, 1080, 0, 480), 1);
}

}  // namespace
