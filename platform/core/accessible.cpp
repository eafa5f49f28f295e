// SetAccessibleItems: the window keeps the program's description of its screen and hands each
// change to the display, which may mirror it for screen readers and switch access.
#include <algorithm>
#include <vector>

#include "platform/core/accessible.h"
#include "platform/core/display.h"
#include "platform/core/window.h"

namespace platform {
namespace {

constexpr UINT kNameLength = sizeof(ACCESSIBLE_ITEM::name) / sizeof(WCHAR);

// The item as kept: the name cut at its end (at most the whole array) and zeros after it, so
// that two descriptions of the same screen compare equal field by field.
ACCESSIBLE_ITEM Kept(const ACCESSIBLE_ITEM& item) {
    ACCESSIBLE_ITEM kept = item;
    const WCHAR* end = std::find(item.name, item.name + kNameLength, u'\0');
    std::fill(kept.name + (end - item.name), kept.name + kNameLength, u'\0');
    return kept;
}

bool Same(const ACCESSIBLE_ITEM& a, const ACCESSIBLE_ITEM& b) {
    return a.role == b.role && std::equal(a.name, a.name + kNameLength, b.name) &&
           (a.checked != FALSE) == (b.checked != FALSE) &&
           (a.focused != FALSE) == (b.focused != FALSE) && a.bounds.left == b.bounds.left &&
           a.bounds.top == b.bounds.top && a.bounds.right == b.bounds.right &&
           a.bounds.bottom == b.bounds.bottom;
}

AccessibleItem ForDisplay(const ACCESSIBLE_ITEM& item) {
    const WCHAR* end = std::find(item.name, item.name + kNameLength, u'\0');
    return {static_cast<AccessibleItem::Role>(item.role),
            std::u16string(item.name, end),
            item.checked != FALSE,
            item.focused != FALSE,
            static_cast<int>(item.bounds.left),
            static_cast<int>(item.bounds.top),
            static_cast<int>(item.bounds.right),
            static_cast<int>(item.bounds.bottom)};
}

}  // namespace
}  // namespace platform

using namespace platform;

BOOL SetAccessibleItems(HWND handle, const ACCESSIBLE_ITEM* items, UINT count) {
    Window* window = LookupWindow(handle);
    if (window == nullptr || (items == nullptr && count > 0)) return FALSE;
    std::vector<ACCESSIBLE_ITEM> kept;
    kept.reserve(count);
    for (UINT i = 0; i < count; ++i) {
        if (items[i].role < ACCESSIBLE_LIVE || items[i].role > ACCESSIBLE_CHECKBOX) return FALSE;
        kept.push_back(Kept(items[i]));
    }
    // The program describes its screen at every paint; the display hears only of changes.
    if (std::equal(kept.begin(), kept.end(), window->accessibleItems.begin(),
                   window->accessibleItems.end(), Same)) {
        return TRUE;
    }
    window->accessibleItems = std::move(kept);
    DisplayBackend* display = CurrentDisplay();
    if (display == nullptr || window->displayWindow == 0) return TRUE;
    std::vector<AccessibleItem> shown;
    shown.reserve(window->accessibleItems.size());
    for (const ACCESSIBLE_ITEM& item : window->accessibleItems) shown.push_back(ForDisplay(item));
    display->SetAccessibleItems(window->displayWindow, shown);
    return TRUE;
}
