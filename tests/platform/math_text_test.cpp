// Number text, string helpers and text lines on streams.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "platform/kvrmath.h"

using namespace kvr;

TEST(MathNumberText, FixedPoint) {
  EXPECT_EQ(NumberText(2.5, 2), "2.50");
  EXPECT_EQ(NumberText(2.5, 0), "3");      // half away from zero, as written
  EXPECT_EQ(NumberText(-2.5, 0), "-3");
  EXPECT_EQ(NumberText(1.005, 2), "1.01");  // the decimal value, not its binary neighbour
  EXPECT_EQ(NumberText(9.96, 1), "10.0");
  EXPECT_EQ(NumberText(0.05, 1), "0.1");
  EXPECT_EQ(NumberText(-0.001, 2), "0.00");  // no "-0.00"
  EXPECT_EQ(NumberText(-1234.5678, 3), "-1234.568");
  EXPECT_EQ(NumberText(1e20, 0), "100000000000000000000");
  EXPECT_EQ(NumberText(0.000123, 12), "0.000123000000");
  EXPECT_EQ(StrFloatFixed(3.14159, 8, 2), "    3.14");
  EXPECT_EQ(StrFloatFixed(-3.14159, 2, 2), "-3.14");  // width is a minimum
}

TEST(MathNumberText, ExponentFormAndOverflowStars) {
  EXPECT_EQ(StrFloatExp(1e7, 3), " 1.0E+0007");
  EXPECT_EQ(StrFloatExp(-1234.5, 12), "-1.235E+0003");
  EXPECT_EQ(NumberText(1e7, -1), " 1.0E+07");
  EXPECT_EQ(NumberText(9.96e6, -1), " 1.0E+07");  // rounding carries into the exponent
  EXPECT_EQ(NumberText(-1.5e-5, -1), "-1.5E-05");
  EXPECT_EQ(NumberText(0.0, -1), " 0.0E+00");
  EXPECT_EQ(NumberText(9.99e99, -1), "********");  // rounds up to 1.0E+100
  EXPECT_EQ(NumberText(1e150, -1), "********");
  EXPECT_EQ(NumberText(-1e-150, -1), "********");
  EXPECT_EQ(NumberText(1.7976931348623157e308, -1), "********");
}

TEST(MathNumberText, NonFiniteValues) {
  EXPECT_EQ(NumberText(std::nan(""), 2), "NaN");
  EXPECT_EQ(NumberText(-HUGE_VAL, -1), "-Inf");
  EXPECT_EQ(strff(HUGE_VAL, 5, -2), "  Inf");
  EXPECT_EQ(SigDigStr(std::nan(""), 10, 0, true), "NaN");
}

TEST(MathNumberText, StrffCodes) {
  EXPECT_EQ(strff(2.5, 1, 2), "2.50");
  EXPECT_EQ(strff(-0.5, 6, 0), "    -1");
  EXPECT_EQ(strff(1e150, 10, -1), "  ********");
  EXPECT_EQ(strff(2500000, 1, -2), "2.5E+06");
  EXPECT_EQ(strff(0.1, 1, -2), "0.1");
  // Width >= 8: as many digits as the column holds, never wider.
  EXPECT_EQ(strff(1.0 / 3.0, 12, -2), "0.3333333333");
  EXPECT_EQ(strff(-123456789012345678.0, 12, -2), "-1.23457E+17");
  for (double v : {1.0 / 7.0, -2.0e-7, 6.02214076e23, -99999.99999, 0.0}) {
    const std::string s = strff(v, 12, -2);
    EXPECT_EQ(s.size(), 12u) << s;
    EXPECT_NEAR(std::stod(s), v, std::fabs(v) * 1e-5) << s;
  }
}

TEST(MathNumberText, SigDigStr) {
  EXPECT_EQ(SigDigStr(12345.678, 10, 5, true), "12346");
  EXPECT_EQ(SigDigStr(0.000123456, 10, 5, true), "0.00012346");
  EXPECT_EQ(SigDigStr(1234567.0, 10, 5, true), "1.2346E+06");
  EXPECT_EQ(SigDigStr(1.5, 10, 5, true), "1.5");
  EXPECT_EQ(SigDigStr(1.5, 10, 5, false), "       1.5");
  EXPECT_EQ(SigDigStr(-3.0, 10, 0, true), "-3");
  EXPECT_EQ(SigDigStr(0.78539816, 10, 8, true), "0.78539816");
  EXPECT_EQ(SigDigStr(2e15, 10, 0, true), "2E+15");
}

TEST(MathStrings, AbbrevCenterMulti) {
  EXPECT_EQ(AbbrevString("Temperature", 5), "Temp.");
  EXPECT_EQ(AbbrevString("Temp", 5), "Temp");
  EXPECT_EQ(AbbrevString("Temp", 1), "T");
  EXPECT_EQ(AbbrevString("Temp", 0), "");
  EXPECT_EQ(AbbrevString("Größenwert", 4), "Grö.");  // counts characters, not bytes
  EXPECT_EQ(CenterString("ab", 6), "  ab  ");
  EXPECT_EQ(CenterString("abc", 6), " abc  ");
  EXPECT_EQ(CenterString("ä", 3), " ä ");
  EXPECT_EQ(CenterString("toolong", 3), "toolong");
  EXPECT_EQ(MultiChar('-', 3), "---");
  EXPECT_EQ(MultiChar('x', -1), "");
  EXPECT_EQ(BoolToStr(true, 0), "true");
  EXPECT_EQ(BoolToStr(false, 0), "false");
  EXPECT_EQ(BoolToStr(true, 99), "true");
  EXPECT_EQ(BoolToStr(false, 3), "no");
}

TEST(MathStrings, ReduceAndHexChars) {
  EXPECT_EQ(ReduceStringToAZ09("a-b c_1!ä9Z"), "abc19Z");
  EXPECT_EQ(ProcessHexChars("T in \\xB0C"), "T in \xC2\xB0" "C");
  EXPECT_EQ(ProcessHexChars("\\u03A9 = ohm"), "\xCE\xA9 = ohm");
  EXPECT_EQ(ProcessHexChars("\\x41\\x62"), "Ab");
  EXPECT_EQ(ProcessHexChars("\\\\x41"), "\\x41");     // escaped backslash
  EXPECT_EQ(ProcessHexChars("\\xZ1 \\x4"), "\\xZ1 \\x4");  // malformed stays
  EXPECT_EQ(ProcessHexChars("\\uD800"), "\\uD800");   // lone surrogate stays
  EXPECT_EQ(ProcessHexChars("end\\"), "end\\");
}

TEST(MathStreams, LinesRoundTrip) {
  const std::vector<std::string> lines = {
      "", "plain", "back\\slash", "two\nlines\r\nand CR\r", "ünïcödé ✓ 日本", "\\n literal",
      "", "trailing blank ", std::string("nul\0inside", 10)};
  std::stringstream s;
  for (const auto& l : lines) WriteLnStream(s, l);
  bool eof = false;
  for (const auto& l : lines) {
    EXPECT_EQ(ReadLnStream(s, eof, 4), l);
    EXPECT_FALSE(eof);
  }
  EXPECT_EQ(ReadLnStream(s, eof, 4), "");
  EXPECT_TRUE(eof);
  EXPECT_EQ(ReadLnStream(s, eof, 4), "");  // stays at the end
  EXPECT_TRUE(eof);
}

TEST(MathStreams, ForeignLineEnds) {
  std::istringstream s("a\r\nb\nc\rd\n\nlast");
  bool eof = false;
  for (const char* want : {"a", "b", "c", "d", "", "last"}) {
    EXPECT_EQ(ReadLnStream(s, eof, lnfPlain), want);
    EXPECT_FALSE(eof);
  }
  ReadLnStream(s, eof, lnfPlain);
  EXPECT_TRUE(eof);

  std::istringstream empty("");
  EXPECT_EQ(ReadLnStream(empty, eof), "");
  EXPECT_TRUE(eof);

  std::ostringstream out;
  WriteLnStream(out, "C:\\dir", lnfPlain);
  EXPECT_EQ(out.str(), "C:\\dir\r\n");
}
