#include "platform/detail/bidi.h"

#include <algorithm>

namespace kvr::detail {

int resolve_bidi_levels(const BidiClass* cls, uint8_t* levels, size_t n) {
  using C = BidiClass;
  const C* first_strong = std::find_if(cls, cls + n, [](C c) { return c == C::L || c == C::R; });
  const C para = first_strong != cls + n ? *first_strong : C::L;
  // Work on the levels array as a class array first; classes fit in a byte.
  auto at = [&](size_t i) { return static_cast<C>(levels[i]); };
  auto set = [&](size_t i, C c) { levels[i] = static_cast<uint8_t>(c); };
  C prev = para, strong = para;
  for (size_t i = 0; i < n; ++i) {
    C c = cls[i] == C::NSM ? prev : cls[i];
    // A number after left-to-right text is part of it.
    if (c == C::EN && strong == C::L) c = C::L;
    if (c == C::L || c == C::R) strong = c;
    set(i, c);
    prev = c;
  }
  // Neutrals between two sides of one direction take it (numbers count as right to
  // left here); others take the paragraph's.
  for (size_t i = 0; i < n;) {
    if (at(i) != C::N) {
      ++i;
      continue;
    }
    size_t j = i;
    while (j < n && at(j) == C::N) ++j;
    auto side = [](C c) { return c == C::EN ? C::R : c; };
    const C before = i == 0 ? para : side(at(i - 1));
    const C after = j == n ? para : side(at(j));
    const C c = before == after ? before : para;
    for (size_t k = i; k < j; ++k) set(k, c);
    i = j;
  }
  const int base = para == C::R ? 1 : 0;
  for (size_t i = 0; i < n; ++i) {
    const C c = at(i);
    if (c == C::R) levels[i] = 1;
    else if (c == C::EN) levels[i] = 2;
    else levels[i] = uint8_t(base == 0 ? 0 : 2);
  }
  return base;
}

void bidi_visual_order(const uint8_t* levels, int* order, size_t n) {
  for (size_t i = 0; i < n; ++i) order[i] = int(i);
  if (n == 0) return;
  const uint8_t top = *std::max_element(levels, levels + n);
  uint8_t lowest_odd = 255;
  for (size_t i = 0; i < n; ++i)
    if (levels[i] % 2) lowest_odd = std::min(lowest_odd, levels[i]);
  if (lowest_odd == 255) return;
  // order[k] holds the item now at position k, so levels are looked up through it.
  for (int lv = top; lv >= lowest_odd; --lv) {
    for (size_t i = 0; i < n;) {
      if (levels[order[i]] < lv) {
        ++i;
        continue;
      }
      size_t j = i;
      while (j < n && levels[order[j]] >= lv) ++j;
      std::reverse(order + i, order + j);
      i = j;
    }
  }
}

}  // namespace kvr::detail
