#include "platform/desktop/tracing_display.h"

#include <ctime>

namespace platform {

void TracingDisplay::Present(int window, const std::uint32_t* pixels, int width, int height) {
    inner_.Present(window, pixels, width, height);
    Note("present");
}

void TracingDisplay::Pump(int timeoutMs, std::vector<DisplayEvent>& events) {
    const std::size_t before = events.size();
    inner_.Pump(timeoutMs, events);
    for (std::size_t i = before; i < events.size(); ++i) {
        if (events[i].kind == DisplayEvent::Kind::PointerDown) Note("input");
    }
}

void TracingDisplay::Note(const char* what) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::fprintf(trace_, "%s %lld\n", what,
                 static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
    std::fflush(trace_);
}

}  // namespace platform
