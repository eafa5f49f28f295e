// The mirror's C++ half: the program's items reach the page by their names, and pressing one
// taps the middle of its bounds through the display's queue. (The web story reads the whole
// mirror as a screen reader does.)
#include <emscripten.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/web/web_display.h"

// clang-format off
// Clicks the mirror's button of this name; what the click queued for the program, as its
// (kind, x, y) triples.
EM_JS(char*, chalkmere_test_click, (const char* name), {
    const button = Array.from(document.querySelectorAll('button'))
                       .find((element) => element.textContent === UTF8ToString(name));
    if (!button) return allocateUTF8('no such button');
    ChalkmereWeb.events.length = 0;
    button.click();
    return allocateUTF8(ChalkmereWeb.events.splice(0).join(' '));
});
// clang-format on

namespace {

TEST(WebMirror, AnItemIsNamedAndPressedAtItsMiddle) {
    using Role = platform::AccessibleItem::Role;
    platform::MirrorAccessibleItems({{Role::Live, u"7 + 5 = ?", false, false, 0, 0, 240, 20},
                                     {Role::Button, u"Zurück ÷", false, false, 10, 280, 31, 301}});
    char* queued = chalkmere_test_click("Zurück ÷");
    EXPECT_STREQ(queued, "0 20 290 1 20 290");
    free(queued);
    platform::MirrorAccessibleItems({});
}

}  // namespace
