// The number formats stay exact and readable for every double: the grouped
// whole-number picture reads back as the rounded value, the default text form
// reads back to 15 significant digits, the shortest text reads back as the
// very same double, and rounding moves a value by at most half a unit of the
// last kept decimal.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "numbers/decimal.h"
#include "numbers/number_format.h"
#include "numbers/number_parse.h"

namespace {

void check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

std::string without(const std::string& s, char c) {
    std::string out;
    for (char ch : s) {
        if (ch != c)
            out += ch;
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 9) {
        return 0;
    }
    double v;
    std::memcpy(&v, data, sizeof v);
    const int decimals = data[8] % 16;
    if (!std::isfinite(v)) {
        return 0;
    }

    const std::string grouped = heatplate::format_grouped_whole(v, ",");
    check(grouped.size() >= 3);
    check(heatplate::parse_leading_number(without(grouped, ',')) == std::round(v));

    const std::string text = heatplate::number_text(v, ".");
    const double back = heatplate::parse_leading_number(text);
    // Fifteen digits of the very largest doubles round up past the range.
    if (std::fabs(v) < 1.797693134862315e308) {
        check(std::isfinite(back));
        check(std::fabs(back - v) <= std::fabs(v) * 1e-14);
    }

    const double shortest = heatplate::parse_leading_number(heatplate::shortest_text(v));
    check(std::memcmp(&shortest, &v, sizeof v) == 0);

    const double r = heatplate::round_to_decimals(v, decimals);
    check(std::isfinite(r));
    const double half_unit = 0.5 * std::pow(10.0, -decimals);
    check(std::fabs(r - v) <= half_unit * (1 + 1e-9) + std::fabs(v) * 1e-15);
    return 0;
}
