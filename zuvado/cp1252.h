// Conversion between UTF-8 (every string of the library) and Windows-1252, the
// single-byte code page of the short text field of text items.
//
// Encoding rule: U+0000..U+007F and U+00A0..U+00FF keep their value; the 27 typographic
// characters that Windows-1252 places at 0x80..0x9F (euro sign, curly quotes, dashes,
// ...) get those bytes; U+0081, U+008D, U+008F, U+0090 and U+009D, the five positions
// the code page leaves undefined, pass through as their own byte. Every other code
// point, and every byte of a malformed UTF-8 sequence, becomes '?' (0x3F), one per
// character. Decoding is the exact inverse for every byte.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kvr::detail {

constexpr char kCp1252Replacement = '?';

struct Cp1252Prefix {
  std::string bytes;       // the converted first max_chars characters
  std::size_t chars = 0;   // characters in the whole input
  bool exact = true;       // every character of the whole input has a byte of its own
};

// Converts the first max_chars characters of a UTF-8 text and counts all of them.
Cp1252Prefix utf8_to_cp1252(std::string_view utf8, std::size_t max_chars);
std::string cp1252_to_utf8(std::string_view bytes);

}  // namespace kvr::detail
