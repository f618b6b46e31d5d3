#include "core/data/int_cardinality.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "core/data/test_values.h"

namespace kelmon {
namespace {

using test::open;
using Limits = std::numeric_limits<std::int64_t>;
using Items = std::vector<IntCountRestriction>;

struct ClashCase {
  const char* name;
  std::optional<IntInterval> global;
  Items at_least;
  Items at_most;
  bool clash;
};

class IntCardinalityClash : public ::testing::TestWithParam<ClashCase> {};

TEST_P(IntCardinalityClash, decides_the_listed_cases) {
  const auto& c = GetParam();
  EXPECT_EQ(int_cardinality_clash(c.global, c.at_least, c.at_most), c.clash);
}

INSTANTIATE_TEST_SUITE_P(
    Table, IntCardinalityClash,
    ::testing::Values(
        ClashCase{"nothing", std::nullopt, {}, {}, false},
        ClashCase{"empty_global_with_at_least", IntInterval{5, 3}, {{{open, open}, 1}}, {}, true},
        ClashCase{"empty_global_with_at_most_only", IntInterval{5, 3}, {}, {{{open, open}, 1}}, false},
        ClashCase{"empty_global_at_least_zero_only", IntInterval{5, 3}, {{{open, open}, 0}}, {}, false},
        ClashCase{"too_few_integers", std::nullopt, {{{1, 2}, 3}}, {}, true},
        ClashCase{"just_enough_integers", std::nullopt, {{{1, 2}, 2}}, {}, false},
        // 2^64 integers: the size must not wrap to 0.
        ClashCase{"full_range_does_not_wrap", std::nullopt, {{{Limits::min(), Limits::max()}, 1}}, {}, false},
        ClashCase{"full_range_max_count", std::nullopt,
                  {{{Limits::min(), Limits::max()}, std::numeric_limits<std::uint32_t>::max()}}, {}, false},
        ClashCase{"near_full_range", std::nullopt, {{{Limits::min() + 1, Limits::max()}, 5}}, {}, false},
        ClashCase{"contained_requirement", std::nullopt, {{{0, 10}, 2}}, {{{0, 20}, 1}}, true},
        ClashCase{"not_contained", std::nullopt, {{{0, 10}, 2}}, {{{5, 20}, 1}}, false},
        ClashCase{"contained_in_unbounded", std::nullopt, {{{0, 10}, 2}}, {{{open, open}, 1}}, true},
        ClashCase{"unbounded_not_within_bounded", std::nullopt, {{{open, 10}, 2}}, {{{-5, 20}, 1}}, false},
        ClashCase{"disjoint_requirements_add_up", std::nullopt, {{{0, 1}, 1}, {{5, 6}, 1}}, {{{0, 10}, 1}}, true},
        ClashCase{"overlapping_requirements_do_not_add", std::nullopt, {{{0, 1}, 1}, {{1, 6}, 1}}, {{{0, 10}, 1}},
                  false},
        // Greedy first-come: the first item blocks the two later ones, although
        // they alone would need two distinct values under a limit of one.
        ClashCase{"greedy_first_come", std::nullopt, {{{0, 5}, 1}, {{0, 1}, 1}, {{4, 5}, 1}}, {{{0, 10}, 1}}, false},
        ClashCase{"greedy_order_matters", std::nullopt, {{{0, 1}, 1}, {{4, 5}, 1}, {{0, 5}, 1}}, {{{0, 10}, 1}}, true},
        ClashCase{"sum_checked_per_limit", std::nullopt, {{{0, 1}, 2}, {{5, 6}, 2}}, {{{0, 3}, 5}, {{0, 10}, 3}},
                  true},
        ClashCase{"count_zero_never_contributes", std::nullopt, {{{9, 1}, 0}, {{0, 1}, 0}}, {{{0, 10}, 0}}, false},
        ClashCase{"global_cuts_item_to_empty", IntInterval{0, open}, {{{open, -1}, 1}}, {}, true},
        ClashCase{"global_narrows_into_limit", IntInterval{0, 10}, {{{open, open}, 2}}, {{{0, 10}, 1}}, true},
        ClashCase{"limit_zero_with_need", std::nullopt, {{{3, 3}, 1}}, {{{0, 5}, 0}}, true},
        // Two counts of 2^32 - 1 add up beyond any 32-bit sum.
        ClashCase{"large_counts_do_not_wrap", std::nullopt,
                  {{{0, Limits::max()}, std::numeric_limits<std::uint32_t>::max()},
                   {{Limits::min(), -1}, std::numeric_limits<std::uint32_t>::max()}},
                  {{{open, open}, std::numeric_limits<std::uint32_t>::max()}}, true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kelmon
