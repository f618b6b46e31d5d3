#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "hyper_fixture.h"
#include "tableau/hyper/clause_index.h"

namespace kelmon {
namespace {

using hyper_testing::ca;
using hyper_testing::ea;
using hyper_testing::ra;

// R(0,1), R(1,2), …, R(n-1,n): a chain binding n + 1 variables.
std::vector<ClauseAtom> chain(std::uint32_t n) {
  std::vector<ClauseAtom> atoms{ca(1, 0)};
  for (std::uint32_t i = 0; i < n; ++i) atoms.push_back(ra(i, i + 1, 3));
  atoms.push_back(ca(2, n));
  return atoms;
}

TEST(CompileBody, SevenLinkChainBindsEightVariablesAndCompiles) {
  BodyCompilation c = compile_body(chain(7));
  ASSERT_TRUE(c.body.has_value());
  EXPECT_EQ(c.body->binding_order.size(), 7u);
  EXPECT_EQ(c.body->checks.size(), 0u);
  EXPECT_EQ(c.body->centre_concepts.size(), 1u);
  EXPECT_EQ(c.body->other_concepts.size(), 1u);
  EXPECT_EQ(c.body->other_concepts[0].var, 7u);
}

TEST(CompileBody, EightLinkChainPassesTheCap) {
  BodyCompilation c = compile_body(chain(8));
  EXPECT_FALSE(c.body.has_value());
  ASSERT_TRUE(c.refusal.has_value());
  EXPECT_EQ(*c.refusal, (BodyRefusal{BodyRefusal::Kind::VarCap, 9, 8}));
}

TEST(CompileBody, EdgeIntoTheCentreOnlyIsDisconnected) {
  BodyCompilation c = compile_body(std::vector<ClauseAtom>{ra(1, 0, 3)});
  ASSERT_TRUE(c.refusal.has_value());
  EXPECT_EQ(c.refusal->kind, BodyRefusal::Kind::Disconnected);
}

TEST(CompileBody, AtomsOfOtherKindsAreNotCompiledWithoutRefusal) {
  BodyCompilation c = compile_body(std::vector<ClauseAtom>{ca(1, 0), ea(2, 0, 3)});
  EXPECT_FALSE(c.body.has_value());
  EXPECT_FALSE(c.refusal.has_value());
}

TEST(CompileBody, BothEndsBoundMakeACheckAndLaterPassesPlaceWaitingAtoms) {
  // R(1,2) waits for the second pass; the third atom finds both ends bound.
  BodyCompilation c = compile_body(std::vector<ClauseAtom>{ra(1, 2, 4), ra(0, 1, 3), ra(0, 1, 5)});
  ASSERT_TRUE(c.body.has_value());
  const CompiledBody& b = *c.body;
  ASSERT_EQ(b.binding_order.size(), 2u);
  EXPECT_EQ(b.binding_order[0], 1u);  // R(0,1) binds 1 in the first pass
  EXPECT_EQ(b.binding_order[1], 0u);  // R(1,2) binds 2 in the second
  ASSERT_EQ(b.checks.size(), 1u);
  EXPECT_EQ(b.checks[0], 2u);
}

// The two switches are read once per process, so each case runs in a fresh one.
TEST(CompileBodyDeathTest, WideCapAcceptsTheEightLinkChainAndTracesIt) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        ::setenv("KELMON_WIDE_BODY_VARS", "1", 1);
        ::setenv("KELMON_TRACE_BODY_VARS", "1", 1);
        std::exit(compile_body(chain(8)).body.has_value() && body_var_cap() == 16 ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "\\[mbv\\] accepted body: vars=9 role_atoms=8 cap=16");
}

TEST(CompileBodyDeathTest, TraceNamesTheRefusal) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        ::setenv("KELMON_WIDE_BODY_VARS", "0", 1);
        ::setenv("KELMON_TRACE_BODY_VARS", "1", 1);
        compile_body(chain(7));  // accepted within the cap: no line
        compile_body(std::vector<ClauseAtom>{ca(1, 0), ea(2, 0, 3)});  // other atoms: no line
        std::exit(compile_body(chain(8)).body.has_value() ? 1 : 0);
      },
      ::testing::ExitedWithCode(0),
      "^\\[mbv\\] refused body: vars=9 role_atoms=8 cap=8 reason=VarCap \\{ vars: 9, cap: 8 \\}\n$");
}

TEST(ClauseIndexes, HornClausesAreFiledByTriggerShape) {
  std::vector<DlClause> clauses{
      {{ca(1, 0), ca(1, 0)}, {ca(2, 0)}},          // 0: listed once under 1
      {{ca(1, 0), ra(0, 1, 7), ca(3, 1)}, {ca(4, 1)}},  // 1
      {{ra(0, 1, 7, true)}, {ca(4, 1)}},           // 2: inverse at the centre
      {{ra(0, 1, 7), ra(1, 2, 8)}, {ca(4, 2)}},    // 3: 8 off the centre
      {{}, {ca(5, 0)}},                            // 4: empty body
      {{}, {ca(5, 0), ca(6, 0)}},                  // 5: disjunctive, empty body
      {{ca(9, 0), ca(1, 0)}, {ca(5, 0), ca(6, 0)}},  // 6: disjunctive with centre concept 9
  };
  for (bool dense : {true, false}) {
    ClauseIndexes idx(dense);
    if (dense) {
      for (std::size_t i = 0; i < clauses.size(); ++i) idx.add_clause(i, clauses[i], nullptr);
    } else {
      idx = ClauseIndexes::build(0, clauses, nullptr).first;
    }
    using Ids = std::vector<std::uint64_t>;
    auto ids = [](std::span<const std::uint64_t> s) { return Ids(s.begin(), s.end()); };
    EXPECT_EQ(ids(idx.centre_concept_triggers.get(1)), (Ids{0, 1})) << dense;
    EXPECT_EQ(ids(idx.other_concept_triggers.get(3)), (Ids{1}));
    EXPECT_EQ(ids(idx.role_triggers.get(7)), (Ids{1, 2, 3}));
    EXPECT_EQ(ids(idx.role_triggers_centre_plain.get(7)), (Ids{1, 3}));
    EXPECT_EQ(ids(idx.role_triggers_centre_reverse.get(7)), (Ids{2}));
    EXPECT_EQ(ids(idx.role_triggers_off_centre.get(8)), (Ids{3}));
    EXPECT_TRUE(idx.centre_concept_triggers.get(1000).empty());
    EXPECT_TRUE(idx.role_triggers.get(2).empty());
    EXPECT_EQ(idx.empty_body, (Ids{4}));
    ASSERT_EQ(idx.disjunctive.size(), 2u);
    EXPECT_EQ(idx.disjunctive[0].clause, 5u);
    EXPECT_EQ(idx.disjunctive[0].has_centre_concept, 0u);
    EXPECT_EQ(idx.disjunctive[1].has_centre_concept, 1u);
    EXPECT_EQ(idx.disjunctive[1].centre_concept, 9u);
    EXPECT_TRUE(idx.centre_concept_triggers.get(9).empty());  // disjunctive clauses get no triggers
    EXPECT_EQ(idx.compiled.size(), clauses.size());
  }
}

TEST(ClauseIndexes, HierarchyFilesRoleAtomsUnderSubRolesAndSymmetricAsReverse) {
  RoleHierarchyBuilder b(3);
  b.add_edge(RoleId{1}, RoleId{0});
  b.mark_symmetric(RoleId{2});
  const RoleHierarchy h = std::move(b).build();
  std::vector<DlClause> clauses{{{ra(0, 1, 0)}, {ca(4, 1)}}, {{ra(0, 1, 2)}, {ca(4, 1)}}};
  auto [idx, pairs] = ClauseIndexes::build(10, clauses, &h);
  using Ids = std::vector<std::uint64_t>;
  auto ids = [](std::span<const std::uint64_t> s) { return Ids(s.begin(), s.end()); };
  EXPECT_EQ(ids(idx.role_triggers.get(0)), (Ids{10}));
  EXPECT_EQ(ids(idx.role_triggers.get(1)), (Ids{10}));
  EXPECT_EQ(ids(idx.role_triggers_centre_plain.get(1)), (Ids{10}));
  EXPECT_EQ(ids(idx.role_triggers_centre_reverse.get(2)), (Ids{11}));
  EXPECT_TRUE(pairs.empty());
}

TEST(DisjointPairs, OnlyTwoDifferentConceptsOnOneVariable) {
  std::vector<DlClause> clauses{
      {{ca(5, 1), ca(3, 1)}, {}},  // pair (3, 5)
      {{ca(4, 0), ca(4, 0)}, {}},  // same class
      {{ca(6, 0), ca(7, 1)}, {}},  // different variables
      {{ca(8, 0), ca(9, 0)}, {ca(1, 0)}},  // not a constraint
      {{ca(3, 0), ca(5, 0)}, {}},  // the same pair again
  };
  DisjointPairs p = collect_disjoint_pairs(clauses);
  EXPECT_EQ(p.size(), 1u);
  EXPECT_TRUE(p.contains(5, 3));
  EXPECT_TRUE(p.contains(3, 5));
  auto built = ClauseIndexes::build(0, clauses, nullptr).second;
  EXPECT_EQ(built, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{3, 5}}));
}

}  // namespace
}  // namespace kelmon
