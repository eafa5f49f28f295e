// The wide-string helpers under their Win32 names.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32.h"

namespace {

std::u16string Str(const WCHAR* text) { return text; }

TEST(Strings, WsprintfFormatsDecimalsAndReportsTheLength) {
    WCHAR buffer[32];
    EXPECT_EQ(wsprintfW(buffer, TEXT("%d"), 0), 1);
    EXPECT_EQ(Str(buffer), u"0");
    EXPECT_EQ(wsprintfW(buffer, TEXT("%d"), -305), 4);
    EXPECT_EQ(Str(buffer), u"-305");
    EXPECT_EQ(wsprintfW(buffer, TEXT("%d"), INT_MIN), 11);
    EXPECT_EQ(Str(buffer), u"-2147483648");
    EXPECT_EQ(wsprintfW(buffer, TEXT("%d%% of %d"), 66, 3), 8);
    EXPECT_EQ(Str(buffer), u"66% of 3");
}

TEST(Strings, WsprintfFailsOnConversionsItDoesNotSupport) {
    WCHAR buffer[32];
    EXPECT_EQ(wsprintfW(buffer, TEXT("a%x"), 10), -1);
    EXPECT_EQ(Str(buffer), u"a");
}

TEST(Strings, WsprintfStopsAtItsOutputLimit) {
    std::u16string longFormat(2000, u'a');
    std::u16string buffer(2000, u'#');
    EXPECT_EQ(wsprintfW(buffer.data(), longFormat.c_str()), 1023);
    EXPECT_EQ(buffer[1023], 0);
    EXPECT_EQ(buffer[1024], u'#');
}

TEST(Strings, LstrcpynCopiesAtMostCapacityMinusOneAndTerminates) {
    WCHAR buffer[8] = u"xxxxxxx";
    EXPECT_EQ(lstrcpynW(buffer, u"Chalkmere", 6), buffer);
    EXPECT_EQ(Str(buffer), u"Chalk");
    EXPECT_EQ(buffer[6], u'x');

    lstrcpynW(buffer, u"ab", 8);
    EXPECT_EQ(Str(buffer), u"ab");

    buffer[0] = u'z';
    lstrcpynW(buffer, u"ab", 0);
    EXPECT_EQ(buffer[0], u'z') << "capacity 0 writes nothing";
    lstrcpynW(buffer, u"ab", 1);
    EXPECT_EQ(buffer[0], 0);
}

TEST(Strings, LstrlenAndLstrcmp) {
    EXPECT_EQ(lstrlenW(u"Button"), 6);
    EXPECT_EQ(lstrlenW(u""), 0);
    EXPECT_EQ(lstrlenW(nullptr), 0);

    EXPECT_EQ(lstrcmpW(u"Button", u"Button"), 0);
    EXPECT_LT(lstrcmpW(u"Answer", u"Button"), 0);
    EXPECT_GT(lstrcmpW(u"Buttons", u"Button"), 0);
    EXPECT_LT(lstrcmpW(u"Butto", u"Button"), 0);
    EXPECT_EQ(lstrcmpW(nullptr, u""), 0);
}

}  // namespace
