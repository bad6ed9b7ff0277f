// Dates and times as TDateTime day numbers: days since 1899-12-30 00:00, the fraction
// being the time of day. Years 1..9999 of the proleptic Gregorian calendar are valid
// (day numbers -693593 .. 2958465).
//
// Before the epoch the framework's convention holds: the integer part counts days
// (towards zero) and the fraction, taken without its sign, is the time of day; so -1.25 is
// 1899-12-29 06:00. Code with a linear time axis converts its values first (the tick label
// code does it with IntNeg). Decoding rounds to the nearest millisecond.
#pragma once

#include <string>

#include "platform/types.h"

namespace kvr {

constexpr double MinDateTime = -693593.0;   // 0001-01-01
constexpr double MaxDateTime = 2958465.99999999;  // 9999-12-31 23:59:59.999

bool IsLeapYear(Integer Year);
// 28..31; 0 for a month outside 1..12.
Integer DaysInAMonth(Integer Year, Integer Month);

bool TryEncodeDate(Integer Year, Integer Month, Integer Day, TDateTime& Date);
bool TryEncodeTime(Integer Hour, Integer Min, Integer Sec, Integer MSec, TDateTime& Time);
// Raise Exception("Invalid argument to date encode") / ("... time encode") when invalid.
TDateTime EncodeDate(Integer Year, Integer Month, Integer Day);
TDateTime EncodeTime(Integer Hour, Integer Min, Integer Sec, Integer MSec);
// Date plus time, with the time subtracted for dates before the epoch (see above).
TDateTime EncodeDateTime(Integer Year, Integer Month, Integer Day, Integer Hour, Integer Min,
                         Integer Sec, Integer MSec);

// Outside the valid range (or NaN) these return false and set every part to 0.
bool DecodeDate(TDateTime DateTime, Integer& Year, Integer& Month, Integer& Day);
bool DecodeTime(TDateTime DateTime, Integer& Hour, Integer& Min, Integer& Sec, Integer& MSec);
bool DecodeDateTime(TDateTime DateTime, Integer& Year, Integer& Month, Integer& Day,
                    Integer& Hour, Integer& Min, Integer& Sec, Integer& MSec);
// 1 = Sunday .. 7 = Saturday; 0 outside the valid range.
Integer DayOfWeek(TDateTime DateTime);

// Text of a date/time by a format string. Specifiers (letters in either case):
//   d dd      day of month, without / with leading zero
//   ddd dddd  weekday name, short / long (English)
//   m mm      month without / with leading zero (minutes right after an h or hh)
//   mmm mmmm  month name, short / long (English)
//   yy yyyy   year, two digits / four digits with leading zeros (y counts as yy)
//   h hh      hour without / with leading zero (12-hour clock when am/pm or a/p appear)
//   n nn      minute;  s ss  second
//   z         milliseconds without leading zeros; zz hundredths of a second, two digits;
//             zzz milliseconds, three digits
//   am/pm a/p "am"/"pm" or "a"/"p", in the letter case written; ampm gives AM/PM
//   "..." '...'  literal text
// Every other character is copied. A day number outside the valid range gives "".
std::string FormatDateTime(const std::string& Format, TDateTime DateTime);

extern const char* const LongMonthNames[12];
extern const char* const ShortMonthNames[12];
extern const char* const LongDayNames[7];
extern const char* const ShortDayNames[7];

}  // namespace kvr
