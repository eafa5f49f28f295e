// SetAccessibleItems: each window keeps its own list, which the display hears of when it
// changes; a window that is not there, or a role that is not one, is refused.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/core/display.h"
#include "platform/core/window.h"
#include "platform/testing/testing.h"
#include "platform/win32.h"

namespace {

using platform::AccessibleItem;
using Heard = std::vector<std::pair<int, std::vector<AccessibleItem>>>;

struct RecordingDisplay : platform::DisplayBackend {
    int Open(const std::u16string&, int, int, const platform::IconImage*) override {
        return ++opened;
    }
    void Close(int) override {}
    void Show(int) override {}
    void Raise(int) override {}
    void Present(int, const std::uint32_t*, int, int) override {}
    void Pump(int, std::vector<platform::DisplayEvent>&) override {}
    void SetAccessibleItems(int window, const std::vector<AccessibleItem>& items) override {
        heard.emplace_back(window, items);
    }
    int opened = 0;
    Heard heard;
};

TEST(AccessibleItems, EachWindowKeepsItsListAndTheDisplayHearsOfChanges) {
    RecordingDisplay display;
    platform::SetDisplay(&display);
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.lpszClassName = u"AccessibleItemsTest";
    RegisterClassW(&windowClass);
    HWND windows[2];
    for (HWND& window : windows) {
        window = CreateWindowExW(0, u"AccessibleItemsTest", u"", 0, 0, 0, 0, 0, nullptr, nullptr,
                                 nullptr, nullptr);
    }
    ACCESSIBLE_ITEM screen[] = {{ACCESSIBLE_LIVE, u"7 + 5 = ?", FALSE, FALSE, {0, 0, 240, 20}},
                                {ACCESSIBLE_CHECKBOX, u"Sound", TRUE, FALSE, {10, 280, 31, 301}}};
    screen[0].name[12] = u'x';  // past the name's end: no part of it
    EXPECT_TRUE(SetAccessibleItems(windows[0], screen, 2));
    // The same screen described again at the next paint is no news.
    screen[0].name[12] = u'y';
    EXPECT_TRUE(SetAccessibleItems(windows[0], screen, 2));
    screen[1].checked = FALSE;
    EXPECT_TRUE(SetAccessibleItems(windows[1], screen + 1, 1));
    // Refused, the lists kept: an unknown role, no items, no window, a window gone.
    ACCESSIBLE_ITEM unknown = {6, u"?", FALSE, FALSE, {}};
    EXPECT_FALSE(SetAccessibleItems(windows[1], &unknown, 1));
    EXPECT_FALSE(SetAccessibleItems(windows[1], nullptr, 1));
    EXPECT_FALSE(SetAccessibleItems(nullptr, screen, 2));
    platform::DestroyWindow(windows[1]);
    EXPECT_FALSE(SetAccessibleItems(windows[1], screen, 2));

    const std::vector<ACCESSIBLE_ITEM> kept = platform::testing::AccessibleItems(windows[0]);
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(std::u16string(kept[0].name) + kept[1].name, u"7 + 5 = ?Sound");
    EXPECT_TRUE(kept[1].checked);
    using Role = AccessibleItem::Role;
    EXPECT_EQ(display.heard,
              (Heard{{1,
                      {{Role::Live, u"7 + 5 = ?", false, false, 0, 0, 240, 20},
                       {Role::Checkbox, u"Sound", true, false, 10, 280, 31, 301}}},
                     {2, {{Role::Checkbox, u"Sound", false, false, 10, 280, 31, 301}}}}));
    EXPECT_TRUE(SetAccessibleItems(windows[0], nullptr, 0));
    EXPECT_TRUE(platform::testing::AccessibleItems(windows[0]).empty());
    EXPECT_EQ(display.heard.back(), Heard::value_type(1, {}));
    platform::DestroyWindow(windows[0]);
    platform::SetDisplay(nullptr);
}

}  // namespace
