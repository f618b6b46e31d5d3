#include "core/data/integer_intervals.h"

#include <gtest/gtest.h>

#include <limits>

#include "core/data/test_values.h"

namespace kelmon {
namespace {

using test::open;
using Limits = std::numeric_limits<std::int64_t>;

struct SubtypeCase {
  const char* name;
  std::optional<IntInterval> range;
};

class IntegerSubtypeRange : public ::testing::TestWithParam<SubtypeCase> {};

TEST_P(IntegerSubtypeRange, gives_the_value_space) {
  EXPECT_EQ(xsd_integer_subtype_range(GetParam().name), GetParam().range) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, IntegerSubtypeRange,
    ::testing::Values(SubtypeCase{"integer", IntInterval{open, open}},
                      SubtypeCase{"long", IntInterval{Limits::min(), Limits::max()}},
                      SubtypeCase{"int", IntInterval{-2147483648LL, 2147483647LL}},
                      SubtypeCase{"short", IntInterval{-32768, 32767}}, SubtypeCase{"byte", IntInterval{-128, 127}},
                      SubtypeCase{"unsignedInt", IntInterval{0, 4294967295LL}},
                      SubtypeCase{"unsignedShort", IntInterval{0, 65535}},
                      SubtypeCase{"unsignedByte", IntInterval{0, 255}},
                      SubtypeCase{"nonNegativeInteger", IntInterval{0, open}},
                      SubtypeCase{"positiveInteger", IntInterval{1, open}},
                      SubtypeCase{"nonPositiveInteger", IntInterval{open, 0}},
                      SubtypeCase{"negativeInteger", IntInterval{open, -1}},
                      SubtypeCase{"unsignedLong", std::nullopt}, SubtypeCase{"Integer", std::nullopt},
                      SubtypeCase{"decimal", std::nullopt}, SubtypeCase{"", std::nullopt}));

struct NormalizeCase {
  const char* name;
  std::vector<IntInterval> input;
  std::optional<std::vector<IntInterval>> output;
};

class NormalizeIntIntervals : public ::testing::TestWithParam<NormalizeCase> {};

TEST_P(NormalizeIntIntervals, gives_sorted_disjoint_non_touching_intervals) {
  EXPECT_EQ(normalize_int_intervals(GetParam().input), GetParam().output);
}

using IV = std::vector<IntInterval>;
INSTANTIATE_TEST_SUITE_P(
    Table, NormalizeIntIntervals,
    ::testing::Values(
        NormalizeCase{"empty_only", IV{{5, 3}}, std::nullopt}, NormalizeCase{"no_intervals", IV{}, std::nullopt},
        NormalizeCase{"touching_join", IV{{1, 3}, {4, 9}}, IV{{1, 9}}},
        NormalizeCase{"gap_kept", IV{{1, 3}, {5, 9}}, IV{{1, 3}, {5, 9}}},
        NormalizeCase{"sorted_with_open_first", IV{{7, open}, {open, 0}}, IV{{open, 0}, {7, open}}},
        NormalizeCase{"unbounded_swallows", IV{{open, open}, {2, 3}}, IV{{open, open}}},
        NormalizeCase{"full_range_then_int", IV{{Limits::min(), Limits::max()}, {-2147483648LL, 2147483647LL}},
                      IV{{Limits::min(), Limits::max()}}},
        NormalizeCase{"touching_at_top_limit", IV{{Limits::max(), Limits::max()}, {0, Limits::max() - 1}},
                      IV{{0, Limits::max()}}},
        NormalizeCase{"touching_at_bottom_limit", IV{{Limits::min() + 1, 0}, {Limits::min(), Limits::min()}},
                      IV{{Limits::min(), 0}}},
        NormalizeCase{"far_apart_at_limits", IV{{Limits::max(), open}, {open, Limits::min()}},
                      IV{{open, Limits::min()}, {Limits::max(), open}}},
        NormalizeCase{"empty_removed_nested_merged", IV{{10, 2}, {3, 8}, {1, 4}, {20, 30}, {25, 26}},
                      IV{{1, 8}, {20, 30}}},
        NormalizeCase{"open_upper_joins_later", IV{{1, open}, {100, 200}}, IV{{1, open}}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kelmon
