#include "reasoner/kernel/union_find.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "common/invariant.h"

namespace kelmon::reasoner {
namespace {

TEST(UnionFind, FreshElementsAreSingletons) {
  UnionFind uf(4);
  for (std::uint32_t i = 0; i < 4; ++i) {
    EXPECT_EQ(uf.parent_of(i), i);
    EXPECT_EQ(uf.rank_of(i), 0);
  }
  EXPECT_FALSE(uf.same(0, 1));
  EXPECT_TRUE(uf.same(2, 2));
}

TEST(UnionFind, EmptyForestHasNoElements) { EXPECT_EQ(UnionFind(0).size(), 0u); }

TEST(UnionFind, UnitingAnElementWithItselfChangesNothing) {
  UnionFind uf(3);
  EXPECT_FALSE(uf.unite(1, 1));
  EXPECT_EQ(uf.parent_of(1), 1u);
  EXPECT_EQ(uf.rank_of(1), 0);
}

TEST(UnionFind, TieGoesToTheFirstArgumentAndLowerRankHangsBelow) {
  UnionFind uf(3);
  EXPECT_TRUE(uf.unite(0, 1));
  EXPECT_EQ(uf.parent_of(1), 0u);
  EXPECT_EQ(uf.rank_of(0), 1);
  EXPECT_TRUE(uf.unite(2, 1));  // rank of 2 is lower: 0 becomes its parent
  EXPECT_EQ(uf.parent_of(2), 0u);
  EXPECT_EQ(uf.rank_of(0), 1);
  EXPECT_TRUE(uf.same(2, 1));
  EXPECT_FALSE(uf.unite(1, 2));
}

TEST(UnionFind, LowerRankFirstArgumentHangsBelowTheSecond) {
  UnionFind uf(3);
  uf.unite(1, 2);  // 1 is root of rank 1
  EXPECT_TRUE(uf.unite(0, 2));
  EXPECT_EQ(uf.parent_of(0), 1u);
  EXPECT_EQ(uf.rank_of(1), 1);
}

TEST(UnionFind, PathsWalkedPointStraightAtTheRoot) {
  // Two rank-2 trees joined give a chain 7 -> 6 -> 4 -> 0 of depth three.
  UnionFind uf(8);
  uf.unite(0, 1);
  uf.unite(2, 3);
  uf.unite(0, 2);
  uf.unite(4, 5);
  uf.unite(6, 7);
  uf.unite(4, 6);
  uf.unite(0, 4);
  ASSERT_EQ(uf.parent_of(7), 6u);
  ASSERT_EQ(uf.parent_of(6), 4u);
  ASSERT_EQ(uf.parent_of(4), 0u);
  ASSERT_EQ(uf.parent_of(3), 2u);
  EXPECT_TRUE(uf.same(7, 3));
  EXPECT_EQ(uf.parent_of(7), 0u);
  EXPECT_EQ(uf.parent_of(6), 0u);
  EXPECT_EQ(uf.parent_of(3), 0u);
  EXPECT_EQ(uf.parent_of(5), 4u);  // not on a walked path
  EXPECT_EQ(uf.rank_of(0), 3);
}

TEST(UnionFind, RanksStayLogarithmic) {
  const std::uint32_t n = 1u << 12;
  UnionFind uf(n);
  for (std::uint32_t step = 1; step < n; step *= 2)
    for (std::uint32_t i = 0; i + step < n; i += 2 * step) uf.unite(i, i + step);
  std::uint8_t max_rank = 0;
  for (std::uint32_t i = 0; i < n; ++i) max_rank = std::max(max_rank, uf.rank_of(i));
  EXPECT_EQ(max_rank, 12);
  EXPECT_TRUE(uf.same(0, n - 1));
}

TEST(UnionFind, ACountBeyondThirtyTwoBitsIsAnInvariantFailure) {
  try {
    UnionFind uf(std::size_t{std::numeric_limits<std::uint32_t>::max()} + 1);
    FAIL() << "no failure";
  } catch (const InvariantFailure& e) {
    EXPECT_EQ(e.message(), "n fits in u32");
  }
}

}  // namespace
}  // namespace kelmon::reasoner
