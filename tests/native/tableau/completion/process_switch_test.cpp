// Switches read once per process: each case runs this test program again
// with the variable set and a filter that picks the checking test.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "common/switches.h"
#include "kb_fixture.h"
#include "tableau/completion/rules.h"

namespace kelmon::completion {
namespace {

using testing::Kb;

// Runs one test of this program in a child process with `assignment` in its
// environment; true when it passed.
bool passes_in_child(const std::string& assignment, const std::string& test) {
  // Resolved here: inside the shell /proc/self/exe would be the shell.
  const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  const std::string command = "env KELMON_TABLEAU_CHILD=1 " + assignment + " '" + self +
                              "' --gtest_filter=" + test + " > /dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

bool in_child() { return std::getenv("KELMON_TABLEAU_CHILD") != nullptr; }

std::string wide_fan(int n) {
  std::string body = "SubClassOf(:A ObjectIntersectionOf(";
  for (int i = 0; i < n; ++i) body += " ObjectSomeValuesFrom(:R :B" + std::to_string(i) + ")";
  return body + "))";
}

// Child side: the node limit the variable gives, seen through the search.
TEST(ChildMaxNodes, limit_is) {
  if (!in_child()) GTEST_SKIP();
  const char* expected = std::getenv("EXPECT_LIMIT");
  ASSERT_NE(expected, nullptr);
  const int limit = std::atoi(expected);
  Kb kb(wide_fan(100));
  auto ctx = kb.context_for(kb.atom("A"), false);
  const auto tag = search(*ctx, 10).tag;
  if (limit == 0 || limit > 101) {
    EXPECT_EQ(tag, SearchOutcome::Tag::Sat);
  } else {
    EXPECT_EQ(tag, SearchOutcome::Tag::NodeLimit);
  }
}

struct LimitCase {
  const char* value;
  const char* expected;
};

class MaxNodesSwitch : public ::testing::TestWithParam<LimitCase> {};

TEST_P(MaxNodesSwitch, reads_the_limit) {
  if (in_child()) GTEST_SKIP();
  const auto& c = GetParam();
  EXPECT_TRUE(passes_in_child(std::string("KELMON_MAX_NODES='") + c.value + "' EXPECT_LIMIT=" + c.expected,
                              "ChildMaxNodes.limit_is"))
      << c.value;
}

INSTANTIATE_TEST_SUITE_P(Values, MaxNodesSwitch,
                         ::testing::Values(LimitCase{"0", "0"}, LimitCase{"abc", "50000"}, LimitCase{"", "50000"},
                                           LimitCase{"-5", "50000"}, LimitCase{" 70 ", "70"}, LimitCase{"+50", "50"}));

TEST(ChildNominalFirst, holds_generating_rules_back) {
  if (!in_child()) GTEST_SKIP();
  ASSERT_TRUE(switch_flag(SwitchId::NominalFirst));
  ConceptPool pool;
  pool.intern(Bottom{});
  TableauContext ctx(pool, nullptr, nullptr);
  const NodeId x = ctx.add_trailed_node(std::nullopt, std::nullopt);
  const ConceptId a = pool.intern(Atomic{ClassId{1}});
  ctx.add_label(x, pool.mk_or({pool.intern(Nominal{IndividualId{0}}), a}), DepSet{});
  ctx.add_label(x, pool.intern(Some{a, Role::named(RoleId{0})}), DepSet{});
  ctx.add_label(x, pool.intern(Min{2, a, Role::named(RoleId{0})}), DepSet{});
  EXPECT_FALSE(apply_some_rule(ctx, x));
  EXPECT_FALSE(apply_min_rule(ctx, x));
  ctx.add_label(x, a, DepSet{});  // the disjunction is satisfied now
  EXPECT_TRUE(apply_some_rule(ctx, x));
}

TEST(NominalFirstSwitch, holds_generating_rules_back) {
  if (in_child()) GTEST_SKIP();
  EXPECT_TRUE(passes_in_child("KELMON_NOMINAL_FIRST=1", "ChildNominalFirst.holds_generating_rules_back"));
}

TEST(ChildTrace, prints_search_lines) {
  if (!in_child()) GTEST_SKIP();
  Kb kb("SubClassOf(:A ObjectUnionOf(:B :C)) SubClassOf(:B owl:Nothing)");
  auto ctx = kb.context_for(kb.atom("A"), false);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(search(*ctx, 10).tag, SearchOutcome::Tag::Sat);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("# trace search depth=10 disj node=0 options=2 graph_nodes=1\n"), std::string::npos) << err;
  EXPECT_NE(err.find("# trace branch depth=10 my_id=0 pick=1/2 disj="), std::string::npos) << err;
  EXPECT_NE(err.find("# trace search depth=9 clash=immediate deps=1\n"), std::string::npos) << err;
  EXPECT_NE(err.find("# trace search depth=9 sat graph_nodes=1\n"), std::string::npos) << err;
}

TEST(TraceSwitch, prints_search_lines) {
  if (in_child()) GTEST_SKIP();
  EXPECT_TRUE(passes_in_child("KELMON_TRACE=1", "ChildTrace.prints_search_lines"));
}

}  // namespace
}  // namespace kelmon::completion
