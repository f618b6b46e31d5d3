// The per-node edge index: walks through it must visit exactly the edges a
// scan of the whole list with edge_matches visits, in the same order, after
// appends, merges and restores at branch points.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "core/role_hierarchy.h"
#include "hyper_fixture.h"
#include "tableau/hyper/internal/role_edge_walk.h"

namespace kelmon {
namespace {

using hyper_testing::ca;
using hyper_testing::ra;

std::vector<DlClause> no_clauses;

// Roles 0..3: 1 ⊑ 0, 2 symmetric, 3 unrelated.
std::shared_ptr<const RoleHierarchy> small_hierarchy() {
  RoleHierarchyBuilder b(4);
  b.add_edge(RoleId{1}, RoleId{0});
  b.mark_symmetric(RoleId{2});
  return std::make_shared<const RoleHierarchy>(std::move(b).build());
}

// What a walk should visit: the whole lists scanned edge by edge.
std::vector<std::uint32_t> scanned(const HyperEngine& e, std::uint32_t node, std::uint32_t dir, std::uint32_t role) {
  std::vector<std::uint32_t> out;
  for (const HyperEdge& edge : e.nodes[node].out_edges)
    if (e.edge_matches(dir, role, edge, false)) out.push_back(e.inverse_func_merge ? e.find(edge.node) : edge.node);
  for (const HyperEdge& edge : e.nodes[node].in_edges)
    if (e.edge_matches(dir, role, edge, true)) out.push_back(e.inverse_func_merge ? e.find(edge.node) : edge.node);
  return out;
}

void expect_walks_agree(const HyperEngine& e) {
  for (std::uint32_t n = 0; n < e.nodes.size(); ++n)
    for (std::uint32_t dir : {0u, 1u})
      for (std::uint32_t role = 0; role < 4; ++role) {
        std::vector<std::uint32_t> walked;
        hyper_internal::append_role_neighbours(e, n, dir, role, walked);
        EXPECT_EQ(walked, scanned(e, n, dir, role)) << "node " << n << " dir " << dir << " role " << role;
      }
}

void link(HyperEngine& e, std::uint32_t dir, std::uint32_t role, std::uint32_t s, std::uint32_t t) {
  e.nodes.mut(s).out_edges.push_back({dir, role, t});
  e.nodes.mut(t).in_edges.push_back({dir, role, s});
}

TEST(EdgeRoleIndex, GroupsFollowAppendsAndStartOverOnAShorterList) {
  EdgeRoleIndex index;
  std::vector<HyperEdge> edges{{0, 1, 5}, {1, 1, 6}, {0, 2, 7}, {0, 1, 8}};
  ASSERT_EQ(index.groups(edges).size(), 3u);
  EXPECT_EQ(index.group_of(edges, 0, 1)->positions, (std::vector<std::uint32_t>{0, 3}));
  edges.push_back({1, 1, 9});
  EXPECT_EQ(index.group_of(edges, 1, 1)->positions, (std::vector<std::uint32_t>{1, 4}));
  EXPECT_EQ(index.position_of(edges, {0, 2, 7}), 2);
  EXPECT_EQ(index.position_of(edges, {0, 2, 8}), -1);
  EXPECT_EQ(index.group_of(edges, 1, 2), nullptr);
  // A copy taken earlier and put back: the list is shorter than the cache saw.
  edges = {{0, 3, 1}};
  ASSERT_EQ(index.groups(edges).size(), 1u);
  EXPECT_EQ(index.position_of(edges, {0, 3, 1}), 0);
  EXPECT_EQ(index.position_of(edges, {0, 1, 5}), -1);
}

TEST(EdgeRoleIndex, WalksAgreeWithAScanThroughSubRolesSymmetricRolesAndMerges) {
  HyperEngine e = HyperEngine::with_role_hierarchy(HyperEngine(no_clauses, 0), small_hierarchy());
  std::vector<std::uint32_t> n{0};
  for (int i = 0; i < 6; ++i) n.push_back(e.new_node());
  // Several roles interleaved at node 0, so that walks over role 0 merge groups 0 and 1.
  link(e, 0, 0, 0, n[1]);
  link(e, 0, 1, 0, n[2]);
  link(e, 1, 2, 0, n[3]);
  link(e, 0, 3, 0, n[4]);
  link(e, 0, 1, 0, n[5]);
  link(e, 0, 2, n[6], 0);
  link(e, 1, 0, n[6], 0);
  link(e, 0, 0, n[3], n[4]);
  link(e, 0, 0, 0, n[2]);  // the role-0 group now runs past the role-1 one
  expect_walks_agree(e);
  // Merges move edges onto the survivor and add in-edges at the far ends.
  ASSERT_TRUE(e.merge(n[1], n[6], LevelMask{}));
  ASSERT_TRUE(e.merge(n[4], n[3], LevelMask{}));
  expect_walks_agree(e);
  // Successors are the walk's far ends as classes, each once, in walk order.
  for (std::uint32_t role = 0; role < 4; ++role) {
    std::vector<std::uint32_t> want;
    for (std::uint32_t far : scanned(e, 0, 0, role))
      if (std::find(want.begin(), want.end(), e.find(far)) == want.end()) want.push_back(e.find(far));
    EXPECT_EQ(e.successors(0, 0, role, 0, 0), want) << "role " << role;
  }
}

TEST(EdgeRoleIndex, RestoresBringBackWalksThatAgreeWithTheScan) {
  HyperEngine e = HyperEngine::with_role_hierarchy(HyperEngine(no_clauses, 0), small_hierarchy());
  const std::uint32_t a = e.new_node(), b = e.new_node(), c = e.new_node();
  link(e, 0, 0, 0, a);
  link(e, 0, 3, 0, b);
  expect_walks_agree(e);  // the caches have seen the lists as they are now
  std::vector<std::uint32_t> before;
  hyper_internal::append_role_neighbours(e, 0, 0, 0, before);
  Checkpoint outer = e.checkpoint();
  link(e, 0, 1, 0, c);
  ASSERT_TRUE(e.merge(a, b, LevelMask{}));
  expect_walks_agree(e);
  Checkpoint inner = e.checkpoint();
  const std::uint32_t d = e.new_node();
  link(e, 0, 0, 0, d);
  link(e, 0, 1, d, 0);
  expect_walks_agree(e);
  e.restore(std::move(inner));
  expect_walks_agree(e);
  e.restore(std::move(outer));
  expect_walks_agree(e);
  std::vector<std::uint32_t> after;
  hyper_internal::append_role_neighbours(e, 0, 0, 0, after);
  EXPECT_EQ(after, before);
  // Growing again after the restore: the cache catches up from the restored list.
  link(e, 0, 1, 0, c);
  expect_walks_agree(e);
}

TEST(EdgeRoleIndex, AnEdgeAddedTwiceIsKeptOnce) {
  HyperEngine e(no_clauses, 0);
  const std::uint32_t a = e.new_node();
  const Binding to_a{{1, a}};
  EXPECT_EQ(e.apply_head_atom(ra(0, 1, 2), 0, to_a, LevelMask{}), ApplyResult::Changed);
  EXPECT_EQ(e.apply_head_atom(ra(0, 1, 2), 0, to_a, LevelMask{}), ApplyResult::NothingNew);
  EXPECT_EQ(e.apply_head_atom(ra(0, 1, 3), 0, to_a, LevelMask{}), ApplyResult::Changed);
  // Over the inverse role the edge runs a → 0: another edge.
  EXPECT_EQ(e.apply_head_atom(ra(0, 1, 2, true), 0, to_a, LevelMask{}), ApplyResult::Changed);
  EXPECT_EQ(e.nodes[0].out_edges, (std::vector<HyperEdge>{{0, 2, a}, {0, 3, a}}));
  EXPECT_EQ(e.nodes[a].out_edges, (std::vector<HyperEdge>{{0, 2, 0}}));
}

TEST(EdgeRoleIndex, InSourcesTakesEachSourceOnceInEdgeOrder) {
  HyperEngine e(no_clauses, 0);
  const std::uint32_t a = e.new_node(), b = e.new_node(), c = e.new_node(), t = e.new_node();
  link(e, 0, 1, b, t);
  link(e, 0, 2, a, t);
  link(e, 1, 1, b, t);
  link(e, 0, 1, c, t);
  link(e, 0, 3, a, t);
  EXPECT_EQ(e.in_sources(t), (std::vector<std::uint32_t>{b, a, c}));
  EXPECT_EQ(e.in_sources(t), (std::vector<std::uint32_t>{b, a, c}));  // a second call starts afresh
  EXPECT_TRUE(e.in_sources(a).empty());
  // Under functional merging a merged-away source counts as its class.
  e.inverse_func_merge = true;
  ASSERT_TRUE(e.merge(a, c, LevelMask{}));
  EXPECT_EQ(e.in_sources(t), (std::vector<std::uint32_t>{b, a}));
}

}  // namespace
}  // namespace kelmon
