// A short list kept inline up to N elements and on the heap beyond, for the
// per-clause plans that nearly always stay small.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

namespace kelmon {

template <typename T, std::size_t N>
class SmallList {
 public:
  void push_back(const T& v) {
    if (count_ < N) {
      inline_[count_] = v;
    } else {
      spill_.push_back(v);
    }
    ++count_;
  }
  std::size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  const T& operator[](std::size_t i) const { return i < N ? inline_[i] : spill_[i - N]; }
  bool on_heap() const { return !spill_.empty(); }

 private:
  std::array<T, N> inline_{};
  std::vector<T> spill_;
  std::size_t count_ = 0;
};

}  // namespace kelmon
