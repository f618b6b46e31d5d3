// A value computed at most once, on first use, by whichever thread asks first;
// threads that ask meanwhile wait and then read the same value.
#pragma once

#include <mutex>
#include <optional>
#include <utility>

namespace kelmon {

template <class T>
class OnceCell {
 public:
  OnceCell() = default;
  OnceCell(const OnceCell&) = delete;
  OnceCell& operator=(const OnceCell&) = delete;

  // The value, computing it with `make` if no call has stored it yet. If
  // `make` throws, the cell stays empty and the next call tries again.
  template <class Make>
  const T& get_or_init(Make&& make) {
    std::call_once(once_, [&] { value_.emplace(std::forward<Make>(make)()); });
    return *value_;
  }

  // Whether a value is stored; only meaningful once no call is running.
  bool filled() const { return value_.has_value(); }

 private:
  std::once_flag once_;
  std::optional<T> value_;
};

}  // namespace kelmon
