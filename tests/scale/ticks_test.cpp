// Tick positions of every family, checked against hand-worked sequences.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "platform/kvrmath.h"
#include "scale/ticks.h"

namespace {

using kvr::detail::Tick;
using kvr::detail::TickFamily;
using kvr::detail::TickPlan;
using kvr::detail::TickSetup;
using kvr::detail::TickStatus;
using kvr::detail::TimeUnit;

struct Recorder final : kvr::detail::TickSink {
  std::vector<Tick> ticks;
  void on_tick(const Tick& t) override { ticks.push_back(t); }
  std::vector<double> values(bool labelled_only) const {
    std::vector<double> v;
    for (const Tick& t : ticks)
      if (!labelled_only || t.labelled) v.push_back(t.value);
    return v;
  }
};

TickSetup setup(double lo, double hi, int min_ticks, bool short_ticks = true,
                kvr::TFigType type = kvr::ftNum, bool log = false) {
  TickSetup s;
  s.low = lo;
  s.high = hi;
  s.min_ticks = min_ticks;
  s.short_ticks = short_ticks;
  s.label_type = type;
  s.logarithmic = log;
  return s;
}

Recorder walk(const TickSetup& s, TickPlan* plan_out = nullptr) {
  Recorder r;
  const TickPlan plan = kvr::detail::plan_ticks(s);
  kvr::detail::walk_ticks(s, plan, r);
  if (plan_out) *plan_out = plan;
  return r;
}

void expect_near_seq(const std::vector<double>& got, const std::vector<double>& want, double tol) {
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) EXPECT_NEAR(got[i], want[i], tol) << "entry " << i;
}

double day(int y, int m, int d, int h = 0, int n = 0) {
  return kvr::EncodeDate(y, m, d) + kvr::EncodeTime(h, n, 0, 0);
}

TEST(ScaleTicksLinear, MinorPassThenMajorPass) {
  // 0..10 in three intervals: steps of 5 with five minor intervals each.
  Recorder r = walk(setup(0, 10, 3));
  std::vector<double> want;
  for (int i = 0; i <= 10; ++i) want.push_back(i);
  want.insert(want.end(), {0, 5, 10});
  expect_near_seq(r.values(false), want, 1e-12);
  EXPECT_FALSE(r.ticks[0].labelled);
  EXPECT_TRUE(r.ticks.back().labelled);
  expect_near_seq(walk(setup(0, 10, 3, false)).values(false), {0, 5, 10}, 1e-12);
}

TEST(ScaleTicksLinear, ReversedRangeRunsDownwards) {
  expect_near_seq(walk(setup(10, 0, 3)).values(true), {10, 5, 0}, 1e-12);
  Recorder r = walk(setup(10, 0, 3));
  EXPECT_DOUBLE_EQ(r.ticks.front().value, 10);
  EXPECT_DOUBLE_EQ(r.ticks[10].value, 0);
}

TEST(ScaleTicksLinear, LastTickMayOvershootByAThousandthOfAStep) {
  expect_near_seq(walk(setup(0, 9.996, 3, false)).values(true), {0, 5, 10}, 1e-12);
  expect_near_seq(walk(setup(0, 9.99, 3, false)).values(true), {0, 5}, 1e-12);
}

TEST(ScaleTicksLinear, DegenerateLimitsDrawNothing) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_TRUE(walk(setup(nan, 1, 3)).ticks.empty());
  EXPECT_TRUE(walk(setup(0, inf, 3)).ticks.empty());
  EXPECT_TRUE(walk(setup(-inf, inf, 3)).ticks.empty());
}

TEST(ScaleTicksLog, DecadesAndTheirMultiples) {
  // Three decades: 3 + 0.5 is not below 3, so decades only.
  expect_near_seq(walk(setup(1, 1000, 3, true, kvr::ftNum, true)).values(false), {1, 10, 100, 1000},
                  1e-9);
  // With 10 wanted intervals the multiples 2 and 5 are labelled...
  Recorder r = walk(setup(1, 1000, 10, false, kvr::ftNum, true));
  expect_near_seq(r.values(false), {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000}, 1e-9);
  EXPECT_EQ(r.ticks[1].multiplier, 2);
  // ...and with short ticks every multiple is drawn, the others unlabelled.
  Recorder s = walk(setup(1, 1000, 10, true, kvr::ftNum, true));
  EXPECT_EQ(s.ticks.size(), 28u);
  EXPECT_EQ(s.values(true).size(), 10u);
  EXPECT_FALSE(s.ticks[2].labelled);  // 3
  EXPECT_NEAR(s.ticks[2].value, 3, 1e-12);
}

TEST(ScaleTicksLog, FallsBackToLinearTicks) {
  TickPlan plan;
  walk(setup(2, 9, 3, true, kvr::ftNum, true), &plan);
  EXPECT_EQ(plan.family, TickFamily::linear);
  // Limits a logarithm cannot take must neither hang nor produce garbage.
  Recorder r = walk(setup(-1, 100, 3, true, kvr::ftNum, true), &plan);
  EXPECT_EQ(plan.family, TickFamily::linear);
  EXPECT_FALSE(r.ticks.empty());
  walk(setup(1, 1e6, 3, true, kvr::ftNum, true), &plan);
  EXPECT_EQ(plan.family, TickFamily::logarithmic);
}

TEST(ScaleTicksLog, ReversedAndTinyRanges) {
  expect_near_seq(walk(setup(1000, 1, 3, false, kvr::ftNum, true)).values(false), {1, 10, 100, 1000},
                  1e-9);
  Recorder r = walk(setup(1e-300, 1e300, 3, false, kvr::ftNum, true));
  EXPECT_EQ(r.ticks.size(), 601u);
}

TEST(ScaleTicksDuration, StepsFromTheTable) {
  TickPlan plan;
  // 180 s in 6 intervals: 30 s steps with six minor intervals of 5 s.
  Recorder r = walk(setup(-90, 90, 6, true, kvr::ftSeconds), &plan);
  EXPECT_EQ(plan.family, TickFamily::duration);
  EXPECT_FALSE(plan.fractions);
  expect_near_seq(r.values(true), {-90, -60, -30, 0, 30, 60, 90}, 1e-9);
  EXPECT_EQ(r.ticks.size(), 37u + 7u);
  // Half-second steps carry fractions.
  r = walk(setup(0, 2, 4, false, kvr::ftSeconds), &plan);
  EXPECT_TRUE(plan.fractions);
  expect_near_seq(r.values(true), {0, 0.5, 1, 1.5, 2}, 1e-12);
  // Reversed ranges keep the tick on their upper end.
  r = walk(setup(90, -90, 6, false, kvr::ftSeconds), &plan);
  expect_near_seq(r.values(true), {90, 60, 30, 0, -30, -60, -90}, 1e-9);
}

TEST(ScaleTicksDuration, OutOfTableRangesUseNumbers) {
  TickPlan plan;
  walk(setup(0, 1e6, 2, true, kvr::ftSeconds), &plan);
  EXPECT_EQ(plan.family, TickFamily::linear);
  walk(setup(0, 0.001, 2, true, kvr::ftSeconds), &plan);
  EXPECT_EQ(plan.family, TickFamily::linear);
}

TEST(ScaleTicksDate, ValidityAndUnitChoice) {
  auto plan = [](double lo, double hi, int n) {
    return kvr::detail::plan_ticks(setup(lo, hi, n, true, kvr::ftDateTime));
  };
  EXPECT_EQ(plan(10, 5, 3).status, TickStatus::invalid_date);
  EXPECT_EQ(plan(-700000, 5, 3).status, TickStatus::invalid_date);
  EXPECT_EQ(plan(0, 3000001, 3).status, TickStatus::invalid_date);
  EXPECT_EQ(plan(std::nan(""), 5, 3).status, TickStatus::invalid_date);
  const double second = 1.0 / 86400;
  EXPECT_EQ(plan(100, 100 + 0.005 * second, 2).status, TickStatus::below_second);
  EXPECT_EQ(plan(100, 100 + 0.5 * second, 5).unit, TimeUnit::hundredths);
  EXPECT_EQ(plan(100, 100 + 60 * second, 6).unit, TimeUnit::seconds);
  EXPECT_EQ(plan(100, 100 + 2.0 / 24, 6).unit, TimeUnit::minutes);
  EXPECT_EQ(plan(100, 103, 6).unit, TimeUnit::hours);
  EXPECT_EQ(plan(100, 135, 5).unit, TimeUnit::days);
  EXPECT_EQ(plan(100, 527, 7).unit, TimeUnit::months);
  EXPECT_EQ(plan(0, 3653, 5).unit, TimeUnit::years);
}

TEST(ScaleTicksDate, HoursFromMidnight) {
  const double lo = day(2020, 1, 1), hi = day(2020, 1, 1, 12);
  // Two hours per interval: majors at even hours, minors at the odd ones.
  Recorder r = walk(setup(lo, hi, 6, true, kvr::ftDateTime));
  ASSERT_EQ(r.ticks.size(), 13u);
  std::vector<double> want;
  for (int h = 0; h <= 12; h += 2) want.push_back(day(2020, 1, 1, h));
  expect_near_seq(r.values(true), want, 1e-9);
  expect_near_seq(walk(setup(lo, hi, 6, false, kvr::ftDateTime)).values(false), want, 1e-9);
}

TEST(ScaleTicksDate, MinutesAlignToTheStepWhateverLowIs) {
  // 10:07 .. 10:57 in 5 intervals: 10-minute steps counted from midnight.
  Recorder r = walk(setup(day(2021, 5, 5, 10, 7), day(2021, 5, 5, 10, 57), 5, false, kvr::ftDateTime));
  std::vector<double> want;
  for (int m = 10; m <= 50; m += 10) want.push_back(day(2021, 5, 5, 10, m));
  expect_near_seq(r.values(true), want, 1e-9);
  // A tick exactly on Low survives the rounding of the day fraction.
  r = walk(setup(day(2021, 5, 5, 10, 20), day(2021, 5, 5, 11, 10), 5, false, kvr::ftDateTime));
  EXPECT_NEAR(r.ticks.front().value, day(2021, 5, 5, 10, 20), 1e-9);
}

TEST(ScaleTicksDate, Days) {
  // Five weeks in five intervals: weekly from 1 January (a Monday in 2024).
  Recorder r = walk(setup(day(2024, 3, 4), day(2024, 4, 8), 5, false, kvr::ftDateTime));
  expect_near_seq(r.values(true),
                  {day(2024, 3, 4), day(2024, 3, 11), day(2024, 3, 18), day(2024, 3, 25),
                   day(2024, 4, 1), day(2024, 4, 8)},
                  1e-9);
  r = walk(setup(day(2024, 3, 4), day(2024, 4, 8), 5, true, kvr::ftDateTime));
  EXPECT_EQ(r.ticks.size(), 36u);
  EXPECT_EQ(r.values(true).size(), 6u);
}

TEST(ScaleTicksDate, Months) {
  // 2023-11-15 .. 2025-01-01 in 6 intervals: two-month steps on odd months.
  const double lo = day(2023, 11, 15), hi = day(2025, 1, 1);
  Recorder r = walk(setup(lo, hi, 6, false, kvr::ftDateTime));
  std::vector<double> want;
  for (int m = 1; m <= 11; m += 2) want.push_back(day(2024, m, 1));
  want.push_back(day(2025, 1, 1));
  expect_near_seq(r.values(true), want, 1e-9);
  r = walk(setup(lo, hi, 6, true, kvr::ftDateTime));
  EXPECT_EQ(r.ticks.size(), 14u);  // Dec 2023 .. Jan 2025
  EXPECT_FALSE(r.ticks.front().labelled);
  expect_near_seq(r.values(true), want, 1e-9);
  // A range opening on a quarter keeps its first tick.
  r = walk(setup(day(2024, 1, 1), day(2025, 1, 1), 4, false, kvr::ftDateTime));
  EXPECT_NEAR(r.ticks.front().value, day(2024, 1, 1), 1e-9);
}

TEST(ScaleTicksDate, YearsOnMultiplesOfTheStep) {
  const double lo = day(2001, 6, 1), hi = day(2011, 6, 1);
  expect_near_seq(walk(setup(lo, hi, 5, false, kvr::ftDateTime)).values(true),
                  {day(2002, 1, 1), day(2004, 1, 1), day(2006, 1, 1), day(2008, 1, 1), day(2010, 1, 1)},
                  1e-9);
  Recorder r = walk(setup(lo, hi, 5, true, kvr::ftDateTime));
  EXPECT_EQ(r.ticks.size(), 10u);  // every year 2002..2011
  EXPECT_EQ(r.values(true).size(), 5u);
  // Low exactly on 1 January of a multiple keeps that year.
  r = walk(setup(day(2000, 1, 1), day(2010, 1, 1), 5, false, kvr::ftDateTime));
  EXPECT_NEAR(r.ticks.front().value, day(2000, 1, 1), 1e-9);
}

TEST(ScaleTicksDate, YearWalkStopsAfter9999) {
  // About 125 years in 5 intervals: 20-year steps; 10000 does not exist.
  Recorder r = walk(setup(day(9960, 1, 1), 2990000, 5, false, kvr::ftDateTime));
  expect_near_seq(r.values(false), {day(9960, 1, 1), day(9980, 1, 1)}, 1e-9);
  // About 95 years in 10 intervals: 5-year steps, yearly minor ticks up to 9999.
  r = walk(setup(day(9990, 1, 1), 2990000, 10, true, kvr::ftDateTime));
  ASSERT_EQ(r.ticks.size(), 10u);
  EXPECT_NEAR(r.ticks.back().value, day(9999, 1, 1), 1e-9);
}

}  // namespace
