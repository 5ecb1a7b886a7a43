#include "numbers/number_parse.h"

#include <string>

#include "numbers/decimal.h"

namespace heatplate {
namespace {

bool is_ignored(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

int digit_value(char c, int base) {
    int v = -1;
    if (c >= '0' && c <= '9') {
        v = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        v = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        v = c - 'A' + 10;
    }
    return v < base ? v : -1;
}

// Whole number in base 8 or 16. Every digit counts, so a long text grows
// beyond the largest double to infinity rather than wrapping around.
double parse_radix(std::string_view s, int base) {
    double value = 0.0;
    for (char c : s) {
        const int d = digit_value(c, base);
        if (d < 0) {
            break;
        }
        value = value * base + d;
    }
    return value;
}

std::size_t skip_digits(std::string_view s, std::size_t n) {
    while (n < s.size() && is_digit(s[n])) {
        ++n;
    }
    return n;
}

// The length of the longest prefix of the form
//     [sign] digits [. digits] [E [sign] digits]
// with at least one digit before the exponent, or 0 when there is none.
std::size_t decimal_prefix(std::string_view s) {
    std::size_t n = 0;
    if (n < s.size() && (s[n] == '+' || s[n] == '-')) {
        ++n;
    }
    const std::size_t whole = n;
    n = skip_digits(s, n);
    std::size_t digits = n - whole;
    if (n < s.size() && s[n] == '.') {
        const std::size_t fraction = n + 1;
        n = skip_digits(s, fraction);
        digits += n - fraction;
    }
    if (digits == 0) {
        return 0;
    }
    if (n < s.size() && (s[n] == 'e' || s[n] == 'E')) {
        std::size_t e = n + 1;
        if (e < s.size() && (s[e] == '+' || s[e] == '-')) {
            ++e;
        }
        if (e < s.size() && is_digit(s[e])) {
            n = skip_digits(s, e);
        }
    }
    return n;
}

}  // namespace

double parse_leading_number(std::string_view text) {
    std::string s;
    s.reserve(text.size());
    for (char c : text) {
        if (!is_ignored(c)) {
            s.push_back(c);
        }
    }

    if (s.size() >= 2 && s[0] == '&') {
        const char kind = s[1];
        if (kind == 'H' || kind == 'h') {
            return parse_radix(std::string_view(s).substr(2), 16);
        }
        if (kind == 'O' || kind == 'o') {
            return parse_radix(std::string_view(s).substr(2), 8);
        }
        return 0.0;
    }
    // Only the number itself goes to the conversion, which would also take
    // "inf", "nan" and hexadecimal floats.
    const std::size_t n = decimal_prefix(s);
    if (n == 0) {
        return 0.0;
    }
    // Correctly rounded; infinite beyond the largest double, zero below the
    // smallest.
    return parse_decimal(std::string_view(s).substr(0, n));
}

}  // namespace heatplate
