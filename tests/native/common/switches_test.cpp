#include "common/switches.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "common/invariant.h"

namespace kelmon {
namespace {

struct SwitchCase {
  std::optional<std::string> value;  // nullopt: unset
  bool unless_zero, unless_zero_or_empty, only_one, when_set, yes;
};

class SwitchKinds : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(SwitchKinds, EachKindReadsTheValueByItsRule) {
  const auto& c = GetParam();
  const std::optional<std::string_view> v = c.value;
  EXPECT_EQ(switch_rule_on(SwitchRule::OnUnlessZero, v), c.unless_zero);
  EXPECT_EQ(switch_rule_on(SwitchRule::OnUnlessZeroOrEmpty, v), c.unless_zero_or_empty);
  EXPECT_EQ(switch_rule_on(SwitchRule::OnlyForOne, v), c.only_one);
  EXPECT_EQ(switch_rule_on(SwitchRule::WhenSet, v), c.when_set);
  EXPECT_EQ(switch_rule_on(SwitchRule::ForYes, v), c.yes);
}

INSTANTIATE_TEST_SUITE_P(Table, SwitchKinds,
                         ::testing::Values(SwitchCase{std::nullopt, true, true, false, false, false},
                                           SwitchCase{"", true, false, false, true, false},
                                           SwitchCase{"0", false, false, false, true, false},
                                           SwitchCase{"1", true, true, true, true, true},
                                           SwitchCase{" 1", true, true, false, true, false},
                                           SwitchCase{"00", true, true, false, true, false},
                                           SwitchCase{"on", true, true, false, true, true},
                                           SwitchCase{"yes", true, true, false, true, true},
                                           SwitchCase{"true", true, true, false, true, true},
                                           SwitchCase{"TRUE", true, true, false, true, false}));

struct NumberCase {
  const char* text;
  std::optional<std::uint64_t> plain, trimmed;
};

class EnvNumbers : public ::testing::TestWithParam<NumberCase> {};

TEST_P(EnvNumbers, DecimalWithOptionalPlus) {
  const auto& c = GetParam();
  EXPECT_EQ(parse_env_u64(c.text), c.plain) << c.text;
  EXPECT_EQ(parse_env_u64_trimmed(c.text), c.trimmed) << c.text;
}

INSTANTIATE_TEST_SUITE_P(Table, EnvNumbers,
                         ::testing::Values(NumberCase{"0", 0, 0}, NumberCase{"42", 42, 42}, NumberCase{"+42", 42, 42},
                                           NumberCase{"", std::nullopt, std::nullopt},
                                           NumberCase{"+", std::nullopt, std::nullopt},
                                           NumberCase{"-1", std::nullopt, std::nullopt},
                                           NumberCase{"++1", std::nullopt, std::nullopt},
                                           NumberCase{" 7 ", std::nullopt, 7}, NumberCase{"1e3", std::nullopt, std::nullopt},
                                           NumberCase{"0x10", std::nullopt, std::nullopt},
                                           NumberCase{"18446744073709551615", 18446744073709551615ull,
                                                      18446744073709551615ull},
                                           NumberCase{"18446744073709551616", std::nullopt, std::nullopt},
                                           NumberCase{"99999999999999999999999", std::nullopt, std::nullopt}));

TEST(SwitchRules, NumberAndTextRulesAreNoFlagRules) {
  EXPECT_THROW(switch_rule_on(SwitchRule::Number, "1"), InvariantFailure);
  EXPECT_THROW(switch_rule_on(SwitchRule::Text, "1"), InvariantFailure);
}

}  // namespace
}  // namespace kelmon
