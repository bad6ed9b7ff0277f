#include "platform/numtext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace kvr {

namespace detail {

DecimalDigits shortest_digits(double v) {
  DecimalDigits r;
  r.negative = std::signbit(v);
  v = std::fabs(v);
  if (v == 0.0) {
    r.digits.assign(1, '0');
    return r;
  }
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific);
  std::string s(buf, res.ptr);
  const size_t epos = s.find('e');
  for (size_t i = 0; i < epos; ++i)
    if (s[i] != '.') r.digits.push_back(s[i]);
  r.exp10 = std::atoi(s.c_str() + epos + 1);
  while (r.digits.size() > 1 && r.digits.back() == '0') r.digits.pop_back();
  return r;
}

void round_digits(DecimalDigits& d, int keep) {
  if (keep >= static_cast<int>(d.digits.size())) return;
  if (keep < 0) {
    d.digits.assign(1, '0');
    d.exp10 = 0;
    return;
  }
  const bool up = d.digits[static_cast<size_t>(keep)] >= '5';
  d.digits.resize(static_cast<size_t>(keep));
  if (up) {
    int i = keep - 1;
    while (i >= 0 && d.digits[static_cast<size_t>(i)] == '9') {
      d.digits[static_cast<size_t>(i)] = '0';
      --i;
    }
    if (i >= 0) {
      ++d.digits[static_cast<size_t>(i)];
    } else {
      d.digits.insert(d.digits.begin(), '1');
      ++d.exp10;
    }
  }
  while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
  if (d.digits.empty() || d.digits == "0") {
    d.digits.assign(1, '0');
    d.exp10 = 0;
  }
}

}  // namespace detail

namespace {

std::string non_finite_text(double v) {
  if (std::isnan(v)) return "NaN";
  return v < 0 ? "-Inf" : "Inf";
}

std::string pad_left(std::string s, Integer width) {
  if (width > 0 && static_cast<Integer>(s.size()) < width)
    s.insert(0, static_cast<size_t>(width) - s.size(), ' ');
  return s;
}

// Digit at decimal position p (10^p) of d, '0' outside its digits.
char digit_at(const detail::DecimalDigits& d, int p) {
  const int i = d.exp10 - p;
  if (i < 0 || i >= static_cast<int>(d.digits.size())) return '0';
  return d.digits[static_cast<size_t>(i)];
}

bool is_zero(const detail::DecimalDigits& d) { return d.digits == "0"; }

std::string fixed_body(detail::DecimalDigits d, int decimals) {
  detail::round_digits(d, d.exp10 + 1 + decimals);
  std::string s;
  if (d.negative && !is_zero(d)) s.push_back('-');
  const int top = std::max(d.exp10, 0);
  for (int p = top; p >= 0; --p) s.push_back(digit_at(d, p));
  if (decimals > 0) {
    s.push_back('.');
    for (int p = -1; p >= -decimals; --p) s.push_back(digit_at(d, p));
  }
  return s;
}

// Mantissa with `frac` digits after the point and the decimal exponent, after rounding.
std::string mantissa(detail::DecimalDigits& d, int frac, bool keep_zeros) {
  detail::round_digits(d, frac + 1);
  std::string m(1, digit_at(d, d.exp10));
  std::string tail;
  for (int i = 1; i <= frac; ++i) tail.push_back(digit_at(d, d.exp10 - i));
  if (!keep_zeros)
    while (!tail.empty() && tail.back() == '0') tail.pop_back();
  if (!tail.empty() || keep_zeros) m += "." + tail;
  return m;
}

std::string exponent_text(int e, int min_digits) {
  std::string digits = std::to_string(std::abs(e));
  if (static_cast<int>(digits.size()) < min_digits)
    digits.insert(0, static_cast<size_t>(min_digits) - digits.size(), '0');
  return std::string("E") + (e < 0 ? "-" : "+") + digits;
}

}  // namespace

std::string StrFloatFixed(double Value, Integer Width, Integer Decimals) {
  if (!std::isfinite(Value)) return pad_left(non_finite_text(Value), Width);
  Decimals = std::clamp(Decimals, 0, 30);
  return pad_left(fixed_body(detail::shortest_digits(Value), Decimals), Width);
}

std::string StrFloatExp(double Value, Integer Width) {
  if (!std::isfinite(Value)) return pad_left(non_finite_text(Value), Width);
  const int frac = std::clamp(Width - 9, 1, 17);
  detail::DecimalDigits d = detail::shortest_digits(Value);
  const std::string m = mantissa(d, frac, true);
  const bool neg = d.negative && !is_zero(d);
  const int e = is_zero(d) ? 0 : d.exp10;
  return pad_left(std::string(neg ? "-" : " ") + m + exponent_text(e, 4), Width);
}

std::string NumberText(double Value, Integer Decimals) {
  if (Decimals != -1) return StrFloatFixed(Value, 1, Decimals);
  std::string s = StrFloatExp(Value, 3);
  const size_t epos = s.find('E');
  if (epos == std::string::npos) return s;
  const size_t p = epos + 2;  // just after the exponent sign
  if (s.size() - p != 4) return s;
  const bool leading_zeros = s[p] == '0' && s[p + 1] == '0';
  s.erase(p, 2);
  if (!leading_zeros) s.assign(s.size(), '*');
  return s;
}

std::string StrFloatGeneral(double Value, Integer Digits) {
  if (!std::isfinite(Value)) return non_finite_text(Value);
  Digits = std::clamp(Digits, 1, 17);
  detail::DecimalDigits d = detail::shortest_digits(Value);
  detail::round_digits(d, Digits);
  const bool neg = d.negative && !is_zero(d);
  const int e = is_zero(d) ? 0 : d.exp10;
  std::string s = neg ? "-" : "";
  if (e >= -4 && e < Digits) {
    const int frac = std::max(0, static_cast<int>(d.digits.size()) - 1 - e);
    s += fixed_body(detail::DecimalDigits{false, d.digits, d.exp10}, frac);
    return s;
  }
  s += mantissa(d, Digits - 1, false);
  return s + exponent_text(e, 2);
}

}  // namespace kvr
