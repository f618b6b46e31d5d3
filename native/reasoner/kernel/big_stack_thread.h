// Runs one piece of work on a thread of its own with a chosen stack size and
// waits for it: searches whose recursion follows the size of the input need
// far more stack than the caller's thread has.
#pragma once

#include <cstddef>
#include <string_view>

namespace kelmon::reasoner {

namespace detail {
void run_on_thread(std::size_t stack_bytes, void (*call)(void*), void* context, std::string_view spawn_failure);
}  // namespace detail

// Calls fn() on a new thread with `stack_bytes` of stack and joins it. An
// exception thrown by fn is rethrown on the caller; a thread that cannot be
// started is the invariant failure `spawn_failure`.
template <class Fn>
void run_with_stack(std::size_t stack_bytes, std::string_view spawn_failure, Fn&& fn) {
  detail::run_on_thread(
      stack_bytes, [](void* f) { (*static_cast<Fn*>(f))(); }, &fn, spawn_failure);
}

}  // namespace kelmon::reasoner
