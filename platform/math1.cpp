#include "platform/math1.h"

#include <algorithm>
#include <random>

namespace kvr {

namespace {

// 10^k for k >= 0 in extended precision; exact up to 10^27, which covers every step
// a double range can need to divide by.
long double pow10l_nonneg(int k) {
  long double r = 1.0L;
  long double b = 10.0L;
  while (k > 0) {
    if (k & 1) r *= b;
    b *= b;
    k >>= 1;
  }
  return r;
}

}  // namespace

void CalcScalePars(Integer NTicks, Extended Low, Extended High, Extended& FirstTick,
                   Extended& Dist, Word& NSubTicks) {
  FirstTick = std::isfinite(Low) ? Low : 0.0L;
  Dist = 0.0L;
  NSubTicks = 1;
  if (!std::isfinite(Low) || !std::isfinite(High) || Low == High) return;
  if (NTicks < 1) NTicks = 1;

  long double raw = std::fabs(High - Low) / NTicks;
  if (!std::isfinite(raw)) raw = std::fabs(High * 0.5L - Low * 0.5L) / NTicks * 2.0L;
  if (!(raw > 0.0L) || !std::isfinite(raw)) return;

  int e = static_cast<int>(std::floor(std::log10(raw)));
  // log10 may land one decade off near powers of ten; settle it on the mantissa.
  long double mag = e >= 0 ? pow10l_nonneg(e) : 1.0L / pow10l_nonneg(-e);
  long double norm = raw / mag;
  if (norm >= 10.0L) { ++e; norm /= 10.0L; }
  if (norm < 1.0L) { --e; norm *= 10.0L; }

  // Geometric midpoints between 1, 2, 5 and 10 keep the interval count within a factor
  // of about 1.6 of the wanted count.
  int m;
  if (norm < 1.41421356237L) m = 1;
  else if (norm < 3.16227766017L) m = 2;
  else if (norm < 7.07106781187L) m = 5;
  else { m = 1; ++e; }
  NSubTicks = (m == 2) ? 4 : 5;

  // Multiples of m * 10^e are formed as integer * m divided by an exact power of ten, so
  // that 0.1-steps give 0.3 and not 0.30000000000000004.
  const long double p10 = pow10l_nonneg(e >= 0 ? e : -e);
  auto multiple = [&](long double k) {
    return e >= 0 ? k * m * p10 : k * m / p10;
  };
  const long double step = multiple(1.0L);
  if (!(step > 0.0L) || !std::isfinite(step)) {
    NSubTicks = 1;
    return;
  }
  const long double q = Low / step;
  if (High > Low) {
    FirstTick = multiple(std::ceil(q - 1e-9L));
    Dist = step;
  } else {
    FirstTick = multiple(std::floor(q + 1e-9L));
    Dist = -step;
  }
}

double DistanceToSegment(double Px, double Py, double Ax, double Ay, double Bx, double By) {
  const double dx = Bx - Ax;
  const double dy = By - Ay;
  const double len2 = dx * dx + dy * dy;
  double t = 0.0;
  if (len2 > 0.0 && std::isfinite(len2)) {
    t = ((Px - Ax) * dx + (Py - Ay) * dy) / len2;
    t = std::clamp(t, 0.0, 1.0);
  }
  return std::hypot(Px - (Ax + t * dx), Py - (Ay + t * dy));
}

Integer DistFromRect(const TPoint& P, const TRect& R) {
  const double l = std::min(R.Left, R.Right), r = std::max(R.Left, R.Right);
  const double t = std::min(R.Top, R.Bottom), b = std::max(R.Top, R.Bottom);
  const double x = P.X, y = P.Y;
  const double dx = x < l ? l - x : (x > r ? x - r : 0.0);
  const double dy = y < t ? t - y : (y > b ? y - b : 0.0);
  return ClampPix(Round(std::hypot(dx, dy)));
}

namespace {

// Nearest point of the ellipse (x/e0)^2 + (y/e1)^2 = 1 to (y0, y1), all in the first
// quadrant with e0 >= e1 > 0. Bisection on the Lagrange parameter: robust where Newton's
// method fails (points near the axes and near the centre of flat ellipses).
void nearest_on_ellipse_q1(double e0, double e1, double y0, double y1, double& x0,
                           double& x1) {
  if (y1 > 0.0) {
    if (y0 > 0.0) {
      const double z0 = y0 / e0, z1 = y1 / e1;
      const double g = z0 * z0 + z1 * z1 - 1.0;
      if (g == 0.0) {
        x0 = y0;
        x1 = y1;
        return;
      }
      const double r0 = (e0 / e1) * (e0 / e1);
      const double n0 = r0 * z0;
      double s0 = z1 - 1.0;
      double s1 = g < 0.0 ? 0.0 : std::hypot(n0, z1) - 1.0;
      double s = 0.0;
      for (int i = 0; i < 1100; ++i) {
        s = 0.5 * (s0 + s1);
        if (s == s0 || s == s1) break;
        const double ra = n0 / (s + r0), rb = z1 / (s + 1.0);
        const double gs = ra * ra + rb * rb - 1.0;
        if (gs > 0.0) s0 = s;
        else if (gs < 0.0) s1 = s;
        else break;
      }
      x0 = r0 * y0 / (s + r0);
      x1 = y1 / (s + 1.0);
      return;
    }
    x0 = 0.0;
    x1 = e1;
    return;
  }
  const double numer0 = e0 * y0;
  const double denom0 = e0 * e0 - e1 * e1;
  if (numer0 < denom0) {
    const double xde0 = numer0 / denom0;
    x0 = e0 * xde0;
    x1 = e1 * std::sqrt(std::max(0.0, 1.0 - xde0 * xde0));
  } else {
    x0 = e0;
    x1 = 0.0;
  }
}

}  // namespace

double DistFromEllipse(double Px, double Py, double a, double b, double Cx, double Cy,
                       double& Nx, double& Ny) {
  Nx = Cx;
  Ny = Cy;
  if (std::isnan(Px) || std::isnan(Py) || std::isnan(a) || std::isnan(b) ||
      !std::isfinite(Cx) || !std::isfinite(Cy))
    return uc_MaxDouble;
  a = std::fabs(a);
  b = std::fabs(b);
  const double dx = Px - Cx, dy = Py - Cy;
  if (!std::isfinite(dx) || !std::isfinite(dy) || !std::isfinite(a) || !std::isfinite(b))
    return uc_MaxDouble;

  if (a == 0.0 || b == 0.0) {
    // A flat ellipse is the segment along its longer axis; it has no inside.
    const double qx = std::clamp(dx, -a, a), qy = std::clamp(dy, -b, b);
    Nx = Cx + qx;
    Ny = Cy + qy;
    return std::hypot(dx - qx, dy - qy);
  }

  const bool swap = b > a;
  const double e0 = swap ? b : a, e1 = swap ? a : b;
  const double y0 = std::fabs(swap ? dy : dx), y1 = std::fabs(swap ? dx : dy);
  double x0 = 0, x1 = 0;
  nearest_on_ellipse_q1(e0, e1, y0, y1, x0, x1);
  double qx = swap ? x1 : x0, qy = swap ? x0 : x1;
  qx = std::copysign(qx, dx);
  qy = std::copysign(qy, dy);
  Nx = Cx + qx;
  Ny = Cy + qy;
  const double inside = (dx / a) * (dx / a) + (dy / b) * (dy / b);
  if (inside <= 1.0) return 0.0;
  return std::hypot(dx - qx, dy - qy);
}

namespace {

struct NormalSource {
  std::mt19937_64 engine{0x6b7672u};
  bool has_spare = false;
  double spare = 0.0;

  double uniform_open() {
    // 53 random bits mapped into (0, 1], so that log() never sees 0.
    return (static_cast<double>(engine() >> 11) + 1.0) * 0x1.0p-53;
  }
  // Box-Muller: our own, so that a seed gives the same numbers with every standard library.
  double next() {
    if (has_spare) {
      has_spare = false;
      return spare;
    }
    const double u1 = uniform_open(), u2 = uniform_open();
    const double r = std::sqrt(-2.0 * std::log(u1));
    const double t = 2.0 * uc_pi * u2;
    spare = r * std::sin(t);
    has_spare = true;
    return r * std::cos(t);
  }
};

// One per thread: no locking, and each thread's sequence is reproducible on its own.
NormalSource& normal_source() {
  thread_local NormalSource s;
  return s;
}

}  // namespace

double GRandom() { return normal_source().next(); }

double GRandom(double Mean, double StdDev) { return Mean + StdDev * GRandom(); }

void GRandomize(uint64_t Seed) {
  NormalSource& s = normal_source();
  s.engine.seed(Seed);
  s.has_spare = false;
}

namespace detail {

double percentile_sorted(std::span<const double> sorted, double prob) {
  if (sorted.empty() || std::isnan(prob)) return 0.0;
  prob = std::clamp(prob, 0.0, 1.0);
  const double h = static_cast<double>(sorted.size() - 1) * prob;
  const size_t lo = static_cast<size_t>(std::floor(h));
  if (lo + 1 >= sorted.size()) return sorted.back();
  const double f = h - static_cast<double>(lo);
  const double a = sorted[lo], b = sorted[lo + 1];
  if (f == 0.0 || a == b) return a;
  // Interpolating towards an infinite neighbour gives that infinity, never inf - inf.
  if (std::isinf(a) && a < 0) return a;
  if (std::isinf(b) && b > 0) return b;
  return a + f * (b - a);
}

double percentile_of(std::vector<double> values, double prob) {
  std::erase_if(values, [](double v) { return std::isnan(v); });
  std::sort(values.begin(), values.end());
  return percentile_sorted(values, prob);
}

}  // namespace detail

}  // namespace kvr
