// Helpers shared by the raster canvas tests.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/bitmap.h"

namespace kvr::test {

inline std::vector<uint32_t> snapshot(const TBitmap& b) {
  const auto* p = reinterpret_cast<const uint32_t*>(b.Bits());
  return std::vector<uint32_t>(p, p + size_t(b.Width()) * b.Height());
}

// Fills the bitmap with a deterministic pattern of colours.
inline void noise(TBitmap& b, uint32_t seed) {
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) {
      seed = seed * 1664525u + 1013904223u;
      b.ScanLine(y)[x] = TRGB32{uint8_t(seed >> 8), uint8_t(seed >> 16), uint8_t(seed >> 24), 255};
    }
}

// 1 where the pixel has the colour, row-major.
inline std::vector<uint8_t> mask_of(const TBitmap& b, TColor c) {
  std::vector<uint8_t> m(size_t(b.Width()) * b.Height());
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) m[size_t(y) * b.Width() + x] = b.Canvas()->Pixels(x, y) == c;
  return m;
}

inline int count_color(const TBitmap& b, TColor c) {
  int n = 0;
  for (uint8_t v : mask_of(b, c)) n += v;
  return n;
}

}  // namespace kvr::test
