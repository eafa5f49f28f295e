// What the program says is on its screen, as the display contract hands it to a backend that
// mirrors it for screen readers and switch access.
#pragma once

#include <string>

namespace platform {

struct AccessibleItem {
    enum class Role { Live = 1, Text, Button, Radio, Checkbox };  // ACCESSIBLE_LIVE...
    Role role;
    std::u16string name;
    bool checked = false;
    bool focused = false;
    // Display pixels, right and bottom excluded; pressing the item taps the middle.
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool operator==(const AccessibleItem&) const = default;
};

}  // namespace platform
