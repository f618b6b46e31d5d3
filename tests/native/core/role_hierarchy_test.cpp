#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "common/invariant.h"
#include "ir_fixture.h"

namespace kelmon {
namespace {

using testing::IrFixture;

std::vector<RoleId> ids(std::initializer_list<std::uint32_t> v) {
  std::vector<RoleId> out;
  for (auto x : v) out.push_back(RoleId{x});
  return out;
}

template <class S>
std::vector<RoleId> vec(S s) {
  return std::vector<RoleId>(s.begin(), s.end());
}

TEST(RoleHierarchyBuilderTest, ZeroRoles) {
  RoleHierarchy h = RoleHierarchyBuilder(0).build();
  EXPECT_EQ(h.role_count(), 0u);
  EXPECT_THROW(h.super_roles(RoleId{0}), InvariantFailure);
  EXPECT_THROW(h.sub_roles(RoleId{0}), InvariantFailure);
  EXPECT_THROW(h.is_sub_role(RoleId{0}, RoleId{0}), InvariantFailure);
  EXPECT_THROW(h.is_symmetric(RoleId{0}), InvariantFailure);
}

TEST(RoleHierarchyBuilderTest, RoleWithoutEdgesIsItsOwnRow) {
  RoleHierarchy h = RoleHierarchyBuilder(2).build();
  EXPECT_EQ(vec(h.super_roles(RoleId{1})), ids({1}));
  EXPECT_EQ(vec(h.sub_roles(RoleId{1})), ids({1}));
  EXPECT_TRUE(h.is_sub_role(RoleId{1}, RoleId{1}));
  EXPECT_FALSE(h.is_sub_role(RoleId{0}, RoleId{1}));
}

TEST(RoleHierarchyBuilderTest, CycleMakesMutualSubRoles) {
  RoleHierarchyBuilder b(2);
  b.add_edge(RoleId{1}, RoleId{0});
  b.add_edge(RoleId{0}, RoleId{1});
  RoleHierarchy h = std::move(b).build();
  EXPECT_EQ(vec(h.super_roles(RoleId{0})), ids({0, 1}));
  EXPECT_EQ(vec(h.super_roles(RoleId{1})), ids({0, 1}));
  EXPECT_TRUE(h.is_sub_role(RoleId{0}, RoleId{1}));
  EXPECT_TRUE(h.is_sub_role(RoleId{1}, RoleId{0}));
}

TEST(RoleHierarchyBuilderTest, ChainClosure) {
  RoleHierarchyBuilder b(3);
  b.add_edge(RoleId{0}, RoleId{1});
  b.add_edge(RoleId{1}, RoleId{2});
  b.add_edge(RoleId{1}, RoleId{2});
  EXPECT_EQ(b.edges[1].size(), 1u) << "the same edge is stored once";
  RoleHierarchy h = std::move(b).build();
  EXPECT_EQ(vec(h.super_roles(RoleId{0})), ids({0, 1, 2}));
  EXPECT_EQ(vec(h.sub_roles(RoleId{2})), ids({0, 1, 2}));
  EXPECT_FALSE(h.is_sub_role(RoleId{2}, RoleId{0}));
  EXPECT_THROW(h.is_sub_role(RoleId{3}, RoleId{0}), InvariantFailure);
}

TEST(RoleHierarchyBuilderTest, MoreThanFourDirectSuperRolesAllKept) {
  RoleHierarchyBuilder b(8);
  for (std::uint32_t s = 7; s >= 1; --s) b.add_edge(RoleId{0}, RoleId{s});
  b.add_edge(RoleId{0}, RoleId{6});
  EXPECT_EQ(b.edges[0].size(), 7u);
  RoleHierarchy h = std::move(b).build();
  EXPECT_EQ(vec(h.super_roles(RoleId{0})), ids({0, 1, 2, 3, 4, 5, 6, 7}));
  for (std::uint32_t s = 1; s < 8; ++s) EXPECT_EQ(vec(h.sub_roles(RoleId{s})), ids({0, s}));
}

TEST(RoleHierarchyBuilderTest, BoundsAndSelfEdges) {
  RoleHierarchyBuilder b(2);
  EXPECT_THROW(b.add_edge(RoleId{2}, RoleId{0}), InvariantFailure);
  EXPECT_THROW(b.mark_symmetric(RoleId{2}), InvariantFailure);
  b.add_edge(RoleId{0}, RoleId{0});
  b.mark_symmetric(RoleId{1});
  RoleHierarchy h = std::move(b).build();
  EXPECT_EQ(vec(h.super_roles(RoleId{0})), ids({0}));
  EXPECT_TRUE(h.is_symmetric(RoleId{1}));
  EXPECT_FALSE(h.is_symmetric(RoleId{0}));
  RoleHierarchyBuilder bad(1);
  bad.add_edge(RoleId{0}, RoleId{5});
  EXPECT_THROW(std::move(bad).build(), InvariantFailure);
}

// 0 ⊑ 1 ⊑ 2 ⊑ 3 with 1 symmetric: 0 and 1 reversed reach 1, 2 and 3; 2 and 3 reversed reach nothing.
TEST(RoleHierarchyBuilderTest, ReverseSuperRolesGoThroughSymmetricRoles) {
  RoleHierarchyBuilder b(4);
  b.add_edge(RoleId{0}, RoleId{1});
  b.add_edge(RoleId{1}, RoleId{2});
  b.add_edge(RoleId{2}, RoleId{3});
  b.mark_symmetric(RoleId{1});
  RoleHierarchy h = std::move(b).build();
  EXPECT_EQ(vec(h.reverse_supers[RoleId{0}]), ids({1, 2, 3}));
  EXPECT_EQ(vec(h.reverse_supers[RoleId{1}]), ids({1, 2, 3}));
  EXPECT_TRUE(h.reverse_supers[RoleId{2}].empty());
  EXPECT_TRUE(h.is_reverse_sub_role(RoleId{0}, RoleId{3}));
  EXPECT_FALSE(h.is_reverse_sub_role(RoleId{3}, RoleId{3}));
  EXPECT_FALSE(h.is_reverse_sub_role(RoleId{0}, RoleId{0})) << "0 reversed is no 0";
  EXPECT_FALSE(h.has_reversed_sub_role(RoleId{0}));
  for (std::uint32_t r = 1; r < 4; ++r) EXPECT_TRUE(h.has_reversed_sub_role(RoleId{r})) << r;
  EXPECT_THROW(h.has_reversed_sub_role(RoleId{4}), InvariantFailure);
}

// The bit rows answer as the sorted rows do, across word boundaries (70
// roles), for random inclusions with symmetric roles among them.
TEST(RoleHierarchyBuilderTest, BitRowsAgreeWithTheRows) {
  std::mt19937 rng(7);
  for (int round = 0; round < 5; ++round) {
    const std::uint32_t n = 70;
    RoleHierarchyBuilder b(n);
    for (int k = 0; k < 120; ++k) b.add_edge(RoleId{static_cast<std::uint32_t>(rng() % n)}, RoleId{static_cast<std::uint32_t>(rng() % n)});
    for (int k = 0; k < 6; ++k) b.mark_symmetric(RoleId{static_cast<std::uint32_t>(rng() % n)});
    RoleHierarchy h = std::move(b).build();
    ASSERT_EQ(h.dense_n, n);
    RoleHierarchy rows_only = h;
    rows_only.dense_n = 0;
    for (std::uint32_t i = 0; i < n; ++i)
      for (std::uint32_t j = 0; j < n; ++j) {
        const RoleId a{i}, c{j};
        ASSERT_EQ(h.is_sub_role(a, c), rows_only.is_sub_role(a, c)) << i << " " << j;
        ASSERT_EQ(h.is_reverse_sub_role(a, c), rows_only.is_reverse_sub_role(a, c)) << i << " " << j;
      }
  }
  // Out of range still fails as before.
  RoleHierarchy h = RoleHierarchyBuilder(3).build();
  EXPECT_THROW((void)h.is_sub_role(RoleId{3}, RoleId{0}), InvariantFailure);
}

// build_role_hierarchy over hand-built ontologies: expected super-role rows by name.
struct FeedCase {
  const char* name;
  void (*build)(IrFixture&);
  std::vector<std::pair<const char*, std::vector<const char*>>> supers;
  std::vector<const char*> symmetric;
};

class BuildRoleHierarchyTest : public ::testing::TestWithParam<FeedCase> {};

TEST_P(BuildRoleHierarchyTest, Rows) {
  IrFixture f;
  GetParam().build(f);
  RoleHierarchy h = build_role_hierarchy(f.ir);
  ASSERT_EQ(h.role_count(), f.ir.vocabulary.roles.size());
  for (const auto& [role, sups] : GetParam().supers) {
    std::vector<RoleId> want;
    for (const char* s : sups) want.push_back(f.rid(s));
    std::sort(want.begin(), want.end());
    EXPECT_EQ(vec(h.super_roles(f.rid(role))), want) << role;
  }
  for (std::uint32_t r = 0; r < h.role_count(); ++r) {
    std::string name(f.ir.vocabulary.roles.name(RoleId{r}));
    bool want = std::any_of(GetParam().symmetric.begin(), GetParam().symmetric.end(),
                            [&](const char* s) { return name == s; });
    EXPECT_EQ(h.is_symmetric(RoleId{r}), want) << name;
    for (RoleId s : h.super_roles(RoleId{r})) EXPECT_TRUE(h.is_sub_role(RoleId{r}, s));
    for (RoleId s : h.sub_roles(RoleId{r})) EXPECT_TRUE(h.is_sub_role(s, RoleId{r}));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BuildRoleHierarchyTest,
    ::testing::Values(
        FeedCase{"plain_inclusion",
                 [](IrFixture& f) { f.add(SubObjectPropertyOf{Single{f.r("r")}, f.r("s")}); },
                 {{"r", {"r", "s"}}, {"s", {"s"}}},
                 {}},
        FeedCase{"inverse_inclusion_same_polarity",
                 [](IrFixture& f) { f.add(SubObjectPropertyOf{Single{f.inv("r")}, f.inv("s")}); },
                 {{"r", {"r", "s"}}},
                 {}},
        FeedCase{"mixed_polarity_gives_no_edge",
                 [](IrFixture& f) { f.add(SubObjectPropertyOf{Single{f.inv("r")}, f.r("s")}); },
                 {{"r", {"r"}}, {"s", {"s"}}},
                 {}},
        FeedCase{"chains_give_no_edge",
                 [](IrFixture& f) { f.add(SubObjectPropertyOf{Chain{{f.r("r"), f.r("r")}}, f.r("s")}); },
                 {{"r", {"r"}}},
                 {}},
        FeedCase{"folded_sub_keeps_written_edge",
                 [](IrFixture& f) {
                   f.add(InverseObjectProperties{f.r("p"), f.r("q")});
                   f.add(SubObjectPropertyOf{Single{f.r("q")}, f.r("s")});
                 },
                 {{"q", {"q", "s"}}, {"p", {"p"}}},
                 {}},
        FeedCase{"folded_super_adds_nothing",
                 [](IrFixture& f) {
                   f.add(InverseObjectProperties{f.r("p"), f.r("q")});
                   f.add(SubObjectPropertyOf{Single{f.r("s")}, f.r("q")});
                 },
                 {{"s", {"s"}}, {"p", {"p"}}, {"q", {"q"}}},
                 {}},
        FeedCase{"folded_both_sides_canonical_edge",
                 [](IrFixture& f) {
                   f.add(InverseObjectProperties{f.r("p"), f.r("q")});
                   f.add(SubObjectPropertyOf{Single{f.r("q")}, f.inv("s")});
                 },
                 {{"p", {"p", "s"}}, {"q", {"q"}}},
                 {}},
        FeedCase{"second_pair_over_a_key_ignored",
                 [](IrFixture& f) {
                   f.add(InverseObjectProperties{f.r("p"), f.r("q")});
                   f.add(InverseObjectProperties{f.r("q"), f.r("s")});
                   f.add(SubObjectPropertyOf{Single{f.r("s")}, f.r("t")});
                 },
                 {{"s", {"s", "t"}}},
                 {}},
        FeedCase{"equivalence_same_polarity_members",
                 [](IrFixture& f) {
                   f.add(InverseObjectProperties{f.r("p"), f.r("q")});
                   f.add(EquivalentObjectProperties{{f.r("a"), f.r("b"), f.r("q"), f.inv("c")}});
                 },
                 {{"a", {"a", "b"}}, {"b", {"a", "b"}}, {"p", {"p", "c"}}, {"c", {"c", "p"}}, {"q", {"q"}}},
                 {}},
        FeedCase{"symmetry_flags",
                 [](IrFixture& f) {
                   f.add(SymmetricRole{f.inv("r")});
                   f.add(InverseObjectProperties{f.r("s"), f.r("s")});
                   f.add(InverseObjectProperties{f.r("t"), f.inv("t")});
                   f.add(TransitiveRole{f.r("u")});
                 },
                 {{"r", {"r"}}},
                 {"r", "s"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BuildRoleHierarchy, CanonicalRoleOf) {
  IrFixture f;
  Role p = f.r("p"), q = f.r("q"), s = f.r("s");
  f.add(InverseObjectProperties{p, q});
  f.add(InverseObjectProperties{q, s});
  InverseRoleMap m = collect_inverse_role_map(f.ir.axioms);
  EXPECT_EQ(canonical_role_of(m, q), inverse_role(p));
  EXPECT_EQ(canonical_role_of(m, inverse_role(q)), p);
  EXPECT_EQ(canonical_role_of(m, p), p);
  EXPECT_EQ(canonical_role_of(m, s), s) << "the second pair is ignored because q is a key";
}

TEST(BuildRoleHierarchy, SameRowsForAnyOrderOfPlainInclusions) {
  auto build = [](std::uint32_t seed) {
    IrFixture f;
    for (const char* n : {"a", "b", "c", "d", "e", "f"}) f.r(n);
    std::vector<Axiom> axioms{SubObjectPropertyOf{Single{f.r("a")}, f.r("b")},
                              SubObjectPropertyOf{Single{f.r("b")}, f.r("c")},
                              SubObjectPropertyOf{Single{f.inv("d")}, f.inv("a")},
                              EquivalentObjectProperties{{f.r("e"), f.r("f")}},
                              SymmetricRole{f.r("e")}};
    std::mt19937 rng(seed);
    std::shuffle(axioms.begin(), axioms.end(), rng);
    f.ir.axioms = std::move(axioms);
    RoleHierarchy h = build_role_hierarchy(f.ir);
    std::vector<std::vector<RoleId>> rows;
    for (std::uint32_t r = 0; r < h.role_count(); ++r) {
      rows.push_back(vec(h.super_roles(RoleId{r})));
      rows.push_back(vec(h.sub_roles(RoleId{r})));
    }
    return std::make_pair(rows, h.symmetric);
  };
  auto want = build(0);
  // rows[2r] are the super-roles of r, rows[2r + 1] its sub-roles.
  EXPECT_EQ(want.first[0], ids({0, 1, 2}));     // supers of a
  EXPECT_EQ(want.first[6], ids({0, 1, 2, 3}));  // supers of d, through inv(d) ⊑ inv(a)
  EXPECT_EQ(want.first[5], ids({0, 1, 2, 3}));  // subs of c
  for (std::uint32_t seed = 1; seed < 10; ++seed) EXPECT_EQ(build(seed), want);
}

// build_directed_role_hierarchy: rows over roles as written, by name; "reverse"
// lists every R with S⁻ ⊑ R.
struct DirectedCase {
  const char* name;
  void (*build)(IrFixture&);
  const char* role;
  std::vector<const char*> supers;
  std::vector<const char*> reverse;
};

class DirectedRoleHierarchyTest : public ::testing::TestWithParam<DirectedCase> {};

TEST_P(DirectedRoleHierarchyTest, Rows) {
  IrFixture f;
  GetParam().build(f);
  RoleHierarchy h = build_directed_role_hierarchy(f.ir);
  ASSERT_EQ(h.role_count(), f.ir.vocabulary.roles.size());
  auto named = [&](std::vector<const char*> names) {
    std::vector<RoleId> out;
    for (const char* n : names) out.push_back(f.rid(n));
    std::sort(out.begin(), out.end());
    return out;
  };
  const RoleId s = f.rid(GetParam().role);
  EXPECT_EQ(vec(h.super_roles(s)), named(GetParam().supers));
  EXPECT_EQ(vec(h.reverse_supers[s]), named(GetParam().reverse));
  // The tables agree with each other.
  for (std::uint32_t a = 0; a < h.role_count(); ++a)
    for (std::uint32_t b = 0; b < h.role_count(); ++b) {
      const RoleId x{a}, y{b};
      const auto subs = h.sub_roles(y), reverse_subs = h.reverse_sub_roles(y);
      EXPECT_EQ(h.is_sub_role(x, y), std::binary_search(subs.begin(), subs.end(), x));
      EXPECT_EQ(h.is_reverse_sub_role(x, y), std::binary_search(reverse_subs.begin(), reverse_subs.end(), x));
    }
  EXPECT_EQ(h.is_symmetric(s), h.is_reverse_sub_role(s, s));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DirectedRoleHierarchyTest,
    ::testing::Values(
        DirectedCase{"inverse_below_named",
                     [](IrFixture& f) { f.add(SubObjectPropertyOf{Single{f.inv("s")}, f.r("r")}); }, "s", {"s"},
                     {"r"}},
        DirectedCase{"named_below_inverse",
                     [](IrFixture& f) { f.add(SubObjectPropertyOf{Single{f.r("s")}, f.inv("r")}); }, "s", {"s"},
                     {"r"}},
        // hasChild = hasParent⁻, hasParent ⊑ hasAncestor: hasChild⁻ ⊑ hasAncestor, whichever role folding would keep.
        DirectedCase{"declared_inverse_then_super_role",
                     [](IrFixture& f) {
                       f.add(InverseObjectProperties{f.r("hasAncestor"), f.r("hasDescendant")});
                       f.add(InverseObjectProperties{f.r("hasChild"), f.r("hasParent")});
                       f.add(SubObjectPropertyOf{Single{f.r("hasParent")}, f.r("hasAncestor")});
                     },
                     "hasChild", {"hasChild", "hasDescendant"}, {"hasParent", "hasAncestor"}},
        // Two reversals make a plain inclusion: s ⊑ t⁻ and t ⊑ u⁻ give s ⊑ u.
        DirectedCase{"two_reversals",
                     [](IrFixture& f) {
                       f.add(SubObjectPropertyOf{Single{f.r("s")}, f.inv("t")});
                       f.add(SubObjectPropertyOf{Single{f.r("t")}, f.inv("u")});
                     },
                     "s", {"s", "u"}, {"t"}},
        DirectedCase{"symmetric_super_role",
                     [](IrFixture& f) {
                       f.add(SubObjectPropertyOf{Single{f.r("s")}, f.r("t")});
                       f.add(SymmetricRole{f.r("t")});
                       f.add(SubObjectPropertyOf{Single{f.r("t")}, f.r("r")});
                     },
                     "s", {"s", "t", "r"}, {"t", "r"}},
        DirectedCase{"equivalent_to_an_inverse",
                     [](IrFixture& f) { f.add(EquivalentObjectProperties{{f.r("a"), f.inv("b"), f.r("c")}}); }, "b",
                     {"b"}, {"a", "c"}},
        DirectedCase{"chains_give_no_edge",
                     [](IrFixture& f) { f.add(SubObjectPropertyOf{Chain{{f.r("r"), f.inv("r")}}, f.r("s")}); }, "r",
                     {"r"}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kelmon
