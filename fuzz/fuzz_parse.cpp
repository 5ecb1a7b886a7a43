// The leading-number parse never crashes, never yields NaN, and agrees with
// a straightforward reading of plain decimal texts.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "numbers/number_parse.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double v = heatplate::parse_leading_number(text);
    if (std::isnan(v)) {
        std::abort();
    }
    // A text of at most 15 decimal digits is an exact whole number.
    if (size > 0 && size <= 15) {
        double expected = 0;
        bool plain = true;
        for (char c : text) {
            if (c < '0' || c > '9') {
                plain = false;
                break;
            }
            expected = expected * 10 + (c - '0');
        }
        if (plain && v != expected) {
            std::abort();
        }
    }
    return 0;
}
