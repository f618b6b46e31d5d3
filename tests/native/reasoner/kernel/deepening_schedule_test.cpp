#include "reasoner/kernel/deepening_schedule.h"

#include <gtest/gtest.h>

#include "common/scoped_switch.h"

namespace kelmon::reasoner {
namespace {

using kelmon::testing::ScopedSwitch;
using std::chrono::milliseconds;

TEST(U64ListReaderTest, ElementsThenEnd) {
  U64ListReader reader{" 4, +64 ,300"};
  EXPECT_EQ(parse_u64_list_next(reader), std::optional<std::uint64_t>(4));
  EXPECT_EQ(parse_u64_list_next(reader), std::optional<std::uint64_t>(64));
  EXPECT_EQ(parse_u64_list_next(reader), std::optional<std::uint64_t>(300));
  EXPECT_EQ(parse_u64_list_next(reader), std::nullopt);
  EXPECT_FALSE(reader.error);
}

TEST(U64ListReaderTest, BadElementMarksErrorAndEndsTheList) {
  U64ListReader reader{"8,,32"};
  EXPECT_EQ(parse_u64_list_next(reader), std::optional<std::uint64_t>(8));
  EXPECT_EQ(parse_u64_list_next(reader), std::nullopt);
  EXPECT_TRUE(reader.error);
  EXPECT_EQ(parse_u64_list_next(reader), std::nullopt) << "nothing after the error";
}

struct ScheduleCase {
  const char* name;
  std::optional<std::string> value;
  std::vector<std::uint64_t> schedule;
};

class IdSchedule : public ::testing::TestWithParam<ScheduleCase> {};

TEST_P(IdSchedule, AcceptedOrDefault) {
  ScopedSwitch s(SwitchId::TableauIdSchedule, GetParam().value);
  EXPECT_EQ(deepening_settings().schedule, GetParam().schedule);
}

const std::vector<std::uint64_t> kDefault{8, 32, 256};

INSTANTIATE_TEST_SUITE_P(
    Table, IdSchedule,
    ::testing::Values(ScheduleCase{"unset", std::nullopt, kDefault},
                      ScheduleCase{"spaces_around_elements", "4, 64 ,300", {4, 64, 300}},
                      ScheduleCase{"one_element", "300", {300}}, ScheduleCase{"plus_signs", "+8,+256", {8, 256}},
                      ScheduleCase{"last_below_256", "8,32,128", kDefault},
                      ScheduleCase{"not_increasing", "8,8,256", kDefault},
                      ScheduleCase{"decreasing", "300,256", kDefault}, ScheduleCase{"empty", "", kDefault},
                      ScheduleCase{"empty_element", "8,,256", kDefault},
                      ScheduleCase{"trailing_comma", "8,256,", kDefault},
                      ScheduleCase{"lone_sign", "8,+", kDefault}, ScheduleCase{"negative", "-8,256", kDefault},
                      ScheduleCase{"overflow", "8,99999999999999999999", kDefault}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DeepeningSettingsTest, ShallowBudgetAndWasteThreshold) {
  {
    ScopedSwitch ms(SwitchId::TableauIdShallowMs, std::nullopt);
    ScopedSwitch waste(SwitchId::TableauIdShallowWasteMs, std::nullopt);
    DeepeningSettings s = deepening_settings();
    EXPECT_EQ(s.shallow_ms, 20u);
    EXPECT_EQ(s.waste_threshold_us, 1'000'000u);
  }
  {
    ScopedSwitch ms(SwitchId::TableauIdShallowMs, " 0 ");
    ScopedSwitch waste(SwitchId::TableauIdShallowWasteMs, "x");
    DeepeningSettings s = deepening_settings();
    EXPECT_EQ(s.shallow_ms, 0u);
    EXPECT_EQ(s.waste_threshold_us, 1'000'000u);
  }
  ScopedSwitch waste(SwitchId::TableauIdShallowWasteMs, "18446744073709551615");
  EXPECT_EQ(deepening_settings().waste_threshold_us, std::numeric_limits<std::uint64_t>::max()) << "saturates";
}

struct CapCase {
  const char* name;
  std::optional<std::string> value;
  Timeout timeout;
  Timeout expected;
};

class UnsatProbeCap : public ::testing::TestWithParam<CapCase> {};

TEST_P(UnsatProbeCap, CapsTheTimeout) {
  ScopedSwitch s(SwitchId::UnsatProbeMs, GetParam().value);
  EXPECT_EQ(cap_unsat_probe(GetParam().timeout), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, UnsatProbeCap,
    ::testing::Values(CapCase{"smaller_cap", "250", milliseconds(1000), milliseconds(250)},
                      CapCase{"absent_timeout", "250", std::nullopt, milliseconds(250)},
                      CapCase{"larger_cap", "+5000", milliseconds(1000), milliseconds(1000)},
                      CapCase{"leading_space_is_invalid", " 250", milliseconds(1000), milliseconds(1000)},
                      CapCase{"zero_is_no_cap", "0", std::nullopt, std::nullopt},
                      CapCase{"unset", std::nullopt, milliseconds(7), milliseconds(7)},
                      CapCase{"lone_sign", "+", milliseconds(7), milliseconds(7)}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kelmon::reasoner
