// The framework's arithmetic rules, one helper each, used everywhere pixels are computed:
// Round is half-to-even, Trunc/div/mod truncate toward zero, Frac keeps the sign.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace kvr {

constexpr double kMaxPixelCoord = 2147483647.0;

// Half-to-even rounding; NaN gives 0, values beyond the int64 range saturate.
inline int64_t Round(long double v) {
  if (std::isnan(v)) return 0;
  if (v >= 9.2233720368547758e18L) return std::numeric_limits<int64_t>::max();
  if (v <= -9.2233720368547758e18L) return std::numeric_limits<int64_t>::min();
  // rint rounds half to even in the default mode, like nearbyint, without the costly
  // save and restore of the FP environment that nearbyint does for long double.
  return static_cast<int64_t>(std::rint(v));
}

// Truncation toward zero, saturating like Round.
inline int64_t Trunc(long double v) {
  if (std::isnan(v)) return 0;
  if (v >= 9.2233720368547758e18L) return std::numeric_limits<int64_t>::max();
  if (v <= -9.2233720368547758e18L) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(v);
}

inline double Int(double v) { return std::trunc(v); }
inline double Frac(double v) { return v - std::trunc(v); }

// Limits a coordinate to ±2147483647, then rounds half to even. NaN maps to the far
// negative end so that a bad coordinate lands outside every surface.
inline int32_t RoundPix(long double v) {
  if (std::isnan(v)) return -2147483647;
  if (v > kMaxPixelCoord) v = kMaxPixelCoord;
  if (v < -kMaxPixelCoord) v = -kMaxPixelCoord;
  return static_cast<int32_t>(Round(v));
}

// The same for a double, on the SSE unit: x87 conversions of long double to integers
// switch the control word and cost tens of cycles per point in mapping loops.
inline int32_t RoundPix(double v) {
  if (std::isnan(v)) return -2147483647;
  if (v > kMaxPixelCoord) v = kMaxPixelCoord;
  if (v < -kMaxPixelCoord) v = -kMaxPixelCoord;
  return static_cast<int32_t>(std::rint(v));
}

// Clamps a wide integer into the pixel range ±2147483647.
inline int32_t ClampPix(int64_t v) {
  if (v > 2147483647) return 2147483647;
  if (v < -2147483647) return -2147483647;
  return static_cast<int32_t>(v);
}

}  // namespace kvr
