// String helpers of the listings and labels. Lengths count characters (UTF-8 code
// points), not bytes, so that names with accents line up in text listings.
#pragma once

#include <string>

#include "platform/types.h"

namespace kvr {

// Text no longer than MaxLen characters: a longer text keeps MaxLen - 1 characters and
// ends in "." to show the cut (MaxLen 1 keeps one character, MaxLen <= 0 gives "").
std::string AbbrevString(const std::string& S, Integer MaxLen);

// S centred in Width characters with blanks (an odd blank goes to the right); a text
// already as wide or wider comes back unchanged.
std::string CenterString(const std::string& S, Integer Width);

// Count copies of C; empty for Count <= 0.
std::string MultiChar(char C, Integer Count);

// A number right-justified in at least Width characters. Precision >= 0: fixed point with
// that many decimals. -1: the exponent form of NumberText (numtext.h). -2 and below:
// general form; with Width >= 8 the most significant digits (up to 15) that fit Width,
// otherwise 6 significant digits.
std::string strff(double Value, Integer Width, Integer Precision);

// Value with Digits significant digits (general form, see StrFloatGeneral); Digits <= 0
// writes the value rounded to an integer (exponent form from 1e15 on). Compact = false
// right-justifies the text in Width characters; Compact = true adds no blanks.
std::string SigDigStr(double Value, Integer Width, Integer Digits, bool Compact);

// Mode 0 "false"/"true", 1 "FALSE"/"TRUE", 2 "False"/"True", 3 "no"/"yes", 4 "0"/"1",
// 5 "F"/"T"; other modes as 0.
std::string BoolToStr(bool B, Integer Mode);

// Only the ASCII letters and digits of S, in order.
std::string ReduceStringToAZ09(const std::string& S);

// Expands character codes written in hexadecimal: "\xHH" (two digits) and "\uHHHH" (four
// digits) become that Unicode character in UTF-8 ("\xB0" is the degree sign), "\\" a
// backslash. Anything else, malformed codes and surrogate halves included, stays as is.
std::string ProcessHexChars(const std::string& S);

}  // namespace kvr
