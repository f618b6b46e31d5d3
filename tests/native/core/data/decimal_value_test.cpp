#include "core/data/decimal_value.h"

#include <gtest/gtest.h>

#include <limits>

namespace kelmon {
namespace {

DecimalValue dec(const char* text) {
  auto v = parse_xsd_decimal(text);
  if (!v) ADD_FAILURE() << "not a decimal: " << text;
  return v.value_or(DecimalValue{});
}

struct DecimalCase {
  const char* text;
  bool valid;
  const char* int_digits;
  const char* frac_digits;
  bool negative;
};

class DecimalParse : public ::testing::TestWithParam<DecimalCase> {};

TEST_P(DecimalParse, gives_the_canonical_form) {
  const auto& c = GetParam();
  const auto got = parse_xsd_decimal(c.text);
  ASSERT_EQ(got.has_value(), c.valid) << "text: '" << c.text << "'";
  if (!got) return;
  EXPECT_EQ(got->int_digits, c.int_digits) << c.text;
  EXPECT_EQ(got->frac_digits, c.frac_digits) << c.text;
  EXPECT_EQ(got->negative, c.negative) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Table, DecimalParse,
    ::testing::Values(DecimalCase{"007.500", true, "7", "5", false}, DecimalCase{".5", true, "", "5", false},
                      DecimalCase{"+.5", true, "", "5", false}, DecimalCase{"5.", true, "5", "", false},
                      DecimalCase{"-3.25", true, "3", "25", true}, DecimalCase{"1.50", true, "1", "5", false},
                      DecimalCase{"+01.5", true, "1", "5", false},
                      DecimalCase{"123456789012345678901234567890.000000000000000000000001", true,
                                  "123456789012345678901234567890", "000000000000000000000001", false},
                      // Every spelling of zero is the one zero, never negative.
                      DecimalCase{"-0", true, "", "", false}, DecimalCase{"+0", true, "", "", false},
                      DecimalCase{"0.0", true, "", "", false}, DecimalCase{"000", true, "", "", false},
                      DecimalCase{"-.0", true, "", "", false}, DecimalCase{"-0.000", true, "", "", false},
                      DecimalCase{"", false, "", "", false}, DecimalCase{"+", false, "", "", false},
                      DecimalCase{"-", false, "", "", false}, DecimalCase{".", false, "", "", false},
                      DecimalCase{"-.", false, "", "", false}, DecimalCase{"1.2.3", false, "", "", false},
                      DecimalCase{"1e3", false, "", "", false}, DecimalCase{"1,5", false, "", "", false},
                      DecimalCase{" 1", false, "", "", false}, DecimalCase{"1 ", false, "", "", false},
                      DecimalCase{"+-1", false, "", "", false}, DecimalCase{"INF", false, "", "", false}));

TEST(DecimalValue, zero_spellings_are_one_value) {
  for (const char* text : {"+0", "0.0", "000", "-.0", "-0.000"}) {
    EXPECT_EQ(dec(text), dec("-0")) << text;
    EXPECT_EQ(cmp_decimal(dec(text), dec("0")), std::strong_ordering::equal) << text;
  }
}

struct OrderCase {
  const char* a;
  const char* b;
  std::strong_ordering magnitude;
  std::strong_ordering signed_order;
};

class DecimalOrder : public ::testing::TestWithParam<OrderCase> {};

TEST_P(DecimalOrder, compares_magnitudes_and_signed_values) {
  const auto& c = GetParam();
  EXPECT_EQ(cmp_decimal_magnitude(dec(c.a), dec(c.b)), c.magnitude) << c.a << " vs " << c.b;
  EXPECT_EQ(cmp_decimal(dec(c.a), dec(c.b)), c.signed_order) << c.a << " vs " << c.b;
}

using SO = std::strong_ordering;
INSTANTIATE_TEST_SUITE_P(Table, DecimalOrder,
                         ::testing::Values(OrderCase{"10", "9.99", SO::greater, SO::greater},
                                           OrderCase{"0.5", "0.50", SO::equal, SO::equal},
                                           OrderCase{"-2", "-1.5", SO::greater, SO::less},
                                           OrderCase{"-1.5", "0", SO::greater, SO::less},
                                           OrderCase{"0", "0.25", SO::less, SO::less},
                                           OrderCase{"-0.25", "0.25", SO::equal, SO::less},
                                           OrderCase{"0.25", "-3", SO::less, SO::greater},
                                           OrderCase{"1.05", "1.5", SO::less, SO::less},
                                           OrderCase{"1.5", "1.05", SO::greater, SO::greater},
                                           OrderCase{"1.5", "1.51", SO::less, SO::less},
                                           OrderCase{"123", "124", SO::less, SO::less},
                                           OrderCase{"99999999999999999999999", "100000000000000000000000", SO::less,
                                                     SO::less},
                                           OrderCase{"-99999999999999999999999", "-100000000000000000000000",
                                                     SO::less, SO::greater}));

TEST(DecimalValue, magnitude_pads_non_canonical_fractions) {
  // A hand-built value with trailing zeros compares as its padded digits do.
  const DecimalValue a{"1", "50", false};
  EXPECT_EQ(cmp_decimal_magnitude(a, dec("1.5")), std::strong_ordering::equal);
  EXPECT_EQ(cmp_decimal_magnitude(dec("1.5"), a), std::strong_ordering::equal);
}

TEST(DecimalValue, pad_digits_right_appends_zeros) {
  EXPECT_EQ(pad_digits_right("25", 4), "2500");
  EXPECT_EQ(pad_digits_right("25", 2), "25");
  EXPECT_EQ(pad_digits_right("", 3), "000");
}

struct ToI64Case {
  const char* text;
  std::optional<std::int64_t> value;
};

class DecimalToI64 : public ::testing::TestWithParam<ToI64Case> {};

TEST_P(DecimalToI64, converts_only_exact_integers_in_range) {
  EXPECT_EQ(decimal_to_i64(dec(GetParam().text)), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Table, DecimalToI64,
                         ::testing::Values(ToI64Case{"0", 0}, ToI64Case{"-0.0", 0}, ToI64Case{"42.000", 42},
                                           ToI64Case{"-17", -17}, ToI64Case{"1.5", std::nullopt},
                                           ToI64Case{"9223372036854775807", std::numeric_limits<std::int64_t>::max()},
                                           ToI64Case{"9223372036854775808", std::nullopt},
                                           ToI64Case{"-9223372036854775808", std::numeric_limits<std::int64_t>::min()},
                                           ToI64Case{"-9223372036854775809", std::nullopt},
                                           ToI64Case{"100000000000000000000000", std::nullopt}));

TEST(DecimalValue, canonical_text) {
  EXPECT_EQ(decimal_text(dec("-3.250")), "-3.25");
  EXPECT_EQ(decimal_text(dec(".5")), "0.5");
  EXPECT_EQ(decimal_text(dec("012")), "12");
  EXPECT_EQ(decimal_text(dec("-0.0")), "0");
}

}  // namespace
}  // namespace kelmon
