// The wide-string helpers and the decimal reader that stored numbers go through.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "platform/win32.h"

namespace {

std::u16string Str(const WCHAR* text) { return text; }

struct DecimalCase {
    const char16_t* text;
    int fields;
    int value;
};

class ReadDecimalTest : public ::testing::TestWithParam<DecimalCase> {};

TEST_P(ReadDecimalTest, ReadsTheLeadingNumberLikeScanfPercentD) {
    const DecimalCase& c = GetParam();
    int value = -777;
    EXPECT_EQ(ReadDecimalW(c.text, &value), c.fields);
    EXPECT_EQ(value, c.fields == 1 ? c.value : -777) << "a failed read leaves the value alone";
}

INSTANTIATE_TEST_SUITE_P(
    Strings, ReadDecimalTest,
    ::testing::Values(DecimalCase{u"42", 1, 42}, DecimalCase{u"-5", 1, -5},
                      DecimalCase{u"+12", 1, 12}, DecimalCase{u"  \t\n7", 1, 7},
                      DecimalCase{u"7abc", 1, 7}, DecimalCase{u"007", 1, 7},
                      DecimalCase{u"12 34", 1, 12}, DecimalCase{u"2147483647", 1, INT_MAX},
                      DecimalCase{u"-2147483648", 1, INT_MIN},
                      DecimalCase{u"2147483648", 1, INT_MAX},
                      DecimalCase{u"99999999999999999999999", 1, INT_MAX},
                      DecimalCase{u"-99999999999999999999999", 1, INT_MIN}, DecimalCase{u"", 0, 0},
                      DecimalCase{u"   ", 0, 0}, DecimalCase{u"abc", 0, 0}, DecimalCase{u"-", 0, 0},
                      DecimalCase{u"- 5", 0, 0}, DecimalCase{u"+-5", 0, 0}));

TEST(Strings, ReadDecimalRefusesNullArguments) {
    int value = 3;
    EXPECT_EQ(ReadDecimalW(nullptr, &value), 0);
    EXPECT_EQ(ReadDecimalW(u"5", nullptr), 0);
    EXPECT_EQ(value, 3);
}

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
