#include "zuvado/cp1252.h"

#include <cstdint>

namespace kvr::detail {

namespace {

// Code points of bytes 0x80..0x9F; the undefined positions map to their own value.
constexpr char32_t kHighTable[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// -1 for code points without a byte.
int byte_of(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return int(cp);
  for (int i = 0; i < 32; ++i)
    if (kHighTable[i] == cp) return 0x80 + i;
  return -1;
}

// Decodes one character at s[i]; a malformed sequence yields one byte and ok = false.
char32_t next_code_point(std::string_view s, std::size_t& i, bool& ok) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  ok = true;
  if (b0 < 0x80) { ++i; return b0; }
  int len = 0;
  char32_t cp = 0, min = 0;
  if ((b0 & 0xE0) == 0xC0) { len = 2; cp = b0 & 0x1F; min = 0x80; }
  else if ((b0 & 0xF0) == 0xE0) { len = 3; cp = b0 & 0x0F; min = 0x800; }
  else if ((b0 & 0xF8) == 0xF0) { len = 4; cp = b0 & 0x07; min = 0x10000; }
  if (len == 0 || i + std::size_t(len) > s.size()) { ok = false; ++i; return 0; }
  for (int k = 1; k < len; ++k) {
    const auto b = static_cast<unsigned char>(s[i + std::size_t(k)]);
    if ((b & 0xC0) != 0x80) { ok = false; ++i; return 0; }
    cp = (cp << 6) | (b & 0x3F);
  }
  // Overlong forms, surrogates and values past U+10FFFF are not characters.
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) { ok = false; ++i; return 0; }
  i += std::size_t(len);
  return cp;
}

void append_utf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += char(cp);
  } else if (cp < 0x800) {
    out += char(0xC0 | (cp >> 6));
    out += char(0x80 | (cp & 0x3F));
  } else {
    out += char(0xE0 | (cp >> 12));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  }
}

}  // namespace

Cp1252Prefix utf8_to_cp1252(std::string_view utf8, std::size_t max_chars) {
  Cp1252Prefix r;
  std::size_t i = 0;
  while (i < utf8.size()) {
    bool ok = true;
    const char32_t cp = next_code_point(utf8, i, ok);
    const int b = ok ? byte_of(cp) : -1;
    if (b < 0) r.exact = false;
    if (r.chars < max_chars) r.bytes += b < 0 ? kCp1252Replacement : char(b);
    ++r.chars;
  }
  return r;
}

std::string cp1252_to_utf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    append_utf8(out, b >= 0x80 && b < 0xA0 ? kHighTable[b - 0x80] : char32_t(b));
  }
  return out;
}

}  // namespace kvr::detail
