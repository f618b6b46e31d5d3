// Minimal hitting sets of a family of sets over the elements 0 .. n−1,
// enumerated smallest first and, within one size, in lexicographic order of
// their sorted elements, so that a caller who needs only the first few never
// pays for the (possibly exponentially many) others.
#pragma once

#include <cstdint>
#include <vector>

namespace kelmon::explain {

// Calls `visit` with each minimal hitting set (sorted elements) in that order
// until it returns false. Each set of `sets` is sorted and duplicate-free; an
// empty one leaves nothing to hit it with, so there is no hitting set.
template <class Visit>
void for_each_minimal_hitting_set(const std::vector<std::vector<std::uint32_t>>& sets, std::uint32_t n,
                                  Visit&& visit);

namespace internal {

class HittingSetSearch {
 public:
  HittingSetSearch(const std::vector<std::vector<std::uint32_t>>& sets, std::uint32_t n);
  // Moves to the next minimal hitting set; false when there is none left.
  bool next();
  const std::vector<std::uint32_t>& current() const { return chosen_; }

 private:
  void add(std::uint32_t e);
  void remove_last();
  bool worth_extending() const;
  bool all_hit() const { return unhit_ == 0; }

  const std::vector<std::vector<std::uint32_t>>& sets_;
  std::uint32_t n_;
  std::vector<std::vector<std::uint32_t>> containing_;  // element → the sets holding it
  std::vector<std::uint32_t> hits_;                     // set → chosen elements in it
  std::size_t unhit_ = 0;
  std::vector<std::uint32_t> chosen_;
  std::size_t size_ = 1;  // the size being enumerated
  std::uint32_t next_ = 0;
  bool done_ = false;
};

}  // namespace internal

template <class Visit>
void for_each_minimal_hitting_set(const std::vector<std::vector<std::uint32_t>>& sets, std::uint32_t n,
                                  Visit&& visit) {
  internal::HittingSetSearch search(sets, n);
  while (search.next())
    if (!visit(search.current())) return;
}

}  // namespace kelmon::explain
