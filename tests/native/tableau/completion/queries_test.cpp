// Blocking, role matching and the label queries.
#include <gtest/gtest.h>

#include "kb_fixture.h"
#include "tableau/completion/tableau.h"

namespace kelmon::completion {
namespace {

class Queries : public ::testing::Test {
 protected:
  void make(bool anywhere, const AbsorbedTbox* tbox = nullptr, const RoleHierarchy* h = nullptr) {
    ctx = std::make_unique<TableauContext>(pool, tbox, h);
    ctx->set_anywhere_blocking(anywhere);
  }
  ConceptId atom(std::uint32_t c) { return pool.intern(Atomic{ClassId{c}}); }
  NodeId node(std::optional<NodeId> parent = std::nullopt, std::optional<Role> role = std::nullopt) {
    return ctx->add_trailed_node(parent, role);
  }
  void labels(NodeId n, std::initializer_list<ConceptId> cs) {
    for (ConceptId c : cs) ctx->add_label(n, c, DepSet{});
  }

  ConceptPool pool;
  std::unique_ptr<TableauContext> ctx;
  const Role r = Role::named(RoleId{0});
};

TEST_F(Queries, nodes_without_parent_or_role_are_never_blocked) {
  make(false);
  const NodeId a = node(), b = node(a);
  EXPECT_FALSE(ctx->is_blocked(a));
  EXPECT_FALSE(ctx->is_blocked(b));
}

TEST_F(Queries, ancestor_blocking_needs_an_ancestor_with_a_parent) {
  make(false);
  const NodeId a = node(), b = node(a, r), c = node(b, r), d = node(c, r);
  for (NodeId n : {a, b, c, d}) labels(n, {atom(1)});
  EXPECT_FALSE(ctx->is_blocked(b));  // its parent a has no parent: the walk ends at once
  EXPECT_TRUE(ctx->is_blocked(c));   // (c, b) is covered by (b, a)
  EXPECT_TRUE(ctx->is_blocked(d));
}

TEST_F(Queries, subset_blocking_needs_parent_subset_too) {
  make(false);
  const NodeId a = node(), b = node(a, r), c = node(b, r), d = node(c, r);
  labels(a, {atom(1)});
  labels(b, {atom(1)});
  labels(c, {atom(1), atom(2)});  // d's parent has more than b's
  labels(d, {atom(1)});
  EXPECT_FALSE(ctx->is_blocked(d));
  labels(b, {atom(2)});
  EXPECT_TRUE(ctx->is_blocked(d));
}

TEST_F(Queries, equal_blocking_with_inverse_roles) {
  make(false);
  ctx->inverse_roles = true;
  const NodeId a = node(), b = node(a, r), c = node(b, r), d = node(c, r);
  for (NodeId n : {a, b, c}) labels(n, {atom(1), atom(2)});
  labels(d, {atom(1)});
  EXPECT_FALSE(ctx->directly_blocked(d));  // a subset, not equal
  labels(d, {atom(2)});
  EXPECT_TRUE(ctx->directly_blocked(d));
  const NodeId e = node(d, r);  // below a blocked node
  labels(e, {atom(3)});
  EXPECT_TRUE(ctx->is_blocked(e));
}

TEST_F(Queries, anywhere_blocking_rules) {
  make(true);
  const ConceptId nominal = pool.intern(Nominal{IndividualId{0}});
  const NodeId a = node(), b = node(a, r), c = node(a, r);
  labels(a, {atom(1)});
  labels(b, {atom(1), atom(2)});
  labels(c, {atom(1)});
  EXPECT_TRUE(ctx->is_blocked(c));
  EXPECT_FALSE(ctx->is_blocked(b));  // c has a larger id
  labels(b, {nominal});
  EXPECT_FALSE(ctx->is_blocked(c));  // a candidate with a nominal never blocks
  const NodeId d = node(a, r);
  labels(d, {nominal});
  EXPECT_FALSE(ctx->is_blocked(d));
}

TEST_F(Queries, anywhere_blocking_skips_merged_candidates) {
  make(true);
  const NodeId a = node(), b = node(a, r), c = node(a, r), other = node();
  labels(a, {atom(1)});
  labels(b, {atom(1)});
  labels(c, {atom(1)});
  EXPECT_TRUE(ctx->is_blocked(c));
  ctx->merge_nodes(b, other, DepSet{});
  EXPECT_FALSE(ctx->is_blocked(c));
}

// With inverse roles, anywhere blocking looks blockers up by label hash: an
// earlier live node with equal labels (and an equal-labelled parent over the
// same role) blocks, wherever it sits in the graph.
TEST_F(Queries, anywhere_equal_blocking_finds_earlier_equal_node_in_another_branch) {
  make(true);
  ctx->inverse_roles = true;
  const Role s = Role::named(RoleId{1});
  const NodeId a = node(), b = node(a, r), c = node(a, r), d = node(c, r), e = node(a, s);
  labels(a, {atom(1)});
  labels(b, {atom(1), atom(2)});
  labels(c, {atom(1), atom(3)});
  labels(d, {atom(2)});
  EXPECT_FALSE(ctx->directly_blocked(d));  // a subset of b's labels is not enough
  labels(d, {atom(1)});
  EXPECT_FALSE(ctx->directly_blocked(d));  // equal to b, but the parents differ: c {1,3}, a {1}
  labels(a, {atom(3)});
  EXPECT_TRUE(ctx->directly_blocked(d));   // b (not an ancestor of d) blocks it
  EXPECT_FALSE(ctx->directly_blocked(b));  // the later node never blocks the earlier one
  labels(e, {atom(1), atom(2)});
  EXPECT_FALSE(ctx->directly_blocked(e));  // equal labels over another role
  const auto cp = ctx->checkpoint();
  labels(b, {atom(4)});
  EXPECT_FALSE(ctx->directly_blocked(d));
  ctx->rollback(cp);  // the index follows the trail back
  EXPECT_TRUE(ctx->directly_blocked(d));
  const NodeId other = node();
  ctx->merge_nodes(b, other, DepSet{});
  EXPECT_FALSE(ctx->directly_blocked(d));  // a merged node blocks nothing
}

// The index holds exactly the live nodes with labels, under their current hash.
TEST_F(Queries, label_hash_index_follows_labels_rollback_and_switching) {
  make(false);
  const NodeId a = node(), b = node(a, r);
  labels(a, {atom(1), atom(2)});
  EXPECT_TRUE(ctx->graph.label_hash_index.empty());  // kept only with anywhere blocking
  ctx->set_anywhere_blocking(true);
  ASSERT_EQ(ctx->graph.label_hash_index.size(), 1u);
  const std::uint64_t h = ctx->graph.summaries[a].label_hash;
  EXPECT_EQ(ctx->graph.label_hash_index.at(h), std::vector<NodeId>{a});
  const auto cp = ctx->checkpoint();
  labels(b, {atom(2)});
  labels(b, {atom(1)});
  EXPECT_EQ(ctx->graph.summaries[b].label_hash, h);  // order of adding does not matter
  EXPECT_EQ(ctx->graph.label_hash_index.at(h).size(), 2u);
  node(b, r);
  ctx->rollback(cp);
  EXPECT_EQ(ctx->graph.summaries[b].label_hash, 0u);
  ASSERT_EQ(ctx->graph.label_hash_index.size(), 1u);
  EXPECT_EQ(ctx->graph.label_hash_index.at(h), std::vector<NodeId>{a});
}

TEST_F(Queries, role_matching) {
  RoleHierarchyBuilder builder(3);
  builder.add_edge(RoleId{1}, RoleId{0});
  const RoleHierarchy h = std::move(builder).build();
  make(false, nullptr, &h);
  EXPECT_TRUE(ctx->role_matches(0, RoleId{1}, 0, RoleId{0}));
  EXPECT_FALSE(ctx->role_matches(0, RoleId{0}, 0, RoleId{1}));
  EXPECT_FALSE(ctx->role_matches(0, RoleId{0}, 1, RoleId{2}));
  ctx->add_inverse_pair(RoleId{0}, RoleId{2});
  EXPECT_TRUE(ctx->role_matches(0, RoleId{0}, 1, RoleId{2}));
  EXPECT_TRUE(ctx->role_matches(0, RoleId{1}, 1, RoleId{2}));  // 1 ⊑ 0 = 2⁻
  EXPECT_FALSE(ctx->role_matches(0, RoleId{2}, 1, RoleId{1}));  // 2⁻ = 0 is no sub-role of 1
  make(false);
  EXPECT_TRUE(ctx->role_matches(1, RoleId{1}, 1, RoleId{1}));
  EXPECT_FALSE(ctx->role_matches(1, RoleId{1}, 1, RoleId{0}));
}

// A sub-role of a symmetric role, walked against its direction, is that role and its super-roles.
TEST_F(Queries, role_matching_through_a_symmetric_role) {
  RoleHierarchyBuilder builder(3);
  builder.add_edge(RoleId{0}, RoleId{1});
  builder.add_edge(RoleId{1}, RoleId{2});
  builder.mark_symmetric(RoleId{1});
  const RoleHierarchy h = std::move(builder).build();
  make(false, nullptr, &h);
  ctx->add_inverse_pair(RoleId{1}, RoleId{1});
  EXPECT_TRUE(ctx->role_matches(1, RoleId{0}, 0, RoleId{1}));
  EXPECT_TRUE(ctx->role_matches(1, RoleId{0}, 0, RoleId{2}));
  EXPECT_FALSE(ctx->role_matches(1, RoleId{0}, 0, RoleId{0}));
  EXPECT_FALSE(ctx->role_matches(1, RoleId{2}, 0, RoleId{2}));
}

TEST_F(Queries, told_closure_follows_atomic_unfolds) {
  AbsorbedTbox tbox;
  tbox.unfold_pairs = {{ClassId{1}, atom(2)}, {ClassId{2}, atom(3)}, {ClassId{3}, pool.intern(Not{atom(4)})}};
  tbox.finish();
  make(false, &tbox);
  const NodeId a = node();
  labels(a, {atom(1)});
  EXPECT_TRUE(ctx->has_label_or_told(a, atom(3)));
  EXPECT_FALSE(ctx->has_label_or_told(a, pool.intern(Not{atom(4)})));
  make(false);
  const NodeId b = node();
  labels(b, {atom(1)});
  EXPECT_FALSE(ctx->has_label_or_told(b, atom(2)));
  EXPECT_TRUE(ctx->has_label_or_told(b, atom(1)));
}

TEST_F(Queries, pending_nominal_disjunctions) {
  const ConceptId o = pool.intern(Nominal{IndividualId{0}});
  const ConceptId with_nominal = pool.mk_or({o, atom(1)});
  const ConceptId plain = pool.mk_or({atom(2), atom(1)});
  std::vector<ConceptId> labels_ = {atom(5)};
  EXPECT_TRUE(pending_nominal_disjunction(pool, with_nominal, labels_));
  EXPECT_FALSE(pending_nominal_disjunction(pool, plain, labels_));
  labels_ = {atom(1)};
  EXPECT_FALSE(pending_nominal_disjunction(pool, with_nominal, labels_));
  AbsorbedTbox tbox;
  tbox.unfold_pairs = {{ClassId{7}, with_nominal}};
  tbox.finish();
  make(false, &tbox);
  const NodeId a = node();
  labels(a, {atom(7)});
  EXPECT_TRUE(ctx->has_pending_nominal_disjunction(a));
}

TEST_F(Queries, data_range_lookup) {
  make(false);
  EXPECT_EQ(ctx->data_range_of(atom(1)), nullptr);
  ctx->data_ranges.emplace(ClassId{1}, DKeyValue{DKeyValue::IntRange{{1, 2}}});
  EXPECT_NE(ctx->data_range_of(atom(1)), nullptr);
  EXPECT_EQ(ctx->data_range_of(atom(2)), nullptr);
  EXPECT_EQ(ctx->data_range_of(pool.intern(Not{atom(1)})), nullptr);
}

}  // namespace
}  // namespace kelmon::completion
