#include "platform/web/web_display.h"

#include <emscripten.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/utf16.h"

// clang-format off
EM_JS(int, chalkmere_display_open, (const char* title), {
    return ChalkmereWeb.open(UTF8ToString(title)) ? 1 : 0;
});
EM_JS(void, chalkmere_display_show, (), { ChalkmereWeb.show(); });
EM_JS(void, chalkmere_display_hide, (), { ChalkmereWeb.hide(); });
EM_JS(void, chalkmere_display_raise, (), { window.focus(); });
EM_JS(void, chalkmere_display_present, (const std::uint32_t* pixels, int width, int height), {
    ChalkmereWeb.present(pixels, width, height);
});
EM_ASYNC_JS(void, chalkmere_display_wait, (int ms), { await ChalkmereWeb.wait(ms); });
EM_ASYNC_JS(void, chalkmere_display_rendered, (), { await ChalkmereWeb.rendered(); });
EM_JS(int, chalkmere_display_take_events, (int* out, int capacity), {
    const events = ChalkmereWeb.events;
    const count = Math.min(capacity, events.length);
    for (let i = 0; i < count; ++i) HEAP32[(out >> 2) + i] = events[i];
    events.splice(0, count);
    return count;
});
// Each item as eight numbers: role, checked, focused, left, top, right, bottom, and the address
// of its name in UTF-8.
EM_JS(void, chalkmere_display_mirror, (const int* fields, int count), {
    const items = [];
    for (let at = fields >> 2; items.length < count; at += 8) {
        items.push({ role: HEAP32[at], checked: HEAP32[at + 1] !== 0, focused: HEAP32[at + 2] !== 0,
                     left: HEAP32[at + 3], top: HEAP32[at + 4], right: HEAP32[at + 5],
                     bottom: HEAP32[at + 6], name: UTF8ToString(HEAP32[at + 7]) });
    }
    ChalkmereWeb.mirror(items);
});
// clang-format on

namespace platform {

void MirrorAccessibleItems(const std::vector<AccessibleItem>& items) {
    std::vector<std::string> names;
    std::vector<int> fields;
    names.reserve(items.size());
    for (const AccessibleItem& item : items) {
        names.push_back(Utf8FromWide(item.name.c_str()));
        fields.insert(fields.end(),
                      {static_cast<int>(item.role), item.checked, item.focused, item.left, item.top,
                       item.right, item.bottom,
                       static_cast<int>(reinterpret_cast<std::intptr_t>(names.back().c_str()))});
    }
    chalkmere_display_mirror(fields.data(), static_cast<int>(items.size()));
}

int WebDisplay::Open(const std::u16string& title, int, int, const IconImage*) {
    if (open_ != 0 || chalkmere_display_open(Utf8FromWide(title.c_str()).c_str()) == 0) {
        openFailed_ = true;
        return 0;
    }
    open_ = nextId_++;
    return open_;
}

void WebDisplay::Close(int window) {
    if (window != open_ || open_ == 0) return;
    MirrorAccessibleItems({});
    chalkmere_display_hide();
    open_ = 0;
}

void WebDisplay::Show(int window) {
    if (window != open_ || open_ == 0) return;
    chalkmere_display_show();
    everShown_ = true;
}

void WebDisplay::Raise(int window) {
    if (window == open_ && open_ != 0) chalkmere_display_raise();
}

void WebDisplay::Present(int window, const std::uint32_t* pixels, int width, int height) {
    if (window != open_ || open_ == 0) return;
    // 0x00RRGGBB read as little-endian bytes R, G, B, A is 0xAABBGGRR.
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (rgba_.empty()) firstFrameUnseen_ = true;  // the first present
    rgba_.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t p = pixels[i];
        rgba_[i] = 0xff000000u | (p & 0xffu) << 16 | (p & 0xff00u) | (p >> 16 & 0xffu);
    }
    chalkmere_display_present(rgba_.data(), width, height);
}

void WebDisplay::Pump(int timeoutMs, std::vector<DisplayEvent>& events) {
    // Only a wait yields to the page; the message loop asks for one whenever nothing is
    // queued, so a busy program still lets the page in between its messages. A negative
    // timeout waits for the next event with no timer at all: the still page never wakes.
    if (std::exchange(firstFrameUnseen_, false)) {
        chalkmere_display_rendered();
    } else if (timeoutMs != 0) {
        chalkmere_display_wait(timeoutMs);
    }
    int triples[3 * 16];
    int taken = 0;
    while ((taken = chalkmere_display_take_events(triples, 3 * 16)) > 0) {
        for (int i = 0; i + 2 < taken; i += 3) {
            if (open_ == 0) continue;
            const auto kind = static_cast<DisplayEvent::Kind>(triples[i]);
            DisplayEvent event{kind, open_, triples[i + 1], triples[i + 2]};
            // A key's triple is its virtual-key code and whether it repeats.
            if (kind == DisplayEvent::Kind::KeyDown || kind == DisplayEvent::Kind::KeyUp) {
                event = DisplayEvent{kind, open_};
                event.key = triples[i + 1];
                event.repeat = triples[i + 2] != 0;
            }
            events.push_back(event);
        }
    }
}

void WebDisplay::SetAccessibleItems(int window, const std::vector<AccessibleItem>& items) {
    if (window == open_ && open_ != 0) MirrorAccessibleItems(items);
}

}  // namespace platform
