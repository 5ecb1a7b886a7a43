#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <string>

#include "numbers/number_format.h"

namespace heatplate {
namespace {

TEST(RoundToDecimals, OnlyAnExactlyHalfwayValueIsATieAndGoesToEven) {
    EXPECT_EQ(round_to_decimals(1.0 / 16, 3), 0.062);  // 0.0625 exactly
    EXPECT_EQ(round_to_decimals(0.125, 2), 0.12);
    EXPECT_EQ(round_to_decimals(0.375, 2), 0.38);
    EXPECT_EQ(round_to_decimals(2.5, 0), 2);
    EXPECT_EQ(round_to_decimals(3.5, 0), 4);
    EXPECT_EQ(round_to_decimals(-2.5, 0), -2);
    // 1/80 is stored just above 0.0125, so it is no tie.
    EXPECT_EQ(round_to_decimals(1.0 / 80, 3), 0.013);
    // 0.15 is stored just below, so it rounds down although it reads as a tie.
    EXPECT_EQ(round_to_decimals(0.15, 1), 0.1);
}

TEST(RoundToDecimals, KeepsLargeAndNonFiniteValues) {
    EXPECT_EQ(round_to_decimals(1e300, 8), 1e300);
    EXPECT_EQ(round_to_decimals(-DBL_MAX, 3), -DBL_MAX);
    EXPECT_EQ(round_to_decimals(HUGE_VAL, 3), HUGE_VAL);
    EXPECT_TRUE(std::isnan(round_to_decimals(NAN, 3)));
    EXPECT_EQ(round_to_decimals(std::sqrt(2100.0) / 361, 8), 0.12694115);
}

TEST(NumberText, ShowsAtMostFifteenDigitsWithoutTrailingZeros) {
    EXPECT_EQ(number_text(1.0 / 20, "."), "0.05");
    EXPECT_EQ(number_text(0.5, "."), "0.5");
    EXPECT_EQ(number_text(50, "."), "50");
    EXPECT_EQ(number_text(-3.25, "."), "-3.25");
    EXPECT_EQ(number_text(0.12694115, "."), "0.12694115");
    EXPECT_EQ(number_text(1e9, "."), "1000000000");
    EXPECT_EQ(number_text(123456789012345678.0, "."), "1.23456789012346E+17");
    EXPECT_EQ(number_text(1e20, "."), "1E+20");
    EXPECT_EQ(number_text(1e-8, "."), "1E-08");
    EXPECT_EQ(number_text(-0.0, "."), "0");
    EXPECT_EQ(number_text(0.1 + 0.2, "."), "0.3");
    EXPECT_EQ(number_text(DBL_MAX, "."), "1.79769313486232E+308");
    EXPECT_EQ(number_text(4.9406564584124654e-324, "."), "4.94065645841247E-324");
}

TEST(NumberText, UsesTheLocalesDecimalSeparator) {
    EXPECT_EQ(number_text(0.05, ","), "0,05");
    EXPECT_EQ(number_text(1.5e20, ","), "1,5E+20");
    EXPECT_EQ(number_text(20, ","), "20");
}

TEST(GroupedWholePicture, PadsToThreeDigitsAndGroupsThousands) {
    EXPECT_EQ(format_grouped_whole(5, ","), "005");
    EXPECT_EQ(format_grouped_whole(37.6, ","), "038");
    EXPECT_EQ(format_grouped_whole(100, ","), "100");
    EXPECT_EQ(format_grouped_whole(0, ","), "000");
    EXPECT_EQ(format_grouped_whole(1234.4, ","), "1,234");
    EXPECT_EQ(format_grouped_whole(999999.5, ","), "1,000,000");
    EXPECT_EQ(format_grouped_whole(-5, ","), "-005");
    EXPECT_EQ(format_grouped_whole(-1234567, ","), "-1,234,567");
    EXPECT_EQ(format_grouped_whole(1234.4, "."), "1.234");
    EXPECT_EQ(format_grouped_whole(1234567, ""), "1234567");
}

TEST(GroupedWholePicture, RoundsHalfwayValuesAwayFromZero) {
    EXPECT_EQ(format_grouped_whole(0.5, ","), "001");
    EXPECT_EQ(format_grouped_whole(2.5, ","), "003");
    EXPECT_EQ(format_grouped_whole(-2.5, ","), "-003");
    EXPECT_EQ(format_grouped_whole(0.49999999999999994, ","), "000");
    // A value that rounds to zero carries no sign.
    EXPECT_EQ(format_grouped_whole(-0.4, ","), "000");
    EXPECT_EQ(format_grouped_whole(-0.0, ","), "000");
}

TEST(GroupedWholePicture, IsExactForHugeValues) {
    EXPECT_EQ(format_grouped_whole(1e20, ","), "100,000,000,000,000,000,000");
    EXPECT_EQ(format_grouped_whole(9007199254740993.0, ","), "9,007,199,254,740,992");
    const std::string max = format_grouped_whole(DBL_MAX, ",");
    EXPECT_EQ(max.substr(0, 8), "179,769,");
    EXPECT_EQ(max.size(), 309u + 102u);  // 309 digits, 102 separators
    EXPECT_EQ(format_grouped_whole(-DBL_MAX, ",")[0], '-');
}

}  // namespace
}  // namespace heatplate
