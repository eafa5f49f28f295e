// The headless display, the test's clock, pixel access and the backends tests run on.
#include "platform/core/clock.h"
#include "platform/core/message_queue.h"
#include "platform/core/window.h"
#include "platform/desktop/freetype_text.h"
#include "platform/testing/testing.h"

#include <optional>

namespace platform::testing {
namespace {

constexpr COLORREF kInvalidColour = 0xFFFFFFFFu;

bool Inside(const Bitmap& bitmap, int x, int y) {
    return x >= 0 && y >= 0 && x < bitmap.width && y < bitmap.height;
}

// Each part falls back to the system's clock until a test sets it.
class TestClock : public Clock {
public:
    DWORD TickCount() override { return tickCount ? *tickCount : SystemTickCount(); }
    void LocalTime(SYSTEMTIME& time) override {
        if (localTime) {
            time = *localTime;
        } else {
            SystemLocalTime(time);
        }
    }
    void Update() { SetClock(tickCount || localTime ? this : nullptr); }

    std::optional<DWORD> tickCount;
    std::optional<SYSTEMTIME> localTime;
};

TestClock& TheClock() {
    static TestClock clock;
    return clock;
}

}  // namespace

void InstallTestBackends() {
    static FreeTypeText text;
    SetTextBackend(&text);
}

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

void SetTickCount(DWORD tickCount) {
    TheClock().tickCount = tickCount;
    TheClock().Update();
}

void UseRealTickCount() {
    TheClock().tickCount.reset();
    TheClock().Update();
}

void SetLocalTime(const SYSTEMTIME& time) {
    TheClock().localTime = time;
    TheClock().Update();
}

void UseRealLocalTime() {
    TheClock().localTime.reset();
    TheClock().Update();
}

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

}  // namespace platform::testing
