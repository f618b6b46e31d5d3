// The engine's graph operations: labels, checkpoints, merges, number
// restrictions, functional enforcement, nominals and blocking.
#include <gtest/gtest.h>

#include "common/scoped_switch.h"
#include "hyper_fixture.h"

namespace kelmon {
namespace {

using hyper_testing::ca;
using hyper_testing::ea;
using hyper_testing::ra;
using testing::ScopedSwitch;

ClauseAtom at_least(std::uint32_t n, std::uint32_t role, std::optional<std::uint32_t> filler, bool inverse = false) {
  return at_least_atom(n, 0, inverse ? Role::inverse_of(RoleId{role}) : Role::named(RoleId{role}), filler);
}
ClauseAtom at_most(std::uint32_t n, std::uint32_t role, std::optional<std::uint32_t> filler) {
  return at_most_atom(n, 0, Role::named(RoleId{role}), filler);
}

LevelMask level(std::uint32_t i) { return LevelMask::of_level(i); }

std::vector<DlClause> no_clauses;

TEST(Labels, DuplicateLabelKeepsItsMaskAndQueuesNothing) {
  HyperEngine e(no_clauses, 0);
  EXPECT_TRUE(e.add_label(0, 5, level(1)));
  const std::size_t queued = e.queue.size();
  EXPECT_FALSE(e.add_label(0, 5, level(2)));
  EXPECT_EQ(e.queue.size(), queued);
  EXPECT_EQ(*e.nodes[0].label_mask(5), level(1));
  EXPECT_EQ(e.nodes[0].labels, (std::vector<std::uint32_t>{0, 5}));
  EXPECT_EQ(e.nodes[0].label_deps.size(), 2u);
}

TEST(Labels, WithoutInverseFunctionalMergingAMergedAwayNodeIsExtended) {
  HyperEngine e(no_clauses, 0);
  e.inverse_func_merge = false;
  const std::uint32_t n = e.new_node();
  ASSERT_TRUE(e.merge(0, n, LevelMask{}));
  e.add_label(n, 9, LevelMask{});
  EXPECT_TRUE(e.nodes[n].has_label(9));
  EXPECT_FALSE(e.nodes[0].has_label(9));
  e.inverse_func_merge = true;
  e.add_label(n, 8, LevelMask{});
  EXPECT_TRUE(e.nodes[0].has_label(8));
}

TEST(Nodes, NodeItemsOnlyWhenSomeClauseHasAnEmptyBody) {
  std::vector<DlClause> with_empty{{{}, {ca(3, 0)}}};
  HyperEngine e(with_empty, 0);
  e.queue.clear();
  e.new_node();
  ASSERT_EQ(e.queue.size(), 1u);
  EXPECT_EQ(e.queue[0], WorkItem::node_item(1));
  HyperEngine plain(no_clauses, 0);
  plain.new_node();
  EXPECT_TRUE(plain.queue.empty());
  // Clauses with an empty body fire at every node.
  HyperEngine run(with_empty, 0);
  EXPECT_EQ(run.run(256, std::nullopt), HyperOutcome::Sat);
  EXPECT_TRUE(run.nodes[0].has_label(3));
}

TEST(Checkpoints, RestoreBringsBackTheWholeGraph) {
  HyperEngine e(no_clauses, 0);
  e.enable_double_blocking();
  const std::uint32_t a = e.new_node();
  e.nodes.mut(0).out_edges.push_back({0, 1, a});
  e.distinct_pairs.push_back({0, a});
  Checkpoint cp = e.checkpoint();
  const auto nodes_before = e.nodes.size();
  const std::uint32_t b = e.new_node();
  e.add_label(a, 7, level(3));
  ASSERT_TRUE(e.merge(a, b, level(2)));
  e.distinct_pairs.push_back({0, b});
  (*e.parent_role_buckets)[5].push_back(b);
  e.queue.push_back(WorkItem::node_item(a));
  const auto queue_before_restore = e.queue;
  e.restore(std::move(cp));
  EXPECT_EQ(e.nodes.size(), nodes_before);
  EXPECT_EQ(e.parent_of, (std::vector<std::uint32_t>{0, 1}));
  EXPECT_FALSE(e.nodes[a].has_label(7));
  EXPECT_EQ(e.distinct_pairs.size(), 1u);
  EXPECT_TRUE(e.parent_role_buckets->empty());
  EXPECT_EQ(e.queue, queue_before_restore);  // not saved without the incremental fixpoint
  EXPECT_EQ(e.stats().checkpoints, 1u);
  EXPECT_EQ(e.stats().restores, 1u);
}

TEST(Checkpoints, IncrementalModeSavesTheQueue) {
  HyperEngine e(no_clauses, 0);
  e.incremental_fixpoint = true;
  e.queue = {WorkItem::label(0, 0)};
  Checkpoint cp = e.checkpoint();
  e.queue.push_back(WorkItem::node_item(0));
  e.restore(std::move(cp));
  EXPECT_EQ(e.queue, (std::vector<WorkItem>{WorkItem::label(0, 0)}));
}

TEST(Merge, SelfAndSameClassMergesChangeNothing) {
  HyperEngine e(no_clauses, 0);
  const std::uint32_t a = e.new_node();
  EXPECT_TRUE(e.merge(a, a, level(1)));
  EXPECT_TRUE(e.merge(0, a, LevelMask{}));
  const auto labels = e.nodes[0].labels;
  EXPECT_TRUE(e.merge(a, 0, level(4)));
  EXPECT_EQ(e.nodes[0].labels, labels);
  EXPECT_TRUE(e.nodes[0].node_deps.empty());
}

TEST(Merge, LabelsEdgesAndRecordsMoveToTheSurvivor) {
  HyperEngine e(no_clauses, 0);
  const std::uint32_t x = e.new_node(), y = e.new_node(), t = e.new_node(), v = e.new_node();
  e.nodes.mut(x).insert_label(1, level(1));
  e.nodes.mut(y).insert_label(1, level(2));
  e.nodes.mut(y).insert_label(2, level(3));
  e.nodes.mut(x).out_edges.push_back({0, 4, t});
  e.nodes.mut(y).out_edges.push_back({0, 4, t});
  e.nodes.mut(y).out_edges.push_back({0, 4, v});
  e.nodes.mut(y).at_most.push_back({0, 4, 0, 0, 2});
  e.nodes.mut(y).card_deps = level(5);
  e.queue.clear();
  ASSERT_TRUE(e.merge(x, y, level(6)));
  EXPECT_EQ(e.find(y), x);
  EXPECT_EQ(*e.nodes[x].label_mask(1), level(1) | level(6));  // had it: gains the merge mask
  EXPECT_EQ(*e.nodes[x].label_mask(2), level(3) | level(6));
  // The edge to t both had is kept once; the one to v moves.
  EXPECT_EQ(e.nodes[x].out_edges, (std::vector<HyperEdge>{{0, 4, t}, {0, 4, v}}));
  EXPECT_EQ(e.nodes[v].in_edges.back(), (HyperEdge{0, 4, x}));
  EXPECT_TRUE(e.nodes[x].merged_card);
  EXPECT_EQ(e.nodes[x].card_deps, level(5));
  EXPECT_EQ(e.nodes[x].at_most.size(), 1u);
  EXPECT_TRUE(e.nodes[x].node_deps.has_level(6));
  EXPECT_EQ(e.nodes[y].labels.size(), 2u);  // the absorbed node keeps its lists
}

TEST(AtLeast, TwoFreshDistinctSuccessorsEvenWithAWitness) {
  HyperEngine e(no_clauses, 0);
  const std::uint32_t w = e.new_node();
  e.nodes.mut(0).out_edges.push_back({0, 3, w});
  e.nodes.mut(w).in_edges.push_back({0, 3, 0});
  EXPECT_EQ(e.apply_head_atom(at_least(2, 3, std::nullopt), 0, {}, level(0)), ApplyResult::Changed);
  ASSERT_EQ(e.nodes.size(), 4u);
  EXPECT_EQ(e.distinct_pairs, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{2, 3}}));
  EXPECT_TRUE(e.is_distinct(3, 2));
  EXPECT_FALSE(e.is_distinct(1, 2));
  EXPECT_EQ(e.apply_head_atom(at_least(2, 3, std::nullopt), 0, {}, level(0)), ApplyResult::NothingNew);
  EXPECT_FALSE(e.merge(2, 3, LevelMask{}));
  EXPECT_EQ(e.clash_deps, level(0));  // rests on the expansion that made them apart
}

TEST(AtLeast, QualifiedAddsTheFillerAndInverseMakesPredecessors) {
  HyperEngine e(no_clauses, 0);
  EXPECT_EQ(e.apply_head_atom(at_least(1, 3, 7), 0, {}, level(2)), ApplyResult::Changed);
  ASSERT_EQ(e.nodes.size(), 2u);
  EXPECT_EQ(*e.nodes[1].label_mask(7), level(2));
  EXPECT_EQ(e.nodes[1].parent_dir, 0u);
  EXPECT_EQ(e.nodes[1].is_tree, 1u);
  EXPECT_EQ(e.apply_head_atom(at_least(2, 3, 7, true), 0, {}, LevelMask{}), ApplyResult::Changed);
  ASSERT_EQ(e.nodes.size(), 4u);
  EXPECT_EQ(e.nodes[0].out_edges.back(), (HyperEdge{1, 3, 3}));
  EXPECT_EQ(e.nodes[3].parent_dir, 1u);
  EXPECT_EQ(e.apply_head_atom(at_least(2, 3, 7, true), 0, {}, LevelMask{}), ApplyResult::NothingNew);
}

// C → ≥1 r.C ∨ ∃r.D and C → ≥2 r⁻.C ∨ E: once applied, a number disjunct
// holds, so the disjunction is not offered again at every level.
TEST(AtLeast, AnAppliedNumberDisjunctHolds) {
  std::vector<DlClause> clauses{{{ca(0, 0)}, {at_least(1, 1, 0), ea(2, 0, 1)}},
                                {{ca(0, 0)}, {at_least(2, 4, 0, true), ca(5, 0)}}};
  HyperEngine e(clauses, 0);
  EXPECT_EQ(e.run(64, std::nullopt), HyperOutcome::Sat);
  EXPECT_LT(e.stats().max_depth, 10u);
}

TEST(Existential, OnlyAnOutgoingWitnessCounts) {
  HyperEngine e(no_clauses, 0);
  const std::uint32_t p = e.new_node();
  e.nodes.mut(p).insert_label(7, LevelMask{});
  e.nodes.mut(p).out_edges.push_back({0, 3, 0});  // p -3-> root: seen from the root, an in-edge
  e.nodes.mut(0).in_edges.push_back({0, 3, p});
  EXPECT_EQ(e.apply_head_atom(ea(7, 0, 3), 0, {}, LevelMask{}), ApplyResult::Changed);
  EXPECT_EQ(e.nodes.size(), 3u);
  EXPECT_EQ(e.apply_head_atom(ea(7, 0, 3), 0, {}, LevelMask{}), ApplyResult::NothingNew);
}

TEST(Functional, SuccessorsMergeIntoTheSmallestId) {
  HyperEngine e(no_clauses, 0);
  std::vector<std::uint32_t> made;
  for (int i = 0; i < 3; ++i) {
    made.push_back(e.new_node());
    e.nodes.mut(0).out_edges.push_back({0, 2, made.back()});
    e.nodes.mut(made.back()).in_edges.push_back({0, 2, 0});
    e.nodes.mut(made.back()).insert_label(10 + i, LevelMask{});
  }
  EXPECT_EQ(e.apply_head_atom(at_most(1, 2, std::nullopt), 0, {}, LevelMask{}), ApplyResult::Changed);
  EXPECT_EQ(e.find(made[1]), made[0]);
  EXPECT_EQ(e.find(made[2]), made[0]);
  EXPECT_EQ(e.nodes[made[0]].labels, (std::vector<std::uint32_t>{10, 11, 12}));
}

TEST(CardClashDeps, OverflowUnlessEveryGuardHolds) {
  HyperEngine e(no_clauses, 0);
  e.apply_head_atom(at_least(2, 3, std::nullopt), 0, {}, level(1));
  const std::vector<std::uint32_t> s{1, 2};
  EXPECT_TRUE(e.card_clash_deps(0, s).overflow);  // precise masks off
  e.precise_card_deps = true;
  EXPECT_EQ(e.card_clash_deps(0, s), level(1));  // different by the expansion at level 1
  e.distinct_pairs.clear();
  e.nodes.mut(0).card_deps = level(4);
  LevelMask m = e.card_clash_deps(0, s);
  EXPECT_FALSE(m.overflow);
  EXPECT_TRUE(m.has_level(1));
  EXPECT_TRUE(m.has_level(4));
  // A neighbour that is not the node's own child brings its own deps.
  const std::uint32_t stranger = e.new_node();
  e.nodes.mut(stranger).node_deps = level(6);
  const LevelMask with_stranger = e.card_clash_deps(0, {1, stranger});
  EXPECT_FALSE(with_stranger.overflow);
  EXPECT_TRUE(with_stranger.has_level(6));
  EXPECT_TRUE(with_stranger.has_level(4));
  e.nodes.mut(0).merged_card = true;
  EXPECT_TRUE(e.card_clash_deps(0, s).overflow);
}

TEST(Nominals, SecondCarrierMergesAndStaysPrecise) {
  // A → ∃r.{o} twice over different roles; {o} is concept 9.
  std::vector<DlClause> clauses{{{ca(0, 0)}, {ea(9, 0, 1)}}, {{ca(0, 0)}, {ea(9, 0, 2)}}, {{ca(9, 0)}, {ca(5, 0)}}};
  HyperEngine e(clauses, 0);
  e.nominal_range = {true, 9, 1};
  ASSERT_EQ(e.run(256, std::nullopt), HyperOutcome::Sat);
  std::uint32_t carriers = 0, imprecise = 0;
  for (std::uint32_t i = 0; i < e.nodes.size(); ++i) {
    if (e.find(i) != i) continue;
    carriers += e.nodes[i].has_label(9) ? 1 : 0;
    imprecise += e.nodes[i].imprecise ? 1 : 0;
  }
  EXPECT_EQ(carriers, 1u);
  EXPECT_EQ(imprecise, 0u);  // the merge mask holds what both carriers rest on
}

TEST(Clashes, EmptyHeadOnAnImpreciseNodeHasTheOverflowMask) {
  std::vector<DlClause> clauses{{{ca(0, 0), ca(1, 0)}, {}}};
  HyperEngine e(clauses, 0);
  e.nodes.mut(0).insert_label(1, level(3));
  EXPECT_EQ(e.fire_clause(0, 0), ApplyResult::Clash);
  EXPECT_EQ(e.clash_deps, level(3));
  e.nodes.mut(0).imprecise = true;
  EXPECT_EQ(e.fire_clause(0, 0), ApplyResult::Clash);
  EXPECT_TRUE(e.clash_deps.overflow);
}

TEST(Firing, HeadPresentSkipAvoidsTheMatch) {
  std::vector<DlClause> clauses{{{ca(0, 0)}, {ca(1, 0)}}};
  HyperEngine e(clauses, 0);
  e.nodes.mut(0).insert_label(1, LevelMask{});
  EXPECT_EQ(e.fire_clause(0, 0), ApplyResult::NothingNew);
  EXPECT_EQ(e.stats().head_present_skips, 1u);
  e.head_present_skip = false;
  EXPECT_EQ(e.fire_clause(0, 0), ApplyResult::NothingNew);
  EXPECT_EQ(e.stats().head_present_skips, 1u);
  EXPECT_EQ(e.stats().clause_fires, 2u);
}

TEST(Blocking, SubsetBlocksByAnyOlderNodePairwiseOnlyOverTheSameEdge) {
  // A → ∃r.B, B → ∃s.B: the grandchild's label {B} is a subset of its parent's.
  std::vector<DlClause> clauses{{{ca(0, 0)}, {ea(1, 0, 5)}}, {{ca(1, 0)}, {ea(1, 0, 6)}}};
  HyperEngine subset(clauses, 0);
  ASSERT_EQ(subset.run(256, std::nullopt), HyperOutcome::Sat);
  EXPECT_EQ(subset.nodes.size(), 3u);  // root, its child, one grandchild blocked by the child
  EXPECT_GT(subset.stats().blocked, 0u);
  HyperEngine pairwise(clauses, 0);
  pairwise.enable_double_blocking();
  ASSERT_EQ(pairwise.run(256, std::nullopt), HyperOutcome::Sat);
  // The child came over r, its successors over s: the third s-node is the first with an older s-twin.
  EXPECT_EQ(pairwise.nodes.size(), 4u);
  EXPECT_GT(pairwise.stats().double_blocking_tests, 0u);
}

TEST(Limits, UnboundedGrowthStallsAtTheItemLimit) {
  // Pairwise blocking without a bucket map never blocks.
  std::vector<DlClause> clauses{{{ca(0, 0)}, {ea(0, 0, 1)}}};
  HyperEngine e(clauses, 0);
  e.double_blocking = true;
  EXPECT_EQ(e.run(256, std::nullopt), HyperOutcome::Stalled);
  EXPECT_GT(e.nodes.size(), 1000u);
}

struct SwitchCase {
  const char* name;
  const char* value;
  bool reseed_verify, others_on;
};

class ConstructionSwitches : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(ConstructionSwitches, ReadAtEveryConstruction) {
  const SwitchCase& c = GetParam();
  const SwitchId ids[] = {SwitchId::ReseedVerify, SwitchId::FixpointDeadline, SwitchId::HyperMatchDeadline,
                          SwitchId::InverseFuncMerge, SwitchId::HeadPresentSkip};
  std::vector<std::unique_ptr<ScopedSwitch>> env;
  for (SwitchId id : ids)
    env.push_back(std::make_unique<ScopedSwitch>(id, c.value ? std::optional<std::string>(c.value) : std::nullopt));
  HyperEngine e(no_clauses, 0);
  EXPECT_EQ(e.reseed_verify, c.reseed_verify);
  EXPECT_EQ(e.fixpoint_deadline, c.others_on);
  EXPECT_EQ(e.match_deadline, c.others_on);
  EXPECT_EQ(e.inverse_func_merge, c.others_on);
  EXPECT_EQ(e.head_present_skip, c.others_on);
  EXPECT_FALSE(e.semantic_branching || e.mrv || e.double_blocking || e.incremental_fixpoint);
}

INSTANTIATE_TEST_SUITE_P(Values, ConstructionSwitches,
                         ::testing::Values(SwitchCase{"unset", nullptr, true, true},
                                           SwitchCase{"empty", "", false, true},
                                           SwitchCase{"zero", "0", false, false},
                                           SwitchCase{"one", "1", true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kelmon
