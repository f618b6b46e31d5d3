#include "core/data/xsd_integer.h"

#include <gtest/gtest.h>

#include <limits>

namespace kelmon {
namespace {

struct IntegerCase {
  const char* text;
  std::optional<std::int64_t> value;
};

class IntegerLexicalRule : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(IntegerLexicalRule, reads_exact_value_or_refuses) {
  EXPECT_EQ(parse_xsd_integer(GetParam().text), GetParam().value) << "text: '" << GetParam().text << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Table, IntegerLexicalRule,
    ::testing::Values(IntegerCase{"0", 0}, IntegerCase{"-0", 0}, IntegerCase{"+0", 0}, IntegerCase{"007", 7},
                      IntegerCase{"+42", 42}, IntegerCase{"-42", -42},
                      IntegerCase{"9223372036854775807", std::numeric_limits<std::int64_t>::max()},
                      IntegerCase{"-9223372036854775808", std::numeric_limits<std::int64_t>::min()},
                      IntegerCase{"0009223372036854775807", std::numeric_limits<std::int64_t>::max()},
                      // Overflow is refused, never wrapped or saturated.
                      IntegerCase{"9223372036854775808", std::nullopt},
                      IntegerCase{"-9223372036854775809", std::nullopt},
                      IntegerCase{"18446744073709551616", std::nullopt},
                      IntegerCase{"99999999999999999999999999", std::nullopt}, IntegerCase{"", std::nullopt},
                      IntegerCase{"+", std::nullopt}, IntegerCase{"-", std::nullopt}, IntegerCase{" 1", std::nullopt},
                      IntegerCase{"1 ", std::nullopt}, IntegerCase{"1.0", std::nullopt},
                      IntegerCase{"1e3", std::nullopt}, IntegerCase{"+-1", std::nullopt},
                      IntegerCase{"--1", std::nullopt}, IntegerCase{"0x10", std::nullopt}));

TEST(UnsignedDigits, respects_the_given_maximum) {
  EXPECT_EQ(parse_unsigned_digits("255", 255), 255u);
  EXPECT_EQ(parse_unsigned_digits("256", 255), std::nullopt);
  EXPECT_EQ(parse_unsigned_digits("0000255", 255), 255u);
  EXPECT_EQ(parse_unsigned_digits("18446744073709551615", std::numeric_limits<std::uint64_t>::max()),
            std::numeric_limits<std::uint64_t>::max());
  EXPECT_EQ(parse_unsigned_digits("18446744073709551616", std::numeric_limits<std::uint64_t>::max()), std::nullopt);
  EXPECT_EQ(parse_unsigned_digits("+5", 255), std::nullopt);
  EXPECT_EQ(parse_plus_unsigned("+5", 255), 5u);
  EXPECT_EQ(parse_plus_unsigned("+", 255), std::nullopt);
  EXPECT_EQ(parse_plus_unsigned("-5", 255), std::nullopt);
}

}  // namespace
}  // namespace kelmon
