#include <gtest/gtest.h>

#include "core/data/owl_ranges.h"
#include "core/data/range_readers.h"
#include "core/data/test_values.h"

namespace kelmon {
namespace {

using namespace test;  // NOLINT: builders only

TEST(CollectIntIntervals, gathers_ranges_and_enumerations_in_member_order) {
  std::vector<IntInterval> out;
  EXPECT_TRUE(collect_int_intervals(
      union_of({restricted("integer", {facet(Facet::MinInclusive, plain("5")), facet(Facet::MaxInclusive, plain("9"))}),
                one_of({typed("3", "integer"), typed("1", "integer")}), union_of({xsd_range("byte")})}),
      out));
  EXPECT_EQ(out, (std::vector<IntInterval>{{5, 9}, {1, 1}, {3, 3}, {-128, 127}}));

  out.clear();
  EXPECT_TRUE(collect_int_intervals(xsd_range("integer"), out));
  EXPECT_EQ(out, (std::vector<IntInterval>{{open, open}}));

  out.clear();
  EXPECT_FALSE(collect_int_intervals(union_of({}), out));
  EXPECT_FALSE(collect_int_intervals(union_of({xsd_range("integer"), union_of({})}), out));
  out.clear();
  EXPECT_FALSE(collect_int_intervals(union_of({xsd_range("integer"), xsd_range("string")}), out));
}

TEST(CollectIntIntervals, walks_deep_nesting_without_recursion) {
  owl::DataRange range = xsd_range("integer");
  for (int i = 0; i < 200000; ++i) range = union_of({range});
  std::vector<IntInterval> out;
  EXPECT_TRUE(collect_int_intervals(range, out));
  EXPECT_EQ(out.size(), 1u);
  EXPECT_TRUE(collect_enumeration_literals(range) == std::nullopt);
}

TEST(CollectEnumerationLiterals, flattens_unions_of_enumerations) {
  const auto merged = collect_enumeration_literals(
      union_of({one_of({typed("1", "integer"), typed("2", "integer")}), one_of({typed("2", "integer")})}));
  ASSERT_TRUE(merged);
  const auto* one = std::get_if<owl::DataOneOf>(&merged->data());
  ASSERT_TRUE(one);
  EXPECT_EQ(one->literals,
            (std::vector<owl::Literal>{typed("1", "integer"), typed("2", "integer"), typed("2", "integer")}));

  const auto nested = collect_enumeration_literals(union_of({one_of({}), union_of({}), union_of({one_of({plain("a")})})}));
  ASSERT_TRUE(nested);
  EXPECT_EQ(std::get<owl::DataOneOf>(nested->data()).literals, (std::vector<owl::Literal>{plain("a")}));

  EXPECT_TRUE(collect_enumeration_literals(union_of({one_of({typed("1", "integer")}), xsd_range("integer")})) ==
              std::nullopt);
  EXPECT_TRUE(collect_enumeration_literals(union_of({one_of({}), union_of({})})) == std::nullopt);
  EXPECT_TRUE(collect_enumeration_literals(union_of({})) == std::nullopt);
  EXPECT_TRUE(collect_enumeration_literals(one_of({plain("a")})) == std::nullopt);
}

struct IntersectionCase {
  const char* name;
  owl::DataRange range;
  RangeOutcome outcome;
};

class DataRangeValueRange : public ::testing::TestWithParam<IntersectionCase> {};

TEST_P(DataRangeValueRange, computes_intersections) {
  EXPECT_EQ(data_range_value_range(GetParam().range), GetParam().outcome);
}

const RangeOutcome empty{RangeOutcome::Empty{}};
const RangeOutcome unhandled{RangeOutcome::Unhandled{}};
RangeOutcome range(ValueRange::Kind kind) { return {RangeOutcome::Range{ValueRange{std::move(kind)}}}; }

INSTANTIATE_TEST_SUITE_P(
    Table, DataRangeValueRange,
    ::testing::Values(
        IntersectionCase{"integer_and_string", intersection_of({xsd_range("integer"), xsd_range("string")}), empty},
        IntersectionCase{"integer_and_decimal", intersection_of({xsd_range("integer"), xsd_range("decimal")}),
                         unhandled},
        IntersectionCase{"float_and_double", intersection_of({xsd_range("float"), xsd_range("double")}), empty},
        IntersectionCase{"single_operand",
                         intersection_of({restricted("integer", {facet(Facet::MinInclusive, plain("3"))})}),
                         range(ValueRange::Integer{{3, open}})},
        IntersectionCase{"boolean", intersection_of({xsd_range("boolean"), xsd_range("integer")}), unhandled},
        IntersectionCase{"int_subtypes_meet", intersection_of({xsd_range("byte"), xsd_range("nonNegativeInteger")}),
                         range(ValueRange::Integer{{0, 127}})},
        IntersectionCase{"ints_disjoint",
                         intersection_of({xsd_range("negativeInteger"), xsd_range("nonNegativeInteger")}), empty},
        IntersectionCase{"double_restriction",
                         intersection_of({xsd_range("double"),
                                          restricted("double", {facet(Facet::MaxExclusive, plain("2.5"))})}),
                         range(ValueRange::Double{double_interval({}, false, 2.5, false)})},
        IntersectionCase{"bad_double_facet", intersection_of({restricted("double", {facet(Facet::Pattern, plain("x"))})}),
                         unhandled},
        IntersectionCase{"strings", intersection_of({one_of({plain("a"), plain("b")}), xsd_range("string")}),
                         range(ValueRange::Strings{StringSet{"a", "b"}})},
        IntersectionCase{"strings_disjoint", intersection_of({one_of({plain("a")}), one_of({plain("b")})}), empty},
        IntersectionCase{"date_and_decimal", intersection_of({xsd_range("date"), xsd_range("decimal")}), empty},
        IntersectionCase{"integer_enumeration", intersection_of({one_of({typed("1", "integer")}), xsd_range("integer")}),
                         unhandled},
        IntersectionCase{"nested_union", intersection_of({union_of({xsd_range("integer")})}), unhandled},
        IntersectionCase{"empty_intersection", intersection_of({}), unhandled},
        IntersectionCase{"not_an_intersection", xsd_range("integer"), unhandled}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NextValueRange, stops_at_the_first_unreadable_operand) {
  const std::vector<owl::DataRange> operands{xsd_range("integer"), xsd_range("boolean"), xsd_range("string")};
  std::size_t position = 0;
  bool error = false;
  EXPECT_TRUE(next_value_range(operands, position, error));
  EXPECT_FALSE(error);
  EXPECT_FALSE(next_value_range(operands, position, error));
  EXPECT_TRUE(error);
  EXPECT_FALSE(next_value_range(operands, position, error));
  EXPECT_EQ(position, 2u);
}

}  // namespace
}  // namespace kelmon
