#include "reasoner/explanation/hitting_sets.h"

#include <algorithm>

namespace kelmon::explain::internal {

HittingSetSearch::HittingSetSearch(const std::vector<std::vector<std::uint32_t>>& sets, std::uint32_t n)
    : sets_(sets), n_(n), containing_(n), hits_(sets.size(), 0), unhit_(sets.size()) {
  for (std::uint32_t s = 0; s < sets.size(); ++s) {
    if (sets[s].empty()) done_ = true;
    for (std::uint32_t e : sets[s]) containing_[e].push_back(s);
  }
  if (sets.empty()) done_ = true;  // only the empty set hits nothing-to-hit; it repairs nothing
}

void HittingSetSearch::add(std::uint32_t e) {
  chosen_.push_back(e);
  for (std::uint32_t s : containing_[e])
    if (hits_[s]++ == 0) --unhit_;
}

void HittingSetSearch::remove_last() {
  const std::uint32_t e = chosen_.back();
  chosen_.pop_back();
  for (std::uint32_t s : containing_[e])
    if (--hits_[s] == 0) ++unhit_;
}

// Whether the chosen elements can still grow into a minimal hitting set of
// the current size using only larger elements.
bool HittingSetSearch::worth_extending() const {
  // Minimality: every chosen element must be the only chosen one in some set;
  // adding elements can only take that away.
  for (std::uint32_t c : chosen_) {
    const bool critical = std::any_of(containing_[c].begin(), containing_[c].end(),
                                      [&](std::uint32_t s) { return hits_[s] == 1; });
    if (!critical) return false;
  }
  const std::size_t left = size_ - chosen_.size();
  if (unhit_ == 0) return left == 0;
  if (left == 0) return false;
  // Unhit sets that share no element larger than the last choice each need
  // an element of their own.
  const std::uint32_t last = chosen_.back();
  std::vector<bool> used(n_, false);
  std::size_t disjoint = 0;
  for (std::uint32_t s = 0; s < sets_.size(); ++s) {
    if (hits_[s] != 0) continue;
    const auto first_usable = std::upper_bound(sets_[s].begin(), sets_[s].end(), last);
    if (first_usable == sets_[s].end()) return false;  // only smaller elements could hit it
    if (std::any_of(first_usable, sets_[s].end(), [&](std::uint32_t e) { return used[e]; })) continue;
    for (auto it = first_usable; it != sets_[s].end(); ++it) used[*it] = true;
    if (++disjoint > left) return false;
  }
  return true;
}

bool HittingSetSearch::next() {
  while (!done_) {
    if (chosen_.size() < size_ && next_ < n_) {
      const std::uint32_t e = next_++;
      add(e);
      if (!worth_extending()) {
        remove_last();
        continue;
      }
      if (chosen_.size() == size_) {
        // A full, minimal hitting set: report it; the search resumes after it.
        if (all_hit()) return true;
        remove_last();
      }
      continue;
    }
    if (!chosen_.empty()) {
      next_ = chosen_.back() + 1;
      remove_last();
      continue;
    }
    if (++size_ > n_) done_ = true;
    next_ = 0;
  }
  return false;
}

}  // namespace kelmon::explain::internal
