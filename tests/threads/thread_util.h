// Runs a body on several threads that start together, so that their work overlaps.
#pragma once

#include <exception>
#include <functional>
#include <latch>
#include <thread>
#include <vector>

namespace kvr {

constexpr int kThreads = 4;

namespace test {

// body(t) for t = 0 .. n-1, each on its own thread; the first exception a body threw is
// rethrown here after all threads have ended.
inline void run_together(int n, const std::function<void(int)>& body) {
  std::latch start(n);
  std::vector<std::exception_ptr> errors(static_cast<size_t>(n));
  std::vector<std::thread> threads;
  for (int t = 0; t < n; ++t)
    threads.emplace_back([&, t] {
      start.arrive_and_wait();
      try {
        body(t);
      } catch (...) {
        errors[static_cast<size_t>(t)] = std::current_exception();
      }
    });
  for (std::thread& th : threads) th.join();
  for (const std::exception_ptr& e : errors)
    if (e) std::rethrow_exception(e);
}

}  // namespace test
}  // namespace kvr
