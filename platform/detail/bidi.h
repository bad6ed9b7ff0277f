// Direction of mixed left-to-right and right-to-left text on one line, reduced to what
// labels need: no explicit embeddings or isolates, one paragraph. Strong characters keep
// their direction, numbers read left to right, and neutral characters between two runs
// of one direction join them, otherwise they follow the paragraph, whose direction is
// that of its first strong character.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kvr::detail {

enum class BidiClass : uint8_t {
  L,    // strong left-to-right
  R,    // strong right-to-left
  EN,   // digit
  NSM,  // combining mark: takes the class of the character before it
  N     // neutral: spaces, punctuation, symbols
};

// Embedding level per character (even: left to right); returns the paragraph's level.
int resolve_bidi_levels(const BidiClass* cls, uint8_t* levels, size_t n);

// Visual order of n items (runs or characters) with the given levels: order[k] is the
// item shown k-th from the left. Sequences are reversed from the highest level down to
// the lowest odd one.
void bidi_visual_order(const uint8_t* levels, int* order, size_t n);

}  // namespace kvr::detail
