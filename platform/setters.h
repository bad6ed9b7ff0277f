// The first step of a property setter: compare, then store.
#pragma once

#include <algorithm>

#include "platform/types.h"

namespace kvr {

// Stores v in field unless they compare equal; true when the value changed, so that the
// setter goes on to invalidate and notify. The comparison is ==, so a NaN always stores.
template <class T, class U>
bool StoreIfChanged(T& field, const U& v) {
  if (field == v) return false;
  field = v;
  return true;
}

// Stores a margin of a control limited to 0..Extent - Opposite - MinFree, so that with
// the margin across from it at least MinFree pixels stay free; true when it changed.
inline bool StoreMarginIfChanged(Integer& Field, Integer v, Integer Opposite, Integer Extent,
                                 Integer MinFree) {
  return StoreIfChanged(Field,
                        std::max<Integer>(0, std::min<Integer>(v, Extent - Opposite - MinFree)));
}

}  // namespace kvr
