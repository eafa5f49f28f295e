// Desktop windows on SDL2: the picture goes through the window surface (a nearest-neighbour
// scaled blit; no renderer, so no GL stack is loaded), letterboxed when the window is resized.
// Stylus = left mouse button or touch, mapped back to display pixels.
#include "platform/sdl_display.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "platform/icons.h"
#include "platform/messages.h"
#include "platform/text.h"

namespace platform {

class DesktopWindow {
public:
    SDL_Window* sdl = nullptr;
    Window* owner = nullptr;
    SDL_Surface* source = nullptr;  // wraps the owner's client pixels
    SDL_Rect picture = {0, 0, 0, 0};
    int scale = 1;
    bool fillBars = true;
};

namespace {

bool videoReady = false;
std::vector<DesktopWindow*> desktops;
// Closed desktop windows are only hidden until the end: SDL may still send its wake-up
// message to a window it last waited on, and an X window destroyed under it ends the
// process with BadWindow.
std::vector<SDL_Window*> retired;

// With CHALKMERE_TRACE=<file>, presents and stylus presses are written there with their wall
// time, for the benchmarks that measure start-up and tap latency from outside.
void Trace(const char* what) {
    static FILE* trace = [] {
        const char* path = std::getenv("CHALKMERE_TRACE");
        return path != nullptr ? std::fopen(path, "a") : nullptr;
    }();
    if (trace == nullptr) return;
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::fprintf(trace, "%s %lld\n", what,
                 static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
    std::fflush(trace);
}

bool StartVideo() {
    if (videoReady) return true;
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr &&
        std::getenv("SDL_VIDEODRIVER") == nullptr) {
        std::fprintf(stderr,
                     "chalkmere: no display is set (DISPLAY); the window will not be seen\n");
    }
    // The window surface must not pull in the GL stack; the first click on an unfocused
    // window is a tap like any other; a drill need not keep the screen saver away.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "chalkmere: no display: %s\n", SDL_GetError());
        return false;
    }
    videoReady = true;
    return true;
}

// The largest whole scale at which the display fits the desktop's usable area, leaving
// room for a title bar.
int StartingScale(int width, int height) {
    SDL_Rect usable{0, 0, width, height};
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0) return 1;
    constexpr int kTitleBar = 48;
    return std::max(1, std::min((usable.h - kTitleBar) / height, usable.w / width));
}

// The key-coloured background of the icon becomes transparent.
SDL_Surface* IconSurface(HICON handle) {
    const Icon* icon = LookupIcon(handle);
    if (icon == nullptr || icon->images.empty()) return nullptr;
    const Bitmap& image = *icon->images.front();
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormat(0, image.width, image.height, 32, SDL_PIXELFORMAT_ARGB8888);
    if (surface == nullptr) return nullptr;
    const std::uint32_t key = PixelFromColour(RGB(0xF6, 0x8C, 0xC5)) & 0xF8FCF8u;
    for (int y = 0; y < image.height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(surface->pixels) +
                                                     y * surface->pitch);
        for (int x = 0; x < image.width; ++x) {
            const std::uint32_t pixel = image.Row(y)[x];
            row[x] = (pixel & 0xF8FCF8u) == key ? 0u : (0xFF000000u | pixel);
        }
    }
    return surface;
}

void Layout(DesktopWindow& desktop, int targetWidth, int targetHeight) {
    const Bitmap& client = desktop.owner->client;
    if (client.width <= 0 || client.height <= 0) return;
    const int scale =
        std::max(1, std::min(targetWidth / client.width, targetHeight / client.height));
    const SDL_Rect picture{(targetWidth - client.width * scale) / 2,
                           (targetHeight - client.height * scale) / 2, client.width * scale,
                           client.height * scale};
    if (scale != desktop.scale || picture.x != desktop.picture.x ||
        picture.y != desktop.picture.y) {
        desktop.fillBars = true;
    }
    desktop.scale = scale;
    desktop.picture = picture;
}

DesktopWindow* FindDesktop(Uint32 windowId) {
    for (DesktopWindow* desktop : desktops) {
        if (SDL_GetWindowID(desktop->sdl) == windowId) return desktop;
    }
    return nullptr;
}

void Post(DesktopWindow* desktop, UINT message, WPARAM wParam, LPARAM lParam) {
    EnqueueMessage(MSG{HandleOf(desktop->owner), message, wParam, lParam, GetTickCount(), {0, 0}});
}

void Stylus(const SDL_MouseButtonEvent& button, bool down) {
    DesktopWindow* desktop = FindDesktop(button.windowID);
    if (desktop == nullptr || button.button != SDL_BUTTON_LEFT) return;
    // Floor division: points in the bars left of or above the picture are negative.
    const auto toDisplay = [&](int value, int offset) {
        const int shifted = value - offset;
        return shifted >= 0 ? shifted / desktop->scale
                            : -((-shifted + desktop->scale - 1) / desktop->scale);
    };
    int x = toDisplay(button.x, desktop->picture.x);
    int y = toDisplay(button.y, desktop->picture.y);
    const int width = desktop->owner->client.width;
    const int height = desktop->owner->client.height;
    if (down) {
        if (x < 0 || y < 0 || x >= width || y >= height) return;
        Trace("input");
    } else {
        // A release off the picture still ends the press, at the nearest edge.
        x = std::clamp(x, 0, width - 1);
        y = std::clamp(y, 0, height - 1);
    }
    Post(desktop, down ? WM_LBUTTONDOWN : WM_LBUTTONUP, down ? 1 : 0, MAKELPARAM(x, y));
}

void Translate(const SDL_Event& event) {
    switch (event.type) {
        case SDL_MOUSEBUTTONDOWN: Stylus(event.button, true); break;
        case SDL_MOUSEBUTTONUP: Stylus(event.button, false); break;
        case SDL_KEYDOWN:
            if (event.key.keysym.sym == SDLK_F11 && event.key.repeat == 0) {
                if (DesktopWindow* desktop = FindDesktop(event.key.windowID)) {
                    const bool full =
                        (SDL_GetWindowFlags(desktop->sdl) & SDL_WINDOW_FULLSCREEN) != 0;
                    SDL_SetWindowFullscreen(desktop->sdl, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
                    desktop->owner->presentPending = true;
                }
            }
            break;
        case SDL_WINDOWEVENT: {
            DesktopWindow* desktop = FindDesktop(event.window.windowID);
            if (desktop == nullptr) break;
            switch (event.window.event) {
                case SDL_WINDOWEVENT_CLOSE: Post(desktop, WM_CLOSE, 0, 0); break;
                case SDL_WINDOWEVENT_FOCUS_GAINED: Post(desktop, WM_ACTIVATE, 1, 0); break;
                case SDL_WINDOWEVENT_FOCUS_LOST: Post(desktop, WM_ACTIVATE, 0, 0); break;
                case SDL_WINDOWEVENT_SIZE_CHANGED:
                case SDL_WINDOWEVENT_EXPOSED:
                case SDL_WINDOWEVENT_RESTORED:
                    desktop->fillBars = true;
                    desktop->owner->presentPending = true;
                    break;
                default: break;
            }
            break;
        }
        case SDL_QUIT:
            // The last window was closed, or the process was asked to end.
            for (DesktopWindow* desktop : desktops) Post(desktop, WM_CLOSE, 0, 0);
            break;
        default: break;
    }
}

}  // namespace

DesktopWindow* OpenDesktopWindow(Window& window, HICON icon) {
    if (!StartVideo()) return nullptr;
    const int scale = StartingScale(window.client.width, window.client.height);
    SDL_Window* sdl =
        SDL_CreateWindow(Utf8FromWide(window.title.c_str()).c_str(), SDL_WINDOWPOS_CENTERED,
                         SDL_WINDOWPOS_CENTERED, window.client.width * scale,
                         window.client.height * scale, SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
    if (sdl == nullptr) return nullptr;
    SDL_SetWindowMinimumSize(sdl, window.client.width, window.client.height);
    if (SDL_Surface* surface = IconSurface(icon)) {
        SDL_SetWindowIcon(sdl, surface);
        SDL_FreeSurface(surface);
    }
    auto* desktop = new DesktopWindow();
    desktop->sdl = sdl;
    desktop->owner = &window;
    desktop->scale = scale;
    desktops.push_back(desktop);
    return desktop;
}

void CloseDesktopWindow(DesktopWindow* desktop) {
    if (desktop == nullptr) return;
    desktops.erase(std::remove(desktops.begin(), desktops.end(), desktop), desktops.end());
    desktop->owner->desktop = nullptr;
    SDL_FreeSurface(desktop->source);
    SDL_HideWindow(desktop->sdl);
    retired.push_back(desktop->sdl);
    delete desktop;
}

void ShowDesktopWindow(DesktopWindow* desktop) {
    if (desktop != nullptr) SDL_ShowWindow(desktop->sdl);
}

void RaiseDesktopWindow(DesktopWindow* desktop) {
    if (desktop == nullptr) return;
    SDL_ShowWindow(desktop->sdl);
    SDL_RestoreWindow(desktop->sdl);
    SDL_RaiseWindow(desktop->sdl);
    SDL_SetWindowInputFocus(desktop->sdl);
}

void PresentDesktopWindow(DesktopWindow* desktop, const Bitmap& client) {
    if (desktop == nullptr || client.width <= 0 || client.height <= 0) return;
    SDL_Surface* target = SDL_GetWindowSurface(desktop->sdl);
    if (target == nullptr) return;
    Layout(*desktop, target->w, target->h);
    // The source surface wraps the client's pixels; it is made anew when they move.
    if (desktop->source == nullptr || desktop->source->pixels != client.pixels.data() ||
        desktop->source->w != client.width || desktop->source->h != client.height) {
        SDL_FreeSurface(desktop->source);
        desktop->source = SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<std::uint32_t*>(client.pixels.data()), client.width, client.height, 32,
            client.width * 4, SDL_PIXELFORMAT_RGB888);
        if (desktop->source == nullptr) return;
    }
    if (desktop->fillBars) {
        SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0, 0, 0));
        desktop->fillBars = false;
    }
    SDL_Rect picture = desktop->picture;
    SDL_BlitScaled(desktop->source, nullptr, target, &picture);
    SDL_UpdateWindowSurface(desktop->sdl);
    Trace("present");
}

bool PumpDesktopEvents(int timeout) {
    if (!videoReady) return false;
    SDL_Event event;
    if (timeout > 0 ? SDL_WaitEventTimeout(&event, timeout) : SDL_PollEvent(&event)) {
        Translate(event);
        while (SDL_PollEvent(&event)) Translate(event);
    }
    return true;
}

void ShutDownDesktop() {
    while (!desktops.empty()) CloseDesktopWindow(desktops.back());
    for (SDL_Window* window : retired) SDL_DestroyWindow(window);
    retired.clear();
    if (videoReady) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    videoReady = false;
}

}  // namespace platform
