// The decimal reader that stored numbers go through.
#include "platform/portable/read_decimal.h"

#include <gtest/gtest.h>

#include <climits>
#include <utility>

namespace {

// The leading number as scanf's "%d" reads it, held to the 32-bit range. A text without one
// fails and leaves the value alone: -777, as it was before the call.
TEST(ReadDecimal, ReadsTheLeadingNumber) {
    for (const auto& [text, expected] :
         {std::pair{u"42", 42}, std::pair{u"-5", -5}, std::pair{u"+12", 12},
          std::pair{u" \t\n7x", 7}, std::pair{u"007 34", 7}, std::pair{u"2147483647", INT_MAX},
          std::pair{u"-2147483648", INT_MIN}, std::pair{u"2147483648", INT_MAX},
          std::pair{u"-99999999999999999999999", INT_MIN}, std::pair{u"", -777},
          std::pair{u"  ", -777}, std::pair{u"abc", -777}, std::pair{u"- 5", -777},
          std::pair{u"+-5", -777}}) {
        int value = -777;
        EXPECT_EQ(ReadDecimalW(text, &value), expected == -777 ? 0 : 1);
        EXPECT_EQ(value, expected) << ::testing::PrintToString(text);
    }
}

}  // namespace
