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
