// Tick label texts: decimals, exponent form, zero snapping, logarithmic and duration
// labels, date/time formats, user texts and inscriptions.
#include <gtest/gtest.h>

#include <string>

#include "platform/kvrmath.h"
#include "scale/ticklabels.h"

namespace {

namespace d = kvr::detail;

std::string lin(double v, int dec_places, double lo, double hi) {
  std::string s;
  d::linear_label(v, d::auto_decimals_linear(dec_places, lo, hi), dec_places, lo, hi, s);
  return s;
}

std::string logl(double v, int mult, int dec_places, double lo, double hi) {
  std::string s;
  d::log_label(v, mult, d::auto_decimals_log(dec_places, lo, hi), dec_places, s);
  return s;
}

TEST(ScaleLabelsNumber, AutomaticDecimalsFollowTheSpan) {
  EXPECT_EQ(d::auto_decimals_linear(-2, 0, 10), 1);
  EXPECT_EQ(d::auto_decimals_linear(-2, 0, 1), 2);
  EXPECT_EQ(d::auto_decimals_linear(-3, 0.1, 0), 3);
  EXPECT_EQ(d::auto_decimals_linear(-2, 0, 100), 0);
  EXPECT_EQ(d::auto_decimals_linear(-2, 0, 1e6), -1);
  EXPECT_EQ(d::auto_decimals_linear(-2, 0, 1e-4), -1);
  EXPECT_EQ(d::auto_decimals_linear(4, 0, 1e9), 4);
  EXPECT_EQ(lin(2.5, -2, 0, 10), "2.5");
  EXPECT_EQ(lin(0, -2, 0, 10), "0.0");
  EXPECT_EQ(lin(500, -2, 0, 1000), "500");
  EXPECT_EQ(lin(-0.25, 3, 0, 1), "-0.250");
}

TEST(ScaleLabelsNumber, ExponentFormAndOverflowStars) {
  EXPECT_EQ(lin(1e7, -2, 0, 1e7), " 1.0E+07");
  EXPECT_EQ(lin(-2.5e-9, -1, -5e-9, 0), "-2.5E-09");
  // Three-digit exponents do not fit: the text turns into stars of the same length.
  EXPECT_EQ(lin(1e150, -1, 0, 2e150), "********");
  EXPECT_EQ(lin(-1e-120, -1, -2e-120, 0), "********");
}

TEST(ScaleLabelsNumber, RoundingNoiseNearZeroIsZero) {
  EXPECT_EQ(lin(1e-17, -2, -1, 1), "0.00");
  EXPECT_EQ(lin(3e-12, -2, -5e5, 5e5), "0.0");  // exponent decimals, wide span
  EXPECT_EQ(lin(3e-12, 0, -5e5, 5e5), "0");
  EXPECT_EQ(lin(2e-5, -2, 0, 1e-4), " 2.0E-05");  // a real tick, not noise
}

TEST(ScaleLabelsNumber, NoDecimalsHideFractionalTicksAndLongTextsAreCut) {
  EXPECT_EQ(lin(1.5, 0, 0, 3), "");
  EXPECT_EQ(lin(2, 0, 0, 3), "2");
  EXPECT_EQ(lin(1234567.5, 12, 0, 2e6), "1234567.500000");
}

TEST(ScaleLabelsLog, DecimalsExponentsAndTrailingZeros) {
  EXPECT_EQ(d::auto_decimals_log(-2, 1, 1e6), 0);
  EXPECT_EQ(d::auto_decimals_log(-2, 1, 1e7), -1);
  EXPECT_EQ(d::auto_decimals_log(-2, 0.01, 10), 3);
  EXPECT_EQ(d::auto_decimals_log(-3, 0.01, 10), -3);
  EXPECT_EQ(logl(1e6, 1, -3, 1, 1e6), "6");
  EXPECT_EQ(logl(1e-3, 1, -3, 1e-3, 1), "-3");
  EXPECT_EQ(logl(20, 2, -3, 1, 1e3), "");
  EXPECT_EQ(logl(0.02, 2, -2, 0.01, 10), "0.02");
  EXPECT_EQ(logl(10, 1, -2, 0.01, 10), "10");
  EXPECT_EQ(logl(0.5, 5, 2, 0.01, 10), "0.50");  // fixed decimals keep their zeros
  EXPECT_EQ(logl(1e7, 1, -2, 1, 1e7), " 1.0E+07");
}

TEST(ScaleLabelsDuration, HoursMinutesSecondsWithoutSign) {
  std::string s;
  d::duration_label(-60, false, s);
  EXPECT_EQ(s, "00:01:00");
  d::duration_label(60, false, s);
  EXPECT_EQ(s, "00:01:00");
  d::duration_label(3725.5, true, s);
  EXPECT_EQ(s, "01:02:05.500");
  d::duration_label(0.1 + 0.2, true, s);
  EXPECT_EQ(s, "00:00:00.300");
  d::duration_label(90000, false, s);
  EXPECT_EQ(s, "25:00:00");
}

struct DateCase {
  kvr::TDateOrder order;
  kvr::TYearLength year;
  bool month_name;
  const char* day_text;
  const char* month_text;
};

TEST(ScaleLabelsDate, DayAndMonthFormatsByOrderAndYearLength) {
  const double v = kvr::EncodeDate(2024, 3, 9);
  const DateCase cases[] = {
      {kvr::doDMY, kvr::ylFourDigits, true, "09-Mar-2024", "Mar-2024"},
      {kvr::doMDY, kvr::ylTwoDigits, false, "03-09-24", "03-24"},
      {kvr::doYMD, kvr::ylFourDigits, false, "2024-03-09", "2024-03"},
      {kvr::doDMY, kvr::ylNone, true, "09-Mar", "Mar-"},
      {kvr::doMDY, kvr::ylNone, true, "Mar-09", "Mar-"},
      {kvr::doYMD, kvr::ylNone, true, "Mar-09", "-Mar"},
  };
  for (const DateCase& c : cases) {
    kvr::TDTLabel f;
    f.SetDateOrder(c.order);
    f.SetYearLength(c.year);
    f.SetMonthName(c.month_name);
    std::string s;
    const auto days = d::date_time_formats(d::TimeUnit::days, f);
    d::date_time_label(days.tick, v, days.year_digits_trimmed, s);
    EXPECT_EQ(s, c.day_text);
    const auto months = d::date_time_formats(d::TimeUnit::months, f);
    d::date_time_label(months.tick, v, months.year_digits_trimmed, s);
    EXPECT_EQ(s, c.month_text);
  }
}

TEST(ScaleLabelsDate, TimeFormatsAndSeparators) {
  const double v = kvr::EncodeDate(2024, 3, 9) + kvr::EncodeTime(14, 5, 7, 250);
  kvr::TDTLabel f;
  auto text = [&](d::TimeUnit u) {
    std::string s;
    d::date_time_label(d::date_time_formats(u, f).tick, v, false, s);
    return s;
  };
  EXPECT_EQ(text(d::TimeUnit::hours), "14:05");
  EXPECT_EQ(text(d::TimeUnit::hundredths), "14:05:07.25");
  f.SetTimeSeparator('.');
  EXPECT_EQ(text(d::TimeUnit::seconds), "14.05.07");
  f.SetTimeFormat(kvr::tfHourLetter);
  EXPECT_EQ(text(d::TimeUnit::hours), "14h");
  EXPECT_EQ(text(d::TimeUnit::minutes), "14h05");
  f.SetTimeFormat(kvr::tfAmPm);
  EXPECT_EQ(text(d::TimeUnit::hours), "2pm");
  EXPECT_EQ(text(d::TimeUnit::seconds), "2.05.07pm");
}

TEST(ScaleLabelsDate, YearsAndDaysBeforeTheEpoch) {
  kvr::TDTLabel f;
  std::string s;
  auto years = d::date_time_formats(d::TimeUnit::years, f);
  d::date_time_label(years.tick, kvr::EncodeDate(950, 1, 1), years.year_digits_trimmed, s);
  EXPECT_EQ(s, "950");
  f.SetYearLength(kvr::ylTwoDigits);
  years = d::date_time_formats(d::TimeUnit::years, f);
  d::date_time_label(years.tick, kvr::EncodeDate(1905, 1, 1), years.year_digits_trimmed, s);
  EXPECT_EQ(s, "05");
  f.SetYearLength(kvr::ylNone);
  years = d::date_time_formats(d::TimeUnit::years, f);
  d::date_time_label(years.tick, kvr::EncodeDate(1905, 1, 1), years.year_digits_trimmed, s);
  EXPECT_EQ(s, "");
  // On a linear axis -1.75 is 28 December 1899, 06:00.
  EXPECT_DOUBLE_EQ(d::to_framework_date(-1.75), -2.25);
  EXPECT_DOUBLE_EQ(d::to_framework_date(-2), -2);
  EXPECT_DOUBLE_EQ(d::to_framework_date(-5e-9), 0);
  d::date_time_label("dd\"-\"mm\"-\"yyyy hh:nn", -1.75, false, s);
  EXPECT_EQ(s, "28-12-1899 06:00");
}

TEST(ScaleLabelsText, UserTextFields) {
  const std::string t = "Jan|Feb|Mar";
  EXPECT_EQ(d::extract_user_text(t, 1), "Jan");
  EXPECT_EQ(d::extract_user_text(t, 3), "Mar");
  EXPECT_EQ(d::extract_user_text(t, 5), "Mar");
  EXPECT_EQ(d::extract_user_text(t, 0), "");
  EXPECT_EQ(d::extract_user_text("", 1), "");
  EXPECT_EQ(d::extract_user_text("a|", 2), "");
  EXPECT_EQ(d::extract_user_text("a||c", 2), "");
  EXPECT_EQ(d::extract_user_text("solo", 4), "solo");
}

TEST(ScaleLabelsText, Inscriptions) {
  EXPECT_EQ(d::add_scale_inscription("12", "$&"), "$12");
  EXPECT_EQ(d::add_scale_inscription("12", "& kg"), "12 kg");
  EXPECT_EQ(d::add_scale_inscription("12", "x"), "x12");
  EXPECT_EQ(d::add_scale_inscription("50", "&%"), "50%");
  EXPECT_EQ(d::add_scale_inscription("", "&%"), "");
  EXPECT_EQ(d::add_scale_inscription("1", "<&>&"), "<1>&");
}

}  // namespace
