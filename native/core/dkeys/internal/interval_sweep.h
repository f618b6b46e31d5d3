// Sorted sweeps over intervals with inclusive flags, so that nested and
// disjoint pairs of keys are found without testing every pair. Bounds that
// compare with nothing (a NaN bit pattern) are marked `unordered`: such a
// bound fails every comparison, exactly as the pairwise tests would have it.
#pragma once

#include <algorithm>
#include <compare>
#include <cstdint>
#include <optional>
#include <set>
#include <span>
#include <vector>

namespace kelmon::dkeys {

template <class V>
struct Bound {
  V value{};
  bool inclusive = false;
  bool unordered = false;
};

template <class V>
struct FlatInterval {
  std::optional<Bound<V>> lower;  // absent: unbounded
  std::optional<Bound<V>> upper;
};

// X lies wholly below Y: X's upper bound before Y's lower one, or equal and not both inclusive.
template <class V, class Cmp>
bool wholly_below(const FlatInterval<V>& x, const FlatInterval<V>& y, Cmp cmp) {
  if (!x.upper || !y.lower || x.upper->unordered || y.lower->unordered) return false;
  const std::partial_ordering c = cmp(x.upper->value, y.lower->value);
  return c < 0 || (c == 0 && !(x.upper->inclusive && y.lower->inclusive));
}

// Calls fn(query, container) for every query interval that lies within a
// container interval: the container's lower bound absent or not above the
// query's (equal bounds pass unless only the query's is inclusive), the same
// mirrored for the upper bounds. The same index may appear on both sides.
template <class V, class Cmp, class Fn>
void for_each_containment(const std::vector<std::pair<FlatInterval<V>, std::uint32_t>>& queries,
                          const std::vector<std::pair<FlatInterval<V>, std::uint32_t>>& containers, Cmp cmp, Fn fn) {
  // A bound is mapped to a rank so that "absent" and "unordered" sort where
  // their pass/fail outcome puts them; unordered bounds differ by side.
  struct Key {
    std::uint8_t rank;
    const V* value;
    std::uint8_t flag;
  };
  constexpr std::uint8_t kPresentLower = 2, kPresentUpper = 1;
  auto lower_key = [](const FlatInterval<V>& i, bool as_container) -> Key {
    if (!i.lower) return {0, nullptr, 0};
    if (i.lower->unordered) return {static_cast<std::uint8_t>(as_container ? 3 : 1), nullptr, 0};
    return {kPresentLower, &i.lower->value, static_cast<std::uint8_t>(i.lower->inclusive ? 0 : 1)};
  };
  auto upper_key = [](const FlatInterval<V>& i, bool as_container) -> Key {
    if (!i.upper) return {3, nullptr, 0};
    if (i.upper->unordered) return {static_cast<std::uint8_t>(as_container ? 0 : 2), nullptr, 0};
    return {kPresentUpper, &i.upper->value, static_cast<std::uint8_t>(i.upper->inclusive ? 1 : 0)};
  };
  auto less = [&](std::uint8_t present, const Key& a, const Key& b) {
    if (a.rank != b.rank) return a.rank < b.rank;
    if (a.rank != present) return false;
    const std::partial_ordering c = cmp(*a.value, *b.value);
    if (c != 0) return c < 0;
    return a.flag < b.flag;
  };
  auto lower_less = [&](const Key& a, const Key& b) { return less(kPresentLower, a, b); };
  auto upper_less = [&](const Key& a, const Key& b) { return less(kPresentUpper, a, b); };

  struct Item {
    Key lower;
    Key upper;
    std::uint32_t id;
  };
  std::vector<Item> q, c;
  q.reserve(queries.size());
  c.reserve(containers.size());
  for (const auto& [i, id] : queries) q.push_back({lower_key(i, false), upper_key(i, false), id});
  for (const auto& [i, id] : containers) c.push_back({lower_key(i, true), upper_key(i, true), id});
  auto by_lower = [&](const Item& a, const Item& b) { return lower_less(a.lower, b.lower); };
  std::sort(q.begin(), q.end(), by_lower);
  std::sort(c.begin(), c.end(), by_lower);

  auto by_upper = [&](const Item& a, const Item& b) { return upper_less(a.upper, b.upper); };
  std::multiset<Item, decltype(by_upper)> active(by_upper);
  std::size_t next = 0;
  for (const Item& query : q) {
    while (next < c.size() && !lower_less(query.lower, c[next].lower)) active.insert(c[next++]);
    for (auto it = active.lower_bound(query); it != active.end(); ++it) fn(query.id, it->id);
  }
}

// The targets sorted by lower and by upper bound, to list the ones disjoint
// from a probe interval (one wholly below the other) without a full scan.
template <class V, class Cmp>
class BelowIndex {
 public:
  BelowIndex(const std::vector<FlatInterval<V>>& intervals, std::span<const std::uint32_t> targets, Cmp cmp)
      : intervals_(intervals), cmp_(cmp) {
    for (std::uint32_t t : targets) {
      const FlatInterval<V>& i = intervals[t];
      if (i.lower && !i.lower->unordered) by_lower_.push_back({&i.lower->value, i.lower->inclusive ? 0u : 1u, t});
      if (i.upper && !i.upper->unordered) by_upper_.push_back({&i.upper->value, i.upper->inclusive ? 1u : 0u, t});
    }
    auto order = [&](const Entry& a, const Entry& b) {
      const std::partial_ordering c = cmp_(*a.value, *b.value);
      if (c != 0) return c < 0;
      return a.rank < b.rank;
    };
    std::sort(by_lower_.begin(), by_lower_.end(), order);
    std::sort(by_upper_.begin(), by_upper_.end(), order);
  }

  // fn(target) once for every target other than `probe` whose interval is disjoint from the probe's.
  template <class Fn>
  void for_each_disjoint(std::uint32_t probe, Fn&& fn) const {
    const FlatInterval<V>& x = intervals_[probe];
    if (x.upper && !x.upper->unordered) {
      const V& u = x.upper->value;
      const bool ui = x.upper->inclusive;
      // Targets whose lower bound comes after x's upper one: a suffix.
      auto first = std::partition_point(by_lower_.begin(), by_lower_.end(), [&](const Entry& e) {
        const std::partial_ordering c = cmp_(*e.value, u);
        return !(c > 0 || (c == 0 && (!ui || e.rank == 1)));
      });
      for (auto it = first; it != by_lower_.end(); ++it)
        if (it->id != probe) fn(it->id);
    }
    if (x.lower && !x.lower->unordered) {
      const V& l = x.lower->value;
      const bool li = x.lower->inclusive;
      // Targets whose upper bound comes before x's lower one: a prefix.
      auto end = std::partition_point(by_upper_.begin(), by_upper_.end(), [&](const Entry& e) {
        const std::partial_ordering c = cmp_(*e.value, l);
        return c < 0 || (c == 0 && (!li || e.rank == 0));
      });
      for (auto it = by_upper_.begin(); it != end; ++it)
        if (it->id != probe && !wholly_below(x, intervals_[it->id], cmp_)) fn(it->id);
    }
  }

 private:
  struct Entry {
    const V* value;
    unsigned rank;
    std::uint32_t id;
  };
  const std::vector<FlatInterval<V>>& intervals_;
  Cmp cmp_;
  std::vector<Entry> by_lower_;
  std::vector<Entry> by_upper_;
};

}  // namespace kelmon::dkeys
