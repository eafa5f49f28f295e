// The decimal reader that stored numbers go through.
#include "platform/portable/read_decimal.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

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
    ReadDecimal, ReadDecimalTest,
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

TEST(ReadDecimal, RefusesNullArguments) {
    int value = 3;
    EXPECT_EQ(ReadDecimalW(nullptr, &value), 0);
    EXPECT_EQ(ReadDecimalW(u"5", nullptr), 0);
    EXPECT_EQ(value, 3);
}

}  // namespace
