// UTF-8 decoding, encoding, lengths and cuts.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/detail/utf8.h"

using namespace kvr::detail;

namespace {

std::vector<char32_t> decode(std::string_view s, Utf8Bad bad = Utf8Bad::byte) {
  std::vector<char32_t> out;
  for (std::size_t i = 0; i < s.size();) out.push_back(utf8_next(s, i, bad));
  return out;
}

std::string encode(char32_t cp) {
  std::string s;
  utf8_append(s, cp);
  return s;
}

constexpr char32_t R = kReplacementChar;

}  // namespace

TEST(Utf8, RoundTripAtEveryLengthBoundary) {
  for (uint32_t cp : {0x0u, 0x7Fu, 0x80u, 0x7FFu, 0x800u, 0xD7FFu, 0xE000u, 0xFFFDu, 0xFFFFu,
                      0x10000u, 0x10FFFFu}) {
    const std::string s = encode(cp);
    EXPECT_EQ(s.size(), cp < 0x80 ? 1u : cp < 0x800 ? 2u : cp < 0x10000 ? 3u : 4u) << std::hex << cp;
    EXPECT_EQ(decode(s), std::vector<char32_t>{char32_t(cp)}) << std::hex << cp;
  }
  EXPECT_EQ(encode(0x20AC), "\xE2\x82\xAC");
  EXPECT_EQ(encode(0x1F600), "\xF0\x9F\x98\x80");
}

TEST(Utf8, EncoderWritesNoSurrogatesOrValuesPastTheRange) {
  EXPECT_EQ(encode(0xD800), "\xEF\xBF\xBD");
  EXPECT_EQ(encode(0xDFFF), "\xEF\xBF\xBD");
  EXPECT_EQ(encode(0x110000), "\xEF\xBF\xBD");
}

TEST(Utf8, BrokenSequencesCostOneByteEach) {
  // Lone continuation, invalid leads, a lead followed by ASCII, a cut-off end: the
  // character after the fault is always found again.
  EXPECT_EQ(decode("a\x80z"), (std::vector<char32_t>{'a', R, 'z'}));
  EXPECT_EQ(decode("\xFF\xFE\xF8"), (std::vector<char32_t>{R, R, R}));
  EXPECT_EQ(decode("\xC3z"), (std::vector<char32_t>{R, 'z'}));
  EXPECT_EQ(decode("\xE2\x82z"), (std::vector<char32_t>{R, R, 'z'}));
  EXPECT_EQ(decode("z\xF0\x9F\x98"), (std::vector<char32_t>{'z', R, R, R}));
  EXPECT_EQ(decode("\xE2\x82", Utf8Bad::sequence), (std::vector<char32_t>{R, R}));
}

TEST(Utf8, NonCharactersOfCompleteShapeByPolicy) {
  const char* overlong2 = "\xC0\xAF";          // '/'
  const char* overlong3 = "\xE0\x80\xAF";      // '/'
  const char* overlong4 = "\xF0\x82\x82\xAC";  // euro sign
  const char* surrogate = "\xED\xA0\x80";      // U+D800
  const char* past_range = "\xF4\x90\x80\x80";  // U+110000
  const char* lead_f5 = "\xF5\x80\x80\x80";
  for (const char* s : {overlong2, overlong3, overlong4, surrogate, past_range, lead_f5}) {
    const std::string_view v(s);
    EXPECT_EQ(decode(v, Utf8Bad::byte), std::vector<char32_t>(v.size(), R)) << v.size();
    EXPECT_EQ(decode(v, Utf8Bad::sequence), std::vector<char32_t>{R}) << v.size();
  }
  // The smallest values of each length are not overlong.
  EXPECT_EQ(decode("\xC2\x80\xE0\xA0\x80\xF0\x90\x80\x80"),
            (std::vector<char32_t>{0x80, 0x800, 0x10000}));
  EXPECT_EQ(decode("\xED\x9F\xBF\xEE\x80\x80"), (std::vector<char32_t>{0xD7FF, 0xE000}));
}

TEST(Utf8, LengthPrefixAndCutKeepCharactersWhole) {
  const std::string s = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z";  // a é € 😀 z
  EXPECT_EQ(utf8_length(s), 5);
  EXPECT_EQ(utf8_length(""), 0);
  EXPECT_EQ(utf8_prefix(s, 0), "");
  EXPECT_EQ(utf8_prefix(s, -3), "");
  EXPECT_EQ(utf8_prefix(s, 2), "a\xC3\xA9");
  EXPECT_EQ(utf8_prefix(s, 4), s.substr(0, 10));
  EXPECT_EQ(utf8_prefix(s, 99), s);
  for (std::size_t n = 0; n <= s.size() + 1; ++n) {
    const std::size_t cut = utf8_cut(s, n);
    EXPECT_LE(cut, n);
    EXPECT_LT(std::min(n, s.size()), cut + 4);
    const std::string kept = s.substr(0, cut);
    EXPECT_EQ(utf8_prefix(s, utf8_length(kept)), kept) << n;  // ends on a boundary
  }
  EXPECT_EQ(utf8_cut(s, 5), 3u);  // inside the euro sign: back to its lead byte
  EXPECT_EQ(utf8_cut(s, 6), 6u);
  EXPECT_EQ(utf8_cut("\x80\x80", 1), 0u);
}
