// Runs of the search on small TBoxes: answers, budgets, pruning and backjumping.
#include <gtest/gtest.h>

#include <functional>

#include "common/scoped_switch.h"
#include "hyper_fixture.h"

namespace kelmon {
namespace {

using hyper_testing::ca;
using hyper_testing::ea;
using hyper_testing::HyperTbox;
using hyper_testing::ra;

struct TboxCase {
  const char* name;
  std::function<void(HyperTbox&)> build;
  const char* root;
  HyperOutcome expected;
};

void PrintTo(const TboxCase& c, std::ostream* os) { *os << c.name; }

class Answers : public ::testing::TestWithParam<TboxCase> {};

// Every case under each combination of the search switches: they change how
// the answer is found, never the answer.
TEST_P(Answers, SameAnswerUnderEverySearchSwitch) {
  const TboxCase& c = GetParam();
  for (int mask = 0; mask < 32; ++mask) {
    HyperTbox t;
    c.build(t);
    EXPECT_EQ(t.satisfiable(c.root, [&](HyperEngine& e) { hyper_testing::apply_search_switches(e, mask); }),
              c.expected)
        << "switches " << mask;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Tboxes, Answers,
    ::testing::Values(
        TboxCase{"plain_subsumption_sat", [](HyperTbox& t) { t.sub(t.A("A"), t.A("B")); }, "A", HyperOutcome::Sat},
        TboxCase{"direct_contradiction",
                 [](HyperTbox& t) {
                   t.sub(t.A("A"), t.A("B"));
                   t.sub(t.A("A"), t.not_(t.A("B")));
                 },
                 "A", HyperOutcome::Unsat},
        TboxCase{"both_disjuncts_closed",
                 [](HyperTbox& t) {
                   t.sub(t.A("A"), t.or_({t.A("C"), t.A("E")}));
                   t.sub(t.A("C"), t.bot());
                   t.sub(t.A("E"), t.A("F"));
                   t.disjoint({t.A("F"), t.A("A")});
                 },
                 "A", HyperOutcome::Unsat},
        TboxCase{"second_disjunct_open",
                 [](HyperTbox& t) {
                   t.sub(t.A("A"), t.or_({t.A("C"), t.A("E")}));
                   t.sub(t.A("C"), t.bot());
                 },
                 "A", HyperOutcome::Sat},
        TboxCase{"universal_reaches_existential",
                 [](HyperTbox& t) {
                   t.sub(t.A("A"), t.some(t.r("r"), t.A("B")));
                   t.sub(t.A("A"), t.all(t.r("r"), t.not_(t.A("B"))));
                 },
                 "A", HyperOutcome::Unsat},
        TboxCase{"inverse_universal_reaches_back",
                 [](HyperTbox& t) {
                   t.sub(t.A("A"), t.some(t.r("r"), t.A("B")));
                   t.sub(t.A("B"), t.all(t.inv("r"), t.A("C")));
                   t.disjoint({t.A("A"), t.A("C")});
                 },
                 "A", HyperOutcome::Unsat},
        TboxCase{"cycle_blocked",
                 [](HyperTbox& t) {
                   t.sub(t.A("A"), t.some(t.r("r"), t.A("A")));
                   t.sub(t.A("A"), t.or_({t.A("B"), t.A("C")}));
                 },
                 "A", HyperOutcome::Sat},
        TboxCase{"at_most_one_of_two_different",
                 [](HyperTbox& t) {
                   t.sub(t.A("A"), t.some(t.r("r"), t.A("B")));
                   t.sub(t.A("A"), t.some(t.r("r"), t.A("C")));
                   t.disjoint({t.A("B"), t.A("C")});
                   t.sub(t.A("A"), t.max(1, t.r("r"), t.top()));
                 },
                 "A", HyperOutcome::Unsat},
        TboxCase{"at_most_one_merges_compatible",
                 [](HyperTbox& t) {
                   t.sub(t.A("A"), t.some(t.r("r"), t.A("B")));
                   t.sub(t.A("A"), t.some(t.r("r"), t.A("C")));
                   t.sub(t.A("A"), t.max(1, t.r("r"), t.top()));
                 },
                 "A", HyperOutcome::Sat},
        TboxCase{"at_least_three_at_most_two",
                 [](HyperTbox& t) {
                   t.sub(t.A("A"), t.min(3, t.r("r"), t.A("B")));
                   t.sub(t.A("A"), t.max(2, t.r("r"), t.top()));
                 },
                 "A", HyperOutcome::Unsat},
        TboxCase{"at_least_two_at_most_two",
                 [](HyperTbox& t) {
                   t.sub(t.A("A"), t.min(2, t.r("r"), t.A("B")));
                   t.sub(t.A("A"), t.some(t.r("r"), t.A("C")));
                   t.sub(t.A("A"), t.max(2, t.r("r"), t.top()));
                 },
                 "A", HyperOutcome::Sat},
        TboxCase{"two_disjunctions_one_consistent_pick",
                 [](HyperTbox& t) {
                   auto a = t.A("A"), b = t.A("B"), c = t.A("C"), d = t.A("D"), e = t.A("E");
                   t.sub(a, t.or_({b, c}));
                   t.sub(a, t.or_({d, e}));
                   t.disjoint({b, d});
                   t.disjoint({b, e});
                   t.disjoint({c, d});
                 },
                 "A", HyperOutcome::Sat}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Budget, ZeroBudgetDecidesWithoutDecisionsAndStallsAtOne) {
  HyperTbox t;
  t.sub(t.A("A"), t.A("B"));
  t.sub(t.A("D"), t.or_({t.A("B"), t.A("C")}));
  t.sub(t.A("X"), t.bot());
  EXPECT_EQ(t.within_budget("A", 0), HyperOutcome::Sat);
  EXPECT_EQ(t.within_budget("X", 0), HyperOutcome::Unsat);
  EXPECT_EQ(t.within_budget("D", 0), HyperOutcome::Stalled);
  EXPECT_EQ(t.within_budget("D", 1), HyperOutcome::Sat);
}

TEST(Budget, EmptyClauseListIsSat) {
  std::vector<DlClause> none;
  HyperEngine e(none, 3);
  EXPECT_EQ(e.run(256, std::nullopt), HyperOutcome::Sat);
}

TEST(Budget, PassedDeadlineStalls) {
  HyperTbox t;
  t.sub(t.A("A"), t.A("B"));
  HyperEngine e = t.engine("A");
  EXPECT_EQ(e.run(256, Clock::now() - std::chrono::seconds(1)), HyperOutcome::Stalled);
}

// Clause 0: A → B ∨ C, clause 1: B → ⊥, clause 2: C → ⊥.
std::vector<DlClause> two_way() {
  return {{{ca(0, 0)}, {ca(1, 0), ca(2, 0)}}, {{ca(1, 0)}, {}}, {{ca(2, 0)}, {}}};
}

TEST(SkipDisjunctions, OnlyTheOrderedPairSkips) {
  auto clauses = two_way();
  HyperEngine skipped(clauses, 0);
  skipped.skip_disjunctions.emplace();
  skipped.skip_disjunctions->insert((std::uint64_t{1} << 32) | 2);
  EXPECT_EQ(skipped.run(256, std::nullopt), HyperOutcome::Sat);
  EXPECT_EQ(skipped.stats().branches, 0u);
  HyperEngine reversed(clauses, 0);
  reversed.skip_disjunctions.emplace();
  reversed.skip_disjunctions->insert((std::uint64_t{2} << 32) | 1);
  EXPECT_EQ(reversed.run(256, std::nullopt), HyperOutcome::Unsat);
  EXPECT_EQ(reversed.stats().branches, 1u);  // B is tried; C, the last one left, is forced
  EXPECT_EQ(reversed.stats().forced_disjuncts, 1u);
}

TEST(SemanticBranching, EveryDisjunctRefutedClosesWithoutACheckpoint) {
  // A → B ∨ C with B and C each disjoint from A.
  std::vector<DlClause> clauses{{{ca(0, 0)}, {ca(1, 0), ca(2, 0)}}, {{ca(0, 0), ca(1, 0)}, {}},
                                {{ca(0, 0), ca(2, 0)}, {}}};
  HyperEngine e(clauses, 0);
  e.semantic_branching = true;
  EXPECT_EQ(e.run(256, std::nullopt), HyperOutcome::Unsat);
  EXPECT_EQ(e.stats().checkpoints, 0u);
  EXPECT_EQ(e.stats().semantic_pruned, 2u);
  EXPECT_TRUE(e.clash_deps.empty());
}

TEST(SemanticBranching, RefutationsAreRecordedAndPruneLaterBranches) {
  // Root: A → X ∨ Y; X → B ∨ C with both closed, so X is refuted at the root.
  std::vector<DlClause> clauses{{{ca(0, 0)}, {ca(1, 0), ca(2, 0)}},
                                {{ca(1, 0)}, {ca(3, 0), ca(4, 0)}},
                                {{ca(3, 0)}, {}},
                                {{ca(4, 0)}, {}}};
  HyperEngine e(clauses, 0);
  e.semantic_branching = true;
  EXPECT_EQ(e.run(256, std::nullopt), HyperOutcome::Sat);
  EXPECT_TRUE(e.nodes[0].has_label(2));
  EXPECT_FALSE(e.nodes[0].has_label(1));
}

TEST(Backjumping, ClashWithoutTheLevelSkipsTheOtherDisjuncts) {
  // Levels: 0 A → B ∨ C, 1 A → P ∨ Q, 2 A → X ∨ Y; X and Y close only with B.
  std::vector<DlClause> clauses{{{ca(0, 0)}, {ca(1, 0), ca(2, 0)}},
                                {{ca(0, 0)}, {ca(5, 0), ca(6, 0)}},
                                {{ca(0, 0)}, {ca(8, 0), ca(9, 0)}},
                                {{ca(1, 0), ca(8, 0)}, {}},
                                {{ca(1, 0), ca(9, 0)}, {}}};
  HyperEngine e(clauses, 0);
  EXPECT_EQ(e.run(256, std::nullopt), HyperOutcome::Sat);
  // B, P, X, then Y forced; the clash on B alone jumps over Q back to level 0,
  // where C is forced, then P, X: five branch points.
  EXPECT_EQ(e.stats().disjunct_branches, 5u);
  EXPECT_TRUE(e.nodes[0].has_label(2));
  EXPECT_FALSE(e.nodes[0].has_label(1));
  EXPECT_EQ(e.stats().max_depth, 3u);
}

TEST(Backjumping, ClashAtANominalMergeSkipsTheLevelsItDoesNotRestOn) {
  // A → ∃R.D and D, A both carry the nominal N (id 20): the root and its
  // successor merge. Levels: 0 A → B ∨ C, 1 A → P ∨ Q, 2 A → X ∨ Y; X and Y
  // close only with B and the merged-in D, so level 1 is jumped over.
  std::vector<DlClause> clauses{{{ca(0, 0)}, {ca(1, 0), ca(2, 0)}},
                                {{ca(0, 0)}, {ca(5, 0), ca(6, 0)}},
                                {{ca(0, 0)}, {ca(8, 0), ca(9, 0)}},
                                {{ca(0, 0)}, {ea(10, 0, 0)}},
                                {{ca(0, 0)}, {ca(20, 0)}},
                                {{ca(10, 0)}, {ca(20, 0)}},
                                {{ca(1, 0), ca(8, 0), ca(10, 0)}, {}},
                                {{ca(1, 0), ca(9, 0), ca(10, 0)}, {}}};
  HyperEngine e(clauses, 0);
  e.nominal_range = {true, 20, 1};
  EXPECT_EQ(e.run(256, std::nullopt), HyperOutcome::Sat);
  // B, P, X, then Y forced; the clash on B and the merge alone jumps over Q
  // back to level 0, where C is forced, then P, X.
  EXPECT_EQ(e.stats().disjunct_branches, 5u);
  const std::uint32_t r = e.find(0);
  EXPECT_EQ(r, e.find(1));
  EXPECT_TRUE(e.nodes[r].has_label(2));
  EXPECT_FALSE(e.nodes[r].has_label(1));
}

TEST(Backjumping, ExhaustedLevelsPassTheirUnionWithoutThemselves) {
  // A → B ∨ C (level 0) with both closed by D, which holds unconditionally.
  std::vector<DlClause> clauses{{{ca(0, 0)}, {ca(1, 0), ca(2, 0)}}, {{ca(0, 0)}, {ca(3, 0)}},
                                {{ca(3, 0), ca(1, 0)}, {}}, {{ca(3, 0), ca(2, 0)}, {}}};
  HyperEngine e(clauses, 0);
  EXPECT_EQ(e.run(256, std::nullopt), HyperOutcome::Unsat);
  EXPECT_TRUE(e.clash_deps.empty());
  // B is tried and undone; C, the last disjunct left, is then forced by B's
  // clash, which rests on no level, so it opens no branch point of its own.
  EXPECT_EQ(e.stats().restores, 1u);
  EXPECT_EQ(e.stats().disjunct_branches, 1u);
  EXPECT_EQ(e.stats().forced_disjuncts, 1u);
}

TEST(Backjumping, TheLastDisjunctLeftRestsOnTheOthersClashesNotOnAChoice) {
  // A → B ∨ C; B clashes with D, which A brings unconditionally: C is entailed
  // and must carry no level. A → E ∨ F after it is a real choice.
  std::vector<DlClause> clauses{{{ca(0, 0)}, {ca(1, 0), ca(2, 0)}}, {{ca(0, 0)}, {ca(3, 0)}},
                                {{ca(3, 0), ca(1, 0)}, {}}, {{ca(2, 0)}, {ca(4, 0), ca(5, 0)}}};
  HyperEngine e(clauses, 0);
  ASSERT_EQ(e.run(256, std::nullopt), HyperOutcome::Sat);
  const std::vector<std::uint32_t> certain = e.certain_labels_of(0);
  EXPECT_EQ(certain, (std::vector<std::uint32_t>{0, 2, 3}));
  EXPECT_TRUE(e.nodes[0].has_label(4));  // chosen, so not certain
}

TEST(Mrv, FewestDisjunctsFirst) {
  // A → B ∨ C ∨ D comes first; A → E ∨ F has fewer disjuncts and both of them close.
  std::vector<DlClause> clauses{{{ca(0, 0)}, {ca(1, 0), ca(2, 0), ca(3, 0)}},
                                {{ca(0, 0)}, {ca(4, 0), ca(5, 0)}},
                                {{ca(4, 0)}, {}},
                                {{ca(5, 0)}, {}}};
  HyperEngine first(clauses, 0);
  EXPECT_EQ(first.run(256, std::nullopt), HyperOutcome::Unsat);
  // B, then E; F is forced by E's clash and closes on no level, so the jump leaves the run.
  EXPECT_EQ(first.stats().disjunct_branches, 2u);
  HyperEngine mrv(clauses, 0);
  mrv.mrv = true;
  EXPECT_EQ(mrv.run(256, std::nullopt), HyperOutcome::Unsat);
  EXPECT_EQ(mrv.stats().disjunct_branches, 1u);
}

// Twenty open two-way disjunctions under budget 9: every leaf stalls, so
// nearly every branch is undone at full depth.
std::vector<DlClause> wide_open() {
  std::vector<DlClause> clauses;
  for (std::uint32_t i = 0; i < 20; ++i) clauses.push_back({{ca(0, 0)}, {ca(100 + i, 0), ca(200 + i, 0)}});
  return clauses;
}

TEST(AdaptiveStop, HopelessSearchStopsEarly) {
  auto clauses = wide_open();
  HyperEngine adaptive(clauses, 0);
  adaptive.adaptive_budget = true;
  EXPECT_EQ(adaptive.run(9, std::nullopt), HyperOutcome::Stalled);
  EXPECT_TRUE(adaptive.stats().stalled);
  EXPECT_LT(adaptive.stats().branches, 600u);
  HyperEngine full(clauses, 0);
  EXPECT_EQ(full.run(9, std::nullopt), HyperOutcome::Stalled);
  EXPECT_FALSE(full.stats().stalled);
  EXPECT_EQ(full.stats().branches, 1022u);
}

// A → ∃r.B, ∃r.C, ∃r.D, ≤2 r; any two of B, C, D together close (through X),
// but no pair is a told disjointness, so every merge partition is tried.
std::vector<DlClause> three_successors_at_most_two() {
  return {{{ca(0, 0)}, {ea(1, 0, 7)}},
          {{ca(0, 0)}, {ea(2, 0, 7)}},
          {{ca(0, 0)}, {ea(3, 0, 7)}},
          {{ca(0, 0)}, {at_most_atom(2, 0, Role::named(RoleId{7}), std::nullopt)}},
          {{ca(9, 0)}, {}},
          {{ca(1, 0), ca(2, 0)}, {ca(9, 0)}}};
}

TEST(MergeSearch, ExhaustedPartitionsGiveAnOverflowClashAndTheProbeLine) {
  std::vector<DlClause> clauses = three_successors_at_most_two();
  clauses.push_back({{ca(1, 0), ca(3, 0)}, {ca(9, 0)}});
  clauses.push_back({{ca(2, 0), ca(3, 0)}, {ca(9, 0)}});
  testing::ScopedSwitch probe(SwitchId::AtMostExhaustProbe, "1");
  HyperEngine e(clauses, 0);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(e.run(256, std::nullopt), HyperOutcome::Unsat);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_TRUE(e.clash_deps.overflow);
  EXPECT_EQ(e.stats().merge_branches, 4u);
  EXPECT_EQ(err,
            "AT_MOST_EXHAUST_PROBE total=1 local_bounded=0 bounded=0 popcount_sum=0 guard_taint=0 guard_ownsucc=0 "
            "guard_neq=0 guard_over=1 opt_bounded=1 opt_popsum=0 opt_level_sum=1 max_depth=1\n");
}

TEST(MergeSearch, ACompatiblePartitionIsKept) {
  // As above, but only B and C clash: D merges with one of them.
  std::vector<DlClause> clauses = three_successors_at_most_two();
  testing::ScopedSwitch probe(SwitchId::AtMostExhaustProbe, "0");
  HyperEngine e(clauses, 0);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(e.run(256, std::nullopt), HyperOutcome::Sat);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(e.successors(0, 0, 7, 0, 0).size(), 2u);
}

// A ⊑ E1 ⊔ E2 beside successors that no merging brings under the at-most:
// the clash stands before any disjunction is tried.
TEST(AtMostClash, UnmergeableSuccessorsCloseBeforeAnyBranch) {
  const Role r = Role::named(RoleId{7});
  const std::vector<std::vector<DlClause>> cases = {
      // Two distinct successors under ≤1.
      {{{ca(0, 0)}, {at_least_atom(2, 0, r, std::uint32_t{1})}}, {{ca(0, 0)}, {at_most_atom(1, 0, r, std::nullopt)}}},
      // One more successor that merges with either, but not with both.
      {{{ca(0, 0)}, {ea(2, 0, 7)}},
       {{ca(0, 0)}, {at_least_atom(2, 0, r, std::uint32_t{1})}},
       {{ca(0, 0)}, {at_most_atom(1, 0, r, std::nullopt)}}},
  };
  for (std::vector<DlClause> clauses : cases) {
    clauses.push_back({{ca(0, 0)}, {ca(3, 0), ca(4, 0)}});
    for (bool eager : {false, true}) {
      HyperEngine e(clauses, 0);
      e.inverse_func_merge = eager;
      EXPECT_EQ(e.run(256, std::nullopt), HyperOutcome::Unsat) << clauses.size() << " clauses, eager " << eager;
      EXPECT_EQ(e.stats().branches, 0u) << clauses.size() << " clauses, eager " << eager;
    }
  }
}

TEST(Levels, DeepLevelsOverflowTheirMasks) {
  LevelMask m;
  m.add_level(127);
  EXPECT_FALSE(m.overflow);
  m.add_level(128);
  EXPECT_TRUE(m.overflow);
  m.remove_level(127);
  EXPECT_TRUE(m.has_level(127));  // an overflowed mask keeps its levels
  LevelSummary s = LevelSummary::of(m);
  EXPECT_EQ(s.max_level, 127u);
  EXPECT_EQ(s.popcount, 1);
  EXPECT_TRUE(s.nonempty);
  EXPECT_EQ(LevelSummary::of(LevelMask{}).nonempty, false);
}

TEST(Stack, DeepSearchRunsOnSmallThreadStacks) {
  // 300 independent disjunctions, each closed in its first disjunct: 300 nested levels.
  std::vector<DlClause> clauses;
  for (std::uint32_t i = 0; i < 300; ++i) {
    clauses.push_back({{ca(0, 0)}, {ca(1000 + i, 0), ca(2000 + i, 0)}});
    clauses.push_back({{ca(1000 + i, 0), ca(3000, 0)}, {}});
  }
  clauses.push_back({{ca(0, 0)}, {ca(3000, 0)}});
  std::optional<HyperOutcome> outcome;
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setstacksize(&attr, 256 * 1024);
  struct Job {
    std::vector<DlClause>* clauses;
    std::optional<HyperOutcome>* outcome;
  } job{&clauses, &outcome};
  pthread_t thread;
  ASSERT_EQ(pthread_create(
                &thread, &attr,
                [](void* p) -> void* {
                  auto* j = static_cast<Job*>(p);
                  HyperEngine e(*j->clauses, 0);
                  *j->outcome = e.run(1000, std::nullopt);
                  return nullptr;
                },
                &job),
            0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attr);
  EXPECT_EQ(outcome, HyperOutcome::Sat);
}

TEST(Stack, AnInvariantFailureOnASegmentReachesTheCaller) {
  std::vector<DlClause> clauses{{{ca(0, 0), ra(0, 1, 0)}, {ca(1, 1)}}};
  HyperEngine e(clauses, 0);
  e.nodes.push_back(HyperNode{});
  e.nodes.mut(1).id = 1;
  e.parent_of.push_back(99);  // a parent past the end breaks find
  e.nodes.mut(0).out_edges.push_back({0, 0, 1});
  e.nodes.mut(1).in_edges.push_back({0, 0, 0});
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setstacksize(&attr, 256 * 1024);
  bool caught = false;
  struct Job {
    HyperEngine* e;
    bool* caught;
  } job{&e, &caught};
  pthread_t thread;
  ASSERT_EQ(pthread_create(
                &thread, &attr,
                [](void* p) -> void* {
                  auto* j = static_cast<Job*>(p);
                  try {
                    j->e->run(8, std::nullopt);
                  } catch (const InvariantFailure&) {
                    *j->caught = true;
                  }
                  return nullptr;
                },
                &job),
            0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attr);
  EXPECT_TRUE(caught);
}

}  // namespace
}  // namespace kelmon
