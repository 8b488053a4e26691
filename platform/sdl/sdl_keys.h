// What the host's keyboard means to a program: SDL's key codes and modifier
// states as Windows virtual-key codes and accelerator modifiers.
#ifndef PLATFORM_SDL_SDL_KEYS_H
#define PLATFORM_SDL_SDL_KEYS_H

#include <windows.h>

#include <SDL_keyboard.h>

namespace platform {

// The virtual-key code of a key, or 0 for a key that has none here (the
// modifier keys among them: they travel with the keys they modify).
WORD VirtualKey(SDL_Keycode key);

// kAlt, kShift and kControl for the modifiers held.
BYTE HeldModifiers(Uint16 modifiers);

// Alt+Enter, which switches between full screen and a window.
bool IsScreenModeToggle(const SDL_Keysym& key);

}  // namespace platform

#endif
