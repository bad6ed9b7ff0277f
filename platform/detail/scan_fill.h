// Scan conversion of polygons: pixel centres are sampled, edges are top-inclusive and
// bottom-exclusive, and only rows inside the clip are visited, so vertices millions of
// pixels away cost nothing extra. The filler keeps its buffers between calls.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/kvrerror.h"
#include "platform/types.h"

namespace kvr::detail {

struct PointF {
  double x, y;
};

// Liang-Barsky clipping of a segment to a box; false when nothing is left. P is any
// point type with members x and y.
template <class P>
bool clip_segment(P& a, P& b, double x0, double y0, double x1, double y1) {
  double t0 = 0, t1 = 1;
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {a.x - x0, x1 - a.x, a.y - y0, y1 - a.y};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double r = q[i] / p[i];
    if (p[i] < 0) {
      if (r > t1) return false;
      t0 = std::max(t0, r);
    } else {
      if (r < t0) return false;
      t1 = std::min(t1, r);
    }
  }
  const P a0 = a;
  a = {a0.x + t0 * dx, a0.y + t0 * dy};
  b = {a0.x + t1 * dx, a0.y + t1 * dy};
  return true;
}

// Whether every row crosses the closed contour at most twice: its vertical direction
// turns exactly twice. flat is set when no edge changes row (nothing to fill).
inline bool crosses_rows_twice(const TPoint* p, int n, bool& flat) {
  int turns = 0, last = 0, first = 0;
  for (int i = 0; i < n; ++i) {
    const long long dy = (long long)p[i + 1 == n ? 0 : i + 1].Y - p[i].Y;
    const int dir = (dy > 0) - (dy < 0);
    if (dir == 0) continue;
    if (last == 0) first = dir;
    else if (dir != last) ++turns;
    last = dir;
  }
  if (last != 0 && last != first) ++turns;
  flat = last == 0;
  return flat || turns == 2;
}

class ScanFiller {
 public:
  void reset() { edges_.clear(); }

  void add_edge(PointF a, PointF b) {
    if (a.y == b.y || !std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(b.x) ||
        !std::isfinite(b.y))
      return;
    Edge e;
    e.dir = 1;
    if (a.y > b.y) {
      std::swap(a, b);
      e.dir = -1;
    }
    e.x0 = a.x;
    e.y0 = a.y;
    e.dxdy = (b.x - a.x) / (b.y - a.y);
    e.ytop = ceil_row(a.y - 0.5);
    e.ybot = ceil_row(b.y - 0.5);
    if (e.ytop < e.ybot) edges_.push_back(e);
  }

  // Closed contour through n points.
  void add_contour(const PointF* p, int n) {
    for (int i = 0; i < n; ++i) add_edge(p[i], p[(i + 1) % n]);
  }

  // Integer vertices are pixel corners; their crossings are computed exactly, so the
  // result never depends on rounding.
  void add_edge(TPoint a, TPoint b) {
    if (a.Y == b.Y) return;
    Edge e;
    e.dir = 1;
    if (a.Y > b.Y) {
      std::swap(a, b);
      e.dir = -1;
    }
    e.exact = true;
    e.ix0 = a.X;
    e.iy0 = a.Y;
    e.idx = (long long)b.X - a.X;
    e.idy = (long long)b.Y - a.Y;
    e.ytop = a.Y;  // rows whose centre y + 0.5 lies in [a.Y, b.Y)
    e.ybot = b.Y;
    e.narrow = std::llabs(e.ix0) < kNarrow && std::llabs(e.iy0) < kNarrow &&
               std::llabs(e.idx) < 2 * kNarrow && e.idy < 2 * kNarrow;
    edges_.push_back(e);
  }

  void add_contour(const TPoint* p, int n) {
    for (int i = 0; i < n; ++i) add_edge(p[i], p[(i + 1) % n]);
  }

  // The same spans as add_contour + fill for a closed contour that every row crosses at
  // most twice (its y goes down once and up once: triangles, convex cells, bow ties), in
  // either rule, without the edge tables. False, with nothing drawn, for other contours
  // and for vertices beyond the 64-bit range; the caller then takes the general way.
  template <typename SpanFn>
  bool fill_monotone(const TPoint* p, int n, const TRect& clip, SpanFn&& span) {
    if (n < 2 || n > 64) return false;
    int top = 0;
    for (int i = 0; i < n; ++i) {
      if (std::llabs(p[i].X) >= kNarrow / 2 || std::llabs(p[i].Y) >= kNarrow / 2) return false;
      if (p[i].Y < p[top].Y) top = i;
    }
    if (std::llabs(clip.Top) >= kNarrow || std::llabs(clip.Bottom) >= kNarrow) return false;
    bool flat = false;
    if (!crosses_rows_twice(p, n, flat)) return false;
    if (flat || clip.Right <= clip.Left) return true;  // nothing to fill
    const long long y0 = std::max<long long>(p[top].Y, clip.Top);
    Chain a{p, n, top, 1}, b{p, n, top, n - 1};
    for (long long y = y0; y < clip.Bottom; ++y) {
      if (!a.at(y) || !b.at(y)) break;
      const long long xa = std::clamp<long long>(a.next(), clip.Left, clip.Right);
      const long long xb = std::clamp<long long>(b.next(), clip.Left, clip.Right);
      if (xa != xb) span(static_cast<int>(y), static_cast<int>(std::min(xa, xb)), static_cast<int>(std::max(xa, xb)));
    }
    return true;
  }

  // fill_monotone for a contour of at most kSmallCount vertices whose coordinates all lie
  // in [0, kSmallCoord): nothing to clip, and every product fits 32 bits, so surface cells
  // by the ten thousand cost little. Same spans, same result; false, with nothing drawn,
  // for other contours. It calls span(y, x_begin, length), empty runs included.
  static constexpr int kSmallCount = 16;
  static constexpr int kSmallCoord = 1 << 14;
  // N, when not 0, is the count known when compiling (the cells of a surface are quads).
  template <int N = 0, typename SpanFn>
  static bool fill_monotone_small(const TPoint* p, int count, SpanFn&& span) {
    const int n = N ? N : count;
    if (n < 2 || n > kSmallCount) return false;
    int top = 0, bottom = 0;
    for (int i = 0; i < n; ++i) {
      if (unsigned(p[i].X) >= unsigned(kSmallCoord) || unsigned(p[i].Y) >= unsigned(kSmallCoord)) return false;
      if (p[i].Y < p[top].Y) top = i;
      if (p[i].Y > p[bottom].Y) bottom = i;
    }
    bool flat = false;
    if (!crosses_rows_twice(p, n, flat)) return false;
    if (flat) return true;  // nothing to fill
    SmallChain a{p, n, top, 1}, b{p, n, top, n - 1};
    for (int y = p[top].Y; y < p[bottom].Y;) {
      if (!a.at(y) || !b.at(y)) break;
      // Rows down to the nearer edge end need no edge changes.
      for (const int end = std::min(a.ybot, b.ybot); y < end; ++y) {
        // Ends in either order, sorted without a branch.
        const int xa = a.next(), d = b.next() - xa, neg = d >> 31;
        span(y, xa + (d & neg), (d ^ neg) - neg);
      }
    }
    return true;
  }

  // Calls span(y, x_begin, x_end) for every covered run inside clip (x_end exclusive).
  // nonzero: the union of all contours; otherwise the alternate (even-odd) rule.
  template <typename SpanFn>
  void fill(const TRect& clip, bool nonzero, SpanFn&& span) {
    if (edges_.empty() || clip.Right <= clip.Left || clip.Bottom <= clip.Top) return;
    order_.clear();
    for (size_t i = 0; i < edges_.size(); ++i) {
      Edge& e = edges_[i];
      e.ytop = std::max<long long>(e.ytop, clip.Top);
      e.ybot = std::min<long long>(e.ybot, clip.Bottom);
      if (e.ytop < e.ybot) order_.push_back(static_cast<int>(i));
    }
    if (order_.empty()) return;
    std::sort(order_.begin(), order_.end(),
              [&](int a, int b) { return edges_[a].ytop < edges_[b].ytop; });
    active_.clear();
    size_t next = 0;
    long long y = edges_[order_[0]].ytop;
    const double xlo = double(clip.Left) - 1.0, xhi = double(clip.Right) + 1.0;
    using Wide = __int128;
    // Crossings of narrow edges on these rows fit 64-bit arithmetic (|2N - D| < 2^61) and are
    // stepped from row to row; a distant vertex needs a 128-bit division per row.
    const bool narrow_rows = std::llabs(clip.Top) < kNarrow && std::llabs(clip.Bottom) < kNarrow;
    while (true) {
      while (next < order_.size() && edges_[order_[next]].ytop == y) {
        const int i = order_[next++];
        start_stepping(edges_[i], y, narrow_rows);
        active_.push_back(i);
      }
      std::erase_if(active_, [&](int i) { return edges_[i].ybot <= y; });
      if (active_.empty()) {
        if (next >= order_.size()) break;
        y = edges_[order_[next]].ytop;
        continue;
      }
      const double yc = double(y) + 0.5;
      xs_.clear();
      // Each crossing becomes the first pixel whose centre is at or right of it.
      for (int i : active_) {
        Edge& e = edges_[i];
        long long first;
        if (e.stepping) {
          first = e.q;
          e.q += e.qstep;
          e.slack -= e.rstep;
          if (e.slack < 0) {
            ++e.q;
            e.slack += e.den;
          }
        } else if (e.exact) {
          // x = x0 + (y + 0.5 - y0) * dx / dy; first = ceil(x - 0.5) = ceil((2N - D) / 2D)
          const Wide d = Wide(2) * e.idy;
          const Wide n = Wide(2) * e.ix0 * e.idy + (Wide(2) * y + 1 - Wide(2) * e.iy0) * e.idx;
          first = static_cast<long long>(ceil_wide(2 * n - d, 2 * d));
        } else {
          const double x = std::clamp(e.x0 + (yc - e.y0) * e.dxdy, xlo, xhi);
          first = ceil_row(x - 0.5);
        }
        xs_.push_back({std::clamp<long long>(first, clip.Left, clip.Right), e.dir});
      }
      if (xs_.size() == 2) {
        // A row through two edges: their directions are opposite, so both rules fill between.
        const long long x0 = std::min(xs_[0].x, xs_[1].x), x1 = std::max(xs_[0].x, xs_[1].x);
        if (x0 < x1) span(static_cast<int>(y), static_cast<int>(x0), static_cast<int>(x1));
        if (++y >= clip.Bottom) break;
        continue;
      }
      sort_crossings();
      int wind = 0;
      for (size_t k = 0; k + 1 < xs_.size(); ++k) {
        wind = nonzero ? wind + xs_[k].dir : wind ^ 1;
        if (wind == 0) continue;
        const long long x0 = xs_[k].x, x1 = xs_[k + 1].x;
        KVR_ASSERT(y >= clip.Top && y < clip.Bottom, "scan line outside the clip");
        if (x0 < x1) span(static_cast<int>(y), static_cast<int>(x0), static_cast<int>(x1));
      }
      ++y;
      if (y >= clip.Bottom) break;
    }
  }

 private:
  struct Edge {
    double x0 = 0, y0 = 0, dxdy = 0;
    long long ix0 = 0, iy0 = 0, idx = 0, idy = 0;
    long long ytop = 0, ybot = 0;
    int dir = 1;
    bool exact = false;
    bool narrow = false;  // integer vertex and extent below kNarrow
    bool stepping = false;
    long long q = 0, slack = 0, qstep = 0, rstep = 0, den = 1;
  };
  static constexpr long long kNarrow = 1LL << 28;

  // One side of a monotone contour, walked from its top vertex in steps of +1 or n-1
  // (backwards) through edges whose y does not decrease, with the crossing of the current
  // edge stepped from row to row as in fill().
  struct Chain {
    const TPoint* p;
    int n, v, step;
    Edge e;
    bool started = false;
    Chain(const TPoint* pts, int count, int from, int dir) : p(pts), n(count), v(from), step(dir) {}
    // Makes the edge covering row y current; false when the side has ended above it.
    bool at(long long y) {
      if (started && y < e.ybot) return true;
      for (int guard = 0; guard < n; ++guard) {
        const TPoint a = p[v], b = p[(v + step) % n];
        if (b.Y < a.Y) return false;  // the side turned upwards: the contour is done
        v = (v + step) % n;
        if (b.Y <= y) continue;
        e.ix0 = a.X;
        e.iy0 = a.Y;
        e.idx = (long long)b.X - a.X;
        e.idy = (long long)b.Y - a.Y;
        e.ybot = b.Y;
        e.exact = e.narrow = true;
        start_stepping(e, y, true);
        started = true;
        return true;
      }
      return false;
    }
    long long next() {
      const long long first = e.q;
      e.q += e.qstep;
      e.slack -= e.rstep;
      if (e.slack < 0) {
        ++e.q;
        e.slack += e.den;
      }
      return first;
    }
  };
  // floor(n / d) = (n * ceil(2^40 / d)) >> 40 for d = 2 * rise <= 32 and 0 <= n < 2^35:
  // the product's excess n * (m * d - 2^40) / (d * 2^40) stays under 1 / d. The product
  // fits 64 bits while the quotient is below 2^16, as both of SmallChain's are. Short
  // edges are most of a surface's, and this spares them two divisions.
  static constexpr int kShortRise = 16;
  static constexpr int kRecipShift = 40;
  static constexpr std::array<uint64_t, kShortRise + 1> kRecip = [] {
    std::array<uint64_t, kShortRise + 1> t{};
    for (int i = 1; i <= kShortRise; ++i) t[size_t(i)] = ((uint64_t(1) << kRecipShift) + 2 * i - 1) / (2 * i);
    return t;
  }();

  // Chain in 32-bit arithmetic for fill_monotone_small: |A| < 2^30 for coordinates
  // below 2^14, and the index steps without a division.
  struct SmallChain {
    const TPoint* p;
    int n, v, step;
    int q = 0, slack = 0, qstep = 0, rstep = 0, den = 1, ybot = 0;
    bool started = false;
    SmallChain(const TPoint* pts, int count, int from, int dir) : p(pts), n(count), v(from), step(dir) {}
    bool at(int y) {
      if (started && y < ybot) return true;
      for (int guard = 0; guard < n; ++guard) {
        int w = v + step;
        if (w >= n) w -= n;
        const TPoint a = p[v], b = p[w];
        if (b.Y < a.Y) return false;
        v = w;
        if (b.Y <= y) continue;
        const int idx = b.X - a.X, idy = b.Y - a.Y;
        den = 2 * idy;
        const int num = 2 * a.X * idy + (2 * (y - a.Y) + 1) * idx - idy;
        const int growth = 2 * idx;
        if (idy <= kShortRise) {
          // Both quotients by multiplication. The crossing is at x >= 0, so num >= -idy
          // and the ceiling is the floor of num + den - 1 >= 0; the growth is lifted by
          // den * 2^15 > |growth| to be positive as well.
          const uint64_t m = kRecip[idy];
          q = int((uint64_t(num + den - 1) * m) >> kRecipShift);
          qstep = int((uint64_t(growth + (den << 15)) * m) >> kRecipShift) - (1 << 15);
        } else {
          q = num / den;
          if (num % den != 0 && num > 0) ++q;
          qstep = growth / den;
          if (growth % den != 0 && growth < 0) --qstep;
        }
        slack = q * den - num;
        rstep = growth - qstep * den;
        ybot = b.Y;
        started = true;
        return true;
      }
      return false;
    }
    // Without a branch: the carry comes every few rows in no pattern.
    int next() {
      const int first = q;
      q += qstep;
      slack -= rstep;
      const int borrow = slack >> 31;  // -1 when negative
      q -= borrow;
      slack += den & borrow;
      return first;
    }
  };
  struct Crossing {
    long long x;
    int dir;
  };
  static __int128 ceil_wide(__int128 a, __int128 b) {  // b > 0
    __int128 q = a / b;
    if (a % b != 0 && a > 0) ++q;
    return q;
  }
  // The first pixel of a narrow exact edge is ceil(A / B) with A growing by a constant
  // step per row, so after one division per edge the rows need none: q and the slack
  // q * B - A (0 <= slack < B) are carried along.
  static void start_stepping(Edge& e, long long y, bool narrow_rows) {
    e.stepping = e.exact && e.narrow && narrow_rows;
    if (!e.stepping) return;
    e.den = 2 * e.idy;
    const long long a = 2 * e.ix0 * e.idy + (2 * y + 1 - 2 * e.iy0) * e.idx - e.idy;
    e.q = ceil_div(a, e.den);
    e.slack = e.q * e.den - a;
    const long long step = 2 * e.idx;  // growth of A per row
    e.qstep = floor_div(step, e.den);
    e.rstep = step - e.qstep * e.den;
  }
  // Rows of small polygons cross two or four edges: insertion sort beats the general sort.
  void sort_crossings() {
    if (xs_.size() > 16) {
      std::sort(xs_.begin(), xs_.end(), [](const Crossing& a, const Crossing& b) { return a.x < b.x; });
      return;
    }
    for (size_t i = 1; i < xs_.size(); ++i) {
      const Crossing c = xs_[i];
      size_t j = i;
      for (; j > 0 && xs_[j - 1].x > c.x; --j) xs_[j] = xs_[j - 1];
      xs_[j] = c;
    }
  }
  static long long ceil_div(long long a, long long b) {  // b > 0
    long long q = a / b;
    if (a % b != 0 && a > 0) ++q;
    return q;
  }
  static long long floor_div(long long a, long long b) {  // b > 0
    long long q = a / b;
    if (a % b != 0 && a < 0) --q;
    return q;
  }
  static long long ceil_row(double v) {
    if (v > 4e18) return 4000000000000000000LL;
    if (v < -4e18) return -4000000000000000000LL;
    return static_cast<long long>(std::ceil(v));
  }

  std::vector<Edge> edges_;
  std::vector<int> order_;
  std::vector<int> active_;
  std::vector<Crossing> xs_;
};

}  // namespace kvr::detail
