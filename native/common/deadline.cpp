#include "common/deadline.h"

#include <limits>

namespace kelmon {

Timeout timeout_from_ms(std::optional<std::uint64_t> ms) {
  if (!ms || *ms == 0) return std::nullopt;
  using Rep = Clock::duration::rep;
  constexpr auto kMaxMs = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::duration::max()).count();
  if (*ms >= static_cast<std::uint64_t>(kMaxMs)) return Clock::duration::max();
  return std::chrono::duration_cast<Clock::duration>(std::chrono::milliseconds(static_cast<Rep>(*ms)));
}

Deadline deadline_after(Instant start, Timeout timeout) {
  if (!timeout) return std::nullopt;
  if (*timeout > Instant::max() - start) return Instant::max();
  return start + *timeout;
}

Deadline earlier(Deadline a, Deadline b) {
  if (!a) return b;
  if (!b) return a;
  return *a < *b ? a : b;
}

Deadline test_deadline(Deadline request, Timeout test_timeout) {
  return earlier(request, deadline_after(Clock::now(), test_timeout));
}

bool expired(Deadline deadline, Instant now) { return deadline && now >= *deadline; }

namespace {
template <class Unit>
std::uint64_t elapsed_in(Instant from, Instant to) {
  if (to <= from) return 0;
  auto count = std::chrono::duration_cast<Unit>(to - from).count();
  return count < 0 ? 0 : static_cast<std::uint64_t>(count);
}
}  // namespace

std::uint64_t elapsed_ms(Instant from, Instant to) { return elapsed_in<std::chrono::milliseconds>(from, to); }
std::uint64_t elapsed_us(Instant from, Instant to) { return elapsed_in<std::chrono::microseconds>(from, to); }

}  // namespace kelmon
