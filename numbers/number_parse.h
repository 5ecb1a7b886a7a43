#pragma once

#include <string_view>

namespace heatplate {

// Reads the number a text starts with, the way the input boxes are read:
// '.' is the decimal point whatever the locale; blanks, tabs and line feeds
// are ignored wherever they stand; a decimal exponent (E or e) may follow;
// "&H" and "&O" introduce a hexadecimal or octal whole number. Reading stops
// at the first character that cannot continue the number. A text that does
// not start with a number gives 0. Too large a magnitude gives an infinity,
// which callers refuse.
double parse_leading_number(std::string_view text);

}  // namespace heatplate
