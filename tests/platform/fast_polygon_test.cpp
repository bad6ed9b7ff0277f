// The raster back end's short way for small polygons inside the clip must leave exactly
// the pixels of its general polygon(), and must decline, untouched, whatever it cannot
// draw that way.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "platform/bitmap.h"
#include "platform/detail/raster_backend.h"
#include "raster_util.h"

namespace kvr::detail {
namespace {

struct Pair {
  TBitmap general{53, 41}, fast{53, 41};
  RasterBackend g{general}, f{fast};
  explicit Pair(uint32_t seed) {
    kvr::test::noise(general, seed);
    kvr::test::noise(fast, seed);
  }
  // true when the short way drew; then both bitmaps must agree.
  bool draw(const std::vector<TPoint>& p, const Stroke* s, const Fill* fill) {
    g.polygon(p.data(), int(p.size()), s, fill);
    const auto before = kvr::test::snapshot(fast);
    if (!f.fast_polygon(p.data(), int(p.size()), s, fill)) {
      EXPECT_EQ(kvr::test::snapshot(fast), before) << "declined but drew";
      f.polygon(p.data(), int(p.size()), s, fill);
      return false;
    }
    return true;
  }
};

// Random contours of 2..9 vertices: triangles, cells, bow ties, spirals; short edges that
// the step table covers and long ones that it does not; some vertices off the bitmap.
TEST(FastPolygon, RandomContoursMatchTheGeneralPath) {
  std::mt19937 rng(17);
  std::uniform_int_distribution<int> count(2, 9), near(0, 9), colour(0, 0xFFFFFF), kind(0, 5);
  std::uniform_int_distribution<int> wide_x(-3, 55), wide_y(-3, 43);
  int applied = 0, declined = 0;
  for (int k = 0; k < 3000; ++k) {
    Pair pair{uint32_t(k)};
    const int shape = kind(rng);
    std::vector<TPoint> p(size_t(count(rng)));
    TPoint at{wide_x(rng), wide_y(rng)};
    for (TPoint& q : p) {
      if (shape < 3) {  // a small cell around a point, as surface cells are
        q = {std::clamp(at.X + near(rng) - 4, -1, 53), std::clamp(at.Y + near(rng) - 4, -1, 41)};
      } else {
        q = {wide_x(rng), wide_y(rng)};
      }
    }
    const Stroke s{colour(rng), psSolid, 1, pmCopy};
    const Fill fill{colour(rng), pmCopy};
    const int parts = k % 3;  // both, outline only, fill only
    const bool drawn = pair.draw(p, parts != 2 ? &s : nullptr, parts != 1 ? &fill : nullptr);
    ASSERT_EQ(kvr::test::snapshot(pair.fast), kvr::test::snapshot(pair.general)) << "contour " << k;
    drawn ? ++applied : ++declined;
  }
  EXPECT_GT(applied, 700);
  EXPECT_GT(declined, 300);
}

TEST(FastPolygon, DeclinesWhatItCannotDrawTheSameWay) {
  const std::vector<TPoint> cell{{10, 10}, {20, 12}, {18, 25}, {9, 20}};
  const Fill fill{0x123456, pmCopy};
  const Stroke thin{0x654321, psSolid, 1, pmCopy};
  const Stroke cases[] = {{0x654321, psDash, 1, pmCopy}, {0x654321, psSolid, 2, pmCopy},
                          {0x654321, psSolid, 1, pmXor}};
  for (const Stroke& s : cases) {
    Pair pair(1);
    EXPECT_FALSE(pair.draw(cell, &s, &fill));
  }
  {
    Pair pair(2);
    const Fill xor_fill{0x123456, pmXor};
    EXPECT_FALSE(pair.draw(cell, &thin, &xor_fill));
  }
  {
    // Every vertex on the bitmap but one outside the clip rectangle.
    Pair pair(3);
    const TRect clip{0, 0, 19, 41};
    pair.g.set_clip(&clip);
    pair.f.set_clip(&clip);
    EXPECT_FALSE(pair.draw(cell, &thin, &fill));
    EXPECT_EQ(kvr::test::snapshot(pair.fast), kvr::test::snapshot(pair.general));
  }
  {
    // Vertices at the ends of the integer range.
    Pair pair(6);
    const std::vector<TPoint> far{{10, 10}, {INT32_MIN, 20}, {20, INT32_MAX}, {INT32_MAX, INT32_MIN}};
    EXPECT_FALSE(pair.draw(far, &thin, &fill));
    EXPECT_EQ(kvr::test::snapshot(pair.fast), kvr::test::snapshot(pair.general));
  }
  {
    // Smooth drawing has its own pixels.
    Pair pair(4);
    pair.f.set_smooth(true);
    EXPECT_FALSE(pair.f.fast_polygon(cell.data(), 4, &thin, &fill));
  }
  {
    // A contour that some row crosses four times takes the general filler.
    Pair pair(5);
    const std::vector<TPoint> zigzag{{5, 5}, {10, 30}, {15, 8}, {20, 30}, {25, 5}, {15, 2}};
    EXPECT_FALSE(pair.draw(zigzag, &thin, &fill));
    EXPECT_EQ(kvr::test::snapshot(pair.fast), kvr::test::snapshot(pair.general));
  }
}

// The last column and row of the clip are inside; a vertex on them must still match.
TEST(FastPolygon, VerticesOnTheClipEdgesMatchTheGeneralPath) {
  Pair pair(9);
  const TRect clip{4, 3, 30, 22};
  pair.g.set_clip(&clip);
  pair.f.set_clip(&clip);
  const std::vector<TPoint> cell{{4, 3}, {29, 3}, {29, 21}, {4, 21}};
  const Stroke s{0xFF00FF, psSolid, 1, pmCopy};
  const Fill fill{0x00FF00, pmCopy};
  EXPECT_TRUE(pair.draw(cell, &s, &fill));
  EXPECT_EQ(kvr::test::snapshot(pair.fast), kvr::test::snapshot(pair.general));
}

}  // namespace
}  // namespace kvr::detail
