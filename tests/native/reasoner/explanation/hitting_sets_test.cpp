#include "reasoner/explanation/hitting_sets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace kelmon::explain {
namespace {

using Sets = std::vector<std::vector<std::uint32_t>>;

Sets all_of(const Sets& sets, std::uint32_t n, std::size_t limit = 1000) {
  Sets out;
  for_each_minimal_hitting_set(sets, n, [&](const std::vector<std::uint32_t>& h) {
    out.push_back(h);
    return out.size() < limit;
  });
  return out;
}

// Every subset of 0..n−1, kept when it hits every set and no element can go.
Sets brute_force(const Sets& sets, std::uint32_t n) {
  auto hits = [&](std::uint32_t mask) {
    return std::all_of(sets.begin(), sets.end(), [&](const auto& s) {
      return std::any_of(s.begin(), s.end(), [&](std::uint32_t e) { return (mask >> e) & 1u; });
    });
  };
  Sets out;
  for (std::uint32_t mask = 1; mask < (1u << n); ++mask) {
    if (!hits(mask)) continue;
    bool minimal = true;
    for (std::uint32_t e = 0; e < n; ++e)
      if (((mask >> e) & 1u) && hits(mask & ~(1u << e))) minimal = false;
    if (!minimal) continue;
    std::vector<std::uint32_t> h;
    for (std::uint32_t e = 0; e < n; ++e)
      if ((mask >> e) & 1u) h.push_back(e);
    out.push_back(h);
  }
  std::sort(out.begin(), out.end(), [](const auto& a, const auto& b) {
    return a.size() != b.size() ? a.size() < b.size() : a < b;
  });
  return out;
}

TEST(HittingSetTests, SmallestFirstThenLexicographic) {
  // {a, b} and {b, c}: {b} before {a, c}.
  EXPECT_EQ(all_of({{0, 1}, {1, 2}}, 3), (Sets{{1}, {0, 2}}));
}

TEST(HittingSetTests, AgreesWithBruteForceOnPseudoRandomFamilies) {
  std::uint32_t seed = 12345;
  auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7fffu; };
  for (int round = 0; round < 300; ++round) {
    const std::uint32_t n = 1 + next() % 9;
    Sets sets(1 + next() % 6);
    for (auto& s : sets) {
      for (std::uint32_t e = 0; e < n; ++e)
        if (next() % 3 == 0) s.push_back(e);
      if (s.empty()) s.push_back(next() % n);
    }
    EXPECT_EQ(all_of(sets, n), brute_force(sets, n)) << "round " << round;
  }
}

TEST(HittingSetTests, AnEmptySetLeavesNoHittingSet) {
  EXPECT_TRUE(all_of({{0, 1}, {}}, 2).empty());
  EXPECT_TRUE(all_of({}, 2).empty());
}

TEST(HittingSetTests, FirstFewComeWithoutTheExponentiallyManyOthers) {
  // 40 disjoint pairs have 2^40 minimal hitting sets.
  Sets pairs;
  for (std::uint32_t i = 0; i < 40; ++i) pairs.push_back({2 * i, 2 * i + 1});
  const Sets first = all_of(pairs, 80, 3);
  ASSERT_EQ(first.size(), 3u);
  std::vector<std::uint32_t> evens;
  for (std::uint32_t i = 0; i < 40; ++i) evens.push_back(2 * i);
  EXPECT_EQ(first[0], evens);
  std::vector<std::uint32_t> last_odd = evens;
  last_odd.back() = 79;
  EXPECT_EQ(first[1], last_odd);
}

}  // namespace
}  // namespace kelmon::explain
