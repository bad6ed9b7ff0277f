// Texts of tick labels: numbers with fixed or automatic decimals, exponent form,
// durations, dates and times, user texts and inscriptions.
//
// Per-tick functions write into a caller's string so that one buffer serves a whole
// axis; the date/time format strings are built once per paint (date_time_formats).
#pragma once

#include <string>
#include <string_view>

#include "platform/kvrbase.h"
#include "scale/ticks.h"

namespace kvr::detail {

// Longest numeric label; longer texts are cut.
constexpr size_t kMaxLabelLength = 14;

// Decimals for a linear axis: DecPlaces as set, or (for -2 and -3) chosen from the span.
int auto_decimals_linear(int dec_places, double low, double high);
// Decimals for a logarithmic axis of at least one decade (only -2 is automatic).
int auto_decimals_log(int dec_places, double low, double high);

// Label of a major tick v on a linear axis. `decimals` comes from
// auto_decimals_linear, `dec_places` is the property as set.
void linear_label(double v, int decimals, int dec_places, double low, double high,
                  std::string& out);
// Label of a labelled tick v (multiplier 1, 2 or 5) on a logarithmic axis.
void log_label(double v, int multiplier, int decimals, int dec_places, std::string& out);
// hh:mm:ss of |v| seconds, with .ttt when `fractions` is set.
void duration_label(double v, bool fractions, std::string& out);

// Format strings of one date/time axis.
struct DateTimeFormats {
  std::string tick;  // the labels of the axis's unit
  std::string date;  // the date line under time labels
  bool year_digits_trimmed = false;  // four-digit years drop leading zeros
};
DateTimeFormats date_time_formats(TimeUnit unit, const TDTLabel& f);

// Day number of a linear time axis in the framework's convention for days before its
// epoch (whole days counted towards zero, the time of day as a positive fraction).
double to_framework_date(double v);
void date_time_label(const std::string& format, double v, bool trim_year_zeros, std::string& out);

// Field Index (1-based) of a "|"-separated list; past the end the last field.
std::string extract_user_text(std::string_view text, int index);
// Inscript around Text: "&" marks the place of the text, otherwise it goes in front.
std::string add_scale_inscription(const std::string& text, const std::string& inscript);

}  // namespace kvr::detail
