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

// A chain of n existentials over a transitive role R: class i → ∃R.class i+1,
// R transitive (written either way round), and R(0,1) ∧ last(1) → Z(0). The
// root reaches every chain node by one R-edge and so gets Z. Closing the
// paths through each new edge keeps the work near the size of the closure;
// firing the transitivity clause at every edge's ends walks every two-edge
// path again each time.
std::vector<DlClause> transitive_chain(std::uint32_t n, bool inverse_form) {
  constexpr std::uint32_t kR = 0;
  std::vector<DlClause> clauses;
  for (std::uint32_t i = 0; i < n; ++i) clauses.push_back({{ca(i, 0)}, {ea(i + 1, 0, kR)}});
  clauses.push_back({{ra(0, 1, kR, inverse_form), ra(1, 2, kR, inverse_form)}, {ra(0, 2, kR, inverse_form)}});
  clauses.push_back({{ra(0, 1, kR), ca(n, 1)}, {ca(n + 1, 0)}});
  return clauses;
}

TEST(Fixpoint, TransitiveChainIsClosedWithoutWalkingEveryPathAgain) {
  constexpr std::uint32_t kN = 60;
  for (bool inverse_form : {false, true}) {
    for (bool incremental : {false, true}) {
      auto clauses = transitive_chain(kN, inverse_form);
      HyperEngine e(clauses, 0);
      e.incremental_fixpoint = incremental;
      ASSERT_EQ(e.run(256, std::nullopt), HyperOutcome::Sat);
      EXPECT_TRUE(e.nodes[0].has_label(kN + 1)) << inverse_form << incremental;
      EXPECT_EQ(e.nodes[0].out_edges.size(), kN) << inverse_form << incremental;
      EXPECT_LT(e.stats().clause_fires, 4 * kN * kN) << inverse_form << incremental;
    }
  }
}

// A successor request that waits for the queue to drain belongs to the node
// that asked; when that node is merged away meanwhile, its representative
// must get the successor. Created under the merged-away node, it is seen by
// no one, and each new request (made at the representative) would meet the
// same fate after the next merge: GALEN's label runs never ended that way.
TEST(Fixpoint, WaitingSuccessorRequestMovesToTheRepresentative) {
  constexpr std::uint32_t kA = 0, kB = 1, kR = 0;
  std::vector<DlClause> clauses{{{ca(kA, 0)}, {ea(kB, 0, kR)}}};
  HyperEngine e(clauses, kA);
  e.incremental_fixpoint = true;
  ASSERT_TRUE(e.inverse_func_merge);
  const std::uint32_t z = e.new_node();
  e.nodes.mut(z).insert_label(kA, LevelMask{});
  ASSERT_TRUE(e.merge(0, z, LevelMask{}));
  e.queue.clear();
  e.pending_generation.push_back({z, ea(kB, 0, kR), LevelMask{}});
  ASSERT_EQ(e.fixpoint(), HyperOutcome::Sat);
  ASSERT_EQ(e.nodes[0].out_edges.size(), 1u);
  EXPECT_TRUE(e.nodes[e.find(e.nodes[0].out_edges[0].node)].has_label(kB));
  EXPECT_TRUE(e.nodes[z].out_edges.empty());
}

}  // namespace
}  // namespace kelmon
