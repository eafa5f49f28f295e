// The browser's display backend: the page's one canvas shows the program's window, pointer
// events (mouse, pen or finger, one at a time) are its stylus, the document's keys while the
// canvas shows are its keyboard (by virtual-key code), and waiting for input yields
// to the page, so the program's own loop runs unchanged (the build uses Asyncify).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/core/display.h"

namespace platform {

class WebDisplay : public DisplayBackend {
public:
    // The page has one canvas: a second window at a time cannot be opened.
    int Open(const std::u16string& title, int width, int height, const IconImage* icon) override;
    void Close(int window) override;
    void Show(int window) override;
    void Raise(int window) override;
    void Present(int window, const std::uint32_t* pixels, int width, int height) override;
    void Pump(int timeoutMs, std::vector<DisplayEvent>& events) override;
    // Mirrored beside the canvas for screen readers and switch access.
    void SetAccessibleItems(int window, const std::vector<AccessibleItem>& items) override;

    // How the program's entry ended for the page: after showing its window, turned away
    // without asking for one (another tab has the game), or unable to open one.
    enum class Ending { Closed, TurnedAway, NoCanvas };
    Ending HowItEnded() const {
        return everShown_ ? Ending::Closed : openFailed_ ? Ending::NoCanvas : Ending::TurnedAway;
    }

private:
    int open_ = 0;
    int nextId_ = 1;
    bool everShown_ = false;
    bool openFailed_ = false;
    // The first picture is on the canvas, but the page renders it only when the program yields:
    // the next look for events waits until it has, so nothing built after it holds it back.
    bool firstFrameUnseen_ = false;
    // The last picture as the canvas's R, G, B, A bytes, made here rather than by the page's
    // script, which would still be interpreted at the first frame.
    std::vector<std::uint32_t> rgba_;
};

// What the page mirrors beside the canvas: these items, in place of the last ones.
void MirrorAccessibleItems(const std::vector<AccessibleItem>& items);

}  // namespace platform
