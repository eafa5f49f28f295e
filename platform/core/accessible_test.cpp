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
    std::vector<std::pair<int, std::vector<AccessibleItem>>> heard;
};

ACCESSIBLE_ITEM Item(UINT role, const char16_t* name, BOOL checked, RECT bounds) {
    ACCESSIBLE_ITEM item = {};
    item.role = role;
    std::char_traits<char16_t>::copy(item.name, name, std::char_traits<char16_t>::length(name));
    item.checked = checked;
    item.bounds = bounds;
    return item;
}

std::u16string Names(const std::vector<ACCESSIBLE_ITEM>& items) {
    std::u16string names;
    for (const ACCESSIBLE_ITEM& item : items) names += std::u16string(item.name) + u"|";
    return names;
}

TEST(AccessibleItems, EachWindowKeepsItsListAndTheDisplayHearsOfChanges) {
    RecordingDisplay display;
    platform::SetDisplay(&display);
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.lpszClassName = u"AccessibleItemsTest";
    RegisterClassW(&windowClass);
    HWND first = CreateWindowExW(0, u"AccessibleItemsTest", u"", 0, 0, 0, 0, 0, nullptr, nullptr,
                                 nullptr, nullptr);
    HWND second = CreateWindowExW(0, u"AccessibleItemsTest", u"", 0, 0, 0, 0, 0, nullptr, nullptr,
                                  nullptr, nullptr);

    ACCESSIBLE_ITEM screen[] = {Item(ACCESSIBLE_LIVE, u"7 + 5 = ?", FALSE, {0, 0, 240, 20}),
                                Item(ACCESSIBLE_CHECKBOX, u"Sound", TRUE, {10, 280, 31, 301})};
    // What follows a name's end is not part of it.
    screen[0].name[12] = u'x';
    EXPECT_TRUE(SetAccessibleItems(first, screen, 2));
    EXPECT_EQ(Names(platform::testing::AccessibleItems(first)), u"7 + 5 = ?|Sound|");
    EXPECT_EQ(platform::testing::AccessibleItems(second).size(), 0u);
    ASSERT_EQ(display.heard.size(), 1u);
    EXPECT_EQ(display.heard[0].first, 1);
    EXPECT_EQ(display.heard[0].second,
              (std::vector<AccessibleItem>{
                  {AccessibleItem::Role::Live, u"7 + 5 = ?", false, false, 0, 0, 240, 20},
                  {AccessibleItem::Role::Checkbox, u"Sound", true, false, 10, 280, 31, 301}}));

    // The same screen described again at the next paint is no news.
    screen[0].name[12] = u'y';
    EXPECT_TRUE(SetAccessibleItems(first, screen, 2));
    EXPECT_EQ(display.heard.size(), 1u);

    screen[1].checked = FALSE;
    EXPECT_TRUE(SetAccessibleItems(second, screen + 1, 1));
    EXPECT_EQ(Names(platform::testing::AccessibleItems(first)), u"7 + 5 = ?|Sound|");
    ASSERT_EQ(display.heard.size(), 2u);
    EXPECT_EQ(display.heard[1].first, 2);
    EXPECT_FALSE(display.heard[1].second.at(0).checked);

    // Refused, and the lists stay: an unknown role, no items, windows that are not there.
    ACCESSIBLE_ITEM unknown = Item(6, u"?", FALSE, {});
    EXPECT_FALSE(SetAccessibleItems(second, &unknown, 1));
    EXPECT_FALSE(SetAccessibleItems(second, nullptr, 1));
    EXPECT_FALSE(SetAccessibleItems(nullptr, screen, 2));
    platform::DestroyWindow(second);
    EXPECT_FALSE(SetAccessibleItems(second, screen, 2));
    EXPECT_EQ(Names(platform::testing::AccessibleItems(first)), u"7 + 5 = ?|Sound|");
    EXPECT_EQ(display.heard.size(), 2u);

    EXPECT_TRUE(SetAccessibleItems(first, nullptr, 0));
    EXPECT_EQ(platform::testing::AccessibleItems(first).size(), 0u);
    ASSERT_EQ(display.heard.size(), 3u);
    EXPECT_TRUE(display.heard[2].second.empty());

    platform::DestroyWindow(first);
    platform::SetDisplay(nullptr);
}

}  // namespace
