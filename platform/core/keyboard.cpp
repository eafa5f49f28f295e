// Key messages as Windows makes them: wParam the virtual-key code (either side's Shift, Ctrl
// or Alt as the generic one), lParam a repeat count of 1, bit 30 when the key was already
// down, bit 31 for a key up.
#include "platform/core/keyboard.h"

#include <array>

namespace platform {
namespace {

constexpr BYTE kDown = 0x80;
constexpr BYTE kToggled = 0x01;
constexpr DWORD kPreviouslyDown = 1u << 30;
constexpr DWORD kReleased = 1u << 31;

// Per key, 0x80 while down and 0x01 flipping at each fresh press.
using KeyStates = std::array<BYTE, 256>;
KeyStates heard{};  // as the display reported them
KeyStates taken{};  // as the program has taken their messages: GetKeyState

bool Valid(int key) { return key > 0 && key < 0xFF; }

// The code a window is given for a sided modifier, and the other side's code (0 for none).
int GenericKey(int key, int& otherSide) {
    switch (key) {
        case VK_LSHIFT: otherSide = VK_RSHIFT; return VK_SHIFT;
        case VK_RSHIFT: otherSide = VK_LSHIFT; return VK_SHIFT;
        case VK_LCONTROL: otherSide = VK_RCONTROL; return VK_CONTROL;
        case VK_RCONTROL: otherSide = VK_LCONTROL; return VK_CONTROL;
        case VK_LMENU: otherSide = VK_RMENU; return VK_MENU;
        case VK_RMENU: otherSide = VK_LMENU; return VK_MENU;
        default: otherSide = 0; return key;
    }
}

bool IsDown(const KeyStates& states, int key) {
    return (states[static_cast<std::size_t>(key)] & kDown) != 0;
}

// Records a key going down or up; a sided modifier moves its generic code with it, which is
// down while either side is.
void Record(KeyStates& states, int key, bool down) {
    BYTE& state = states[static_cast<std::size_t>(key)];
    if (down && (state & kDown) == 0) state ^= kToggled;
    state = static_cast<BYTE>(down ? state | kDown : state & ~kDown);
    int otherSide = 0;
    const int generic = GenericKey(key, otherSide);
    if (otherSide == 0) return;
    BYTE& both = states[static_cast<std::size_t>(generic)];
    const bool eitherDown = down || IsDown(states, otherSide);
    if (eitherDown && (both & kDown) == 0) both ^= kToggled;
    both = static_cast<BYTE>(eitherDown ? both | kDown : both & ~kDown);
}

void LetGo(KeyStates& states) {
    for (BYTE& state : states) state &= static_cast<BYTE>(~kDown);
}

}  // namespace

bool KeyMessageFor(int key, bool down, bool repeat, KeyMessage& out) {
    if (!Valid(key)) return false;
    int otherSide = 0;
    const int generic = GenericKey(key, otherSide);
    // On Windows Alt+F4 is a system key, which the program never sees as WM_KEYDOWN; the
    // window manager closes the window itself.
    if (generic == VK_F4 && IsDown(heard, VK_MENU)) return false;
    DWORD bits = 1;
    if (!down) bits |= kReleased | kPreviouslyDown;
    if (down && (repeat || IsDown(heard, key))) bits |= kPreviouslyDown;
    Record(heard, key, down);
    out = {down ? WM_KEYDOWN : WM_KEYUP, static_cast<WPARAM>(generic), static_cast<LPARAM>(bits)};
    return true;
}

void KeyMessageTaken(int key, bool down) {
    if (Valid(key)) Record(taken, key, down);
}

void FocusLost() { LetGo(heard); }

void FocusLossTaken() { LetGo(taken); }

bool AnyKeyHeld() {
    for (BYTE state : heard) {
        if ((state & kDown) != 0) return true;
    }
    return false;
}

void ResetKeyboard() {
    heard = {};
    taken = {};
}

}  // namespace platform

SHORT GetKeyState(int virtualKey) {
    if (!platform::Valid(virtualKey)) return 0;
    const BYTE state = platform::taken[static_cast<std::size_t>(virtualKey)];
    return static_cast<SHORT>(((state & platform::kDown) != 0 ? 0xFF80 : 0) |
                              (state & platform::kToggled));
}
