// The keyboard as the thread's windows hear of it: a display's key events become the messages
// a real window gets, and GetKeyState follows the messages the program has taken. Internal to
// the platform.
#pragma once

#include "platform/win32.h"

namespace platform {

struct KeyMessage {
    UINT message;  // WM_KEYDOWN or WM_KEYUP
    WPARAM wParam;
    LPARAM lParam;
};

// The message for a key (a virtual-key code, perhaps a sided modifier) going down, repeating
// or up; false for one no window is given (Alt+F4, which the window manager keeps).
bool KeyMessageFor(int key, bool down, bool repeat, KeyMessage& out);
// The program has taken a key's message from the queue: what GetKeyState answers follows.
void KeyMessageTaken(int key, bool down);
// The focus has gone: keys let go elsewhere are never heard of, so none is held any more;
// for GetKeyState once the program has taken the message that says so.
void FocusLost();
void FocusLossTaken();
// Whether a key the display told of is down: the game may be holding something by it.
bool AnyKeyHeld();
// Every key up and untoggled (a fresh queue).
void ResetKeyboard();

}  // namespace platform
