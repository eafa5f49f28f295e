// The desktop's display backend on SDL2: each window shows the emulated display scaled by a
// whole factor, through the window surface (a nearest-neighbour scaled blit; no renderer, so
// no GL stack is loaded), letterboxed when resized. Stylus = left mouse button or touch,
// mapped back to display pixels. Keys of the window are passed on as virtual-key codes,
// except F11, which toggles full screen.
#pragma once

#include <string>
#include <vector>

#include "platform/core/display.h"

struct SDL_Window;
struct SDL_Surface;
union SDL_Event;

namespace platform {

class SdlDisplay : public DisplayBackend {
public:
    SdlDisplay() = default;
    ~SdlDisplay() override;
    SdlDisplay(const SdlDisplay&) = delete;
    SdlDisplay& operator=(const SdlDisplay&) = delete;

    int Open(const std::u16string& title, int width, int height, const IconImage* icon) override;
    void Close(int window) override;
    void Show(int window) override;
    void Raise(int window) override;
    void Present(int window, const std::uint32_t* pixels, int width, int height) override;
    void Pump(int timeoutMs, std::vector<DisplayEvent>& events) override;
    // Ends a Pump's wait from any thread (another process asked for the window).
    static void Wake();

    // Why the last Open failed, for the one line the program prints; empty when none did.
    const std::string& OpenError() const { return openError_; }

private:
    struct Shown {
        int id = 0;
        SDL_Window* sdl = nullptr;
        SDL_Surface* source = nullptr;  // wraps the pixels last presented
        int width = 0;                  // display pixels
        int height = 0;
        int scale = 1;
        int left = 0;  // where the picture starts in the window
        int top = 0;
        bool fillBars = true;
    };

    bool StartVideo();
    Shown* Find(int id);
    Shown* FindSdl(unsigned sdlWindowId);
    void Translate(const SDL_Event& event, std::vector<DisplayEvent>& events);

    bool videoReady_ = false;
    int nextId_ = 1;
    std::vector<Shown> shown_;
    // Closed windows are only hidden until the end: SDL may still send its wake-up message to
    // a window it last waited on, and an X window destroyed under it ends the process with
    // BadWindow.
    std::vector<SDL_Window*> retired_;
    std::string openError_;
};

}  // namespace platform
