// Shared by the tests of the drill's screens: a headless display, a registry of the test's
// own, recorded sounds, the clock under control, and a listener that logs what the screens
// pass on.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "drill/Answer.h"
#include "drill/Progress.h"
#include "platform/testing/testing.h"
#include "scene/Hotspot.h"
#include "scene/Image.h"
#include "scene/Screen.h"
#include "scene/ScreenListener.h"

namespace testsupport {

// Logs "down <type> <id> <x>,<y>" or "up …", where id is an image's resource or a
// figure's tag.
class RecordingScreenListener : public ScreenListener {
public:
    void OnFigureDown(Screen* screen, Figure* figure, std::int32_t x, std::int32_t y) override {
        Record("down", screen, figure, x, y);
    }
    void OnFigureUp(Screen* screen, Figure* figure, std::int32_t x, std::int32_t y) override {
        Record("up", screen, figure, x, y);
    }

    std::vector<std::string> log;
    Screen* lastScreen = nullptr;

private:
    void Record(const char* what, Screen* screen, Figure* figure, std::int32_t x, std::int32_t y) {
        lastScreen = screen;
        const std::u16string type = figure->GetTypeName();
        std::int32_t id = figure->tag;
        if (type == u"Image" || type == u"Button" || type == u"Animation") {
            id = static_cast<Image*>(figure)->resourceId;
        }
        log.push_back(std::string(what) + " " + std::string(type.begin(), type.end()) + " " +
                      std::to_string(id) + " " + std::to_string(x) + "," + std::to_string(y));
    }
};

class DrillFixture : public ::testing::Test {
protected:
    DrillFixture() {
        platform::testing::SetTickCount(1000);
        platform::testing::ClearMessages();
        std::srand(1);
    }
    ~DrillFixture() override {
        platform::testing::ClearMessages();
        platform::testing::UseRealTickCount();
    }

    // Stores a number in the registry before a screen loads the progress.
    void StoreNumber(LPCWSTR name, int value) {
        HKEY key = nullptr;
        RegCreateKeyExW(HKEY_CURRENT_USER, TEXT("Software\\Brindlewick\\Chalkmere"), 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr);
        WCHAR text[12];
        const int length = wsprintfW(text, TEXT("%d"), value);
        RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                       static_cast<DWORD>((length + 1) * 2));
        RegCloseKey(key);
    }

    // Presses and lifts the stylus on the middle of a figure.
    static void Tap(Screen& screen, Figure& figure) {
        const std::int32_t x = figure.GetX() + figure.GetWidth() / 2;
        const std::int32_t y = figure.GetY() + figure.GetHeight() / 2;
        screen.PointerDown(x, y);
        screen.PointerUp(x, y);
    }

    // The messages waiting in the queue, taken out.
    static std::vector<UINT> TakeMessages() {
        std::vector<UINT> messages;
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            messages.push_back(message.message);
        return messages;
    }

    platform::testing::HeadlessWindow window;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    platform::testing::TemporaryRegistry registry;
    platform::testing::SoundRecorder sounds;
    RecordingScreenListener listener;
};

}  // namespace testsupport
