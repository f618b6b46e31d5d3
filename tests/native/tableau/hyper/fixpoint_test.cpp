// The clause fixpoint: late premises that no trigger reaches are recovered by
// a pass over the whole graph, and a refused clause body still fires.
#include <gtest/gtest.h>

#include "common/scoped_switch.h"
#include "hyper_fixture.h"

namespace kelmon {
namespace {

using hyper_testing::ca;
using hyper_testing::ea;
using hyper_testing::ra;
using testing::ScopedSwitch;

// Root A → ∃R.B, B → ∃S.E, E → ∃T.F, T(0,1) ∧ F(1) → D(0), and
// R(0,1) ∧ S(1,2) ∧ D(2) → C(0): D reaches the S-node two edges from the
// root long after the edges were handled.
std::vector<DlClause> late_premise() {
  return {{{ca(0, 0)}, {ea(1, 0, 0)}},
          {{ca(1, 0)}, {ea(2, 0, 1)}},
          {{ca(2, 0)}, {ea(3, 0, 2)}},
          {{ra(0, 1, 2), ca(3, 1)}, {ca(4, 0)}},
          {{ra(0, 1, 0), ra(1, 2, 1), ca(4, 2)}, {ca(5, 0)}}};
}

TEST(Fixpoint, LatePremiseIsRecoveredInEveryMode) {
  auto clauses = late_premise();
  for (bool incremental : {false, true}) {
    HyperEngine e(clauses, 0);
    e.incremental_fixpoint = incremental;
    ASSERT_EQ(e.run(256, std::nullopt), HyperOutcome::Sat);
    EXPECT_TRUE(e.nodes[0].has_label(5)) << "incremental " << incremental;
  }
}

TEST(Fixpoint, ReseedProbeLineWhenVerificationRepairs) {
  auto clauses = late_premise();
  ScopedSwitch probe(SwitchId::ReseedProbe, "");
  HyperEngine e(clauses, 0);
  e.incremental_fixpoint = true;
  ::testing::internal::CaptureStderr();
  ASSERT_EQ(e.run(256, std::nullopt), HyperOutcome::Sat);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(err,
            "RESEED_PROBE: incremental drain left work undone (recovered by the #137 net); a rule premise arrived "
            "without a trigger\n");
  EXPECT_EQ(e.stats().reseed_repairs, 1u);
}

// The late C(0) clashes with a disjunct chosen before it arrived: the pass
// at the would-be model finds the clash and the search takes the other
// disjunct, or answers unsatisfiable when both clash.
TEST(Fixpoint, LatePremiseFoundAtTheModelStillDecidesTheBranch) {
  for (bool both : {false, true}) {
    for (bool incremental : {false, true}) {
      auto clauses = late_premise();
      clauses.push_back({{ca(0, 0)}, {ca(6, 0), ca(7, 0)}});
      clauses.push_back({{ca(5, 0), ca(6, 0)}, {}});
      if (both) clauses.push_back({{ca(5, 0), ca(7, 0)}, {}});
      HyperEngine e(clauses, 0);
      e.incremental_fixpoint = incremental;
      const HyperOutcome outcome = e.run(256, std::nullopt);
      if (both) {
        EXPECT_EQ(outcome, HyperOutcome::Unsat) << "incremental " << incremental;
        continue;
      }
      ASSERT_EQ(outcome, HyperOutcome::Sat) << "incremental " << incremental;
      EXPECT_TRUE(e.nodes[0].has_label(7));
      EXPECT_FALSE(e.nodes[0].has_label(6));
    }
  }
}

TEST(Fixpoint, WithoutVerificationTheIncrementalDrainStopsShort) {
  auto clauses = late_premise();
  HyperEngine e(clauses, 0);
  e.incremental_fixpoint = true;
  e.reseed_verify = false;
  ASSERT_EQ(e.run(256, std::nullopt), HyperOutcome::Sat);
  EXPECT_FALSE(e.nodes[0].has_label(5));
}

TEST(Fixpoint, TimedOutMatcherStallsEveryLaterFixpoint) {
  std::vector<DlClause> clauses{{{ca(0, 0)}, {ca(1, 0)}}};
  HyperEngine e(clauses, 0);
  e.match_timed_out = true;
  EXPECT_EQ(e.run(256, std::nullopt), HyperOutcome::Stalled);
  EXPECT_TRUE(e.nodes[0].has_label(1));  // the drain itself went on
}

TEST(Fixpoint, LazySnapshotLabelsAreNotQueuedUnlessTriggers) {
  std::vector<DlClause> clauses{{{ca(0, 0)}, {ca(1, 0)}}, {{ca(2, 0)}, {ca(3, 0)}}};
  HyperSnapshot snap;
  snap.status = 5;
  snap.nodes = {{LevelMask{}, {0, 2}, {0, 2}}};
  snap.edges = {{}};
  tsl::robin_set<std::uint32_t> triggers{2};
  HyperEngine e = HyperEngine::from_snapshot_lazy(clauses, snap, triggers);
  e.reseed();
  EXPECT_EQ(e.queue, (std::vector<WorkItem>{WorkItem::label(0, 2)}));
}

}  // namespace
}  // namespace kelmon
