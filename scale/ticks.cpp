#include "scale/ticks.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/kvrmath.h"

namespace kvr::detail {

namespace {

constexpr double kRelTol = 0.999999999;
constexpr double kDayOfHundredth = 1.1574074074074074e-07;
constexpr double kDayOfSecond = 1.1574074074074073e-05;
constexpr double kDayOfMinute = 0.0006944444444444445;
constexpr double kDayOfHour = 0.041667;
constexpr double kWalkEnd = 1e-8;  // days a date tick may lie beyond High

struct DurationStep {
  double seconds;
  int subdivisions;
};

constexpr DurationStep kDurationSteps[28] = {
    {0.001, 5}, {0.002, 4}, {0.005, 5}, {0.01, 5},   {0.02, 4},    {0.05, 5},    {0.1, 5},
    {0.2, 4},   {0.5, 5},   {1, 5},     {2, 4},      {5, 5},       {10, 5},      {20, 4},
    {30, 6},    {60, 6},    {120, 6},   {180, 6},    {300, 5},     {600, 5},     {1200, 6},
    {1800, 6},  {3600, 6},  {7200, 4},  {14400, 4},  {21600, 6},   {43200, 6},   {86400, 6}};
constexpr int kDurationSearchable = 27;
constexpr int kFirstWholeSecond = 9;

struct TimeTable {
  double units_per_day;
  int major[6];
  int minor[6];
};

constexpr TimeTable kHundredths{8640000, {1, 2, 5, 10, 20, 50}, {1, 1, 1, 5, 10, 10}};
constexpr TimeTable kSeconds{86400, {1, 2, 5, 10, 20, 30}, {1, 1, 1, 2, 5, 10}};
constexpr TimeTable kMinutes{1440, {1, 2, 5, 10, 20, 30}, {1, 1, 1, 2, 5, 10}};
constexpr TimeTable kHours{24, {1, 2, 3, 6, 8, 12}, {1, 1, 1, 2, 2, 3}};

constexpr int kDaySteps[6] = {1, 2, 3, 7, 14, 28};
constexpr int kMonthSteps[5] = {1, 2, 3, 4, 6};

// Steps per tick come out of differences of day numbers, which keep only about ten
// significant digits of a time of day; 19.9999 minutes must still choose 20.
constexpr double kStepTol = 1 + 1e-4;

// Largest table entry not above x; the first entry when none is.
template <size_t N>
int largest_not_above(const int (&table)[N], double x) {
  int ix = 0;
  for (size_t i = 0; i < N; ++i)
    if (table[i] <= x * kStepTol) ix = static_cast<int>(i);
  return ix;
}

int floor_mod(long long a, long long m) { return static_cast<int>(((a % m) + m) % m); }

// Year and month of the day a (linear) day number falls on.
bool year_month_of(double v, Integer& y, Integer& m) {
  Integer d = 0;
  return DecodeDate(std::floor(v), y, m, d);
}

void walk_linear(const TickSetup& s, TickSink& sink) {
  Extended first = 0, dist = 0;
  Word nsub = 1;
  CalcScalePars(std::max(1, s.min_ticks), s.low, s.high, first, dist, nsub);
  if (dist == 0 || !std::isfinite(static_cast<double>(dist))) return;
  const long double dir = s.high > s.low ? 1.0L : -1.0L;
  const long double low = s.low, high = s.high;
  const long double minor = dist / std::max<Word>(nsub, 1);
  const long double minor_tol = 0.001L * std::fabs(minor);
  const long double major_tol = 0.001L * std::fabs(dist);

  if (s.short_ticks) {
    const long double start = first - dist;
    for (int i = 0; i < kMaxTickWalk; ++i) {
      const long double v = start + i * minor;
      if (dir * v >= dir * low) sink.on_tick({static_cast<double>(v), false, false, 1});
      if (!(dir * (start + (i + 1) * minor - high) <= minor_tol)) break;
    }
  }
  for (int i = 0; i < kMaxTickWalk; ++i) {
    const long double v = first + i * dist;
    // The first tick can only lie beyond High when fewer than two intervals were asked.
    if (dir * (v - high) <= major_tol) sink.on_tick({static_cast<double>(v), true, true, 1});
    if (!(dir * (first + (i + 1) * dist - high) <= major_tol)) break;
  }
}

double pow10i(int e) { return std::pow(10.0, static_cast<double>(e)); }

void walk_logarithmic(const TickSetup& s, TickSink& sink) {
  const double m = std::min(s.low, s.high);
  const double M = std::max(s.low, s.high);
  const double decades = std::fabs(std::log(s.high / s.low) / std::log(10.0));
  const int e0 = static_cast<int>(std::floor(std::log10(kRelTol * m)));
  const bool multiples = decades + 0.5 < s.min_ticks;
  auto emit = [&](double v, int mult, bool labelled) {
    if (v > kRelTol * m && v * kRelTol < M) sink.on_tick({v, labelled, labelled, mult});
  };
  for (int k = 0; k < 700; ++k) {
    const double base = pow10i(e0 + k);
    emit(base, 1, true);
    if (multiples) {
      for (int j = 2; j <= 9; ++j) {
        const bool labelled = j == 2 || j == 5;
        if (labelled || s.short_ticks) emit(j * base, j, labelled);
      }
    }
    if (pow10i(e0 + k + 1) * kRelTol > M) break;
  }
}

void walk_duration(const TickSetup& s, const TickPlan& plan, TickSink& sink) {
  const DurationStep& ds = kDurationSteps[plan.duration_index];
  const double dir = s.high > s.low ? 1.0 : -1.0;
  const double step = dir * ds.seconds;
  const double minor = step / ds.subdivisions;
  const double span = std::fabs(s.high - s.low);
  const long long count =
      std::min<long long>(Trunc(span / std::fabs(minor)) + 5, kMaxTickWalk);
  const double first = step * Int(s.low / step / kRelTol);
  // The tolerance widens the range outwards, whichever way the axis runs.
  const double mn = std::min(s.low, s.high), mx = std::max(s.low, s.high);
  const double lo = mn >= 0 ? kRelTol * mn : mn / kRelTol;
  const double hi = mx > 0 ? mx / kRelTol : kRelTol * mx;
  auto inside = [&](double v) { return v >= lo && v <= hi; };

  if (s.short_ticks) {
    for (long long j = 0; j <= count; ++j) {
      const double v = first + j * minor;
      if (inside(v)) sink.on_tick({v, false, false, 1});
    }
  }
  for (long long j = 0; j <= count; ++j) {
    const double v = first + j * minor;
    const double q = v / step;
    if (std::fabs(q - std::round(q)) <= 0.01 && inside(v)) sink.on_tick({v, true, true, 1});
  }
}

void walk_time(const TickSetup& s, const TimeTable& t, double per_tick, TickSink& sink) {
  const int ix = largest_not_above(t.major, per_tick * t.units_per_day);
  const int major = t.major[ix];
  const int minor = t.minor[ix];
  const double U = t.units_per_day;
  const double F = std::floor(s.low);
  const double r = s.low - F;
  // A thousandth of a unit absorbs the rounding noise of day numbers, so a tick that
  // lies on Low is not pushed to the next step.
  const long long n = static_cast<long long>(std::ceil(U * r - 1e-3));
  long long pad = n == 0 ? 0 : major - floor_mod(n, major);
  if (pad == major) pad = 0;
  long long k = n + pad;
  const double low_tol = s.low - 1e-3 / U;
  if (s.short_ticks)
    for (int guard = 0; guard < 100 && F + k / U > s.low; ++guard) k -= minor;
  const long long advance = s.short_ticks ? minor : major;
  for (int i = 0; i < kMaxTickWalk; ++i, k += advance) {
    const double v = F + k / U;
    if (!(v - s.high < kWalkEnd)) break;
    if (v < low_tol) continue;
    const bool is_major = !s.short_ticks || floor_mod(k, major) == 0;
    sink.on_tick({v, is_major, is_major, 1});
  }
}

void walk_days(const TickSetup& s, double per_tick, TickSink& sink) {
  const int step = kDaySteps[largest_not_above(kDaySteps, per_tick)];
  const int minor = step <= 7 ? 1 : 7;
  Integer y = 0, m = 0;
  if (!year_month_of(s.low, y, m)) return;
  const double jan1 = encode_date_or_nan(y, 1, 1);
  const double start = jan1 + step * std::floor(std::floor(s.low - jan1) / step);
  const int advance = s.short_ticks ? minor : step;
  for (long long d = 0; d < static_cast<long long>(kMaxTickWalk) * advance; d += advance) {
    const double v = start + d;
    if (!(v - s.high < kWalkEnd) || v > MaxDateTime) break;
    if (v < s.low) continue;
    const bool is_major = !s.short_ticks || d % step == 0;
    sink.on_tick({v, is_major, is_major, 1});
  }
}

void walk_months(const TickSetup& s, double per_tick, TickSink& sink) {
  const int step = kMonthSteps[largest_not_above(kMonthSteps, per_tick / 30.4375)];
  Integer y = 0, m = 0;
  if (!year_month_of(s.low, y, m)) return;
  // Counting from Low's own month keeps the tick on Low when Low opens a step; months
  // before Low are skipped below anyway.
  if (step > 1 && !s.short_ticks)
    while (m % step != 1) {
      if (++m > 12) m = 1, ++y;
    }
  const int advance = s.short_ticks ? 1 : step;
  for (int i = 0; i < kMaxTickWalk; ++i) {
    const double v = encode_date_or_nan(y, m, 1);
    if (std::isnan(v) || !(v - s.high < kWalkEnd)) break;
    if (v >= s.low) {
      const bool is_major = !s.short_ticks || m % step == 1 || step == 1;
      sink.on_tick({v, is_major, is_major, 1});
    }
    m += advance;
    while (m > 12) m -= 12, ++y;
  }
}

void walk_years(const TickSetup& s, TickSink& sink) {
  const double per = std::max(1.0, (s.high - s.low) / 365.25 / std::max(1, s.min_ticks));
  // Leap days make ten calendar years 9.9986 or 10.0014 years of 365.25 days; both
  // must give the same step, so the series boundaries allow a thousandth.
  const double L = std::log10(per * 1.001);
  const double ip = std::floor(L);
  const double fr = std::pow(10.0, L - ip);
  const int series = fr < 2 ? 1 : (fr < 5 ? 2 : 5);
  const long long step = std::max<long long>(1, Round(series * std::pow(10.0, ip)));
  long long minor = step;
  if (s.short_ticks && step > 1)
    minor = series == 5 ? std::max<long long>(1, step / 5) : std::max<long long>(1, Round(step / 2.0L));
  Integer y0 = 0, m0 = 0;
  if (!year_month_of(s.low, y0, m0)) return;
  long long y = y0;
  if (encode_date_or_nan(y0, 1, 1) != s.low) ++y;
  y = (y + minor - 1) / minor * minor;
  for (int i = 0; i < kMaxTickWalk && y <= 9999; ++i, y += minor) {
    const double v = encode_date_or_nan(static_cast<int>(y), 1, 1);
    if (std::isnan(v) || !(v - s.high < kWalkEnd)) break;
    const bool is_major = y % step == 0;
    sink.on_tick({v, is_major, is_major, 1});
  }
}

void walk_date_time(const TickSetup& s, const TickPlan& plan, TickSink& sink) {
  const double per_tick = (s.high - s.low) / std::max(1, s.min_ticks);
  switch (plan.unit) {
    case TimeUnit::hundredths: walk_time(s, kHundredths, per_tick, sink); break;
    case TimeUnit::seconds: walk_time(s, kSeconds, per_tick, sink); break;
    case TimeUnit::minutes: walk_time(s, kMinutes, per_tick, sink); break;
    case TimeUnit::hours: walk_time(s, kHours, per_tick, sink); break;
    case TimeUnit::days: walk_days(s, per_tick, sink); break;
    case TimeUnit::months: walk_months(s, per_tick, sink); break;
    case TimeUnit::years: walk_years(s, sink); break;
  }
}

// Index of the duration step, or -1 when durations do not suit the range.
int duration_index(const TickSetup& s) {
  const double per = std::fabs(s.high - s.low) / std::max(1, s.min_ticks);
  if (!std::isfinite(per)) return -1;
  for (int i = kDurationSearchable; i >= 0; --i)
    if (kDurationSteps[i].seconds <= per * kStepTol) return i == kDurationSearchable ? -1 : i;
  return -1;
}

}  // namespace

double duration_step(int index) {
  return index >= 0 && index < 28 ? kDurationSteps[index].seconds : 0.0;
}

double encode_date_or_nan(int year, int month, int day) {
  TDateTime d = 0;
  return TryEncodeDate(year, month, day, d) ? d : std::numeric_limits<double>::quiet_NaN();
}

TickPlan plan_ticks(const TickSetup& s) {
  TickPlan p;
  if (s.label_type == ftDateTime) {
    p.family = TickFamily::date_time;
    if (!std::isfinite(s.low) || !std::isfinite(s.high) || s.high < s.low ||
        s.low < -693593 || s.high > 3000000) {
      p.status = TickStatus::invalid_date;
      return p;
    }
    const double per = (s.high - s.low) / std::max(1, s.min_ticks);
    if (per <= kDayOfHundredth) {
      p.status = TickStatus::below_second;
      return p;
    }
    if (per <= kDayOfSecond) p.unit = TimeUnit::hundredths;
    else if (per <= kDayOfMinute) p.unit = TimeUnit::seconds;
    else if (per <= kDayOfHour) p.unit = TimeUnit::minutes;
    else if (per <= 1) p.unit = TimeUnit::hours;
    else if (per <= 30) p.unit = TimeUnit::days;
    else if (per <= 366) p.unit = TimeUnit::months;
    else p.unit = TimeUnit::years;
    return p;
  }
  if (s.label_type == ftSeconds) {
    p.duration_index = duration_index(s);
    if (p.duration_index >= 0) {
      p.family = TickFamily::duration;
      p.fractions = p.duration_index < kFirstWholeSecond;
      return p;
    }
  }
  p.family = TickFamily::linear;
  // Less than a decade, or limits a logarithm cannot take, fall back to linear ticks.
  if (s.logarithmic && s.low > 0 && s.high > 0 && std::isfinite(s.low) && std::isfinite(s.high) &&
      std::fabs(std::log(s.high / s.low) / std::log(10.0)) >= 1)
    p.family = TickFamily::logarithmic;
  return p;
}

void walk_ticks(const TickSetup& s, const TickPlan& plan, TickSink& sink) {
  if (plan.status != TickStatus::ok) return;
  switch (plan.family) {
    case TickFamily::linear: walk_linear(s, sink); break;
    case TickFamily::logarithmic: walk_logarithmic(s, sink); break;
    case TickFamily::duration: walk_duration(s, plan, sink); break;
    case TickFamily::date_time: walk_date_time(s, plan, sink); break;
  }
}

}  // namespace kvr::detail
