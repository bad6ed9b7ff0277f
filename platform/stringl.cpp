#include "platform/stringl.h"

#include <algorithm>
#include <cmath>

#include "platform/detail/utf8.h"
#include "platform/numtext.h"

namespace kvr {

std::string AbbrevString(const std::string& S, Integer MaxLen) {
  if (MaxLen <= 0) return {};
  if (detail::utf8_length(S) <= MaxLen) return S;
  if (MaxLen == 1) return detail::utf8_prefix(S, 1);
  return detail::utf8_prefix(S, MaxLen - 1) + ".";
}

std::string CenterString(const std::string& S, Integer Width) {
  const int64_t len = detail::utf8_length(S);
  if (len >= Width) return S;
  const Integer left = Integer((Width - len) / 2);
  return MultiChar(' ', left) + S + MultiChar(' ', Integer(Width - len - left));
}

std::string MultiChar(char C, Integer Count) {
  return Count > 0 ? std::string(static_cast<size_t>(Count), C) : std::string();
}

std::string strff(double Value, Integer Width, Integer Precision) {
  std::string s;
  if (Precision >= 0) {
    s = StrFloatFixed(Value, 1, Precision);
  } else if (Precision == -1) {
    s = NumberText(Value, -1);
  } else if (Width >= 8) {
    // Widest text that still fits the column; at least one digit however narrow.
    for (Integer digits = 15; digits >= 1; --digits) {
      s = StrFloatGeneral(Value, digits);
      if (static_cast<Integer>(s.size()) <= Width) break;
    }
  } else {
    s = StrFloatGeneral(Value, 6);
  }
  if (Width > 0 && static_cast<Integer>(s.size()) < Width)
    s.insert(0, static_cast<size_t>(Width) - s.size(), ' ');
  return s;
}

std::string SigDigStr(double Value, Integer Width, Integer Digits, bool Compact) {
  std::string s;
  if (Digits <= 0)
    s = (std::isfinite(Value) && std::fabs(Value) >= 1e15) ? StrFloatGeneral(Value, 15)
                                                           : StrFloatFixed(Value, 1, 0);
  else
    s = StrFloatGeneral(Value, Digits);
  if (!Compact && Width > 0 && static_cast<Integer>(s.size()) < Width)
    s.insert(0, static_cast<size_t>(Width) - s.size(), ' ');
  return s;
}

std::string BoolToStr(bool B, Integer Mode) {
  switch (Mode) {
    case 1: return B ? "TRUE" : "FALSE";
    case 2: return B ? "True" : "False";
    case 3: return B ? "yes" : "no";
    case 4: return B ? "1" : "0";
    case 5: return B ? "T" : "F";
    default: return B ? "true" : "false";
  }
}

std::string ReduceStringToAZ09(const std::string& S) {
  std::string r;
  for (char c : S)
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
      r.push_back(c);
  return r;
}

namespace {

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Value of n hex digits at s[i..]; -1 if any is missing or not a hex digit.
long hex_run(const std::string& s, size_t i, size_t n) {
  if (i + n > s.size()) return -1;
  long v = 0;
  for (size_t k = 0; k < n; ++k) {
    const int h = hex_value(s[i + k]);
    if (h < 0) return -1;
    v = v * 16 + h;
  }
  return v;
}

}  // namespace

std::string ProcessHexChars(const std::string& S) {
  std::string r;
  r.reserve(S.size());
  size_t i = 0;
  while (i < S.size()) {
    if (S[i] == '\\' && i + 1 < S.size()) {
      const char k = S[i + 1];
      if (k == '\\') {
        r.push_back('\\');
        i += 2;
        continue;
      }
      const size_t n = (k == 'x') ? 2 : (k == 'u') ? 4 : 0;
      if (n > 0) {
        const long cp = hex_run(S, i + 2, n);
        if (cp > 0 && !(cp >= 0xD800 && cp <= 0xDFFF)) {
          detail::utf8_append(r, static_cast<char32_t>(cp));
          i += 2 + n;
          continue;
        }
      }
    }
    r.push_back(S[i]);
    ++i;
  }
  return r;
}

}  // namespace kvr
