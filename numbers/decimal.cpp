#include "numbers/decimal.h"

#include <locale.h>

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

// Two ways to each result, chosen by the value, never by the platform: exact
// whole-number arithmetic for the values the program shows every time step,
// and the C library (glibc, musl), which prints exactly and reads correctly
// rounded, for everything else.
namespace heatplate {
namespace {

// A double's significand times 5^32 still fits.
__extension__ typedef unsigned __int128 Wide;

constexpr int kMostDigits = 17;  // enough to tell every two doubles apart
constexpr int kMostScale = 32;   // 5^32 * 2^53 < 2^128
constexpr std::uint64_t kExactWholes = std::uint64_t{1} << 53;

constexpr std::array<std::uint64_t, 20> kPow10 = [] {
    std::array<std::uint64_t, 20> p{};
    p[0] = 1;
    for (std::size_t k = 1; k < p.size(); ++k) {
        p[k] = p[k - 1] * 10;
    }
    return p;
}();

constexpr std::array<std::uint64_t, 17> kPow5 = [] {
    std::array<std::uint64_t, 17> p{};
    p[0] = 1;
    for (std::size_t k = 1; k < p.size(); ++k) {
        p[k] = p[k - 1] * 5;
    }
    return p;
}();

// The powers of ten that a double holds exactly.
constexpr std::array<double, 23> kExactPow10 = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Puts the C library under the "C" locale for one conversion: the batch
// program takes LC_ALL from the environment, and a decimal comma must not
// reach the texts. The switch is the calling thread's alone.
class ClassicNumbers {
  public:
    ClassicNumbers() : saved_(uselocale(classic())) {}
    ~ClassicNumbers() { uselocale(saved_); }
    ClassicNumbers(const ClassicNumbers&) = delete;
    ClassicNumbers& operator=(const ClassicNumbers&) = delete;

  private:
    static locale_t classic() {
        static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t{});
        return c;
    }
    locale_t saved_;
};

double read_classic(const char* text) {
    const ClassicNumbers classic;
    return std::strtod(text, nullptr);
}

// A finite magnitude as significand * 2^exponent.
struct Binary {
    std::uint64_t significand;
    int exponent;
};

Binary binary_of(double magnitude) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &magnitude, sizeof bits);
    const int field = static_cast<int>((bits >> 52) & 0x7ff);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    if (field == 0) {
        return {fraction, -1074};
    }
    return {fraction | (std::uint64_t{1} << 52), field - 1075};
}

// The magnitude times 10^scale, cut down and rounded to a whole number (ties
// to even), when that stays within the arithmetic here.
struct Scaled {
    std::uint64_t floor;
    std::uint64_t nearest;
};

std::optional<Scaled> scaled(Binary b, int scale) {
    if (scale < 0 || scale > kMostScale) {
        return std::nullopt;
    }
    Wide p = b.significand;
    for (int k = scale; k > 0; k -= 16) {
        p *= kPow5[static_cast<std::size_t>(std::min(k, 16))];
    }
    const int shift = b.exponent + scale;  // p * 2^shift
    if (shift >= 0) {
        if (shift >= 64 ? p != 0 : (p >> (64 - shift)) != 0) {
            return std::nullopt;
        }
        const auto whole = static_cast<std::uint64_t>(p << shift);
        return Scaled{whole, whole};
    }
    const int drop = -shift;
    if (drop >= 128) {  // p < 2^128: below one half, or exactly half (to even) at 128
        return Scaled{0, drop == 128 && p > (Wide{1} << 127) ? 1u : 0u};
    }
    const Wide floor = p >> drop;
    const Wide rest = p - (floor << drop);
    const Wide half = Wide{1} << (drop - 1);
    const Wide nearest = floor + ((rest > half || (rest == half && (floor & 1) != 0)) ? 1 : 0);
    if ((nearest >> 64) != 0) {
        return std::nullopt;
    }
    return Scaled{static_cast<std::uint64_t>(floor), static_cast<std::uint64_t>(nearest)};
}

// A decimal of `count` significant digits, whole * 10^(power - count + 1),
// with 10^(count - 1) <= whole < 10^count: `power` is that of its leading
// digit.
struct Decimal {
    std::uint64_t whole;
    int count;
    int power;
};

// The magnitude rounded to `count` digits, when the arithmetic here reaches.
std::optional<Decimal> rounded_exactly(Binary b, int count) {
    const int top = b.exponent + 63 - std::countl_zero(b.significand);  // 2^top <= magnitude
    // floor(top * log10 2), exact for every double; the power of the leading
    // digit is that or one more, which the unrounded digits tell.
    int power = (top * 78913) >> 18;
    const auto size = static_cast<std::size_t>(count);
    auto s = scaled(b, count - 1 - power);
    if (s && s->floor >= kPow10[size]) {
        ++power;
        s = scaled(b, count - 1 - power);
    }
    if (!s) {
        return std::nullopt;
    }
    // Rounding up to 10^count carries into the next power.
    if (s->nearest == kPow10[size]) {
        return Decimal{kPow10[size - 1], count, power + 1};
    }
    return Decimal{s->nearest, count, power};
}

Decimal rounded_by_printf(double magnitude, int count) {
    std::array<char, kGeneralChars> text{};
    {
        const ClassicNumbers classic;
        std::snprintf(text.data(), text.size(), "%.*e", count - 1, magnitude);
    }
    Decimal d{0, count, 0};
    const char* p = text.data();
    for (; *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9') {
            d.whole = d.whole * 10 + static_cast<std::uint64_t>(*p - '0');
        }
    }
    d.power = std::atoi(p + 1);
    return d;
}

// A nonzero finite magnitude rounded to `count` digits (1 to 17), exactly,
// ties to even.
Decimal rounded(double magnitude, int count) {
    if (const auto d = rounded_exactly(binary_of(magnitude), count)) {
        return *d;
    }
    return rounded_by_printf(magnitude, count);
}

// The double nearest to a decimal.
double value_of(const Decimal& d) {
    const int exponent = d.power - d.count + 1;
    if (d.whole <= kExactWholes && std::abs(exponent) < static_cast<int>(kExactPow10.size())) {
        // Both operands are exact, so the one rounding of the product or
        // quotient is the correct one.
        const double whole = static_cast<double>(d.whole);
        const auto k = static_cast<std::size_t>(std::abs(exponent));
        return exponent < 0 ? whole / kExactPow10[k] : whole * kExactPow10[k];
    }
    std::array<char, 40> text{};
    char* end = std::to_chars(text.data(), text.data() + 20, d.whole).ptr;
    *end++ = 'e';
    std::to_chars(end, text.data() + text.size() - 1, exponent);
    return read_classic(text.data());
}

Decimal next_above(const Decimal& d) {
    const auto size = static_cast<std::size_t>(d.count);
    if (d.whole + 1 == kPow10[size]) {
        return {kPow10[size - 1], d.count, d.power + 1};
    }
    return {d.whole + 1, d.count, d.power};
}

// A decimal of `count` digits that reads back as the magnitude, the nearer
// one when two do.
std::optional<Decimal> reading_back(double magnitude, int count) {
    const Decimal nearest = rounded(magnitude, count);
    const double back = value_of(nearest);
    if (back == magnitude) {
        return nearest;
    }
    // At a power of two the doubles are half as far apart below as above, so
    // the decimal above may read back although the nearer one below does not.
    // (The other way round, the farther one never does.)
    if (back < magnitude && value_of(next_above(nearest)) == magnitude) {
        return next_above(nearest);
    }
    return std::nullopt;
}

Decimal shortest_digits(double magnitude) {
    // A decimal of n digits is one of n + 1 digits too: once a count works,
    // every larger one does, so the least is found by halving.
    int low = 1;
    int high = kMostDigits;
    std::optional<Decimal> found;
    while (low < high) {
        const int middle = (low + high) / 2;
        if (const auto d = reading_back(magnitude, middle)) {
            found = d;
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    // Seventeen digits always read back.
    return found ? *found : *reading_back(magnitude, kMostDigits);
}

// The significant digits, trailing zeros dropped.
struct Digits {
    std::array<char, 20> chars;
    std::size_t size;
};

Digits digits_of(const Decimal& d) {
    Digits t{};
    t.size = static_cast<std::size_t>(
        std::to_chars(t.chars.data(), t.chars.data() + t.chars.size(), d.whole).ptr -
        t.chars.data());
    while (t.size > 1 && t.chars[t.size - 1] == '0') {
        --t.size;
    }
    return t;
}

// "1200", "37.5", "0.0012": no exponent, no trailing zeros after the point.
char* write_plain(char* out, const Digits& t, int power) {
    const char* digits = t.chars.data();
    if (power < 0) {
        *out++ = '0';
        *out++ = '.';
        out = std::fill_n(out, -power - 1, '0');
        return std::copy(digits, digits + t.size, out);
    }
    const auto whole = static_cast<std::size_t>(power) + 1;  // digits before the point
    out = std::copy(digits, digits + std::min(whole, t.size), out);
    if (whole >= t.size) {
        return std::fill_n(out, whole - t.size, '0');
    }
    *out++ = '.';
    return std::copy(digits + whole, digits + t.size, out);
}

// The digits before a scientific exponent: "1", "1.25".
char* write_mantissa(char* out, const Digits& t) {
    *out++ = t.chars[0];
    if (t.size > 1) {
        *out++ = '.';
        out = std::copy(t.chars.data() + 1, t.chars.data() + t.size, out);
    }
    return out;
}

// printf's exponent: a sign and at least two digits, "e+20", "e-08".
char* write_printf_exponent(char* out, int power) {
    *out++ = 'e';
    *out++ = power < 0 ? '-' : '+';
    if (std::abs(power) < 10) {
        *out++ = '0';
    }
    return std::to_chars(out, out + 3, std::abs(power)).ptr;
}

// The bare exponent: "e20", "e-8".
char* write_bare_exponent(char* out, int power) {
    *out++ = 'e';
    return std::to_chars(out, out + 4, power).ptr;
}

// As to_chars writes them.
char* write_non_finite(char* out, double value) {
    const std::string_view text =
        std::isnan(value) ? (std::signbit(value) ? "-nan" : "nan") : (value < 0 ? "-inf" : "inf");
    return std::copy(text.begin(), text.end(), out);
}

// "0.05", "-0.00", "12.500": every decimal asked for.
std::string fixed_layout(bool negative, std::uint64_t whole, int decimals) {
    std::array<char, 20> buf{};
    const char* end = std::to_chars(buf.data(), buf.data() + buf.size(), whole).ptr;
    const auto size = static_cast<std::size_t>(end - buf.data());
    const auto places = static_cast<std::size_t>(decimals);
    std::string out(negative ? 1 : 0, '-');
    out.append(size <= places ? places + 1 - size : 0, '0');  // at least "0" before the point
    out.append(buf.data(), size);
    if (places > 0) {
        out.insert(out.end() - static_cast<std::ptrdiff_t>(places), '.');
    }
    return out;
}

}  // namespace

char* general_chars(char* out, double value, int precision) {
    if (!std::isfinite(value)) {
        return write_non_finite(out, value);
    }
    if (std::signbit(value)) {
        *out++ = '-';
    }
    if (value == 0) {
        *out++ = '0';
        return out;
    }
    const int count = std::clamp(precision, 1, kMostDigits);
    const Decimal d = rounded(std::fabs(value), count);
    const Digits t = digits_of(d);
    if (d.power < -4 || d.power >= count) {
        return write_printf_exponent(write_mantissa(out, t), d.power);
    }
    return write_plain(out, t, d.power);
}

std::string fixed_text(double value, int decimals) {
    if (!std::isfinite(value)) {
        std::array<char, kGeneralChars> text{};
        return {text.data(), write_non_finite(text.data(), value)};
    }
    decimals = std::max(decimals, 0);
    if (const auto s = scaled(binary_of(std::fabs(value)), decimals)) {
        return fixed_layout(std::signbit(value), s->nearest, decimals);
    }
    // A sign, up to 309 whole digits, the point, the decimals and a null.
    std::string text(312 + static_cast<std::size_t>(decimals), '\0');
    int size = 0;
    {
        const ClassicNumbers classic;
        size = std::snprintf(text.data(), text.size(), "%.*f", decimals, value);
    }
    text.resize(static_cast<std::size_t>(std::max(size, 0)));
    return text;
}

double nearest_with_decimals(double value, int decimals) {
    if (!std::isfinite(value)) {
        return value;
    }
    if (decimals >= 0 && decimals < static_cast<int>(kExactPow10.size())) {
        const auto s = scaled(binary_of(std::fabs(value)), decimals);
        // A whole number and a power of ten that are both exact: the one
        // rounding of their quotient gives the double nearest the decimal.
        if (s && s->nearest <= kExactWholes) {
            const double magnitude =
                static_cast<double>(s->nearest) / kExactPow10[static_cast<std::size_t>(decimals)];
            return std::signbit(value) ? -magnitude : magnitude;
        }
    }
    return parse_decimal(fixed_text(value, decimals));
}

double parse_decimal(std::string_view number) {
    const std::string text(number);
    return read_classic(text.c_str());
}

std::string shortest_text(double value) {
    std::array<char, 352> plain{};  // "-0." and 323 zeros before the digits of the smallest
    std::array<char, kGeneralChars> scientific{};
    if (!std::isfinite(value)) {
        return {plain.data(), write_non_finite(plain.data(), value)};
    }
    if (value == 0) {
        return std::signbit(value) ? "-0" : "0";
    }
    const Decimal d = shortest_digits(std::fabs(value));
    const Digits t = digits_of(d);
    char* p = plain.data();
    char* s = scientific.data();
    if (std::signbit(value)) {
        *p++ = '-';
        *s++ = '-';
    }
    p = write_plain(p, t, d.power);
    s = write_bare_exponent(write_mantissa(s, t), d.power);
    if (s - scientific.data() < p - plain.data()) {
        return {scientific.data(), s};
    }
    return {plain.data(), p};
}

}  // namespace heatplate
