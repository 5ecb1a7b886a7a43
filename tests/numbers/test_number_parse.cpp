#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <string>

#include "numbers/number_parse.h"

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
    EXPECT_EQ(parse_leading_number("2.4703282292062327e-324"), 0);
    EXPECT_EQ(parse_leading_number("2.4703282292062328e-324"), 4.9406564584124654e-324);
    EXPECT_EQ(parse_leading_number("1e99999999999999999999"), HUGE_VAL);
    EXPECT_EQ(parse_leading_number("0.0000000001e-99999999999"), 0);
    EXPECT_EQ(parse_leading_number("-" + std::string(400, '0') + "1e-330"), 0);
    EXPECT_TRUE(std::signbit(parse_leading_number("-1e-400")));
    EXPECT_EQ(parse_leading_number("+1e400"), HUGE_VAL);
    EXPECT_EQ(parse_leading_number("0.1000000000000000055511151231257827"), 0.1);
    EXPECT_EQ(parse_leading_number("1.7976931348623157e308"), 1.7976931348623157e308);
    EXPECT_EQ(parse_leading_number("1e400"), HUGE_VAL);
    EXPECT_EQ(parse_leading_number("-1e400"), -HUGE_VAL);
    EXPECT_EQ(parse_leading_number(std::string(10000, '9')), HUGE_VAL);
    EXPECT_EQ(parse_leading_number("&H" + std::string(300, 'F')), HUGE_VAL);
}

// Decimal texts of every shape and size read as the C library reads them.
TEST(LeadingNumberParse, AgreesWithTheCLibraryOnRandomDecimalTexts) {
    std::mt19937 rng(2026);
    const auto digits = [&rng](int most) {
        std::string d(std::uniform_int_distribution<int>(0, most)(rng), '0');
        for (char& c : d)
            c = static_cast<char>('0' + std::uniform_int_distribution<int>(0, 9)(rng));
        return d;
    };
    for (int k = 0; k < 20000; ++k) {
        std::string text = std::string(k % 3 == 0 ? "-" : k % 3 == 1 ? "+" : "") + digits(25);
        if (k % 2 == 0)
            text += "." + digits(25);
        if (k % 5 != 0) {
            text += (k % 7 == 0 ? "E" : "e") + std::string(k % 4 == 0 ? "-" : "") +
                    std::to_string(std::uniform_int_distribution<int>(0, 400)(rng));
        }
        const double expected = std::strtod(text.c_str(), nullptr);
        const double parsed = parse_leading_number(text);
        ASSERT_TRUE(parsed == expected && std::signbit(parsed) == std::signbit(expected))
            << text << " -> " << parsed << ", not " << expected;
    }
}

}  // namespace
}  // namespace heatplate
