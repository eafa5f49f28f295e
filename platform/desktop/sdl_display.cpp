#include "platform/desktop/sdl_display.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>

#include "platform/core/utf16.h"
#include "platform/desktop/sdl_keys.h"
#include "platform/portable/display_arithmetic.h"

namespace platform {
namespace {

// The largest whole scale at which the display fits the desktop's usable area, leaving
// room for a title bar.
int StartingScale(int width, int height) {
    SDL_Rect usable{0, 0, width, height};
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0) return 1;
    constexpr int kTitleBar = 48;
    return FitWhole(usable.w, usable.h - kTitleBar, width, height).scale;
}

}  // namespace

SdlDisplay::~SdlDisplay() {
    while (!shown_.empty()) Close(shown_.back().id);
    for (SDL_Window* window : retired_) SDL_DestroyWindow(window);
    if (videoReady_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool SdlDisplay::StartVideo() {
    if (videoReady_) return true;
    // Without a display SDL would quietly pick its offscreen driver, and the game would run
    // where nobody can see it.
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr &&
        std::getenv("SDL_VIDEODRIVER") == nullptr) {
        openError_ = "no display to open a window on (neither DISPLAY nor WAYLAND_DISPLAY is set)";
        return false;
    }
    // The window surface must not pull in the GL stack; the first click on an unfocused
    // window is a tap like any other; a drill need not keep the screen saver away.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        openError_ = std::string("the display cannot be opened: ") + SDL_GetError();
        return false;
    }
    videoReady_ = true;
    return true;
}

int SdlDisplay::Open(const std::u16string& title, int width, int height, const IconImage* icon) {
    if (!StartVideo()) return 0;
    const int scale = StartingScale(width, height);
    SDL_Window* sdl = SDL_CreateWindow(Utf8FromWide(title.c_str()).c_str(), SDL_WINDOWPOS_CENTERED,
                                       SDL_WINDOWPOS_CENTERED, width * scale, height * scale,
                                       SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
    if (sdl == nullptr) {
        openError_ = std::string("no window can be opened: ") + SDL_GetError();
        return 0;
    }
    SDL_SetWindowMinimumSize(sdl, width, height);
    if (icon != nullptr) {
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<std::uint32_t*>(icon->pixels.data()), icon->width, icon->height, 32,
            icon->width * 4, SDL_PIXELFORMAT_ARGB8888);
        if (surface != nullptr) {
            SDL_SetWindowIcon(sdl, surface);
            SDL_FreeSurface(surface);
        }
    }
    Shown window;
    window.id = nextId_++;
    window.sdl = sdl;
    window.width = width;
    window.height = height;
    window.scale = scale;
    shown_.push_back(window);
    return window.id;
}

void SdlDisplay::Close(int id) {
    Shown* window = Find(id);
    if (window == nullptr) return;
    SDL_FreeSurface(window->source);
    SDL_HideWindow(window->sdl);
    retired_.push_back(window->sdl);
    shown_.erase(shown_.begin() + (window - shown_.data()));
}

void SdlDisplay::Show(int id) {
    if (Shown* window = Find(id)) SDL_ShowWindow(window->sdl);
}

void SdlDisplay::Raise(int id) {
    Shown* window = Find(id);
    if (window == nullptr) return;
    SDL_ShowWindow(window->sdl);
    SDL_RestoreWindow(window->sdl);
    SDL_RaiseWindow(window->sdl);
    SDL_SetWindowInputFocus(window->sdl);
}

void SdlDisplay::Present(int id, const std::uint32_t* pixels, int width, int height) {
    Shown* window = Find(id);
    if (window == nullptr || width <= 0 || height <= 0) return;
    SDL_Surface* target = SDL_GetWindowSurface(window->sdl);
    if (target == nullptr) return;

    const auto [scale, left, top] = FitWhole(target->w, target->h, width, height);
    if (scale != window->scale || left != window->left || top != window->top) {
        window->fillBars = true;
    }
    window->scale = scale;
    window->left = left;
    window->top = top;
    window->width = width;
    window->height = height;

    // The source surface wraps the caller's pixels; it is made anew when they move.
    if (window->source == nullptr || window->source->pixels != pixels ||
        window->source->w != width || window->source->h != height) {
        SDL_FreeSurface(window->source);
        window->source =
            SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint32_t*>(pixels), width, height,
                                               32, width * 4, SDL_PIXELFORMAT_RGB888);
        if (window->source == nullptr) return;
    }
    if (window->fillBars) {
        SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0, 0, 0));
        window->fillBars = false;
    }
    SDL_Rect picture{left, top, width * scale, height * scale};
    SDL_BlitScaled(window->source, nullptr, target, &picture);
    SDL_UpdateWindowSurface(window->sdl);
}

void SdlDisplay::Pump(int timeoutMs, std::vector<DisplayEvent>& events) {
    if (!videoReady_) return;
    SDL_Event event;
    const int got = timeoutMs < 0   ? SDL_WaitEvent(&event)
                    : timeoutMs > 0 ? SDL_WaitEventTimeout(&event, timeoutMs)
                                    : SDL_PollEvent(&event);
    if (got != 0) {
        Translate(event, events);
        while (SDL_PollEvent(&event)) Translate(event, events);
    }
}

void SdlDisplay::Wake() {
    SDL_Event wake{};
    wake.type = SDL_USEREVENT;  // heard by nobody: it only ends the wait
    SDL_PushEvent(&wake);
}

SdlDisplay::Shown* SdlDisplay::Find(int id) {
    for (Shown& window : shown_) {
        if (window.id == id) return &window;
    }
    return nullptr;
}

SdlDisplay::Shown* SdlDisplay::FindSdl(unsigned sdlWindowId) {
    for (Shown& window : shown_) {
        if (SDL_GetWindowID(window.sdl) == sdlWindowId) return &window;
    }
    return nullptr;
}

void SdlDisplay::Translate(const SDL_Event& event, std::vector<DisplayEvent>& events) {
    using Kind = DisplayEvent::Kind;
    switch (event.type) {
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            Shown* window = FindSdl(event.button.windowID);
            if (window == nullptr || event.button.button != SDL_BUTTON_LEFT) break;
            int x = ToPicture(event.button.x, window->left, window->scale);
            int y = ToPicture(event.button.y, window->top, window->scale);
            if (event.type == SDL_MOUSEBUTTONDOWN) {
                // A press off the picture is no tap.
                if (x < 0 || y < 0 || x >= window->width || y >= window->height) break;
                events.push_back({Kind::PointerDown, window->id, x, y});
            } else {
                // A release off the picture still ends the press, at the nearest edge.
                x = std::clamp(x, 0, window->width - 1);
                y = std::clamp(y, 0, window->height - 1);
                events.push_back({Kind::PointerUp, window->id, x, y});
            }
            break;
        }
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            Shown* window = FindSdl(event.key.windowID);
            if (window == nullptr) break;
            const bool down = event.type == SDL_KEYDOWN;
            if (event.key.keysym.sym == SDLK_F11) {
                // F11 is the window's own: full screen and back, never a key for the program.
                if (!down || event.key.repeat != 0) break;
                const bool full = (SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_FULLSCREEN) != 0;
                SDL_SetWindowFullscreen(window->sdl, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
                window->fillBars = true;
                events.push_back({Kind::Exposed, window->id});
                break;
            }
            DisplayEvent key{down ? Kind::KeyDown : Kind::KeyUp, window->id};
            key.key = VirtualKeyFromSdl(event.key.keysym.sym, event.key.keysym.scancode);
            key.repeat = down && event.key.repeat != 0;
            if (key.key != 0) events.push_back(key);
            break;
        }
        case SDL_WINDOWEVENT: {
            Shown* window = FindSdl(event.window.windowID);
            if (window == nullptr) break;
            switch (event.window.event) {
                case SDL_WINDOWEVENT_CLOSE: events.push_back({Kind::Close, window->id}); break;
                case SDL_WINDOWEVENT_FOCUS_GAINED:
                    events.push_back({Kind::Activate, window->id});
                    break;
                case SDL_WINDOWEVENT_FOCUS_LOST:
                    events.push_back({Kind::Deactivate, window->id});
                    break;
                case SDL_WINDOWEVENT_SIZE_CHANGED:
                case SDL_WINDOWEVENT_EXPOSED:
                case SDL_WINDOWEVENT_RESTORED:
                    window->fillBars = true;
                    events.push_back({Kind::Exposed, window->id});
                    break;
                default: break;
            }
            break;
        }
        case SDL_QUIT:
            // The last window was closed, or the process was asked to end.
            for (const Shown& window : shown_) events.push_back({Kind::Close, window.id});
            break;
        default: break;
    }
}

}  // namespace platform
