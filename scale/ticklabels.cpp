#include "scale/ticklabels.h"

#include <cmath>
#include <cstdio>

#include "platform/kvrmath.h"

namespace kvr::detail {

int auto_decimals_linear(int dec_places, double low, double high) {
  if (dec_places != -2 && dec_places != -3) return dec_places;
  const double s = std::fabs(low - high);
  if (!std::isfinite(s)) return -1;
  if (s >= 1e6 || s <= 1e-4) return -1;
  if (s >= 100) return 0;
  return static_cast<int>(2 - Round(std::log(s) / 2.5));
}

int auto_decimals_log(int dec_places, double low, double high) {
  if (dec_places != -2) return dec_places;
  const double M = std::max(low, high), m = std::min(low, high);
  if (!std::isfinite(M - m)) return -1;
  if (M - m >= 1e6 || M - m <= 1e-4) return -1;
  if (m >= 1) return 0;
  return static_cast<int>(1 - Round(std::log10(std::fabs(m))));
}

void linear_label(double v, int decimals, int dec_places, double low, double high,
                  std::string& out) {
  const double span = std::fabs(high - low);
  // Rounding noise around zero would otherwise print as 1.2E-17.
  if (std::fabs(v / (high - low)) < 1e-14) {
    v = 0;
    if (span > 100000)
      out = decimals == 0 ? "0" : "0.0";
    else
      out = NumberText(0.0, decimals);
  } else {
    out = NumberText(v, decimals);
  }
  if (out.size() > kMaxLabelLength) out.resize(kMaxLabelLength);
  if (dec_places == 0 && std::fabs(v - std::round(v)) > 1e-6) out.clear();
}

void log_label(double v, int multiplier, int decimals, int dec_places, std::string& out) {
  if (decimals == -3) {
    if (multiplier == 1)
      out = NumberText(static_cast<double>(Round(std::log10(v))), 0);
    else
      out.clear();
  } else {
    out = NumberText(v, decimals);
  }
  if (out.size() > kMaxLabelLength) out.resize(kMaxLabelLength);
  if (dec_places == -2 && out.find('.') != std::string::npos &&
      out.find_first_of("eE") == std::string::npos) {
    while (!out.empty() && out.back() == '0') out.pop_back();
    // "1000." is no better than "1000".
    if (!out.empty() && out.back() == '.') out.pop_back();
  }
}

void duration_label(double v, bool fractions, std::string& out) {
  const double a = std::fabs(v);
  long long ms = std::isfinite(a) ? static_cast<long long>(Round(a * 1000.0)) : 0;
  if (!fractions) ms = static_cast<long long>(Round(static_cast<long double>(ms) / 1000.0L)) * 1000;
  const long long secs = ms / 1000;
  char buf[64];
  int n = std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", secs / 3600, secs / 60 % 60,
                        secs % 60);
  if (fractions) std::snprintf(buf + n, sizeof buf - n, ".%03lld", ms % 1000);
  out.assign(buf);
}

namespace {

std::string quoted(char c) {
  std::string s = "\"";
  s += c;
  s += '"';
  return s;
}

std::string time_format(TimeUnit unit, const TDTLabel& f) {
  const std::string T = quoted(f.TimeSeparator());
  const int tf = f.TimeFormat();
  switch (unit) {
    case TimeUnit::hours:
      return tf == 0 ? "hh" + T + "nn" : tf == 1 ? "h\"h\"" : "ham/pm";
    case TimeUnit::minutes:
      return tf == 0 ? "hh" + T + "nn" : tf == 1 ? "h\"h\"nn" : "h" + T + "nnam/pm";
    case TimeUnit::seconds:
      return tf == 0 ? "hh" + T + "nn" + T + "ss"
                     : tf == 1 ? "h\"h\"nn" + T + "ss" : "h" + T + "nn\".\"ssam/pm";
    case TimeUnit::hundredths:
      return tf == 0 ? "hh" + T + "nn" + T + "ss.zz"
                     : tf == 1 ? "h\"h\"nn" + T + "ss.zz" : "h" + T + "nn\".\"ss.zzam/pm";
    default:
      return {};
  }
}

std::string year_piece(const TDTLabel& f) {
  switch (f.YearLength()) {
    case ylTwoDigits: return "yy";
    case ylFourDigits: return "yyyy";
    default: return {};
  }
}

std::string day_format(const TDTLabel& f) {
  const std::string S = quoted(f.DateSeparator());
  const std::string d = "dd", m = f.MonthName() ? "mmm" : "mm", y = year_piece(f);
  auto join = [&](const std::string& a, const std::string& b, const std::string& c) {
    std::string r = a + S + b;
    if (!c.empty()) r += S + c;
    return r;
  };
  switch (f.DateOrder()) {
    case doMDY: return join(m, d, y);
    case doYMD: return y.empty() ? m + S + d : y + S + m + S + d;
    default: return join(d, m, y);
  }
}

std::string month_format(const TDTLabel& f) {
  const std::string S = quoted(f.DateSeparator());
  const std::string m = f.MonthName() ? "mmm" : "mm", y = year_piece(f);
  return f.DateOrder() == doYMD ? y + S + m : m + S + y;
}

}  // namespace

DateTimeFormats date_time_formats(TimeUnit unit, const TDTLabel& f) {
  DateTimeFormats r;
  r.date = day_format(f);
  switch (unit) {
    case TimeUnit::days: r.tick = r.date; break;
    case TimeUnit::months: r.tick = month_format(f); break;
    case TimeUnit::years:
      r.tick = year_piece(f);
      r.year_digits_trimmed = f.YearLength() == ylFourDigits;
      break;
    default: r.tick = time_format(unit, f); break;
  }
  return r;
}

double to_framework_date(double v) {
  if (std::fabs(v) < 1e-8) return 0;
  if (v >= 0) return v;
  const double f = Frac(v);
  const double n = IntNeg(v);
  return f <= -1e-8 ? n - f - 1 : n - f;
}

void date_time_label(const std::string& format, double v, bool trim_year_zeros, std::string& out) {
  if (format.empty()) {
    out.clear();
    return;
  }
  out = FormatDateTime(format, to_framework_date(v));
  if (trim_year_zeros) {
    const size_t nz = out.find_first_not_of('0');
    out.erase(0, nz == std::string::npos ? out.size() : nz);
  }
}

std::string extract_user_text(std::string_view text, int index) {
  if (text.empty() || index < 1) return {};
  size_t start = 0;
  for (int field = 1;; ++field) {
    const size_t bar = text.find('|', start);
    if (field == index || bar == std::string_view::npos)
      return std::string(text.substr(start, bar == std::string_view::npos ? text.npos : bar - start));
    start = bar + 1;
  }
}

std::string add_scale_inscription(const std::string& text, const std::string& inscript) {
  if (text.empty()) return text;
  const size_t amp = inscript.find('&');
  if (amp == std::string::npos) return inscript + text;
  return inscript.substr(0, amp) + text + inscript.substr(amp + 1);
}

}  // namespace kvr::detail
