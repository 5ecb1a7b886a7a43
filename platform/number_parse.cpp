#include "platform/number_parse.h"

#include <locale.h>

#include <cctype>
#include <cstdlib>
#include <string>

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
        const char kind = static_cast<char>(std::toupper(static_cast<unsigned char>(s[1])));
        if (kind == 'H') {
            return parse_radix(std::string_view(s).substr(2), 16);
        }
        if (kind == 'O') {
            return parse_radix(std::string_view(s).substr(2), 8);
        }
        return 0.0;
    }

    // Take the longest prefix of the form [sign] digits [. digits] [E [sign] digits]
    // and hand exactly that to strtod, which rounds correctly; strtod alone
    // would also accept "inf", "nan", hex floats and locale decimal commas.
    std::size_t n = 0;
    if (n < s.size() && (s[n] == '+' || s[n] == '-')) {
        ++n;
    }
    std::size_t digits = 0;
    while (n < s.size() && is_digit(s[n])) {
        ++n;
        ++digits;
    }
    if (n < s.size() && s[n] == '.') {
        ++n;
        while (n < s.size() && is_digit(s[n])) {
            ++n;
            ++digits;
        }
    }
    if (digits == 0) {
        return 0.0;
    }
    if (n < s.size() && (s[n] == 'e' || s[n] == 'E')) {
        std::size_t e = n + 1;
        if (e < s.size() && (s[e] == '+' || s[e] == '-')) {
            ++e;
        }
        if (e < s.size() && is_digit(s[e])) {
            while (e < s.size() && is_digit(s[e])) {
                ++e;
            }
            n = e;
        }
    }
    s.resize(n);
    // Qt switches the process to the user's locale at start-up, so plain
    // strtod could expect a decimal comma; read with the C locale instead.
    // strtod_l rounds correctly and gives an infinity on overflow.
    static const locale_t c_locale = newlocale(LC_ALL_MASK, "C", locale_t{});
    return strtod_l(s.c_str(), nullptr, c_locale);
}

}  // namespace heatplate
