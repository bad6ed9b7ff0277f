// Universal constants shared by the math, colour and chart units.
#pragma once

#include <cfloat>

namespace kvr {

// Largest finite double; also the start distance of nearest-item searches.
constexpr double uc_MaxDouble = DBL_MAX;
// Largest value of the old 6-byte real; stands for "infinite" in results that later
// arithmetic must still be able to add to or scale without overflowing.
constexpr double uc_MaxReal = 1.7e38;
constexpr double uc_ln10 = 2.30258509299404568401799145468436421;
constexpr double uc_pi = 3.14159265358979323846264338327950288;

}  // namespace kvr
