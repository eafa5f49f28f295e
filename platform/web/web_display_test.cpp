// The document's keys as the program hears them through WebDisplay: by the key's place, with
// repeats, the game's keys kept from the page and the browser's shortcuts left to it, and
// nothing once the game's picture is gone.
#include "platform/web/web_display.h"

#include <emscripten.h>
#include <gtest/gtest.h>

#include <vector>

#include "platform/win32.h"

// clang-format off
// Modifiers: 1 Ctrl, 2 Shift, 4 Meta, 8 a repeat. True when the page's default was prevented.
EM_JS(int, chalkmere_test_key, (int down, const char* code, const char* key, int flags), {
    const event = new KeyboardEvent(down ? 'keydown' : 'keyup', {
        code: UTF8ToString(code), key: UTF8ToString(key), ctrlKey: (flags & 1) !== 0,
        shiftKey: (flags & 2) !== 0, metaKey: (flags & 4) !== 0, repeat: (flags & 8) !== 0,
        bubbles: true, cancelable: true });
    document.body.dispatchEvent(event);
    return event.defaultPrevented ? 1 : 0;
});
// clang-format on

namespace {

using platform::DisplayEvent;

// The key events one pump hands on (focus changes of the test's page left aside).
std::vector<DisplayEvent> Keys(platform::WebDisplay& display) {
    std::vector<DisplayEvent> events, keys;
    display.Pump(0, events);
    for (const DisplayEvent& event : events) {
        if (event.kind == DisplayEvent::Kind::KeyDown || event.kind == DisplayEvent::Kind::KeyUp) {
            keys.push_back(event);
        }
    }
    return keys;
}

TEST(WebDisplayTest, DocumentKeysReachTheGameByTheirPlace) {
    constexpr int kCtrl = 1, kShift = 2, kMeta = 4, kRepeat = 8;
    struct Case {
        bool down;
        const char* code;
        const char* key;
        int flags;
        int virtualKey;  // 0: none reaches the program
        bool prevented;
    };
    const Case cases[] = {
        {true, "Digit7", "7", 0, '7', true},
        {true, "Numpad7", "7", 0, VK_NUMPAD7, true},
        {true, "Numpad0", "0", 0, VK_NUMPAD0, true},
        {true, "Tab", "Tab", kShift, VK_TAB, true},
        {true, "Tab", "Tab", kShift | kRepeat, VK_TAB, true},
        {false, "Tab", "Tab", kShift, VK_TAB, true},
        {true, "ArrowDown", "ArrowDown", 0, VK_DOWN, true},
        {true, "Space", " ", 0, VK_SPACE, true},
        {true, "NumpadEnter", "Enter", 0, VK_RETURN, true},
        {true, "Escape", "Escape", 0, VK_ESCAPE, true},
        {true, "KeyR", "r", kCtrl, 'R', false},  // reload stays the browser's
        {true, "Digit1", "1", kCtrl, '1', false},  // the first tab
        {true, "Digit2", "2", kMeta, '2', false},
        {true, "KeyQ", "a", 0, 'A', false},  // AZERTY's A
        {true, "KeyA", "\xd1\x84", 0, 'A', false},  // a Cyrillic letter, by its place
        {true, "F5", "F5", 0, VK_F5, false},
        {true, "ShiftLeft", "Shift", kShift, VK_LSHIFT, false},
        {true, "Minus", "-", 0, VK_OEM_MINUS, false},
        {true, "AudioVolumeMute", "AudioVolumeMute", 0, 0, false},
    };
    platform::WebDisplay display;
    const int window = display.Open(u"Chalkmere", 240, 320, nullptr);
    ASSERT_NE(window, 0);
    display.Show(window);
    Keys(display);
    for (const Case& c : cases) {
        const bool prevented = chalkmere_test_key(c.down, c.code, c.key, c.flags) != 0;
        EXPECT_EQ(prevented, c.prevented) << c.code << " " << c.flags;
        const std::vector<DisplayEvent> keys = Keys(display);
        if (c.virtualKey == 0) {
            EXPECT_TRUE(keys.empty()) << c.code;
            continue;
        }
        ASSERT_EQ(keys.size(), 1u) << c.code;
        EXPECT_EQ(keys[0].kind, c.down ? DisplayEvent::Kind::KeyDown : DisplayEvent::Kind::KeyUp)
            << c.code;
        EXPECT_EQ(keys[0].window, window);
        EXPECT_EQ(keys[0].key, c.virtualKey) << c.code;
        EXPECT_EQ(keys[0].repeat, (c.flags & kRepeat) != 0) << c.code;
    }
    // Once the game has closed its window (a notice shows), keys are the page's again.
    display.Close(window);
    EXPECT_FALSE(chalkmere_test_key(true, "Tab", "Tab", 0));
    EXPECT_TRUE(Keys(display).empty());
}

}  // namespace
