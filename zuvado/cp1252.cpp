#include "zuvado/cp1252.h"

#include <cstdint>

#include "platform/detail/utf8.h"

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

}  // namespace

Cp1252Prefix utf8_to_cp1252(std::string_view utf8, std::size_t max_chars) {
  Cp1252Prefix r;
  std::size_t i = 0;
  while (i < utf8.size()) {
    // Each byte of a malformed sequence is one character without a byte.
    const int b = byte_of(utf8_next(utf8, i, Utf8Bad::byte));
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
    utf8_append(out, b >= 0x80 && b < 0xA0 ? kHighTable[b - 0x80] : char32_t(b));
  }
  return out;
}

}  // namespace kvr::detail
