// The engine's own decimal conversions against the standard library's
// to_chars and from_chars for doubles, which libstdc++ has and the
// WebAssembly build's library lacks: the same texts and the same doubles,
// to the last bit, over every range of exponents and the awkward cases.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cfloat>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "numbers/decimal.h"

namespace heatplate {
namespace {

std::uint64_t bits(double v) {
    return std::bit_cast<std::uint64_t>(v);
}

std::string std_text(double v, std::chars_format format, int precision) {
    std::array<char, 1500> buf{};
    return {buf.data(),
            std::to_chars(buf.data(), buf.data() + buf.size(), v, format, precision).ptr};
}

double std_read(const std::string& text) {
    double v = 0;
    std::from_chars(text.data(), text.data() + text.size(), v);
    return v;
}

// As in the batch program, the user's locale, a decimal comma where installed.
struct DecimalCommaLocale {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    DecimalCommaLocale() {
        (void)(std::setlocale(LC_ALL, "fr_FR.UTF-8") || std::setlocale(LC_ALL, "de_DE.UTF-8"));
    }
    ~DecimalCommaLocale() { std::setlocale(LC_ALL, saved.c_str()); }
};

// Random bit patterns (every exponent, subnormals), short decimals and exact
// binary halves (the ties), powers of two (lopsided rounding) and edge cases.
std::vector<double> awkward_doubles() {
    std::vector<double> v = {0.0, -0.0, 0.5, 2.5, -2.5, 0.125, 0.375, 0.0625, 0.0125, 0.15};
    v.insert(v.end(), {1e-5, 9.5e-5, 1e-4, 1e15, 999999999999999.5, 1e16, 1e22, 1e23, 1e-300});
    v.insert(v.end(), {1e308, 0x1p64, 0x1.fffffffffffffp63, 9007199254740993.0, DBL_MAX, -DBL_MAX});
    v.insert(v.end(), {DBL_MIN, 0x0.fffffffffffffp-1022, 1e-320, DBL_TRUE_MIN});
    std::mt19937_64 rng(2026);
    for (int k = 0; k < 60000; ++k) {
        const std::uint64_t r = rng();
        if (std::isfinite(std::bit_cast<double>(r)))
            v.push_back(std::bit_cast<double>(r));
        const double sign = (r & 1) != 0 ? -1.0 : 1.0;
        v.push_back(sign * static_cast<double>(r % 1000000000) / std::pow(10.0, k % 13));
        v.push_back(sign * std::ldexp(static_cast<double>(r >> 40), -static_cast<int>(r % 40)));
        v.push_back(std::ldexp(1.0, static_cast<int>(r % 2098) - 1074));
    }
    return v;
}

TEST(Decimal, GivesTheTextsAndDoublesOfToCharsAndFromChars) {
    const DecimalCommaLocale locale;
    int k = 0;
    for (const double v : awkward_doubles()) {
        const int decimals = ++k % 25;
        const int precision = k % 17 + 1;
        for (const int p : {15, 17, precision}) {
            std::array<char, kGeneralChars> g{};
            ASSERT_EQ(std::string(g.data(), general_chars(g.data(), v, p)),
                      std_text(v, std::chars_format::general, p))
                << v << " to " << p << " digits";
        }
        const std::string fixed = std_text(v, std::chars_format::fixed, decimals);
        ASSERT_EQ(fixed_text(v, decimals), fixed) << v;
        ASSERT_EQ(bits(nearest_with_decimals(v, decimals)), bits(std_read(fixed))) << fixed;

        const std::string shortest = shortest_text(v);
        std::array<char, 40> least{};
        const auto end = std::to_chars(least.data(), least.data() + least.size(), v).ptr;
        ASSERT_EQ(bits(std_read(shortest)), bits(v)) << shortest;
        ASSERT_LE(shortest.size(), static_cast<std::size_t>(end - least.data())) << shortest;
    }
    // The form: plain or scientific, whichever is shorter, plain on a tie.
    const std::pair<double, const char*> known[] = {
        {0.1, "0.1"}, {-1e-300, "-1e-300"}, {1.5e22, "1.5e22"}, {0.01, "0.01"}, {1e-3, "1e-3"},
        {-0.0, "-0"}, {-HUGE_VAL, "-inf"},  {NAN, "nan"},       {1200, "1200"}, {-37.5, "-37.5"}};
    for (const auto& [v, text] : known)
        EXPECT_EQ(shortest_text(v), text);
}

// Long texts, many digits either side of the point, exponents near the ends
// of the range: from_chars' double, and beyond the range an infinity or a
// zero (which from_chars reports as out of range) with the text's sign.
TEST(Decimal, ReadsDecimalTextsAsFromCharsDoes) {
    const DecimalCommaLocale locale;
    std::vector<std::string> texts = {"2.4703282292062327e-324", "2.4703282292062328e-324",
                                      "1.7976931348623159e308", "2.2250738585072012e-308", "+0e99"};
    std::mt19937 rng(7);
    const auto digits = [&rng](int most) {
        std::string d(std::uniform_int_distribution<int>(1, most)(rng), '0');
        for (char& c : d)
            c = static_cast<char>('0' + rng() % (rng() % 4 == 0 ? 1 : 10));
        return d;
    };
    for (int k = 0; k < 60000; ++k) {
        texts.push_back((k % 3 == 0 ? "-" : "") + digits(40) + (k % 2 ? "." + digits(40) : "") +
                        "e" + std::to_string(std::uniform_int_distribution<int>(-380, 330)(rng)));
    }
    for (const std::string& text : texts) {
        const std::string bare = text[0] == '+' ? text.substr(1) : text;
        double expected = 0;
        const auto res = std::from_chars(bare.data(), bare.data() + bare.size(), expected);
        if (res.ec == std::errc::result_out_of_range) {
            long double wide = 0;  // a range wide enough to tell which end
            std::from_chars(bare.data(), bare.data() + bare.size(), wide);
            expected =
                std::copysign(std::fabs(wide) > 1 ? HUGE_VAL : 0.0, static_cast<double>(wide));
        }
        ASSERT_EQ(bits(parse_decimal(text)), bits(expected)) << text;
    }
}

}  // namespace
}  // namespace heatplate
