// Parallel loops whose items can fail: the first error is kept in a slot, a
// stop flag ends every worker's share once an item failed, and an exception
// thrown by an item (an invariant failure among them) is carried to the
// calling thread and rethrown there after the join.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include <oneapi/tbb/blocked_range.h>
#include <oneapi/tbb/parallel_for.h>
#include <oneapi/tbb/partitioner.h>

#include "common/reasoner_error.h"
#include "reasoner/kernel/worker_pool.h"

namespace kelmon::reasoner {

// The first error offered by the items of one loop.
class FirstErrorSlot {
 public:
  // Stores the error when the slot is empty; later errors are dropped. A
  // waiting lock rather than a try-lock: a try-lock may fail spuriously, and
  // then every error of the loop could be lost.
  void offer(ReasonerError error) {
    std::lock_guard lock(mutex_);
    if (!error_) error_ = std::move(error);
  }
  std::optional<ReasonerError> take() {
    std::lock_guard lock(mutex_);
    return std::exchange(error_, std::nullopt);
  }

 private:
  std::mutex mutex_;
  std::optional<ReasonerError> error_;
};

// Set once, never cleared.
class StopFlag {
 public:
  void set() { flag_.store(1); }
  bool is_set() const { return flag_.load() != 0; }

 private:
  std::atomic<std::uint8_t> flag_{0};
};

// The first exception thrown by an item, rethrown on the caller.
class ExceptionSlot {
 public:
  void offer(std::exception_ptr e) {
    std::lock_guard lock(mutex_);
    if (!first_) first_ = std::move(e);
  }
  void rethrow_if_any() {
    std::lock_guard lock(mutex_);
    if (first_) std::rethrow_exception(std::exchange(first_, nullptr));
  }

 private:
  std::mutex mutex_;
  std::exception_ptr first_;
};

// A successful result gives its value; a failed one offers its error and gives nothing.
template <class T>
std::optional<T> record_first_error(FirstErrorSlot& slot, Result<T> result) {
  if (result) return std::optional<T>(std::move(*result));
  slot.offer(std::move(result.error()));
  return std::nullopt;
}

// Runs item(i) for every i below n on the process-wide pool. item returns
// false when it failed: the loop's stop flag is set and that worker ends its
// share. Workers look at the flag before every item.
// An exception leaving an item stops the loop likewise and is rethrown here.
//
// Items are handed out one at a time from a shared counter, to one task per
// worker: an item can take anything from microseconds to a whole test budget,
// and a range split ahead of time leaves the workers that drew cheap items
// idle while another works through a run of expensive ones.
template <class Item>
void parallel_items(std::size_t n, StopFlag& stop, Item&& item) {
  if (n == 0) return;
  ExceptionSlot exceptions;
  std::atomic<std::size_t> next{0};
  auto drain = [&] {
    try {
      while (!stop.is_set()) {
        const std::size_t i = next.fetch_add(1, std::memory_order_relaxed);
        if (i >= n) return;
        if (!item(i)) {
          stop.set();
          return;
        }
      }
    } catch (...) {
      exceptions.offer(std::current_exception());
      stop.set();
    }
  };
  oneapi::tbb::task_arena& pool = global_pool();
  const std::size_t workers = std::min(n, static_cast<std::size_t>(std::max(pool.max_concurrency(), 1)));
  pool.execute([&] {
    oneapi::tbb::parallel_for(oneapi::tbb::blocked_range<std::size_t>(0, workers, 1),
                              [&](const oneapi::tbb::blocked_range<std::size_t>&) { drain(); },
                              oneapi::tbb::simple_partitioner());
  });
  exceptions.rethrow_if_any();
}

// The first-error loop: body(i) gives Result<T>; keep(i, value) receives every
// value that finished before the stop flag was set (concurrently: keep must be
// safe to call from several workers). Returns the stored error, if any.
template <class Body, class Keep>
std::optional<ReasonerError> parallel_first_error(std::size_t n, StopFlag& stop, Body&& body, Keep&& keep) {
  FirstErrorSlot slot;
  parallel_items(n, stop, [&](std::size_t i) {
    auto value = record_first_error(slot, body(i));
    if (!value) return false;
    // A value finished after another item failed is not part of the output.
    if (!stop.is_set()) keep(i, std::move(*value));
    return true;
  });
  return slot.take();
}

// body(i) -> Result<T> for every i below n, in parallel; the values in index
// order, or the first error stored.
template <class T, class Body>
Result<std::vector<T>> parallel_map(std::size_t n, Body&& body) {
  std::vector<std::optional<T>> values(n);
  StopFlag stop;
  auto error = parallel_first_error(n, stop, body, [&](std::size_t i, T&& v) { values[i] = std::move(v); });
  if (error) return std::unexpected(std::move(*error));
  std::vector<T> out;
  out.reserve(n);
  for (auto& v : values) out.push_back(std::move(*v));
  return out;
}

}  // namespace kelmon::reasoner
