#include "core/data/value_range.h"

#include <gtest/gtest.h>

#include "core/data/test_values.h"

namespace kelmon {
namespace {

using test::dec_interval;
using test::double_interval;
using test::open;

ValueRange integer(std::optional<std::int64_t> lo, std::optional<std::int64_t> hi) {
  return {ValueRange::Integer{{lo, hi}}};
}
ValueRange strings(std::optional<StringSet> set) { return {ValueRange::Strings{std::move(set)}}; }
RangeOutcome range(ValueRange r) { return {RangeOutcome::Range{std::move(r)}}; }
const RangeOutcome empty{RangeOutcome::Empty{}};
const RangeOutcome unhandled{RangeOutcome::Unhandled{}};

struct IntersectCase {
  const char* name;
  std::vector<ValueRange> input;
  RangeOutcome output;
};

class IntersectValueRanges : public ::testing::TestWithParam<IntersectCase> {};

TEST_P(IntersectValueRanges, narrows_one_kind) { EXPECT_EQ(intersect_value_ranges(GetParam().input), GetParam().output); }

using VR = std::vector<ValueRange>;
INSTANTIATE_TEST_SUITE_P(
    Table, IntersectValueRanges,
    ::testing::Values(
        IntersectCase{"int_overlap", VR{integer(0, 10), integer(5, open)}, range(integer(5, 10))},
        IntersectCase{"int_disjoint", VR{integer(0, 10), integer(11, 20)}, empty},
        IntersectCase{"int_single", VR{integer(3, open)}, range(integer(3, open))},
        IntersectCase{"double_point", VR{{ValueRange::Double{double_interval(1.0, true, {}, false)}},
                                         {ValueRange::Double{double_interval({}, false, 1.0, true)}}},
                      range({ValueRange::Double{double_interval(1.0, true, 1.0, true)}})},
        IntersectCase{"double_exclusive_empty", VR{{ValueRange::Double{double_interval(1.0, true, {}, false)}},
                                                   {ValueRange::Double{double_interval({}, false, 1.0, false)}}},
                      empty},
        // -0 and +0 are one value: the point interval [+0, -0] is not empty.
        IntersectCase{"signed_zeros_meet", VR{{ValueRange::Double{double_interval(0.0, true, {}, false)}},
                                              {ValueRange::Double{double_interval({}, false, -0.0, true)}}},
                      range({ValueRange::Double{double_interval(0.0, true, -0.0, true)}})},
        IntersectCase{"decimal_exclusive_wins",
                      VR{{ValueRange::Decimal{dec_interval("0", false, "2.5", true)}},
                         {ValueRange::Decimal{dec_interval("0", true, "1", false)}}},
                      range({ValueRange::Decimal{dec_interval("0", false, "1", false)}})},
        IntersectCase{"date_empty",
                      VR{{ValueRange::Date{{DateValue{2020, 1, 1}, std::nullopt, true, false}}},
                         {ValueRange::Date{{std::nullopt, DateValue{2019, 12, 31}, false, true}}}},
                      empty},
        IntersectCase{"strings_with_all", VR{strings(StringSet{"a", "b"}), strings(std::nullopt)},
                      range(strings(StringSet{"a", "b"}))},
        IntersectCase{"all_with_strings", VR{strings(std::nullopt), strings(StringSet{"a", "b"})},
                      range(strings(StringSet{"a", "b"}))},
        IntersectCase{"strings_common", VR{strings(StringSet{"a", "b", "c"}), strings(StringSet{"b", "c", "d"})},
                      range(strings(StringSet{"b", "c"}))},
        IntersectCase{"strings_disjoint", VR{strings(StringSet{"a", "b"}), strings(StringSet{"c"})}, empty},
        IntersectCase{"integer_and_decimal", VR{integer(0, 1), {ValueRange::Decimal{}}}, unhandled},
        IntersectCase{"float_and_double", VR{{ValueRange::Float{}}, {ValueRange::Double{}}}, unhandled},
        IntersectCase{"no_ranges", VR{}, unhandled}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IntervalEmptiness, follows_bounds_and_flags) {
  EXPECT_TRUE(is_empty(IntInterval{9, 1}));
  EXPECT_FALSE(is_empty(IntInterval{1, 1}));
  EXPECT_FALSE(is_empty(IntInterval{open, open}));
  EXPECT_TRUE(is_empty(double_interval(1.0, true, 1.0, false)));
  EXPECT_FALSE(is_empty(double_interval(-0.0, true, 0.0, true)));
  EXPECT_TRUE(is_empty(double_interval(2.0, true, 1.0, true)));
  EXPECT_TRUE(is_empty(dec_interval("1.50", true, "1.5", false)));
  EXPECT_FALSE(is_empty(dec_interval("1.50", true, "1.5", true)));
  EXPECT_FALSE(is_empty(dec_interval(nullptr, false, "1", false)));
}

}  // namespace
}  // namespace kelmon
