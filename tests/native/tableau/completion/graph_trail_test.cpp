#include <gtest/gtest.h>

#include <random>

#include "common/invariant.h"
#include "tableau/completion/tableau.h"

namespace kelmon::completion {
namespace {

class GraphTrail : public ::testing::Test {
 protected:
  GraphTrail() : ctx(pool, nullptr, nullptr) {}

  ConceptId atom(std::uint32_t c) { return pool.intern(Atomic{ClassId{c}}); }
  NodeId node(std::optional<NodeId> parent = std::nullopt, std::optional<Role> role = std::nullopt) {
    return ctx.add_trailed_node(parent, role);
  }

  ConceptPool pool;
  TableauContext ctx;
  const Role r = Role::named(RoleId{0});
};

TEST_F(GraphTrail, add_label_of_present_concept_keeps_first_depset_and_writes_nothing) {
  const NodeId x = node();
  const std::uint32_t first[] = {3};
  const std::uint32_t second[] = {7};
  EXPECT_TRUE(ctx.add_label(x, atom(1), first));
  const auto trail_size = ctx.trail.size();
  EXPECT_FALSE(ctx.add_label(x, atom(1), second));
  EXPECT_EQ(ctx.trail.size(), trail_size);
  EXPECT_EQ(ctx.node(x).label_deps[0], DepSet::from_slice(first));
}

TEST_F(GraphTrail, labels_stay_sorted_with_parallel_depsets) {
  const NodeId x = node();
  const ConceptId a = atom(1), b = atom(2), c = atom(3);
  const std::uint32_t dc[] = {3}, da[] = {1}, db[] = {2};
  ctx.add_label(x, c, dc);
  ctx.add_label(x, a, da);
  ctx.add_label(x, b, db);
  ASSERT_EQ(ctx.node(x).labels, (std::vector<ConceptId>{a, b, c}));
  EXPECT_EQ(ctx.node(x).label_deps[1], DepSet::from_slice(db));
}

TEST_F(GraphTrail, parallel_edges_are_both_removed_by_one_rollback) {
  const NodeId x = node(), y = node();
  const auto cp = ctx.checkpoint();
  ctx.add_edge(x, RoleId{0}, y, DepSet{});
  ctx.add_edge(x, RoleId{0}, y, DepSet{});
  EXPECT_EQ(ctx.node(x).edges.size(), 2u);
  ctx.rollback(cp);
  EXPECT_TRUE(ctx.node(x).edges.empty());
  EXPECT_TRUE(ctx.node(y).in_edges.empty());
}

TEST_F(GraphTrail, self_loop_is_stored_once_out_and_once_in) {
  const NodeId x = node();
  ctx.add_edge(x, RoleId{0}, x, DepSet{});
  EXPECT_EQ(ctx.node(x).edges.size(), 1u);
  EXPECT_EQ(ctx.node(x).in_edges.size(), 1u);
}

TEST_F(GraphTrail, distinct_marks_ignore_self_and_repeats) {
  const NodeId x = node(), y = node();
  const auto before = ctx.trail.size();
  ctx.mark_distinct(x, x);
  EXPECT_EQ(ctx.trail.size(), before);
  ctx.mark_distinct(x, y);
  ctx.mark_distinct(x, y);
  ctx.mark_distinct(y, x);
  EXPECT_EQ(ctx.trail.size(), before + 1);
  EXPECT_EQ(ctx.node(y).distinct, std::vector<NodeId>{x});
}

TEST_F(GraphTrail, merge_of_distinct_pair_is_refused_without_trail) {
  const NodeId x = node(), y = node();
  ctx.mark_distinct(x, y);
  const auto before = ctx.trail.size();
  EXPECT_FALSE(ctx.merge_nodes(x, y, DepSet{}));
  EXPECT_EQ(ctx.trail.size(), before);
}

TEST_F(GraphTrail, merge_moves_labels_edges_and_keeps_loops) {
  const NodeId p = node(), x = node(p, r), y = node(p, r), z = node(x, r);
  ctx.add_edge(p, RoleId{0}, x, DepSet{});
  ctx.add_edge(p, RoleId{0}, y, DepSet{});
  ctx.add_edge(x, RoleId{0}, z, DepSet{});
  ctx.add_edge(x, RoleId{1}, x, DepSet{});
  const std::uint32_t lab[] = {4};
  ctx.add_label(x, atom(5), lab);
  const std::uint32_t merge[] = {9};
  ASSERT_TRUE(ctx.merge_nodes(x, y, DepSet::from_slice(merge)));
  const GraphNode& ny = ctx.node(y);
  ASSERT_TRUE(ny.has_label(atom(5)));
  EXPECT_EQ(ny.label_deps[*ny.label_position(atom(5))], DepSet::from_slice(std::vector<std::uint32_t>{4, 9}));
  EXPECT_TRUE(ctx.node(x).edges.empty());
  EXPECT_NE(std::find(ny.edges.begin(), ny.edges.end(), Edge{RoleId{1}, y}), ny.edges.end());  // loop stays a loop
  EXPECT_NE(std::find(ny.edges.begin(), ny.edges.end(), Edge{RoleId{0}, z}), ny.edges.end());
  EXPECT_EQ(ctx.node(z).parent, y);
  EXPECT_EQ(ctx.node(x).merged_into, y);
  EXPECT_EQ(ctx.representative(x), y);
  // p's edge to x now points at y, where p already has one: a single edge p -> y.
  EXPECT_EQ(std::count(ctx.node(p).edges.begin(), ctx.node(p).edges.end(), Edge{RoleId{0}, y}), 1);
  EXPECT_EQ(std::count(ctx.node(y).in_edges.begin(), ctx.node(y).in_edges.end(), Edge{RoleId{0}, p}), 1);
}

TEST_F(GraphTrail, merging_into_own_child_leaves_child_without_parent) {
  const NodeId x = node(), y = node(x, r);
  ctx.add_edge(x, RoleId{0}, y, DepSet{});
  ASSERT_TRUE(ctx.merge_nodes(x, y, DepSet{}));
  EXPECT_FALSE(ctx.node(y).parent.has_value());
  EXPECT_FALSE(ctx.graph.summaries[y].parent.has_value());
}

TEST_F(GraphTrail, rollback_before_add_node_removes_node_and_anywhere_entry) {
  ctx.set_anywhere_blocking(true);
  const NodeId x = node();
  const auto cp = ctx.checkpoint();
  node(x, r);
  ASSERT_EQ(ctx.graph.anywhere_index.at(r).size(), 1u);
  ctx.rollback(cp);
  EXPECT_EQ(ctx.graph.size(), 1u);
  EXPECT_EQ(ctx.graph.summaries.size(), 1u);
  EXPECT_EQ(ctx.graph.dirty.size(), 1u);
  EXPECT_TRUE(ctx.graph.anywhere_index.at(r).empty());
}

TEST_F(GraphTrail, rollback_leaves_untrailed_state_alone) {
  const NodeId x = node();
  const auto cp = ctx.checkpoint();
  ctx.add_label(x, atom(1), DepSet{});
  ctx.set_complement(atom(1), atom(2));
  ctx.branch_counter = 5;
  ctx.timed_out = true;
  ctx.graph.dirty[x] = 0;
  ctx.rollback(cp);
  EXPECT_EQ(ctx.graph.dirty[x], 0);
  EXPECT_EQ(ctx.complements.size(), 1u);
  EXPECT_EQ(ctx.branch_counter, 5u);
  EXPECT_TRUE(ctx.timed_out);
}

// The saturation's cleared marks are trailed: a node whose rules ran after the
// checkpoint is dirty again once the graph it was saturated in is rolled back.
TEST_F(GraphTrail, rollback_restores_cleared_dirty_bits) {
  const NodeId x = node(), y = node();
  ctx.clear_dirty(y, kDirtyAll);
  const auto cp = ctx.checkpoint();
  ctx.clear_dirty(x, kDirtyRules);
  ctx.clear_dirty(x, kDirtyClash);
  EXPECT_EQ(ctx.graph.dirty[x], kDirtySweep | kDirtyEdges);
  ctx.rollback(cp);
  EXPECT_EQ(ctx.graph.dirty[x], kDirtyAll);
  EXPECT_EQ(ctx.graph.dirty[y], 0);  // cleared before the checkpoint: stays clean
}

// Clears of one node between two checkpoints share one trail entry, and a
// rollback past it still restores every bit they cleared.
TEST_F(GraphTrail, clears_between_checkpoints_share_one_entry) {
  const NodeId x = node();
  const auto cp = ctx.checkpoint();
  const std::size_t before = ctx.trail.size();
  ctx.clear_dirty(x, kDirtyRules);
  ctx.graph.dirty[x] |= kDirtyRules;
  ctx.clear_dirty(x, kDirtyRules | kDirtyClash);
  EXPECT_EQ(ctx.trail.size(), before + 1);
  const auto inner = ctx.checkpoint();
  ctx.clear_dirty(x, kDirtySweep);
  EXPECT_EQ(ctx.trail.size(), before + 3);  // the checkpoint between forces a new entry
  ctx.rollback(inner);
  EXPECT_EQ(ctx.graph.dirty[x], kDirtySweep | kDirtyEdges);
  ctx.rollback(cp);
  EXPECT_EQ(ctx.graph.dirty[x], kDirtyAll);
}

TEST_F(GraphTrail, second_rollback_to_same_checkpoint_fails) {
  node();
  const auto cp = ctx.checkpoint();
  ctx.rollback(cp);
  try {
    ctx.rollback(cp);
    FAIL();
  } catch (const InvariantFailure& e) {
    EXPECT_EQ(e.message(), "checkpoint already rolled back");
  }
}

TEST_F(GraphTrail, rollback_to_non_checkpoint_entry_fails) {
  const NodeId x = node();
  ctx.add_label(x, atom(1), DepSet{});
  try {
    ctx.rollback(ctx.trail.size() - 1);
    FAIL();
  } catch (const InvariantFailure& e) {
    EXPECT_EQ(e.message(), "checkpoint handle does not point at a Checkpoint entry");
  }
}

TEST_F(GraphTrail, removing_one_of_two_labels_sharing_a_bit_keeps_the_bit) {
  // Find two concepts whose signature bits coincide.
  std::vector<ConceptId> ids;
  for (std::uint32_t c = 0; c < 200; ++c) ids.push_back(atom(c));
  ConceptId a = ids[0], b = ids[0];
  for (std::size_t i = 1; i < ids.size() && a == b; ++i) {
    if (signature_bit(ids[i]) == signature_bit(a)) b = ids[i];
  }
  ASSERT_NE(a, b);
  const NodeId x = node();
  ctx.add_label(x, a, DepSet{});
  const auto cp = ctx.checkpoint();
  ctx.add_label(x, b, DepSet{});
  ctx.rollback(cp);
  EXPECT_EQ(ctx.graph.summaries[x].signature, signature_bit(a));
}

TEST_F(GraphTrail, set_nominal_node_with_same_node_writes_nothing) {
  const NodeId x = node();
  ctx.set_nominal_node(7, x);
  const auto before = ctx.trail.size();
  ctx.set_nominal_node(7, x);
  EXPECT_EQ(ctx.trail.size(), before);
  const NodeId y = node();
  const auto cp = ctx.checkpoint();
  ctx.set_nominal_node(7, y);
  ctx.rollback(cp);
  EXPECT_EQ(ctx.graph.nominal_nodes.at(7), x);
}

TEST(DepSetTest, from_slice_sorts_and_dedups_and_union_merges) {
  const std::uint32_t raw[] = {5, 1, 5, 3};
  const DepSet d = DepSet::from_slice(raw);
  EXPECT_EQ(std::vector<std::uint32_t>(d.begin(), d.end()), (std::vector<std::uint32_t>{1, 3, 5}));
  const std::uint32_t other[] = {2, 3, 9};
  const DepSet u = DepSet::union_of(d, DepSet::from_slice(other));
  EXPECT_EQ(std::vector<std::uint32_t>(u.begin(), u.end()), (std::vector<std::uint32_t>{1, 2, 3, 5, 9}));
  EXPECT_TRUE(u.contains(9));
  EXPECT_FALSE(u.contains(4));
}

// A comparable copy of everything the trail restores.
struct GraphImage {
  std::vector<std::vector<ConceptId>> labels;
  std::vector<std::vector<DepSet>> label_deps;
  std::vector<std::vector<Edge>> edges, in_edges;
  std::vector<std::vector<DepSet>> edge_deps, in_edge_deps;
  std::vector<std::vector<NodeId>> distinct;
  std::vector<std::optional<NodeId>> parents, merged;
  std::vector<std::uint64_t> signatures;
  std::vector<std::pair<std::uint32_t, NodeId>> nominals;
  bool operator==(const GraphImage&) const = default;
};

GraphImage image(const TableauContext& ctx) {
  GraphImage g;
  for (NodeId i = 0; i < ctx.graph.size(); ++i) {
    const GraphNode& n = ctx.node(i);
    g.labels.push_back(n.labels);
    g.label_deps.push_back(n.label_deps);
    g.edges.push_back(n.edges);
    g.in_edges.push_back(n.in_edges);
    g.edge_deps.push_back(n.edge_deps);
    g.in_edge_deps.push_back(n.in_edge_deps);
    g.distinct.push_back(n.distinct);
    g.parents.push_back(n.parent);
    g.merged.push_back(n.merged_into);
    g.signatures.push_back(ctx.graph.summaries[i].signature);
  }
  for (const auto& [k, v] : ctx.graph.nominal_nodes) g.nominals.emplace_back(k, v);
  std::sort(g.nominals.begin(), g.nominals.end());
  return g;
}

TEST_F(GraphTrail, random_changes_roll_back_to_exact_images) {
  std::mt19937 rng(12345);
  node();
  std::vector<std::pair<std::uint64_t, GraphImage>> stack;
  for (int step = 0; step < 3000; ++step) {
    auto pick = [&] { return static_cast<NodeId>(rng() % ctx.graph.size()); };
    const std::uint32_t dep[] = {static_cast<std::uint32_t>(rng() % 6)};
    switch (rng() % 9) {
      case 0:
        stack.emplace_back(ctx.checkpoint(), image(ctx));
        break;
      case 1:
        if (!stack.empty()) {
          const std::size_t keep = rng() % stack.size();
          ctx.rollback(stack[keep].first);
          EXPECT_EQ(image(ctx), stack[keep].second) << "step " << step;
          stack.resize(keep);
        }
        break;
      case 2:
        node(pick(), r);
        break;
      case 3:
        ctx.add_label(pick(), atom(rng() % 40), dep);
        break;
      case 4:
        ctx.add_edge(pick(), RoleId{static_cast<std::uint32_t>(rng() % 2)}, pick(), dep);
        break;
      case 5:
        ctx.mark_distinct(pick(), pick());
        break;
      case 6: {
        const NodeId a = ctx.representative(pick()), b = ctx.representative(pick());
        if (a != b) ctx.merge_nodes(a, b, DepSet::from_slice(dep));
        break;
      }
      case 7:
        ctx.set_nominal_node(rng() % 4, pick());
        break;
      case 8: {
        const NodeId a = pick();
        if (!ctx.node(a).edges.empty()) {
          const Edge e = ctx.node(a).edges[0];
          const auto& in = ctx.node(e.node).in_edges;
          const auto l = std::find(in.begin(), in.end(), Edge{e.role, a}) - in.begin();
          ctx.remove_edge(a, e.role, e.node, 0, l);
        }
        break;
      }
    }
  }
  while (!stack.empty()) {
    ctx.rollback(stack.back().first);
    EXPECT_EQ(image(ctx), stack.back().second);
    stack.pop_back();
  }
}

}  // namespace
}  // namespace kelmon::completion
