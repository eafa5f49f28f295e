// SDL's keys as Win32 virtual-key codes.
#pragma once

namespace platform {

// The virtual-key code of an SDL key (its SDL_Keycode `sym` and SDL_Scancode `scancode`), or
// 0 for one that has none here. The top row's digits are digits on any layout, as on Windows;
// the keypad's are VK_NUMPAD0-9 whatever Num Lock says; letters follow the layout, or where it
// has none (Cyrillic, Greek) the key's place; the left and right modifiers keep their side.
int VirtualKeyFromSdl(int sym, int scancode);

}  // namespace platform
