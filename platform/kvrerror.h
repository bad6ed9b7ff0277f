// The library's errors and how they are raised.
//
// Documented failures are exceptions of the Exception family, raised through
// RaiseKvrError<E> so that every unit reports alike; the type says what failed and the
// message is passed through unchanged. Broken internal invariants are programming
// faults, not failures: KVR_ASSERT checks them in debug builds and costs nothing in
// release builds (NDEBUG).
#pragma once

#include <cassert>
#include <string>

#include "platform/types.h"

namespace kvr {

// Errors raised by the components.
class EKvrError : public Exception {
 public:
  using Exception::Exception;
};
class EKvrZUvadoError : public EKvrError {
 public:
  using EKvrError::EKvrError;
};
class EKvrRot3DError : public EKvrError {
 public:
  using EKvrError::EKvrError;
};

// The single place that raises the library's errors. E is any exception type built from
// a message (the base error when none is given).
template <class E = EKvrError>
[[noreturn]] void RaiseKvrError(const std::string& Msg) {
  throw E(Msg);
}

}  // namespace kvr

// An internal invariant of a hot path; the message says what was expected.
#ifdef NDEBUG
#define KVR_ASSERT(cond, msg) ((void)0)
#else
#define KVR_ASSERT(cond, msg) assert((cond) && (msg))
#endif
