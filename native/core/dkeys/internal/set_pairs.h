// Set inclusion and overlap over the sorted, duplicate-free value sets of keys.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace kelmon::dkeys {

// Calls fn(i, j) for every i != j with sets[i] a subset of sets[j]; a null
// entry takes no part. Candidates come from the posting list of i's rarest
// value, so pairs that share nothing are never looked at.
template <class T, class Fn>
void for_each_subset_pair(const std::vector<const std::vector<T>*>& sets, Fn fn) {
  struct Posting {
    const T* value;
    std::uint32_t set;
  };
  std::vector<Posting> postings;
  for (std::uint32_t s = 0; s < sets.size(); ++s)
    if (sets[s])
      for (const T& v : *sets[s]) postings.push_back({&v, s});
  auto less = [](const Posting& a, const Posting& b) {
    if (*a.value < *b.value) return true;
    if (*b.value < *a.value) return false;
    return a.set < b.set;
  };
  std::sort(postings.begin(), postings.end(), less);
  auto value_range = [&](const T& v) {
    auto lo = std::partition_point(postings.begin(), postings.end(), [&](const Posting& p) { return *p.value < v; });
    auto hi = std::partition_point(lo, postings.end(), [&](const Posting& p) { return !(v < *p.value); });
    return std::pair{lo, hi};
  };
  for (std::uint32_t i = 0; i < sets.size(); ++i) {
    if (!sets[i]) continue;
    const std::vector<T>& a = *sets[i];
    if (a.empty()) {
      for (std::uint32_t j = 0; j < sets.size(); ++j)
        if (j != i && sets[j]) fn(i, j);
      continue;
    }
    auto best = value_range(a.front());
    for (const T& v : a) {
      auto r = value_range(v);
      if (r.second - r.first < best.second - best.first) best = r;
    }
    for (auto it = best.first; it != best.second; ++it) {
      const std::uint32_t j = it->set;
      if (j == i) continue;
      const std::vector<T>& b = *sets[j];
      if (a.size() <= b.size() && std::includes(b.begin(), b.end(), a.begin(), a.end())) fn(i, j);
    }
  }
}

// No value in both.
template <class T>
bool sets_disjoint(const std::vector<T>& a, const std::vector<T>& b) {
  auto x = a.begin();
  auto y = b.begin();
  while (x != a.end() && y != b.end()) {
    if (*x < *y) ++x;
    else if (*y < *x) ++y;
    else return false;
  }
  return true;
}

}  // namespace kelmon::dkeys
