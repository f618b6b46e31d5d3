// Deadlines and timeouts on the monotonic clock. A deadline is an optional
// instant (none = unbounded), a timeout an optional duration.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

namespace kelmon {

using Clock = std::chrono::steady_clock;
using Instant = Clock::time_point;
using Deadline = std::optional<Instant>;
using Timeout = std::optional<Clock::duration>;

// A timeout of `ms` milliseconds; 0 or none means no bound (the Python
// arguments' rule). Huge values saturate instead of overflowing.
Timeout timeout_from_ms(std::optional<std::uint64_t> ms);

// `start + timeout`, saturating at the clock's maximum; none stays none.
Deadline deadline_after(Instant start, Timeout timeout);

// The earlier of two deadlines; none is later than every instant.
Deadline earlier(Deadline a, Deadline b);

// A test's deadline: the earlier of the request's deadline and now + the test's own timeout.
Deadline test_deadline(Deadline request, Timeout test_timeout);

// True once the deadline has passed (never for none).
bool expired(Deadline deadline, Instant now = Clock::now());

// Whole milliseconds from `from` to `to`, saturating; 0 when the clock went backwards.
std::uint64_t elapsed_ms(Instant from, Instant to = Clock::now());
// Whole microseconds likewise.
std::uint64_t elapsed_us(Instant from, Instant to = Clock::now());

}  // namespace kelmon
