#include "sdl_keys.h"

#include "../api/host.h"

namespace platform {

namespace {

struct KeyPair {
    SDL_Keycode sdl;
    WORD vk;
};

constexpr KeyPair kNamedKeys[] = {
    {SDLK_ESCAPE, VK_ESCAPE},   {SDLK_RETURN, VK_RETURN},     {SDLK_KP_ENTER, VK_RETURN}, {SDLK_SPACE, VK_SPACE},
    {SDLK_TAB, VK_TAB},         {SDLK_BACKSPACE, VK_BACK},    {SDLK_PAUSE, VK_PAUSE},     {SDLK_LEFT, VK_LEFT},
    {SDLK_UP, VK_UP},           {SDLK_RIGHT, VK_RIGHT},       {SDLK_DOWN, VK_DOWN},       {SDLK_INSERT, VK_INSERT},
    {SDLK_DELETE, VK_DELETE},   {SDLK_HOME, VK_HOME},         {SDLK_END, VK_END},         {SDLK_PAGEUP, VK_PRIOR},
    {SDLK_PAGEDOWN, VK_NEXT},
};

}  // namespace

WORD VirtualKey(SDL_Keycode key) {
    // Letters are their capitals' codes, digits their own; F1 to F12 run on
    // in both sets of codes.
    if (key >= SDLK_a && key <= SDLK_z) return static_cast<WORD>('A' + (key - SDLK_a));
    if (key >= SDLK_0 && key <= SDLK_9) return static_cast<WORD>('0' + (key - SDLK_0));
    if (key >= SDLK_F1 && key <= SDLK_F12) return static_cast<WORD>(VK_F1 + (key - SDLK_F1));
    for (const KeyPair& pair : kNamedKeys)
        if (pair.sdl == key) return pair.vk;
    return 0;
}

BYTE HeldModifiers(Uint16 modifiers) {
    return static_cast<BYTE>(((modifiers & KMOD_ALT) ? kAlt : 0) | ((modifiers & KMOD_SHIFT) ? kShift : 0) |
                             ((modifiers & KMOD_CTRL) ? kControl : 0));
}

bool IsScreenModeToggle(const SDL_Keysym& key) {
    return (key.sym == SDLK_RETURN || key.sym == SDLK_KP_ENTER) && HeldModifiers(key.mod) == kAlt;
}

}  // namespace platform
