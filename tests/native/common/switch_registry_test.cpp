#include <gtest/gtest.h>
#include <stdlib.h>

#include <set>
#include <string>

#include "common/invariant.h"
#include "common/switches.h"

namespace kelmon {
namespace {

TEST(SwitchRegistry, NamesAreUniqueAndPrefixed) {
  std::set<std::string_view> seen;
  for (const SwitchInfo& info : switch_table()) {
    EXPECT_TRUE(info.name.starts_with("KELMON_")) << info.name;
    EXPECT_TRUE(seen.insert(info.name).second) << "listed twice: " << info.name;
  }
}

TEST(SwitchRegistry, NumberSwitchGivesDefaultWhenUnsetOrInvalidAndValueOtherwise) {
  const char* name = "KELMON_CLASSIFY_DENSE_MAX";
  ASSERT_EQ(switch_info(SwitchId::ClassifyDenseMax).name, name);
  unsetenv(name);
  EXPECT_EQ(switch_number(SwitchId::ClassifyDenseMax), 60000u);
  EXPECT_EQ(switch_number_if_set(SwitchId::ClassifyDenseMax), std::nullopt);
  setenv(name, "x12", 1);
  EXPECT_EQ(switch_number(SwitchId::ClassifyDenseMax), 60000u);
  setenv(name, "+12", 1);
  EXPECT_EQ(switch_number(SwitchId::ClassifyDenseMax), 12u);
  unsetenv(name);
}

TEST(SwitchRegistry, FlagSwitchFollowsItsRuleAtEachUse) {
  const char* name = "KELMON_PROOF";  // on only for exactly "1"
  setenv(name, "1", 1);
  EXPECT_TRUE(switch_flag(SwitchId::Proof));
  setenv(name, "yes", 1);
  EXPECT_FALSE(switch_flag(SwitchId::Proof));
  unsetenv(name);
  EXPECT_FALSE(switch_flag(SwitchId::Proof));
}

TEST(SwitchRegistry, ReadingAFlagAsANumberIsAnInvariantFailure) {
  EXPECT_THROW(switch_number(SwitchId::Proof), InvariantFailure);
}

}  // namespace
}  // namespace kelmon
