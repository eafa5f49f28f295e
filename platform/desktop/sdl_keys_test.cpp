// SDL's keys as the virtual-key codes the program reads.
#include "platform/desktop/sdl_keys.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include "platform/win32.h"

namespace {

TEST(SdlKeysTest, EachKeyHasItsVirtualKeyCode) {
    struct Case {
        SDL_Keycode sym;
        SDL_Scancode scancode;
        int virtualKey;
    };
    const Case cases[] = {
        {SDLK_0, SDL_SCANCODE_0, '0'},
        {SDLK_7, SDL_SCANCODE_7, '7'},
        {SDLK_9, SDL_SCANCODE_9, '9'},
        {'&', SDL_SCANCODE_1, '1'},  // AZERTY's top row
        {SDLK_KP_0, SDL_SCANCODE_KP_0, VK_NUMPAD0},
        {SDLK_KP_7, SDL_SCANCODE_KP_7, VK_NUMPAD7},
        {SDLK_KP_8, SDL_SCANCODE_KP_8, VK_NUMPAD8},
        {SDLK_KP_9, SDL_SCANCODE_KP_9, VK_NUMPAD9},
        {SDLK_a, SDL_SCANCODE_A, 'A'},
        {SDLK_a, SDL_SCANCODE_Q, 'A'},  // AZERTY's A
        {SDLK_z, SDL_SCANCODE_Z, 'Z'},
        {0x444, SDL_SCANCODE_A, 'A'},  // a Cyrillic letter: by its place
        {SDLK_TAB, SDL_SCANCODE_TAB, VK_TAB},
        {SDLK_RETURN, SDL_SCANCODE_RETURN, VK_RETURN},
        {SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, VK_RETURN},
        {SDLK_SPACE, SDL_SCANCODE_SPACE, VK_SPACE},
        {SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, VK_ESCAPE},
        {SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, VK_BACK},
        {SDLK_DELETE, SDL_SCANCODE_DELETE, VK_DELETE},
        {SDLK_LEFT, SDL_SCANCODE_LEFT, VK_LEFT},
        {SDLK_UP, SDL_SCANCODE_UP, VK_UP},
        {SDLK_RIGHT, SDL_SCANCODE_RIGHT, VK_RIGHT},
        {SDLK_DOWN, SDL_SCANCODE_DOWN, VK_DOWN},
        {SDLK_HOME, SDL_SCANCODE_HOME, VK_HOME},
        {SDLK_END, SDL_SCANCODE_END, VK_END},
        {SDLK_PAGEUP, SDL_SCANCODE_PAGEUP, VK_PRIOR},
        {SDLK_PAGEDOWN, SDL_SCANCODE_PAGEDOWN, VK_NEXT},
        {SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, VK_LSHIFT},
        {SDLK_RSHIFT, SDL_SCANCODE_RSHIFT, VK_RSHIFT},
        {SDLK_LCTRL, SDL_SCANCODE_LCTRL, VK_LCONTROL},
        {SDLK_RALT, SDL_SCANCODE_RALT, VK_RMENU},
        {SDLK_F1, SDL_SCANCODE_F1, VK_F1},
        {SDLK_F4, SDL_SCANCODE_F4, VK_F4},
        {SDLK_F12, SDL_SCANCODE_F12, VK_F12},
        {SDLK_KP_MINUS, SDL_SCANCODE_KP_MINUS, VK_SUBTRACT},
        {SDLK_MINUS, SDL_SCANCODE_MINUS, VK_OEM_MINUS},
        {SDLK_EQUALS, SDL_SCANCODE_EQUALS, VK_OEM_PLUS},
        {SDLK_PERIOD, SDL_SCANCODE_PERIOD, VK_OEM_PERIOD},
        {SDLK_SLASH, SDL_SCANCODE_SLASH, VK_OEM_2},
        {SDLK_MUTE, SDL_SCANCODE_MUTE, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::VirtualKeyFromSdl(c.sym, c.scancode), c.virtualKey)
            << SDL_GetKeyName(c.sym) << " at " << SDL_GetScancodeName(c.scancode);
    }
}

}  // namespace
