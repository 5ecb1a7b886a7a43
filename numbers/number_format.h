#pragma once

#include <string>

namespace heatplate {

// The separators of the user's locale, taken at the edge (QLocale) and
// handed in so that the conversions below stay free of Qt.
struct NumberSeparators {
    std::string decimal = ".";     // UTF-8, for text shown on screen
    std::string group = ",";       // UTF-8, for text shown on screen
    std::string file_group = ",";  // one byte, for the single-byte results file
};

// Rounds to the nearest multiple of 10^-decimals. Only a value whose exact
// binary value lies halfway is a tie, and a tie goes to the even neighbour:
// 1/16 to 3 decimals is 0.062, while 1/80 (just above 0.0125) is 0.013.
double round_to_decimals(double value, int decimals);

// The default text form of a number: at most 15 significant digits, no
// trailing zeros, scientific form ("1E+20") for very large or small values.
std::string number_text(double value, const std::string& decimal_separator);

// The picture "##0,#0": rounded to a whole number (halfway away from zero),
// at least three digits, thousands grouped with the given separator, a minus
// sign before a value that stays negative after rounding. Exact for every
// finite double.
std::string format_grouped_whole(double value, const std::string& group_separator);

}  // namespace heatplate
