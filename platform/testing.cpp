// The headless display and pixel access for tests.
#include "platform/testing.h"

#include "platform/window.h"

namespace platform::testing {
namespace {

constexpr COLORREF kInvalidColour = 0xFFFFFFFFu;

bool Inside(const Bitmap& bitmap, int x, int y) {
    return x >= 0 && y >= 0 && x < bitmap.width && y < bitmap.height;
}

}  // namespace

HeadlessWindow::HeadlessWindow(int width, int height) {
    auto* window = new Window(width, height);
    RegisterWindow(window);
    Display() = {width, height};
    handle_ = reinterpret_cast<HWND>(window);
}

HeadlessWindow::~HeadlessWindow() {
    auto* window = LookupWindow(handle_);
    UnregisterWindow(window);
    delete window;
    Display() = DisplaySize{};
}

COLORREF HeadlessWindow::Pixel(int x, int y) const {
    const Bitmap& client = LookupWindow(handle_)->client;
    return Inside(client, x, y) ? ColourFromPixel(client.Row(y)[x]) : kInvalidColour;
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

}  // namespace platform::testing
