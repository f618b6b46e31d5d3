// A first-in first-out queue over a flat vector; the consumed front is
// dropped in bulk once it outweighs the live part.
#pragma once

#include <cstddef>
#include <vector>

namespace kelmon::sat {

template <class T>
class Fifo {
 public:
  bool empty() const { return head_ == items_.size(); }
  std::size_t size() const { return items_.size() - head_; }
  void push(const T& item) { items_.push_back(item); }
  T pop() {
    T item = items_[head_++];
    if (head_ == items_.size()) {
      items_.clear();
      head_ = 0;
    } else if (head_ >= 4096 && head_ * 2 >= items_.size()) {
      items_.erase(items_.begin(), items_.begin() + static_cast<std::ptrdiff_t>(head_));
      head_ = 0;
    }
    return item;
  }

 private:
  std::vector<T> items_;
  std::size_t head_ = 0;
};

}  // namespace kelmon::sat
