#include <gtest/gtest.h>

#include <limits>

#include "core/data/owl_ranges.h"
#include "core/data/range_readers.h"
#include "core/data/test_values.h"

namespace kelmon {
namespace {

using namespace test;  // NOLINT: builders only
using Limits = std::numeric_limits<std::int64_t>;

struct IntRangeCase {
  const char* name;
  owl::DataRange range;
  std::optional<IntInterval> interval;
};

class IntRangeOf : public ::testing::TestWithParam<IntRangeCase> {};

TEST_P(IntRangeOf, reads_datatype_and_facets) { EXPECT_EQ(int_range_of(GetParam().range), GetParam().interval); }

INSTANTIATE_TEST_SUITE_P(
    Table, IntRangeOf,
    ::testing::Values(
        IntRangeCase{"integer", xsd_range("integer"), IntInterval{open, open}},
        IntRangeCase{"long", xsd_range("long"), IntInterval{Limits::min(), Limits::max()}},
        IntRangeCase{"unsigned_long", xsd_range("unsignedLong"), std::nullopt},
        IntRangeCase{"decimal", xsd_range("decimal"), std::nullopt},
        IntRangeCase{"int_6_to_10",
                     restricted("int", {facet(Facet::MinExclusive, typed("5", "int")),
                                        facet(Facet::MaxInclusive, typed("10", "int"))}),
                     IntInterval{6, 10}},
        IntRangeCase{"int_keeps_own_bound",
                     restricted("int", {facet(Facet::MaxInclusive, typed("2147483648", "integer"))}),
                     IntInterval{-2147483648LL, 2147483647LL}},
        IntRangeCase{"empty_is_a_result",
                     restricted("int", {facet(Facet::MinExclusive, typed("10", "int")),
                                        facet(Facet::MaxExclusive, typed("10", "int"))}),
                     IntInterval{11, 9}},
        IntRangeCase{"decimal_literal_refused",
                     restricted("integer", {facet(Facet::MinInclusive, typed("5.0", "decimal"))}), std::nullopt},
        IntRangeCase{"string_literal_read",
                     restricted("integer", {facet(Facet::MinInclusive, typed("5", "string"))}), IntInterval{5, open}},
        IntRangeCase{"plain_literal_read", restricted("integer", {facet(Facet::MaxExclusive, plain("-3"))}),
                     IntInterval{open, -4}},
        IntRangeCase{"pattern_refused", restricted("integer", {facet(Facet::Pattern, plain("[0-9]"))}), std::nullopt},
        IntRangeCase{"no_facets", restricted("short", {}), IntInterval{-32768, 32767}},
        IntRangeCase{"tightest_wins",
                     restricted("integer", {facet(Facet::MinInclusive, plain("3")), facet(Facet::MinInclusive, plain("1")),
                                            facet(Facet::MaxInclusive, plain("9")), facet(Facet::MaxExclusive, plain("9"))}),
                     IntInterval{3, 8}},
        // No wrap at the 64-bit limits.
        IntRangeCase{"min_exclusive_at_max",
                     restricted("integer", {facet(Facet::MinExclusive, plain("9223372036854775807"))}), std::nullopt},
        IntRangeCase{"max_exclusive_at_min",
                     restricted("integer", {facet(Facet::MaxExclusive, plain("-9223372036854775808"))}), std::nullopt},
        IntRangeCase{"beyond_64_bits",
                     restricted("integer", {facet(Facet::MaxInclusive, plain("9223372036854775808"))}), std::nullopt},
        IntRangeCase{"float_restriction", restricted("float", {}), std::nullopt},
        IntRangeCase{"one_of", one_of({typed("1", "integer")}), std::nullopt},
        IntRangeCase{"non_xsd", owl::DataRange(datatype("http://example.org/integer")), std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

struct FloatRangeCase {
  const char* name;
  owl::DataRange range;
  std::optional<FloatInterval> interval;
};

class FloatRangeOf : public ::testing::TestWithParam<FloatRangeCase> {};

TEST_P(FloatRangeOf, reads_binary32_bounds_widened) {
  EXPECT_EQ(float_range_of(GetParam().range), GetParam().interval);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FloatRangeOf,
    ::testing::Values(
        FloatRangeCase{"plain", xsd_range("float"), FloatInterval{}},
        FloatRangeCase{"double_refused", xsd_range("double"), std::nullopt},
        FloatRangeCase{"inf_refused", restricted("float", {facet(Facet::MinInclusive, typed("INF", "float"))}),
                       std::nullopt},
        FloatRangeCase{"overflow_refused", restricted("float", {facet(Facet::MaxInclusive, plain("1e39"))}),
                       std::nullopt},
        FloatRangeCase{"tenth_is_binary32", restricted("float", {facet(Facet::MinInclusive, typed("0.1", "float"))}),
                       double_interval(0.100000001490116119384765625, true, {}, false)},
        FloatRangeCase{"inclusive_then_exclusive",
                       restricted("float", {facet(Facet::MinInclusive, plain("1")), facet(Facet::MinExclusive, plain("1"))}),
                       double_interval(1.0, false, {}, false)},
        FloatRangeCase{"exclusive_then_inclusive",
                       restricted("float", {facet(Facet::MinExclusive, plain("1")), facet(Facet::MinInclusive, plain("1"))}),
                       double_interval(1.0, false, {}, false)},
        FloatRangeCase{"upper_tightens",
                       restricted("float", {facet(Facet::MaxInclusive, plain("5")), facet(Facet::MaxInclusive, plain("7")),
                                            facet(Facet::MaxExclusive, plain("5"))}),
                       double_interval({}, false, 5.0, false)},
        // -0 stays -0 and equals +0, so a later +0 does not replace it.
        FloatRangeCase{"negative_zero_kept",
                       restricted("float", {facet(Facet::MinInclusive, plain("-0")), facet(Facet::MinInclusive, plain("0"))}),
                       double_interval(-0.0, true, {}, false)},
        FloatRangeCase{"length_refused", restricted("float", {facet(Facet::Length, plain("1"))}), std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DoubleRangeFromFacets, reads_binary64_bounds) {
  EXPECT_EQ(double_range_from_facets({}), FloatInterval{});
  const std::vector<owl::FacetRestriction> tenth{facet(Facet::MinInclusive, typed("0.1", "double"))};
  EXPECT_EQ(double_range_from_facets(tenth), double_interval(0.1, true, {}, false));
  const std::vector<owl::FacetRestriction> big{facet(Facet::MaxExclusive, plain("1e39"))};
  EXPECT_EQ(double_range_from_facets(big), double_interval({}, false, 1e39, false));
  const std::vector<owl::FacetRestriction> huge{facet(Facet::MaxExclusive, plain("1e400"))};
  EXPECT_EQ(double_range_from_facets(huge), std::nullopt);
  const std::vector<owl::FacetRestriction> nan{facet(Facet::MaxExclusive, plain("NaN"))};
  EXPECT_EQ(double_range_from_facets(nan), std::nullopt);
}

TEST(DecimalRangeOf, reads_decimal_only) {
  EXPECT_EQ(decimal_range_of(xsd_range("decimal")), DecimalInterval{});
  EXPECT_EQ(decimal_range_of(xsd_range("integer")), std::nullopt);
  EXPECT_EQ(decimal_range_of(restricted("integer", {})), std::nullopt);
  EXPECT_EQ(decimal_range_of(restricted("decimal", {facet(Facet::MinExclusive, plain("0")),
                                                    facet(Facet::MinInclusive, plain("0.0")),
                                                    facet(Facet::MaxInclusive, plain("2.50"))})),
            dec_interval("0", false, "2.5", true));
  EXPECT_EQ(decimal_range_of(restricted("decimal", {facet(Facet::MinInclusive, plain("1e3"))})), std::nullopt);
  EXPECT_EQ(decimal_range_of(restricted("decimal", {facet(Facet::TotalDigits, plain("3"))})), std::nullopt);
}

TEST(DateRangeOf, reads_dates_and_date_times) {
  EXPECT_EQ(date_range_of(xsd_range("date")), DateInterval{});
  EXPECT_EQ(date_range_of(xsd_range("dateTime")), std::nullopt);
  EXPECT_EQ(date_range_of(restricted("date", {facet(Facet::MaxInclusive, plain("2020-01-05")),
                                              facet(Facet::MaxExclusive, plain("2020-01-05")),
                                              facet(Facet::MinInclusive, plain("2019-12-31"))})),
            (DateInterval{DateValue{2019, 12, 31}, DateValue{2020, 1, 5}, true, false}));
  EXPECT_EQ(date_range_of(restricted("date", {facet(Facet::MinInclusive, plain("2020-01-05Z"))})), std::nullopt);
  EXPECT_EQ(date_time_range_of(restricted("dateTime", {facet(Facet::MinExclusive, plain("2020-01-05T10:00:00"))})),
            (DateTimeInterval{DateTimeValue{2020, 1, 5, 10, 0, 0}, std::nullopt, false, false}));
  EXPECT_EQ(date_time_range_of(restricted("dateTime", {facet(Facet::MinExclusive, plain("2020-01-05"))})),
            std::nullopt);
  EXPECT_EQ(date_time_range_of(xsd_range("dateTimeStamp")), std::nullopt);
}

TEST(RangeReaders, refuse_empty_handles) {
  const owl::DataRange none;
  EXPECT_EQ(int_range_of(none), std::nullopt);
  EXPECT_EQ(float_range_of(none), std::nullopt);
  EXPECT_EQ(string_set_of(none), std::nullopt);
  EXPECT_EQ(data_range_value_range(none), RangeOutcome{RangeOutcome::Unhandled{}});
}

}  // namespace
}  // namespace kelmon
