// UTF-8 in one place: decoding with a chosen treatment of malformed input, encoding, and
// lengths and cuts that never split a character. Texts are counted in code points; a
// stray continuation byte belongs to the character before it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kvr::detail {

constexpr char32_t kReplacementChar = 0xFFFD;

// How much of a malformed sequence one U+FFFD stands for. A bad lead byte, a missing
// continuation byte or a cut-off end always costs one byte, so that the next character
// is found again. A sequence of complete shape that is no character (overlong form,
// surrogate, value past U+10FFFF) costs one byte with byte, all of it with sequence.
enum class Utf8Bad { byte, sequence };

inline bool utf8_is_continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// The character at s[i] (i < s.size()); moves i past what it read.
char32_t utf8_next(std::string_view s, std::size_t& i, Utf8Bad bad = Utf8Bad::byte);

// Appends one code point; surrogates and values past U+10FFFF are written as U+FFFD.
void utf8_append(std::string& out, char32_t code_point);

int64_t utf8_length(std::string_view s);
// The first n characters of s.
std::string utf8_prefix(std::string_view s, int64_t n);
// The longest byte count up to max_bytes that ends on a character boundary.
std::size_t utf8_cut(std::string_view s, std::size_t max_bytes);

}  // namespace kvr::detail
