// The baseline for program_bench.sh: the least an SDL2 program can do to show the same window
// as Chalkmere. A 240 × 320 picture goes to the window surface by a nearest-neighbour scaled
// blit at the largest whole factor that fits the desktop (720 × 960 on a 1280 × 1024 screen),
// then the program blocks on events until it is closed. With CHALKMERE_TRACE=<file> it writes
// the same "mapped <ns>", "present <ns>" and "input <ns>" lines as the program; a left click
// inverts the picture, so a tap has pixels to show.
#include <SDL.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace {

constexpr int kWidth = 240;
constexpr int kHeight = 320;
constexpr int kTitleBar = 48;  // as the program leaves room for one

FILE* trace = nullptr;

void Trace(const char* what) {
    if (trace == nullptr) return;
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::fprintf(trace, "%s %lld\n", what,
                 static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
    std::fflush(trace);
}

int Scale() {
    SDL_Rect usable{0, 0, kWidth, kHeight};
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0) return 1;
    return std::max(1, std::min((usable.h - kTitleBar) / kHeight, usable.w / kWidth));
}

void Present(SDL_Window* window, SDL_Surface* picture) {
    SDL_Surface* target = SDL_GetWindowSurface(window);
    if (target == nullptr) return;
    SDL_BlitScaled(picture, nullptr, target, nullptr);
    SDL_UpdateWindowSurface(window);
    Trace("present");
}

}  // namespace

int main(int, char**) {
    if (const char* path = std::getenv("CHALKMERE_TRACE")) trace = std::fopen(path, "a");
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "minimal_sdl: %s\n", SDL_GetError());
        return 1;
    }
    const int scale = Scale();
    SDL_Window* window =
        SDL_CreateWindow("minimal-sdl", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                         kWidth * scale, kHeight * scale, 0);
    if (window == nullptr) {
        std::fprintf(stderr, "minimal_sdl: %s\n", SDL_GetError());
        SDL_Quit();
        return 1;
    }
    Trace("mapped");  // made shown, as the program's window is when SDL_ShowWindow returns

    // A board-green gradient, so that a screenshot shows the scaling at work.
    std::vector<std::uint32_t> pixels(kWidth * kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            pixels[y * kWidth + x] = (0x20u << 16) | ((0x40u + y / 4) << 8) | (0x30u + x / 8);
        }
    }
    SDL_Surface* picture = SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), kWidth, kHeight, 32,
                                                              kWidth * 4, SDL_PIXELFORMAT_RGB888);
    SDL_SetSurfaceBlendMode(picture, SDL_BLENDMODE_NONE);
    Present(window, picture);

    SDL_Event event;
    bool running = true;
    while (running && SDL_WaitEvent(&event)) {
        switch (event.type) {
            case SDL_QUIT: running = false; break;
            case SDL_MOUSEBUTTONDOWN:
                if (event.button.button != SDL_BUTTON_LEFT) break;
                Trace("input");
                for (std::uint32_t& pixel : pixels) pixel ^= 0x00FFFFFFu;
                Present(window, picture);
                break;
            case SDL_WINDOWEVENT:
                if (event.window.event == SDL_WINDOWEVENT_CLOSE) running = false;
                if (event.window.event == SDL_WINDOWEVENT_EXPOSED) Present(window, picture);
                break;
            default: break;
        }
    }

    SDL_FreeSurface(picture);
    SDL_DestroyWindow(window);
    SDL_Quit();
    if (trace != nullptr) std::fclose(trace);
    return 0;
}
