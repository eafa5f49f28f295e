// The display contract: what a backend does to show windows on a desktop (or a page) and to
// hear its input. The core calls it; the backend never posts messages or touches windows, it
// only hands events back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/core/accessible.h"

namespace platform {

// An image in 0xAARRGGBB pixels, rows top to bottom; alpha 0 is transparent.
struct IconImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// What happened on the desktop, in the window's own display pixels.
struct DisplayEvent {
    enum class Kind : std::uint8_t {
        PointerDown,  // the stylus touched the picture at (x, y)
        PointerUp,    // it was lifted; (x, y) lies on the picture
        Close,        // the window's close button
        Activate,     // the window got the input focus
        Deactivate,   // it lost it
        Exposed,      // what the desktop shows was lost (resized, uncovered): present again
        KeyDown,      // a key of the keyboard went down (or repeats) while the window had focus
        KeyUp,        // it was let go
    };
    Kind kind;
    int window;  // the id Open gave
    int x = 0;
    int y = 0;
    // For a key, its Win32 virtual-key code ('0'-'9' and 'A'-'Z' as themselves, the keypad's
    // digits as VK_NUMPAD0-9, either Enter as VK_RETURN); Shift, Ctrl and Alt may come as
    // their sided codes (VK_LSHIFT...) or as VK_SHIFT... A key the backend cannot name is
    // left out, as is whatever it uses itself (F11 for full screen).
    int key = 0;
    bool repeat = false;  // a KeyDown the system repeats while the key is held
};

class DisplayBackend {
public:
    virtual ~DisplayBackend() = default;

    // A hidden desktop window showing `width` × `height` display pixels; its id (never 0), or
    // 0 when none can be opened.
    virtual int Open(const std::u16string& title, int width, int height, const IconImage* icon) = 0;
    virtual void Close(int window) = 0;
    virtual void Show(int window) = 0;
    // Brings the window to the front with the input focus.
    virtual void Raise(int window) = 0;
    // Shows `pixels` (0x00RRGGBB, `width` × `height`, rows without padding) in the window.
    virtual void Present(int window, const std::uint32_t* pixels, int width, int height) = 0;
    // Appends what has happened, waiting up to `timeoutMs` for the first event when nothing
    // has yet (a negative timeout: for as long as it takes); returns at once when an event
    // arrives.
    virtual void Pump(int timeoutMs, std::vector<DisplayEvent>& events) = 0;

    // What screen readers and switches find beside the window's picture, in reading order;
    // each call replaces the list and comes only when it changed. Most displays show none.
    virtual void SetAccessibleItems(int /*window*/, const std::vector<AccessibleItem>& /*items*/) {}
};

// The display in use; null (the default) keeps every window off the desktop.
DisplayBackend* CurrentDisplay();
void SetDisplay(DisplayBackend* display);

}  // namespace platform
