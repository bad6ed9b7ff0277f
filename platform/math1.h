// Scalar mathematics the chart units call: round-number tick steps, distances of a point
// from figures, sign and floor helpers, normally distributed random numbers, and the one
// percentile estimator every table and matrix of the library uses.
//
// Percentiles: linear interpolation between the closest ranks. For n sorted values
// x[0..n-1] and a fraction p in 0..1, h = (n - 1) * p and the result is
// x[floor h] + (h - floor h) * (x[floor h + 1] - x[floor h]). So p = 0 is the minimum,
// p = 1 the maximum and p = 0.5 the usual median; the quartiles are p = 0.25, 0.5, 0.75.
// NaN values take no part; an empty set gives 0.
#pragma once

#include <cmath>
#include <cstdint>
#include <span>
#include <type_traits>
#include <vector>

#include "platform/arith.h"
#include "platform/types.h"
#include "platform/univconst.h"

namespace kvr {

// Tick parameters for a linear range from Low to High (either order).
// Dist is 1, 2 or 5 times a power of ten, signed like High - Low, chosen so that the range
// holds about NTicks intervals. FirstTick is the first multiple of |Dist| at or beyond Low
// in the direction of High (a value within 1e-9 of a step short of Low counts as "at Low",
// so that rounding noise never hides the tick at the low end). NSubTicks (>= 1) is the
// number of minor intervals per Dist. A degenerate range (Low = High, NaN or infinite
// limits) gives Dist = 0, which callers take as "no ticks".
void CalcScalePars(Integer NTicks, Extended Low, Extended High, Extended& FirstTick,
                   Extended& Dist, Word& NSubTicks);

// Distance of (Px, Py) from the segment A-B (a point when A = B).
double DistanceToSegment(double Px, double Py, double Ax, double Ay, double Bx, double By);

// The same for any point type with X and Y members (TPoint, TPointDouble). Segment ends
// given as brace lists take the type of the first point.
template <class P, class A = P, class B = A>
double DistanceToSegment(const P& Pt, const A& PA, const B& PB) {
  return DistanceToSegment(double(Pt.X), double(Pt.Y), double(PA.X), double(PA.Y),
                           double(PB.X), double(PB.Y));
}

// For three brace lists, which give the template nothing to deduce:
// DistanceToSegment({1, 2}, {0, 0}, {3, 0}).
inline double DistanceToSegment(const TPointDouble& Pt, const TPointDouble& PA,
                                const TPointDouble& PB) {
  return DistanceToSegment(Pt.X, Pt.Y, PA.X, PA.Y, PB.X, PB.Y);
}

// Euclidean distance of P from the closed rectangle R (corners in any order), rounded to
// the nearest integer (at most 2147483647); 0 on or inside the rectangle.
Integer DistFromRect(const TPoint& P, const TRect& R);

// Distance of (Px, Py) from the outline of the axis-parallel ellipse with semi-axes a, b
// (signs ignored) centred at (Cx, Cy); 0 inside. Nx, Ny receive the nearest outline point
// (for inside points too). An ellipse with a zero semi-axis is a segment; NaN input gives
// uc_MaxDouble with the centre as the nearest point.
double DistFromEllipse(double Px, double Py, double a, double b, double Cx, double Cy,
                       double& Nx, double& Ny);

template <class P, class Q>
double DistFromEllipse(const P& Pt, double a, double b, double Cx, double Cy, Q& Nearest) {
  double nx = 0, ny = 0;
  double d = DistFromEllipse(double(Pt.X), double(Pt.Y), a, b, Cx, Cy, nx, ny);
  if constexpr (std::is_integral_v<decltype(Nearest.X)>) {
    Nearest.X = RoundPix(nx);
    Nearest.Y = RoundPix(ny);
  } else {
    Nearest.X = nx;
    Nearest.Y = ny;
  }
  return d;
}

template <class T>
void ExChange(T& a, T& b) {
  T t = a;
  a = b;
  b = t;
}

// -1, 0 or +1; NaN gives 0.
template <class T>
  requires std::is_arithmetic_v<T>
Integer Signum(T v) {
  if (v > T(0)) return 1;
  if (v < T(0)) return -1;
  return 0;
}

// Zooms the range Low..High by the factor F about its centre, giving NewLow..NewHigh (F = 2
// doubles the width). A logarithmic range zooms about its geometric centre, which is the
// centre on the screen, and keeps both limits positive if they were. F is the precision
// of the whole computation, so that the mouse code of each control keeps its own.
template <class F>
void ZoomAboutCentre(F Low, F High, bool Log, F Factor, F& NewLow, F& NewHigh) {
  if (Log) {
    const F g = std::sqrt(Low * High);
    const F v = std::exp(std::log(High / g) * Factor);
    NewLow = g / v;
    NewHigh = g * v;
  } else {
    const F c = (Low + High) / 2, h = (High - Low) / 2 * Factor;
    NewLow = c - h;
    NewHigh = c + h;
  }
}

// Integer part rounded towards minus infinity (floor), as a floating value.
inline double IntNeg(double v) { return std::floor(v); }
inline long double IntNeg(long double v) { return std::floor(v); }

// A normally distributed random number (mean 0, standard deviation 1). The generator
// starts from a fixed seed, so a program draws the same sequence on every run unless it
// calls GRandomize. Every thread has its own generator, starting from that same seed;
// GRandomize seeds the calling thread's.
double GRandom();
double GRandom(double Mean, double StdDev);
void GRandomize(uint64_t Seed);

namespace detail {

// The library's percentile estimator (see the top of this file) on values already sorted
// ascending and free of NaN. Prob is clamped to 0..1; NaN Prob gives 0.
double percentile_sorted(std::span<const double> sorted, double prob);

// Copies, drops NaN, sorts and applies percentile_sorted.
double percentile_of(std::vector<double> values, double prob);

}  // namespace detail

}  // namespace kvr
