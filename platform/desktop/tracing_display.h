// A display that notes the wall time of every present and stylus press in a file, around
// the real one: what the benchmarks measure start-up and tap latency with, from outside.
// Installed only when CHALKMERE_TRACE names the file, so the game pays nothing otherwise.
#pragma once

#include <cstdio>

#include "platform/core/display.h"

namespace platform {

class TracingDisplay : public DisplayBackend {
public:
    TracingDisplay(DisplayBackend& inner, std::FILE* trace) : inner_(inner), trace_(trace) {}

    int Open(const std::u16string& title, int width, int height, const IconImage* icon) override {
        return inner_.Open(title, width, height, icon);
    }
    void Close(int window) override { inner_.Close(window); }
    // The window is on the desktop once the backend has shown it: what the first frame is
    // measured against.
    void Show(int window) override {
        inner_.Show(window);
        Note("mapped");
    }
    void Raise(int window) override { inner_.Raise(window); }
    void Present(int window, const std::uint32_t* pixels, int width, int height) override;
    void Pump(int timeoutMs, std::vector<DisplayEvent>& events) override;

private:
    void Note(const char* what);

    DisplayBackend& inner_;
    std::FILE* trace_;
};

}  // namespace platform
