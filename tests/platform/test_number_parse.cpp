#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "platform/number_parse.h"

namespace heatplate {
namespace {

struct ParseCase {
    const char* text;
    double expected;
};

TEST(LeadingNumberParse, ReadsTheNumberAtTheStartOfTheText) {
    const ParseCase cases[] = {
        {"20", 20},     {"20abc", 20}, {"abc", 0},   {"", 0},        {"-5", -5}, {"+7", 7},
        {"2.5", 2.5},   {".5", 0.5},   {"5.", 5},    {".", 0},       {"-", 0},   {"--1", 0},
        {"1.5.3", 1.5}, {"1,5", 1},    {"3e2", 300}, {"3E-2", 0.03}, {"1e", 1},  {"1e+", 1},
        {"2e+x", 2},    {"0x10", 0},   {"nan", 0},   {"inf", 0},     {"1d2", 1}, {"1e-400", 0},
        {"101", 101},   {"1e9", 1e9},  {"0.1", 0.1}, {"e5", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parse_leading_number(c.text), c.expected) << '"' << c.text << '"';
    }
}

TEST(LeadingNumberParse, IgnoresBlanksTabsAndLineFeedsWhereverTheyStand) {
    EXPECT_EQ(parse_leading_number("  42"), 42);
    EXPECT_EQ(parse_leading_number("1 2 3"), 123);
    EXPECT_EQ(parse_leading_number("\t-\n3 . 5 e 2"), -350);
    EXPECT_EQ(parse_leading_number("& H 1 F"), 31);
    // A carriage return is not among them and ends the number.
    EXPECT_EQ(parse_leading_number("\r5"), 0);
    EXPECT_EQ(parse_leading_number("5\r5"), 5);
}

TEST(LeadingNumberParse, ReadsHexadecimalAndOctalWholeNumbers) {
    EXPECT_EQ(parse_leading_number("&HFF"), 255);
    EXPECT_EQ(parse_leading_number("&hff"), 255);
    EXPECT_EQ(parse_leading_number("&H1fz"), 31);
    EXPECT_EQ(parse_leading_number("&O17"), 15);
    EXPECT_EQ(parse_leading_number("&o78"), 7);
    EXPECT_EQ(parse_leading_number("&H"), 0);
    EXPECT_EQ(parse_leading_number("&"), 0);
    EXPECT_EQ(parse_leading_number("&X12"), 0);
    // Long texts neither wrap around nor stop early.
    EXPECT_DOUBLE_EQ(parse_leading_number("&HFFFFFFFFFFFFFFFFFF"), std::ldexp(1.0, 72) - 1);
}

TEST(LeadingNumberParse, RoundsCorrectlyAndOverflowsToInfinity) {
    EXPECT_EQ(parse_leading_number("0.1000000000000000055511151231257827"), 0.1);
    EXPECT_EQ(parse_leading_number("1.7976931348623157e308"), 1.7976931348623157e308);
    EXPECT_EQ(parse_leading_number("1e400"), HUGE_VAL);
    EXPECT_EQ(parse_leading_number("-1e400"), -HUGE_VAL);
    EXPECT_EQ(parse_leading_number(std::string(10000, '9')), HUGE_VAL);
    EXPECT_EQ(parse_leading_number("&H" + std::string(300, 'F')), HUGE_VAL);
}

}  // namespace
}  // namespace heatplate
