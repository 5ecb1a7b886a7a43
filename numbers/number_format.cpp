#include "numbers/number_format.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string_view>

namespace heatplate {
namespace {

// Large enough for any double in fixed notation: 309 integer digits, a sign,
// a point and the requested decimals (callers ask for at most a few dozen).
constexpr std::size_t kFixedBufferSize = 1200;

}  // namespace

double round_to_decimals(double value, int decimals) {
    if (!std::isfinite(value) || decimals < 0 || decimals > 300) {
        return value;
    }
    // to_chars yields the exactly rounded decimal (ties to even on the exact
    // binary value); reading it back gives the nearest double to that decimal.
    std::array<char, kFixedBufferSize> buf{};
    const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), value,
                                   std::chars_format::fixed, decimals);
    double rounded = value;
    std::from_chars(buf.data(), res.ptr, rounded);
    return rounded;
}

std::string number_text(double value, const std::string& decimal_separator) {
    if (value == 0.0) {
        return "0";  // also for -0, which would otherwise show as "-0"
    }
    if (std::isnan(value)) {
        return "NaN";
    }
    if (std::isinf(value)) {
        return value > 0 ? "Infinity" : "-Infinity";
    }
    std::array<char, 64> buf{};
    const auto res =
        std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::general, 15);
    std::string out;
    out.reserve(32);
    for (const char* p = buf.data(); p != res.ptr; ++p) {
        if (*p == '.') {
            out += decimal_separator;
        } else if (*p == 'e') {
            out += 'E';
        } else {
            out += *p;
        }
    }
    return out;
}

std::string format_grouped_whole(double value, const std::string& group_separator) {
    if (!std::isfinite(value)) {
        return std::isnan(value) ? "NaN" : (value > 0 ? "Infinity" : "-Infinity");
    }
    const double whole = std::round(value);  // halfway cases away from zero
    std::array<char, kFixedBufferSize> buf{};
    const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), std::fabs(whole),
                                   std::chars_format::fixed, 0);
    std::string_view digits(buf.data(), static_cast<std::size_t>(res.ptr - buf.data()));

    std::string padded(digits.size() < 3 ? 3 - digits.size() : 0, '0');
    padded += digits;

    std::string out;
    out.reserve(padded.size() + padded.size() / 3 * group_separator.size() + 1);
    if (whole < 0) {
        out += '-';
    }
    for (std::size_t k = 0; k < padded.size(); ++k) {
        if (k > 0 && (padded.size() - k) % 3 == 0) {
            out += group_separator;
        }
        out += padded[k];
    }
    return out;
}

}  // namespace heatplate
