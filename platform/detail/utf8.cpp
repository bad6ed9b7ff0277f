#include "platform/detail/utf8.h"

namespace kvr::detail {

char32_t utf8_next(std::string_view s, std::size_t& i, Utf8Bad bad) {
  const auto c = static_cast<unsigned char>(s[i]);
  if (c < 0x80) {
    ++i;
    return c;
  }
  const std::size_t len = (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
  if (len == 0 || len > s.size() - i) {
    ++i;
    return kReplacementChar;
  }
  char32_t cp = c & (0x7F >> len);
  for (std::size_t k = 1; k < len; ++k) {
    const auto cc = static_cast<unsigned char>(s[i + k]);
    if (!utf8_is_continuation(cc)) {
      ++i;
      return kReplacementChar;
    }
    cp = (cp << 6) | (cc & 0x3F);
  }
  static constexpr char32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    i += bad == Utf8Bad::sequence ? len : 1;
    return kReplacementChar;
  }
  i += len;
  return cp;
}

void utf8_append(std::string& out, char32_t cp) {
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = kReplacementChar;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

int64_t utf8_length(std::string_view s) {
  int64_t n = 0;
  for (char c : s) n += !utf8_is_continuation(static_cast<unsigned char>(c));
  return n;
}

std::string utf8_prefix(std::string_view s, int64_t n) {
  if (n <= 0) return {};
  std::size_t i = 0;
  int64_t count = 0;
  for (; i < s.size(); ++i) {
    if (utf8_is_continuation(static_cast<unsigned char>(s[i]))) continue;
    if (count == n) break;
    ++count;
  }
  return std::string(s.substr(0, i));
}

std::size_t utf8_cut(std::string_view s, std::size_t max_bytes) {
  if (max_bytes >= s.size()) return s.size();
  std::size_t end = max_bytes;
  while (end > 0 && utf8_is_continuation(static_cast<unsigned char>(s[end]))) --end;
  return end;
}

}  // namespace kvr::detail
