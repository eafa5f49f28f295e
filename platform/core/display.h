// The display contract: what a backend does to show windows on a desktop (or a page) and to
// hear its input. The core calls it; the backend never posts messages or touches windows, it
// only hands events back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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
    };
    Kind kind;
    int window;  // the id Open gave
    int x = 0;
    int y = 0;
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
    // has yet; returns at once when an event arrives.
    virtual void Pump(int timeoutMs, std::vector<DisplayEvent>& events) = 0;
};

// The display in use; null (the default) keeps every window off the desktop.
DisplayBackend* CurrentDisplay();
void SetDisplay(DisplayBackend* display);

}  // namespace platform
