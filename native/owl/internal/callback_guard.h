// Work done inside a callback of a C parser (expat, raptor) must not unwind
// through the parser. The guard runs the work, keeps the first exception it
// throws and throws it again, unchanged, once the parser has returned: an
// invariant failure stays an invariant failure and is never made a parse error.
#pragma once

#include <exception>
#include <utility>

namespace kelmon::owl {

class CallbackGuard {
 public:
  // Runs `work` unless an earlier run failed; false when it throws, and the
  // caller then stops the parser.
  template <class F>
  bool run(F&& work) noexcept {
    if (pending_) return false;
    try {
      std::forward<F>(work)();
      return true;
    } catch (...) {
      pending_ = std::current_exception();
      return false;
    }
  }
  bool failed() const noexcept { return static_cast<bool>(pending_); }
  // Throws the kept exception, if there is one.
  void rethrow() {
    if (pending_) std::rethrow_exception(std::exchange(pending_, nullptr));
  }

 private:
  std::exception_ptr pending_;
};

}  // namespace kelmon::owl
