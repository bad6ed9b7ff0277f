// The first step of a property setter: compare, then store.
#pragma once

namespace kvr {

// Stores v in field unless they compare equal; true when the value changed, so that the
// setter goes on to invalidate and notify. The comparison is ==, so a NaN always stores.
template <class T, class U>
bool StoreIfChanged(T& field, const U& v) {
  if (field == v) return false;
  field = v;
  return true;
}

}  // namespace kvr
