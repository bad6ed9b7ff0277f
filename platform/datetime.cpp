#include "platform/datetime.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

#include "platform/arith.h"
#include "platform/kvrerror.h"

namespace kvr {

const char* const LongMonthNames[12] = {"January", "February", "March",     "April",
                                        "May",     "June",     "July",      "August",
                                        "September", "October", "November", "December"};
const char* const ShortMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const LongDayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                     "Thursday", "Friday", "Saturday"};
const char* const ShortDayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

namespace {

constexpr int64_t kMSecsPerDay = 86400000;
// Day number of 1970-01-01 in TDateTime terms.
constexpr int64_t kUnixEpochDay = 25569;

// Days since 1970-01-01 of a proleptic Gregorian date (era arithmetic, exact for all years).
int64_t days_from_civil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void civil_from_days(int64_t z, int64_t& y, unsigned& m, unsigned& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<int64_t>(yoe) + era * 400 + (m <= 2);
}

// Splits a day number into whole days (towards zero) and milliseconds of the day.
bool split(TDateTime v, int64_t& day, int64_t& msec) {
  day = msec = 0;
  if (!std::isfinite(v) || v < MinDateTime - 1.0 || v > MaxDateTime + 1.0) return false;
  const int64_t total = Round(static_cast<long double>(v) * kMSecsPerDay);
  day = total / kMSecsPerDay;
  msec = total % kMSecsPerDay;
  if (msec < 0) msec = -msec;
  return day >= static_cast<int64_t>(MinDateTime) && day <= static_cast<int64_t>(MaxDateTime);
}

}  // namespace

bool IsLeapYear(Integer Year) {
  return (Year % 4 == 0) && (Year % 100 != 0 || Year % 400 == 0);
}

Integer DaysInAMonth(Integer Year, Integer Month) {
  static const Integer days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (Month < 1 || Month > 12) return 0;
  return (Month == 2 && IsLeapYear(Year)) ? 29 : days[Month - 1];
}

bool TryEncodeDate(Integer Year, Integer Month, Integer Day, TDateTime& Date) {
  if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1 ||
      Day > DaysInAMonth(Year, Month))
    return false;
  Date = static_cast<double>(days_from_civil(Year, static_cast<unsigned>(Month),
                                             static_cast<unsigned>(Day)) +
                             kUnixEpochDay);
  return true;
}

bool TryEncodeTime(Integer Hour, Integer Min, Integer Sec, Integer MSec, TDateTime& Time) {
  if (Hour < 0 || Hour > 23 || Min < 0 || Min > 59 || Sec < 0 || Sec > 59 || MSec < 0 ||
      MSec > 999)
    return false;
  Time = static_cast<double>(((Hour * 60 + Min) * 60 + Sec) * int64_t{1000} + MSec) /
         static_cast<double>(kMSecsPerDay);
  return true;
}

TDateTime EncodeDate(Integer Year, Integer Month, Integer Day) {
  TDateTime d = 0;
  if (!TryEncodeDate(Year, Month, Day, d))
    RaiseKvrError<Exception>("Invalid argument to date encode");
  return d;
}

TDateTime EncodeTime(Integer Hour, Integer Min, Integer Sec, Integer MSec) {
  TDateTime t = 0;
  if (!TryEncodeTime(Hour, Min, Sec, MSec, t))
    RaiseKvrError<Exception>("Invalid argument to time encode");
  return t;
}

TDateTime EncodeDateTime(Integer Year, Integer Month, Integer Day, Integer Hour, Integer Min,
                         Integer Sec, Integer MSec) {
  const TDateTime d = EncodeDate(Year, Month, Day);
  const TDateTime t = EncodeTime(Hour, Min, Sec, MSec);
  return d < 0 ? d - t : d + t;
}

bool DecodeDate(TDateTime DateTime, Integer& Year, Integer& Month, Integer& Day) {
  Year = Month = Day = 0;
  int64_t day = 0, msec = 0;
  if (!split(DateTime, day, msec)) return false;
  int64_t y = 0;
  unsigned m = 0, d = 0;
  civil_from_days(day - kUnixEpochDay, y, m, d);
  Year = static_cast<Integer>(y);
  Month = static_cast<Integer>(m);
  Day = static_cast<Integer>(d);
  return true;
}

bool DecodeTime(TDateTime DateTime, Integer& Hour, Integer& Min, Integer& Sec, Integer& MSec) {
  Hour = Min = Sec = MSec = 0;
  int64_t day = 0, msec = 0;
  if (!split(DateTime, day, msec)) return false;
  MSec = static_cast<Integer>(msec % 1000);
  Sec = static_cast<Integer>(msec / 1000 % 60);
  Min = static_cast<Integer>(msec / 60000 % 60);
  Hour = static_cast<Integer>(msec / 3600000);
  return true;
}

bool DecodeDateTime(TDateTime DateTime, Integer& Year, Integer& Month, Integer& Day,
                    Integer& Hour, Integer& Min, Integer& Sec, Integer& MSec) {
  const bool ok = DecodeDate(DateTime, Year, Month, Day);
  DecodeTime(DateTime, Hour, Min, Sec, MSec);
  if (!ok) Hour = Min = Sec = MSec = 0;
  return ok;
}

Integer DayOfWeek(TDateTime DateTime) {
  int64_t day = 0, msec = 0;
  if (!split(DateTime, day, msec)) return 0;
  // Day 0 (1899-12-30) was a Saturday.
  const int64_t w = ((day + 6) % 7 + 7) % 7;  // 0 = Sunday
  return static_cast<Integer>(w + 1);
}

namespace {

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool matches_ci(const std::string& s, size_t i, const char* word) {
  for (size_t k = 0; word[k]; ++k)
    if (i + k >= s.size() || lower(s[i + k]) != word[k]) return false;
  return true;
}

// Whether the format asks for the 12-hour clock (am/pm, a/p or ampm outside quotes).
bool uses_twelve_hours(const std::string& f) {
  char quote = 0;
  for (size_t i = 0; i < f.size(); ++i) {
    if (quote) {
      if (f[i] == quote) quote = 0;
      continue;
    }
    if (f[i] == '"' || f[i] == '\'') {
      quote = f[i];
      continue;
    }
    if (matches_ci(f, i, "am/pm") || matches_ci(f, i, "a/p") || matches_ci(f, i, "ampm"))
      return true;
  }
  return false;
}

std::string number(long v, int width) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%0*ld", width, v);
  return buf;
}

}  // namespace

std::string FormatDateTime(const std::string& Format, TDateTime DateTime) {
  Integer y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, ms = 0;
  if (!DecodeDateTime(DateTime, y, mo, d, h, mi, s, ms)) return {};
  const bool twelve = uses_twelve_hours(Format);
  const bool pm = h >= 12;
  const Integer h12 = (h % 12 == 0) ? 12 : h % 12;
  const Integer hour = twelve ? h12 : h;

  std::string out;
  char last_letter = 0;
  size_t i = 0;
  const size_t n = Format.size();
  auto run = [&](char c, size_t max) {
    size_t k = 0;
    while (i + k < n && lower(Format[i + k]) == c && k < max) ++k;
    return k;
  };
  while (i < n) {
    const char c = Format[i];
    const char lc = lower(c);
    if (c == '"' || c == '\'') {
      const size_t end = Format.find(c, i + 1);
      const size_t stop = end == std::string::npos ? n : end;
      out.append(Format, i + 1, stop - i - 1);
      i = stop == n ? n : stop + 1;
      continue;
    }
    switch (lc) {
      case 'd': {
        const size_t k = run('d', 4);
        if (k == 1) out += std::to_string(d);
        else if (k == 2) out += number(d, 2);
        else if (k == 3) out += ShortDayNames[DayOfWeek(DateTime) - 1];
        else out += LongDayNames[DayOfWeek(DateTime) - 1];
        i += k;
        break;
      }
      case 'm': {
        if (last_letter == 'h') {
          const size_t k = run('m', 2);
          out += k == 1 ? std::to_string(mi) : number(mi, 2);
          i += k;
          break;
        }
        const size_t k = run('m', 4);
        if (k == 1) out += std::to_string(mo);
        else if (k == 2) out += number(mo, 2);
        else if (k == 3) out += ShortMonthNames[mo - 1];
        else out += LongMonthNames[mo - 1];
        i += k;
        break;
      }
      case 'y': {
        const size_t k = run('y', 4);
        out += k <= 2 ? number(y % 100, 2) : number(y, 4);
        i += k;
        break;
      }
      case 'h': {
        const size_t k = run('h', 2);
        out += k == 1 ? std::to_string(hour) : number(hour, 2);
        i += k;
        break;
      }
      case 'n': {
        const size_t k = run('n', 2);
        out += k == 1 ? std::to_string(mi) : number(mi, 2);
        i += k;
        break;
      }
      case 's': {
        const size_t k = run('s', 2);
        out += k == 1 ? std::to_string(s) : number(s, 2);
        i += k;
        break;
      }
      case 'z': {
        const size_t k = run('z', 3);
        if (k == 1) out += std::to_string(ms);
        else if (k == 2) out += number(ms / 10, 2);
        else out += number(ms, 3);
        i += k;
        break;
      }
      case 'a': {
        const bool upper = c == 'A';
        if (matches_ci(Format, i, "am/pm")) {
          out += pm ? (upper ? "PM" : "pm") : (upper ? "AM" : "am");
          i += 5;
        } else if (matches_ci(Format, i, "a/p")) {
          out += pm ? (upper ? "P" : "p") : (upper ? "A" : "a");
          i += 3;
        } else if (matches_ci(Format, i, "ampm")) {
          out += pm ? "PM" : "AM";
          i += 4;
        } else {
          out.push_back(c);
          ++i;
        }
        break;
      }
      default:
        out.push_back(c);
        ++i;
        break;
    }
    if (lc >= 'a' && lc <= 'z') last_letter = lc;
  }
  return out;
}

}  // namespace kvr
