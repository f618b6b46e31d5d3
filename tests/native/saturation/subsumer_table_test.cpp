#include "saturation/subsumer_table.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/invariant.h"

namespace kelmon::sat {
namespace {

struct ModeCase {
  std::size_t rows;
  SubsumerTable::Mode mode;
};

class SubsumerTableMode : public ::testing::TestWithParam<ModeCase> {};

TEST_P(SubsumerTableMode, ModeIsChosenByRowCount) {
  EXPECT_EQ(SubsumerTable(GetParam().rows).mode(), GetParam().mode);
}

INSTANTIATE_TEST_SUITE_P(Boundary, SubsumerTableMode,
                         ::testing::Values(ModeCase{0, SubsumerTable::Mode::Dense},
                                           ModeCase{50000, SubsumerTable::Mode::Dense},
                                           ModeCase{50001, SubsumerTable::Mode::Sparse}));

class SubsumerTableRows : public ::testing::TestWithParam<std::size_t> {};

TEST_P(SubsumerTableRows, InsertContainsAndSortedRows) {
  const std::size_t n = GetParam();
  SubsumerTable t(n);
  const auto last = static_cast<std::uint32_t>(n - 1);
  EXPECT_TRUE(t.insert(3, last));
  EXPECT_TRUE(t.insert(3, 7));
  EXPECT_TRUE(t.insert(3, 3));
  EXPECT_FALSE(t.insert(3, 7));
  EXPECT_TRUE(t.contains(3, 7));
  EXPECT_FALSE(t.contains(4, 7));
  EXPECT_EQ(t.row_sorted(3), (std::vector<std::uint32_t>{3, 7, last}));
  // Past the end reads as empty, never fails.
  EXPECT_TRUE(t.row_sorted(last + 1).empty());
  EXPECT_FALSE(t.contains(last + 1, 3));
  EXPECT_FALSE(t.contains(3, last + 1));
}

TEST_P(SubsumerTableRows, GrowKeepsRowsAndWidensEveryRow) {
  const std::size_t n = GetParam();
  SubsumerTable t(n);
  const auto mode = t.mode();
  t.insert(0, 1);
  t.grow(n + 100);
  EXPECT_EQ(t.mode(), mode);  // fixed at creation
  EXPECT_EQ(t.rows(), n + 100);
  EXPECT_TRUE(t.contains(0, 1));
  const auto wide = static_cast<std::uint32_t>(n + 99);
  EXPECT_TRUE(t.insert(0, wide));
  EXPECT_TRUE(t.insert(wide, 0));
  EXPECT_EQ(t.row_sorted(0), (std::vector<std::uint32_t>{1, wide}));
  t.grow(5);  // never shrinks
  EXPECT_EQ(t.rows(), n + 100);
}

INSTANTIATE_TEST_SUITE_P(DenseAndSparse, SubsumerTableRows, ::testing::Values(std::size_t{50000}, std::size_t{50001}));

TEST(SubsumerTable, DenseInsertPastWidthOrRowIsAnInvariantFailure) {
  SubsumerTable t(10);
  EXPECT_THROW(t.insert(2, 10), InvariantFailure);
  EXPECT_THROW(t.insert(10, 2), InvariantFailure);
  SubsumerTable s(50001);
  EXPECT_THROW(s.insert(50001, 0), InvariantFailure);
}

// Growing one id at a time touches only the rows that receive new ids.
TEST(SubsumerTable, GrowingOneIdAtATimeKeepsEveryRowReadable) {
  SubsumerTable t(64);
  for (std::uint32_t i = 0; i < 64; ++i) t.insert(i, i);
  for (std::uint32_t n = 65; n <= 2000; ++n) {
    t.grow(n);
    t.insert(0, n - 1);
  }
  EXPECT_EQ(t.row_sorted(0).size(), 1 + (2000 - 64));
  EXPECT_EQ(t.row_sorted(63), std::vector<std::uint32_t>{63});
  EXPECT_TRUE(t.contains(0, 1999));
}

// A row passes through every representation as it fills (sorted list, then
// bit row or hash set, then, in a sparse table, a bit row): every stage
// answers the same, copies included, and duplicates are refused at each.
TEST_P(SubsumerTableRows, LongRowsKeepEveryIdThroughEachRepresentation) {
  const std::size_t n = GetParam();
  SubsumerTable t(n);
  std::vector<std::uint32_t> expected;
  for (std::uint32_t k = 0; k < 3000; ++k) {
    const auto col = static_cast<std::uint32_t>((std::uint64_t{k} * 7919) % n);  // scattered
    ASSERT_TRUE(t.insert(9, col)) << k;
    ASSERT_FALSE(t.insert(9, col)) << k;
    expected.push_back(col);
    if (k == 10 || k == 100 || k == 1000 || k == 2999) {
      std::vector<std::uint32_t> sorted = expected;
      std::sort(sorted.begin(), sorted.end());
      EXPECT_EQ(t.row_sorted(9), sorted) << k;
      const SubsumerTable copy = t;
      EXPECT_EQ(copy.row_sorted(9), sorted) << k;
      for (std::uint32_t c : {sorted.front(), sorted.back(), sorted[sorted.size() / 2]}) EXPECT_TRUE(t.contains(9, c));
    }
  }
  std::vector<bool> in(n, false);
  for (auto c : expected) in[c] = true;
  for (std::uint32_t c = 0; c < n; ++c) ASSERT_EQ(t.contains(9, c), in[c]) << c;
}

class SubsumerTableOverlay : public ::testing::TestWithParam<std::size_t> {};

TEST_P(SubsumerTableOverlay, ReadsThroughAndKeepsAdditionsApart) {
  SubsumerTable base(GetParam());
  base.insert(1, 5);
  SubsumerTable over = SubsumerTable::overlay_of(base);
  EXPECT_TRUE(over.contains(1, 5));
  EXPECT_FALSE(over.insert(1, 5));
  EXPECT_TRUE(over.insert(1, 2));
  over.grow(GetParam() + 1);
  const auto fresh = static_cast<std::uint32_t>(GetParam());
  EXPECT_TRUE(over.insert(fresh, 1));
  EXPECT_TRUE(over.insert(1, fresh));
  EXPECT_EQ(over.row_sorted(1), (std::vector<std::uint32_t>{2, 5, fresh}));
  EXPECT_EQ(over.row_sorted(fresh), std::vector<std::uint32_t>{1});
  // The base is untouched.
  EXPECT_EQ(base.row_sorted(1), std::vector<std::uint32_t>{5});
  EXPECT_EQ(base.rows(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(DenseAndSparse, SubsumerTableOverlay, ::testing::Values(std::size_t{16}, std::size_t{50001}));

}  // namespace
}  // namespace kelmon::sat
