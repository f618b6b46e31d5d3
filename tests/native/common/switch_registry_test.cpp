#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "common/invariant.h"
#include "common/scoped_switch.h"
#include "common/switches.h"

namespace kelmon {
namespace {

using testing::ScopedSwitch;

TEST(SwitchRegistry, NamesAreUniqueAndPrefixed) {
  std::set<std::string_view> seen;
  for (const SwitchInfo& info : switch_table()) {
    EXPECT_TRUE(info.name.starts_with("KELMON_")) << info.name;
    EXPECT_TRUE(seen.insert(info.name).second) << "listed twice: " << info.name;
  }
}

TEST(SwitchRegistry, NumberSwitchGivesDefaultWhenUnsetOrInvalidAndValueOtherwise) {
  ASSERT_EQ(switch_info(SwitchId::ClassifyDenseMax).name, "KELMON_CLASSIFY_DENSE_MAX");
  {
    ScopedSwitch unset(SwitchId::ClassifyDenseMax, std::nullopt);
    EXPECT_EQ(switch_number(SwitchId::ClassifyDenseMax), 60000u);
    EXPECT_EQ(switch_number_if_set(SwitchId::ClassifyDenseMax), std::nullopt);
  }
  {
    ScopedSwitch invalid(SwitchId::ClassifyDenseMax, "x12");
    EXPECT_EQ(switch_number(SwitchId::ClassifyDenseMax), 60000u);
    EXPECT_EQ(switch_number_if_set(SwitchId::ClassifyDenseMax), std::nullopt);
  }
  ScopedSwitch plus(SwitchId::ClassifyDenseMax, "+12");
  EXPECT_EQ(switch_number(SwitchId::ClassifyDenseMax), 12u);
}

TEST(SwitchRegistry, FlagSwitchFollowsItsRuleAtEachUse) {
  {
    ScopedSwitch one(SwitchId::Proof, "1");  // on only for exactly "1"
    EXPECT_TRUE(switch_flag(SwitchId::Proof));
    ScopedSwitch yes(SwitchId::Proof, "yes");
    EXPECT_FALSE(switch_flag(SwitchId::Proof));
  }
  ScopedSwitch unset(SwitchId::Proof, std::nullopt);
  EXPECT_FALSE(switch_flag(SwitchId::Proof));
}

TEST(SwitchRegistry, ReadingAFlagAsANumberIsAnInvariantFailure) {
  EXPECT_THROW(switch_number(SwitchId::Proof), InvariantFailure);
}

TEST(ScopedSwitchTest, PutsTheEarlierValueOrItsAbsenceBack) {
  {
    ScopedSwitch outer(SwitchId::ConvertHashSort, "outer");
    {
      ScopedSwitch inner(SwitchId::ConvertHashSort, std::nullopt);
      EXPECT_EQ(switch_text(SwitchId::ConvertHashSort), std::nullopt);
    }
    EXPECT_EQ(switch_text(SwitchId::ConvertHashSort), "outer");
    {
      ScopedSwitch empty(SwitchId::ConvertHashSort, "");
      EXPECT_EQ(switch_text(SwitchId::ConvertHashSort), "");
    }
    EXPECT_EQ(switch_text(SwitchId::ConvertHashSort), "outer");
  }
  EXPECT_EQ(switch_text(SwitchId::ConvertHashSort), std::nullopt);
}

TEST(ScopedSwitchTest, RefusesSwitchesReadOncePerProcess) {
  int process_switches = 0;
  for (std::size_t i = 0; i < switch_table().size(); ++i) {
    if (switch_table()[i].read != SwitchRead::Process) continue;
    ++process_switches;
    EXPECT_THROW(ScopedSwitch(static_cast<SwitchId>(i), "1"), std::logic_error) << switch_table()[i].name;
  }
  if (process_switches == 0) GTEST_SKIP() << "no switch is read once per process";
}

// ---- the sources name no switch the table lacks

struct SourceFile {
  std::string path;
  std::string text;
};

std::vector<SourceFile> native_sources() {
  std::vector<SourceFile> out;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(KELMON_NATIVE_SOURCE_DIR)) {
    const auto ext = entry.path().extension();
    if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    out.push_back({entry.path().string(), text.str()});
  }
  return out;
}

TEST(SwitchRegistry, EveryVariableNamedInTheSourcesIsInTheTable) {
  std::set<std::string, std::less<>> names;
  for (const SwitchInfo& info : switch_table()) names.emplace(info.name);
  const auto sources = native_sources();
  ASSERT_GT(sources.size(), 50u) << KELMON_NATIVE_SOURCE_DIR;
  // A string literal that starts with a variable name, outside comment
  // lines. Macro names such as KELMON_OWL (an IRI prefix) are not in quotes
  // and do not count.
  const std::regex literal("\"(KELMON_[A-Z0-9_]+)");
  const std::regex comment_line(R"(^\s*//)");
  std::size_t seen = 0;
  for (const auto& file : sources) {
    std::istringstream lines(file.text);
    for (std::string line; std::getline(lines, line);) {
      if (std::regex_search(line, comment_line)) continue;
      for (std::sregex_iterator it(line.begin(), line.end(), literal), end; it != end; ++it) {
        ++seen;
        EXPECT_TRUE(names.contains((*it)[1].str())) << (*it)[1] << " in " << file.path << " is not in switch_list.h";
      }
    }
  }
  EXPECT_GE(seen, names.size());  // the table's own lines are among them
}

TEST(SwitchRegistry, OnlyTheRegistryReadsVariablesByName) {
  const std::regex direct_read(R"(getenv\s*\(\s*"KELMON_)");
  for (const auto& file : native_sources()) {
    EXPECT_FALSE(std::regex_search(file.text, direct_read)) << file.path << " reads a variable by its name";
  }
}

}  // namespace
}  // namespace kelmon
