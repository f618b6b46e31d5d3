#include "core/data/int_cardinality.h"

#include <algorithm>
#include <vector>

namespace kelmon {
namespace {

IntInterval intersect(const IntInterval& a, const IntInterval& b) {
  IntInterval out = a;
  if (b.lower) out.lower = out.lower ? std::max(*out.lower, *b.lower) : *b.lower;
  if (b.upper) out.upper = out.upper ? std::min(*out.upper, *b.upper) : *b.upper;
  return out;
}

// Number of integers in a bounded interval, exact: the full signed 64-bit range holds 2^64.
unsigned __int128 integer_count(std::int64_t lower, std::int64_t upper) {
  if (upper < lower) return 0;
  return static_cast<unsigned __int128>(static_cast<__int128>(upper) - static_cast<__int128>(lower)) + 1;
}

// An empty inner interval lies within every interval.
bool lies_within(const IntInterval& inner, const IntInterval& outer) {
  if (is_empty(inner)) return true;
  const bool lower_ok = !outer.lower || (inner.lower && *outer.lower <= *inner.lower);
  const bool upper_ok = !outer.upper || (inner.upper && *outer.upper >= *inner.upper);
  return lower_ok && upper_ok;
}

// An empty interval overlaps nothing.
bool overlaps(const IntInterval& a, const IntInterval& b) {
  return !is_empty(a) && !is_empty(b) && !is_empty(intersect(a, b));
}

}  // namespace

bool int_cardinality_clash(const std::optional<IntInterval>& global, std::span<const IntCountRestriction> at_least,
                           std::span<const IntCountRestriction> at_most) {
  const IntInterval bound = global.value_or(IntInterval{});
  std::vector<IntCountRestriction> least;
  least.reserve(at_least.size());
  for (const auto& item : at_least)
    if (item.count != 0) least.push_back({intersect(item.interval, bound), item.count});
  std::vector<IntCountRestriction> most;
  most.reserve(at_most.size());
  for (const auto& item : at_most) most.push_back({intersect(item.interval, bound), item.count});

  if (is_empty(bound)) return !least.empty();

  for (const auto& item : least)
    if (item.interval.lower && item.interval.upper &&
        item.count > integer_count(*item.interval.lower, *item.interval.upper))
      return true;

  for (const auto& l : least)
    for (const auto& m : most)
      if (lies_within(l.interval, m.interval) && m.count < l.count) return true;

  // Requirements in pairwise disjoint intervals under one limit need distinct
  // values, so their counts add up. Greedy and first-come by design.
  std::vector<const IntInterval*> taken;
  for (const auto& m : most) {
    taken.clear();
    std::uint64_t sum = 0;
    for (const auto& l : least) {
      if (!lies_within(l.interval, m.interval)) continue;
      if (std::any_of(taken.begin(), taken.end(), [&](const IntInterval* t) { return overlaps(*t, l.interval); }))
        continue;
      taken.push_back(&l.interval);
      sum += l.count;
      if (sum > m.count) return true;
    }
  }
  return false;
}

}  // namespace kelmon
