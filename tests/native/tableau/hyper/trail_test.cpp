// Branch points keep only what changes after them: a restore must still
// bring back exactly the graph of its branch point, through nested branch
// points, node creation, merges and branch points a model left open.
#include <gtest/gtest.h>

#include "common/invariant.h"
#include "hyper_fixture.h"

namespace kelmon {
namespace {

using hyper_testing::HyperTbox;

LevelMask level(std::uint32_t i) { return LevelMask::of_level(i); }

// Everything a restore puts back.
struct Graph {
  std::vector<HyperNode> nodes;
  std::vector<std::uint32_t> parent_of;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> distinct_pairs;
  std::optional<tsl::robin_map<std::uint64_t, std::vector<std::uint32_t>>> buckets;
  std::vector<std::uint32_t> blocked_waiting;
  std::vector<WorkItem> queue;
  friend bool operator==(const Graph&, const Graph&) = default;
};

Graph graph_of(const HyperEngine& e) {
  return {e.nodes.all(), e.parent_of, e.distinct_pairs, e.parent_role_buckets, e.blocked_waiting, e.queue};
}

HyperNode node_with_label(std::uint32_t id, std::uint32_t label) {
  HyperNode n;
  n.id = id;
  n.insert_label(label, LevelMask{});
  return n;
}

TEST(NodeStore, NestedMarksRewindToTheirOwnStates) {
  NodeStore s;
  for (std::uint32_t i = 0; i < 3; ++i) s.push_back(node_with_label(i, i));
  const std::vector<HyperNode> at_outer = s.all();
  const NodeStore::Mark outer = s.mark();
  s.mut(0).insert_label(10, level(1));
  s.mut(0).insert_label(11, level(1));  // saved once, before the first change
  s.push_back(node_with_label(3, 3));
  s.mut(3).insert_label(12, level(1));
  const std::vector<HyperNode> at_inner = s.all();
  const NodeStore::Mark inner = s.mark();
  s.mut(0).out_edges.push_back({0, 1, 3});
  s.mut(3).in_edges.push_back({0, 1, 0});  // made under the outer mark: saved for the inner one
  s.mut(2).at_most.push_back({0, 1, 0, 0, 1});
  s.push_back(node_with_label(4, 4));
  s.rewind(inner);
  EXPECT_EQ(s.all(), at_inner);
  EXPECT_EQ(s.open_marks(), 1u);
  s.mut(0).insert_label(13, level(1));  // already saved under the outer mark
  s.mut(1).refuted.push_back({5, level(1)});
  s.rewind(outer);
  EXPECT_EQ(s.all(), at_outer);
  EXPECT_EQ(s.open_marks(), 0u);
  s.mut(1).insert_label(20, LevelMask{});  // no mark open: a plain change
  EXPECT_TRUE(s[1].has_label(20));
  EXPECT_THROW(s.rewind(outer), InvariantFailure);
}

TEST(NodeStore, MarksClosedWithoutRewindStillRewindWithTheirOuterMark) {
  NodeStore s;
  for (std::uint32_t i = 0; i < 2; ++i) s.push_back(node_with_label(i, i));
  const std::vector<HyperNode> at_outer = s.all();
  const NodeStore::Mark outer = s.mark();
  s.push_back(node_with_label(2, 2));
  s.mark();  // left open, as a branch that found a model leaves it
  s.mut(1).insert_label(7, level(2));
  s.mut(2).insert_label(8, level(2));
  s.mark();
  s.mut(1).insert_label(9, level(3));
  s.close_marks_from(1);
  EXPECT_EQ(s.open_marks(), 1u);
  s.mut(1).insert_label(10, level(1));
  s.rewind(outer);
  EXPECT_EQ(s.all(), at_outer);
}

TEST(Checkpoints, NestedRestoresBringBackEachBranchPointsGraph) {
  std::vector<DlClause> no_clauses;
  HyperEngine e(no_clauses, 0);
  e.check_restores = true;
  e.enable_double_blocking();
  const std::uint32_t a = e.new_node();
  e.add_label(a, 3, LevelMask{});
  e.queue.clear();
  const Graph g0 = graph_of(e);
  Checkpoint outer = e.checkpoint();
  // A successor made after the branch point, labelled and merged into an older node.
  ASSERT_EQ(e.apply_head_atom(exists_atom(5, 0, Role::named(RoleId{1})), 0, {}, level(1)), ApplyResult::Changed);
  const std::uint32_t b = static_cast<std::uint32_t>(e.nodes.size() - 1);
  e.add_label(0, 7, level(1));
  ASSERT_TRUE(e.merge(a, b, level(1)));
  e.queue.clear();
  const Graph g1 = graph_of(e);
  Checkpoint inner = e.checkpoint();
  ASSERT_EQ(e.apply_head_atom(at_least_atom(2, 0, Role::named(RoleId{2}), 6), a, {}, level(2)),
            ApplyResult::Changed);
  ASSERT_FALSE(e.distinct_pairs.empty());
  ASSERT_EQ(e.apply_head_atom(at_most_atom(1, 0, Role::named(RoleId{1}), std::nullopt), 0, {}, level(2)),
            ApplyResult::Changed);
  ASSERT_TRUE(e.merge(0, a, level(2)));
  e.blocked_waiting.push_back(a);
  e.restore(std::move(inner));
  e.queue.clear();
  EXPECT_EQ(graph_of(e), g1);
  e.add_label(b, 9, level(1));
  e.restore(std::move(outer));
  e.queue.clear();  // only the incremental fixpoint keeps its queue across branch points
  EXPECT_EQ(graph_of(e), g0);
  EXPECT_TRUE(e.parent_changes.empty());
  EXPECT_EQ(e.stats().restores, 2u);
}

TEST(Checkpoints, TheSelfCheckCatchesAChangeMadeAroundTheTrail) {
  std::vector<DlClause> no_clauses;
  HyperEngine e(no_clauses, 0);
  e.check_restores = true;
  Checkpoint cp = e.checkpoint();
  const_cast<HyperNode&>(e.nodes[0]).labels.push_back(42);
  EXPECT_THROW(e.restore(std::move(cp)), InvariantFailure);
}

// A ⊑ Bi ⊔ Ci at three levels where both choices at the third clash with
// B1 alone (a backjump over the second), and C1 needs three successors
// under ≤2 r, so merges are tried after the branch point that made them.
void layered(HyperTbox& t, bool every_merge_clashes) {
  const ConceptId A = t.A("A"), D = t.A("D"), E = t.A("E"), F = t.A("F"), K = t.A("K");
  for (const char* i : {"1", "2", "3"})
    t.sub(A, t.or_({t.A(std::string("B") + i), t.A(std::string("C") + i)}));
  t.sub(t.and_({t.A("B1"), t.A("B3")}), t.bot());
  t.sub(t.and_({t.A("B1"), t.A("C3")}), t.bot());
  const ConceptId C1 = t.A("C1");
  for (ConceptId filler : {D, E, F}) t.sub(C1, t.some(t.r("r"), filler));
  t.sub(C1, t.max(2, t.r("r"), t.top()));
  t.sub(t.and_({D, E}), K);
  t.sub(t.and_({E, F}), K);
  if (every_merge_clashes) t.sub(t.and_({D, F}), K);
  t.sub(K, t.some(t.r("s"), t.A("L")));
  t.sub(t.A("L"), t.bot());
  t.sub(D, t.or_({t.A("G"), t.A("H")}));
  t.sub(t.A("G"), t.bot());
}

TEST(Checkpoints, EveryRestoreOfADeepSearchMatchesAFullCopy) {
  for (const bool every_merge_clashes : {false, true}) {
    for (int mask = 0; mask < 32; ++mask) {
      HyperTbox t;
      layered(t, every_merge_clashes);
      HyperEngine e = t.engine("A");
      hyper_testing::apply_search_switches(e, mask);
      const HyperOutcome outcome = e.run(256, std::nullopt);
      EXPECT_EQ(outcome, every_merge_clashes ? HyperOutcome::Unsat : HyperOutcome::Sat) << "switches " << mask;
      EXPECT_GE(e.stats().restores, 2u) << "switches " << mask;
      EXPECT_GE(e.stats().merge_branches, 1u) << "switches " << mask;
      EXPECT_EQ(e.nodes.open_marks(), 0u);
      EXPECT_TRUE(e.parent_changes.empty());
    }
  }
}

// A merge under a branch point, with y's labels already at x and no mask,
// so that what y brings is the first change to x (and to its neighbours).
struct MergeCase {
  const char* name;
  void (*give_y)(HyperEngine&, std::uint32_t y, std::uint32_t neighbour);
};

void PrintTo(const MergeCase& c, std::ostream* os) { *os << c.name; }

class MergeUndone : public ::testing::TestWithParam<MergeCase> {};

TEST_P(MergeUndone, RestoreBringsBackBothNodesAndTheirNeighbours) {
  std::vector<DlClause> no_clauses;
  HyperEngine e(no_clauses, 0);
  e.check_restores = true;
  const std::uint32_t x = e.new_node(), y = e.new_node(), neighbour = e.new_node();
  GetParam().give_y(e, y, neighbour);
  e.queue.clear();
  const Graph before = graph_of(e);
  Checkpoint cp = e.checkpoint();
  ASSERT_TRUE(e.merge(x, y, LevelMask{}));
  EXPECT_NE(graph_of(e), before);
  e.restore(std::move(cp));
  e.queue.clear();
  EXPECT_EQ(graph_of(e), before);
}

INSTANTIATE_TEST_SUITE_P(
    WhatYBrings, MergeUndone,
    ::testing::Values(
        MergeCase{"out_edge",
                  [](HyperEngine& e, std::uint32_t y, std::uint32_t t) {
                    e.nodes.mut(y).out_edges.push_back({0, 1, t});
                    e.nodes.mut(t).in_edges.push_back({0, 1, y});
                  }},
        MergeCase{"in_edge",
                  [](HyperEngine& e, std::uint32_t y, std::uint32_t s) {
                    e.nodes.mut(s).out_edges.push_back({0, 1, y});
                    e.nodes.mut(y).in_edges.push_back({0, 1, s});
                  }},
        MergeCase{"at_most", [](HyperEngine& e, std::uint32_t y,
                                std::uint32_t) { e.nodes.mut(y).at_most.push_back({0, 1, 0, 0, 2}); }},
        MergeCase{"at_least", [](HyperEngine& e, std::uint32_t y,
                                 std::uint32_t) { e.nodes.mut(y).at_least.push_back({0, 1, 0, 0, 2}); }},
        MergeCase{"imprecise", [](HyperEngine& e, std::uint32_t y, std::uint32_t) { e.nodes.mut(y).imprecise = true; }},
        MergeCase{"label", [](HyperEngine& e, std::uint32_t y, std::uint32_t) { e.add_label(y, 4, level(1)); }}),
    [](const auto& info) { return std::string(info.param.name); });

// An R-chain root → n1 → n2 (R transitive); at n2 the choice 9 makes n3,
// whose closing edges start at the root and n1, untouched under that choice
// until then, and give both 7, which clashes with 0 at the root: the choice
// is undone, the new edges of the older nodes with it.
TEST(Checkpoints, EdgesAddedToOlderNodesAreUndone) {
  using hyper_testing::ca;
  using hyper_testing::ea;
  using hyper_testing::ra;
  constexpr std::uint32_t kR = 0;
  std::vector<DlClause> clauses{
      {{ca(0, 0)}, {ea(5, 0, kR)}},
      {{ca(5, 0)}, {ea(6, 0, kR)}},
      {{ca(6, 0)}, {ca(9, 0), ca(8, 0)}},
      {{ca(9, 0)}, {ea(10, 0, kR)}},
      {{ra(0, 1, kR), ra(1, 2, kR)}, {ra(0, 2, kR)}},
      {{ra(0, 1, kR), ca(10, 1)}, {ca(7, 0)}},
      {{ca(0, 0), ca(7, 0)}, {}},
  };
  for (const bool incremental : {false, true}) {
    HyperEngine e(clauses, 0);
    e.check_restores = true;
    e.incremental_fixpoint = incremental;
    ASSERT_EQ(e.run(256, std::nullopt), HyperOutcome::Sat);
    EXPECT_EQ(e.stats().restores, 1u);
    ASSERT_EQ(e.nodes.size(), 3u);
    EXPECT_TRUE(e.nodes[2].has_label(8));
    EXPECT_FALSE(e.nodes[0].has_label(7));
    EXPECT_EQ(e.nodes[0].out_edges.size(), 2u);
    EXPECT_EQ(e.nodes[1].out_edges.size(), 1u);
  }
}

}  // namespace
}  // namespace kelmon
