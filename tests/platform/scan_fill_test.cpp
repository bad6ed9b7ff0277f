// The polygon filler against an independent oracle: a pixel is covered when its centre
// has an odd number of edge crossings at or left of it on its row (edges top-inclusive,
// bottom-exclusive), decided in exact integer arithmetic on doubled coordinates.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "platform/detail/scan_fill.h"

namespace kvr::detail {
namespace {

bool centre_inside(const std::vector<TPoint>& p, long long x, long long y) {
  const __int128 cx = 2 * x + 1, cy = 2 * y + 1;  // doubled pixel centre
  int crossings = 0;
  for (size_t i = 0; i < p.size(); ++i) {
    TPoint a = p[i], b = p[(i + 1) % p.size()];
    if (a.Y == b.Y) continue;
    if (a.Y > b.Y) std::swap(a, b);
    if (cy < 2 * (__int128)a.Y || cy >= 2 * (__int128)b.Y) continue;
    // Crossing x <= centre x  <=>  (2*a.X - cx) * dy + (cy - 2*a.Y) * dx <= 0
    const __int128 dx = (long long)b.X - a.X, dy = (long long)b.Y - a.Y;
    if ((2 * (__int128)a.X - cx) * dy + (cy - 2 * (__int128)a.Y) * dx <= 0) ++crossings;
  }
  return crossings & 1;
}

std::vector<uint8_t> fill(ScanFiller& f, const std::vector<TPoint>& p, const TRect& clip) {
  const int w = clip.Right - clip.Left, h = clip.Bottom - clip.Top;
  std::vector<uint8_t> cover(size_t(w) * h, 0);
  f.reset();
  f.add_contour(p.data(), int(p.size()));
  f.fill(clip, false, [&](int y, int x0, int x1) {
    for (int x = x0; x < x1; ++x) ++cover[size_t(y - clip.Top) * w + (x - clip.Left)];
  });
  return cover;
}

// The shortcut for contours crossed at most twice per row, where it applies, must give
// what the general filler gives.
std::vector<uint8_t> fill_monotone(ScanFiller& f, const std::vector<TPoint>& p, const TRect& clip,
                                   bool& applied) {
  const int w = clip.Right - clip.Left, h = clip.Bottom - clip.Top;
  std::vector<uint8_t> cover(size_t(w) * h, 0);
  applied = f.fill_monotone(p.data(), int(p.size()), clip, [&](int y, int x0, int x1) {
    for (int x = x0; x < x1; ++x) ++cover[size_t(y - clip.Top) * w + (x - clip.Left)];
  });
  return cover;
}

int g_monotone_applied = 0;

void expect_matches_oracle(ScanFiller& f, const std::vector<TPoint>& p, const TRect& clip) {
  bool applied = false;
  const auto mono = fill_monotone(f, p, clip, applied);
  if (applied) {
    ++g_monotone_applied;
    ASSERT_EQ(mono, fill(f, p, clip));
  }
  const auto cover = fill(f, p, clip);
  const int w = clip.Right - clip.Left;
  for (int y = clip.Top; y < clip.Bottom; ++y)
    for (int x = clip.Left; x < clip.Right; ++x) {
      const int got = cover[size_t(y - clip.Top) * w + (x - clip.Left)];
      ASSERT_EQ(got, centre_inside(p, x, y) ? 1 : 0) << "pixel " << x << "," << y;
    }
}

TEST(ScanFill, RandomSmallPolygonsMatchTheCentreRule) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> coord(-5, 45), count(2, 7);
  g_monotone_applied = 0;
  ScanFiller f;
  const TRect clip{0, 0, 40, 40};
  for (int k = 0; k < 400; ++k) {
    std::vector<TPoint> p(count(rng));
    for (auto& q : p) q = {coord(rng), coord(rng)};
    expect_matches_oracle(f, p, clip);
  }
  // Triangles, many quads and some larger random contours take the shortcut.
  EXPECT_GT(g_monotone_applied, 100);
}

TEST(ScanFill, ConvexCellsWithFlatTopsAndBottomsMatchTheCentreRule) {
  std::mt19937 rng(5);
  std::uniform_int_distribution<int> coord(-3, 43);
  ScanFiller f;
  const TRect clip{0, 0, 40, 40};
  g_monotone_applied = 0;
  for (int k = 0; k < 300; ++k) {
    const int l = coord(rng), r = coord(rng), t = coord(rng), b = coord(rng), m = coord(rng);
    // rectangles and trapezoids in both orientations, each starting at another vertex
    std::vector<TPoint> p = {{l, t}, {r, t}, {r + (m % 5), b}, {l - (m % 3), b}};
    std::rotate(p.begin(), p.begin() + (k % 4), p.end());
    if (k % 2) std::reverse(p.begin(), p.end());
    expect_matches_oracle(f, p, clip);
  }
  EXPECT_EQ(g_monotone_applied, 300);
}

// Vertices far outside the picture take the wide arithmetic; those near it the narrow
// one. Both must agree with the oracle, including an edge that spans both ranges.
TEST(ScanFill, DistantVerticesMatchTheCentreRule) {
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> near(-20, 60);
  const int far[] = {-2000000000, -300000000, -268435457, 268435456, 300000000, 2000000000};
  std::uniform_int_distribution<int> pick(0, 5);
  ScanFiller f;
  const TRect clip{0, 0, 40, 40};
  for (int k = 0; k < 300; ++k) {
    std::vector<TPoint> p = {{near(rng), near(rng)}, {far[pick(rng)], near(rng)},
                             {near(rng), far[pick(rng)]}, {near(rng), near(rng)}};
    expect_matches_oracle(f, p, clip);
  }
}

TEST(ScanFill, ClipOffsetFromTheOriginMatchesTheCentreRule) {
  std::mt19937 rng(3);
  std::uniform_int_distribution<int> coord(990, 1040);
  ScanFiller f;
  const TRect clip{1000, 1000, 1030, 1030};
  for (int k = 0; k < 200; ++k) {
    std::vector<TPoint> p(5);
    for (auto& q : p) q = {coord(rng), coord(rng)};
    expect_matches_oracle(f, p, clip);
  }
}

}  // namespace
}  // namespace kvr::detail
