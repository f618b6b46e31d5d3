// Runs a call on the current stack while enough of it is left, otherwise on
// a fresh 8 MiB segment, so that deep search recursion cannot overflow the
// thread's stack. An exception thrown on a segment is carried back and
// rethrown on the caller's stack.
#pragma once

#include <cstddef>

namespace kelmon::hyper_internal {

inline constexpr std::size_t kStackReserve = 512 * 1024;
inline constexpr std::size_t kSegmentSize = 8 * 1024 * 1024;

// Bytes left below the current position, or 0 when the limit is unknown.
std::size_t stack_remaining();

void run_on_fresh_segment(void (*fn)(void*), void* arg);

template <typename F>
void with_stack_guard(F&& f) {
  if (stack_remaining() >= kStackReserve) {
    f();
    return;
  }
  run_on_fresh_segment([](void* p) { (*static_cast<F*>(p))(); }, &f);
}

}  // namespace kelmon::hyper_internal
