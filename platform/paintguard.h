// Painting held off for a scope. Components batch several property changes into one
// picture by setting their suppress flag, changing, and putting the old value back; the
// guard does the putting back on every exit, so an exception cannot leave a component
// that never paints again.
//
//   const auto hold = detail::suppress_paint(FSuppressPaint);           // no repaint
//   const auto hold = detail::suppress_paint_then_resume(FSuppressPaint, *this);
//   const auto hold = detail::suppress_paint_then(FSuppressPaint, [this] { Changed(); });
//
// On a normal exit the second form hands the old value to the component's
// SetSuppressPaint, which repaints when painting resumes; the third stores it back and
// runs the action. When an exception leaves the scope the old value is only stored
// back: nothing is painted from a half-done change.
#pragma once

#include <exception>
#include <utility>

namespace kvr::detail {

// Holds a flag at a value; Resume(flag, old) puts the old value back on a normal exit.
template <class Resume>
class [[nodiscard]] FlagHold {
 public:
  FlagHold(bool& flag, bool value, Resume resume)
      : flag_(flag), saved_(flag), resume_(std::move(resume)),
        unwinding_(std::uncaught_exceptions()) {
    flag_ = value;
  }
  FlagHold(const FlagHold&) = delete;
  FlagHold& operator=(const FlagHold&) = delete;
  // May throw what the resume action throws, never while an exception unwinds.
  ~FlagHold() noexcept(noexcept(std::declval<Resume&>()(std::declval<bool&>(), false))) {
    if (done_) return;
    if (std::uncaught_exceptions() > unwinding_)
      flag_ = saved_;
    else
      resume_(flag_, saved_);
  }

  // Ends the hold before the scope does, for code that must run after painting resumed
  // (change events); the destructor then does nothing.
  void restore() {
    if (done_) return;
    done_ = true;
    resume_(flag_, saved_);
  }

 private:
  bool& flag_;
  const bool saved_;
  Resume resume_;
  const int unwinding_;
  bool done_ = false;
};

struct StoreBack {
  void operator()(bool& flag, bool old) const noexcept { flag = old; }
};

// Sets flag to value for the scope and stores the old value back, nothing else.
inline FlagHold<StoreBack> hold_flag(bool& flag, bool value) { return {flag, value, {}}; }

inline FlagHold<StoreBack> suppress_paint(bool& flag) { return hold_flag(flag, true); }

template <class Component>
auto suppress_paint_then_resume(bool& flag, Component& component) {
  auto resume = [&component](bool&, bool old) { component.SetSuppressPaint(old); };
  return FlagHold<decltype(resume)>(flag, true, resume);
}

template <class Action>
auto suppress_paint_then(bool& flag, Action action) {
  auto resume = [action = std::move(action)](bool& f, bool old) {
    f = old;
    action();
  };
  return FlagHold<decltype(resume)>(flag, true, std::move(resume));
}

}  // namespace kvr::detail
