#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Decimal text of doubles and doubles of decimal text, the same on every
// platform the engine is built for, WebAssembly included (whose standard
// library has no floating-point to_chars or from_chars). The texts and
// values are those of to_chars and from_chars: '.' as the decimal point,
// whatever the locale; exactly rounded digits (ties to even on the exact
// binary value); correctly rounded reading.
namespace heatplate {

// Room for any text of general_chars: a sign, 17 digits, a point and an
// exponent such as "e-308".
inline constexpr std::size_t kGeneralChars = 32;

// Writes the text of printf's "%.*g" (to_chars general with a precision):
// the value rounded to `precision` significant digits (1 to 17), trailing
// zeros dropped, scientific form ("1.5e+20", "1e-08") when the power of ten
// is below -4 or not below the precision. Returns the end of the text.
char* general_chars(char* out, double value, int precision);

// The text of printf's "%.*f" (to_chars fixed): every whole digit and
// `decimals` (0 or more) rounded decimals.
std::string fixed_text(double value, int decimals);

// What reading back fixed_text(value, decimals) gives.
double nearest_with_decimals(double value, int decimals);

// The double nearest to a decimal number of the form
//     [sign] digits [. digits] [e|E [sign] digits]
// with ties to even; beyond the largest double it is infinite, below half
// the smallest it is zero, either with the number's sign.
double parse_decimal(std::string_view number);

// The shortest text that reads back to the same double, for files that
// other programs read (spreadsheets, Python): the fewest significant digits
// that do, the nearest to the value when several do, written plainly
// ("0.1", "-37.5", "1200") or in scientific form with a bare exponent
// ("1e-300", "1.5e22"), whichever is shorter, plainly when both are as
// long. Zero is "0" or "-0"; non-finite values are "inf", "-inf", "nan".
std::string shortest_text(double value);

}  // namespace heatplate
