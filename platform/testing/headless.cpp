// The headless display, the test's clock and pixel access.
#include "platform/core/clock.h"
#include "platform/core/message_queue.h"
#include "platform/core/resource_loading.h"
#include "platform/core/window.h"
#include "platform/testing/testing.h"

#include <optional>

namespace platform::testing {
namespace {

constexpr COLORREF kInvalidColour = 0xFFFFFFFFu;

bool Inside(const Bitmap& bitmap, int x, int y) {
    return x >= 0 && y >= 0 && x < bitmap.width && y < bitmap.height;
}

// Each part reads the system's clock until a test sets it.
struct TestClock : Clock {
    DWORD TickCount() override { return tickCount ? *tickCount : SystemTickCount(); }
    void LocalTime(SYSTEMTIME& time) override {
        SystemLocalTime(time);
        if (localTime) time = *localTime;
    }

    std::optional<DWORD> tickCount;
    std::optional<SYSTEMTIME> localTime;
};

TestClock& TheClock() {
    static TestClock clock;
    SetClock(&clock);
    return clock;
}

}  // namespace

HeadlessWindow::HeadlessWindow(int width, int height) {
    auto* window = new Window(width, height);
    RegisterWindow(window);
    EmulatedDisplay() = {width, height};
    handle_ = HandleOf(window);
}

HeadlessWindow::~HeadlessWindow() {
    if (Window* window = LookupWindow(handle_)) FreeWindow(window);
    EmulatedDisplay() = DisplaySize{};
}

COLORREF HeadlessWindow::Pixel(int x, int y) const {
    const Bitmap& client = LookupWindow(handle_)->client;
    return Inside(client, x, y) ? ColourFromPixel(client.Row(y)[x]) : kInvalidColour;
}

void SetTickCount(DWORD tickCount) { TheClock().tickCount = tickCount; }

void UseRealTickCount() { TheClock().tickCount.reset(); }

void SetLocalTime(const SYSTEMTIME& time) { TheClock().localTime = time; }

void UseRealLocalTime() { TheClock().localTime.reset(); }

int LiveGdiObjectCount() { return LiveObjectCount(); }

COLORREF PixelAt(HDC dc, int x, int y) {
    Context* context = LookupContext(dc);
    if (context == nullptr) return kInvalidColour;
    const Bitmap& surface = *context->Surface();
    return Inside(surface, x, y) ? ColourFromPixel(surface.Row(y)[x]) : kInvalidColour;
}

void SetPixelAt(HDC dc, int x, int y, COLORREF colour) {
    Context* context = LookupContext(dc);
    if (context == nullptr) return;
    Bitmap& surface = *context->Surface();
    if (Inside(surface, x, y)) surface.Row(y)[x] = PixelFromColour(colour);
}

void DestroyWindows() {
    for (Window* window : LiveWindows()) DestroyWindow(HandleOf(window));
}

void ClearMessages() { ClearMessageQueue(); }

std::vector<ACCESSIBLE_ITEM> AccessibleItems(HWND handle) {
    const Window* window = LookupWindow(handle);
    return window != nullptr ? window->accessibleItems : std::vector<ACCESSIBLE_ITEM>{};
}

void KeyDown(HWND window, int virtualKey, bool repeat) {
    DeliverKeyTo(window, virtualKey, true, repeat);
}

void KeyUp(HWND window, int virtualKey) { DeliverKeyTo(window, virtualKey, false, false); }

int ResourceLoadCount(int id) { return platform::ResourceLoadCount(id); }

}  // namespace platform::testing
