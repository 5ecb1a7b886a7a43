#include "numbers/number_format.h"

#include <array>
#include <cmath>

#include "numbers/decimal.h"

namespace heatplate {

double round_to_decimals(double value, int decimals) {
    if (!std::isfinite(value) || decimals < 0 || decimals > 300) {
        return value;
    }
    // The exactly rounded decimal (ties to even on the exact binary value),
    // read back as the nearest double to that decimal.
    return nearest_with_decimals(value, decimals);
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
    std::array<char, kGeneralChars> buf{};
    const char* end = general_chars(buf.data(), value, 15);
    std::string out;
    out.reserve(32);
    for (const char* p = buf.data(); p != end; ++p) {
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
    const std::string digits = fixed_text(std::fabs(whole), 0);

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
