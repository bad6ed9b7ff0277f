// Number text: the framework's fixed-point and exponent conversions and the number text
// of numeric tick labels built on them.
//
// Rounding: a value is rounded half away from zero on its shortest decimal form (the
// shortest digits that read back as the same double), so 2.5 with 0 decimals gives "3"
// and 1.005 with 2 decimals gives "1.01", as a reader of the value would expect.
// A value that rounds to zero is written without a minus sign. NaN gives "NaN",
// infinities "Inf" and "-Inf".
#pragma once

#include <string>

#include "platform/types.h"

namespace kvr {

// Fixed point with Decimals digits after the point (clamped to 0..30), right-justified
// in at least Width characters; the sign only for negative values.
std::string StrFloatFixed(double Value, Integer Width, Integer Decimals);

// Exponent form: sign position (blank or "-"), one digit, point, k digits, "E", exponent
// sign, four exponent digits, where k = Width - 9 but at least 1 (so Width 3 gives
// " 1.0E+0006"); right-justified in at least Width characters.
std::string StrFloatExp(double Value, Integer Width);

// The number text of numeric tick labels. Decimals <> -1: StrFloatFixed(Value, 1,
// Decimals). Decimals = -1: StrFloatExp(Value, 3) with the exponent shortened to two
// digits when its first two digits are "00"; an exponent that needs more than two digits
// deletes those two as well and then turns every character into "*" (1e150 gives
// "********", the same length as " 1.0E+50").
std::string NumberText(double Value, Integer Decimals);

// General form with Digits significant digits (1..17): fixed point for decimal exponents
// -4..Digits-1, else mantissa and "E+dd"/"E-dd" (at least two exponent digits); trailing
// zeros of the fraction are dropped. Used by strff and SigDigStr.
std::string StrFloatGeneral(double Value, Integer Digits);

namespace detail {

// Decimal digits of a double: Value = 0.d1d2d3... * 10^(exp10 + 1), i.e. the first digit
// stands at the position 10^exp10. Zero gives digits "0" and exp10 0.
struct DecimalDigits {
  bool negative = false;
  std::string digits;
  int exp10 = 0;
};

DecimalDigits shortest_digits(double v);
// Rounds half up so that `keep` leading digits remain (keep <= 0 works: the result is
// "0" or "1" at a higher position); trailing zeros are dropped.
void round_digits(DecimalDigits& d, int keep);

}  // namespace detail

}  // namespace kvr
