// Text lines on byte streams.
//
// A line is written as its bytes followed by CR LF. The reader takes LF, CR LF or a lone
// CR as the end of a line, and a last line without terminator is still a line.
// Format lnfEscapedUtf8 (4, the default) makes every string survive the round trip,
// line breaks included: the writer turns a backslash into "\\", LF into "\n" and CR into
// "\r", and the reader turns them back (any other backslash pair is kept as read).
// Format lnfPlain (0) reads and writes the bytes unchanged, for foreign text files.
#pragma once

#include <istream>
#include <ostream>
#include <string>

#include "platform/types.h"

namespace kvr {

constexpr Integer lnfPlain = 0;
constexpr Integer lnfEscapedUtf8 = 4;

// Reads the next line. EndOfStream becomes true (and the result empty) only when the
// stream was already at its end, so an empty line and a missing line stay apart.
std::string ReadLnStream(std::istream& Stream, bool& EndOfStream, Integer Format = lnfEscapedUtf8);

void WriteLnStream(std::ostream& Stream, const std::string& Line, Integer Format = lnfEscapedUtf8);

}  // namespace kvr
