// The branch ids a label or edge rests on: sorted and duplicate-free, so that
// backjumping can ask in one binary search whether a clash involves a choice.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace kelmon::completion {

class DepSet {
 public:
  DepSet() = default;
  // A copy of the slice, sorted ascending, duplicates removed.
  static DepSet from_slice(std::span<const std::uint32_t> ids);
  // Two-pointer merge of two sets.
  static DepSet union_of(const DepSet& a, const DepSet& b);

  bool contains(std::uint32_t id) const;
  // Inserts at the sorted position unless present.
  void insert(std::uint32_t id);
  // Joins another set in place.
  void join(const DepSet& other);

  bool empty() const { return ids_.empty(); }
  std::size_t size() const { return ids_.size(); }
  std::span<const std::uint32_t> ids() const { return ids_; }
  auto begin() const { return ids_.begin(); }
  auto end() const { return ids_.end(); }
  friend bool operator==(const DepSet&, const DepSet&) = default;

 private:
  std::vector<std::uint32_t> ids_;
};

}  // namespace kelmon::completion
