// The display of the test's own: input on a schedule, waits in simulated time.
#include <algorithm>
#include <deque>

#include "platform/core/display.h"
#include "platform/testing/testing.h"

namespace platform::testing {

class ScriptedDisplay::Backend : public DisplayBackend {
public:
    explicit Backend(ScriptedDisplay& owner) : owner_(owner) {}

    int Open(const std::u16string&, int, int, const IconImage*) override { return ++opened_; }
    void Close(int) override {}
    void Show(int) override {}
    void Raise(int) override {}
    void Present(int, const std::uint32_t* pixels, int width, int height) override {
        owner_.frames.push_back(
            {GetTickCount(), std::vector<std::uint32_t>(pixels, pixels + width * height), width});
    }
    void Pump(int timeoutMs, std::vector<DisplayEvent>& events) override {
        if (timeoutMs != 0) owner_.waits.push_back({GetTickCount(), timeoutMs});
        const DWORD now = GetTickCount();
        const auto dueIn = [&](DWORD time) { return static_cast<std::int32_t>(time - now); };
        // A wait for ever with nothing scripted would never end: it returns, and the test
        // sees it asked for in `waits`.
        if (timeoutMs < 0 && script_.empty()) return;
        if (script_.empty() || (timeoutMs >= 0 && dueIn(script_.front().first) > timeoutMs)) {
            // Nothing comes in time: the whole wait passes.
            SetTickCount(now + static_cast<DWORD>(timeoutMs));
            return;
        }
        // The wait ends when the next event arrives, at once if it is already due.
        if (dueIn(script_.front().first) > 0) SetTickCount(script_.front().first);
        const DWORD arrived = GetTickCount();
        while (!script_.empty() &&
               static_cast<std::int32_t>(script_.front().first - arrived) <= 0) {
            events.push_back(script_.front().second);
            script_.pop_front();
        }
    }

    void Schedule(DWORD time, DisplayEvent event) {
        const auto later = std::find_if(script_.begin(), script_.end(),
                                        [time](const auto& entry) { return entry.first > time; });
        script_.insert(later, {time, event});
    }

private:
    ScriptedDisplay& owner_;
    int opened_ = 0;
    std::deque<std::pair<DWORD, DisplayEvent>> script_;
};

ScriptedDisplay::ScriptedDisplay() : backend_(std::make_unique<Backend>(*this)) {
    SetDisplay(backend_.get());
}

ScriptedDisplay::~ScriptedDisplay() { SetDisplay(nullptr); }

void ScriptedDisplay::PressAt(DWORD time, int x, int y) {
    backend_->Schedule(time, {DisplayEvent::Kind::PointerDown, 1, x, y});
}

void ScriptedDisplay::ReleaseAt(DWORD time, int x, int y) {
    backend_->Schedule(time, {DisplayEvent::Kind::PointerUp, 1, x, y});
}

void ScriptedDisplay::CloseAt(DWORD time) {
    backend_->Schedule(time, {DisplayEvent::Kind::Close, 1});
}

void ScriptedDisplay::DeactivateAt(DWORD time) {
    backend_->Schedule(time, {DisplayEvent::Kind::Deactivate, 1});
}

void ScriptedDisplay::KeyDownAt(DWORD time, int virtualKey, bool repeat) {
    DisplayEvent event{DisplayEvent::Kind::KeyDown, 1};
    event.key = virtualKey;
    event.repeat = repeat;
    backend_->Schedule(time, event);
}

void ScriptedDisplay::KeyUpAt(DWORD time, int virtualKey) {
    DisplayEvent event{DisplayEvent::Kind::KeyUp, 1};
    event.key = virtualKey;
    backend_->Schedule(time, event);
}

COLORREF ScriptedDisplay::Frame::Pixel(int x, int y) const {
    const std::uint32_t pixel = pixels.at(static_cast<std::size_t>(y) * width + x);
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

}  // namespace platform::testing
