#include "core/data/decimal_intervals.h"

#include <gtest/gtest.h>

#include "core/data/test_values.h"

namespace kelmon {
namespace {

using test::dec;
using test::dec_interval;

struct TightenCase {
  const char* name;
  DecimalInterval start;
  const char* value;
  bool inclusive;
  DecimalInterval after_lower;
  DecimalInterval after_upper;
};

class TightenDecimal : public ::testing::TestWithParam<TightenCase> {};

TEST_P(TightenDecimal, replaces_only_when_narrower) {
  const auto& c = GetParam();
  DecimalInterval lower = c.start;
  tighten_decimal_lower(lower, dec(c.value), c.inclusive);
  EXPECT_EQ(lower, c.after_lower);
  DecimalInterval upper = c.start;
  tighten_decimal_upper(upper, dec(c.value), c.inclusive);
  EXPECT_EQ(upper, c.after_upper);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TightenDecimal,
    ::testing::Values(
        TightenCase{"unbounded", dec_interval(nullptr, false, nullptr, false), "1", true,
                    dec_interval("1", true, nullptr, false), dec_interval(nullptr, false, "1", true)},
        TightenCase{"inside", dec_interval("0", true, "10", true), "5", true, dec_interval("5", true, "10", true),
                    dec_interval("0", true, "5", true)},
        TightenCase{"outside", dec_interval("0", true, "10", true), "20", false, dec_interval("20", false, "10", true),
                    dec_interval("0", true, "10", true)},
        TightenCase{"equal_exclusive_wins", dec_interval("1", true, "1", true), "1.0", false,
                    dec_interval("1", false, "1", true), dec_interval("1", true, "1", false)},
        TightenCase{"equal_inclusive_never_replaces", dec_interval("1", false, "1", false), "1", true,
                    dec_interval("1", false, "1", false), dec_interval("1", false, "1", false)}),
    [](const auto& info) { return std::string(info.param.name); });

struct RelationCase {
  const char* name;
  DecimalInterval a;
  DecimalInterval b;
  bool within;
  bool below;
};

class DecimalIntervalRelations : public ::testing::TestWithParam<RelationCase> {};

TEST_P(DecimalIntervalRelations, within_and_below) {
  EXPECT_EQ(decimal_interval_within(GetParam().a, GetParam().b), GetParam().within);
  EXPECT_EQ(decimal_interval_below(GetParam().a, GetParam().b), GetParam().below);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DecimalIntervalRelations,
    ::testing::Values(
        RelationCase{"closed_in_half_open", dec_interval("1", true, "2", true), dec_interval("1", false, "3", true),
                     false, false},
        RelationCase{"closed_in_closed", dec_interval("1", true, "2", true), dec_interval("1", true, "3", true), true,
                     false},
        RelationCase{"open_in_closed_same_bounds", dec_interval("1", false, "3", false),
                     dec_interval("1", true, "3", true), true, false},
        RelationCase{"unbounded_not_within_bounded", dec_interval(nullptr, false, "2", true),
                     dec_interval("0", true, nullptr, false), false, false},
        RelationCase{"anything_within_unbounded", dec_interval(nullptr, false, nullptr, false),
                     dec_interval(nullptr, false, nullptr, false), true, false},
        RelationCase{"touching_inclusive_not_below", dec_interval(nullptr, false, "2", true),
                     dec_interval("2", true, nullptr, false), false, false},
        RelationCase{"touching_exclusive_below", dec_interval(nullptr, false, "2", true),
                     dec_interval("2", false, nullptr, false), false, true},
        RelationCase{"gap_below", dec_interval("-5", true, "-1.5", true), dec_interval("-1.25", true, "0", true),
                     false, true},
        RelationCase{"overlap_not_below", dec_interval("0", true, "2", true), dec_interval("1", true, "3", true),
                     false, false},
        RelationCase{"b_unbounded_below_side", dec_interval("0", true, "2", true),
                     dec_interval(nullptr, false, "3", true), true, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kelmon
