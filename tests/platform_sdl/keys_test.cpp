// What the host's keys and desktop mean to the programs, without a display.
#include "sdl/sdl_display.h"
#include "sdl/sdl_keys.h"

#include <gtest/gtest.h>

namespace {

using platform::HeldModifiers;
using platform::VirtualKey;

TEST(SdlKeys, LettersDigitsAndFunctionKeysHaveTheirVirtualCodes) {
    EXPECT_EQ(VirtualKey(SDLK_a), 'A');
    EXPECT_EQ(VirtualKey(SDLK_x), 'X');
    EXPECT_EQ(VirtualKey(SDLK_z), 'Z');
    EXPECT_EQ(VirtualKey(SDLK_0), '0');
    EXPECT_EQ(VirtualKey(SDLK_9), '9');
    EXPECT_EQ(VirtualKey(SDLK_F1), 0x70);
    EXPECT_EQ(VirtualKey(SDLK_F4), VK_F4);
    EXPECT_EQ(VirtualKey(SDLK_F12), 0x7B);
}

TEST(SdlKeys, NamedKeysHaveTheirVirtualCodes) {
    EXPECT_EQ(VirtualKey(SDLK_ESCAPE), 0x1B);
    EXPECT_EQ(VirtualKey(SDLK_RETURN), 0x0D);
    EXPECT_EQ(VirtualKey(SDLK_KP_ENTER), 0x0D);
    EXPECT_EQ(VirtualKey(SDLK_SPACE), 0x20);
    EXPECT_EQ(VirtualKey(SDLK_TAB), 0x09);
    EXPECT_EQ(VirtualKey(SDLK_BACKSPACE), 0x08);
    EXPECT_EQ(VirtualKey(SDLK_LEFT), 0x25);
    EXPECT_EQ(VirtualKey(SDLK_UP), 0x26);
    EXPECT_EQ(VirtualKey(SDLK_RIGHT), 0x27);
    EXPECT_EQ(VirtualKey(SDLK_DOWN), 0x28);
    EXPECT_EQ(VirtualKey(SDLK_PAGEUP), 0x21);
    EXPECT_EQ(VirtualKey(SDLK_PAGEDOWN), 0x22);
    EXPECT_EQ(VirtualKey(SDLK_DELETE), 0x2E);
}

TEST(SdlKeys, ModifierKeysAndUnknownKeysHaveNone) {
    const SDL_Keycode none[] = {SDLK_LALT,    SDLK_RALT,      SDLK_LSHIFT, SDLK_RCTRL, SDLK_F13,
                                SDLK_CAPSLOCK, SDLK_UNKNOWN, SDLK_AUDIOPLAY, 'a' - 1,     'z' + 1};
    for (SDL_Keycode key : none) EXPECT_EQ(VirtualKey(key), 0) << key;
}

TEST(SdlKeys, EitherSideOfAModifierCounts) {
    EXPECT_EQ(HeldModifiers(KMOD_NONE), 0);
    EXPECT_EQ(HeldModifiers(KMOD_LALT), platform::kAlt);
    EXPECT_EQ(HeldModifiers(KMOD_RALT), platform::kAlt);
    EXPECT_EQ(HeldModifiers(KMOD_LSHIFT | KMOD_RCTRL), platform::kShift | platform::kControl);
    EXPECT_EQ(HeldModifiers(KMOD_NUM | KMOD_CAPS), 0);
}

TEST(SdlKeys, OnlyAltEnterSwitchesTheScreenMode) {
    auto key = [](SDL_Keycode sym, Uint16 mod) {
        SDL_Keysym keysym{};
        keysym.sym = sym;
        keysym.mod = mod;
        return platform::IsScreenModeToggle(keysym);
    };
    EXPECT_TRUE(key(SDLK_RETURN, KMOD_LALT));
    EXPECT_TRUE(key(SDLK_KP_ENTER, KMOD_RALT | KMOD_NUM));
    EXPECT_FALSE(key(SDLK_RETURN, KMOD_NONE));
    EXPECT_FALSE(key(SDLK_RETURN, KMOD_LALT | KMOD_LCTRL));
    EXPECT_FALSE(key(SDLK_x, KMOD_LALT));
}

TEST(FitPicture, KeepsTheAspectWithBarsInTheMiddle) {
    using platform::FitPicture;
    auto fits = [](platform::PictureArea area, int x, int y, int width, int height) {
        return area.x == x && area.y == y && area.width == width && area.height == height;
    };
    EXPECT_TRUE(fits(FitPicture(1280, 720, 640, 480, false), 160, 0, 960, 720));
    EXPECT_TRUE(fits(FitPicture(1920, 1080, 640, 480, false), 240, 0, 1440, 1080));
    EXPECT_TRUE(fits(FitPicture(1024, 768, 640, 480, false), 0, 0, 1024, 768));
    EXPECT_TRUE(fits(FitPicture(640, 480, 640, 480, false), 0, 0, 640, 480));
    // Taller than 4:3: bars above and below.
    EXPECT_TRUE(fits(FitPicture(1280, 1024, 640, 480, false), 0, 32, 1280, 960));
    // Rounded to the nearest pixel.
    EXPECT_TRUE(fits(FitPicture(1366, 768, 640, 480, false), 171, 0, 1024, 768));
    EXPECT_TRUE(fits(FitPicture(1000, 1000, 640, 480, false), 0, 125, 1000, 750));
}

TEST(FitPicture, WholeScalesOnlyWhenAsked) {
    using platform::FitPicture;
    auto fits = [](platform::PictureArea area, int x, int y, int width, int height) {
        return area.x == x && area.y == y && area.width == width && area.height == height;
    };
    EXPECT_TRUE(fits(FitPicture(1280, 720, 640, 480, true), 320, 120, 640, 480));
    EXPECT_TRUE(fits(FitPicture(1920, 1080, 640, 480, true), 320, 60, 1280, 960));
    EXPECT_TRUE(fits(FitPicture(3840, 2160, 640, 480, true), 640, 120, 2560, 1920));
    // An output smaller than the picture shows its middle.
    EXPECT_TRUE(fits(FitPicture(320, 240, 640, 480, true), -160, -120, 640, 480));
    EXPECT_TRUE(fits(FitPicture(0, 720, 640, 480, true), 0, 0, 0, 0));
    EXPECT_TRUE(fits(FitPicture(1280, 720, 0, 480, false), 0, 0, 0, 0));
}

TEST(WholeScale, TheLargestWholeScaleThatFitsAndAtLeastOne) {
    using platform::WholeScale;
    EXPECT_EQ(WholeScale(1920, 1080, 640, 480), 2);
    EXPECT_EQ(WholeScale(1280, 960, 640, 480), 2);
    EXPECT_EQ(WholeScale(1279, 960, 640, 480), 1);
    EXPECT_EQ(WholeScale(3840, 2160, 640, 480), 4);
    EXPECT_EQ(WholeScale(2560, 1440, 640, 480), 3);
    EXPECT_EQ(WholeScale(800, 600, 640, 480), 1);
    EXPECT_EQ(WholeScale(320, 200, 640, 480), 1);
    EXPECT_EQ(WholeScale(0, 0, 640, 480), 1);
    EXPECT_EQ(WholeScale(1920, 1080, 0, 480), 1);
}

}  // namespace
