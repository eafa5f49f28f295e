// The wide-string helpers under their Win32 names.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "platform/win32.h"

namespace {

// wsprintfW writes decimals and percent signs and reports the length; it fails on any other
// conversion. lstrcpynW copies at most capacity - 1 characters and terminates, which lstrlenW
// and lstrcmpW then see.
TEST(Strings, FormatCopyAndCompare) {
    WCHAR buffer[16];
    EXPECT_EQ(wsprintfW(buffer, TEXT("%d%% of %d"), -305, 0), 10);
    EXPECT_EQ(std::u16string(buffer), u"-305% of 0");
    EXPECT_EQ(wsprintfW(buffer, TEXT("%d"), INT_MIN), 11);
    EXPECT_EQ(std::u16string(buffer), u"-2147483648");
    EXPECT_EQ(wsprintfW(buffer, TEXT("a%x"), 10), -1);
    EXPECT_EQ(lstrcpynW(buffer, u"Chalkmere", 6), buffer);
    EXPECT_EQ(lstrlenW(buffer), 5);
    EXPECT_EQ(buffer[6], u'8') << "nothing written past the capacity";
    EXPECT_EQ(lstrcmpW(buffer, u"Chalk"), 0);
    EXPECT_NE(lstrcmpW(buffer, u"Chalks"), 0);
}

}  // namespace
