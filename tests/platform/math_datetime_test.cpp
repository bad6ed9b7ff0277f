// Day numbers, their calendar, and FormatDateTime.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/kvrmath.h"

using namespace kvr;

TEST(MathDateTime, KnownDayNumbers) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
  EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
  EXPECT_EQ(EncodeDate(2020, 1, 1), 43831.0);
  EXPECT_EQ(EncodeDate(1, 1, 1), -693593.0);
  EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465.0);
  EXPECT_EQ(EncodeDate(2000, 2, 29), 36585.0);
  EXPECT_THROW(EncodeDate(1900, 2, 29), Exception);
  EXPECT_THROW(EncodeDate(0, 1, 1), Exception);
  EXPECT_THROW(EncodeTime(24, 0, 0, 0), Exception);
  EXPECT_EQ(DayOfWeek(EncodeDate(2020, 3, 7)), 7);  // a Saturday
}

TEST(MathDateTime, EveryDayOfYears1To9999RoundTrips) {
  // Walks the calendar independently, one day at a time.
  Integer y = 1, m = 1, d = 1;
  for (Integer day = -693593; day <= 2958465; ++day) {
    Integer yy = 0, mm = 0, dd = 0;
    // Before the epoch the time of day is subtracted from the day number.
    ASSERT_TRUE(DecodeDate(day < 0 ? day - 0.25 : day + 0.25, yy, mm, dd)) << day;
    ASSERT_TRUE(yy == y && mm == m && dd == d) << day << ": " << yy << "-" << mm << "-" << dd;
    ASSERT_EQ(EncodeDate(y, m, d), day);
    if (++d > DaysInAMonth(y, m)) {
      d = 1;
      if (++m > 12) {
        m = 1;
        ++y;
      }
    }
  }
  EXPECT_EQ(y, 10000);
}

TEST(MathDateTime, TimesBeforeTheEpoch) {
  // The integer part counts days, the fraction without its sign is the time of day.
  Integer y, mo, d, h, mi, s, ms;
  ASSERT_TRUE(DecodeDateTime(-1.25, y, mo, d, h, mi, s, ms));
  EXPECT_EQ(y * 10000 + mo * 100 + d, 18991229);
  EXPECT_EQ(h, 6);
  EXPECT_EQ(EncodeDateTime(1899, 12, 29, 6, 0, 0, 0), -1.25);
  EXPECT_EQ(EncodeDateTime(1, 1, 1, 12, 0, 0, 0), -693593.5);
  // A linear axis value is converted with IntNeg first: -0.75 is 1899-12-29 06:00.
  const double v = -0.75;
  const double n = IntNeg(v), f = v - std::trunc(v);
  const double conv = f <= -1e-8 ? n - f - 1 : n - f;
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", conv), "1899-12-29 06:00");
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", -693593.0), "0001-01-01 00:00");
}

TEST(MathDateTime, TimeRoundTripsToTheMillisecond) {
  for (Integer h : {0, 1, 11, 12, 23})
    for (Integer ms : {0, 1, 499, 999}) {
      const double t = EncodeDateTime(2024, 2, 29, h, 59, 59, ms);
      Integer y, mo, d, hh, mi, s, mss;
      ASSERT_TRUE(DecodeDateTime(t, y, mo, d, hh, mi, s, mss));
      EXPECT_EQ(d, 29);
      EXPECT_EQ(hh, h);
      EXPECT_EQ(s, 59);
      EXPECT_EQ(mss, ms);
    }
}

TEST(MathDateTime, InvalidDayNumbers) {
  Integer y = 5, m = 5, d = 5;
  for (double v : {-693594.0, 2958466.0, std::nan(""), HUGE_VAL, -1e300}) {
    EXPECT_FALSE(DecodeDate(v, y, m, d)) << v;
    EXPECT_EQ(y, 0);
    EXPECT_EQ(FormatDateTime("yyyy", v), "");
  }
}

TEST(MathDateTime, FormatSpecifiers) {
  const double t = EncodeDateTime(2020, 3, 7, 14, 5, 9, 123);
  EXPECT_EQ(FormatDateTime("dd.mm.yyyy", t), "07.03.2020");
  EXPECT_EQ(FormatDateTime("d/m/yy", t), "7/3/20");
  EXPECT_EQ(FormatDateTime("mmm mmmm ddd dddd", t), "Mar March Sat Saturday");
  EXPECT_EQ(FormatDateTime("DD\"-\"MMM\"-\"YYYY", t), "07-Mar-2020");
  EXPECT_EQ(FormatDateTime("hh\":\"nn\":\"ss.zz", t), "14:05:09.12");
  EXPECT_EQ(FormatDateTime("h\"h\"nn", t), "14h05");
  EXPECT_EQ(FormatDateTime("ham/pm", t), "2pm");
  EXPECT_EQ(FormatDateTime("h\":\"nn\".\"ssam/pm", t), "2:05.09pm");
  EXPECT_EQ(FormatDateTime("h\"T\"nn\".\"ss.zzAM/PM", t), "2T05.09.12PM");
  EXPECT_EQ(FormatDateTime("ha/p ampm", t), "2p PM");
  EXPECT_EQ(FormatDateTime("z zzz", t), "123 123");
  EXPECT_EQ(FormatDateTime("hh:mm", t), "14:05");  // m right after h is minutes
  EXPECT_EQ(FormatDateTime("'d is' d, \"yy\"", t), "d is 7, yy");
  EXPECT_EQ(FormatDateTime("\"open quote", t), "open quote");
  EXPECT_EQ(FormatDateTime("ham/pm", EncodeDate(2020, 3, 7)), "12am");
  EXPECT_EQ(FormatDateTime("yyyy", EncodeDate(5, 6, 7)), "0005");
  EXPECT_EQ(FormatDateTime("", t), "");
}
