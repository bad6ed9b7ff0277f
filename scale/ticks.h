// Tick families of an axis: where ticks go, which are long and which carry labels.
//
// A paint runs two steps:
//   TickPlan plan = plan_ticks(setup);      // family, time unit, message or ticks
//   walk_ticks(setup, plan, sink);          // one sink call per tick, in drawing order
// The walk allocates nothing; a sink that keeps positions or builds label texts does
// that itself. Every walk is bounded (kMaxTickWalk), so NaN, infinite or absurd ranges
// end quickly instead of looping.
#pragma once

#include <cstdint>

#include "platform/kvrbase.h"

namespace kvr::detail {

enum class TickFamily : uint8_t { linear, logarithmic, duration, date_time };

enum class TimeUnit : uint8_t { hundredths, seconds, minutes, hours, days, months, years };

// A date/time range that cannot be ticked shows a message on the axis instead.
enum class TickStatus : uint8_t { ok, invalid_date, below_second };

struct TickSetup {
  double low = 0;
  double high = 100;
  bool logarithmic = false;
  // The interval count after the orientation's clamping; values below 1 count as 1.
  int min_ticks = 3;
  bool short_ticks = true;
  TFigType label_type = ftNum;
};

struct TickPlan {
  TickFamily family = TickFamily::linear;
  TickStatus status = TickStatus::ok;
  TimeUnit unit = TimeUnit::days;  // date_time only
  // Duration labels show thousandths when the step is below one second.
  bool fractions = false;
  // Duration step index into the table, or -1.
  int duration_index = -1;
};

struct Tick {
  double value = 0;
  bool major = false;     // long mark
  bool labelled = false;  // gets a text
  // Logarithmic ticks: 1 for a decade, else the multiplier 2..9.
  int multiplier = 1;
};

class TickSink {
 public:
  virtual void on_tick(const Tick& t) = 0;

 protected:
  ~TickSink() = default;
};

// Hard bound on the ticks one walk may produce.
constexpr int kMaxTickWalk = 20000;

TickPlan plan_ticks(const TickSetup& s);
void walk_ticks(const TickSetup& s, const TickPlan& plan, TickSink& sink);

// Seconds of the duration steps (28 entries; the last one bounds the search only).
double duration_step(int index);

// The framework's day number of a date, or NaN when it does not exist.
double encode_date_or_nan(int year, int month, int day);

}  // namespace kvr::detail
